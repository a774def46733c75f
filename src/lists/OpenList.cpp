// The "Open" tab: filling it from the recent-file list, following the list file, and the list
// operations as the window runs them (with their messages).
#include "lists/DataFileKind.h"
#include "mainwindow/frmQEL.h"
#include "mainwindow/QelListView.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {
const QString kSaveProblem = QStringLiteral("Problem saving to QEL list");
}

void frmQEL::reportSaveFailure(const FileResult& failure)
{
    m_services.prompter->message(failure.message(kSaveProblem), QStringLiteral("Keldara"),
                                 MsgButtons::Ok, MsgIcon::None);
}

FileResult frmQEL::LoadOpenList()
{
    QelListView* list = lstQEL[1];
    list->clear();
    list->setLargeImageList(&imgIcons[0]);
    list->setSmallImageList(&imgIcons[1]);
    list->setViewMode(QelListView::ViewMode::Report);
    list->setSortKey(0);
    list->setSorted(true);
    list->setSortOrder(Qt::AscendingOrder);

    const RecentFileList::Contents contents = m_recentFiles.read();
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
        const qsizetype cut = r.path.lastIndexOf(QDir::separator());
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
        list->setSubItem(row, 1, r.dateText);
        list->setSubItem(row, 2, texts.text);
        list->setSubItem(row, 3, folder);
        list->setSubItem(row, 4, r.kindCode);
    }
    list->endFill();
    return contents.result;
}

void frmQEL::tmrFileUpdate_Timer()
{
    const FileStamp now = fileStamp(m_recentFiles.listPath());
    if (!now.exists || now == LastListFileTime)
        return;
    LoadOpenList(); // a failure is not shown; the rows read so far stay
    LastListFileTime = fileStamp(m_recentFiles.listPath());
}

void frmQEL::TouchFileEntry(const QString& path, const QString& kindCode)
{
    const FileResult r = m_recentFiles.TouchFileEntry(path, kindCode, QDateTime::currentDateTime());
    if (!r.ok)
        reportSaveFailure(r);
}

FileResult frmQEL::ScanDataFolder()
{
    const FileResult r = m_recentFiles.ScanDataFolder();
    if (!r.ok)
        return r;
    return LoadOpenList();
}

FileResult frmQEL::SyncDataFolderEntries()
{
    const FileResult r = m_recentFiles.SyncDataFolderEntries();
    if (!r.ok) {
        // The list file is left as it was rather than rebuilt from less than it holds.
        reportSaveFailure(r);
        return r;
    }
    return LoadOpenList();
}

FileResult frmQEL::DeleteFileEntry(const QString& fullPath, RecentFileList::DataFile dataFile)
{
    return m_recentFiles.DeleteFileEntry(fullPath, dataFile);
}

void frmQEL::RenameFileEntry(QString& newName)
{
    QelListView* list = lstQEL[1];
    const int row = list->selectedRow();
    if (row < 0)
        return;
    if (const QString refusal = checkNewDataFileName(newName); !refusal.isEmpty()) {
        m_services.prompter->message(refusal, QStringLiteral("Keldara"), MsgButtons::Ok,
                                     MsgIcon::None);
        return;
    }
    const QString folder = list->subItem(row, 3);
    const QString oldName = list->text(row);
    newName = applyRenameExtensionRule(newName, list->subItem(row, 4));

    if (!QFileInfo(folder + oldName).isFile()) {
        m_services.prompter->message(QStringLiteral("File does not exists, removing entry"),
                                     QStringLiteral("Keldara"), MsgButtons::Ok, MsgIcon::Critical);
        if (const FileResult r = DeleteFileEntry(folder + oldName); !r.ok)
            reportSaveFailure(r);
        return;
    }
    FileResult r = m_recentFiles.renameEntry(folder, oldName, newName);
    if (r.ok) {
        list->setText(row, newName);
        r = LoadOpenList();
    }
    if (!r.ok)
        reportSaveFailure(r);
}
