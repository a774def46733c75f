#pragma once

#include <QString>

class SettingsStore;
class DriveTable;
class Prompter;
class Launcher;
class InstanceGuard;
class BrowserFinder;
class IconSource;
class MachineRegistry;
class FileSystem;
class Trash;
class RecentDocuments;
class FileManager;

// The outside world as the forms see it. main.cpp fills it with the real services, the tests with
// fakes; nothing here is owned.
struct PlatformServices {
    QString appFolder; // the folder of the running executable, no trailing separator
    SettingsStore* settings = nullptr;
    DriveTable* drives = nullptr;
    Prompter* prompter = nullptr;
    Launcher* launcher = nullptr;
    InstanceGuard* instance = nullptr;
    BrowserFinder* browsers = nullptr;
    IconSource* icons = nullptr;
    MachineRegistry* registry = nullptr;
    FileSystem* files = nullptr; // data files, which may lie on drives that hang
    Trash* trash = nullptr;
    RecentDocuments* recent = nullptr;  // none: nothing is recorded
    FileManager* fileManager = nullptr; // none: "Show in Folder" opens the folder
    QString stateFolder; // the hub's own per-user state; empty: nothing is remembered
};
