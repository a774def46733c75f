#pragma once

#include "base/FileResult.h"
#include "ui/ImageList.h"
#include "ui/TabController.h"

#include <QHash>

#include <array>

class HubContext;
class Launching;
class QelListView;

// The "Tools" tab: the shortcut folder, one entry per shortcut with its program's icon. Create
// adds a shortcut to a program the user picks; opening an entry starts its program.
class ToolsTab : public TabController {
public:
    ToolsTab(const HubContext& hub, QelListView& list, Launching& launching);

    // Rebuilds the list and both image lists from the shortcut folder and leaves the list in
    // report view. A shortcut that cannot be read is listed with the broken icon and no program,
    // so that the user can see it and delete it.
    void LoadShortcutList();
    // Edit > Create on this tab: a shortcut "Shortcut to NAME.lnk" to a program the user picks;
    // the list is reloaded whether or not one was made.
    void create() override;
    // The program-picking dialog: `result` is 0 with the chosen path in `path`, or the
    // dialog-cancelled code. The name box shows what it held after its last use.
    void BrowseForTool(int& result, QString& path);
    // A shortcut "Shortcut to NAME.lnk" to `program`, as Create makes it (a dropped program).
    void createShortcutTo(const QString& program);
    // Starts the selected entry's program as it stands, with no arguments.
    void open() override;
    // Renames the selected shortcut, asking for the new name; the protected ones are refused.
    void rename() override;
    // Deletes the selected shortcut after asking; the protected ones are refused.
    void remove() override;
    void reload() override { LoadShortcutList(); }

    // The large (32 x 32) and small (16 x 16) icons of the shortcuts, by shortcut file name.
    std::array<ImageList, 2> imgShortCut;

private:
    // The selected entry's shortcut file, or empty (after "Please select shortcut") when there is
    // none or its file has gone.
    QString selectedShortcut() const;
    // Gives the shortcut `oldFile` the name `answer` + ".lnk": the new one is written and read
    // back before the old one goes. Every refusal and failure is told to the user.
    void renameShortcut(const QString& oldFile, const QString& answer);

    const HubContext& m_hub;
    QelListView& m_list;
    Launching& m_launching;
    QString m_dialogFileName;
    // The shortcut files of the last load that could not be read, by path, with the reason.
    QHash<QString, FileResult> m_unreadable;
};
