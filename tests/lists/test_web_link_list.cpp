// The web-link list store over real files, with faults injected for real.
#include "lists/RecentFileList.h"
#include "lists/RecordCodec.h"
#include "lists/WebLinkList.h"
#include "support/InChild.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/mount.h>

namespace {

WebLinkRecord link(const char* name, const char* url)
{
    return {QString::fromUtf8(name), QString::fromUtf8(url)};
}

struct WebLinks : ::testing::Test {
    TempAppFolder app;
    WebLinkList store{app.path()};

    QByteArray raw() const { return app.read(QStringLiteral("QELWebList.txt")); }
    void write(const QByteArray& data) const { app.write(QStringLiteral("QELWebList.txt"), data); }
    QList<WebLinkRecord> links() const
    {
        const auto c = store.read();
        EXPECT_TRUE(c.result.ok);
        return c.records;
    }
};

TEST_F(WebLinks, MissingFileIsEmptyAndTheFirstAppendMakesIt)
{
    const auto c = store.read();
    EXPECT_TRUE(c.result.ok);
    EXPECT_FALSE(c.exists);
    EXPECT_TRUE(c.records.isEmpty());
    EXPECT_FALSE(app.exists(QStringLiteral("QELWebList.txt")));

    ASSERT_TRUE(store.append(link("New Web Short Cut", "http://")).ok);
    EXPECT_EQ(raw(), QByteArray("\"New Web Short Cut\",\"http://\"\r\n"));
    ASSERT_TRUE(store.append(link("Fire, Weather", "https://x.example/?a=1,b=2")).ok);
    EXPECT_EQ(links(), (QList{link("New Web Short Cut", "http://"),
                              link("Fire, Weather", "https://x.example/?a=1,b=2")}));
    EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));
}

// Every link of that exact name goes; other names, letter case and lines that are not links stay
// as they were.
TEST_F(WebLinks, RemoveTakesEverySameNamedLink)
{
    const QByteArray keep1 = records::encode({QStringLiteral("fire"), QStringLiteral("b")});
    const QByteArray keep2 = records::encode({QStringLiteral("Maps"), QStringLiteral("c")});
    const QByteArray notALink = "\"three\",\"fields\",\"here\"\r\n";
    write(records::encode({QStringLiteral("Fire"), QStringLiteral("a")}) + keep1 + notALink +
          records::encode({QStringLiteral("Fire"), QStringLiteral("d")}) + keep2);
    ASSERT_TRUE(store.remove(QStringLiteral("Fire")).ok);
    EXPECT_EQ(raw(), keep1 + notALink + keep2);

    QFile::remove(store.listPath());
    const FileResult r = store.remove(QStringLiteral("Maps"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOENT);
    EXPECT_FALSE(app.exists(QStringLiteral("QELWebList.txt")));
}

TEST_F(WebLinks, ReplaceChangesTheFirstEqualLinkOnlyAndKeepsTheOrder)
{
    write(records::encode({QStringLiteral("A"), QStringLiteral("1")}) +
          records::encode({QStringLiteral("B"), QStringLiteral("2")}) + "odd line\r\n" +
          records::encode({QStringLiteral("B"), QStringLiteral("2")}));
    ASSERT_TRUE(store.replace(link("B", "2"), QStringLiteral("Zed, new"), QStringLiteral("9")).ok);
    EXPECT_EQ(raw(), records::encode({QStringLiteral("A"), QStringLiteral("1")}) +
                         records::encode({QStringLiteral("Zed, new"), QStringLiteral("9")}) +
                         "odd line\r\n" +
                         records::encode({QStringLiteral("B"), QStringLiteral("2")}));

    // Gone meanwhile (the screen is older than the file): nothing changes.
    const QByteArray before = raw();
    const FileResult r =
        store.replace(link("Gone", "x"), QStringLiteral("New"), QStringLiteral("y"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(raw(), before);

    // Its address changed by another program: still the same link, and without an address of
    // its own the new one stays.
    ASSERT_TRUE(store.replace(link("A", "old"), QStringLiteral("A2"), std::nullopt).ok);
    EXPECT_TRUE(raw().startsWith(records::encode({QStringLiteral("A2"), QStringLiteral("1")})));
}

// Put in order, the links move with their own bytes; lines that are not links keep their places,
// and a last line without its line end gets one when it moves up.
TEST_F(WebLinks, ReplaceInAnOrderSortsTheLinksAroundOtherLines)
{
    const QByteArray latin1 = "\"caf\xe9\",\"1\"\r\n";
    write("\"b\",\"2\"\r\n" + latin1 + "odd line\r\n\"Old\",\"3\"");
    const auto byName = [](const WebLinkRecord& a, const WebLinkRecord& b) {
        return a.name < b.name;
    };
    ASSERT_TRUE(store.replace(link("b", "2"), QStringLiteral("z"), QStringLiteral("2"), byName).ok);
    EXPECT_EQ(raw(), "\"Old\",\"3\"\r\n" + latin1 + "odd line\r\n\"z\",\"2\"\r\n");
}

TEST_F(WebLinks, DoubleQuotesAndLineBreaksAreRefusedBeforeAnythingIsWritten)
{
    write(records::encode({QStringLiteral("A"), QStringLiteral("1")}));
    const QByteArray before = raw();
    const FileResult results[] = {
        store.append(link("say \"hi\"", "http://")),
        store.append(link("x", "http://a\r\nb")),
        store.replace(link("A", "1"), QStringLiteral("A"), QStringLiteral("http://\"q\"")),
    };
    for (const FileResult& r : results) {
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, EINVAL);
        EXPECT_TRUE(r.errorText.contains(QStringLiteral("double quote")));
    }
    EXPECT_EQ(raw(), before);
    EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));
}

