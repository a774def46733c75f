#include "tabs/web/WebTab.h"

#include "actions/Telling.h"
#include "actions/Undoing.h"
#include "actions/WebPages.h"
#include "base/Columns.h"
#include "lists/WebLinkRows.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

using webedits::Edit;
using webedits::Outcome;

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
                 return pinIdentityOf({rows.text(row, 0), rows.text(row, WebColumn::Url)});
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
    const auto rows = std::make_shared<const WebLinkRows>(links.records);
    m_pins.shown(rows);
    m_rows.show(rows, select);
    if (!links.result.ok)
        m_hub.fileFailure(QStringLiteral("Problem reading Web file list"), links.result);
}

std::optional<WebLinkRecord> WebTab::chosen() const
{
    // Of several links of one name, the one on the selected row.
    return m_rows.chosen<WebLinkRows>(&WebLinkRows::link);
}

void WebTab::post(Edit edit, const QString& name, Change change,
                  std::function<void(const webedits::Result&)> done)
{
    m_waits.run(
        webedits::nameOf(edit), Where::onList(name, m_store.listPath()), DriveWait::Late::Deliver,
        [change = std::move(change)](Waiting&) { return change(); },
        [this, edit, name, done = std::move(done)](const webedits::Result& r) {
            const webedits::Reaction reaction = webedits::reactionTo(edit, r, name);
            tell(m_hub, reaction.told);
            if (reaction.closeDialog && m_dialog)
                m_dialog->close();
            if (reaction.reload)
                LoadWebList();
            if (reaction.done)
                done(r);
        });
}

void WebTab::AppendWebLink(const QString& name, const QString& url)
{
    post(
        Edit::Create, name,
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
        m_hub.notice(webedits::noneChosenText());
        if (m_dialog)
            m_dialog->close();
        return;
    }
    const std::optional<QString> newUrl =
        webedits::renamedAddress(url, !m_dialog || m_dialog->urlEdited());
    post(
        Edit::Rename, link->name,
        [store = m_store, old = *link, name, newUrl, order = screenOrder()] {
            return webedits::RewriteWebList(store, old, name, newUrl, order);
        },
        [this, name](const webedits::Result& r) {
            if (r.renamed)
                m_pins.renamed(pinIdentityOf(r.renamed->before), pinIdentityOf(r.renamed->after));
            show(*r.links, name);
            if (r.renamed)
                offerUndo(*r.renamed);
        });
}

WebLinkList::Order WebTab::screenOrder() const
{
    return webedits::listOrder(m_list.isSorted(), m_list.sortKey(),
                               m_list.sortOrder() == Qt::AscendingOrder);
}

void WebTab::RemoveWebLink(const QString& name)
{
    post(
        Edit::Delete, name,
        [store = m_store, name] { return webedits::RemoveWebLink(store, name); },
        [this](const webedits::Result& r) {
            show(*r.links);
            if (r.deleted)
                offerUndo(*r.deleted);
        });
}

void WebTab::offerUndo(const webedits::DeletedLinks& step, bool again)
{
    const QString text = webedits::undoCaption(step);
    auto run = [this, step] {
        undo(
            step.name, [store = m_store, step] { return webedits::undoDelete(store, step); },
            step.name, webedits::undoTexts(step), [this, step] { offerUndo(step, true); }, {});
    };
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}

void WebTab::offerUndo(const webedits::RenamedLink& step, bool again)
{
    const QString text = webedits::undoCaption(step);
    auto run = [this, step] {
        undo(
            step.after.name,
            [store = m_store, step, order = screenOrder()] {
                return webedits::undoRename(store, step, order);
            },
            step.before.name, webedits::undoTexts(step), [this, step] { offerUndo(step, true); },
            [this, step] {
                m_pins.renamed(pinIdentityOf(step.after), pinIdentityOf(step.before));
            });
    };
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}

void WebTab::undo(const QString& name, Change change, const QString& select, const UndoTexts& texts,
                  const std::function<void()>& offerAgain, const std::function<void()>& done)
{
    const bool started = m_waits.run(
        QStringLiteral("undo"), Where::onList(name, m_store.listPath()), DriveWait::Late::Deliver,
        [change = std::move(change)](Waiting&) { return change(); },
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
        commands.append(m_pins.command(pinIdentityOf(*link), link->name));
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
