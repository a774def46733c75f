#include "formats/ShortcutHelper.h"

#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace {

// Header flags of the shell-link format.
constexpr quint32 HasLinkTargetIDList = 0x1;
constexpr quint32 HasLinkInfo = 0x2;
constexpr quint32 HasName = 0x4;
constexpr quint32 HasRelativePath = 0x8;
constexpr quint32 HasWorkingDir = 0x10;
constexpr quint32 HasArguments = 0x20;
constexpr quint32 HasIconLocation = 0x40;
constexpr quint32 IsUnicode = 0x80;

constexpr quint32 kHeaderSize = 0x4C;
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr quint32 VolumeIDAndLocalBasePath = 0x1;
constexpr quint32 CommonNetworkRelativeLinkAndPathSuffix = 0x2;
constexpr quint32 kDriveFixed = 3;
constexpr quint32 kShowNormal = 1;

using le::put16;
using le::put32;
using le::putUtf16;
using le::set32;

// The 8-bit copy of a path that older readers use: Latin-1, "?" for what it cannot hold.
QByteArray ansi(const QString& s)
{
    QByteArray out;
    out.reserve(s.size());
    for (const QChar c : s)
        out += c.unicode() < 256 ? char(c.unicode()) : '?';
    return out;
}

std::optional<ShortcutData> fail(QString* error, const char* why)
{
    if (error)
        *error = QString::fromLatin1(why);
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> ShortcutHelper::encode(const ShortcutData& d, QString* error)
{
    for (const QString* s : {&d.workingFolder, &d.argumentText, &d.iconFile, &d.targetPath}) {
        if (s->size() > 0xFFFF) {
            if (error)
                *error = QStringLiteral("A text is too long for a shortcut file");
            return std::nullopt;
        }
    }
    quint32 flags = IsUnicode;
    if (!d.targetPath.isEmpty())
        flags |= HasLinkInfo;
    if (!d.workingFolder.isEmpty())
        flags |= HasWorkingDir;
    if (!d.argumentText.isEmpty())
        flags |= HasArguments;
    if (!d.iconFile.isEmpty())
        flags |= HasIconLocation;

    QByteArray b;
    put32(b, kHeaderSize);
    b.append(reinterpret_cast<const char*>(kLinkClsid), 16);
    put32(b, flags);
    put32(b, 0x20);     // file attributes: an ordinary (archive) file
    b.append(24, '\0'); // creation, access and write times: unknown
    put32(b, 0);        // target size: unknown
    put32(b, quint32(d.iconIndex));
    put32(b, kShowNormal);
    put16(b, quint32(d.hotKey) & 0xFFFF);
    b.append(10, '\0'); // reserved

    if (flags & HasLinkInfo) {
        const qsizetype start = b.size();
        constexpr quint32 headerSize = 0x24; // with the Unicode offsets
        const QByteArray volumeId = [] {
            QByteArray v;
            put32(v, 0x11);
            put32(v, kDriveFixed);
            put32(v, 0); // serial number
            put32(v, 0x10);
            v += '\0'; // empty volume label
            return v;
        }();
        const QByteArray localAnsi = ansi(d.targetPath) + '\0';
        const quint32 volumeOffset = headerSize;
        const quint32 localOffset = volumeOffset + quint32(volumeId.size());
        const quint32 suffixOffset = localOffset + quint32(localAnsi.size());
        const quint32 localUnicodeOffset = suffixOffset + 1;
        const quint32 suffixUnicodeOffset =
            localUnicodeOffset + 2 * quint32(d.targetPath.size() + 1);
        put32(b, 0); // size, set below
        put32(b, headerSize);
        put32(b, VolumeIDAndLocalBasePath);
        put32(b, volumeOffset);
        put32(b, localOffset);
        put32(b, 0); // no network location
        put32(b, suffixOffset);
        put32(b, localUnicodeOffset);
        put32(b, suffixUnicodeOffset);
        b += volumeId;
        b += localAnsi;
        b += '\0'; // empty common path suffix
        putUtf16(b, d.targetPath);
        put16(b, 0);
        put16(b, 0); // empty Unicode suffix
        set32(b, start, quint32(b.size() - start));
    }
    for (const auto& [flag, text] :
         {std::pair{HasWorkingDir, &d.workingFolder}, std::pair{HasArguments, &d.argumentText},
          std::pair{HasIconLocation, &d.iconFile}}) {
        if (flags & flag) {
            put16(b, quint32(text->size()));
            putUtf16(b, *text);
        }
    }
    put32(b, 0); // terminal block
    return b;
}

std::optional<ShortcutData> ShortcutHelper::decode(const QByteArray& file, QString* error)
{
    const ByteReader r(file);
    if (r.u32(0) != kHeaderSize || !r.has(0, kHeaderSize) ||
        std::memcmp(file.constData() + 4, kLinkClsid, 16) != 0)
        return fail(error, "Not a shortcut file");
    const quint32 flags = *r.u32(0x14);
    ShortcutData d;
    d.iconIndex = qint32(*r.u32(0x38));
    d.hotKey = qint32(*r.u16(0x40));
    qsizetype at = kHeaderSize;

    if (flags & HasLinkTargetIDList) {
        const auto idSize = r.u16(at);
        if (!idSize || !r.has(at + 2, *idSize))
            return fail(error, "Damaged item list");
        at += 2 + qsizetype(*idSize);
    }
    if (flags & HasLinkInfo) {
        const auto infoSize = r.u32(at);
        const auto headerSize = r.u32(at + 4);
        const auto infoFlags = r.u32(at + 8);
        if (!infoSize || !headerSize || !infoFlags || *infoSize < 0x1C || *headerSize < 0x1C ||
            *headerSize > *infoSize || !r.has(at, qsizetype(*infoSize)))
            return fail(error, "Damaged link information");
        const qsizetype end = at + qsizetype(*infoSize);
        const auto field = [&](qsizetype offset) { return *r.u32(at + offset); };
        QString base, suffix;
        const bool unicode = *headerSize >= 0x24;
        if (*infoFlags & VolumeIDAndLocalBasePath) {
            // Both copies of the path must lie within the link information; the Unicode one,
            // when there is one, is the path.
            const auto ansiPath = r.ansiz(at + field(0x10), end);
            const auto path =
                unicode && field(0x1C) != 0 ? r.utf16z(at + field(0x1C), end) : ansiPath;
            if (!ansiPath || !path || field(0x0C) >= *infoSize)
                return fail(error, "Damaged local path");
            base = *path;
        } else if (*infoFlags & CommonNetworkRelativeLinkAndPathSuffix) {
            const qsizetype net = at + qsizetype(field(0x14));
            const auto netNameOffset = r.u32(net + 8);
            const auto name = netNameOffset ? r.ansiz(net + *netNameOffset, end) : std::nullopt;
            if (!name)
                return fail(error, "Damaged network path");
            base = *name;
        }
        const auto suffixText = unicode && *headerSize >= 0x24 && field(0x20) != 0
                                    ? r.utf16z(at + field(0x20), end)
                                    : r.ansiz(at + field(0x18), end);
        if (suffixText && !suffixText->isEmpty()) {
            suffix = *suffixText;
            if (!base.isEmpty() && !base.endsWith(QLatin1Char('\\')))
                base += QLatin1Char('\\');
        }
        d.targetPath = base + suffix;
        at = end;
    }
    const bool wide = flags & IsUnicode;
    QString* targets[] = {nullptr, nullptr, &d.workingFolder, &d.argumentText, &d.iconFile};
    const quint32 stringFlags[] = {HasName, HasRelativePath, HasWorkingDir, HasArguments,
                                   HasIconLocation};
    QString relativePath;
    targets[1] = &relativePath;
    for (int i = 0; i < 5; ++i) {
        if (!(flags & stringFlags[i]))
            continue;
        const auto count = r.u16(at);
        const qsizetype bytes = qsizetype(count.value_or(0)) * (wide ? 2 : 1);
        if (!count || !r.has(at + 2, bytes))
            return fail(error, "Damaged text in shortcut file");
        const QString text = wide ? r.utf16(at + 2, *count) : r.latin1(at + 2, *count);
        if (targets[i])
            *targets[i] = text;
        at += 2 + bytes;
    }
    if (d.targetPath.isEmpty())
        d.targetPath = relativePath;
    // Extra data blocks follow until the terminal block; they must stay within the file.
    while (r.has(at, 4)) {
        const quint32 blockSize = *r.u32(at);
        if (blockSize < 4)
            break;
        if (!r.has(at, qsizetype(blockSize)))
            return fail(error, "Damaged extra data in shortcut file");
        at += qsizetype(blockSize);
    }
    return d;
}

FileResult ShortcutHelper::CreateShortcut(QString& shortcutFile, QString& targetPath,
                                          QString& workingFolder, QString& argumentText,
                                          QString& iconFile, qint32& number1, qint32& number2)
{
    QString why;
    const auto bytes =
        encode({targetPath, workingFolder, argumentText, iconFile, number1, number2}, &why);
    if (!bytes)
        return FileResult::failure(EINVAL, why);
    if (m_write)
        return m_write(shortcutFile, *bytes);
    QSaveFile out(shortcutFile);
    errno = 0;
    // The commit alone would put a file in place whose last write failed (a full disk): the
    // flush is checked first.
    if (!out.open(QIODevice::WriteOnly) || out.write(*bytes) != bytes->size() || !out.flush() ||
        !out.commit())
        return FileResult::failure(errno ? errno : EIO, out.errorString());
    return {};
}

FileResult ShortcutHelper::ReadShortcut(QString& shortcutFile, QString& targetPath,
                                        QString& workingFolder, QString& argumentText,
                                        QString& iconFile, qint32& number1, qint32& number2)
{
    QFile in(shortcutFile);
    errno = 0;
    if (!in.open(QIODevice::ReadOnly))
        return FileResult::failure(errno ? errno : EIO, in.errorString());
    // Shortcut files are small; a huge one is not a shortcut.
    const QByteArray bytes = in.read(1 << 20);
    if (in.error() != QFileDevice::NoError)
        return FileResult::failure(errno ? errno : EIO, in.errorString());
    QString why;
    const auto d = decode(bytes, &why);
    if (!d)
        return FileResult::failure(EINVAL, why);
    targetPath = d->targetPath;
    workingFolder = d->workingFolder;
    argumentText = d->argumentText;
    iconFile = d->iconFile;
    number1 = d->iconIndex;
    number2 = d->hotKey;
    return {};
}
