#pragma once

#include "platform/FileSystem.h"

// The file system as it is.
class LocalFileSystem : public FileSystem {
public:
    bool isFile(const QString& path) override;
    bool exists(const QString& path) override;
    Presence presence(const QString& path) override;
    FileResult rename(const QString& from, const QString& to) override;
    FileResult replace(const QString& from, const QString& to) override;
    FileResult remove(const QString& path) override;
    FileResult create(const QString& path, int* handle) override;
    FileResult write(int handle, QByteArrayView bytes) override;
    FileResult flush(int handle) override;
    FileResult close(int handle) override;
    FileResult read(const QString& path, qsizetype limit, QByteArray* bytes) override;
};

// What a failed look at a path says of its drive: a network error (the share's server has gone
// away, a stale handle, a drive that fails to read) is NotAnswering, anything else Absent.
Presence presenceAfterError(int error);
