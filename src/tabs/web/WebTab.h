#pragma once

#include "lists/WebLinkList.h"
#include "tabs/web/frmWeb.h"
#include "ui/TabController.h"

#include <QPointer>

class HubContext;
class ImageList;
class QelListView;
class QWidget;

// The "Web" tab: the web-link list and its file, the web link dialog that creates and renames
// links, and opening a link in the user's browser.
class WebTab : public TabController {
public:
    WebTab(const HubContext& hub, QelListView& list, const ImageList& large, const ImageList& small,
           QWidget* mainWindow);
    ~WebTab() override;

    WebLinkList& store() { return m_store; }

    // Fills the list from the file; a file that cannot be read is reported, the links read so
    // far stay.
    void LoadWebList();
    // The dialog's OK in "Create" and "Rename" mode. Each reports its own failure and returns
    // false when nothing was stored, so that the dialog keeps what was typed.
    bool AppendWebLink(const QString& name, const QString& url);
    bool RewriteWebList(const QString& name, const QString& url);
    // Removes every link of that name.
    void RemoveWebLink(const QString& name);

    void open() override;
    void create() override;
    void rename() override;
    void remove() override;
    void reload() override { LoadWebList(); }

    // The dialog in "Create" mode with `url` as the address (a dropped address).
    void createWithAddress(const QString& url);
    // The selected link's address to the clipboard.
    void copyAddress();
    // The web link dialog while it is open.
    frmWeb* dialog() const { return m_dialog && m_dialog->isVisible() ? m_dialog.data() : nullptr; }

private:
    frmWeb& openDialog();
    frmWeb& dialogForCreate();
    void present(bool freshTexts);
    WebLinkList::Order screenOrder() const;
    void reportSaveFailure(const FileResult& failure) const;

    const HubContext& m_hub;
    QelListView& m_list;
    const ImageList& m_large;
    const ImageList& m_small;
    QWidget* m_mainWindow;
    WebLinkList m_store;
    QPointer<frmWeb> m_dialog;
};
