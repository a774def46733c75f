#pragma once

#include "platform/BrowserFinder.h"

#ifdef Q_OS_WIN
// The browser is the program the shell associates with HTML files: asked with a small temporary
// ".HTM" file in the user's temporary folder, deleted again after each lookup. The page is opened
// through the shell with the URL as the parameters, unchanged. Folders open in Explorer.
class WinBrowserFinder : public BrowserFinder {
public:
    std::optional<FileResult> openPage(const QString& url) override;
    std::optional<FileResult> openFolder(const QString& folder) override;
};
#endif
