#pragma once

#include <QIcon>
#include <QString>

// The icon of a program file, with pixmaps at 32 x 32 and 16 x 16.
class IconSource {
public:
    virtual ~IconSource() = default;
    // A Windows program's own first icon; otherwise the desktop theme's icon for the program, or
    // a neutral program icon. A file that does not exist or cannot be read gets brokenIcon().
    virtual QIcon programIcon(const QString& path) = 0;
    // The icon of a program or shortcut that cannot be used.
    virtual QIcon brokenIcon() = 0;
};
