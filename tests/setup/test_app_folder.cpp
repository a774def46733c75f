#include "setup/AppFolder.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

int modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

QString linkOf(const QString& path)
{
    return QFileInfo(path).isSymLink() ? QFile::symLinkTarget(path) : QString();
}

// What the data home holds before the start, and where the lists must go.
struct Row {
    const char* what;
    bool marker;
    const char* xdgDataHome; // "@" stands for the test's folder
    const char* home;
    const char* before;   // made before the start: "" nothing, "dir" a folder others can read,
                          // "file" a file, "foreign" a folder of another user
    const char* expected; // the application folder; "program" for the executable's; "" refused
};

TEST(AppFolder, TheMarkerAloneDecidesAndTheFolderIsTheUsersAlone)
{
    const Row rows[] = {
        {"no marker: the executable's folder", false, "@/data", "@", "", "program"},
        {"the data home", true, "@/data", "@/home", "", "@/data/keldara"},
        {"a relative data home counts for nothing", true, "rel", "@/home", "",
         "@/home/.local/share/keldara"},
        {"no data home: the home's", true, "", "@/home", "", "@/home/.local/share/keldara"},
        {"no home at all", true, "", "", "", ""},
        {"a per-user install's folder, readable by others", true, "@/data", "@", "dir",
         "@/data/keldara"},
        {"a file where the folder should be", true, "@/data", "@", "file", ""},
        {"a folder of another user", true, "@/data", "@", "foreign", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (QByteArray(row.before) == "foreign" && ::geteuid() != 0)
            continue; // only root can give a folder away
        TempAppFolder program;
        TempAppFolder home;
        if (row.marker)
            program.write(QString::fromLatin1(kMachineWideMarker), "");
        const auto at = [&](const char* text) {
            return QString::fromLatin1(text).replace(QLatin1Char('@'), home.path());
        };
        const QString mine = home.file(QStringLiteral("data/keldara"));
        if (QByteArray(row.before) == "file") {
            home.write(QStringLiteral("data/keldara"), "not a folder");
        } else if (!QByteArray(row.before).isEmpty()) {
            home.write(QStringLiteral("data/keldara/QELWebList.txt"), "\"a\",\"b\"\r\n");
            ::chmod(QFile::encodeName(mine).constData(), 0755);
            if (QByteArray(row.before) == "foreign") {
                ASSERT_EQ(::chown(QFile::encodeName(mine).constData(), 4242, 4242), 0);
            }
        }

        const AppFolderPlace place =
            settleAppFolder(program.path(), at(row.xdgDataHome), at(row.home));

        const QString expected =
            QByteArray(row.expected) == "program" ? program.path() : at(row.expected);
        EXPECT_EQ(place.problem.isEmpty(), !expected.isEmpty()) << place.problem.toStdString();
        if (expected.isEmpty())
            continue;
        EXPECT_EQ(place.folder, expected);
        EXPECT_EQ(place.sharedFolder, row.marker ? program.path() : QString());
        if (!row.marker) {
            EXPECT_FALSE(home.exists(QStringLiteral("data"))); // nothing made for nothing
            continue;
        }
        EXPECT_EQ(modeOf(expected), 0700);
        if (QByteArray(row.before).isEmpty()) { // the missing parents too
            EXPECT_EQ(modeOf(QFileInfo(expected).absolutePath()), 0700);
        } else {
            EXPECT_EQ(home.read(QStringLiteral("data/keldara/QELWebList.txt")), "\"a\",\"b\"\r\n");
        }
    }
}

TEST(AppFolder, CompanionToolsAreLinkedWhereTheUserHasNoneOfTheirOwn)
{
    TempAppFolder shared;
    TempAppFolder user;
    const QString s = shared.path();
    const QString u = user.path();
    for (const char* tool : {"prv.exe", "LTPC.EXE", "cnl.exe", "imgkeep.exe", "notes.txt"})
        shared.write(QString::fromLatin1(tool), "tool");
    shared.mkdir(QStringLiteral("MeasSwap.exe")); // a folder is no program
    user.write(QStringLiteral("CNL.exe"), "the user's own");
    QFile::link(QStringLiteral("/nowhere/mdlib.exe"), user.file(QStringLiteral("mdlib.exe")));
    QFile::link(s + QStringLiteral("/imgkeep.exe"), user.file(QStringLiteral("IMGKEEP.exe")));

    renewToolLinks(u, s);
    EXPECT_EQ(linkOf(user.file(QStringLiteral("prv.exe"))), s + QStringLiteral("/prv.exe"));
    EXPECT_EQ(linkOf(user.file(QStringLiteral("LTPC.EXE"))), s + QStringLiteral("/LTPC.EXE"));
    EXPECT_EQ(user.read(QStringLiteral("CNL.exe")), "the user's own");
    EXPECT_FALSE(user.exists(QStringLiteral("cnl.exe")));
    EXPECT_EQ(linkOf(user.file(QStringLiteral("mdlib.exe"))), QStringLiteral("/nowhere/mdlib.exe"));
    EXPECT_FALSE(QFileInfo(user.file(QStringLiteral("IMGKEEP.exe"))).isSymLink()); // renamed
    EXPECT_EQ(linkOf(user.file(QStringLiteral("imgkeep.exe"))), s + QStringLiteral("/imgkeep.exe"));
    EXPECT_FALSE(QFileInfo(user.file(QStringLiteral("MeasSwap.exe"))).isSymLink());
    EXPECT_FALSE(QFileInfo(user.file(QStringLiteral("notes.txt"))).exists());

    // The administrator renames one tool and takes another away: the links follow.
    QFile::rename(shared.file(QStringLiteral("LTPC.EXE")), shared.file(QStringLiteral("ltpc.exe")));
    QFile::remove(shared.file(QStringLiteral("prv.exe")));
    renewToolLinks(u, s);
    EXPECT_FALSE(QFileInfo(user.file(QStringLiteral("LTPC.EXE"))).isSymLink());
    EXPECT_EQ(linkOf(user.file(QStringLiteral("ltpc.exe"))), s + QStringLiteral("/ltpc.exe"));
    EXPECT_FALSE(QFileInfo(user.file(QStringLiteral("prv.exe"))).isSymLink());
}

TEST(AppFolder, TheFirstStartBringsTheExampleOnce)
{
    TempAppFolder program;
    TempAppFolder home;
    program.write(QString::fromLatin1(kMachineWideMarker), "");
    program.write(QStringLiteral("data/CRNexample.crn"), "example");
    const QString dataHome = home.path();
    const AppFolderPlace first = settleAppFolder(program.path(), dataHome, {});
    ASSERT_TRUE(first.problem.isEmpty());
    EXPECT_EQ(home.read(QStringLiteral("keldara/data/CRNexample.crn")), "example");
    QFile::remove(home.file(QStringLiteral("keldara/data/CRNexample.crn")));
    settleAppFolder(program.path(), dataHome, {});
    EXPECT_FALSE(home.exists(QStringLiteral("keldara/data/CRNexample.crn")));
}

} // namespace
