#pragma once

#include "base/FileResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

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
    // Gives the file `from` the path `to` in one step, in place of the file that stands there.
    virtual FileResult replace(const QString& from, const QString& to) = 0;
    // Deletes the file for good.
    virtual FileResult remove(const QString& path) = 0;

    // The steps of writing a file, each of which can fail on its own (a full disk may refuse the
    // write, or only the flush, or only the close): `create` makes a new file at `path`, failing
    // with the "file exists" error when anything stands there, and hands back its handle;
    // `write` writes all of `bytes`; `flush` waits until they are on the disk; `close` lets go
    // of the handle, also after a failed step.
    virtual FileResult create(const QString& path, int* handle) = 0;
    virtual FileResult write(int handle, QByteArrayView bytes) = 0;
    virtual FileResult flush(int handle) = 0;
    virtual FileResult close(int handle) = 0;
    // The first `limit` bytes of the ordinary file at `path`.
    virtual FileResult read(const QString& path, qsizetype limit, QByteArray* bytes) = 0;
};

// Renames without ever replacing a file at `to` (the platform's "file exists" error instead).
FileResult renameNoReplace(const QString& from, const QString& to);

// Puts `bytes` at `file` only once they are on the disk whole: they are written to a hidden file
// beside it, flushed, closed and read back, and the bytes read must pass `check` (a failure of
// its own, with the nearest error number); only then does that file take the name `file`, in
// place of the file there when `replaceOld`, else only where nothing stands. On any failure
// nothing is left behind and `file` is as it was.
FileResult writeWhole(FileSystem& files, const QString& file, const QByteArray& bytes,
                      const std::function<FileResult(const QByteArray& readBack)>& check,
                      bool replaceOld);
