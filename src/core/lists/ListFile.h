#pragma once

#include "base/FileResult.h"
#include "lists/RecordCodec.h"
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// The file work shared by both list files: reading without ever blocking or running out of
// memory, and read-modify-replace rewrites that never lose another program's change.

// The largest list file that is read. A million records take about 50 MB.
inline constexpr qint64 kMaxListFileSize = 128LL * 1024 * 1024;

// One version of a file: the same path with another identity is another version.
struct FileIdentity {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0; // status change time: also moves on a rewrite in place
    bool operator==(const FileIdentity&) const = default;
};

// Follows `path` (and symbolic links); missing when it does not exist.
FileIdentity identityOf(const QString& path);

struct FileContent {
    FileResult result;
    bool exists = false;
    // Its owner may not write it (through a symbolic link: the file it leads to). Such a list is
    // read but never replaced, even by a user the permissions would not stop.
    bool readOnly = false;
    QByteArray data;
    FileIdentity identity; // the version that was read
};

// Reads a list file. Only an ordinary file is read (a pipe, a device or a folder is refused
// without waiting on it), and none larger than kMaxListFileSize. A missing file is reported as
// such, not as a failure. A read that finds the file empty, or its last line without a line end,
// may have met another program in the middle of writing it: when the file changes within a
// moment it is read again.
FileContent readListFile(const QString& path);

// Test hook: told the path of every list file read, on the thread that reads it. Set it while
// nothing reads.
void setListReadObserver(std::function<void(const QString& path)> observer);

// A list file's well-formed records, in file order.
template <class Record> struct ListContents {
    FileResult result; // the file could not be read, or is not a list at all
    bool exists = false;
    QList<Record> records;
    // The first line (counted from 1) that is neither a well-formed record nor blank; 0 if none.
    qsizetype strayLine = 0;
};

// Reads the list file at `path`, making a Record of each well-formed record's fields with
// `make`. A missing file is no records and no failure.
template <class Record, class Make>
ListContents<Record> readRecords(const QString& path, int fieldsPerRecord, Make make)
{
    ListContents<Record> c;
    const FileContent file = readListFile(path);
    c.exists = file.exists;
    c.result = file.result;
    if (file.exists && file.result.ok) {
        c.strayLine =
            records::forEachRecord(file.data, fieldsPerRecord, [&](const records::RecordView& r) {
                c.records.append(make(r));
            });
    }
    return c;
}

// A list file of records of `fieldsPerRecord` fields, rewritten through `tempPath`.
class ListFile {
public:
    ListFile(QString path, QString tempPath, int fieldsPerRecord);

    const QString& path() const { return m_path; }
    const QString& tempPath() const { return m_tempPath; }
    int fieldsPerRecord() const { return m_fields; }

    // Changes the document read from the file; a failure stops the rewrite with nothing written.
    // `exists` tells whether the file was there.
    using Edit = std::function<FileResult(records::Document& doc, bool exists)>;

    // Read-modify-replace: reads the file, lets `edit` change it, writes the result to the
    // temporary file, flushes it and renames it over the list file. Nothing is written when the
    // edit changed nothing. Right before the rename the file is checked again: if another program
    // changed it since it was read, the whole cycle starts again from the new file (a few times,
    // then a failure). On any failure the list file is exactly as it was.
    //
    // A list file whose owner may not write it is never replaced: a change fails (EACCES) before
    // anything is written. A list reached through a symbolic link is read through the link, but
    // the change replaces the link itself with a file of its own: the file the link leads to is
    // never written, nor made when it is missing, so a list shared that way is copied on its first
    // change, not changed for everyone.
    //
    // Keep `edit` quick: it runs inside the window in which another program's change means one
    // more cycle.
    //
    // `written` receives what the file holds afterwards (what was written, or what was read
    // when nothing changed), so that a command shows the list without reading it once more;
    // `version`, which version of the file that is (missing when that cannot be told), so that
    // the refresh timer does not read it once more either.
    FileResult rewrite(const Edit& edit, QByteArray* written = nullptr,
                       FileIdentity* version = nullptr) const;
    // A rewrite that puts records a remove took back where they stood (see
    // records::Document::putBack).
    FileResult putBack(const QList<records::TakenRecord>& taken, QByteArray* written) const;

    // Test hooks: `beforeRead` runs as each cycle begins to read the file, `beforeReplace` after
    // the new file is written and the last look is taken, right before the swap (a crash there
    // must leave the old file; another program's change there must not be lost).
    std::function<void()> beforeRead;
    std::function<void()> beforeReplace;

private:
    QString m_path;
    QString m_tempPath;
    int m_fields;
};

// The refusal of a record whose field the format cannot hold.
FileResult unstorableName();
