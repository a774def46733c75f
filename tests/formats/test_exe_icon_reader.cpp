#include "formats/ByteReader.h"
#include "formats/ExeIconReader.h"
#include "support/PeBuilder.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>

#include <functional>
#include <span>
#include <vector>

namespace {

using exeicon::firstIconGroup;

std::span<const uchar> bytes(const QByteArray& b)
{
    return {reinterpret_cast<const uchar*>(b.constData()), size_t(b.size())};
}

// The .ico file must be complete: its directory matches the images, and every image lies
// within it.
void expectWellFormed(const exeicon::IconGroup& g)
{
    const ByteReader r(g.ico);
    ASSERT_EQ(r.u16(2), 1u);
    ASSERT_EQ(r.u16(4), quint32(g.images.size()));
    for (size_t i = 0; i < g.images.size(); ++i) {
        const qsizetype e = 6 + 16 * qsizetype(i);
        EXPECT_TRUE(r.has(qsizetype(*r.u32(e + 12)), qsizetype(*r.u32(e + 8)))) << i;
    }
}

QImage decode(const QByteArray& ico, int index)
{
    QBuffer buffer;
    buffer.setData(ico);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    if (!reader.jumpToImage(index))
        return {};
    return reader.read();
}

TEST(ExeIconReader, TakesEveryImageOfTheFirstGroup)
{
    using pe::Image;
    const QColor other = Qt::magenta; // the second group, which must never show
    struct Case {
        const char* name;
        bool pe64;
        QList<Image> images;
    };
    const QList<Case> cases = {
        {"PE32, bitmaps", false, {{16, Qt::blue}, {32, Qt::green}}},
        {"PE32+, PNG and bitmap", true, {{48, Qt::red, true}, {16, Qt::yellow}}},
        {"several sizes up to 256",
         false,
         {{16, Qt::blue},
          {24, Qt::cyan},
          {32, Qt::green},
          {48, Qt::darkRed},
          {256, Qt::gray, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const pe::Built file = pe::build({c.images, {{32, other}, {16, other}}}, c.pe64);
        const auto group = firstIconGroup(bytes(file.file));
        ASSERT_TRUE(group.has_value());
        expectWellFormed(*group);
        ASSERT_EQ(group->images.size(), size_t(c.images.size()));
        for (int i = 0; i < c.images.size(); ++i) {
            const Image& want = c.images[i];
            EXPECT_EQ(group->images[size_t(i)].width, want.size);
            EXPECT_EQ(group->images[size_t(i)].height, want.size);
            const QImage image = decode(group->ico, i);
            ASSERT_EQ(image.size(), QSize(want.size, want.size)) << i;
            EXPECT_EQ(QColor(image.pixel(want.size / 2, want.size / 2)), want.color) << i;
        }
    }
}

TEST(ExeIconReader, OtherFilesHaveNoIcon)
{
    const pe::Built good = pe::build({{{32, Qt::green}, {16, Qt::blue}}});
    QByteArray firstMissing = good.file; // the group names an icon id the file lacks
    const auto groupData = [&](const QByteArray& f) {
        const ByteReader r(f);
        const quint32 rva = *r.u32(good.resources + good.groupDataEntries[0]);
        return good.resources + qsizetype(rva - 0x1000);
    };
    pe::set16(firstMissing, groupData(firstMissing) + 6 + 12, 999);
    QByteArray allMissing = firstMissing;
    pe::set16(allMissing, groupData(allMissing) + 6 + 14 + 12, 998);

    EXPECT_FALSE(firstIconGroup(bytes(QByteArray())).has_value());
    EXPECT_FALSE(firstIconGroup(bytes(QByteArray("MZ"))).has_value());
    EXPECT_FALSE(firstIconGroup(bytes(QByteArray("\x7f"
                                                 "ELF\2\1\1",
                                                 7)))
                     .has_value());
    EXPECT_FALSE(firstIconGroup(bytes(pe::build({}).file)).has_value());
    EXPECT_FALSE(firstIconGroup(bytes(allMissing)).has_value());
    const auto rest = firstIconGroup(bytes(firstMissing));
    ASSERT_TRUE(rest.has_value());
    ASSERT_EQ(rest->images.size(), 1u);
    EXPECT_EQ(rest->images[0].width, 16);
}

TEST(ExeIconReader, DamagedFilesGiveAnIconOrNothing)
{
    const pe::Built plain = pe::build({{{16, Qt::blue}, {32, Qt::green, true}}});
    const pe::Built wide = pe::build({{{48, Qt::red, true}}}, true);
    // Every truncation, each in a buffer of exactly its size so that the sanitizer sees any
    // read past it.
    for (const pe::Built* b : {&plain, &wide}) {
        for (qsizetype n = 0; n <= b->file.size(); ++n) {
            std::vector<uchar> cut(b->file.begin(), b->file.begin() + n);
            const auto g = firstIconGroup(cut);
            if (n <= b->resources)
                EXPECT_FALSE(g.has_value()) << n;
            else if (g)
                expectWellFormed(*g);
        }
        EXPECT_TRUE(firstIconGroup(bytes(b->file)).has_value());
    }

    const qsizetype tree = plain.resources;
    const qsizetype pe = plain.peHeader;
    struct Hostile {
        const char* name;
        std::function<void(QByteArray&)> patch;
        bool icon; // a damage that leaves the icon readable
    };
    const QList<Hostile> hostile = {
        {"group type leads back to the root",
         [&](QByteArray& f) { pe::set32(f, tree + 28, 0x80000000); }, false},
        {"the group's name leads back to its type",
         [&](QByteArray& f) {
             pe::set32(f, tree + plain.groupTypeDir + 20, 0x80000000 | plain.groupTypeDir);
         },
         false},
        {"a fourth level below the group",
         [&](QByteArray& f) {
             pe::set32(f, tree + plain.groupLanguageDirs[0] + 20, 0x80000000 | plain.groupTypeDir);
         },
         false},
        {"an icon's language directory is its type directory",
         [&](QByteArray& f) {
             for (int i = 0; i < 2; ++i)
                 pe::set32(f, tree + plain.iconTypeDir + 16 + 8 * i + 4,
                           0x80000000 | plain.iconTypeDir);
         },
         false},
        {"root claims 65535 types", [&](QByteArray& f) { pe::set16(f, tree + 14, 0xFFFF); }, false},
        {"root claims 12000 named types", [&](QByteArray& f) { pe::set16(f, tree + 12, 12000); },
         false},
        {"group claims 65535 images",
         [&](QByteArray& f) {
             const quint32 rva = *ByteReader(f).u32(tree + plain.groupDataEntries[0]);
             pe::set16(f, tree + qsizetype(rva - 0x1000) + 4, 0xFFFF);
         },
         true},
        {"group data size 4 GB",
         [&](QByteArray& f) { pe::set32(f, tree + plain.groupDataEntries[0] + 4, 0xFFFFFFFF); },
         false},
        {"group data far outside",
         [&](QByteArray& f) { pe::set32(f, tree + plain.groupDataEntries[0], 0xFFFFFF00); }, false},
        {"header offset far outside", [&](QByteArray& f) { pe::set32(f, 0x3C, 0xFFFFFFF0); },
         false},
        {"65535 sections", [&](QByteArray& f) { pe::set16(f, pe + 6, 0xFFFF); }, false},
        {"optional header too short for its directories",
         [&](QByteArray& f) { pe::set16(f, pe + 20, 96); }, false},
        {"resource size beyond the file",
         [&](QByteArray& f) { pe::set32(f, pe + 24 + 96 + 20, 0x7FFFFFFF); }, true},
        {"unknown optional header", [&](QByteArray& f) { pe::set16(f, pe + 24, 0x107); }, false},
    };
    for (const Hostile& h : hostile) {
        QByteArray f = plain.file;
        h.patch(f);
        std::vector<uchar> exact(f.begin(), f.end());
        const auto g = firstIconGroup(exact);
        EXPECT_EQ(g.has_value(), h.icon) << h.name;
        if (g)
            expectWellFormed(*g);
    }
}

} // namespace
