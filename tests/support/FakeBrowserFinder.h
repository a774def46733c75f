#pragma once

#include "platform/BrowserFinder.h"

#include <QCoreApplication>
#include <QStringList>
#include <QThread>

// Answers from a script and records what was asked and started. Called on a work line: read it
// once the work has settled.
class FakeBrowserFinder : public BrowserFinder {
public:
    bool hasBrowser = true; // false: no browser is found
    bool hasFileManager = false;
    FileResult startResult; // what every start reports

    QStringList browserRequests, folderRequests; // every address and folder asked for
    QStringList started;                         // the ones a program was started on
    int onWindowThread = 0;                      // requests made on the window's thread

    std::optional<FileResult> openPage(const QString& url) override
    {
        browserRequests.append(url);
        return start(hasBrowser, url);
    }
    std::optional<FileResult> openFolder(const QString& folder) override
    {
        folderRequests.append(folder);
        return start(hasFileManager, folder);
    }

private:
    std::optional<FileResult> start(bool found, const QString& target)
    {
        onWindowThread += QThread::currentThread() == QCoreApplication::instance()->thread();
        if (!found)
            return std::nullopt;
        started.append(target);
        return startResult;
    }
};
