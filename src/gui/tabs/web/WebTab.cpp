#include "tabs/web/WebTab.h"

#include "actions/Undoing.h"
#include "actions/WebPages.h"
#include "base/Columns.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

using webedits::Outcome;

namespace {
// What a pin of the "Web" list is keyed by: a link is its name and its address (a tab between
// them: the state file, like the lists, holds no line break).
QString identityOf(const QString& name, const QString& url)
{
    return name + QLatin1Char('\t') + url;
}

// The rows of the "Web" list: the links as the file held them, each text held once.
class WebRows final : public ListRows {
public:
    explicit WebRows(QList<WebLinkRecord> links)
        : m_links(std::move(links))
    {}
    const WebLinkRecord& link(int row) const { return m_links[row]; }
    int count() const override { return int(m_links.size()); }
    QString text(int row, int column) const override
    {
        return column == 0 ? link(row).name : column == WebColumn::Url ? link(row).url : QString();
    }
    QString key(int row) const override { return link(row).name; }
    QString largeIcon(int) const override { return QStringLiteral("Web"); }
    QString smallIcon(int) const override { return QStringLiteral("Web"); }
    QString description(int row) const override { return link(row).url; }

private:
    QList<WebLinkRecord> m_links;
};
} // namespace

WebTab::WebTab(const HubContext& hub, QelListView& list, const ImageList& large,
               const ImageList& small)
    : m_hub(hub)
    , m_list(list)
    , m_large(large)
    , m_small(small)
    , m_store(hub.appFolder())
    , m_rows(list)
    , m_pins(hub, list, QStringLiteral("pin-web"),
             [](const ListRows& rows, int row) {
                 return identityOf(rows.text(row, 0), rows.text(row, WebColumn::Url));
             })
    , m_waits(hub, list)
{}

WebTab::~WebTab()
{
    delete m_dialog;
}

void WebTab::LoadWebList()
{
    m_loads.post(
        work::Line::list(), &m_alive, [store = m_store] { return store.read(); },
        [this](const WebLinkList::Contents& links) { show(links); });
}

void WebTab::show(const WebLinkList::Contents& links, const QString& select)
{
    prepareTabList(m_list, m_large, m_small, true);
    const auto rows = std::make_shared<const WebRows>(links.records);
    m_pins.shown(rows);
    m_rows.show(rows, select);
    if (!links.result.ok)
        m_hub.fileFailure(QStringLiteral("Problem reading Web file list"), links.result);
}

std::optional<WebLinkRecord> WebTab::chosen() const
{
    // Of several links of one name, the one on the selected row.
    const int row = m_rows.chosenRow();
    if (row < 0)
        return std::nullopt;
    return m_rows.shown<WebRows>()->link(row);
}

void WebTab::post(const QString& what, const QString& name, Change change,
                  std::function<void(const webedits::Result&)> done)
{
    m_waits.run(
        work::Line::list(), what, name, m_store.listPath(), DriveWait::Late::Deliver,
        [change = std::move(change)](Waiting&) { return change(); },
        [this, what, name, done = std::move(done)](const webedits::Result& r) {
            const bool deleting = what == QLatin1String("delete");
            switch (r.outcome) {
            case Outcome::Refused:
                m_hub.notice(r.refusal); // the dialog keeps what was typed
                return;
            case Outcome::Gone:
                m_hub.notice(webedits::goneText(name));
                if (!deleting && m_dialog)
                    m_dialog->close();
                LoadWebList();
                return;
            case Outcome::Failed:
                // A missing or unwritable file leaves the list on screen as it was.
                if (deleting) {
                    m_hub.fileFailure(QStringLiteral("The web shortcut was not deleted"), r.result);
                    return;
                }
                m_hub.fileFailure(QStringLiteral("Problem saving to QEL list"), r.result);
                LoadWebList();
                return;
            default:
                if (!deleting && m_dialog)
                    m_dialog->close();
                done(r);
            }
        });
}

void WebTab::AppendWebLink(const QString& name, const QString& url)
{
    post(
        QStringLiteral("create"), name,
        [store = m_store, link = WebLinkRecord{name, url}] {
            return webedits::AppendWebLink(store, link);
        },
        [this](const webedits::Result& r) { show(*r.links); });
}

