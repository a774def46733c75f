#include "platform/QtIconSource.h"

#include "base/Paths.h"
#include "formats/ExeIconReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <optional>
#include <tuple>

static void initIconResources()
{
    Q_INIT_RESOURCE(keldara);
}

namespace {

constexpr int kSides[] = {32, 16};
// Programs whose pictures are kept; past that the kept ones are let go and read anew.
constexpr qsizetype kKeptPrograms = 1024;
// Program files up to this size are read; larger ones are mapped. Unmapping costs every other
// thread of the process a TLB flush, far more than reading a small file.
constexpr qint64 kMaxRead = 16 << 20;
// Files up to this size are read in one go, whatever they are.
constexpr qint64 kReadAtOnce = 1 << 20;

// The image scaled into a square of `side`, centred, its proportions kept.
QImage fitted(const QImage& image, int side)
{
    if (image.width() == side && image.height() == side)
        return image;
    const QImage scaled = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter p(&square);
    p.drawImage((side - scaled.width()) / 2, (side - scaled.height()) / 2, scaled);
    return square;
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

// The first icon of a Windows program of `size` bytes at both sizes; none when it has none that
// decodes. The file is open without buffering and read from its start.
QList<QImage> windowsProgramIcon(QFile& file, qint64 size)
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
    QList<QImage> images;
    for (int side : kSides) {
        for (int index : preferenceFor(group->images, side)) {
            std::optional<QImage>& image = decoded[size_t(index)];
            if (!image)
                image = reader.jumpToImage(index) ? reader.read() : QImage();
            if (!image->isNull()) {
                images.append(fitted(*image, side));
                break;
            }
        }
    }
    return images;
}

// When the file was last written, without the local-time conversions of QDateTime (each looks at
// the system's time zone file); 0 when that cannot be told.
qint64 modifiedNs(const QString& file)
{
#ifdef Q_OS_WIN
    const std::filesystem::path native(file.toStdWString());
#else
    const std::filesystem::path native(QFile::encodeName(file).toStdString());
#endif
    std::error_code failed;
    const auto written = std::filesystem::last_write_time(native, failed);
    return failed ? 0
                  : std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch())
                        .count();
}

// The file at `path`, or the file of that name in any letter case in its folder.
QFileInfo existingFile(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (info.isFile() || info.exists()) // the one look that tells both, for the common case
        return info;
    const QString found = paths::findIgnoringCase(info.absolutePath(), info.fileName());
    return found.isEmpty() ? QFileInfo() : QFileInfo(paths::join(info.absolutePath(), found));
}

} // namespace

QList<QImage> renderSvgImages(const QString& file, std::span<const int> sides)
{
    QSvgRenderer renderer(file);
    QList<QImage> images;
    if (!renderer.isValid())
        return images;
    for (int side : sides) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p);
        p.end();
        images.append(image);
    }
    return images;
}

QIcon renderSvgIcon(const QString& file, std::span<const int> sides)
{
    QIcon icon;
    for (const QImage& image : renderSvgImages(file, sides))
        icon.addPixmap(QPixmap::fromImage(image));
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

QList<QImage> QtIconSource::suiteIcon(const QString& name) const
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
                if (QList<QImage> drawn = renderSvgImages(base + QStringLiteral(".svg"), kSides);
                    !drawn.isEmpty())
                    return drawn;
            }
            QImage image(base + QStringLiteral(".png"));
            if (!image.isNull()) {
                shapes.push_back({image.width(), image.height(), image.depth()});
                images.push_back(std::move(image));
            }
        }
        if (images.empty())
            continue;
        QList<QImage> fit;
        for (int side : kSides)
            fit.append(fitted(images[size_t(preferenceFor(shapes, side).front())], side));
        return fit;
    }
    return {};
}

ProgramIconData QtIconSource::readProgramIcon(const QString& path)
{
    ProgramIconData found;
    const QFileInfo info = existingFile(path);
    if (!info.isFile()) {
        found.broken = true;
        return found;
    }
    const QString file = info.absoluteFilePath();
    const Read stamp{info.size(), modifiedNs(file), {}};
    if (info.isReadable()) {
        std::lock_guard lock(m_readLock);
        const auto kept = m_read.constFind(file);
        if (kept != m_read.constEnd() && kept->size == stamp.size &&
            kept->modifiedNs == stamp.modifiedNs) {
            found.images = kept->images;
            return found;
        }
    }
    QFile program(file);
    if (!program.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        found.broken = true;
        return found;
    }
    found.images = windowsProgramIcon(program, info.size());
    if (!found.images.isEmpty()) {
        std::lock_guard lock(m_readLock);
        if (m_read.size() >= kKeptPrograms)
            m_read.clear();
        Read read = stamp;
        read.images = found.images;
        m_read.insert(file, std::move(read));
        return found;
    }

    // Theme names are usually lower case; a program may be spelled otherwise ("MeasSwap.exe").
    const QString name = info.completeBaseName();
    QStringList names{name};
    if (name.toLower() != name)
        names.append(name.toLower());
    for (const QString& n : names) {
        found.images = suiteIcon(n);
        if (!found.images.isEmpty())
            return found;
    }
    program.seek(0);
    // The MIME database may be asked from any thread.
    const QMimeType mime = QMimeDatabase().mimeTypeForFileNameAndData(info.filePath(), &program);
    names.append({mime.iconName(), mime.genericIconName()});
    names.removeAll(QString());
    found.themeNames = names;
    return found;
}

QIcon QtIconSource::icon(const ProgramIconData& found)
{
    if (found.broken)
        return brokenIcon();
    if (!found.images.isEmpty()) {
        const qint64 key = found.images.first().cacheKey();
        if (const auto made = m_made.constFind(key); made != m_made.constEnd())
            return *made;
        QIcon icon;
        for (const QImage& image : found.images)
            icon.addPixmap(QPixmap::fromImage(image));
        if (m_made.size() >= kKeptPrograms)
            m_made.clear();
        m_made.insert(key, icon);
        return icon;
    }
    for (const QString& n : found.themeNames) {
        if (QIcon::hasThemeIcon(n))
            return QIcon::fromTheme(n);
    }
    return neutralIcon();
}
