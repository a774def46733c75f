#pragma once

#include "platform/BrowserFinder.h"

#include <QProcessEnvironment>

#ifndef Q_OS_WIN

// Finds the user's web browser the way the free desktops agree on, without running any helper
// program: $BROWSER first, then the default handler for https, http and HTML pages in the
// MIME-applications lists and caches, then the Debian alternative x-www-browser. Starts what it
// found directly (no shell, no xdg-open), so "nothing configured" and "it would not start" stay
// apart, and nothing can block the window.
class XdgBrowserFinder : public BrowserFinder {
public:
    explicit XdgBrowserFinder(
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment());

    std::optional<ProgramCommand> findBrowser(const QString& url) override;
    std::optional<ProgramCommand> findFileManager(const QString& folder) override;
    FileResult start(const ProgramCommand& command) override;

    // The mimeapps.list files in the order they are consulted (each folder's desktop-specific
    // lists before its plain one), whether they exist or not.
    struct MimeAppsList {
        QString path;
        bool desktopSpecific = false;
    };
    QList<MimeAppsList> mimeAppsLists() const;
    // The folders that hold desktop entries, the user's first.
    QStringList applicationFolders() const;
    // `name` as an executable file: an absolute path as it stands, a bare name searched in PATH.
    // Empty when there is none.
    QString findProgram(const QString& name) const;

private:
    std::optional<ProgramCommand> fromBrowserVariable(const QString& url) const;
    std::optional<ProgramCommand> fromMimeApps(const QStringList& types, const QString& target,
                                               bool targetIsUrl) const;
    std::optional<ProgramCommand> fromDesktopId(const QString& id, const QString& target,
                                                bool targetIsUrl) const;
    QString findDesktopFile(const QString& id) const;
    QString variable(const char* name) const;
    QStringList folderList(const char* name, const QStringList& defaults) const;
    QString folder(const char* name, const QString& underHome) const;

    QProcessEnvironment m_env;
};

#endif
