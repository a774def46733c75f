#pragma once

#include <QByteArray>

#include <optional>
#include <span>
#include <vector>

// Takes the first icon out of a Windows program file (PE32 or PE32+) without loading it: the
// first icon group of its resources and the images that group names, rebuilt as an .ico file
// that an icon decoder reads. Every offset, size and count in the file is untrusted; a damaged
// file gives no icon, never a read outside its bytes.
namespace exeicon {

// Limits that keep a damaged or hostile file from costing much time or memory.
inline constexpr int kMaxSections = 96;              // what the system loader accepts
inline constexpr int kMaxDirectoryEntries = 16384;   // per resource directory
inline constexpr int kMaxGroupImages = 64;           // images taken from one icon group
inline constexpr qsizetype kMaxImageBytes = 1 << 20; // a 256 x 256 true-colour image is 270 KB
inline constexpr qsizetype kMaxIcoBytes = 4 << 20;

// One image of the rebuilt .ico file, as the icon group describes it.
struct IconImage {
    int width = 0; // 256 where the group writes 0
    int height = 0;
    int bitCount = 0;
};

struct IconGroup {
    QByteArray ico;                // header, directory, then the images
    std::vector<IconImage> images; // in the order of the .ico directory
};

// True when the bytes begin like a Windows (or DOS) program.
bool isWindowsProgram(std::span<const uchar> file);

// The first icon group, or nothing when the file is no PE program, has no icon group, or its
// group names no image that can be read.
std::optional<IconGroup> firstIconGroup(std::span<const uchar> file);

} // namespace exeicon
