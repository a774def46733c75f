#pragma once

#include "actions/DriveWait.h"
#include "lists/WebLinkList.h"
#include "tabs/web/frmWeb.h"
#include "ui/TabController.h"

#include <QObject>
#include <QPointer>

#include <vector>

class HubContext;
class ImageList;
class QelListView;

// One entry of the "Web" list: a link. Its identity is its name, matched exactly, as the
// web-link operations match it.
struct WebEntry {
    QString name;
    QString url;
};

// The "Web" tab: the web-link list and its file, the web link dialog that creates and renames
// links, and opening a link in the user's browser. The file is read and changed on the list
// queue; the list shows each answer when it arrives.
class WebTab : public TabController {
public:
    WebTab(const HubContext& hub, QelListView& list, const ImageList& large,
           const ImageList& small);
    ~WebTab() override;

    WebLinkList& store() { return m_store; }
    const std::vector<WebEntry>& entries() const { return m_entries; }

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
    std::optional<WebEntry> chosen() const;
    WebLinkList::Order screenOrder() const;
    // Changes the file on the list queue, then closes the dialog on success and reloads.
    // `renamedTo`: the name the selection follows to after the change.
    // `changed` runs once the file holds the change.
    void change(const QString& what, const QString& name,
                std::function<FileResult(WebLinkList&)> edit, bool closeDialog,
                const QString& renamedTo = {}, std::function<void()> changed = {});
    void reportSaveFailure(const FileResult& failure) const;

    // What Edit > Undo needs to take a Delete back: the lines that went, with their places...
    struct DeletedLinks {
        QString name;
        QList<records::TakenRecord> lines;
    };
    // ... and a Rename: the link before and after it.
    struct RenamedLink {
        WebLinkRecord before, after;
    };
    void offerUndo(const DeletedLinks& step, bool again = false);
    void offerUndo(const RenamedLink& step, bool again = false);
    void undoDelete(const DeletedLinks& step);
    void undoRename(const RenamedLink& step);
    enum class Undone { Done, Taken, Gone, Failed };
    // Shows how an undo went; `select` is the restored link's name.
    void finishUndo(Undone outcome, const FileResult& result, const QString& select,
                    const std::function<void()>& offerAgain);

    const HubContext& m_hub;
    QelListView& m_list;
    const ImageList& m_large;
    const ImageList& m_small;
    WebLinkList m_store;
    std::vector<WebEntry> m_entries;
    QPointer<frmWeb> m_dialog;
    QString m_selectAfterLoad;
    DriveWait m_waits;
    QObject m_alive; // answers from the list queue are taken only while this lives
};
