#include "tabs/open/OpenTab.h"

#include "actions/Launching.h"
#include "actions/LaunchTable.h"
#include "actions/WebPages.h"
#include "base/Columns.h"
#include "base/Paths.h"
#include "base/Program.h"
#include "lists/DataFileKind.h"
#include "platform/Prompter.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>

namespace {
// A file the user cannot see counts as missing, as a hidden file would on Windows.
bool dataFileExists(const QString& folder, const QString& name)
{
    return !name.startsWith(QLatin1Char('.')) && QFileInfo(folder + name).isFile();
}

bool dataFileExists(const QString& path)
{
    QString name, folder;
    SplitPath(path, &name, &folder);
    return dataFileExists(folder, name);
}
} // namespace

OpenTab::OpenTab(const HubContext& hub, QelListView& list, const ImageList& large,
                 const ImageList& small, Launching& launching)
    : m_hub(hub)
    , m_list(list)
    , m_large(large)
    , m_small(small)
    , m_launching(launching)
    , m_store(hub.appFolder())
    , m_missing(
          std::make_unique<MissingFiles>([](const QString& path) { return dataFileExists(path); }))
{}

void OpenTab::setExistenceCheck(MissingFiles::Exists exists)
{
    m_missing = exists ? std::make_unique<MissingFiles>(std::move(exists)) : nullptr;
}

void OpenTab::checkForMissingFiles()
{
    if (!m_missing)
        return;
    // Shared copies of the rows' texts: the paths are put together away from the window's thread.
    QStringList folders, names;
    folders.reserve(m_list.count());
    names.reserve(m_list.count());
    for (int row = 0; row < m_list.count(); ++row) {
        folders.append(m_list.subItem(row, OpenColumn::Folder));
        names.append(m_list.entry(row).text);
    }
    const auto found = [this, folders, names](const QList<qsizetype>& missing) {
        // An answer is about the row of that number when the check began. A sort may have moved
        // the rows since: then the files' rows are looked up by folder and name.
        QHash<QString, int> rowOfPath;
        for (const qsizetype i : missing) {
            int row = int(i);
            if (row >= m_list.count() || m_list.entry(row).text != names[i] ||
                m_list.subItem(row, OpenColumn::Folder) != folders[i]) {
                if (rowOfPath.isEmpty()) {
                    for (int r = 0; r < m_list.count(); ++r)
                        rowOfPath.insert(
                            m_list.subItem(r, OpenColumn::Folder) + m_list.entry(r).text, r);
                }
                row = rowOfPath.value(folders[i] + names[i], -1);
            }
            m_list.setMissingNote(row, QStringLiteral("missing"));
        }
    };
    m_missing->check(folders, names, found);
}

void OpenTab::reportSaveFailure(const FileResult& failure) const
{
    m_hub.fileFailure(QStringLiteral("Problem saving to QEL list"), failure);
}

FileResult OpenTab::LoadOpenList()
{
    QelListView* list = &m_list;
    list->clear();
    list->setLargeImageList(&m_large);
    list->setSmallImageList(&m_small);
    list->setViewMode(QelListView::ViewMode::Report);
    list->setSortKey(0);
    list->setSorted(true);
    list->setSortOrder(Qt::AscendingOrder);

    const RecentFileList::Contents contents = m_store.read();
    if (!contents.exists)
        return ScanDataFolder(); // which loads the list it made

    // One shared copy of each kind's texts for all rows.
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

    list->beginFill();
    list->reserve(int(contents.records.size()));
    for (const FileListRecord& r : contents.records) {
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
        const int row = list->addEntry(name, texts.large, texts.small);
        list->setSubItem(row, OpenColumn::Date, r.dateText);
        list->setSubItem(row, OpenColumn::KindText, texts.text);
        list->setSubItem(row, OpenColumn::Folder, folder);
        list->setSubItem(row, OpenColumn::KindCode, r.kindCode);
    }
    list->endFill();
    checkForMissingFiles();
    return contents.result;
}

void OpenTab::tmrFileUpdate_Timer()
{
    if (m_syncPending) {
        SyncDataFolderEntries();
        return;
    }
    const FileIdentity now = identityOf(m_store.listPath());
    if (!now.exists || now == LastListFileTime)
        return;
    LoadOpenList(); // a failure is not shown; the rows read so far stay
    LastListFileTime = identityOf(m_store.listPath());
}

void OpenTab::TouchFileEntry(const QString& path, const QString& kindCode)
{
    const FileResult r = m_store.TouchFileEntry(path, kindCode, QDateTime::currentDateTime());
    if (!r.ok)
        reportSaveFailure(r);
}

FileResult OpenTab::ScanDataFolder()
{
    const FileResult r = m_store.ScanDataFolder();
    if (!r.ok)
        return r;
    return LoadOpenList();
}

FileResult OpenTab::SyncDataFolderEntries()
{
    const FileResult r = m_store.SyncDataFolderEntries();
    // A companion tool at work on the list is no fault: try again on a later refresh tick,
    // with the window free in between, and tell the user only if it never lets up.
    m_syncPending = r.busy && m_syncTicksLeft-- > 0;
    if (m_syncPending)
        return r;
    if (!r.ok) {
        // The list file is left as it was rather than rebuilt from less than it holds.
        reportSaveFailure(r);
        return r;
    }
    return LoadOpenList();
}

