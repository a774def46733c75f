#include "tabs/open/OpenTab.h"

#include "actions/Launching.h"
#include "actions/WebPages.h"
#include "base/Columns.h"
#include "base/Paths.h"
#include "base/Program.h"
#include "base/TextOrder.h"
#include "base/Twips.h"
#include "formats/LaunchTable.h"
#include "lists/DataFileKind.h"
#include "platform/DriveTable.h"
#include "platform/Prompter.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

OpenTab::OpenTab(const HubContext& hub, QelListView& list, const ImageList& large,
                 const ImageList& small, Launching& launching)
    : m_hub(hub)
    , m_list(list)
    , m_large(large)
    , m_small(small)
    , m_launching(launching)
    , m_seams{RecentFileList(hub.appFolder()), &hub.files(), &hub.trash(), &hub.drives()}
    , m_missing(hub.drives(), [files = &hub.files()](
                                  const QString& path) { return dataFileExists(*files, path); })
    , m_waits(hub, list)
{
    // Names and folders readable at once: the columns fit what the list holds until the user
    // sizes one.
    m_list.setFitColumns(true);
    // A stick plugged in or pulled out: its entries are looked at again (the list is not reread).
    hub.drives().watch(&m_alive, [this] { checkFiles(); });
}

OpenTab::~OpenTab() = default;

void OpenTab::LoadOpenList()
{
    ++m_reads;
    work::post(
        work::Line::list(), &m_alive, [store = m_seams.store] { return store.listing(true); },
        [this](OpenListing listing) {
            --m_reads;
            show(std::move(listing));
        });
}

void OpenTab::show(OpenListing listing, const QString& select)
{
    // Every load puts the list back into report view, sorted by name; what is so already is not
    // set again, so that nothing is redrawn for it.
    m_list.setLargeImageList(&m_large);
    m_list.setSmallImageList(&m_small);
    m_list.setViewMode(QelListView::ViewMode::Report);
    m_list.setSortKey(0);
    m_list.setSorted(true);
    m_list.setSortOrder(Qt::AscendingOrder);
    m_list.setRows(std::make_shared<const OpenRows>(std::move(listing)));
    // The files are looked at once the rows show, so that the looks do not hold up the showing.
    m_list.whenShown([this, select] {
        if (!select.isEmpty())
            m_list.setSelectedKey(select);
        checkFiles();
    });
}

void OpenTab::checkFiles()
{
    auto rows = std::dynamic_pointer_cast<const OpenRows>(m_list.rows());
    if (!rows)
        return;
    m_missing.check(
        rows, [this](const MissingFiles::Checked& what, const MissingFiles::Answers& answers) {
            std::vector<std::pair<int, Note>> notes;
            notes.reserve(answers.size());
            for (const auto& [row, state] : answers) {
                notes.emplace_back(row, state == MissingFiles::State::Missing ? Note::Missing
                                        : state == MissingFiles::State::NotConnected
                                            ? Note::NotConnected
                                            : Note::None);
            }
            m_list.applyNotes(dynamic_cast<const OpenRows*>(what.get()), notes);
        });
}

void OpenTab::tmrFileUpdate_Timer()
{
    if (m_reads > 0)
        return; // the read under way will show what the file holds
    if (m_syncPending) {
        SyncDataFolderEntries();
        return;
    }
    struct Ticked {
        bool read = false; // false: nothing to read
        OpenListing listing;
        FileIdentity identity; // the list file after the read
    };
    ++m_reads;
    work::post(
        work::Line::list(), &m_alive,
        [store = m_seams.store, last = LastListFileTime] {
            Ticked t;
            const FileIdentity now = identityOf(store.listPath());
            if (!now.exists || now == last)
                return t;
            t.read = true;
            t.listing = store.listing(true); // a failure is not shown
            t.identity = identityOf(store.listPath());
            return t;
        },
        [this](Ticked t) {
            --m_reads;
            if (!t.read)
                return;
            LastListFileTime = t.identity;
            show(std::move(t.listing));
        });
}

void OpenTab::reportSaveFailure(const FileResult& failure) const
{
    m_hub.fileFailure(QStringLiteral("Problem saving to QEL list"), failure);
}

void OpenTab::TouchFileEntry(const QString& path, const QString& kindCode)
{
    work::post(
        work::Line::list(), &m_alive,
        [store = m_seams.store, path, kindCode]() mutable {
            return store.TouchFileEntry(path, kindCode, QDateTime::currentDateTime());
        },
        [this](const FileResult& r) {
            if (!r.ok)
                reportSaveFailure(r);
        });
}

void OpenTab::SyncDataFolderEntries()
{
    struct Synced {
        FileResult sync;
        OpenListing listing;
    };
    ++m_reads;
    m_syncPending = false;
    work::post(
        work::Line::list(), &m_alive,
        [store = m_seams.store]() mutable {
            Synced s;
            QByteArray written;
            s.sync = store.SyncDataFolderEntries(&written);
            if (s.sync.ok)
                s.listing = openListingOf(written);
            return s;
        },
        [this](Synced s) {
            --m_reads;
            // A companion tool at work on the list is no fault: try again on a later refresh
            // tick, and tell the user only if it never lets up.
            m_syncPending = s.sync.busy && m_syncTicksLeft-- > 0;
            if (m_syncPending)
                return;
            if (!s.sync.ok) {
                // The list file is left as it was rather than rebuilt from less than it holds.
                reportSaveFailure(s.sync);
                return;
            }
            show(std::move(s.listing));
        });
}

