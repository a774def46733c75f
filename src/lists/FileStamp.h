#pragma once

#include <QString>
#include <QtGlobal>

// What the refresh timer compares: the modification time at full precision, the size and the
// file's identity, so that a change within the same second or a replacement by rename shows.
struct FileStamp {
    bool exists = false;
    qint64 modifiedNs = 0;
    qint64 size = 0;
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileStamp&) const = default;
};

// One status call.
FileStamp fileStamp(const QString& path);