FileResult OpenTab::DeleteFileEntry(const QString& fullPath, RecentFileList::DataFile dataFile,
                                    RecentFileList::DeleteStep* failedAt)
{
    return m_store.DeleteFileEntry(fullPath, dataFile, failedAt);
}

void OpenTab::RenameFileEntry(QString& newName)
{
    QelListView* list = &m_list;
    const int row = list->selectedRow();
    if (row < 0)
        return;
    if (const QString refusal = paths::refusalOfNewName(newName); !refusal.isEmpty()) {
        m_hub.notice(refusal);
        return;
    }
    const QString folder = list->subItem(row, OpenColumn::Folder);
    const QString oldName = list->text(row);
    newName = applyRenameExtensionRule(newName, list->subItem(row, OpenColumn::KindCode));

    // A path that is not a full path is refused by the store below, never looked up here.
    if (QDir::isAbsolutePath(folder) && !QFileInfo(folder + oldName).isFile()) {
        m_hub.critical(QStringLiteral("File does not exists, removing entry"));
        if (const FileResult r = DeleteFileEntry(folder + oldName); !r.ok)
            reportSaveFailure(r);
        return;
    }
    FileResult r = m_store.renameEntry(folder, oldName, newName);
    if (r.ok) {
        list->setText(row, newName);
        r = LoadOpenList();
    }
    if (!r.ok)
        reportSaveFailure(r);
}

void OpenTab::open()
{
    const int row = m_list.selectedRow();
    if (m_list.count() == 0 || row < 0)
        return;
    const QString folder = m_list.subItem(row, OpenColumn::Folder);
    const QString name = m_list.text(row);
    // Any program may write the list. A path that is not a full path would be taken from
    // whatever folder the hub runs in, and could reach a tool as one of its options: it is never
    // handed on, and its entry stays for the program that wrote it.
    if (!QDir::isAbsolutePath(folder)) {
        m_hub.notice(QStringLiteral("The file can not be opened\r") + folder + name +
                     QStringLiteral(" is not a full path."));
        return;
    }
    if (!dataFileExists(folder, name)) {
        const QString text =
            QStringLiteral("File does not exist: ") + SpacesToQuestionMarks(folder) +
            SpacesToQuestionMarks(name) + QLatin1Char('\r') +
            QStringLiteral("It may have been moved or deleted. Do you wish to locate the "
                           "file yourself? ");
        if (m_hub.ask(text)) {
            cmdBrowseTag = SpacesToQuestionMarks(name);
            cmdBrowse_Click();
        }
        // Only the entry goes; whatever is at that path now is the user's and stays.
        if (const FileResult r = DeleteFileEntry(folder + name); !r.ok)
            reportSaveFailure(r);
        return;
    }
    const auto command =
        commandForOpen(m_hub.appFolder(), m_list.subItem(row, OpenColumn::KindCode), folder, name);
    if (command)
        m_launching.LaunchCommand(command->program, command->arguments);
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
    m_launching.LaunchCommand(command->program, command->arguments);
}

void OpenTab::rename()
{
    const int row = m_list.selectedRow();
    if (m_list.count() == 0 || row < 0)
        return;
    const QString prompt = QStringLiteral("Rename file  ") + m_list.text(row).toUpper() +
                           QStringLiteral("\rType: ") + m_list.subItem(row, OpenColumn::KindText);
    QString answer = m_hub.prompter().inputBox(prompt, QStringLiteral("  "), QStringLiteral(" "));
    if (!answer.isEmpty())
        RenameFileEntry(answer);
}

void OpenTab::remove()
{
    const int row = m_list.selectedRow();
    if (m_list.count() == 0 || row < 0)
        return;
    const QString name = m_list.text(row);
    if (!m_hub.ask(QStringLiteral("Are your sure you want to delete ") + name.toUpper()))
        return;
    const QString path = m_list.subItem(row, OpenColumn::Folder) + name;
    RecentFileList::DeleteStep failedAt = RecentFileList::DeleteStep::List;
    const FileResult r = DeleteFileEntry(path, RecentFileList::DataFile::Trash, &failedAt);
    if (!r.ok && failedAt == RecentFileList::DeleteStep::List) {
        m_hub.fileFailure(QStringLiteral("Problem saving to QEL list, ") + name.toUpper() +
                              QStringLiteral(" was not deleted"),
                          r);
        return;
    }
    if (!r.ok)
        m_hub.fileFailure(name.toUpper() +
                              QStringLiteral(" was removed from the list, but the file could "
                                             "not be deleted"),
                          r);
    LoadOpenList();
}

void OpenTab::openContainingFolder()
{
    if (const int row = m_list.selectedRow(); row >= 0)
        ShowFolder(m_hub, m_list.subItem(row, OpenColumn::Folder));
}

void OpenTab::copyPath()
{
    if (const int row = m_list.selectedRow(); row >= 0)
        QGuiApplication::clipboard()->setText(m_list.subItem(row, OpenColumn::Folder) +
                                              m_list.text(row));
}
