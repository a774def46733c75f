#include "search/EntrySearch.h"

#include "base/TextOrder.h"

#include <algorithm>

QString searchFolded(const QString& text)
{
    // Decomposed, an accented letter is its base letter and combining marks, which are dropped.
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c);
    }
    return folded.toCaseFolded();
}

void EntrySearch::setEntries(std::vector<SearchEntry> entries)
{
    m_entries = std::move(entries);
    m_folded.clear();
    m_folded.reserve(m_entries.size());
    for (const SearchEntry& entry : m_entries)
        m_folded.push_back({searchFolded(entry.name), searchFolded(entry.folder)});
}

namespace {

// How well a name holds a word: lower is better; kNone when it does not.
enum Fit { kStarts = 0, kWordStarts = 1, kInside = 2, kFolderOnly = 3, kNone = 4 };

Fit fitOf(const QString& name, const QString& folder, const QString& word)
{
    qsizetype at = name.indexOf(word);
    if (at < 0)
        return folder.contains(word) ? kFolderOnly : kNone;
    if (at == 0)
        return kStarts;
    for (; at > 0; at = name.indexOf(word, at + 1)) {
        if (!name.at(at - 1).isLetterOrNumber())
            return kWordStarts;
    }
    return kInside;
}

} // namespace

std::vector<int> EntrySearch::find(const QString& query, int limit) const
{
    const QStringList words = searchFolded(query).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || limit <= 0)
        return {};
    struct Match {
        int index;
        int rank; // pinned first, then the worst fit of any word
    };
    std::vector<Match> matches;
    for (int i = 0; i < int(m_entries.size()); ++i) {
        int worst = kStarts;
        for (const QString& word : words) {
            worst = std::max<int>(worst, fitOf(m_folded[i].name, m_folded[i].folder, word));
            if (worst == kNone)
                break;
        }
        if (worst != kNone)
            matches.push_back({i, (m_entries[i].pinned ? 0 : 10) + worst});
    }
    const auto better = [this](const Match& a, const Match& b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        const SearchEntry &x = m_entries[a.index], &y = m_entries[b.index];
        if (x.tab != y.tab)
            return int(x.tab) < int(y.tab);
        const int byName = compareIgnoringCase(x.name, y.name);
        return byName != 0 ? byName < 0 : a.index < b.index;
    };
    const auto end = matches.begin() + std::min<qsizetype>(limit, qsizetype(matches.size()));
    std::partial_sort(matches.begin(), end, matches.end(), better);
    std::vector<int> found;
    for (auto it = matches.begin(); it != end; ++it)
        found.push_back(it->index);
    return found;
}