void WebTab::RewriteWebList(const QString& name, const QString& url)
{
    // The dialog does not block: the selection may have gone while it was open.
    const std::optional<WebLinkRecord> link = chosen();
    if (!link) {
        m_hub.notice(QStringLiteral("No web shortcut is selected on the Web tab, so none was "
                                    "renamed."));
        if (m_dialog)
            m_dialog->close();
        return;
    }
    // An address another program gave the link while the dialog was open stays, unless the user
    // typed one.
    const std::optional<QString> newUrl =
        m_dialog && !m_dialog->urlEdited() ? std::nullopt : std::optional<QString>(url);
    post(
        QStringLiteral("rename"), link->name,
        [store = m_store, old = *link, name, newUrl, order = screenOrder()] {
            return webedits::RewriteWebList(store, old, name, newUrl, order);
        },
        [this, name](const webedits::Result& r) {
            if (r.renamed)
                m_pins.renamed(identityOf(r.renamed->before.name, r.renamed->before.url),
                               identityOf(r.renamed->after.name, r.renamed->after.url));
            show(*r.links, name);
            if (r.renamed)
                offerUndo(*r.renamed);
        });
}

WebLinkList::Order WebTab::screenOrder() const
{
    // A rename writes the links in the order the list shows them, so the file reads as the tab
    // does; links the screen does not show yet go where it would show them.
    if (!m_list.isSorted())
        return {};
    return webedits::orderOf(m_list.sortKey() == WebColumn::Url,
                             m_list.sortOrder() == Qt::AscendingOrder);
}

void WebTab::RemoveWebLink(const QString& name)
{
    post(
        QStringLiteral("delete"), name,
        [store = m_store, name] { return webedits::RemoveWebLink(store, name); },
        [this](const webedits::Result& r) {
            show(*r.links);
            if (r.deleted)
                offerUndo(*r.deleted);
        });
}

void WebTab::offerUndo(const webedits::DeletedLinks& step, bool again)
{
    const QString text = QStringLiteral("Undo Delete of ") + step.name;
    auto run = [this, step] {
        undo(
            step.name, [store = m_store, step] { return webedits::undoDelete(store, step); },
            step.name, webedits::undoTexts(step), [this, step] { offerUndo(step, true); }, {});
    };
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}

void WebTab::offerUndo(const webedits::RenamedLink& step, bool again)
{
    const QString text = QStringLiteral("Undo Rename of ") + step.after.name;
    auto run = [this, step] {
        undo(
            step.after.name,
            [store = m_store, step, order = screenOrder()] {
                return webedits::undoRename(store, step, order);
            },
            step.before.name, webedits::undoTexts(step), [this, step] { offerUndo(step, true); },
            [this, step] {
                m_pins.renamed(identityOf(step.after.name, step.after.url),
                               identityOf(step.before.name, step.before.url));
            });
    };
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}

void WebTab::undo(const QString& name, Change change, const QString& select, const UndoTexts& texts,
                  const std::function<void()>& offerAgain, const std::function<void()>& done)
{
    const bool started = m_waits.run(
        work::Line::list(), QStringLiteral("undo"), name, m_store.listPath(),
        DriveWait::Late::Deliver, [change = std::move(change)](Waiting&) { return change(); },
        [this, select, texts, offerAgain, done](const webedits::Result& r) {
            if (r.outcome == Outcome::Done) {
                if (done)
                    done();
                show(*r.links, select);
                return;
            }
            if (tellUndo(m_hub, r.outcome, r.result, false, texts))
                offerAgain();
            LoadWebList();
        });
    if (!started)
        offerAgain();
}

void WebTab::open()
{
    if (const std::optional<WebLinkRecord> link = chosen())
        OpenWebPage(m_hub, &m_alive, link->url);
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
    const std::optional<WebLinkRecord> link = chosen();
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
    const std::optional<WebLinkRecord> link = chosen();
    if (!link)
        return;
    if (m_hub.ask(commands::deleteQuestion(link->name)))
        RemoveWebLink(link->name);
}

QList<TabController::Command> WebTab::entryCommands()
{
    QList<Command> commands{
        {QStringLiteral("copyAddress"), QStringLiteral("Copy Address"), [this] { copyAddress(); }}};
    if (const std::optional<WebLinkRecord> link = chosen())
        commands.append(m_pins.command(identityOf(link->name, link->url), link->name));
    return commands;
}

std::function<void()> WebTab::dropAction(const QMimeData* data, bool shown)
{
    // A web address dropped on the tab on screen fills the web link dialog.
    const QString address = shown ? webedits::droppedAddress(*data) : QString();
    if (address.isEmpty())
        return {};
    return [this, address] { createWithAddress(address); };
}

void WebTab::copyAddress()
{
    if (const std::optional<WebLinkRecord> link = chosen())
        QGuiApplication::clipboard()->setText(link->url);
}
