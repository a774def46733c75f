#pragma once

#include "platform/BrowserFinder.h"

#include <QList>
#include <QString>

// Answers the lookups from a script and records what was asked and started.
class FakeBrowserFinder : public BrowserFinder {
public:
    // The program each lookup finds (the target becomes its one argument); empty finds nothing.
    QString browserProgram = QStringLiteral("/usr/bin/fake-browser");
    QString fileManagerProgram;
    FileResult startResult; // what every start reports

    QStringList browserRequests, folderRequests;
    QList<ProgramCommand> starts;

    std::optional<ProgramCommand> findBrowser(const QString& url) override
    {
        browserRequests.append(url);
        if (browserProgram.isEmpty())
            return std::nullopt;
        return ProgramCommand{browserProgram, {url}};
    }
    std::optional<ProgramCommand> findFileManager(const QString& folder) override
    {
        folderRequests.append(folder);
        if (fileManagerProgram.isEmpty())
            return std::nullopt;
        return ProgramCommand{fileManagerProgram, {folder}};
    }
    FileResult start(const ProgramCommand& command) override
    {
        starts.append(command);
        return startResult;
    }
};
