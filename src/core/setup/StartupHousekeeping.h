#pragma once

#include <QString>

#include <span>

// A companion-tool shortcut that every start puts into the shortcut folder when it is missing.
struct DefaultShortcut {
    const char* shortcutFile;
    const char* targetExecutable;
    const char* iconFile;
};

std::span<const DefaultShortcut> defaultShortcuts();

// The start's housekeeping, each step ignoring its own failures (they are tried again at the next
// start): the program's folders, the retired "ProfileView.lnk", and the default shortcuts that
// are missing (a file of the same name in any letter case counts as present and is never
// rewritten).
void makeProgramFolders(const QString& appFolder);
void removeRetiredShortcut(const QString& appFolder);
void writeDefaultShortcuts(const QString& appFolder);
