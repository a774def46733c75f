#pragma once

#include "lists/DataFolder.h"
#include "lists/FileListRecord.h"
#include "lists/ListDates.h"
#include "lists/ListFile.h"
#include "lists/OpenEntries.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <mutex>

// The recent-file list file "QELFileList.txt" of an application folder. Every change is a
// read-modify-replace through "qellist.tmp" (see ListFile): other programs' changes made in the
// meantime are never lost, and lines that are not records stay as they were. The store touches
// the list file and the data folder, both in the application folder, and never a data file
// elsewhere: that is the commands' work, on the data file's own drive.
class RecentFileList {
public:
    explicit RecentFileList(QString appFolder);

    QString listPath() const;
    QString tempPath() const;
    // The data folder, in whatever letter case it has on disk: application folder + "/data/".
    QString dataFolder() const { return m_data.dataFolder(); }

    using Contents = ListContents<FileListRecord>;
    Contents read() const;
    // The entries as the "Open" list shows them; a missing list is made from the data folder
    // first when `scanIfMissing`. `identity` receives the version read (missing when none was).
    OpenListing listing(bool scanIfMissing, FileIdentity* identity = nullptr) const;
    // The refresh timer's look: the entries when the list file is there and not as `last` saw
    // it (a failure is not shown), and the version of the file they were read from.
    struct Refreshed {
        bool read = false; // false: nothing to read
        OpenListing listing;
        FileIdentity identity;
    };
    Refreshed listingIfChanged(const FileIdentity& last) const;
    // A load's read: always read, a missing list made from the data folder first.
    Refreshed loaded() const;

    // What a command needs to know of the list before it acts.
    struct Check {
        FileResult result;      // the list could not be read
        bool exists = false;    // the list file is there
        bool holds = false;     // it holds a record of the path asked about
        bool holdsAlso = false; // ... and of the other path asked about
        bool readOnly = false;  // its owner may not write it: it is never replaced
    };
    Check check(const QString& path, const QString& alsoPath = {}) const;

    // Adds the entry, or brings an entry of the same path (any letter case) up to date in place.
    FileResult TouchFileEntry(const QString& path, const QString& kindCode, const QDateTime& now);

    // Removes every record whose path equals `fullPath` exactly; the data file is not touched.
    // `taken` receives the records that went, to be put back by putBack(); `written`, the list
    // as it is afterwards. Fails with ENOENT when the list file is missing and `mustExist`.
    FileResult removeRecords(const QString& fullPath, QList<records::TakenRecord>* taken = nullptr,
                             QByteArray* written = nullptr, bool mustExist = false);
    // The same for every record whose path is one of `fullPaths`, in one rewrite.
    FileResult removeRecordsOf(const QSet<QString>& fullPaths,
                               QList<records::TakenRecord>* taken = nullptr,
                               QByteArray* written = nullptr);
    // Puts records a remove took back where they stood (see records::Document::putBack).
    FileResult putBack(const QList<records::TakenRecord>& taken, QByteArray* written = nullptr);
    // Gives the records of the files `within` the folder `from` the same paths within `to`,
    // changing only those bytes of their lines; `moved` counts them.
    FileResult movePaths(const QString& from, const QString& to, const QSet<QString>& within,
                         int* moved = nullptr, QByteArray* written = nullptr);
    // Gives every record of `oldPath` the path `newPath`, keeping its kind code, date and place.
    FileResult renameRecords(const QString& oldPath, const QString& newPath,
                             QByteArray* written = nullptr);

    // Whether `path` names a file directly in the data folder (see DataFolder).
    bool isInDataFolder(const QString& path) const { return m_data.isInDataFolder(path); }
    // Drops the records of files directly in the data folder and appends one record per data
    // file found there now.
    FileResult SyncDataFolderEntries(QByteArray* written = nullptr);
    // The same, and the entries as it left them (none when it failed). A list that needed no
    // change is left as it was and not listed again: `kept` is then the version found.
    struct Synced {
        FileResult sync;
        OpenListing listing;
        FileIdentity kept; // missing when the sync wrote the list (or failed)
        // The version of the list the sync left, written or kept; missing when not known.
        FileIdentity version;
    };
    Synced syncAndList();
    // Appends one record per data file of the data folder (creating the list file if missing).
    FileResult ScanDataFolder();

    // The list file's read-modify-replace, with its test hooks.
    ListFile& file() { return m_file; }
    // Test hook: runs between writing the new file and swapping it in.
    void setBeforeReplaceHook(std::function<void()> hook)
    {
        m_file.beforeReplace = std::move(hook);
    }
    // Test hook: runs when listing() has read the file, before it makes the entries of it.
    void setAfterListingReadHook(std::function<void()> hook)
    {
        m_afterListingRead = std::move(hook);
    }

private:
    // SyncDataFolderEntries; `kept` receives the version of a list that needed no change.
    FileResult syncDataFolder(QByteArray* written, FileIdentity* kept, FileIdentity* version);

    // Lists the list file's `content`, sharing names with the listing made last.
    OpenListing listingOf(QByteArray content) const;

    ListFile m_file;
    DataFolder m_data;
    // The listing made last by this store or a copy of it (the copies run on the list line).
    struct Last {
        std::mutex lock;
        OpenListing::Shared listing;
    };
    std::shared_ptr<Last> m_last = std::make_shared<Last>();
    std::function<void()> m_afterListingRead;
};

// The name a data file gets when renamed to `newName`: the kind code is appended as extension
// unless the name's last three characters already are the code.
QString applyRenameExtensionRule(const QString& newName, const QString& kindCode);
