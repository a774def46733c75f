#pragma once

#include "search/EntrySearch.h"

#include <QString>

#include <vector>

// Every entry of the four tabs as the files of an application folder hold them, for a search
// that runs without the window (the desktop's search): the "New" entries, the recent-file
// list's records, the shortcut folder's shortcuts by name and the web links. Reads only the
// application folder's own files, never a data file, so it never waits on a data file's drive.
std::vector<SearchEntry> hubEntriesOf(const QString& appFolder);

// The "New" entries: their texts, and their kinds' type codes as keys.
std::vector<SearchEntry> newTabEntries();
