// The icon reader takes any bytes without crashing or reading past them, and the .ico file it
// gives back is whole: its directory names exactly its images, one after the other, each within
// the limits.
#include "formats/ByteReader.h"
#include "formats/ExeIconReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto group = exeicon::firstIconGroup({data, size});
    if (!group)
        return 0;
    const ByteReader ico(group->ico);
    const qsizetype count = qsizetype(group->images.size());
    if (count == 0 || count > exeicon::kMaxGroupImages || ico.u16(0) != 0u || ico.u16(2) != 1u ||
        ico.u16(4) != quint32(count) || ico.size() > exeicon::kMaxIcoBytes)
        std::abort();
    qsizetype end = 6 + 16 * count;
    for (qsizetype i = 0; i < count; ++i) {
        const auto bytes = ico.u32(6 + 16 * i + 8);
        const auto offset = ico.u32(6 + 16 * i + 12);
        const auto& image = group->images[size_t(i)];
        if (!bytes || !offset || qsizetype(*offset) != end || *bytes == 0 ||
            qsizetype(*bytes) > exeicon::kMaxImageBytes || image.width < 1 || image.width > 256 ||
            image.height < 1 || image.height > 256)
            std::abort();
        end += qsizetype(*bytes);
    }
    if (end != ico.size())
        std::abort();
    return 0;
}
