#pragma once

#include "platform/IconSource.h"

#include <QColor>
#include <QMutex>
#include <QPixmap>
#include <QStringList>

// Gives every program path an icon of its own plain colour, and records what it was asked.
class FakeIconSource : public IconSource {
public:
    int brokenAsked = 0;

    QStringList asked() const
    {
        QMutexLocker lock(&m_mutex);
        return m_asked;
    }
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

    ProgramIconData readProgramIcon(const QString& path) override
    {
        {
            QMutexLocker lock(&m_mutex);
            m_asked.append(path);
        }
        ProgramIconData found;
        for (int side : {32, 16}) {
            QImage image(side, side, QImage::Format_ARGB32);
            image.fill(colorFor(path));
            found.images.append(image);
        }
        return found;
    }
    QIcon icon(const ProgramIconData& found) override
    {
        if (found.broken || found.images.isEmpty())
            return brokenIcon();
        QIcon icon;
        for (const QImage& image : found.images)
            icon.addPixmap(QPixmap::fromImage(image));
        return icon;
    }
    QIcon brokenIcon() override
    {
        ++brokenAsked;
        return plain(brokenColor());
    }

private:
    mutable QMutex m_mutex;
    QStringList m_asked;
};
