#include "base/Paths.h"
#include "lists/DataFileKind.h"
#include "lists/OpenEntries.h"
#include "lists/RecentFileList.h"
#include "lists/RecordCodec.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace {

const QDateTime kNow(QDate(2026, 3, 14), QTime(15, 9, 26));

struct StoreFixture : ::testing::Test {
    TempAppFolder app;
    RecentFileList store{app.path()};

    QString p(const QString& relative) const { return app.path() + QLatin1Char('/') + relative; }
    void writeList(const QList<FileListRecord>& records)
    {
        QList<QStringList> fields;
        for (const auto& r : records)
            fields.append({r.kindCode, r.path, r.dateText});
        app.writeRecords(QStringLiteral("QELFileList.txt"), fields);
    }
    QList<FileListRecord> list() const
    {
        const auto c = store.read();
        EXPECT_TRUE(c.result.ok);
        return c.records;
    }
    QByteArray raw() const { return app.read(QStringLiteral("QELFileList.txt")); }
};

TEST_F(StoreFixture, TouchCreatesAddsAndUpdatesInPlaceIgnoringCase)
{
    const QString date = listDateText(kNow);
    EXPECT_TRUE(
        store.TouchFileEntry(p(QStringLiteral("data/a.crn")), QStringLiteral("CRN"), kNow).ok);
    EXPECT_EQ(list(), (QList<FileListRecord>{
                          {QStringLiteral("CRN"), p(QStringLiteral("data/a.crn")), date}}));

    writeList({{QStringLiteral("fpl"), QStringLiteral("/x/Plot.fpl"), QStringLiteral("old")},
               {QStringLiteral("pli"), QStringLiteral("/x/b.pli"), QStringLiteral("old")},
               {QStringLiteral("fpl"), QStringLiteral("/x/PLOT.fpl"), QStringLiteral("old")}});
    EXPECT_TRUE(
        store.TouchFileEntry(QStringLiteral("/X/plot.FPL"), QStringLiteral("CRN"), kNow).ok);
    // Both records of that path take the new spelling and date; each keeps its own code and place.
    EXPECT_EQ(list(),
              (QList<FileListRecord>{
                  {QStringLiteral("fpl"), QStringLiteral("/X/plot.FPL"), date},
                  {QStringLiteral("pli"), QStringLiteral("/x/b.pli"), QStringLiteral("old")},
                  {QStringLiteral("fpl"), QStringLiteral("/X/plot.FPL"), date}}));
    EXPECT_TRUE(store.TouchFileEntry(QStringLiteral("/y/new.phs"), QStringLiteral("phs"), kNow).ok);
    EXPECT_EQ(list().size(), 4);
    EXPECT_EQ(list().last().path, QStringLiteral("/y/new.phs"));
    EXPECT_TRUE(raw().endsWith("\r\n"));
    EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));
}

TEST_F(StoreFixture, RemovingRecordsTakesEveryExactMatchAndNeverTheFile)
{
    app.write(QStringLiteral("data/a.fpl"), "data");
    const QString a = p(QStringLiteral("data/a.fpl"));
    writeList({{QStringLiteral("fpl"), a, QStringLiteral("1")},
               {QStringLiteral("fpl"), a.toUpper(), QStringLiteral("2")},
               {QStringLiteral("fpl"), a, QStringLiteral("3")}});
    EXPECT_TRUE(store.removeRecords(a).ok);
    EXPECT_EQ(list(),
              (QList<FileListRecord>{{QStringLiteral("fpl"), a.toUpper(), QStringLiteral("2")}}));
    EXPECT_TRUE(app.exists(QStringLiteral("data/a.fpl")));
    // A missing list file is an empty list: nothing to remove, nothing created, unless the
    // caller needs the list.
    QFile::remove(store.listPath());
    EXPECT_TRUE(store.removeRecords(a).ok);
    EXPECT_EQ(store.removeRecords(a, nullptr, nullptr, true).error, ENOENT);
    EXPECT_FALSE(QFileInfo::exists(store.listPath()));
}

