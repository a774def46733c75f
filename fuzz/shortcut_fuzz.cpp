// The shortcut reader takes any bytes without crashing or reading past them, and what it reads
// it writes back so that reading again gives the same shortcut.
#include "formats/ShortcutHelper.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto decoded = ShortcutHelper::decode(input);
    if (!decoded)
        return 0;
    ShortcutData expected = *decoded;
    expected.hotKey &= 0xFFFF;
    const auto encoded = ShortcutHelper::encode(expected);
    if (!encoded)
        return 0; // a text too long to write back
    const auto again = ShortcutHelper::decode(*encoded);
    // The written form keeps the Unicode path; an 8-bit-only target may have been cut at a NUL.
    if (!again || again->workingFolder != expected.workingFolder ||
        again->argumentText != expected.argumentText || again->iconFile != expected.iconFile ||
        again->iconIndex != expected.iconIndex)
        std::abort();
    return 0;
}
