#pragma once

#include "base/Program.h"

#include <QString>
#include <QStringList>

#include <vector>

// One entry of any tab as a search over every tab sees it: what it is called, where it lies (an
// "Open" entry's folder; empty for the others) and what finds it again in its tab.
struct SearchEntry {
    Tab tab = Tab::New;
    QString name;   // the text the tab shows for it
    QString folder; // an "Open" entry's folder, matched too
    QString key;    // the key of its row in its tab: a path, a shortcut file, a link's name
    bool pinned = false;
};

// The text as a search compares it: letter case and accents ignored ("Éclair" finds "eclair"),
// so that what the user types matches whatever the list file holds.
QString searchFolded(const QString& text);

// A search over the entries of every tab, as the user types. Every blank-separated word of the
// query must be found in the name (or, for "Open" entries, in the folder). The best matches come
// first: pinned entries, then names that begin with the query, names with a word that begins
// with it, names that hold it anywhere, and last entries found only by their folder; within each
// of these, the tabs in their order, then the names in text order.
class EntrySearch {
public:
    void setEntries(std::vector<SearchEntry> entries);
    const std::vector<SearchEntry>& entries() const { return m_entries; }

    // The indexes into entries() of at most `limit` matches, best first; none for a blank query.
    std::vector<int> find(const QString& query, int limit) const;

private:
    struct Folded {
        QString name;
        QString folder;
    };
    std::vector<SearchEntry> m_entries;
    std::vector<Folded> m_folded; // made once per entry, not per keystroke
};
