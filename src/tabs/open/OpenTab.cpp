#include "tabs/open/OpenTab.h"

#include "actions/Launching.h"
#include "actions/LaunchTable.h"
#include "actions/WebPages.h"
#include "base/Columns.h"
#include "base/Paths.h"
#include "base/Program.h"
#include "lists/DataFileKind.h"
#include "lists/Work.h"
#include "platform/FileSystem.h"
#include "platform/Prompter.h"
#include "platform/Trash.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

#include <QClipboard>

#include <cerrno>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

namespace {

constexpr int px(int twips)
{
    return twips / 15;
}

const QString kMissing = QStringLiteral("missing");

// The entries of the records and their rows, sorted by name as the list shows them.
void fill(const QList<FileListRecord>& records, std::vector<OpenEntry>& entries,
          std::vector<ListEntry>& rows)
{
    struct KindTexts {
        QString large, small, text;
    };
    QHash<const DataFileKind*, KindTexts> kindTexts;
    for (const DataFileKind& k : dataFileKinds()) {
        kindTexts.insert(&k, {QString::fromLatin1(k.largeIcon), QString::fromLatin1(k.smallIcon),
                              QString::fromLatin1(k.kindText)});
    }
    const KindTexts none;
    // Rows of one folder share one copy of the folder's text.
    QHash<QStringView, QString> folders;
    entries.reserve(size_t(records.size()));
    rows.reserve(size_t(records.size()));
    for (const FileListRecord& r : records) {
        const qsizetype cut = r.path.lastIndexOf(paths::separator());
        if (cut < 0 || cut == r.path.size() - 1)
            continue; // no folder or no file name: not shown, but it stays in the file
        const QStringView folderView = QStringView(r.path).left(cut + 1);
        auto found = folders.find(folderView);
        if (found == folders.end())
            found = folders.insert(folderView, folderView.toString());
        const QString& folder = found.value();
        const QString name = r.path.mid(cut + 1);
        const DataFileKind* kind = kindOfCode(r.kindCode);
        const KindTexts& texts = kind ? kindTexts[kind] : none;
        entries.push_back({r.kindCode, folder, name, r.dateText});
        ListEntry row;
        row.key = r.path;
        row.text = name;
        row.subItems = {r.dateText, texts.text, folder, r.kindCode};
        row.largeIcon = texts.large;
        row.smallIcon = texts.small;
        row.description = r.path;
        rows.push_back(std::move(row));
    }
    // The rows in the order the list shows them, so that the window only has to compare them.
    const std::vector<int> order = sortedOrder(rows, 0, Qt::AscendingOrder);
    std::vector<ListEntry> sorted;
    sorted.reserve(rows.size());
    for (int i : order)
        sorted.push_back(std::move(rows[size_t(i)]));
    rows.swap(sorted);
}

} // namespace

OpenTab::OpenTab(const HubContext& hub, QelListView& list, const ImageList& large,
                 const ImageList& small, Launching& launching)
    : m_hub(hub)
    , m_list(list)
    , m_large(large)
    , m_small(small)
    , m_launching(launching)
    , m_store(hub.appFolder(), &hub.files())
    , m_waits(hub, list)
{
    FileSystem* files = &hub.files();
    setExistenceCheck([files](const QString& path) { return dataFileExists(*files, path); });
    // Names and folders readable at once: the columns fit what the list holds until the user
    // sizes one.
    m_list.setFitColumns(true);
}

OpenTab::~OpenTab() = default;

void OpenTab::setExistenceCheck(MissingFiles::Exists exists)
{
    m_missing = exists ? std::make_unique<MissingFiles>(std::move(exists)) : nullptr;
}

std::function<OpenTab::Loaded()> OpenTab::readJob(bool scanIfMissing) const
{
    return [store = m_store, scanIfMissing]() mutable {
        Loaded loaded;
        loaded.read = true;
        RecentFileList::Contents contents = store.read();
        if (!contents.exists && scanIfMissing) {
            // A missing list is made from the data folder, then read as made.
            if (const FileResult r = store.ScanDataFolder(); !r.ok) {
                loaded.result = r;
                return loaded;
            }
            contents = store.read();
        }
        loaded.result = contents.result;
        fill(contents.records, loaded.entries, loaded.rows);
        return loaded;
    };
}

