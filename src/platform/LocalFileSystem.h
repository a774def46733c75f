#pragma once

#include "platform/FileSystem.h"

// The file system as it is.
class LocalFileSystem : public FileSystem {
public:
    bool isFile(const QString& path) override;
    bool exists(const QString& path) override;
    Presence presence(const QString& path) override;
    FileResult rename(const QString& from, const QString& to) override;
    FileResult remove(const QString& path) override;
};

// What a failed look at a path says of its drive: a network error (the share's server has gone
// away, a stale handle, a drive that fails to read) is NotAnswering, anything else Absent.
Presence presenceAfterError(int error);
