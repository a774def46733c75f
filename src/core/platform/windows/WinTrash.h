#pragma once

#include "platform/Trash.h"

#ifdef Q_OS_WIN
// The recycle bin, through QFile::moveToTrash. See WinTrash.cpp for what restore can and cannot
// do there.
class WinTrash : public Trash {
public:
    FileResult moveToTrash(const QString& path, TrashedFile* where) override;
    FileResult restore(const TrashedFile& what) override;
};
#endif
