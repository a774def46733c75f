#pragma once

#include "platform/IconSource.h"

#include <QHash>
#include <QStringList>

#include <mutex>
#include <span>

class QFile;

// An icon drawn from an SVG file at each of `sides` (square, in pixels); a null icon when the file
// is not a picture.
QIcon renderSvgIcon(const QString& file, std::span<const int> sides);
// The same pictures as images, which may be drawn on any thread.
QList<QImage> renderSvgImages(const QString& file, std::span<const int> sides);

// Program icons where there is no Windows shell to ask: a Windows program's own first icon (read
// by our PE reader, decoded by Qt's ICO reader); otherwise the icon of the program's name, first
// in the suite's own icon folders, then in the desktop's icon theme; then the theme's icon for
// the file's MIME type and its generic type; then a neutral program icon of ours.
class QtIconSource : public IconSource {
public:
    // `suiteIconRoots`: folders laid out like an icon-theme root, holding
    // "hicolor/<size>/apps/<name>.svg" (or .png); searched by program name before the desktop.
    explicit QtIconSource(QStringList suiteIconRoots = {});

    ProgramIconData readProgramIcon(const QString& path) override;
    QIcon icon(const ProgramIconData& found) override;
    QIcon brokenIcon() override;
    // The icon of a program that shows none of its own.
    QIcon neutralIcon();

private:
    QList<QImage> suiteIcon(const QString& name) const;

    // A Windows program's pictures depend on its file alone: they are read again only when the
    // file changed, so that a list of many tools reloads without reading every program again.
    struct Read {
        qint64 size = 0;
        qint64 modifiedNs = 0;
        QList<QImage> images;
    };
    std::mutex m_readLock;
    QHash<QString, Read> m_read;
    // The icons made of those pictures, by the first picture's cache key (window's thread).
    QHash<qint64, QIcon> m_made;

    QStringList m_roots;
    QIcon m_neutral;
    QIcon m_broken;
};
