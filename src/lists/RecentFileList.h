#pragma once

#include "lists/ListFile.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class FileSystem;

// One line of the recent-file list file.
struct FileListRecord {
    QString kindCode;
    QString path;
    QString dateText;
    bool operator==(const FileListRecord&) const = default;
};

// The date text of the list: the locale's short date, one blank, the time with seconds.
QString listDateText(const QDateTime& when);

// The recent-file list file "QELFileList.txt" of an application folder. Every change is a
// read-modify-replace through "qellist.tmp" (see ListFile): other programs' changes made in the
// meantime are never lost, and lines that are not records stay as they were.
class RecentFileList {
public:
    // `files` reaches the data files (the file system itself when none is given).
    explicit RecentFileList(QString appFolder, FileSystem* files = nullptr);

    QString listPath() const;
    QString tempPath() const;
    // The data folder, in whatever letter case it has on disk: application folder + "/data/".
    QString dataFolder() const;

    using Contents = ListContents<FileListRecord>;
    Contents read() const;

    // Adds the entry, or brings an entry of the same path (any letter case) up to date in place.
    FileResult TouchFileEntry(const QString& path, const QString& kindCode, const QDateTime& now);

    // What DeleteFileEntry does with the data file itself: keep it (a stale entry goes, or the
    // file went to the trash first) or delete it for good.
    enum class DataFile { Keep, Delete };
    // Where a DeleteFileEntry that failed stopped: at the list (nothing changed), or at the data
    // file (its entry has gone, the file is still there).
    enum class DeleteStep { List, DataFile };
    // Removes every record whose path equals `fullPath` exactly; with Keep a missing list file
    // has none to remove. When the data file goes too, the list comes first: a list file that is
    // missing, unreadable or cannot be rewritten fails the whole operation with the data file
    // untouched, and a path that is not absolute is refused before anything changes.
    // `taken` receives the records that went, to be put back by putBack().
    FileResult DeleteFileEntry(const QString& fullPath, DataFile dataFile = DataFile::Keep,
                               DeleteStep* failedAt = nullptr,
                               QList<records::TakenRecord>* taken = nullptr);
    // Puts records a Delete took back where they stood (see records::Document::putBack).
    FileResult putBack(const QList<records::TakenRecord>& taken);

    // Drops the records of files directly in the data folder and appends one record per data
    // file found there now.
    FileResult SyncDataFolderEntries();
    // Appends one record per data file of the data folder (creating the list file if missing).
    FileResult ScanDataFolder();
    // The data folder's data files, in scan order. Names the list cannot hold (a double quote or
    // a line break) are left out.
    QList<FileListRecord> scanDataFolderRecords() const;

    // Gives the file folder + oldName the name `finalName` on disk and in every record of that
    // path, keeping all other records, their dates and their order. When the list cannot follow,
    // the file gets its old name back.
    FileResult renameEntry(const QString& folder, const QString& oldName, const QString& finalName);

    // The list file's read-modify-replace, with its test hooks.
    ListFile& file() { return m_file; }
    // Test hook: runs between writing the new file and swapping it in.
    void setBeforeReplaceHook(std::function<void()> hook)
    {
        m_file.beforeReplace = std::move(hook);
    }

private:
    QString m_appFolder;
    ListFile m_file;
    std::shared_ptr<FileSystem> m_ownFiles;
    FileSystem* m_files;
};

// Whether `records` hold one of exactly this path.
bool holdsPath(const QList<FileListRecord>& records, const QString& path);

// Whether a record's data file is there for the user: an ordinary file that is not hidden.
bool dataFileExists(FileSystem& files, const QString& path);

// The name a data file gets when renamed to `newName`: the kind code is appended as extension
// unless the name's last three characters already are the code.
QString applyRenameExtensionRule(const QString& newName, const QString& kindCode);
