#pragma once

// Builds small Windows program files that carry icon resources, for the icon reader's tests,
// the benchmark and the fuzz seeds: a DOS header, the PE headers (PE32 or PE32+), and one
// ".rsrc" section holding the icons and their groups.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>

#include <vector>

namespace pe {

struct Image {
    int size = 32;
    QColor color;
    bool png = false;
};

struct Built {
    QByteArray file;
    qsizetype peHeader = 0;  // file offset of "PE\0\0"
    qsizetype resources = 0; // file offset of the resource tree
    // Offsets within the tree.
    quint32 iconTypeDir = 0, groupTypeDir = 0;
    std::vector<quint32> iconLanguageDirs, groupLanguageDirs;
    std::vector<quint32> groupDataEntries;
};

inline void put16(QByteArray& b, quint32 v)
{
    b += char(v & 0xFF);
    b += char((v >> 8) & 0xFF);
}
inline void put32(QByteArray& b, quint32 v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
inline void set32(QByteArray& b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}
inline void set16(QByteArray& b, qsizetype at, quint32 v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

// A true-colour icon image as resources hold it: the bitmap header with the height doubled,
// bottom-up pixels, then the (empty) transparency mask.
inline QByteArray dib(int size, const QColor& c)
{
    QByteArray b;
    const int maskRow = ((size + 31) / 32) * 4;
    put32(b, 40);
    put32(b, quint32(size));
    put32(b, quint32(2 * size));
    put16(b, 1);
    put16(b, 32);
    put32(b, 0);
    put32(b, quint32(size * size * 4 + maskRow * size));
    b += QByteArray(16, '\0');
    for (int i = 0; i < size * size; ++i) {
        b += char(c.blue());
        b += char(c.green());
        b += char(c.red());
        b += char(0xFF);
    }
    b += QByteArray(maskRow * size, '\0');
    return b;
}

inline QByteArray png(int size, const QColor& c)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(c);
    QByteArray b;
    QBuffer buffer(&b);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return b;
}

// One group per entry of `groups`, in order (ids 1, 2, ...); icon ids count up from 1.
inline Built build(const QList<QList<Image>>& groups, bool pe64 = false)
{
    constexpr quint32 kSectionRva = 0x1000, kFileAlign = 0x200, kHighBit = 0x80000000;
    struct Leaf {
        quint32 id;
        QByteArray blob;
    };
    std::vector<Leaf> icons, groupLeaves;
    for (const QList<Image>& g : groups) {
        QByteArray dir;
        put16(dir, 0);
        put16(dir, 1);
        put16(dir, quint32(g.size()));
        for (const Image& image : g) {
            const quint32 id = quint32(icons.size() + 1);
            const QByteArray blob =
                image.png ? png(image.size, image.color) : dib(image.size, image.color);
            const char side = char(image.size >= 256 ? 0 : image.size);
            dir += side;
            dir += side;
            dir += '\0';
            dir += '\0';
            put16(dir, 1);
            put16(dir, 32);
            put32(dir, quint32(blob.size()));
            put16(dir, id);
            icons.push_back({id, blob});
        }
        groupLeaves.push_back({quint32(groupLeaves.size() + 1), dir});
    }

    Built out;
    // The tree: root, two type directories, one language directory per leaf, the data entries,
    // then the data.
    const quint32 root = 0, rootSize = 16 + 2 * 8;
    out.iconTypeDir = root + rootSize;
    out.groupTypeDir = out.iconTypeDir + 16 + 8 * quint32(icons.size());
    quint32 at = out.groupTypeDir + 16 + 8 * quint32(groupLeaves.size());
    for (size_t i = 0; i < icons.size(); ++i, at += 24)
        out.iconLanguageDirs.push_back(at);
    for (size_t i = 0; i < groupLeaves.size(); ++i, at += 24)
        out.groupLanguageDirs.push_back(at);
    std::vector<quint32> iconData;
    for (size_t i = 0; i < icons.size(); ++i, at += 16)
        iconData.push_back(at);
    for (size_t i = 0; i < groupLeaves.size(); ++i, at += 16)
        out.groupDataEntries.push_back(at);

    QByteArray tree;
    const auto directory = [&tree](quint32 ids) {
        tree += QByteArray(12, '\0');
        put16(tree, 0);
        put16(tree, ids);
    };
    directory(2);
    put32(tree, 3);
    put32(tree, kHighBit | out.iconTypeDir);
    put32(tree, 14);
    put32(tree, kHighBit | out.groupTypeDir);
    directory(quint32(icons.size()));
    for (size_t i = 0; i < icons.size(); ++i) {
        put32(tree, icons[i].id);
        put32(tree, kHighBit | out.iconLanguageDirs[i]);
    }
    directory(quint32(groupLeaves.size()));
    for (size_t i = 0; i < groupLeaves.size(); ++i) {
        put32(tree, groupLeaves[i].id);
        put32(tree, kHighBit | out.groupLanguageDirs[i]);
    }
    for (size_t i = 0; i < icons.size(); ++i) {
        directory(1);
        put32(tree, 0x409);
        put32(tree, iconData[i]);
    }
    for (size_t i = 0; i < groupLeaves.size(); ++i) {
        directory(1);
        put32(tree, 0x409);
        put32(tree, out.groupDataEntries[i]);
    }
    QByteArray data;
    std::vector<Leaf*> leaves;
    for (Leaf& l : icons)
        leaves.push_back(&l);
    for (Leaf& l : groupLeaves)
        leaves.push_back(&l);
    for (Leaf* l : leaves) {
        const quint32 dataAt = at + quint32(data.size());
        put32(tree, kSectionRva + dataAt);
        put32(tree, quint32(l->blob.size()));
        put32(tree, 0);
        put32(tree, 0);
        data += l->blob;
        while (data.size() % 4)
            data += '\0';
    }
    tree += data;
    const quint32 rawSize = (quint32(tree.size()) + kFileAlign - 1) / kFileAlign * kFileAlign;

    QByteArray& f = out.file;
    f = QByteArray(0x40, '\0');
    f[0] = 'M';
    f[1] = 'Z';
    set32(f, 0x3C, 0x40);
    out.peHeader = f.size();
    f += QByteArray("PE\0\0", 4);
    const quint32 optionalSize = pe64 ? 240 : 224;
    put16(f, pe64 ? 0x8664 : 0x14C); // machine
    put16(f, 1);                     // sections
    put32(f, 0);
    put32(f, 0);
    put32(f, 0);
    put16(f, optionalSize);
    put16(f, pe64 ? 0x22 : 0x102);
    const qsizetype optional = f.size();
    f += QByteArray(optionalSize, '\0');
    set16(f, optional, pe64 ? 0x20B : 0x10B);
    set32(f, optional + 32, 0x1000);                // section alignment
    set32(f, optional + 36, kFileAlign);            // file alignment
    set32(f, optional + 56, kSectionRva + rawSize); // image size
    set32(f, optional + 60, kFileAlign);            // header size
    set16(f, optional + 68, 2);                     // a windowed program
    const qsizetype directories = optional + (pe64 ? 112 : 96);
    set32(f, directories - 4, 16);
    set32(f, directories + 16, kSectionRva);
    set32(f, directories + 20, quint32(tree.size()));
    f += QByteArray(".rsrc\0\0\0", 8);
    put32(f, quint32(tree.size()));
    put32(f, kSectionRva);
    put32(f, rawSize);
    put32(f, kFileAlign);
    f += QByteArray(12, '\0');
    put32(f, 0x40000040); // initialised, readable data
    f += QByteArray(kFileAlign - f.size(), '\0');
    out.resources = f.size();
    f += tree;
    f += QByteArray(rawSize - tree.size(), '\0');
    return out;
}

} // namespace pe
