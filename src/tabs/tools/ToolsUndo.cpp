// Edit > Undo on the "Tools" tab: a deleted shortcut comes back byte for byte; a renamed one gets
// its old file back (the rename wrote a new shortcut, so the old one's own bytes are put back,
// not a shortcut made anew) and the renamed file goes. Nothing that stands at the old name is
// ever replaced.
#include "base/Paths.h"
#include "platform/FileSystem.h"
#include "tabs/tools/ToolsTab.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"
#include "work/Work.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {
enum class Outcome { Done, Taken, Gone, Failed };
struct Undone {
    Outcome outcome = Outcome::Failed;
    FileResult result;
};

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
} // namespace

void ToolsTab::offerUndo(const ShortcutStep& step, bool again)
{
    const QString verb =
        step.renamedTo.isEmpty() ? QStringLiteral("Delete") : QStringLiteral("Rename");
    const QString shown =
        QFileInfo(step.renamedTo.isEmpty() ? step.file : step.renamedTo).fileName();
    const QString text = QStringLiteral("Undo ") + verb + QStringLiteral(" of ") + shown;
    auto run = [this, step] { undoStep(step); };
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}

void ToolsTab::undoStep(const ShortcutStep& step)
{
    FileSystem* files = &m_hub.files();
    const bool started = m_waits.run(
        work::Line::list(), QStringLiteral("undo"), step.file, DriveWait::Late::Deliver,
        [files, step] {
            Undone u;
            if (!step.renamedTo.isEmpty() && !files->isFile(step.renamedTo)) {
                u.outcome = Outcome::Gone;
                return u;
            }
            const QFileInfo old(step.file);
            if (paths::existsIgnoringCase(old.path(), old.fileName())) {
                u.outcome = Outcome::Taken;
                return u;
            }
            if (u.result = writeNewFile(*files, step.file, step.bytes); !u.result.ok) {
                u.outcome = u.result.alreadyExists() ? Outcome::Taken : Outcome::Failed;
                return u;
            }
            if (!step.renamedTo.isEmpty()) {
                // Both names at once would be two shortcuts where there was one.
                if (u.result = files->remove(step.renamedTo); !u.result.ok) {
                    files->remove(step.file);
                    return u;
                }
            }
            u.outcome = Outcome::Done;
            return u;
        },
        [this, step](const Undone& u) {
            const QString oldName = QFileInfo(step.file).fileName();
            switch (u.outcome) {
            case Outcome::Done:
                m_selectAfterLoad = step.file;
                break;
            case Outcome::Taken:
                m_hub.notice(QStringLiteral("Cannot undo: a shortcut named ") + oldName +
                             QStringLiteral(" already exists. Nothing was changed."));
                offerUndo(step, true);
                break;
            case Outcome::Gone:
                m_hub.notice(QStringLiteral("Cannot undo: the shortcut ") +
                             QFileInfo(step.renamedTo).fileName() +
                             QStringLiteral(" is no longer in the shortcut folder. Nothing was "
                                            "changed."));
                break;
            case Outcome::Failed:
                m_hub.fileFailure(QStringLiteral("The undo did not go through. Nothing was "
                                                 "changed."),
                                  u.result);
                offerUndo(step, true);
                break;
            }
            LoadShortcutList();
        });
    if (!started)
        offerUndo(step, true);
}
