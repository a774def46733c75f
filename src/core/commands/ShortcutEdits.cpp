#include "commands/ShortcutEdits.h"

#include "base/Paths.h"
#include "formats/ShortcutHelper.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace shortcutedits {

namespace {

struct ProtectedShortcut {
    const char* fileName;
    Protection protection;
};
constexpr ProtectedShortcut kProtected[] = {
    {"Model Library.lnk", {true, true}}, {"LogTallyPC.lnk", {true, true}},
    {"Plot Pictures.lnk", {true, true}}, {"Image Keeper.lnk", {true, false}},
    {"Sort Images.lnk", {false, true}},  {"Tabulate.lnk", {false, true}},
    {"Canopy Load.lnk", {true, true}},   {"Measure Swap.lnk", {true, true}},
};

// A shortcut file's bytes as they stand, for Undo; nothing when they cannot be read. Shortcut
// files are small: a huge one is not a shortcut, and is not kept.
std::optional<QByteArray> bytesOf(FileSystem& files, const QString& file)
{
    constexpr qsizetype kLimit = 1 << 20;
    QByteArray bytes;
    if (!files.read(file, kLimit + 1, &bytes).ok || bytes.size() > kLimit)
        return std::nullopt;
    return bytes;
}

// A shortcut file is taken only as it reads back: byte for byte what was written, and, where
// it was written as one, a shortcut (Undo brings back a damaged one as it was).
FileResult readsBackAs(const QByteArray& back, const QByteArray& written, bool shortcut = true)
{
    if (back != written || (shortcut && !ShortcutHelper::decode(back)))
        return FileResult::failure(
            EIO, QStringLiteral("The shortcut file did not read back as it was written"));
    return {};
}

// Writes shortcut files whole through `files`: over an old one of that name when `replaceOld`,
// else only where nothing stands.
ShortcutHelper::Writer wholeFiles(FileSystem& files, bool replaceOld)
{
    return [&files, replaceOld](const QString& file, const QByteArray& bytes) {
        return writeWhole(
            files, file, bytes,
            [&bytes](const QByteArray& back) { return readsBackAs(back, bytes); }, replaceOld);
    };
}

Result outcome(Outcome o, FileResult r = {})
{
    Result result;
    result.outcome = o;
    result.result = std::move(r);
    return result;
}

} // namespace

Protection protectionOf(const QString& shortcutFileName)
{
    for (const ProtectedShortcut& p : kProtected) {
        if (shortcutFileName.compare(QLatin1String(p.fileName), Qt::CaseInsensitive) == 0)
            return p.protection;
    }
    return {};
}

Written createShortcutTo(FileSystem& files, const QString& appFolder, const QString& program)
{
    QString fileName, folder;
    SplitPath(program, &fileName, &folder);
    Written w;
    w.file = paths::resolveIgnoringCase(shortcutFolder(appFolder), QStringLiteral("Shortcut to ") +
                                                                       fileName +
                                                                       QStringLiteral(".lnk"));
    QString file = w.file, target = program, icon = program;
    QString arguments = QStringLiteral(" ");
    qint32 number1 = 0, number2 = 0;
    w.result = ShortcutHelper(wholeFiles(files, true))
                   .CreateShortcut(file, target, folder, arguments, icon, number1, number2);
    return w;
}

Result rename(FileSystem& files, const QString& appFolder, const QString& oldFile,
              const QString& typed)
{
    // A name that is no file name, or that would leave the shortcut folder, writes nothing.
    if (const QString refusal = paths::refusalOfNewName(typed); !refusal.isEmpty()) {
        Result r = outcome(Outcome::Refused);
        r.refusal = refusal;
        return r;
    }
    if (!files.isFile(oldFile))
        return outcome(Outcome::Gone);
    const QString folder = shortcutFolder(appFolder);
    const QString newName = typed + QStringLiteral(".lnk");
    if (paths::existsIgnoringCase(folder, newName))
        return outcome(Outcome::Taken);
    const std::optional<QByteArray> oldBytes = bytesOf(files, oldFile);
    ShortcutHelper helper(wholeFiles(files, false));
    ShortcutData old;
    QString oldPath = oldFile, oldArguments, oldIcon;
    if (FileResult r = helper.ReadShortcut(oldPath, old.targetPath, old.workingFolder, oldArguments,
                                           oldIcon, old.iconIndex, old.hotKey);
        !r.ok)
        return outcome(Outcome::Failed, r);
    // The new shortcut keeps the old target and working folder; its icon is the target.
    const ShortcutData wanted{
        old.targetPath, old.workingFolder, QStringLiteral(" "), old.targetPath, 0, 0};
    ShortcutData w = wanted;
    const QString newFile = paths::join(folder, newName);
    QString newPath = newFile;
    if (FileResult r = helper.CreateShortcut(newPath, w.targetPath, w.workingFolder, w.argumentText,
                                             w.iconFile, w.iconIndex, w.hotKey);
        !r.ok)
        return outcome(
            r.alreadyExists() && files.exists(newFile) ? Outcome::Taken : Outcome::Failed, r);
    if (afterRenameWrite)
        afterRenameWrite(newPath);
    // The old shortcut goes only once the new one reads back as written.
    ShortcutData back;
    FileResult r =
        helper.ReadShortcut(newPath, back.targetPath, back.workingFolder, back.argumentText,
                            back.iconFile, back.iconIndex, back.hotKey);
    if (r.ok && !(back == wanted))
        r = FileResult::failure(EIO,
                                QStringLiteral("The new shortcut did not read back as written"));
    if (!r.ok) {
        files.remove(newFile);
        return outcome(Outcome::Failed, r);
    }
    // An old one that cannot go takes the new one back with it, so that nothing was changed;
    // only when that fails too do both stand.
    if (FileResult removed = files.remove(oldFile); !removed.ok) {
        Result kept =
            outcome(files.remove(newFile).ok ? Outcome::Failed : Outcome::OldKept, removed);
        kept.newFile = newFile;
        return kept;
    }
    Result result = outcome(Outcome::Done);
    result.newFile = newFile;
    if (oldBytes)
        result.undo = ShortcutStep{oldFile, *oldBytes, newFile};
    return result;
}

