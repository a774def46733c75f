#pragma once

#include <QString>

#include <algorithm>
#include <vector>

// A hash of a text that can be taken in parts: the hash of a text's second part, seeded with the
// hash of its first, is the hash of the whole (FNV-1a over the UTF-16 units).
inline quint32 textHash(QStringView text, quint32 seed = 2166136261u)
{
    quint32 h = seed;
    for (const QChar c : text) {
        h ^= c.unicode();
        h *= 16777619u;
    }
    return h;
}

// Text order without regard to letter case: plain ASCII, by far the common case in file names, is
// folded inline; anything else is compared by Unicode case folding.
int compareIgnoringCase(QStringView a, QStringView b);

// The positions 0 to count - 1 ordered by their texts, `textOf(i)` (a text or a view of one),
// without regard to letter case; equal texts keep their order. Sorts small contiguous keys (the
// first characters, folded) and looks at whole texts only where those are equal, so that a large
// list sorts without chasing every string.
template <class TextOf>
std::vector<int> sortedOrder(int count, TextOf textOf, bool ascending = true)
{
    // The first twelve characters, folded, packed four to a number so that they compare as
    // three numbers.
    struct Key {
        quint64 prefix[3];
        int index;
    };
    std::vector<Key> keys(size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        Key& k = keys[size_t(i)];
        k.index = i;
        const auto& text = textOf(i); // may be a text made for the call
        const QStringView t(text);
        const qsizetype n = std::min<qsizetype>(t.size(), 12);
        quint64 packed[3] = {0, 0, 0};
        for (qsizetype c = 0; c < n; ++c) {
            char16_t u = t[c].unicode();
            if (u >= 'A' && u <= 'Z')
                u += 32;
            else if (u >= 128)
                u = t[c].toCaseFolded().unicode();
            packed[c / 4] |= quint64(u) << (16 * (3 - c % 4));
        }
        std::copy(packed, packed + 3, k.prefix);
    }
    // Equal texts in their first order: the position decides between them.
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        int c = 0;
        for (int p = 0; p < 3 && c == 0; ++p)
            c = a.prefix[p] < b.prefix[p] ? -1 : (a.prefix[p] > b.prefix[p] ? 1 : 0);
        if (c == 0)
            c = compareIgnoringCase(textOf(a.index), textOf(b.index));
        if (!ascending)
            c = -c;
        return c != 0 ? c < 0 : a.index < b.index;
    });
    std::vector<int> positions(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        positions[i] = keys[i].index;
    return positions;
}
