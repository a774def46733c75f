#include "commands/OpenReplies.h"

#include "base/Paths.h"
#include "lists/DataFileKind.h"

#include <QDir>

#include <cerrno>

namespace openreply {

using openedits::Outcome;
using openedits::Result;

namespace {

Reply told(commands::Told told)
{
    Reply reply;
    reply.told = std::move(told);
    return reply;
}

Reply notice(QString text)
{
    return told(commands::Told::of(std::move(text)));
}

Reply fileFailure(QString text, FileResult reason)
{
    return told(commands::Told::failed(std::move(text), std::move(reason)));
}

// The entry has left the list since it was chosen: said, and the list read again.
Reply gone(const OpenEntry& entry)
{
    Reply reply = notice(openedits::goneText(entry));
    reply.reload = true;
    return reply;
}

Reply shown(Result& r, Reply reply = {})
{
    reply.listing = std::move(r.listing);
    return reply;
}

} // namespace

QString droppedDataFile(const QList<QUrl>& urls)
{
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return {};
    const QString path = QDir::toNativeSeparators(urls.first().toLocalFile());
    if (KindFromExtension(path) == 99 || path.endsWith(paths::separator()))
        return {};
    return path;
}

Reply saveFailure(const FileResult& reason)
{
    return fileFailure(QStringLiteral("Problem saving to QEL list"), reason);
}

Reply damagedList(qsizetype line)
{
    if (line <= 0)
        return {};
    return fileFailure(QStringLiteral("Problem reading QEL list"),
                       FileResult::failure(
                           EINVAL, QStringLiteral("Line %1 is too long to be a record").arg(line)));
}

Reply afterOpen(const QString& appFolder, const OpenEntry& entry, Result r)
{
    switch (r.outcome) {
    case Outcome::NotFullPath:
        // Any program may write the list: such a path is never handed to a tool, and its entry
        // stays for the program that wrote it.
        return notice(openedits::notFullPathText(entry));
    case Outcome::NotConnected:
        return notice(openedits::notConnectedText(entry));
    case Outcome::NotAnswering:
        return notice(openedits::notAnsweringText(entry));
    case Outcome::Missing: {
        // Only the entry goes, whether the user locates the file or not.
        Reply reply;
        reply.locate = openedits::locateQuestion(entry);
        reply.browseTag = SpacesToQuestionMarks(entry.name);
        reply.drop = entry;
        return reply;
    }
    default:
        break;
    }
    Reply reply;
    QString name, folder;
    SplitPath(r.file, &name, &folder);
    reply.launch = commandForOpen(appFolder, entry.kindCode, folder, name);
    reply.file = r.file;
    return reply;
}

Reply afterRename(const OpenEntry& entry, Result r)
{
    switch (r.outcome) {
    case Outcome::Gone:
        return gone(entry);
    case Outcome::Missing: {
        Reply reply =
            told(commands::Told::of(QStringLiteral("File does not exists, removing entry"), true));
        reply.drop = entry;
        return reply;
    }
    case Outcome::NotConnected:
        return notice(openedits::notConnectedText(entry));
    case Outcome::NotAnswering:
        return notice(openedits::notAnsweringText(entry));
    case Outcome::Done: {
        // The selection and the pin go with the entry to its new name.
        Reply reply = shown(r);
        reply.pins = openundo::PinMove{entry.path(), r.renamed->newPath, false};
        reply.select = r.renamed->newPath;
        if (entry.name != r.renamed->finalName)
            reply.undo = *r.renamed;
        return reply;
    }
    default:
        return saveFailure(r.result);
    }
}

Reply afterDelete(const OpenEntry& entry, Result r)
{
    switch (r.outcome) {
    case Outcome::Gone:
        return gone(entry);
    case Outcome::NotConnected:
        // Also when the drive went during the command, which then put back what it did.
        return shown(r, notice(openedits::notConnectedText(entry, true)));
    case Outcome::NotAnswering:
        return notice(openedits::notAnsweringText(entry));
    case Outcome::TrashRefused: {
        Reply reply;
        reply.forGood = openedits::trashRefusedQuestion(entry);
        reply.entry = entry;
        return reply;
    }
    case Outcome::Done: {
        // A file deleted for good cannot come back, and an older step would not undo this
        // delete.
        Reply reply = shown(r);
        if (r.deleted)
            reply.undo = openundo::Deleted{*r.deleted, QStringLiteral("Delete")};
        else
            reply.clearUndo = true;
        return reply;
    }
    default:
        if (!r.partly)
            return fileFailure(openedits::notDeletedText(entry), r.result);
        Reply reply = shown(r, fileFailure(openedits::fileStayedText(entry), r.result));
        reply.clearUndo = true;
        return reply;
    }
}

Reply afterRemove(const OpenEntry& entry, Result r)
{
    if (r.outcome == Outcome::Failed)
        return saveFailure(r.result);
    if (r.outcome == Outcome::Gone) {
        Reply reply = shown(r, notice(openedits::goneText(entry)));
        reply.toldFirst = true;
        return reply;
    }
    Reply reply = shown(r);
    reply.undo = openundo::Deleted{*r.deleted, QStringLiteral("Remove")};
    return reply;
}

Reply afterCleanUp(Result r)
{
    if (r.outcome == Outcome::Failed)
        return saveFailure(r.result);
    Reply reply = shown(r);
    if (r.cleaned)
        reply.undo = *r.cleaned;
    return reply;
}

Reply afterFollow(Result r, std::optional<drivefollow::Moved> moved)
{
    if (r.outcome == Outcome::Failed)
        return saveFailure(r.result);
    Reply reply = shown(r);
    if (moved) {
        // The pins go with the entries to the drive's new place.
        reply.pins = openundo::PinMove{moved->from, moved->to, true};
        reply.undo = std::move(*moved);
    }
    return reply;
}

Reply afterUndo(openundo::Undone undone)
{
    if (undone.result.outcome != Outcome::Done) {
        Reply reply;
        reply.undone = std::move(undone);
        reply.reload = true;
        return reply;
    }
    Reply reply = shown(undone.result);
    reply.pins = undone.pins;
    reply.select = undone.select;
    return reply;
}

Reply afterDrop(const Result& r)
{
    return r.outcome == Outcome::Failed ? saveFailure(r.result) : Reply{};
}

} // namespace openreply
