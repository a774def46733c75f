#include "formats/ShortcutHelper.h"
#include "support/LnkInfo.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

#include <sys/mount.h>

namespace {

ShortcutData sample(const QString& base)
{
    return {base + QStringLiteral("/prv.exe"),
            QStringLiteral(" "),
            QStringLiteral(" "),
            base + QStringLiteral("/prv.exe"),
            0,
            0};
}

TEST(ShortcutHelper, RoundTripsExactlyThroughTheSevenArguments)
{
    TempAppFolder dir;
    const QString longFolder = dir.path() + QLatin1Char('/') + QString(200, QLatin1Char('x'));
    const QList<ShortcutData> cases = {
        sample(dir.path()),
        {QStringLiteral("/opt/Inventory Tools/ltpc.exe"), QStringLiteral("/opt/Inventory Tools"),
         QStringLiteral("pli /data/plot?1.pli"), QStringLiteral("/opt/Inventory Tools/LTPC.exe"), 3,
         0x0241},
        {QStringLiteral("/opt/Forêt/Økologi/モデル.exe"), QStringLiteral("/opt/Forêt"), QString(),
         QStringLiteral("/opt/Forêt/icon.exe"), -1, 0},
        {longFolder + QStringLiteral("/tool.exe"), QString(), QString(), QString(), 0, 0},
    };
    ShortcutHelper helper;
    for (const ShortcutData& c : cases) {
        SCOPED_TRACE(c.targetPath.toStdString());
        QString file = dir.file(QStringLiteral("t.lnk"));
        QString t = c.targetPath, w = c.workingFolder, a = c.argumentText, i = c.iconFile;
        qint32 n1 = c.iconIndex, n2 = c.hotKey;
        const FileResult written = helper.CreateShortcut(file, t, w, a, i, n1, n2);
        ASSERT_TRUE(written.ok) << written.errorText.toStdString();
        QString rt, rw, ra, ri;
        qint32 r1 = 99, r2 = 99;
        ASSERT_TRUE(helper.ReadShortcut(file, rt, rw, ra, ri, r1, r2).ok);
        EXPECT_EQ(rt, c.targetPath);
        EXPECT_EQ(rw, c.workingFolder);
        EXPECT_EQ(ra, c.argumentText);
        EXPECT_EQ(ri, c.iconFile);
        EXPECT_EQ(r1, c.iconIndex);
        EXPECT_EQ(r2, c.hotKey);
    }
}

TEST(ShortcutHelper, AnIndependentReaderSeesWhatWasWritten)
{
    if (QStandardPaths::findExecutable(QStringLiteral("lnkinfo")).isEmpty())
        FAIL() << "lnkinfo (liblnk-utils) is not installed; scripts/install-deps.sh installs it";
    TempAppFolder dir;
    const QList<ShortcutData> cases = {
        sample(dir.path() + QStringLiteral("/Kel dara")),
        {QStringLiteral("/opt/Forêt/モデル.exe"), QStringLiteral("/opt/Forêt"),
         QStringLiteral("#NEW# a,b"), QStringLiteral("/opt/Forêt/mdlib.exe"), 0, 0},
    };
    for (const ShortcutData& c : cases) {
        const QString file = dir.file(QStringLiteral("check.lnk"));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(*ShortcutHelper::encode(c));
        out.close();
        const auto fields = lnkinfo(file);
        EXPECT_EQ(fields.value(QStringLiteral("Local path")), c.targetPath);
        EXPECT_EQ(fields.value(QStringLiteral("Working directory")), c.workingFolder);
        EXPECT_EQ(fields.value(QStringLiteral("Command line arguments")), c.argumentText);
        EXPECT_EQ(fields.value(QStringLiteral("Icon location")), c.iconFile);
    }
}

// A file as Windows writes one: an item-ID list first, 8-bit strings, extra data blocks.
QByteArray windowsStyleFile()
{
    QByteArray b;
    auto u16 = [&](quint32 v) { b += char(v & 0xFF), b += char(v >> 8); };
    auto u32 = [&](quint32 v) { u16(v & 0xFFFF), u16(v >> 16); };
    u32(0x4C);
    b += QByteArray::fromHex("0114020000000000c000000000000046");
    u32(0x1 | 0x2 | 0x8 | 0x10 | 0x40); // ID list, link info, relative path, working dir, icon
    u32(0x20);
    b += QByteArray(24, '\0');
    u32(1234);
    u32(2); // icon index
    u32(7); // minimised
    u16(0);
    b += QByteArray(10, '\0');
    u16(6);
    b += QByteArray::fromHex("040000000000"); // a made-up item list
    const QByteArray local = "C:\\Program Files\\Fuels\\";
    const QByteArray suffix = "ltpc.exe";
    const quint32 header = 0x1C, volume = header, volSize = 0x14;
    const quint32 localOff = volume + volSize, suffixOff = localOff + quint32(local.size()) + 1;
    u32(suffixOff + quint32(suffix.size()) + 1);
    u32(header);
    u32(1);
    u32(volume);
    u32(localOff);
    u32(0);
    u32(suffixOff);
    u32(volSize), u32(3), u32(0xABCD), u32(0x10), b += "DISK";
    b += local + '\0' + suffix + '\0';
    for (const QByteArray& s : {QByteArray("..\\Fuels\\ltpc.exe"), QByteArray("C:\\Data"),
                                QByteArray("C:\\Program Files\\Fuels\\ltpc.exe")}) {
        u16(quint32(s.size()));
        b += s;
    }
    u32(12), u32(0xA0000003), u32(0); // an extra data block we do not use
    u32(0);                           // terminal block
    return b;
}

TEST(ShortcutHelper, ReadsFilesWrittenByWindows)
{
    const auto d = ShortcutHelper::decode(windowsStyleFile());
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->targetPath, QStringLiteral("C:\\Program Files\\Fuels\\ltpc.exe"));
    EXPECT_EQ(d->workingFolder, QStringLiteral("C:\\Data"));
    EXPECT_EQ(d->argumentText, QString());
    EXPECT_EQ(d->iconFile, QStringLiteral("C:\\Program Files\\Fuels\\ltpc.exe"));
    EXPECT_EQ(d->iconIndex, 2);
}

