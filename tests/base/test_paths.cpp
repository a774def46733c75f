#include "base/Paths.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(GetLongPath, ResolvesLetterCaseAndRejectsMissingComponents)
{
    TempAppFolder app;
    app.mkdir(QStringLiteral("Inventory Tools/ShortCuts"));
    app.mkdir(QStringLiteral(".hidden"));
    const QString base = app.path();
    const QString expected = base + QStringLiteral("/Inventory Tools/ShortCuts");

    EXPECT_EQ(GetLongPath(base + QStringLiteral("/inventory tools/SHORTCUTS")), expected);
    EXPECT_EQ(GetLongPath(base + QStringLiteral("/inventory tools/SHORTCUTS/")), expected);
    EXPECT_EQ(GetLongPath(expected), expected);
    EXPECT_EQ(GetLongPath(base + QStringLiteral("/.HIDDEN")), base + QStringLiteral("/.hidden"));
    EXPECT_EQ(GetLongPath(base + QStringLiteral("/missing/ShortCuts")), QString());
    EXPECT_EQ(GetLongPath(QString()), QString());
    EXPECT_EQ(GetLongPath(QStringLiteral("/")), QString());
}

TEST(Paths, FolderOfAnyLetterCaseCountsAsPresent)
{
    TempAppFolder app;
    app.mkdir(QStringLiteral("shortcuts"));
    app.write(QStringLiteral("shortcuts/Tool.lnk"), "x");
    EXPECT_TRUE(paths::ensureFolder(app.path(), QStringLiteral("ShortCuts")));
    EXPECT_FALSE(app.exists(QStringLiteral("ShortCuts")));
    EXPECT_TRUE(app.exists(QStringLiteral("shortcuts/Tool.lnk")));

    // A file of that name blocks the folder and is left alone.
    app.write(QStringLiteral("DEMOIMAGES"), "not a folder");
    EXPECT_TRUE(paths::ensureFolder(app.path(), QStringLiteral("DemoImages")));
    EXPECT_EQ(app.read(QStringLiteral("DEMOIMAGES")), QByteArray("not a folder"));

    EXPECT_TRUE(paths::ensureFolder(app.path(), QStringLiteral("PhotoImages")));
    EXPECT_TRUE(QFileInfo(app.file(QStringLiteral("PhotoImages"))).isDir());

    EXPECT_EQ(paths::resolveIgnoringCase(app.path(), QStringLiteral("SHORTCUTS")),
              app.path() + QStringLiteral("/shortcuts"));
    EXPECT_EQ(paths::resolveIgnoringCase(app.path(), QStringLiteral("none")),
              app.path() + QStringLiteral("/none"));
}

// A new name must stay a visible file of its own folder: no separators, nothing a Windows file
// name cannot hold, and no leading dot (a hidden file on Linux, gone from every list).
TEST(Paths, NewNamesThatWouldLeaveTheFolderOrHideAreRefused)
{
    const QString characters =
        QStringLiteral("A file name can not contain any of these characters:\r"
                       "\" / \\ : * ? < > | or control characters.");
    const std::pair<const char*, QString> cases[] = {
        {"plot 7", {}},
        {"plot.7", {}},
        {"ridge-2026_b.", {}},
        {".", QStringLiteral("\".\" can not be used as a file name.")},
        {"..", QStringLiteral("\"..\" can not be used as a file name.")},
        {".plot7", QStringLiteral("\".plot7\" can not be used as a file name.")},
        {"...x", QStringLiteral("\"...x\" can not be used as a file name.")},
        {"../up", characters},
        {"a\"b", characters},
        {"sub/x", characters},
        {"a\\b", characters},
        {"a:b", characters},
        {"a*b", characters},
        {"a?b", characters},
        {"a<b", characters},
        {"a>b", characters},
        {"a|b", characters},
        {"tab\there", characters},
    };
    for (const auto& [name, refusal] : cases)
        EXPECT_EQ(paths::refusalOfNewName(QString::fromLatin1(name)), refusal) << name;
}

} // namespace

TEST(Paths, ANameInBytesThatAreNoUtf8KeepsThemToTheFileAndItsUri)
{
    const QByteArray bytes = "/mnt/stick/caf\xe9 plot.fpl"; // written by a Windows-1252 program
    const QString path = paths::fromNativeBytes(bytes);
    EXPECT_EQ(paths::toNativeBytes(path), bytes);
    EXPECT_EQ(paths::fileUri(path), QStringLiteral("file:///mnt/stick/caf%E9%20plot.fpl"));
    EXPECT_EQ(paths::fileUri(QString::fromUtf8("/d/caf\xc3\xa9.fpl")),
              QStringLiteral("file:///d/caf%C3%A9.fpl"));
}
