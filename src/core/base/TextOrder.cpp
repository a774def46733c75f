#include "base/TextOrder.h"

int compareIgnoringCase(QStringView a, QStringView b)
{
    const QChar* pa = a.data();
    const QChar* pb = b.data();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t ca = pa[i].unicode();
        char16_t cb = pb[i].unicode();
        if (ca == cb)
            continue;
        if (ca < 128 && cb < 128) {
            if (ca >= 'A' && ca <= 'Z')
                ca += 32;
            if (cb >= 'A' && cb <= 'Z')
                cb += 32;
        } else {
            ca = pa[i].toCaseFolded().unicode();
            cb = pb[i].toCaseFolded().unicode();
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
