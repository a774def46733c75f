#include "platform/qt/QtIconSource.h"

#include "base/Paths.h"
#include "platform/ExeIconReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <tuple>

static void initIconResources()
{
    Q_INIT_RESOURCE(keldara);
}

namespace {

constexpr int kSides[] = {32, 16};
// Program files up to this size are read; larger ones are mapped. Unmapping costs every other
// thread of the process a TLB flush, far more than reading a small file.
constexpr qint64 kMaxRead = 16 << 20;
// Files up to this size are read in one go, whatever they are.
constexpr qint64 kReadAtOnce = 1 << 20;

// The image scaled into a square of `side`, centred, its proportions kept.
QPixmap fitted(const QImage& image, int side)
{
    if (image.width() == side && image.height() == side)
        return QPixmap::fromImage(image);
    const QImage scaled = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.drawImage((side - scaled.width()) / 2, (side - scaled.height()) / 2, scaled);
    return pm;
}

// The images of the group in the order they suit `side`: the exact size, then the nearest
// larger one (shrinking keeps detail), then the nearest smaller one; the most colours first.
std::vector<int> preferenceFor(const std::vector<exeicon::IconImage>& images, int side)
{
    std::vector<int> order(images.size());
    std::iota(order.begin(), order.end(), 0);
    const auto rank = [&](int i) {
        const int w = images[size_t(i)].width;
        const int kind = w == side ? 0 : (w > side ? 1 : 2);
        return std::tuple(kind, std::abs(w - side), -images[size_t(i)].bitCount);
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return rank(a) < rank(b); });
    return order;
}

// The first icon of a Windows program of `size` bytes at both sizes; null when it has none that
// decodes. The file is open without buffering and read from its start.
QIcon windowsProgramIcon(QFile& file, qint64 size)
{
    QByteArray read = file.read(size <= kReadAtOnce ? size : 2);
    if (!read.startsWith("MZ"))
        return {};
    uchar* mapped = size > kMaxRead ? file.map(0, size) : nullptr;
    std::span<const uchar> bytes;
    if (mapped) {
        bytes = {mapped, size_t(size)};
    } else {
        if (size > kReadAtOnce)
            read += file.read(std::min(size, kMaxRead) - 2);
        bytes = {reinterpret_cast<const uchar*>(read.constData()), size_t(read.size())};
    }
    const auto group = exeicon::firstIconGroup(bytes);
    if (mapped)
        file.unmap(mapped);
    if (!group)
        return {};

    QBuffer buffer;
    buffer.setData(group->ico);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    std::vector<std::optional<QImage>> decoded(group->images.size());
    QIcon icon;
    for (int side : kSides) {
        for (int index : preferenceFor(group->images, side)) {
            std::optional<QImage>& image = decoded[size_t(index)];
            if (!image)
                image = reader.jumpToImage(index) ? reader.read() : QImage();
            if (!image->isNull()) {
                icon.addPixmap(fitted(*image, side));
                break;
            }
        }
    }
    return icon;
}

// The file at `path`, or the file of that name in any letter case in its folder.
QFileInfo existingFile(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (info.exists())
        return info;
    const QString found = paths::findIgnoringCase(info.absolutePath(), info.fileName());
    return found.isEmpty() ? QFileInfo() : QFileInfo(paths::join(info.absolutePath(), found));
}

} // namespace

QIcon renderSvgIcon(const QString& file, std::span<const int> sides)
{
    QSvgRenderer renderer(file);
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int side : sides) {
        QPixmap pm(side, side);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QtIconSource::QtIconSource(QStringList suiteIconRoots)
    : m_roots(std::move(suiteIconRoots))
{}

QIcon QtIconSource::neutralIcon()
{
    if (m_neutral.isNull()) {
        initIconResources();
        m_neutral = renderSvgIcon(QStringLiteral(":/icons/program.svg"), kSides);
    }
    return m_neutral;
}

QIcon QtIconSource::brokenIcon()
{
    if (m_broken.isNull()) {
        initIconResources();
        m_broken = renderSvgIcon(QStringLiteral(":/icons/program-broken.svg"), kSides);
    }
    return m_broken;
}

QIcon QtIconSource::suiteIcon(const QString& name) const
{
    for (const QString& root : m_roots) {
        const QDir theme(paths::resolveIgnoringCase(root, QStringLiteral("hicolor")));
        // A scalable picture first; otherwise the fixed size that suits each side best.
        QStringList sizes = theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::stable_partition(sizes.begin(), sizes.end(),
                              [](const QString& s) { return s == QLatin1String("scalable"); });
        std::vector<QImage> images;
        std::vector<exeicon::IconImage> shapes;
        for (const QString& size : sizes) {
            const QString base = theme.filePath(size + QStringLiteral("/apps/") + name);
            if (QFileInfo(base + QStringLiteral(".svg")).isFile()) {
                if (QIcon icon = renderSvgIcon(base + QStringLiteral(".svg"), kSides);
                    !icon.isNull())
                    return icon;
            }
            QImage image(base + QStringLiteral(".png"));
            if (!image.isNull()) {
                shapes.push_back({image.width(), image.height(), image.depth()});
                images.push_back(std::move(image));
            }
        }
        if (images.empty())
            continue;
        QIcon icon;
        for (int side : kSides)
            icon.addPixmap(fitted(images[size_t(preferenceFor(shapes, side).front())], side));
        return icon;
    }
    return {};
}

QIcon QtIconSource::programIcon(const QString& path)
{
    const QFileInfo info = existingFile(path);
    if (!info.isFile())
        return brokenIcon();
    const QString file = info.filePath();
    QFile program(file);
    if (!program.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return brokenIcon();
    if (QIcon icon = windowsProgramIcon(program, info.size()); !icon.isNull())
        return icon;

    // Theme names are usually lower case; a program may be spelled otherwise ("MeasSwap.exe").
    const QString name = info.completeBaseName();
    QStringList names{name};
    if (name.toLower() != name)
        names.append(name.toLower());
    for (const QString& n : names) {
        if (QIcon icon = suiteIcon(n); !icon.isNull())
            return icon;
    }
    program.seek(0);
    const QMimeType mime = m_mimes.mimeTypeForFileNameAndData(file, &program);
    names.append({mime.iconName(), mime.genericIconName()});
    for (const QString& n : names) {
        if (!n.isEmpty() && QIcon::hasThemeIcon(n))
            return QIcon::fromTheme(n);
    }
    return neutralIcon();
}
