#include "tabs/web/WebTab.h"

#include "actions/WebPages.h"
#include "base/Columns.h"
#include "tabs/web/frmWeb.h"
#include "ui/HubContext.h"
#include "ui/ListModel.h"
#include "ui/QelListView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {
// The list file's format holds no double quote and no line break in a field.
bool storable(const QString& text)
{
    return !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\r')) &&
           !text.contains(QLatin1Char('\n'));
}
} // namespace

WebTab::WebTab(const HubContext& hub, QelListView& list, const ImageList& large,
               const ImageList& small, QWidget* mainWindow)
    : m_hub(hub)
    , m_list(list)
    , m_large(large)
    , m_small(small)
    , m_mainWindow(mainWindow)
    , m_store(hub.appFolder())
{}

WebTab::~WebTab()
{
    delete m_dialog;
}

void WebTab::reportSaveFailure(const FileResult& failure) const
{
    m_hub.fileFailure(QStringLiteral("Problem saving to QEL list"), failure);
}

void WebTab::LoadWebList()
{
    m_list.clear();
    m_list.setSmallImageList(&m_small);
    m_list.setLargeImageList(&m_large);
    m_list.setViewMode(QelListView::ViewMode::Report);
    m_list.setSortKey(0);
    m_list.setSorted(true);
    m_list.setSortOrder(Qt::AscendingOrder);
    const WebLinkList::Contents contents = m_store.read();
    const QString icon = QStringLiteral("Web");
    m_list.beginFill();
    for (const WebLinkRecord& link : contents.records) {
        const int row = m_list.addEntry(link.name, icon, icon);
        m_list.setSubItem(row, WebColumn::Url, link.url);
    }
    m_list.endFill();
    if (!contents.result.ok)
        m_hub.fileFailure(QStringLiteral("Problem reading Web file list"), contents.result);
}

bool WebTab::AppendWebLink(const QString& name, const QString& url)
{
    if (!storable(name) || !storable(url)) {
        m_hub.notice(QStringLiteral("A name or address can not contain a double quote (\") or a "
                                    "line break. Nothing was saved."));
        return false;
    }
    const FileResult r = m_store.append({name, url});
    if (!r.ok)
        reportSaveFailure(r);
    LoadWebList();
    return r.ok;
}

bool WebTab::RewriteWebList(const QString& name, const QString& url)
{
    // The dialog does not block: the selection may have gone while it was open.
    const int row = m_list.selectedRow();
    if (row < 0) {
        m_hub.notice(QStringLiteral("No web shortcut is selected on the Web tab, so none was "
                                    "renamed."));
        return true;
    }
    if (!storable(name) || !storable(url)) {
        m_hub.notice(QStringLiteral("A name or address can not contain a double quote (\") or a "
                                    "line break. Nothing was saved."));
        return false;
    }
    // The link changes in the file, never from the screen: links another program added since the
    // last load stay.
    const WebLinkRecord old{m_list.text(row), m_list.subItem(row, WebColumn::Url)};
    const FileResult r = m_store.replace(old, {name, url}, screenOrder());
    if (!r.ok)
        reportSaveFailure(r);
    LoadWebList();
    return r.ok;
}

WebLinkList::Order WebTab::screenOrder() const
{
    // A rename writes the links in the order the list shows them, so the file reads as the tab
    // does; links the screen does not show yet go where it would show them.
    if (!m_list.isSorted())
        return {};
    const bool byUrl = m_list.sortKey() == WebColumn::Url;
    const bool ascending = m_list.sortOrder() == Qt::AscendingOrder;
    return [byUrl, ascending](const WebLinkRecord& a, const WebLinkRecord& b) {
        const int c =
            byUrl ? compareIgnoringCase(a.url, b.url) : compareIgnoringCase(a.name, b.name);
        return ascending ? c < 0 : c > 0;
    };
}

void WebTab::RemoveWebLink(const QString& name)
{
    // A missing or unwritable file leaves everything, the list on screen included, as it was.
    if (const FileResult r = m_store.remove(name); !r.ok) {
        m_hub.fileFailure(QStringLiteral("The web shortcut was not deleted"), r);
        return;
    }
    LoadWebList();
}

void WebTab::open()
{
    if (const int row = m_list.selectedRow(); row >= 0)
        OpenWebPage(m_hub, m_list.subItem(row, WebColumn::Url));
}

frmWeb& WebTab::openDialog()
{
    // A dialog that OK or Cancel closed waits only for its deletion: the next one starts afresh.
    if (!m_dialog || !m_dialog->isVisible())
        m_dialog = new frmWeb(*this, m_mainWindow);
    return *m_dialog;
}

frmWeb& WebTab::dialogForCreate()
{
    // A dialog already open keeps its caption and texts; only its OK button changes its mode.
    frmWeb& dialog = openDialog();
    dialog.cmdOK->setText(QStringLiteral("Create"));
    return dialog;
}

void WebTab::present(bool freshTexts)
{
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    // New texts are selected, so that typing replaces them; a dialog already open keeps the
    // user's place in it.
    if (freshTexts) {
        m_dialog->txtName->setFocus();
        m_dialog->txtName->selectAll();
    }
}

void WebTab::create()
{
    const bool fresh = !dialog();
    dialogForCreate();
    present(fresh);
}

void WebTab::createWithAddress(const QString& url)
{
    dialogForCreate().txtUrl->setText(url);
    present(true);
}

void WebTab::rename()
{
    const int row = m_list.selectedRow();
    if (row < 0)
        return;
    openDialog();
    m_dialog->setWindowTitle(QStringLiteral("Rename Web Shortcut"));
    m_dialog->cmdOK->setText(QStringLiteral("Rename"));
    m_dialog->txtName->setText(m_list.text(row));
    m_dialog->txtUrl->setText(m_list.subItem(row, WebColumn::Url));
    present(true);
}

void WebTab::remove()
{
    const int row = m_list.selectedRow();
    if (row < 0)
        return;
    const QString name = m_list.text(row);
    if (m_hub.ask(QStringLiteral("Are your sure you want to delete ") + name.toUpper()))
        RemoveWebLink(name);
}

void WebTab::copyAddress()
{
    if (const int row = m_list.selectedRow(); row >= 0)
        QGuiApplication::clipboard()->setText(m_list.subItem(row, WebColumn::Url));
}