TEST_F(StoreFixture, SyncRebuildsDataFolderEntriesInScanOrder)
{
    const QDateTime t(QDate(2025, 7, 1), QTime(8, 30, 0));
    for (const char* name : {"plot7.fpl", "PLOT2.FPL", "a.pli", "b.phs", "c.crn", ".x.fpl",
                             "notes.txt", "sub/d.fpl"}) {
        app.write(QStringLiteral("data/") + QString::fromLatin1(name), "x");
        QFile f(p(QStringLiteral("data/") + QString::fromLatin1(name)));
        f.open(QIODevice::ReadWrite);
        f.setFileTime(t, QFileDevice::FileModificationTime);
    }
    app.mkdir(QStringLiteral("data/folder.fpl"));
    const QString outside = QStringLiteral("/elsewhere/plot.fpl");
    const QString sub = p(QStringLiteral("data/sub/d.fpl"));
    writeList(
        {{QStringLiteral("fpl"), outside, QStringLiteral("kept date")},
         {QStringLiteral("fpl"), p(QStringLiteral("DATA/old.fpl")), QStringLiteral("x")},
         {QStringLiteral("fpl"), QStringLiteral("  ") + p(QStringLiteral("data/gone.fpl")),
          QStringLiteral("x")},
         {QStringLiteral("fpl"), sub, QStringLiteral("sub date")},
         {QStringLiteral("CRN"), p(QStringLiteral("data/CRNexample.crn")), QStringLiteral("x")}});

    ASSERT_TRUE(store.SyncDataFolderEntries().ok);
    const QString d = listDateText(t);
    const QString data = p(QStringLiteral("data/"));
    EXPECT_EQ(list(),
              (QList<FileListRecord>{{QStringLiteral("fpl"), outside, QStringLiteral("kept date")},
                                     {QStringLiteral("fpl"), sub, QStringLiteral("sub date")},
                                     {QStringLiteral("fpl"), data + QStringLiteral("PLOT2.FPL"), d},
                                     {QStringLiteral("fpl"), data + QStringLiteral("plot7.fpl"), d},
                                     {QStringLiteral("pli"), data + QStringLiteral("a.pli"), d},
                                     {QStringLiteral("phs"), data + QStringLiteral("b.phs"), d},
                                     {QStringLiteral("crn"), data + QStringLiteral("c.crn"), d}}));
    EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));

    // A second sync gives the same file: nothing is duplicated.
    const QByteArray once = raw();
    ASSERT_TRUE(store.SyncDataFolderEntries().ok);
    EXPECT_EQ(raw(), once);
}

// With nothing to add, a list without records of the data folder is left as it was, neither
// rewritten nor listed again; the records of data files that went are still dropped.
TEST_F(StoreFixture, SyncWithNothingToAddRewritesOnlyToDrop)
{
    const FileListRecord outside{QStringLiteral("fpl"), QStringLiteral("/f/a.fpl"),
                                 QStringLiteral("d")};
    writeList({outside});
    const FileIdentity before = identityOf(store.listPath());
    RecentFileList::Synced s = store.syncAndList();
    ASSERT_TRUE(s.sync.ok);
    EXPECT_EQ(s.kept, before);
    EXPECT_EQ(s.listing.size(), 0u);
    EXPECT_EQ(identityOf(store.listPath()), before);

    writeList({outside,
               {QStringLiteral("fpl"), p(QStringLiteral("Data/gone.fpl")), QStringLiteral("d")}});
    s = store.syncAndList();
    ASSERT_TRUE(s.sync.ok);
    EXPECT_FALSE(s.kept.exists);
    EXPECT_EQ(s.listing.size(), 1u);
    EXPECT_EQ(list(), QList<FileListRecord>{outside});
}

TEST_F(StoreFixture, ScanCreatesMissingListAndLeavesExistingOneAlone)
{
    ASSERT_TRUE(store.ScanDataFolder().ok); // no data folder at all
    EXPECT_TRUE(QFileInfo::exists(store.listPath()));
    EXPECT_EQ(raw(), QByteArray());
    writeList({{QStringLiteral("fpl"), QStringLiteral("/x/a.fpl"), QStringLiteral("d")}});
    const QByteArray before = raw();
    app.mkdir(QStringLiteral("data"));
    ASSERT_TRUE(store.ScanDataFolder().ok);
    EXPECT_EQ(raw(), before);
}

// Lines another program wrote in some other shape (too few fields, too many, cut short) are not
// records, and they never shift the records around them: every rewrite keeps them byte for byte.
TEST_F(StoreFixture, LinesThatAreNotRecordsBlockNothingAndStayWhereTheyAre)
{
    app.write(QStringLiteral("data/a.fpl"), "x");
    const auto rec = [](const char* path, const char* date) {
        return records::encode(
            {QStringLiteral("fpl"), QString::fromLatin1(path), QString::fromLatin1(date)});
    };
    const QByteArray two = "\"fpl\",\"/x/two.fpl\"\r\n";
    const QByteArray four = "\"fpl\",\"/x/four.fpl\",\"d\",\"extra\"\r\n";
    const QByteArray cut = "\"fpl\",\"/x/cut";
    QByteArray file =
        rec("/x/a.fpl", "1") + two + rec("/x/b.fpl", "2") + four + rec("/x/c.fpl", "3") + cut;
    app.write(QStringLiteral("QELFileList.txt"), file);
    EXPECT_EQ(list().size(), 3);

    ASSERT_TRUE(store.TouchFileEntry(QStringLiteral("/x/new.fpl"), QStringLiteral("fpl"), kNow).ok);
    file += "\r\n" + records::encode(
                         {QStringLiteral("fpl"), QStringLiteral("/x/new.fpl"), listDateText(kNow)});
    EXPECT_EQ(raw(), file);

    ASSERT_TRUE(store.removeRecords(QStringLiteral("/x/b.fpl")).ok);
    file.replace(rec("/x/b.fpl", "2"), "");
    EXPECT_EQ(raw(), file);

    ASSERT_TRUE(store.SyncDataFolderEntries().ok);
    EXPECT_TRUE(raw().startsWith(file));
    EXPECT_EQ(list().last().path, p(QStringLiteral("data/a.fpl")));
}