TEST(ShortcutHelper, DamagedFilesFailCleanly)
{
    const QByteArray good = *ShortcutHelper::encode(sample(QStringLiteral("/opt/k")));
    ASSERT_TRUE(ShortcutHelper::decode(good).has_value());
    // Every cut before the terminal block loses part of the shortcut and must be refused.
    for (qsizetype n = 0; n < good.size() - 4; ++n)
        EXPECT_FALSE(ShortcutHelper::decode(good.left(n)).has_value()) << n;
    const QByteArray windows = windowsStyleFile();
    for (qsizetype n = 0; n < windows.size() - 16; ++n)
        EXPECT_FALSE(ShortcutHelper::decode(windows.left(n)).has_value()) << n;

    auto patched = [](QByteArray b, qsizetype at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = char((v >> (8 * i)) & 0xFF);
        return b;
    };
    const qsizetype info = 0x4C;
    const QList<QByteArray> hostile = {
        patched(good, info, 0xFFFFFFFF),                   // link info larger than the file
        patched(good, info + 4, 0x10),                     // header smaller than its fields
        patched(good, info + 0x10, 0x7FFFFFF0),            // local path far outside
        patched(good, info + 0x1C, 0xFFFFFFF0),            // Unicode path far outside
        patched(good, 0x14, 0xFFFFFFFF),                   // every flag, nothing behind them
        patched(windows, 0x4C, 0xFFFF),                    // item list past the end
        patched(windows, windows.size() - 16, 0x7FFFFFFF), // extra block past the end
        QByteArray(0x4C, '\0'),
        QByteArray("not a shortcut at all"),
    };
    for (qsizetype i = 0; i < hostile.size(); ++i)
        EXPECT_FALSE(ShortcutHelper::decode(hostile[i]).has_value()) << "case " << i;

    // A string count larger than what follows.
    QByteArray longCount = good;
    const qsizetype lastString =
        good.size() - 4 - 2 * sample(QStringLiteral("/opt/k")).iconFile.size() - 2;
    longCount[lastString] = char(0xFF);
    longCount[lastString + 1] = char(0xFF);
    EXPECT_FALSE(ShortcutHelper::decode(longCount).has_value());

    ShortcutHelper helper;
    TempAppFolder dir;
    dir.write(QStringLiteral("bad.lnk"), good.left(40));
    QString f = dir.file(QStringLiteral("bad.lnk")), t, w, a, i;
    qint32 n1 = 0, n2 = 0;
    EXPECT_FALSE(helper.ReadShortcut(f, t, w, a, i, n1, n2).ok);
    QString missing = dir.file(QStringLiteral("none.lnk"));
    EXPECT_FALSE(helper.ReadShortcut(missing, t, w, a, i, n1, n2).ok);
}

// Without a writer of the caller's, as the start-up writes the default shortcuts: on a full
// disk no shortcut is written, and an old one stays as it was.
TEST(ShortcutHelper, AShortcutThatDoesNotFitOnTheDiskIsNotWritten)
{
    TempAppFolder disk;
    const QByteArray where = QFile::encodeName(disk.path());
    if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=16k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
    ShortcutHelper helper;
    QString old = disk.file(QStringLiteral("old.lnk")),
            fresh = disk.file(QStringLiteral("new.lnk"));
    ShortcutData d = sample(QStringLiteral("/opt/k"));
    ASSERT_TRUE(helper
                    .CreateShortcut(old, d.targetPath, d.workingFolder, d.argumentText, d.iconFile,
                                    d.iconIndex, d.hotKey)
                    .ok);
    const QByteArray oldBytes = disk.read(QStringLiteral("old.lnk"));
    {
        QFile filler(disk.file(QStringLiteral("filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(512, 'f')) == 512) {
        }
    }
    d.targetPath = QStringLiteral("/opt/other");
    for (QString* file : {&old, &fresh}) {
        SCOPED_TRACE(file->toStdString());
        const FileResult r =
            helper.CreateShortcut(*file, d.targetPath, d.workingFolder, d.argumentText, d.iconFile,
                                  d.iconIndex, d.hotKey);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, ENOSPC);
        EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                  (QStringList{QStringLiteral("filler"), QStringLiteral("old.lnk")}));
        EXPECT_EQ(disk.read(QStringLiteral("old.lnk")), oldBytes);
    }
    ::umount2(where.constData(), MNT_DETACH);
}

} // namespace
