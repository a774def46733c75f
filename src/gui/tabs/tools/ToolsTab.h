#pragma once

#include "actions/DriveWait.h"
#include "commands/ShortcutChecks.h"
#include "tabs/tools/ToolIcons.h"
#include "ui/ImageList.h"
#include "ui/TabController.h"
#include "ui/TabPins.h"
#include "ui/TabRows.h"
#include "work/OneAtATime.h"

#include <QObject>

#include <array>
#include <vector>

class HubContext;
class Launching;
class QelListView;

// The "Tools" tab: the shortcut folder, one entry per shortcut with its program's icon. Create
// adds a shortcut to a program the user picks; opening an entry starts its program. It asks,
// posts the command of the core library and shows what came of it: the folder is read and
// changed on the list line, program icons are read on their drives' lines (see ToolIcons).
class ToolsTab : public TabController {
public:
    using ShortcutEntry = shortcutedits::ShortcutEntry;

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
    // A shortcut to `program`, as Create makes it (a dropped program), then the list reloaded.
    void createShortcutTo(const QString& program);
    // Starts the chosen entry's program as it stands, with no arguments.
    void open() override;
    // Renames the chosen shortcut, asking for the new name; the protected ones are refused.
    void rename() override;
    // Deletes the chosen shortcut after asking; the protected ones are refused.
    void remove() override;
    void reload() override { LoadShortcutList(); }
    SharedRows shownRows() const override { return m_rows.shown<ListRows>(); }
    QList<Command> entryCommands() override;
    std::function<void()> dropAction(const QMimeData* data, bool shown) override;

    // The shortcuts on screen.
    std::vector<ShortcutEntry> entries() const;

    // The large (32 x 32) and small (16 x 16) icons of the shortcuts, by shortcut file name.
    std::array<ImageList, 2> imgShortCut;

private:
    void show(std::vector<ShortcutEntry> entries);
    std::optional<ShortcutEntry> chosen() const;
    // Looks whether the chosen shortcut's file is there and may have `edit` done to it, then
    // goes on with it; otherwise says why not.
    void withShortcut(shortcutedits::Edit edit, std::function<void(const ShortcutEntry&)> then);
    void renameChosen(const ShortcutEntry& entry);
    void removeChosen(const ShortcutEntry& entry);
    void offerUndo(const shortcutedits::ShortcutStep& step, bool again = false);

    const HubContext& m_hub;
    QelListView& m_list;
    Launching& m_launching;
    QString m_dialogFileName;
    TabRows m_rows;
    TabPins m_pins; // by shortcut file
    ToolIcons m_icons;
    work::OneAtATime m_loads;  // the folder read, one at a time
    QString m_selectAfterLoad; // a renamed shortcut, which the selection follows
    DriveWait m_waits;
    QObject m_alive; // answers from the lines are taken only while this lives
};
