#pragma once

#include "platform/Trash.h"

#ifndef Q_OS_WIN

// The trash of the freedesktop.org desktops, which their file managers list and restore from.
//
// A file on the device of the home trash ($XDG_DATA_HOME/Trash, by default
// ~/.local/share/Trash) goes there; a file on another device goes to the trash at the top folder
// of its mount: $topdir/.Trash/$uid when $topdir/.Trash is a real folder with the sticky bit,
// else $topdir/.Trash-$uid, which must be a real folder of the user's own. Missing folders are
// made with mode 0700. The file is only ever renamed into the trash, never copied: a trash that
// cannot take it is a failure, reported at once.
//
// Each trashed file has a record info/NAME.trashinfo beside files/NAME, holding its original
// path (percent-encoded; absolute in the home trash, relative to the top folder in a drive's
// trash) and the local time it was trashed.
class XdgTrash : public Trash {
public:
    FileResult moveToTrash(const QString& path, TrashedFile* where) override;
    FileResult restore(const TrashedFile& what) override;
};

#endif
