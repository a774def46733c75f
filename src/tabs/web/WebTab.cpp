#include "tabs/web/WebTab.h"

#include "actions/WebPages.h"
#include "base/Columns.h"
#include "ui/HubContext.h"
#include "ui/ListModel.h"
#include "ui/QelListView.h"
#include "work/Work.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

namespace {
// The list file's format holds no double quote and no line break in a field.
bool storable(const QString& text)
{
    return !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\r')) &&
           !text.contains(QLatin1Char('\n'));
}

const QString kUnstorable = QStringLiteral(
    "A name or address can not contain a double quote (\") or a line break. Nothing was saved.");

bool holds(const QList<WebLinkRecord>& links, const QString& name)
{
    return std::any_of(links.begin(), links.end(),
                       [&](const WebLinkRecord& l) { return l.name == name; });
}

QString goneText(const QString& name)
{
    return QStringLiteral("The web link \"") + name +
           QStringLiteral("\" is no longer in the list. Nothing was changed.");
}
} // namespace

WebTab::WebTab(const HubContext& hub, QelListView& list, const ImageList& large,
               const ImageList& small)
    : m_hub(hub)
    , m_list(list)
    , m_large(large)
    , m_small(small)
    , m_store(hub.appFolder())
    , m_waits(hub, list)
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
    work::post(
        work::Line::list(), &m_alive, [store = m_store] { return store.read(); },
        [this](const WebLinkList::Contents& contents) {
            m_list.setSmallImageList(&m_small);
            m_list.setLargeImageList(&m_large);
            m_list.setViewMode(QelListView::ViewMode::Report);
            m_list.setSortKey(0);
            m_list.setSorted(true);
            m_list.setSortOrder(Qt::AscendingOrder);
            const QString icon = QStringLiteral("Web");
            m_entries.clear();
            std::vector<ListEntry> rows;
            for (const WebLinkRecord& link : contents.records) {
                ListEntry row;
                row.entryIndex = int(m_entries.size());
                m_entries.push_back({link.name, link.url});
                row.key = link.name;
                row.text = link.name;
                row.subItems = {link.url};
                row.largeIcon = icon;
                row.smallIcon = icon;
                row.description = link.url;
                rows.push_back(std::move(row));
            }
            m_list.setEntries(std::move(rows));
            if (!m_selectAfterLoad.isEmpty())
                m_list.setSelectedKey(std::exchange(m_selectAfterLoad, QString()));
            if (!contents.result.ok)
                m_hub.fileFailure(QStringLiteral("Problem reading Web file list"), contents.result);
        });
}

std::optional<WebEntry> WebTab::chosen() const
{
    const int row = m_list.selectedRow();
    if (row < 0)
        return std::nullopt;
    // Of several links of one name, the one on the selected row.
    const int index = m_list.entry(row).entryIndex;
    if (index < 0 || index >= int(m_entries.size()))
        return std::nullopt;
    return m_entries[size_t(index)];
}

void WebTab::change(const QString& what, const QString& name,
                    std::function<FileResult(WebLinkList&)> edit, bool closeDialog,
                    const QString& renamedTo, std::function<void()> changed)
{
    struct Changed {
        bool gone = false;
        FileResult result;
    };
    const bool needsLink = what != QLatin1String("create");
    m_waits.run(
        work::Line::list(), what, name, DriveWait::Late::Deliver,
        [store = m_store, name, needsLink, edit = std::move(edit)]() mutable {
            Changed c;
            if (needsLink) {
                const WebLinkList::Contents now = store.read();
                if (now.exists && now.result.ok && !holds(now.records, name)) {
                    c.gone = true;
                    return c;
                }
            }
            c.result = edit(store);
            return c;
        },
        [this, what, name, closeDialog, renamedTo, changed](const Changed& c) {
            if (c.gone) {
                m_hub.notice(goneText(name));
                if (closeDialog && m_dialog)
                    m_dialog->close();
            } else if (!c.result.ok) {
                if (what == QLatin1String("delete"))
                    m_hub.fileFailure(QStringLiteral("The web shortcut was not deleted"), c.result);
                else
                    reportSaveFailure(c.result);
            } else {
                m_selectAfterLoad = renamedTo;
                if (closeDialog && m_dialog)
                    m_dialog->close();
                if (changed)
                    changed();
            }
            // A missing or unwritable file leaves the list on screen as it was.
            if (!(what == QLatin1String("delete") && !c.result.ok))
                LoadWebList();
        });
}

