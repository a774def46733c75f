#pragma once

#include "base/FileResult.h"

#include <QString>

// What a look at a path found: a file, nothing, or a drive that answered with an error that
// says it cannot be reached (its server went away): such a file is not missing.
enum class Presence { There, Absent, NotAnswering };

// The calls on data files that can wait on a drive: a USB stick or a network share may stop
// answering for seconds or minutes, so these run only on worker threads, never on the window's.
// Every method may be called from several threads at once.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Whether an ordinary file stands at `path` (not a folder, not a device); false when the path
    // cannot be looked at.
    virtual bool isFile(const QString& path) = 0;
    // Whether anything stands at `path` (a file, a folder, a device); false when the path cannot
    // be looked at.
    virtual bool exists(const QString& path) = 0;
    // Whether an ordinary file stands at `path`, telling a drive that cannot be reached from a
    // file that is not there.
    virtual Presence presence(const QString& path)
    {
        return isFile(path) ? Presence::There : Presence::Absent;
    }
    // Gives the file `from` the path `to`, failing with the platform's "file exists" error rather
    // than replacing a file at `to`.
    virtual FileResult rename(const QString& from, const QString& to) = 0;
    // Deletes the file for good.
    virtual FileResult remove(const QString& path) = 0;
};

// Renames without ever replacing a file at `to` (the platform's "file exists" error instead).
FileResult renameNoReplace(const QString& from, const QString& to);
