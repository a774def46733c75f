#pragma once

#include "base/FileResult.h"

#include <QString>
#include <QStringList>

#include <optional>

// A program and its arguments, ready to start without a shell.
struct ProgramCommand {
    QString program;
    QStringList arguments;
    bool operator==(const ProgramCommand&) const = default;
};

// Finds the user's web browser (and the desktop's file manager) and starts it. Finding and
// starting are separate so that "no browser configured" and "the browser would not start" stay
// two different outcomes.
class BrowserFinder {
public:
    virtual ~BrowserFinder() = default;
    // The browser's command line for `url`, the URL as exactly one argument; nullopt when no
    // browser can be found.
    virtual std::optional<ProgramCommand> findBrowser(const QString& url) = 0;
    // The file manager's command line showing `folder`; nullopt when there is none.
    virtual std::optional<ProgramCommand> findFileManager(const QString& folder) = 0;
    // Starts the command detached, without waiting for it.
    virtual FileResult start(const ProgramCommand& command) = 0;
};