TEST(RenameRules, ExtensionRuleTestsTheLastThreeCharacters)
{
    const char* cases[][3] = {
        {"plot7", "fpl", "plot7.FPL"},     {"plot7.fpl", "fpl", "plot7.fpl"},
        {"abcfpl", "fpl", "abcfpl"},       {"ab", "fpl", "ab.FPL"},
        {"fpl", "fpl", "fpl.FPL"},         {"x.PLI", "pli", "x.PLI"},
        {"crown.crn", "CRN", "crown.crn"}, {"plot.fpl", "pli", "plot.fpl.PLI"}};
    for (const auto& c : cases) {
        EXPECT_EQ(applyRenameExtensionRule(QString::fromLatin1(c[0]), QString::fromLatin1(c[1])),
                  QString::fromLatin1(c[2]))
            << c[0];
    }
}

TEST(DataFileKinds, KindFromExtensionAndSplitPath)
{
    const std::pair<const char*, int> kinds[] = {
        {"/a/plot.fpl", 0}, {"/a/PLOT.FPL", 0}, {"x.phs", 1}, {"x.pli", 2}, {"x.Crn", 3},
        {"x.txt", 99},      {"plotfpl", 99},    {"fpl", 99},  {"", 99},     {".fpl", 0}};
    for (const auto& [path, kind] : kinds)
        EXPECT_EQ(KindFromExtension(QString::fromLatin1(path)), kind) << path;

    const char* splits[][3] = {
        {"/a/b.fpl", "b.fpl", "/a/"}, {"b.fpl", "b.fpl", ""}, {"/a/b/", "", "/a/b/"}, {"", "", ""}};
    for (const auto& s : splits) {
        QString name, folder;
        SplitPath(QString::fromLatin1(s[0]), &name, &folder);
        EXPECT_EQ(name, QString::fromLatin1(s[1]));
        EXPECT_EQ(folder, QString::fromLatin1(s[2]));
    }
    EXPECT_EQ(kindOfCode(QStringLiteral("CRN")), kindOfCode(QStringLiteral("crn")));
    EXPECT_EQ(kindOfCode(QStringLiteral("xyz")), nullptr);
}

} // namespace

TEST(OpenListingOf, KeepsEveryTextOfEveryRecordInNameOrder)
{
    const QByteArray content =
        "\"fpl\",\"/a/zeta.fpl\",\"3/14/2026 3:09:26 PM\"\r\n"
        "\"pli\",\"/b/Alpha.pli\",\"14. M\xc3\xa4rz 2026 15:09\"\r\n"
        "not a record\r\n"
        "\"phs\",\"/a/beta.phs\",\"a date far longer than any clock writes it\"\r\n"
        "\"crn\",\"/c/caf\xe9.crn\",\"\"\r\n";
    const OpenListing listing = openListingOf(content);
    ASSERT_EQ(listing.size(), 4u);
    const QStringList names = {QStringLiteral("Alpha.pli"), QStringLiteral("beta.phs"),
                               QString::fromUtf8("caf\xc3\xa9.crn"), QStringLiteral("zeta.fpl")};
    const QStringList dates = {QString::fromUtf8("14. M\xc3\xa4rz 2026 15:09"),
                               QStringLiteral("a date far longer than any clock writes it"),
                               QString(), QStringLiteral("3/14/2026 3:09:26 PM")};
    const QStringList codes = {QStringLiteral("pli"), QStringLiteral("phs"), QStringLiteral("crn"),
                               QStringLiteral("fpl")};
    for (size_t i = 0; i < listing.size(); ++i) {
        const OpenEntry e = listing.at(i);
        EXPECT_EQ(e.name, names[qsizetype(i)]);
        EXPECT_EQ(e.dateText, dates[qsizetype(i)]);
        EXPECT_EQ(e.kindCode, codes[qsizetype(i)]);
        EXPECT_EQ(e.folder, listing.folder(i));
    }
    EXPECT_EQ(listing.at(0).folder, QStringLiteral("/b/"));
    // The line that is no UTF-8 names its file by its bytes too.
    EXPECT_EQ(listing.at(2).files().size(), 2);

    // Read again after a change, the names still there near their places are the first
    // listing's own texts; the others are read anew.
    QByteArray changed = content.sliced(content.indexOf('\n') + 1);
    changed.replace("beta", "gamma").append("\"fpl\",\"/a/zeta.fpl\",\"d\"\r\n");
    const OpenListing again = openListingOf(changed, listing.shared());
    QStringList read, shared;
    for (size_t i = 0; i < again.size(); ++i) {
        read << again.name(i);
        for (size_t j = 0; j < listing.size(); ++j) {
            if (again.name(i).constData() == listing.name(j).constData())
                shared << again.name(i);
        }
    }
    EXPECT_EQ(read, (QStringList{names[0], names[2], QStringLiteral("gamma.phs"), names[3]}));
    EXPECT_EQ(shared, (QStringList{names[0], names[2]}));
}
