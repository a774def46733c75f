#pragma once

#include "base/FileResult.h"
#include "platform/PlatformServices.h"
#include "work/Work.h"

#include <QString>

// What every part of one main window shares: the platform services, the application folder and
// the program's four message forms, so that no caller repeats a title or an icon.
class HubContext {
public:
    explicit HubContext(const PlatformServices& services)
        : m_services(services)
    {}

    const PlatformServices& services() const { return m_services; }
    const QString& appFolder() const { return m_services.appFolder; }
    Prompter& prompter() const { return *m_services.prompter; }
    Launcher& launcher() const { return *m_services.launcher; }
    FileSystem& files() const { return *m_services.files; }
    Trash& trash() const { return *m_services.trash; }
    DriveTable& drives() const { return *m_services.drives; }
    // The work line of the drive that holds `path`.
    work::Line lineOf(const QString& path) const;

    // A refusal or notice: the program's title, OK, no icon.
    void notice(const QString& text) const;
    // A question: the program's title, Yes and No, the exclamation icon. True on Yes.
    bool ask(const QString& text) const;
    // The same, with No as the answer Enter gives.
    bool askDefaultNo(const QString& text) const;
    // A failure the user must not miss: the program's title, OK, the critical icon.
    void critical(const QString& text) const;
    // A failed file operation: "what\r<number>-<text>" as a notice.
    void fileFailure(const QString& what, const FileResult& failure) const;

private:
    PlatformServices m_services;
};
