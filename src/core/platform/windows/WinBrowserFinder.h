#pragma once

#include "platform/BrowserFinder.h"

#ifdef Q_OS_WIN
// The browser is the program the shell associates with HTML files: asked with a small temporary
// ".HTM" file in the user's temporary folder, deleted again after each lookup. The page is opened
// through the shell with the URL as the parameters, unchanged.
class WinBrowserFinder : public BrowserFinder {
public:
    std::optional<ProgramCommand> findBrowser(const QString& url) override;
    // Explorer, showing the folder.
    std::optional<ProgramCommand> findFileManager(const QString& folder) override;
    // The arguments, joined by blanks, are the parameters as they stand.
    FileResult start(const ProgramCommand& command) override;
};
#endif
