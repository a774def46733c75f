// Some file systems (and older kernels) answer EINVAL to renameat2's no-replace and exchange
// flags. The list-file core then falls back to plain calls, which must keep the same promises: an
// existing file is never replaced by a rename, and a rewrite replaces the list whole, keeping
// every record, its own and other programs'.
#include "lists/ListFile.h"
#include "lists/RecentFileList.h"
#include "lists/RecordCodec.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// The renameat2 flags answered with EINVAL, and how often that happened.
std::atomic<unsigned> refusedFlags{0};
std::atomic<int> refusals{0};
} // namespace

// The list-file core is linked statically into this program, so its calls to renameat2 come here
// instead of to the C library. Unless a test refuses the flags, the call goes on to the kernel.
extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to,
                         unsigned flags) noexcept
{
    if (flags & refusedFlags) {
        ++refusals;
        errno = EINVAL;
        return -1;
    }
    return int(::syscall(SYS_renameat2, fromDir, from, toDir, to, flags));
}

// The same for hard links, which many network shares do not hold.
namespace {
std::atomic<bool> refuseLinks{false};
}
extern "C" int link(const char* from, const char* to) noexcept
{
    if (refuseLinks) {
        errno = EPERM;
        return -1;
    }
    return int(::syscall(SYS_linkat, AT_FDCWD, from, AT_FDCWD, to, 0));
}

namespace {

const QDateTime kNow(QDate(2026, 3, 14), QTime(15, 9, 26));

// A file system without these flags for as long as it lives.
struct WithoutRenameFlags {
    explicit WithoutRenameFlags(unsigned flags)
    {
        refusedFlags = flags;
        refusals = 0;
    }
    ~WithoutRenameFlags() { refusedFlags = 0; }
};

ino_t inodeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

QByteArray rec(const char* path)
{
    return records::encode(
        {QStringLiteral("fpl"), QString::fromLatin1(path), QStringLiteral("3/1/26 8:00:00 AM")});
}

TEST(RenameFallbacks, LinkAndUnlinkNeverReplaceAnExistingFile)
{
    TempAppFolder dir;
    dir.write(QStringLiteral("plot7.fpl"), "mine");
    dir.write(QStringLiteral("taken.fpl"), "theirs");
    const WithoutRenameFlags noReplace(RENAME_NOREPLACE);

    const FileResult refused = renameNoReplace(dir.file(QStringLiteral("plot7.fpl")),
                                               dir.file(QStringLiteral("taken.fpl")));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, EEXIST);
    EXPECT_EQ(dir.read(QStringLiteral("plot7.fpl")), QByteArray("mine"));
    EXPECT_EQ(dir.read(QStringLiteral("taken.fpl")), QByteArray("theirs"));

    EXPECT_TRUE(renameNoReplace(dir.file(QStringLiteral("plot7.fpl")),
                                dir.file(QStringLiteral("ridge.fpl")))
                    .ok);
    EXPECT_FALSE(dir.exists(QStringLiteral("plot7.fpl")));
    EXPECT_EQ(dir.read(QStringLiteral("ridge.fpl")), QByteArray("mine"));
    EXPECT_GE(refusals, 2) << "the fallback was not taken";

    // Nor hard links: a rename after a last look, which still never replaces.
    refuseLinks = true;
    EXPECT_EQ(renameNoReplace(dir.file(QStringLiteral("ridge.fpl")),
                              dir.file(QStringLiteral("taken.fpl")))
                  .error,
              EEXIST);
    EXPECT_TRUE(renameNoReplace(dir.file(QStringLiteral("ridge.fpl")),
                                dir.file(QStringLiteral("moved.fpl")))
                    .ok);
    refuseLinks = false;
    EXPECT_EQ(dir.read(QStringLiteral("moved.fpl")), QByteArray("mine"));
    EXPECT_EQ(dir.read(QStringLiteral("taken.fpl")), QByteArray("theirs"));
}

// A plain rename puts the new list in place whole: a reader sees the old file or the new one,
// never a list being written. So the list must be a new file, not the old one rewritten.
TEST(RenameFallbacks, TheListIsReplacedWholeAndMadeWhenMissing)
{
    TempAppFolder app;
    const WithoutRenameFlags none(RENAME_NOREPLACE | RENAME_EXCHANGE);
    RecentFileList store(app.path());
    ASSERT_TRUE(store.TouchFileEntry(QStringLiteral("/x/a.fpl"), QStringLiteral("fpl"), kNow).ok);
    EXPECT_EQ(store.read().records.size(), 1);

    const QByteArray before = rec("/x/b.fpl") + rec("/x/c.fpl");
    app.write(QStringLiteral("QELFileList.txt"), before);
    const ino_t oldList = inodeOf(store.listPath());
    ASSERT_TRUE(store.TouchFileEntry(QStringLiteral("/x/d.fpl"), QStringLiteral("fpl"), kNow).ok);
    EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")),
              before + records::encode({QStringLiteral("fpl"), QStringLiteral("/x/d.fpl"),
                                        listDateText(kNow)}));
    EXPECT_NE(inodeOf(store.listPath()), oldList);
    EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));
    EXPECT_GE(refusals, 2) << "the fallback was not taken";
}

// Without the exchange, the last look before the rename is all that guards another program's
// change; a change after the list was read starts the rewrite again from the new file.
TEST(RenameFallbacks, AnotherProgramsChangeDuringTheRewriteIsKept)
{
    TempAppFolder app;
    app.write(QStringLiteral("QELFileList.txt"), rec("/x/a.fpl"));
    const WithoutRenameFlags none(RENAME_NOREPLACE | RENAME_EXCHANGE);
    RecentFileList store(app.path());
    int edits = 0;
    const FileResult r = store.file().rewrite([&](records::Document& doc, bool) {
        if (++edits == 1) {
            // Another program replaces the list by rename, as a careful writer does.
            app.write(QStringLiteral("theirs.tmp"), rec("/x/a.fpl") + rec("/x/theirs.fpl"));
            ::rename(QFile::encodeName(app.file(QStringLiteral("theirs.tmp"))).constData(),
                     QFile::encodeName(store.listPath()).constData());
        }
        doc.append({QStringLiteral("fpl"), QStringLiteral("/x/mine.fpl"), QStringLiteral("d")});
        return FileResult();
    });
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(edits, 2);
    QStringList paths;
    for (const FileListRecord& record : store.read().records)
        paths.append(record.path);
    EXPECT_EQ(paths, (QStringList{QStringLiteral("/x/a.fpl"), QStringLiteral("/x/theirs.fpl"),
                                  QStringLiteral("/x/mine.fpl")}));
    EXPECT_GE(refusals, 1) << "the fallback was not taken";
}

} // namespace