Result remove(FileSystem& files, const QString& file)
{
    if (!files.isFile(file))
        return outcome(Outcome::Gone);
    const std::optional<QByteArray> bytes = bytesOf(files, file);
    Result result;
    if (files.remove(file).ok && bytes)
        result.undo = ShortcutStep{file, *bytes, {}};
    return result;
}

Result undo(FileSystem& files, const ShortcutStep& step)
{
    if (!step.renamedTo.isEmpty() && !files.isFile(step.renamedTo))
        return outcome(Outcome::Gone);
    const QFileInfo old(step.file);
    if (paths::existsIgnoringCase(old.path(), old.fileName()))
        return outcome(Outcome::Taken);
    const FileResult written = writeWhole(
        files, step.file, step.bytes,
        [&step](const QByteArray& back) { return readsBackAs(back, step.bytes, false); }, false);
    if (!written.ok)
        return outcome(written.alreadyExists() && files.exists(step.file) ? Outcome::Taken
                                                                          : Outcome::Failed,
                       written);
    if (!step.renamedTo.isEmpty()) {
        // Both names at once would be two shortcuts where there was one: the old one goes again,
        // and only when that fails too do both stand.
        if (FileResult r = files.remove(step.renamedTo); !r.ok)
            return outcome(files.remove(step.file).ok ? Outcome::Failed : Outcome::OldKept, r);
    }
    return outcome(Outcome::Done);
}

QString deleteQuestion(const QString& fileName)
{
    return QStringLiteral("Are your sure you want to delete the shortcut: ") + fileName.toUpper();
}

QString goneText(const QString& fileName)
{
    return QStringLiteral("The shortcut ") + fileName +
           QStringLiteral(" is no longer in the shortcut folder. Nothing was changed.");
}

QString takenText(const QString& typed)
{
    return typed.toUpper() + QStringLiteral(" already exists, can't change name");
}

QString oldKeptText(const QString& typed, const QString& oldFileName)
{
    return QStringLiteral("The shortcut was copied to ") + typed +
           QStringLiteral(".lnk, but the old one could not be removed: ") + oldFileName;
}

QString notRenamedText()
{
    return QStringLiteral("The shortcut was not renamed");
}

QString notWrittenText(const QString& file)
{
    return QStringLiteral("The shortcut could not be written: ") + file;
}

QString undoCaption(const ShortcutStep& step)
{
    const bool renamed = !step.renamedTo.isEmpty();
    return QStringLiteral("Undo ") +
           (renamed ? QStringLiteral("Rename") : QStringLiteral("Delete")) +
           QStringLiteral(" of ") + QFileInfo(renamed ? step.renamedTo : step.file).fileName();
}

UndoTexts undoTexts(const ShortcutStep& step)
{
    return {QStringLiteral("Cannot undo: a shortcut named ") + QFileInfo(step.file).fileName() +
                QStringLiteral(" already exists. Nothing was changed."),
            QStringLiteral("Cannot undo: the shortcut ") + QFileInfo(step.renamedTo).fileName() +
                QStringLiteral(" is no longer in the shortcut folder. Nothing was changed."),
            {},
            QStringLiteral("The shortcut ") + QFileInfo(step.file).fileName() +
                QStringLiteral(" is back, but ") + QFileInfo(step.renamedTo).fileName() +
                QStringLiteral(" could not be removed")};
}

} // namespace shortcutedits
