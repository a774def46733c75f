#include "base/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QUtf8StringView>

namespace paths {

QChar separator()
{
    return QDir::separator();
}

QString join(const QString& folder, const QString& name)
{
    return folder + separator() + name;
}

QString findIgnoringCase(const QString& folder, const QString& name)
{
    if (name.isEmpty() || folder.isEmpty())
        return {};
    if (QFileInfo::exists(join(folder, name)))
        return name;
    const QDir dir(folder);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

bool existsIgnoringCase(const QString& folder, const QString& name)
{
    return !findIgnoringCase(folder, name).isEmpty();
}

QString resolveIgnoringCase(const QString& folder, const QString& name)
{
    const QString found = findIgnoringCase(folder, name);
    return join(folder, found.isEmpty() ? name : found);
}

bool ensureFolder(const QString& parent, const QString& name)
{
    if (existsIgnoringCase(parent, name))
        return true;
    return QDir(parent).mkdir(name);
}

QString refusalOfNewName(const QString& name)
{
    for (const QChar c : name) {
        if (c.unicode() < 32 || QStringLiteral("\"/\\:*?<>|").contains(c)) {
            return QStringLiteral("A file name can not contain any of these characters:\r"
                                  "\" / \\ : * ? < > | or control characters.");
        }
    }
    // "." and ".." are no names, and on Linux any other name beginning with a dot is a hidden
    // file: a data file or shortcut renamed so would drop out of every list.
    if (name.startsWith(QLatin1Char('.')))
        return QStringLiteral("\"%1\" can not be used as a file name.").arg(name);
    return {};
}

namespace {
constexpr char16_t kRawByte = 0xDC00; // + the byte, for bytes 0x80 to 0xFF

// The length of the well-formed UTF-8 sequence at `i`, or 0 when the byte there begins none.
qsizetype utf8Length(QByteArrayView b, qsizetype i)
{
    const uchar c = uchar(b[i]);
    if (c < 0x80)
        return 1;
    qsizetype n = 0;
    uchar low = 0x80, high = 0xBF; // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + n > b.size())
        return 0;
    for (qsizetype k = 1; k < n; ++k) {
        const uchar d = uchar(b[i + k]);
        if (k == 1 ? (d < low || d > high) : (d < 0x80 || d > 0xBF))
            return 0;
    }
    return n;
}

bool isRawByte(const QString& s, qsizetype i)
{
    const char16_t c = s[i].unicode();
    return c >= kRawByte + 0x80 && c <= kRawByte + 0xFF && !(i > 0 && s[i - 1].isHighSurrogate());
}
} // namespace

QString fromNativeBytes(QByteArrayView bytes)
{
#ifndef Q_OS_WIN
    if (!QUtf8StringView(bytes).isValidUtf8()) {
        QString out;
        out.reserve(bytes.size());
        for (qsizetype i = 0; i < bytes.size();) {
            if (const qsizetype n = utf8Length(bytes, i)) {
                out += QString::fromUtf8(bytes.sliced(i, n));
                i += n;
            } else {
                out += QChar(char16_t(kRawByte + uchar(bytes[i])));
                ++i;
            }
        }
        return out;
    }
#endif
    return QString::fromUtf8(bytes);
}

namespace {
// Whether `path` holds a byte that is no UTF-8.
bool holdsRawBytes(const QString& path)
{
#ifndef Q_OS_WIN
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (isRawByte(path, i))
            return true;
    }
#else
    Q_UNUSED(path);
#endif
    return false;
}
} // namespace

QByteArray toNativeBytes(const QString& path)
{
    if (!holdsRawBytes(path))
        return path.toUtf8();
    QByteArray out;
    qsizetype run = 0; // where the text not yet written begins
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!isRawByte(path, i))
            continue;
        out += QStringView(path).sliced(run, i - run).toUtf8();
        out += char(path[i].unicode() - kRawByte);
        run = i + 1;
    }
    out += QStringView(path).sliced(run).toUtf8();
    return out;
}

QString fileUri(const QString& path)
{
    QString absolute = QDir::fromNativeSeparators(path);
    if (!absolute.startsWith(QLatin1Char('/')))
        absolute.prepend(QLatin1Char('/')); // a drive letter: file:///C:/...
    return QStringLiteral("file://") +
           QString::fromLatin1(toNativeBytes(absolute).toPercentEncoding("/:"));
}

} // namespace paths

QString GetLongPath(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QChar sep = paths::separator();
#ifdef Q_OS_WIN
    // "C:\a\b": the drive stays as written, the components after it are looked up.
    const QString drive = path.left(2);
    const QString rest = path.mid(2);
#else
    const QString drive;
    const QString rest = path;
#endif
    const QStringList components = rest.split(sep, Qt::SkipEmptyParts);
    QString folder = drive + sep;
    QString result = drive;
    for (const QString& component : components) {
        const QString onDisk = paths::findIgnoringCase(folder, component);
        if (onDisk.isEmpty())
            return {};
        result += sep + onDisk;
        folder = result;
    }
    return result;
}

void SplitPath(const QString& path, QString* fileName, QString* folder)
{
    const qsizetype cut = path.lastIndexOf(paths::separator());
    if (folder)
        *folder = cut < 0 ? QString() : path.left(cut + 1);
    if (fileName)
        *fileName = cut < 0 ? path : path.mid(cut + 1);
}

QString shortcutFolder(const QString& appFolder)
{
    const QString longForm = GetLongPath(appFolder);
    const QString found = paths::findIgnoringCase(longForm, QStringLiteral("shortcuts"));
    return paths::join(longForm, found.isEmpty() ? QStringLiteral("shortcuts") : found);
}
