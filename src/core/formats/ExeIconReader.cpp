#include "formats/ExeIconReader.h"

#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace exeicon {

namespace {

constexpr quint32 kTypeIcon = 3;       // RT_ICON
constexpr quint32 kTypeGroupIcon = 14; // RT_GROUP_ICON
constexpr quint32 kHighBit = 0x80000000;
constexpr qsizetype kDirectorySize = 16;
constexpr qsizetype kDirectoryEntrySize = 8;
constexpr qsizetype kDataEntrySize = 16;
constexpr qsizetype kSectionSize = 40;
constexpr qsizetype kGroupHeaderSize = 6;
constexpr qsizetype kGroupEntrySize = 14;
constexpr qsizetype kIcoEntrySize = 16;

struct Section {
    quint32 virtualAddress = 0;
    quint32 rawSize = 0;
    quint32 rawOffset = 0;
};

struct DirectoryEntry {
    quint32 name = 0;   // an id, or the high bit and the offset of a name
    quint32 target = 0; // the high bit and a subdirectory's offset, or a data entry's offset
};

// The program's section table and its resource tree.
class Program {
public:
    explicit Program(ByteReader file)
        : m_file(file)
    {}

    bool readHeaders();
    std::optional<IconGroup> firstIconGroup() const;

private:
    // The file offset of `size` bytes at the relative virtual address `rva`, when they all lie in
    // the stored bytes of one section.
    std::optional<qsizetype> offsetOf(quint32 rva, quint32 size) const;
    // The entries of the resource directory at `offset` (relative to the tree).
    std::optional<std::vector<DirectoryEntry>> directory(quint32 offset) const;
    // Follows `entry` one level down into a directory that is not on `path` yet.
    std::optional<quint32> subdirectory(const DirectoryEntry& entry,
                                        std::vector<quint32>& path) const;
    // The bytes of the first language of the resource whose name directory is `offset`.
    std::optional<ByteReader> firstLanguageData(quint32 offset) const;

    ByteReader m_file;
    std::vector<Section> m_sections;
    ByteReader m_tree{nullptr, 0};
};

bool Program::readHeaders()
{
    if (m_file.u16(0) != 0x5A4Du) // "MZ"
        return false;
    const auto lfanew = m_file.u32(0x3C);
    if (!lfanew)
        return false;
    const qsizetype pe = qsizetype(*lfanew);
    if (m_file.u32(pe) != 0x00004550) // "PE\0\0"
        return false;
    const auto sectionCount = m_file.u16(pe + 6);
    const auto optionalSize = m_file.u16(pe + 20);
    const qsizetype optional = pe + 24;
    const auto magic = m_file.u16(optional);
    if (!sectionCount || !optionalSize || !magic || *sectionCount > quint32(kMaxSections))
        return false;
    qsizetype directories = 0;
    if (*magic == 0x10B)
        directories = 96; // PE32
    else if (*magic == 0x20B)
        directories = 112; // PE32+
    else
        return false;
    // The resource directory is the third data directory; it must lie within the optional
    // header that the file says it has.
    const auto directoryCount = m_file.u32(optional + directories - 4);
    if (!directoryCount || *directoryCount < 3 || directories + 3 * 8 > qsizetype(*optionalSize))
        return false;
    const auto resourceRva = m_file.u32(optional + directories + 16);
    const auto resourceSize = m_file.u32(optional + directories + 20);
    if (!resourceRva || !resourceSize || *resourceRva == 0 || *resourceSize == 0)
        return false;

    const qsizetype table = optional + qsizetype(*optionalSize);
    if (!m_file.has(table, kSectionSize * qsizetype(*sectionCount)))
        return false;
    for (quint32 i = 0; i < *sectionCount; ++i) {
        const qsizetype s = table + kSectionSize * qsizetype(i);
        m_sections.push_back({*m_file.u32(s + 12), *m_file.u32(s + 16), *m_file.u32(s + 20)});
    }

    // The tree: as much of the claimed resource range as the file holds.
    for (const Section& s : m_sections) {
        if (*resourceRva < s.virtualAddress || *resourceRva - s.virtualAddress >= s.rawSize)
            continue;
        const quint32 delta = *resourceRva - s.virtualAddress;
        const qsizetype at = qsizetype(s.rawOffset) + qsizetype(delta);
        const qsizetype stored = std::min(qsizetype(s.rawSize - delta), m_file.size() - at);
        const qsizetype length = std::min(qsizetype(*resourceSize), stored);
        if (const auto tree = m_file.sub(at, length)) {
            m_tree = *tree;
            return true;
        }
        return false;
    }
    return false;
}

std::optional<qsizetype> Program::offsetOf(quint32 rva, quint32 size) const
{
    for (const Section& s : m_sections) {
        if (rva < s.virtualAddress)
            continue;
        const quint64 delta = quint64(rva) - s.virtualAddress;
        if (delta + size > s.rawSize)
            continue;
        const qsizetype at = qsizetype(s.rawOffset) + qsizetype(delta);
        if (m_file.has(at, qsizetype(size)))
            return at;
    }
    return std::nullopt;
}

std::optional<std::vector<DirectoryEntry>> Program::directory(quint32 offset) const
{
    const auto named = m_tree.u16(qsizetype(offset) + 12);
    const auto ids = m_tree.u16(qsizetype(offset) + 14);
    if (!named || !ids)
        return std::nullopt;
    const qsizetype count = qsizetype(*named) + qsizetype(*ids);
    const qsizetype first = qsizetype(offset) + kDirectorySize;
    if (count > kMaxDirectoryEntries || !m_tree.has(first, count * kDirectoryEntrySize))
        return std::nullopt;
    std::vector<DirectoryEntry> entries;
    entries.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype e = first + i * kDirectoryEntrySize;
        entries.push_back({*m_tree.u32(e), *m_tree.u32(e + 4)});
    }
    return entries;
}

