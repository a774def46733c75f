#pragma once

#include "base/FileResult.h"
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

namespace records {
class RecordView;
}

// One entry of the "Open" list: a record of the recent-file list. Its identity is its full path,
// compared exactly, as the list's own operations compare paths.
struct OpenEntry {
    QString kindCode; // as stored, in its letter case
    QString folder;   // ends in a separator; shared by the entries of one folder
    QString name;
    QString dateText;
    // The path as the line's bytes name it, where the line is no UTF-8 and was read as
    // Windows-1252 (see paths::fromNativeBytes); empty otherwise. The file may have either name.
    QString bytesPath;

    QString path() const { return folder + name; }
    // The paths the entry's file may have, the likeliest first.
    QStringList files() const;
    bool operator==(const OpenEntry&) const = default;
};

// The entries of a recent-file list, and the order the "Open" list shows them in: by name without
// regard to letter case, equal names in file order. A list of years of plots holds many names in
// few folders under few kind codes, so each entry keeps its name, its date (in its own 56 bytes
// where the date is short and plain, as the hub and the companion tools write it), and the number
// of its folder and code in tables of their own. The entries
// stay in file order (a large list is not moved about to be sorted); `order` gives the entry of
// each place. Records whose path has no folder or no file name are not shown; they stay in the
// file.
class OpenListing {
public:
    FileResult result; // the file could not be read: no entries
    bool exists = false;
    // The first line (counted from 1) too long to be a record (see records::kMaxRecordLine),
    // which the list does not show; 0 when there is none.
    qsizetype damagedLine = 0;

    size_t size() const { return m_order.size(); }
    // The entry at place `i` of the list, whole.
    OpenEntry at(size_t i) const;
    // Its parts, without making the entry.
    const QString& name(size_t i) const { return record(i).name; }
    QString date(size_t i) const;
    const QString& folder(size_t i) const { return m_table->folders[record(i).folder].text; }
    quint32 folderHash(size_t i) const { return m_table->folders[record(i).folder].hash; }
    const QString& kindCode(size_t i) const { return m_table->codes[record(i).code]; }

    // Whether the entries stand in name order, as a listing is read; false for newestFirst's.
    bool byName() const { return m_byName; }
    // The same entries, the newest date first (see newestFirst in ListDates.h): what View >
    // "Newest First" shows. Parses every date: not for the window's thread with a large list.
    OpenListing newestFirst() const;

    // What a later listing may share its names with: this one's records, for as long as any
    // listing of them lives.
    using Shared = std::weak_ptr<const void>;
    Shared shared() const { return m_table; }

private:
    friend OpenListing openListingOf(QByteArray content, const Shared& previous);
    static constexpr int kDateBytes = 25; // what is left of the record's 56 bytes
    struct Record {
        QString name;
        quint32 folder = 0;
        quint16 code = 0;
        // The date's Latin-1 bytes, so many; or kLongDate, and its place in longDates in the
        // first four bytes.
        quint8 dateLength = 0;
        char date[kDateBytes];
    };
    static_assert(sizeof(Record) == 56);
    static constexpr quint8 kLongDate = 0xFF;
    struct Folder {
        QString text;
        quint32 hash = 0;
    };
    // The records in file order and the texts they share, never changed once read: listings of
    // the same entries in other orders share them.
    struct Table {
        std::vector<Record> records;
        std::vector<Folder> folders;
        std::vector<QString> codes;
        // The paths as the bytes of lines that are no UTF-8 name them, where they differ from
        // the texts: by record, in file order.
        std::vector<std::pair<quint32, QString>> bytesPaths;
        std::vector<QString> longDates;
        void setDate(Record& record, const records::RecordView& view);
    };
    const Record& record(size_t i) const { return m_table->records[size_t(m_order[i])]; }

    std::shared_ptr<const Table> m_table = std::make_shared<const Table>();
    std::vector<int> m_order;
    bool m_byName = true;
};
// The listing of a list file's `content`. The names of `previous` (a listing of the same file
// before, say) that the new one holds too are shared with it rather than made again, so that a
// large list read anew is not held twice over while the one shown makes way for it.
OpenListing openListingOf(QByteArray content, const OpenListing::Shared& previous = {});

// The file an entry names: the one its line's bytes name when that is there, else the one its
// text names.
QString fileOf(FileSystem& files, const OpenEntry& entry);

// Whether a data file is there for the user: an ordinary file that is not hidden.
bool dataFileExists(FileSystem& files, const QString& path);
// ... telling a drive that cannot be reached from a file that is not there.
Presence dataFilePresence(FileSystem& files, const QString& path);