// Another program left a last line cut short: the append does not glue its link onto it.
TEST_F(WebLinks, TornLastLineGetsItsLineEndBeforeTheNewLink)
{
    write("\"A\",\"1\"\r\n\"B\",\"htt");
    ASSERT_TRUE(store.append(link("C", "3")).ok);
    EXPECT_EQ(raw(), QByteArray("\"A\",\"1\"\r\n\"B\",\"htt\r\n\"C\",\"3\"\r\n"));
    const WebLinkList::Contents c = store.read();
    EXPECT_EQ(c.records, (QList{link("A", "1"), link("C", "3")}));
    EXPECT_EQ(c.result.errorText, QStringLiteral("Line 2 is not a web link"));
}

TEST_F(WebLinks, UnwritableFolderUnreadableFileAndFullDiskChangeNothing)
{
    write(records::encode({QStringLiteral("A"), QStringLiteral("1")}));
    const QByteArray before = raw();
    QFile::setPermissions(app.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                          QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    const int appendCode = inChild([&] {
        if (!becomeOrdinaryUser())
            return 90;
        const FileResult r = store.append(link("B", "2"));
        return r.ok ? 0 : r.error;
    });
    QFile::setPermissions(app.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(store.listPath(), QFile::WriteOwner);
    const int removeCode = inChild([&] {
        if (!becomeOrdinaryUser())
            return 90;
        const FileResult r = store.remove(QStringLiteral("A"));
        return r.ok ? 0 : r.error;
    });
    QFile::setPermissions(store.listPath(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(appendCode, EACCES);
    EXPECT_EQ(removeCode, EACCES);
    EXPECT_EQ(raw(), before);

    TempAppFolder mountPoint;
    if (mount("tmpfs", QFile::encodeName(mountPoint.path()).constData(), "tmpfs", 0, "size=16k") !=
        0)
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << strerror(errno);
    QByteArray big;
    while (big.size() < 10 * 1024)
        big += records::encode({QStringLiteral("link %1").arg(big.size()), QStringLiteral("u")});
    mountPoint.write(QStringLiteral("QELWebList.txt"), big);
    WebLinkList full(mountPoint.path());
    const FileResult r = full.append(link("B", "2"));
    EXPECT_EQ(r.error, ENOSPC);
    EXPECT_EQ(mountPoint.read(QStringLiteral("QELWebList.txt")), big);
    EXPECT_FALSE(mountPoint.exists(QStringLiteral("qellist.tmp")));
    umount(QFile::encodeName(mountPoint.path()).constData());
}

// Every link is listed, but a line that is neither a link nor blank is reported by its number
// (lines end at CR LF, a bare LF or a bare CR; a byte-order mark is no line of its own). The
// recent-file list says nothing of such lines.
TEST_F(WebLinks, ALineThatIsNotALinkIsReportedByNumber)
{
    const QList<WebLinkRecord> ab = {link("A", "1"), link("B", "2")};
    const struct {
        QByteArray file;
        QList<WebLinkRecord> links;
        const char* failure; // empty: none
    } cases[] = {
        {"\"A\",\"1\"\r\n\r\n \t\r\n\"B\",\"2\"\r\n", ab, ""},
        {"\"O\x92Neil\",\"http://x\"\r\n", {link("O\u2019Neil", "http://x")}, ""},
        {"\"A\",\"1\"\r\n\"three\",\"fields\",\"here\"\r\n\"B\",\"2\"\r\nodd\r\n", ab,
         "Line 2 is not a web link"},
        {"\xEF\xBB\xBF\"A\",\"1\"\n\r\"B\",\"2\"\rodd", ab, "Line 4 is not a web link"},
        {"\"A\",\"1\"\r\n\"B\",\"2\"\r\n\"C\",\"htt", ab, "Line 3 is not a web link"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        write(c.file);
        const WebLinkList::Contents got = store.read();
        EXPECT_EQ(got.records, c.links);
        if (*c.failure) {
            EXPECT_EQ(got.result.message(QStringLiteral("Problem reading Web file list")),
                      QStringLiteral("Problem reading Web file list\r22-") +
                          QLatin1String(c.failure));
        } else {
            EXPECT_TRUE(got.result.ok) << got.result.errorText.toStdString();
        }
        app.write(QStringLiteral("QELFileList.txt"), c.file);
        EXPECT_TRUE(RecentFileList(app.path()).read().result.ok);
    }
}

} // namespace
