#pragma once

#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "platform/LocalFileSystem.h"
#include "support/FakeBrowserFinder.h"
#include "support/FakeIconSource.h"
#include "support/FakeRecentDocuments.h"
#include "support/Fakes.h"
#include "support/FakeTrash.h"
#include "support/Settle.h"
#include "support/TempAppFolder.h"

#include <memory>

// The file system that every test's hub uses. The checks of missing files run on threads that
// outlive a test (as they outlive a window in the program), so it lives as long as the tests.
inline FileSystem& sharedFileSystem()
{
    static FileSystem* files = new LocalFileSystem;
    return *files;
}

// A temporary application folder with fake platform services, and the main window on it.
struct FakeHub {
    TempAppFolder app;
    FakeSettingsStore settings;
    FakeDriveTable drives;
    FakePrompter prompter;
    FakeLauncher launcher;
    FakeBrowserFinder browsers;
    FakeIconSource icons;
    FileSystem& files = sharedFileSystem();
    FakeTrash trash;
    FakeRecentDocuments recent;
    PlatformServices services;

    FakeHub()
    {
        services.appFolder = app.path();
        services.settings = &settings;
        services.drives = &drives;
        services.prompter = &prompter;
        services.launcher = &launcher;
        services.browsers = &browsers;
        services.icons = &icons;
        services.files = &files;
        services.trash = &trash;
        services.recent = &recent;
    }
    // Work still under way finishes before the fakes it calls go.
    ~FakeHub() { settle(); }
    // The paths of the recent-file list's records, in the file's order, read as they stand (the
    // program reads list files only off the window's thread, which this is).
    QStringList recordedPaths() const
    {
        QStringList paths;
        for (const QStringList& r : records::parse(app.read(QStringLiteral("QELFileList.txt")), 3))
            paths.append(r[1]);
        return paths;
    }
    // The text of the last message box shown, or nothing.
    QString lastMessage() const
    {
        return prompter.messages.isEmpty() ? QString() : prompter.messages.last().text;
    }
    // The main window after its start-up preparation.
    std::unique_ptr<frmQEL> makeWindow() const
    {
        auto window = std::make_unique<frmQEL>(services);
        window->InitMainWindow();
        return window;
    }
};
