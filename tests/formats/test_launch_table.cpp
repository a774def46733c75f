#include "formats/LaunchTable.h"

#include <gtest/gtest.h>

namespace {

const QString kApp = QStringLiteral("/opt/keldara");

CommandLine cmd(const char* exe, const char* args)
{
    return {kApp + QLatin1Char('/') + QString::fromLatin1(exe), QString::fromUtf8(args)};
}

TEST(LaunchTable, NewEntries)
{
    EXPECT_EQ(commandForNew(kApp, QStringLiteral("FPL")), cmd("prv.exe", "#NEW#"));
    EXPECT_EQ(commandForNew(kApp, QStringLiteral("crn")), cmd("cnl.exe", "#NEW#"));
    EXPECT_EQ(commandForNew(kApp, QStringLiteral("PLI")), cmd("ltpc.exe", "PLI"));
    EXPECT_EQ(commandForNew(kApp, QStringLiteral("PHS")), cmd("ltpc.exe", "PHS"));
    EXPECT_EQ(commandForNew(kApp, QStringLiteral("XYZ")), std::nullopt);
    EXPECT_EQ(commandForNew(kApp, QStringLiteral("FPL"))->text(),
              QStringLiteral("/opt/keldara/prv.exe #NEW#"));
}

TEST(LaunchTable, OpenEntriesPassFolderAndNameWithQuestionMarks)
{
    EXPECT_EQ(commandForOpen(kApp, QStringLiteral("fpl"), QStringLiteral("/My Data/"),
                             QStringLiteral("plot 1.fpl")),
              cmd("prv.exe", "/My?Data/plot?1.fpl"));
    EXPECT_EQ(commandForOpen(kApp, QStringLiteral("pli"), QStringLiteral("/d/"),
                             QStringLiteral("a b.pli")),
              cmd("ltpc.exe", "pli /d/a?b.pli"));
    // The switch word is the stored kind code as it stands.
    EXPECT_EQ(
        commandForOpen(kApp, QStringLiteral("PhS"), QStringLiteral("/d/"), QStringLiteral("x.phs")),
        cmd("ltpc.exe", "PhS /d/x.phs"));
    EXPECT_EQ(commandForOpen(kApp, QStringLiteral("CRN"), QStringLiteral("/d/"),
                             QStringLiteral("CRNexample.crn")),
              cmd("cnl.exe", "/d/CRNexample.crn"));
    EXPECT_EQ(
        commandForOpen(kApp, QStringLiteral("txt"), QStringLiteral("/d/"), QStringLiteral("x.txt")),
        std::nullopt);
}

TEST(LaunchTable, BrowseByKindIndex)
{
    const QString path = QStringLiteral("/A B/x.PHS");
    EXPECT_EQ(commandForBrowse(kApp, 0, path), cmd("prv.exe", "/A?B/x.PHS"));
    EXPECT_EQ(commandForBrowse(kApp, 1, path), cmd("ltpc.exe", "phs /A?B/x.PHS"));
    EXPECT_EQ(commandForBrowse(kApp, 2, path), cmd("ltpc.exe", "pli /A?B/x.PHS"));
    EXPECT_EQ(commandForBrowse(kApp, 3, path), cmd("cnl.exe", "/A?B/x.PHS"));
    EXPECT_EQ(commandForBrowse(kApp, 99, path), std::nullopt);
}

TEST(LaunchTable, SpacesToQuestionMarks)
{
    EXPECT_EQ(SpacesToQuestionMarks(QString()), QString());
    EXPECT_EQ(SpacesToQuestionMarks(QStringLiteral("  a\tb ")), QStringLiteral("??a\tb?"));
}

} // namespace