std::optional<OpenEntry> OpenTab::chosen() const
{
    const auto* rows = dynamic_cast<const OpenRows*>(m_list.rows().get());
    const int row = m_list.selectedSourceRow();
    if (!rows || row < 0)
        return std::nullopt;
    return rows->entry(row);
}

void OpenTab::open()
{
    const std::optional<OpenEntry> entry = chosen();
    if (!entry)
        return;
    // The file may lie on a drive that does not answer: the tool starts when it does, if that is
    // soon; otherwise the user asks again.
    m_waits.run(
        m_hub.lineOf(entry->path()), QStringLiteral("open"), entry->path(), entry->path(),
        DriveWait::Late::Drop,
        [seams = m_seams, e = *entry](Waiting& w) { return openedits::checkForOpen(seams, e, w); },
        [this, e = *entry](const openedits::Result& r) { openChecked(e, r); });
}

void OpenTab::openChecked(const OpenEntry& entry, const openedits::Result& checked)
{
    switch (checked.outcome) {
    case openedits::Outcome::NotFullPath:
        // Any program may write the list: such a path is never handed to a tool, and its entry
        // stays for the program that wrote it.
        m_hub.notice(QStringLiteral("The file can not be opened\r") + entry.path() +
                     QStringLiteral(" is not a full path."));
        return;
    case openedits::Outcome::NotConnected:
        reportNotConnected(entry);
        return;
    case openedits::Outcome::Missing: {
        const QString text =
            QStringLiteral("File does not exist: ") + SpacesToQuestionMarks(entry.folder) +
            SpacesToQuestionMarks(entry.name) + QLatin1Char('\r') +
            QStringLiteral("It may have been moved or deleted. Do you wish to locate the "
                           "file yourself? ");
        if (m_hub.ask(text)) {
            cmdBrowseTag = SpacesToQuestionMarks(entry.name);
            cmdBrowse_Click();
        }
        dropEntry(entry);
        return;
    }
    default:
        break;
    }
    QString name, folder;
    SplitPath(checked.file, &name, &folder);
    if (const auto command = commandForOpen(m_hub.appFolder(), entry.kindCode, folder, name))
        m_launching.LaunchCommand(command->program, command->arguments, checked.file);
}

void OpenTab::dropEntry(const OpenEntry& entry)
{
    // Only the entry goes; whatever is at that path now is the user's and stays. The refresh
    // timer shows the list without it.
    work::post(
        work::Line::list(), &m_alive,
        [seams = m_seams, entry] { return openedits::removeFromList(seams, entry); },
        [this](const openedits::Result& r) {
            if (r.outcome == openedits::Outcome::Failed)
                reportSaveFailure(r.result);
        });
}

void OpenTab::cmdBrowse_Click()
{
    QString fileName = cmdBrowseTag;
    const int result = m_launching.ShowOpenDataFileDialog(fileName);
    cmdBrowseTag.clear();
    if (result == 0)
        m_launching.openDataFile(fileName);
}

QWidget* OpenTab::belowList()
{
    auto* strip = new QWidget;
    strip->setFixedHeight(px(540));
    auto* s = new QHBoxLayout(strip);
    s->setContentsMargins(0, 0, 0, 0);
    auto* hint = new QLabel(QStringLiteral("To open a file, double click the file's icon"));
    hint->setObjectName(QStringLiteral("lblOpenHint"));
    cmdBrowse = new QPushButton(QStringLiteral("Browse ..."));
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse->setAccessibleName(QStringLiteral("Browse ..."));
    cmdBrowse->setFixedSize(px(1365), px(360));
    QObject::connect(cmdBrowse, &QPushButton::clicked, &m_alive, [this] { cmdBrowse_Click(); });
    s->addWidget(hint);
    s->addStretch(1);
    s->addWidget(cmdBrowse);
    return strip;
}

QList<TabController::Command> OpenTab::entryCommands()
{
    return {{QStringLiteral("Show in Folder"), [this] { openContainingFolder(); }},
            {QStringLiteral("Copy Path"), [this] { copyPath(); }},
            {QStringLiteral("Remove from List"), [this] { removeFromList(); }}};
}

QList<TabController::Command> OpenTab::spaceCommands()
{
    return {{cmdBrowse ? cmdBrowse->text() : QStringLiteral("Browse ..."),
             [this] { cmdBrowse_Click(); }}};
}

QList<int> OpenTab::filterColumns() const
{
    return {OpenColumn::Folder};
}

std::function<void()> OpenTab::dropAction(const QMimeData* data, bool)
{
    // A data file opens as Browse opens it, whichever tab is shown.
    if (!data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    const QString path = QDir::toNativeSeparators(data->urls().first().toLocalFile());
    if (KindFromExtension(path) == 99 || path.endsWith(paths::separator()))
        return {};
    return [this, path] { m_launching.openDataFile(path); };
}

void OpenTab::openContainingFolder()
{
    if (const auto entry = chosen())
        ShowItemInFolder(m_hub, &m_alive, entry->path());
}

void OpenTab::copyPath()
{
    if (const auto entry = chosen())
        QGuiApplication::clipboard()->setText(entry->path());
}
