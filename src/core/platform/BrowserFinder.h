#pragma once

#include "base/FileResult.h"

#include <QString>

#include <optional>

// Opens a web page in the user's web browser, or a folder in the desktop's file manager, and does
// not wait for it. "No browser configured" and "the browser would not start" stay two different
// outcomes. Finding the program may read the user's home folder, which may lie on a share that
// does not answer: call these away from the window's thread (any thread will do).
class BrowserFinder {
public:
    virtual ~BrowserFinder() = default;
    // Starts the browser on `url`, which reaches it unchanged as exactly one argument (an empty
    // address as an empty argument). nullopt when no browser can be found; otherwise what the
    // start reported.
    virtual std::optional<FileResult> openPage(const QString& url) = 0;
    // Starts the file manager showing `folder`; nullopt when there is none.
    virtual std::optional<FileResult> openFolder(const QString& folder) = 0;
};
