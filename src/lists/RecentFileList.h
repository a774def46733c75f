#pragma once

#include "lists/ListFile.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// One line of the recent-file list file.
struct FileListRecord {
    QString kindCode;
    QString path;
    QString dateText;
    bool operator==(const FileListRecord&) const = default;
};

// The date text of the list: the locale's short date, one blank, the time with seconds.
QString listDateText(const QDateTime& when);

// The recent-file list file "QELFileList.txt" of an application folder. Every change writes a
// complete new file through "qellist.tmp" and swaps it in atomically; a file that does not read
// completely is never rewritten with less than it held.
class RecentFileList {
public:
    explicit RecentFileList(QString appFolder);

    QString listPath() const;
    QString tempPath() const;
    QString dataFolder() const; // application folder + "/data/"

    struct Contents {
        FileResult result; // a read error, or the truncated-record failure
        bool exists = false;
        QList<FileListRecord> records; // every complete record, even when result is a failure
    };
    Contents read() const;

    // Adds the entry, or brings an entry of the same path (any letter case) up to date in place.
    FileResult TouchFileEntry(const QString& path, const QString& kindCode, const QDateTime& now);

    enum class DataFile { Keep, Delete };
    // Removes every record whose path equals `fullPath` exactly. With DataFile::Delete the data
    // file at that path is deleted as well (the user asked to delete the file, not just its entry).
    FileResult DeleteFileEntry(const QString& fullPath, DataFile dataFile = DataFile::Keep);

    // Drops the records of files directly in the data folder and appends one record per data
    // file found there now.
    FileResult SyncDataFolderEntries();
    // Appends one record per data file of the data folder (creating the list file if missing).
    FileResult ScanDataFolder();
    // The data folder's data files, in scan order.
    QList<FileListRecord> scanDataFolderRecords() const;

    // Gives the file folder + oldName the name `finalName` on disk and in every record of that
    // path, keeping all other records, their dates and their order.
    FileResult renameEntry(const QString& folder, const QString& oldName, const QString& finalName);

    // Test hook: runs between writing the new file and swapping it in.
    void setBeforeReplaceHook(std::function<void()> hook) { m_beforeReplace = std::move(hook); }

private:
    FileResult write(const QList<FileListRecord>& records) const;
    // Reads for a rewrite: the records when the whole file read cleanly or it is missing.
    FileResult readForRewrite(QList<FileListRecord>* records) const;

    QString m_appFolder;
    std::function<void()> m_beforeReplace;
};

// The name a data file gets when renamed to `newName`: the kind code is appended as extension
// unless the name's last three characters already are the code.
QString applyRenameExtensionRule(const QString& newName, const QString& kindCode);

// Empty when `name` can be a data file's new name; otherwise the reason it cannot.
QString checkNewDataFileName(const QString& name);
