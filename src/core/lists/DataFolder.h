#pragma once

#include "lists/FileListRecord.h"

#include <QList>
#include <QString>

// The data folder of an application folder, where the companion tools keep their data files:
// where it is on disk, which recorded paths lie directly in it, and the data files it holds now.
// It only reads the folder; the recent-file list decides what to write of it.
class DataFolder {
public:
    explicit DataFolder(const QString& appFolder);

    // The folder in whatever letter case it has on disk: application folder + "/data/".
    QString dataFolder() const;
    // Whether `path` names a file directly in the data folder (in any letter case, with blanks
    // around): the start-up sync lists such files anew from the folder.
    bool isInDataFolder(const QString& path) const;
    // The data folder's data files, in scan order. A name that is no UTF-8 keeps its bytes;
    // names the list cannot hold (a double quote or a line break) are left out.
    QList<FileListRecord> scanDataFolderRecords() const;

private:
    QString m_appFolder;
    // The folder as the list's records name it: application folder + "/Data/".
    QString m_asListed;
};
