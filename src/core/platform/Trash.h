#pragma once

#include "base/FileResult.h"

#include <QString>

// Where a trashed file went, so that it can be put back.
struct TrashedFile {
    QString originalPath; // absolute; on Linux its folder as it really is, without symbolic links
    QString trashedPath;  // the file itself, inside the trash
    QString infoPath;     // the trash's record of where it came from (empty where there is none)
    // What the move left in the trash, so that a restore can tell it from another file the user
    // trashed later under the same name: the record's deletion date, and the trashed file's own
    // identity (size, modification time, inode and device, or the file ID on Windows).
    QString deletedAt;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    quint64 device = 0;
    bool operator==(const TrashedFile&) const = default;
};

// The desktop's trash. Safe to call from any thread: no call keeps state between calls.
class Trash {
public:
    virtual ~Trash() = default;

    // Moves the file (or folder) at `path` to the desktop's trash; on success `where` says where
    // it went. Every failure is reported (the platform's error number and text), the file then
    // stays where it was: the move never loops, never copies, and never deletes.
    virtual FileResult moveToTrash(const QString& path, TrashedFile* where) = 0;

    // Puts a trashed file back at its original path, through the trash's own record of it.
    // Refuses (EEXIST), changing nothing, when anything now stands at that path, and (ENOENT)
    // when the trash no longer holds what the move put there: the user may have emptied it and
    // trashed another file of the same name since, which must not come back in its place.
    virtual FileResult restore(const TrashedFile& what) = 0;
};
