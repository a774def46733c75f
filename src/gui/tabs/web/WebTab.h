#pragma once

#include "actions/DriveWait.h"
#include "commands/WebOutcomes.h"
#include "tabs/web/frmWeb.h"
#include "ui/TabController.h"
#include "ui/TabPins.h"
#include "ui/TabRows.h"
#include "work/OneAtATime.h"

#include <QObject>
#include <QPointer>

class HubContext;
class ImageList;
class QelListView;

// The "Web" tab: the web-link list and its file, the web link dialog that creates and renames
// links, and opening a link in the user's browser. It asks, posts the command of the core
// library on the list line and shows the list as the change left it.
class WebTab : public TabController {
public:
    WebTab(const HubContext& hub, QelListView& list, const ImageList& large,
           const ImageList& small);
    ~WebTab() override;

    WebLinkList& store() { return m_store; }

    // Fills the list from the file; a file that cannot be read is reported, the links read so
    // far stay.
    void LoadWebList();
    // The dialog's OK in "Create" and "Rename" mode: each reports its own failure, and the
    // dialog closes only once the link is stored, so that it keeps what was typed otherwise.
    void AppendWebLink(const QString& name, const QString& url);
    // Renames the link selected in the "Web" list now; the address typed in the dialog replaces
    // the link's only when the user changed it there.
    void RewriteWebList(const QString& name, const QString& url);
    // Removes every link of that name.
    void RemoveWebLink(const QString& name);

    void open() override;
    void create() override;
    void rename() override;
    void remove() override;
    void reload() override { LoadWebList(); }
    SharedRows shownRows() const override { return m_rows.shown<ListRows>(); }
    QList<Command> entryCommands() override;
    std::function<void()> dropAction(const QMimeData* data, bool shown) override;

    // The dialog in "Create" mode with `url` as the address (a dropped address).
    void createWithAddress(const QString& url);
    // The chosen link's address to the clipboard.
    void copyAddress();
    // The web link dialog while it is open.
    frmWeb* dialog() const { return m_dialog && m_dialog->isVisible() ? m_dialog.data() : nullptr; }

private:
    frmWeb& openDialog();
    frmWeb& dialogForCreate();
    void present(bool freshTexts);
    void dialogOk();
    std::optional<WebLinkRecord> chosen() const;
    // The order of the links on screen, which a rename writes them in.
    WebLinkList::Order screenOrder() const;
    // Shows the links (of a load, or as a change left them), selecting `select` when given.
    void show(const WebLinkList::Contents& links, const QString& select = {});
    // Posts the change `edit` of the link `name` on the list line, then shows what came of
    // it; `done` runs once it went through.
    using Change = std::function<webedits::Result()>;
    void post(webedits::Edit edit, const QString& name, Change change,
              std::function<void(const webedits::Result&)> done);
    void offerUndo(const webedits::DeletedLinks& step, bool again = false);
    void offerUndo(const webedits::RenamedLink& step, bool again = false);
    // Runs an undo of the link `name` and shows how it went: the restored link `select`, or why
    // nothing changed.
    void undo(const QString& name, Change change, const QString& select, const UndoTexts& texts,
              const std::function<void()>& offerAgain, const std::function<void()>& done);

    const HubContext& m_hub;
    QelListView& m_list;
    const ImageList& m_large;
    const ImageList& m_small;
    WebLinkList m_store;
    TabRows m_rows;
    TabPins m_pins; // by name and address
    QPointer<frmWeb> m_dialog;
    work::OneAtATime m_loads; // however often F5 is pressed, one read of the file at a time
    DriveWait m_waits;
    QObject m_alive; // answers from the list line are taken only while this lives
};
