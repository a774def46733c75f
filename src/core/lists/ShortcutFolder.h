#pragma once

#include "base/FileResult.h"

#include <QString>

#include <vector>

// One entry of the "Tools" list: a shortcut file of the shortcut folder. Its identity is the
// shortcut file's path.
struct ShortcutEntry {
    QString shortcutFile;
    QString fileName; // the shortcut file's name, extension included: its image key
    QString program;  // what the shortcut starts, as its icon file names it
    FileResult read;  // a shortcut that cannot be read says why
};

// The shortcut folder's shortcuts, in the order the folder lists them. The folder lies in the
// application folder, so this runs on the list line (see work/Work.h).
std::vector<ShortcutEntry> readShortcutFolder(const QString& appFolder);
