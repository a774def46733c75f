#pragma once

#include "platform/IconSource.h"

#include <QColor>
#include <QPixmap>
#include <QStringList>

// Gives every program path an icon of its own plain colour, and records what it was asked.
class FakeIconSource : public IconSource {
public:
    QStringList asked;
    int brokenAsked = 0;

    static QColor colorFor(const QString& path)
    {
        return QColor(QColor::fromHsv(int(qHash(path) % 360), 200, 200).rgb());
    }
    static QColor brokenColor() { return QColor(0, 0, 0); }
    static QIcon plain(const QColor& color)
    {
        QIcon icon;
        for (int side : {32, 16}) {
            QPixmap pm(side, side);
            pm.fill(color);
            icon.addPixmap(pm);
        }
        return icon;
    }

    QIcon programIcon(const QString& path) override
    {
        asked.append(path);
        return plain(colorFor(path));
    }
    QIcon brokenIcon() override
    {
        ++brokenAsked;
        return plain(brokenColor());
    }
};
