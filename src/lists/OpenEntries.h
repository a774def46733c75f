#pragma once

#include "base/FileResult.h"

#include <QByteArray>
#include <QString>

#include <vector>

class FileSystem;

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
    quint32 folderHash = 0; // textHash of the folder, taken once for all its entries

    QString path() const { return folder + name; }
    // The paths the entry's file may have, the likeliest first.
    QStringList files() const;
    bool operator==(const OpenEntry&) const = default;
};

// The entries of a recent-file list, and the order the "Open" list shows them in: by name without
// regard to letter case, equal names in file order. The entries stay in file order (a large list
// is not moved about to be sorted); `order` gives the entry of each place. Records whose path has
// no folder or no file name are not shown; they stay in the file.
struct OpenListing {
    FileResult result; // the file could not be read: no entries
    bool exists = false;
    std::vector<OpenEntry> entries;
    std::vector<int> order;
    size_t size() const { return order.size(); }
    // The entry at place `i` of the list.
    const OpenEntry& at(size_t i) const { return entries[size_t(order[i])]; }
};
OpenListing openListingOf(const QByteArray& content);

// The file an entry names: the one its line's bytes name when that is there, else the one its
// text names.
QString fileOf(FileSystem& files, const OpenEntry& entry);

// Whether a data file is there for the user: an ordinary file that is not hidden.
bool dataFileExists(FileSystem& files, const QString& path);