void WebTab::AppendWebLink(const QString& name, const QString& url)
{
    if (!storable(name) || !storable(url)) {
        m_hub.notice(kUnstorable);
        return;
    }
    change(
        QStringLiteral("create"), name,
        [link = WebLinkRecord{name, url}](WebLinkList& store) { return store.append(link); }, true);
}

void WebTab::RewriteWebList(const QString& name, const QString& url)
{
    // The dialog does not block: the selection may have gone while it was open.
    const std::optional<WebEntry> link = chosen();
    if (!link) {
        m_hub.notice(QStringLiteral("No web shortcut is selected on the Web tab, so none was "
                                    "renamed."));
        if (m_dialog)
            m_dialog->close();
        return;
    }
    if (!storable(name) || !storable(url)) {
        m_hub.notice(kUnstorable);
        return;
    }
    // An address another program gave the link while the dialog was open stays, unless the user
    // typed one.
    const std::optional<QString> newUrl =
        m_dialog && !m_dialog->urlEdited() ? std::nullopt : std::optional<QString>(url);
    auto was = std::make_shared<WebLinkRecord>(); // filled on the list queue
    change(
        QStringLiteral("rename"), link->name,
        [old = WebLinkRecord{link->name, link->url}, name, newUrl, order = screenOrder(),
         was](WebLinkList& store) { return store.replace(old, name, newUrl, order, was.get()); },
        true, name,
        [this, was, name, newUrl] {
            const WebLinkRecord after{name, newUrl.value_or(was->url)};
            if (!(after == *was))
                offerUndo(RenamedLink{*was, after});
        });
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
    auto taken = std::make_shared<QList<records::TakenRecord>>(); // filled on the list queue
    change(
        QStringLiteral("delete"), name,
        [name, taken](WebLinkList& store) { return store.remove(name, taken.get()); }, false, {},
        [this, name, taken] {
            if (!taken->isEmpty())
                offerUndo(DeletedLinks{name, *taken});
        });
}

void WebTab::open()
{
    if (const std::optional<WebEntry> link = chosen())
        OpenWebPage(m_hub, link->url);
}

frmWeb& WebTab::openDialog()
{
    // A dialog that OK or Cancel closed waits only for its deletion: the next one starts afresh.
    if (!m_dialog || !m_dialog->isVisible()) {
        m_dialog = new frmWeb(m_list.window());
        QObject::connect(m_dialog, &frmWeb::okPressed, &m_alive, [this] { dialogOk(); });
    }
    return *m_dialog;
}

void WebTab::dialogOk()
{
    if (!m_dialog)
        return;
    const QString mode = m_dialog->mode();
    const QString name = m_dialog->txtName->text();
    const QString url = m_dialog->txtUrl->text();
    if (mode == QLatin1String("Create"))
        AppendWebLink(name, url);
    else if (mode == QLatin1String("Rename"))
        RewriteWebList(name, url);
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
    const std::optional<WebEntry> link = chosen();
    if (!link)
        return;
    openDialog();
    m_dialog->setWindowTitle(QStringLiteral("Rename Web Shortcut"));
    m_dialog->cmdOK->setText(QStringLiteral("Rename"));
    m_dialog->fill(link->name, link->url);
    present(true);
}

void WebTab::remove()
{
    const std::optional<WebEntry> link = chosen();
    if (!link)
        return;
    if (m_hub.ask(QStringLiteral("Are your sure you want to delete ") + link->name.toUpper()))
        RemoveWebLink(link->name);
}

QList<TabController::Command> WebTab::entryCommands()
{
    return {{QStringLiteral("Copy Address"), [this] { copyAddress(); }}};
}

std::function<void()> WebTab::dropAction(const QMimeData* data, bool shown)
{
    // A web address dropped on the tab on screen fills the web link dialog.
    if (!shown)
        return {};
    QUrl url;
    QString address; // as the user will see it in the dialog
    if (data->hasUrls() && data->urls().size() == 1) {
        url = data->urls().first();
        address = url.toString();
    } else if (data->hasText()) {
        address = data->text().trimmed();
        url = QUrl(address, QUrl::TolerantMode);
    }
    if (!url.isValid() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return {};
    return [this, address] { createWithAddress(address); };
}

void WebTab::copyAddress()
{
    if (const std::optional<WebEntry> link = chosen())
        QGuiApplication::clipboard()->setText(link->url);
}
