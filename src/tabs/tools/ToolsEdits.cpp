// Rename and Delete on the "Tools" tab: the companion tools' own shortcuts are protected; a
// renamed shortcut is written anew and read back before the old one goes; both keep the old
// shortcut's bytes for Undo. The file work runs on the list queue, one change at a time.
#include "base/Paths.h"
#include "formats/ShortcutHelper.h"
#include "platform/FileSystem.h"
#include "platform/Prompter.h"
#include "tabs/tools/ToolsTab.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"
#include "work/Work.h"

#include <QFile>

namespace {

// The companion tools' own shortcuts, which the hub's users must keep.
struct ProtectedShortcut {
    const char* fileName;
    bool noDelete;
    bool noRename;
};
constexpr ProtectedShortcut kProtected[] = {
    {"Model Library.lnk", true, true}, {"LogTallyPC.lnk", true, true},
    {"Plot Pictures.lnk", true, true}, {"Image Keeper.lnk", true, false},
    {"Sort Images.lnk", false, true},  {"Tabulate.lnk", false, true},
    {"Canopy Load.lnk", true, true},   {"Measure Swap.lnk", true, true},
};

const ProtectedShortcut* protection(const QString& fileName)
{
    for (const ProtectedShortcut& p : kProtected) {
        if (fileName.toUpper() == QString::fromLatin1(p.fileName).toUpper())
            return &p;
    }
    return nullptr;
}

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

} // namespace

void ToolsTab::reportGone(const ToolsEntry& entry) const
{
    m_hub.notice(QStringLiteral("The shortcut ") + entry.fileName +
                 QStringLiteral(" is no longer in the shortcut folder. Nothing was changed."));
}

void ToolsTab::withShortcut(const QString& what, std::function<void(const ToolsEntry&)> then)
{
    const std::optional<ToolsEntry> entry = chosen();
    if (!entry) {
        m_hub.notice(QStringLiteral("Please select shortcut"));
        return;
    }
    FileSystem* files = &m_hub.files();
    m_waits.run(
        work::Line::list(), what, entry->shortcutFile, DriveWait::Late::Drop,
        [files, file = entry->shortcutFile] { return files->isFile(file); },
        [this, e = *entry, then = std::move(then)](bool there) {
            if (!there) {
                m_hub.notice(QStringLiteral("Please select shortcut"));
                return;
            }
            then(e);
        });
}

void ToolsTab::rename()
{
    withShortcut(QStringLiteral("rename"), [this](const ToolsEntry& e) { renameChosen(e); });
}

