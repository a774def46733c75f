#pragma once

#include "base/FileResult.h"

#include <QString>

// The desktop's list of recently used files, which file managers and the file dialogs of other
// programs offer. Safe to call from any thread; it may wait on the home folder's drive, so it is
// never called on the window's thread.
class RecentDocuments {
public:
    virtual ~RecentDocuments() = default;

    struct Document {
        QString path;        // full path of the data file
        QString mimeType;    // its type, as the desktop knows it
        QString application; // the name of the program it was opened with
        QString command;     // that program's command line for it
    };
    // Adds the document, or refreshes its entry. A list that cannot be read as a whole is left
    // as it is (never replaced by one that holds less), and so is the list when the user has
    // asked the desktop not to remember recent files; neither is a failure of the caller's.
    virtual FileResult add(const Document& document) = 0;
};
