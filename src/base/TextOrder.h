#pragma once

#include <QString>

#include <algorithm>
#include <array>
#include <vector>

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
    constexpr int kPrefix = 12;
    struct Key {
        std::array<char16_t, kPrefix> prefix{};
        int index;
    };
    std::vector<Key> keys(size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        Key& k = keys[size_t(i)];
        k.index = i;
        const auto& text = textOf(i); // may be a text made for the call
        const QStringView t(text);
        const qsizetype n = std::min<qsizetype>(t.size(), kPrefix);
        for (qsizetype c = 0; c < n; ++c) {
            char16_t u = t[c].unicode();
            if (u >= 'A' && u <= 'Z')
                u += 32;
            else if (u >= 128)
                u = t[c].toCaseFolded().unicode();
            k.prefix[size_t(c)] = u;
        }
    }
    std::stable_sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        int c = 0;
        if (a.prefix != b.prefix)
            c = a.prefix < b.prefix ? -1 : 1;
        else
            c = compareIgnoringCase(textOf(a.index), textOf(b.index));
        return ascending ? c < 0 : c > 0;
    });
    std::vector<int> positions(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        positions[i] = keys[i].index;
    return positions;
}
