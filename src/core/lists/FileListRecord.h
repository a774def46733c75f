#pragma once

#include <QString>

// One line of the recent-file list file.
struct FileListRecord {
    QString kindCode;
    QString path;
    QString dateText;
    bool operator==(const FileListRecord&) const = default;
};