void ToolsTab::renameChosen(const ToolsEntry& entry)
{
    if (const ProtectedShortcut* p = protection(entry.fileName); p && p->noRename) {
        m_hub.notice(QStringLiteral("Sorry, you can't rename this shortcut"));
        return;
    }
    const QString current = entry.fileName.left(entry.fileName.size() - 4);
    const QString answer = m_hub.prompter().inputBox(QStringLiteral("Rename shortcut ") + current,
                                                     QStringLiteral("  "), QStringLiteral(" "));
    if (answer.isEmpty()) {
        LoadShortcutList();
        return;
    }
    // A name that is no file name, or that would leave the shortcut folder, writes nothing.
    if (const QString refusal = paths::refusalOfNewName(answer); !refusal.isEmpty()) {
        m_hub.notice(refusal);
        LoadShortcutList();
        return;
    }
    enum class Outcome { Renamed, Gone, Taken, Failed, OldKept };
    struct Renamed {
        Outcome outcome = Outcome::Renamed;
        FileResult result;
        QString newFile;
        std::optional<QByteArray> oldBytes; // for Undo, which must bring back the shortcut itself
    };
    FileSystem* files = &m_hub.files();
    m_waits.run(
        work::Line::list(), QStringLiteral("rename shortcut"), entry.shortcutFile,
        DriveWait::Late::Deliver,
        [files, app = m_hub.appFolder(), oldFile = entry.shortcutFile, answer,
         afterWrite = afterRenameWrite]() {
            Renamed r;
            if (!files->isFile(oldFile)) {
                r.outcome = Outcome::Gone;
                return r;
            }
            const QString folder = shortcutFolder(app);
            const QString newName = answer + QStringLiteral(".lnk");
            if (paths::existsIgnoringCase(folder, newName)) {
                r.outcome = Outcome::Taken;
                return r;
            }
            r.oldBytes = bytesOf(oldFile);
            ShortcutHelper helper;
            ShortcutData old;
            QString oldPath = oldFile, oldArguments, oldIcon;
            r.result = helper.ReadShortcut(oldPath, old.targetPath, old.workingFolder, oldArguments,
                                           oldIcon, old.iconIndex, old.hotKey);
            if (!r.result.ok) {
                r.outcome = Outcome::Failed;
                return r;
            }
            // The new shortcut keeps the old target and working folder; its icon is the target.
            const ShortcutData wanted{
                old.targetPath, old.workingFolder, QStringLiteral(" "), old.targetPath, 0, 0};
            ShortcutData w = wanted;
            r.newFile = paths::join(folder, newName);
            QString newPath = r.newFile;
            r.result = helper.CreateShortcut(newPath, w.targetPath, w.workingFolder, w.argumentText,
                                             w.iconFile, w.iconIndex, w.hotKey);
            if (!r.result.ok) {
                r.outcome = Outcome::Failed;
                return r;
            }
            if (afterWrite)
                afterWrite(newPath);
            // The old shortcut goes only once the new one reads back as written.
            ShortcutData back;
            r.result =
                helper.ReadShortcut(newPath, back.targetPath, back.workingFolder, back.argumentText,
                                    back.iconFile, back.iconIndex, back.hotKey);
            if (r.result.ok && !(back == wanted))
                r.result =
                    FileResult::refused(QStringLiteral("The new shortcut did not read back as "
                                                       "written"));
            if (!r.result.ok) {
                files->remove(r.newFile);
                r.outcome = Outcome::Failed;
                return r;
            }
            r.result = files->remove(oldFile);
            r.outcome = r.result.ok ? Outcome::Renamed : Outcome::OldKept;
            return r;
        },
        [this, entry, answer](const Renamed& r) {
            switch (r.outcome) {
            case Outcome::Gone:
                reportGone(entry);
                break;
            case Outcome::Taken:
                m_hub.notice(answer.toUpper() +
                             QStringLiteral(" already exists, can't change name"));
                break;
            case Outcome::Failed:
                m_hub.fileFailure(QStringLiteral("The shortcut was not renamed"), r.result);
                break;
            case Outcome::OldKept:
                m_hub.fileFailure(QStringLiteral("The shortcut was copied to ") + answer +
                                      QStringLiteral(".lnk, but the old one could not be "
                                                     "removed: ") +
                                      entry.fileName,
                                  r.result);
                break;
            case Outcome::Renamed:
                m_selectAfterLoad = r.newFile;
                if (r.oldBytes)
                    offerUndo({entry.shortcutFile, *r.oldBytes, r.newFile});
                break;
            }
            LoadShortcutList();
        });
}

void ToolsTab::remove()
{
    withShortcut(QStringLiteral("delete"), [this](const ToolsEntry& e) { removeChosen(e); });
}

void ToolsTab::removeChosen(const ToolsEntry& entry)
{
    if (const ProtectedShortcut* p = protection(entry.fileName); p && p->noDelete) {
        m_hub.notice(QStringLiteral("Sorry, you can't delete this shortcut"));
        return;
    }
    if (!m_hub.ask(QStringLiteral("Are your sure you want to delete the shortcut: ") +
                   entry.fileName.toUpper()))
        return;
    FileSystem* files = &m_hub.files();
    m_waits.run(
        work::Line::list(), QStringLiteral("delete shortcut"), entry.shortcutFile,
        DriveWait::Late::Deliver,
        [files, file = entry.shortcutFile] {
            struct Removed {
                bool wasThere = false;
                std::optional<QByteArray> bytes;
                bool removed = false;
            } r;
            if (!files->isFile(file))
                return r; // gone meanwhile
            r.wasThere = true;
            r.bytes = bytesOf(file);
            // A failure shows when the reload lists it again.
            r.removed = files->remove(file).ok;
            return r;
        },
        [this, entry](const auto& r) {
            if (!r.wasThere)
                reportGone(entry);
            else if (r.removed && r.bytes)
                offerUndo({entry.shortcutFile, *r.bytes, {}});
            LoadShortcutList();
        });
}