std::optional<quint32> Program::subdirectory(const DirectoryEntry& entry,
                                             std::vector<quint32>& path) const
{
    // The tree has three levels (type, name, language) below the root; an entry that leads to a
    // directory already on the way down is a loop.
    if (!(entry.target & kHighBit) || path.size() >= 3)
        return std::nullopt;
    const quint32 offset = entry.target & ~kHighBit;
    if (std::find(path.begin(), path.end(), offset) != path.end())
        return std::nullopt;
    path.push_back(offset);
    return offset;
}

std::optional<ByteReader> Program::firstLanguageData(quint32 offset) const
{
    const auto languages = directory(offset);
    if (!languages || languages->empty())
        return std::nullopt;
    const DirectoryEntry& language = languages->front();
    if (language.target & kHighBit) // a fourth level: not a resource tree
        return std::nullopt;
    const qsizetype entry = qsizetype(language.target);
    if (!m_tree.has(entry, kDataEntrySize))
        return std::nullopt;
    const quint32 rva = *m_tree.u32(entry);
    const quint32 size = *m_tree.u32(entry + 4);
    const auto at = offsetOf(rva, size);
    if (!at)
        return std::nullopt;
    return m_file.sub(*at, qsizetype(size));
}

std::optional<IconGroup> Program::firstIconGroup() const
{
    const auto root = directory(0);
    if (!root)
        return std::nullopt;
    // The two type directories, found by their ids.
    std::optional<DirectoryEntry> iconType, groupType;
    for (const DirectoryEntry& e : *root) {
        if (e.name == kTypeIcon && !iconType)
            iconType = e;
        else if (e.name == kTypeGroupIcon && !groupType)
            groupType = e;
    }
    if (!iconType || !groupType)
        return std::nullopt;

    // The first group: the first entry of its type directory, as the system enumerates them.
    std::vector<quint32> groupPath{0};
    const auto groups = subdirectory(*groupType, groupPath);
    const auto groupNames = groups ? directory(*groups) : std::nullopt;
    if (!groupNames || groupNames->empty())
        return std::nullopt;
    const auto groupLanguages = subdirectory(groupNames->front(), groupPath);
    const auto group = groupLanguages ? firstLanguageData(*groupLanguages) : std::nullopt;
    // Type 1: icons (2 would be cursors).
    if (!group || !group->has(0, kGroupHeaderSize) || *group->u16(2) != 1)
        return std::nullopt;
    const qsizetype count =
        std::min({qsizetype(*group->u16(4)), (group->size() - kGroupHeaderSize) / kGroupEntrySize,
                  qsizetype(kMaxGroupImages)});
    if (count <= 0)
        return std::nullopt;

    // The icons by id, in one pass over their type directory.
    std::vector<quint32> iconPath{0};
    const auto icons = subdirectory(*iconType, iconPath);
    const auto iconNames = icons ? directory(*icons) : std::nullopt;
    if (!iconNames)
        return std::nullopt;
    QHash<quint32, DirectoryEntry> iconsById;
    for (const DirectoryEntry& e : *iconNames) {
        if (!(e.name & kHighBit) && !iconsById.contains(e.name))
            iconsById.insert(e.name, e);
    }

    struct Found {
        qsizetype groupEntry;
        ByteReader data;
    };
    std::vector<Found> found;
    qsizetype total = kGroupHeaderSize;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype g = kGroupHeaderSize + i * kGroupEntrySize;
        const auto it = iconsById.constFind(*group->u16(g + 12));
        if (it == iconsById.constEnd())
            continue; // an image the group names but the file lacks
        std::vector<quint32> path = iconPath;
        const auto languages = subdirectory(*it, path);
        const auto data = languages ? firstLanguageData(*languages) : std::nullopt;
        if (!data || data->size() == 0 || data->size() > kMaxImageBytes ||
            total + kIcoEntrySize + data->size() > kMaxIcoBytes)
            continue;
        total += kIcoEntrySize + data->size();
        found.push_back({g, *data});
    }
    if (found.empty())
        return std::nullopt;

    IconGroup result;
    QByteArray& ico = result.ico;
    ico.reserve(total);
    le::put16(ico, 0);
    le::put16(ico, 1);
    le::put16(ico, quint32(found.size()));
    quint32 imageOffset = quint32(kGroupHeaderSize + kIcoEntrySize * qsizetype(found.size()));
    for (const Found& f : found) {
        // The group's entry is the .ico entry, except that the last field there is an id and
        // here the offset of the image.
        const quint32 width = *group->u8(f.groupEntry);
        const quint32 height = *group->u8(f.groupEntry + 1);
        const quint32 bitCount = *group->u16(f.groupEntry + 6);
        ico.append(group->data() + f.groupEntry, 8);
        le::put32(ico, quint32(f.data.size()));
        le::put32(ico, imageOffset);
        imageOffset += quint32(f.data.size());
        result.images.push_back(
            {width == 0 ? 256 : int(width), height == 0 ? 256 : int(height), int(bitCount)});
    }
    for (const Found& f : found)
        ico.append(f.data.data(), f.data.size());
    return result;
}

} // namespace

bool isWindowsProgram(std::span<const uchar> file)
{
    return file.size() >= 2 && file[0] == 'M' && file[1] == 'Z';
}

std::optional<IconGroup> firstIconGroup(std::span<const uchar> file)
{
    Program program{ByteReader(file)};
    if (!program.readHeaders())
        return std::nullopt;
    return program.firstIconGroup();
}

} // namespace exeicon