void OpenTab::LoadOpenList()
{
    loadThen({});
}

void OpenTab::loadThen(std::function<void()> after)
{
    ++m_reads;
    work::post(work::Queue::List, &m_alive, readJob(true),
               [this, after = std::move(after)](Loaded loaded) {
                   --m_reads;
                   show(std::move(loaded));
                   if (after)
                       after();
               });
}

void OpenTab::show(Loaded loaded)
{
    m_entries = std::move(loaded.entries);
    // Every load puts the list back into report view, sorted by name.
    m_list.setLargeImageList(&m_large);
    m_list.setSmallImageList(&m_small);
    m_list.setViewMode(QelListView::ViewMode::Report);
    m_list.setSortKey(0);
    m_list.setSorted(true);
    m_list.setSortOrder(Qt::AscendingOrder);
    // An entry found missing before stays greyed until its file is looked at again.
    QSet<QString> stillMissing;
    for (ListEntry& row : loaded.rows) {
        if (m_missingPaths.contains(row.key)) {
            row.note = kMissing;
            stillMissing.insert(row.key);
        }
    }
    m_missingPaths = std::move(stillMissing);
    m_list.setEntries(std::move(loaded.rows));
    checkForMissingFiles();
}

void OpenTab::checkForMissingFiles()
{
    if (!m_missing)
        return;
    QStringList paths;
    paths.reserve(qsizetype(m_entries.size()));
    for (const OpenEntry& e : m_entries)
        paths.append(e.path());
    m_missing->check(paths, [this, paths](const MissingFiles::Answer& answer) {
        QHash<QString, QString> notes;
        qsizetype next = 0;
        for (qsizetype i = answer.begin; i < answer.end; ++i) {
            const bool missing = next < answer.missing.size() && answer.missing[next] == i;
            next += missing;
            if (missing)
                m_missingPaths.insert(paths[i]);
            else
                m_missingPaths.remove(paths[i]);
            notes.insert(paths[i], missing ? kMissing : QString());
        }
        m_list.applyNotes(notes);
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
    ++m_reads;
    const QString listPath = m_store.listPath();
    work::post(
        work::Queue::List, &m_alive,
        [listPath, last = LastListFileTime, read = readJob(true)]() {
            Loaded loaded;
            const FileIdentity now = identityOf(listPath);
            if (!now.exists || now == last)
                return loaded;
            loaded = read(); // a failure is not shown; the rows read so far stay
            loaded.identity = identityOf(listPath);
            return loaded;
        },
        [this](Loaded loaded) {
            --m_reads;
            if (!loaded.read)
                return;
            LastListFileTime = loaded.identity;
            show(std::move(loaded));
        });
}

void OpenTab::reportSaveFailure(const FileResult& failure) const
{
    m_hub.fileFailure(QStringLiteral("Problem saving to QEL list"), failure);
}

void OpenTab::reportGone(const OpenEntry& entry) const
{
    m_hub.notice(entry.path() + QStringLiteral(" is no longer in the list. Nothing was changed."));
}

void OpenTab::TouchFileEntry(const QString& path, const QString& kindCode)
{
    work::post(
        work::Queue::List, &m_alive,
        [store = m_store, path, kindCode]() mutable {
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
        Loaded loaded;
    };
    ++m_reads;
    m_syncPending = false;
    work::post(
        work::Queue::List, &m_alive,
        [store = m_store, read = readJob(true)]() mutable {
            Synced s;
            s.sync = store.SyncDataFolderEntries();
            if (s.sync.ok)
                s.loaded = read();
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
            show(std::move(s.loaded));
        });
}

void OpenTab::DeleteFileEntry(const QString& fullPath)
{
    work::post(
        work::Queue::List, &m_alive,
        [store = m_store, fullPath]() mutable { return store.DeleteFileEntry(fullPath); },
        [this](const FileResult& r) {
            if (!r.ok)
                reportSaveFailure(r);
        });
}

std::optional<OpenEntry> OpenTab::chosen() const
{
    const QString key = m_list.selectedKey();
    if (key.isEmpty())
        return std::nullopt;
    for (const OpenEntry& e : m_entries) {
        if (e.path() == key)
            return e;
    }
    return std::nullopt;
}

void OpenTab::open()
{
    const std::optional<OpenEntry> entry = chosen();
    if (!entry)
        return;
    // Any program may write the list. A path that is not a full path would be taken from
    // whatever folder the hub runs in, and could reach a tool as one of its options: it is never
    // handed on, and its entry stays for the program that wrote it.
    if (!QDir::isAbsolutePath(entry->folder)) {
        m_hub.notice(QStringLiteral("The file can not be opened\r") + entry->path() +
                     QStringLiteral(" is not a full path."));
        return;
    }
    // The file may lie on a drive that does not answer: the tool starts when it does, if that is
    // soon; otherwise the user asks again.
    FileSystem* files = &m_hub.files();
    m_waits.run(
        work::Queue::Drives, QStringLiteral("open"), entry->path(), DriveWait::Late::Drop,
        [files, path = entry->path()] { return dataFileExists(*files, path); },
        [this, e = *entry](bool exists) { openChecked(e, exists); });
}

void OpenTab::openChecked(const OpenEntry& entry, bool exists)
{
    if (!exists) {
        const QString text =
            QStringLiteral("File does not exist: ") + SpacesToQuestionMarks(entry.folder) +
            SpacesToQuestionMarks(entry.name) + QLatin1Char('\r') +
            QStringLiteral("It may have been moved or deleted. Do you wish to locate the "
                           "file yourself? ");
        if (m_hub.ask(text)) {
            cmdBrowseTag = SpacesToQuestionMarks(entry.name);
            cmdBrowse_Click();
        }
        // Only the entry goes; whatever is at that path now is the user's and stays.
        DeleteFileEntry(entry.path());
        return;
    }
    if (const auto command =
            commandForOpen(m_hub.appFolder(), entry.kindCode, entry.folder, entry.name))
        m_launching.LaunchCommand(command->program, command->arguments, entry.path());
}

int OpenTab::ShowOpenDataFileDialog(QString& fileName)
{
    OpenFileRequest request;
    request.title = QStringLiteral("Open File");
    request.filter = QStringLiteral(
        "Profile View Fuel Profile(*.fpl)|*.fpl|LogTally Planar Intercept(*.pli)|*.pli|"
        "LogTally Plot Pictures(*.phs)|*.phs|Canopy Load(*.crn)|*.crn");
    request.filterIndex = 1;
    const QString app = m_hub.appFolder();
    const QString data = paths::findIgnoringCase(app, QStringLiteral("data"));
    request.initialFolder = data.isEmpty() ? app + paths::separator() : paths::join(app, data);
    request.initialName = fileName;
    QString chosen;
    if (!m_hub.prompter().openFile(request, &chosen))
        return kDialogCancelled;
    fileName = chosen;
    return 0;
}

void OpenTab::cmdBrowse_Click()
{
    QString fileName = cmdBrowseTag;
    const int result = ShowOpenDataFileDialog(fileName);
    cmdBrowseTag.clear();
    if (result == 0)
        openChosenFile(fileName);
}

void OpenTab::openChosenFile(const QString& fileName)
{
    const auto command = commandForBrowse(m_hub.appFolder(), KindFromExtension(fileName), fileName);
    if (!command) {
        m_hub.notice(QStringLiteral("The file can not be opened"));
        return;
    }
    m_launching.LaunchCommand(command->program, command->arguments, fileName);
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
            {QStringLiteral("Copy Path"), [this] { copyPath(); }}};
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
    return [this, path] { openChosenFile(path); };
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
