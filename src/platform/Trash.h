#pragma once

#include "base/FileResult.h"

#include <QString>

// Where a trashed file went, so that it can be put back.
struct TrashedFile {
    QString originalPath; // absolute; on Linux its folder as it really is, without symbolic links
    QString trashedPath;  // the file itself, inside the trash
    QString infoPath;     // the trash's record of where it came from (empty where there is none)
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
    // Refuses (EEXIST), changing nothing, when anything now stands at that path.
    virtual FileResult restore(const TrashedFile& what) = 0;
};
