#include "base/Paths.h"

#include <QDir>
#include <QFileInfo>

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
