#pragma once

#include "platform/FileSystem.h"

// The file system as it is.
class LocalFileSystem : public FileSystem {
public:
    bool isFile(const QString& path) override;
    bool exists(const QString& path) override;
    FileResult rename(const QString& from, const QString& to) override;
    FileResult remove(const QString& path) override;
};
