#pragma once

#include "actions/DriveWait.h"
#include "base/FileResult.h"
#include "platform/IconSource.h"
#include "ui/ImageList.h"
#include "ui/TabController.h"

#include <QObject>

#include <array>
#include <functional>
#include <vector>

class HubContext;
class Launching;
class QelListView;

// One entry of the "Tools" list: a shortcut file of the shortcut folder. Its identity is the
// shortcut file's path.
struct ToolsEntry {
    QString shortcutFile;
    QString fileName; // the shortcut file's name, extension included: its image key
    QString program;  // what the shortcut starts, as its icon file names it
    FileResult read;  // a shortcut that cannot be read says why
};

// The "Tools" tab: the shortcut folder, one entry per shortcut with its program's icon. Create
// adds a shortcut to a program the user picks; opening an entry starts its program. Folder and
// shortcut files are read, and program icons drawn from their files, away from the window's
// thread; shortcuts are written on the list queue, one change at a time.
class ToolsTab : public TabController {
public:
    ToolsTab(const HubContext& hub, QelListView& list, Launching& launching);
    ~ToolsTab() override;

    // Rebuilds the list and both image lists from the shortcut folder and leaves the list in
    // report view. A shortcut that cannot be read is listed greyed with the broken icon and no
    // program, so that the user can see it and delete it. Program icons follow as they are read.
    void LoadShortcutList();
    // Edit > Create on this tab: a shortcut "Shortcut to NAME.lnk" to a program the user picks;
    // the list is reloaded whether or not one was made.
    void create() override;
    // The program-picking dialog: `result` is 0 with the chosen path in `path`, or the
    // dialog-cancelled code. The name box shows what it held after its last use.
    void BrowseForTool(int& result, QString& path);
    // A shortcut "Shortcut to NAME.lnk" to `program`, as Create makes it (a dropped program),
    // then the list reloaded.
    void createShortcutTo(const QString& program);
    // Starts the chosen entry's program as it stands, with no arguments.
    void open() override;
    // Renames the chosen shortcut, asking for the new name; the protected ones are refused.
    void rename() override;
    // Deletes the chosen shortcut after asking; the protected ones are refused.
    void remove() override;
    void reload() override { LoadShortcutList(); }
    std::function<void()> dropAction(const QMimeData* data, bool shown) override;

    const std::vector<ToolsEntry>& entries() const { return m_entries; }

    // Test hook: runs on the worker right after a renamed shortcut is written and before it is
    // read back, as a drive that does not keep what it was given or another program would.
    static inline std::function<void(const QString& newFile)> afterRenameWrite;

    // The large (32 x 32) and small (16 x 16) icons of the shortcuts, by shortcut file name.
    std::array<ImageList, 2> imgShortCut;

private:
    struct Listing;
    void show(Listing listing);
    void readIcons(const std::vector<ToolsEntry>& entries);
    std::optional<ToolsEntry> chosen() const;
    // Looks whether the chosen shortcut's file is there, then goes on with it; otherwise says
    // "Please select shortcut".
    void withShortcut(const QString& what, std::function<void(const ToolsEntry&)> then);
    void renameChosen(const ToolsEntry& entry);
    void removeChosen(const ToolsEntry& entry);
    void reportGone(const ToolsEntry& entry) const;

    // What Edit > Undo needs to take a Delete or Rename back: the shortcut file that went, with
    // its bytes as they were, and for a Rename the shortcut that took its place.
    struct ShortcutStep {
        QString file;
        QByteArray bytes;
        QString renamedTo; // empty for a Delete
    };
    void offerUndo(const ShortcutStep& step, bool again = false);
    void undoStep(const ShortcutStep& step);

    const HubContext& m_hub;
    QelListView& m_list;
    Launching& m_launching;
    QString m_dialogFileName;
    std::vector<ToolsEntry> m_entries;
    QHash<QString, QIcon> m_programIcons; // by program path, for the load under way
    int m_load = 0;                       // the number of the latest load
    QString m_selectAfterLoad;            // a renamed shortcut, which the selection follows
    DriveWait m_waits;
    QObject m_alive; // answers from the queues are taken only while this lives
};
