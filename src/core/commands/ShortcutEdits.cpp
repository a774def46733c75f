#include "commands/ShortcutEdits.h"

#include "base/Paths.h"
#include "formats/ShortcutHelper.h"
#include "platform/FileSystem.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

// A shortcut file's bytes as they stand, for Undo; nothing when they cannot be read.
std::optional<QByteArray> bytesOf(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// Writes `bytes` as the new file `file`, whole or not at all, failing when anything stands there.
FileResult writeNewFile(FileSystem& files, const QString& file, const QByteArray& bytes)
{
    const QFileInfo info(file);
    // Hidden and without the shortcut extension, so that no list shows it halfway.
    const QString part =
        paths::join(info.path(), QLatin1Char('.') + info.fileName() + QStringLiteral(".undo"));
    QSaveFile out(part);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return FileResult::failure(int(out.error()), out.errorString());
    const FileResult moved = files.rename(part, file);
    if (!moved.ok)
        files.remove(part);
    return moved;
}

Result outcome(Outcome o, FileResult r = {})
{
    Result result;
    result.outcome = o;
    result.result = std::move(r);
    return result;
}

} // namespace

std::vector<ShortcutEntry> readShortcutFolder(const QString& appFolder)
{
    // The folder as it is spelled on disk, as rename and create name it: the rows' keys are the
    // files they write.
    const QString folder = shortcutFolder(appFolder);
    // Ordinary, unhidden files only. Pipes and devices are skipped (a pipe would block the
    // read); without QDir::System Qt on Windows would skip shell links.
    std::vector<ShortcutEntry> entries;
    QDirIterator it(folder, {QStringLiteral("*.lnk")}, QDir::Files | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (!info.isFile() && !info.isShortcut())
            continue;
        ShortcutEntry e;
        e.fileName = info.fileName();
        e.shortcutFile = paths::join(folder, e.fileName);
        QString file = e.shortcutFile, target, working, arguments;
        qint32 number1 = 0, number2 = 0;
        e.read = ShortcutHelper().ReadShortcut(file, target, working, arguments, e.program, number1,
                                               number2);
        if (!e.read.ok)
            e.program.clear();
        entries.push_back(std::move(e));
    }
    return entries;
}

Protection protectionOf(const QString& shortcutFileName)
{
    for (const ProtectedShortcut& p : kProtected) {
        if (shortcutFileName.compare(QLatin1String(p.fileName), Qt::CaseInsensitive) == 0)
            return p.protection;
    }
    return {};
}

Written createShortcutTo(const QString& appFolder, const QString& program)
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
    w.result =
        ShortcutHelper().CreateShortcut(file, target, folder, arguments, icon, number1, number2);
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
    const std::optional<QByteArray> oldBytes = bytesOf(oldFile);
    ShortcutHelper helper;
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
        return outcome(Outcome::Failed, r);
    if (afterRenameWrite)
        afterRenameWrite(newPath);
    // The old shortcut goes only once the new one reads back as written.
    ShortcutData back;
    FileResult r =
        helper.ReadShortcut(newPath, back.targetPath, back.workingFolder, back.argumentText,
                            back.iconFile, back.iconIndex, back.hotKey);
    if (r.ok && !(back == wanted))
        r = FileResult::refused(QStringLiteral("The new shortcut did not read back as written"));
    if (!r.ok) {
        files.remove(newFile);
        return outcome(Outcome::Failed, r);
    }
    Result result = outcome(Outcome::Done, files.remove(oldFile));
    result.newFile = newFile;
    if (!result.result.ok)
        result.outcome = Outcome::OldKept;
    else if (oldBytes)
        result.undo = ShortcutStep{oldFile, *oldBytes, newFile};
    return result;
}

Result remove(FileSystem& files, const QString& file)
{
    if (!files.isFile(file))
        return outcome(Outcome::Gone);
    const std::optional<QByteArray> bytes = bytesOf(file);
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
    if (FileResult r = writeNewFile(files, step.file, step.bytes); !r.ok)
        return outcome(r.alreadyExists() ? Outcome::Taken : Outcome::Failed, r);
    if (!step.renamedTo.isEmpty()) {
        // Both names at once would be two shortcuts where there was one.
        if (FileResult r = files.remove(step.renamedTo); !r.ok) {
            files.remove(step.file);
            return outcome(Outcome::Failed, r);
        }
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
            {}};
}

} // namespace shortcutedits
