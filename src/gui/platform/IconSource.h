#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// What a program file shows as its icon, found by reading the file. Finding it may wait on the
// program's drive, so it happens away from the window's thread; the icon itself is made on the
// window's thread from what was found.
struct ProgramIconData {
    QList<QImage> images;   // the program's own pictures, 32 x 32 and 16 x 16; empty when none
    QStringList themeNames; // otherwise names to look for in the desktop's icon theme, best first
    bool broken = false;    // the file does not exist or cannot be read
};

// The icon of a program file, with pixmaps at 32 x 32 and 16 x 16.
class IconSource {
public:
    virtual ~IconSource() = default;
    // A Windows program's own first icon; otherwise the names the desktop theme may know the
    // program by. Reads the file; safe to call on any thread, several at once.
    virtual ProgramIconData readProgramIcon(const QString& path) = 0;
    // The icon for what was found: the program's own pictures, the theme's icon, or a neutral
    // program icon; brokenIcon() for a file that does not exist or cannot be read. Window's
    // thread only.
    virtual QIcon icon(const ProgramIconData& found) = 0;
    // The icon of a program or shortcut that cannot be used.
    virtual QIcon brokenIcon() = 0;

    // Both steps at once, on the window's thread.
    QIcon programIcon(const QString& path) { return icon(readProgramIcon(path)); }
};
