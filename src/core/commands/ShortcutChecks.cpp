#include "commands/ShortcutChecks.h"

#include "base/Paths.h"
#include "lists/DataFileKind.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

namespace shortcutedits {

QString refusalOf(FileSystem& files, const ShortcutEntry& entry, Edit edit)
{
    if (!files.isFile(entry.shortcutFile))
        return noneChosenText();
    const Protection p = protectionOf(entry.fileName);
    if (edit == Edit::Rename && p.noRename)
        return QStringLiteral("Sorry, you can't rename this shortcut");
    if (edit == Edit::Delete && p.noDelete)
        return QStringLiteral("Sorry, you can't delete this shortcut");
    return {};
}

QString noneChosenText()
{
    return QStringLiteral("Please select shortcut");
}

QString renamePrompt(const ShortcutEntry& entry)
{
    return QStringLiteral("Rename shortcut ") + entry.fileName.left(entry.fileName.size() - 4);
}

commands::Told told(const Result& result, const ShortcutEntry& entry, const QString& typed)
{
    switch (result.outcome) {
    case Outcome::Done:
        return {};
    case Outcome::Refused:
        return commands::Told::of(result.refusal);
    case Outcome::Gone:
        return commands::Told::of(goneText(entry.fileName));
    case Outcome::Taken:
        return commands::Told::of(takenText(typed));
    case Outcome::OldKept:
        return commands::Told::failed(oldKeptText(typed, entry.fileName), result.result);
    default:
        return commands::Told::failed(notRenamedText(), result.result);
    }
}

QString unstartableText(const ShortcutEntry& entry)
{
    return entry.read.ok ? QString()
                         : QStringLiteral("The shortcut cannot be read: ") + entry.fileName;
}

OpenFileRequest programRequest(const QString& appFolder, const QString& lastName)
{
    OpenFileRequest request;
    request.title = QStringLiteral("Open File");
    request.filter = QStringLiteral("Files (.exe,.hlp)|*.exe;*.hlp");
#ifndef Q_OS_WIN
    // Programs here rarely end in ".exe": the user may pick any file.
    request.filter += QStringLiteral("|All files|*");
#endif
    request.filterIndex = 1;
    request.initialFolder = appFolder;
    request.initialName = lastName;
    return request;
}

QString droppedProgram(const QMimeData& data)
{
    if (!data.hasUrls() || data.urls().size() != 1 || !data.urls().first().isLocalFile())
        return {};
    const QString path = QDir::toNativeSeparators(data.urls().first().toLocalFile());
    if (KindFromExtension(path) != 99 || path.endsWith(paths::separator()))
        return {};
    return path;
}

} // namespace shortcutedits
