#include "formats/ShortcutHelper.h"
#include "lists/RecentFileList.h"
#include "lists/RecordCodec.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

#include <functional>

#include <sys/stat.h>

namespace {

// Waits until `done` holds or the time is up.
bool waitFor(const std::function<bool()>& done, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QThread::msleep(25);
    }
    return true;
}

// The program as a user installs it: the executable alone in an application folder, with its
// own settings home.
struct RunningHub {
    TempAppFolder app;
    TempAppFolder config;
    QProcess process;

    RunningHub() { QFile::copy(QStringLiteral(KELDARA_EXE), app.file(QStringLiteral("keldara"))); }
    // `runtimeDir`: where the instance lock lives; by default a folder of this hub's own.
    void start(const QString& display = {}, const QString& runtimeDir = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!display.isEmpty()) {
            env.insert(QStringLiteral("DISPLAY"), display);
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        }
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        // Its own instance lock, apart from any Keldara the developer has running.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                   runtimeDir.isEmpty() ? config.path() : runtimeDir);
        if (display.isEmpty())
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The same locale as this test, so that both write the same date texts.
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
        process.setProcessEnvironment(env);
        process.setProgram(app.file(QStringLiteral("keldara")));
        process.setWorkingDirectory(config.path()); // not the application folder on purpose
        // Its output goes to a file: a pipe nobody reads while the test sleeps could fill up and
        // stop the program, and the file tells what happened when a check fails.
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(config.file(QStringLiteral("keldara.log")));
        process.start();
        ASSERT_TRUE(process.waitForStarted());
    }
    ~RunningHub()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    // What the program was doing and said, for a failed check's message.
    std::string report()
    {
        QByteArray text = "program ";
        if (process.state() == QProcess::NotRunning) {
            text += "ended, exit code " + QByteArray::number(process.exitCode());
        } else {
            QFile wchan(QStringLiteral("/proc/%1/wchan").arg(process.processId()));
            text += "running, waiting in " +
                    (wchan.open(QIODevice::ReadOnly) ? wchan.readAll() : QByteArray("?"));
        }
        return (text + "; its output:\n" + config.read(QStringLiteral("keldara.log")))
            .toStdString();
    }
    QString setting(const QString& key) const
    {
        QSettings s(config.file(QStringLiteral("Keldara/Keldara.conf")), QSettings::IniFormat);
        return s.value(key).toString();
    }
};

TEST(EndToEnd, FirstStartInEmptyFolderLeavesSettingsAndShortcutFolder)
{
    RunningHub hub;
    hub.start();
    ASSERT_TRUE(waitFor([&] {
        return hub.setting(QStringLiteral("PhotoDir")) != QString() &&
               QFileInfo(hub.app.file(QStringLiteral("ShortCuts"))).isDir();
    })) << hub.report();
    EXPECT_EQ(hub.process.state(), QProcess::Running);

    EXPECT_EQ(hub.setting(QStringLiteral("Converted")), QStringLiteral("99"));
    EXPECT_EQ(hub.setting(QStringLiteral("Org")), QStringLiteral(" "));
    EXPECT_EQ(hub.setting(QStringLiteral("PhotoDir")),
              hub.app.path() + QStringLiteral("/DemoImages/"));
    const QByteArray ini = hub.config.read(QStringLiteral("Keldara/Keldara.conf"));
    EXPECT_TRUE(ini.startsWith("[General]")) << ini.constData();

    // The shortcut folder holds exactly the six default shortcuts, each pointing into the
    // application folder.
    ASSERT_TRUE(waitFor([&] {
        return QDir(hub.app.file(QStringLiteral("ShortCuts"))).entryList(QDir::Files).size() == 6;
    }));
    const QString base = hub.app.path() + QLatin1Char('/');
    const char* defaults[][3] = {{"Plot Pictures.lnk", "prv.exe", "prv.exe"},
                                 {"LogTallyPC.lnk", "LTPC.exe", "LTPC.exe"},
                                 {"Image Keeper.lnk", "imgkeep.exe", "imgkeep.exe"},
                                 {"Model Library.lnk", "MDLib.exe", "mdlib.exe"},
                                 {"Canopy Load.lnk", "cnl.exe", "cnl.exe"},
                                 {"Measure Swap.lnk", "MeasSwap.exe", "MeasSwap.exe"}};
    for (const auto& d : defaults) {
        QProcess lnkinfo;
        lnkinfo.start(QStringLiteral("lnkinfo"),
                      {hub.app.file(QStringLiteral("ShortCuts/") + QString::fromLatin1(d[0]))});
        ASSERT_TRUE(lnkinfo.waitForFinished()) << "lnkinfo (liblnk-utils) is needed";
        const QString out = QString::fromUtf8(lnkinfo.readAllStandardOutput());
        EXPECT_TRUE(out.contains(QStringLiteral("Local path\t\t\t: ") + base +
                                 QString::fromLatin1(d[1]) + QLatin1Char('\n')))
            << d[0] << "\n"
            << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("Icon location\t\t\t: ") + base +
                                 QString::fromLatin1(d[2]) + QLatin1Char('\n')))
            << d[0];
    }
}

// An X server of the test's own, without a window manager, and xdotool to act on it.
struct XServer {
    QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    QProcess server;
    QString display;

    // Empty when it could not start: the reason to skip.
    QString start()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty() || xdotool.isEmpty())
            return QStringLiteral("Xvfb and xdotool are needed (scripts/install-deps.sh installs "
                                  "them)");
        // Its warnings would fill a pipe nobody reads, and a server stuck writing serves no one.
        server.setStandardErrorFile(QProcess::nullDevice());
        server.start(xvfb,
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1024x768x24"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                      // A server resets when its last client leaves (here each xdotool
                      // call), and a program connecting just then is turned away.
                      QStringLiteral("-noreset")});
        if (!server.waitForReadyRead(10000))
            return QStringLiteral("Xvfb did not start");
        display = QLatin1Char(':') + QString::fromLatin1(server.readAll().trimmed());
        return {};
    }
    ~XServer()
    {
        server.kill();
        server.waitForFinished();
    }
    QString xdo(const QStringList& args) const
    {
        QProcess run;
        QProcessEnvironment xenv = QProcessEnvironment::systemEnvironment();
        xenv.insert(QStringLiteral("DISPLAY"), display);
        run.setProcessEnvironment(xenv);
        run.start(xdotool, args);
        run.waitForFinished();
        return QString::fromLatin1(run.readAllStandardOutput()).trimmed();
    }
    // The visible windows of a process (of that name) now.
    QStringList windowsOf(const QProcess& p, const QString& name = QStringLiteral(".")) const
    {
        return xdo({QStringLiteral("search"), QStringLiteral("--all"),
                    QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                    QString::number(p.processId()), QStringLiteral("--name"), name})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // The first visible window of a process, once there is one.
    QString windowOf(const QProcess& p, const QString& name = QStringLiteral(".")) const
    {
        QString w;
        waitFor([&] {
            const QStringList all = windowsOf(p, name);
            w = all.isEmpty() ? QString() : all.first();
            return !w.isEmpty();
        });
        return w;
    }
    // "WIDTHxHEIGHT" of a window.
    QString sizeOf(const QString& window) const
    {
        const QString shape = xdo({QStringLiteral("getwindowgeometry"), window});
        const qsizetype at = shape.indexOf(QStringLiteral("Geometry: "));
        return at < 0 ? QString() : shape.mid(at + 10).trimmed();
    }
    // The hub's main window (570 pixels wide until the user sizes it), once it shows.
    QString mainWindowOf(const QProcess& p, const QString& width = QStringLiteral("570")) const
    {
        QString found;
        waitFor([&] {
            for (const QString& w : windowsOf(p, QStringLiteral("^Keldara$"))) {
                if (sizeOf(w).startsWith(width + QLatin1Char('x')))
                    found = w;
            }
            return !found.isEmpty();
        });
        return found;
    }
};

// A second start while the first runs: the message, then the second ends and the first goes on.
// This needs a real display to answer the message on: an Xvfb of its own, and xdotool.
TEST(EndToEnd, SecondInstanceIsRefusedAndTheFirstRunsOn)
{
    XServer x;
    if (const QString why = x.start(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    const QString display = x.display;
    const auto xdo = [&](const QStringList& args) { return x.xdo(args); };
    const auto windowOf = [&](const QProcess& p, const QString& name = QStringLiteral(".")) {
        return x.windowOf(p, name);
    };

    RunningHub first;
    first.start(display);
    // A click sends the splash away, as the user may: it is the program's first window.
    const QString splash = windowOf(first.process);
    xdo({QStringLiteral("mousemove"), QStringLiteral("--window"), splash, QStringLiteral("20"),
         QStringLiteral("20"), QStringLiteral("click"), QStringLiteral("1")});
    // Its main window is up and the splash has handed over (the splash is the narrower of the
    // two windows of that name): from here on only a request moves the focus to it.
    ASSERT_TRUE(waitFor([&] {
        const QString w = windowOf(first.process, QStringLiteral("^Keldara$"));
        const QString shape = xdo({QStringLiteral("getwindowgeometry"), w});
        return shape.contains(QStringLiteral("Geometry: 570x"));
    })) << first.report();

    // Another program has the focus, and the pointer rests on it.
    QProcess other;
    QProcessEnvironment otherEnv = QProcessEnvironment::systemEnvironment();
    otherEnv.insert(QStringLiteral("DISPLAY"), display);
    otherEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    other.setProcessEnvironment(otherEnv);
    other.start(QStringLiteral(STANDIN_EXE), {});
    const QString otherWindow = windowOf(other);
    ASSERT_FALSE(otherWindow.isEmpty());
    xdo({QStringLiteral("mousemove"), QStringLiteral("--window"), otherWindow, QStringLiteral("10"),
         QStringLiteral("10")});
    xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), otherWindow});

    // The same user's instance lock; folders of its own otherwise.
    RunningHub second;
    second.start(display, first.config.path());
    // Find the second program's message on screen and press Enter on it.
    const QString window = windowOf(second.process);
    ASSERT_FALSE(window.isEmpty());
    EXPECT_FALSE(second.app.exists(QStringLiteral("DemoImages"))); // the load stopped at the check
    xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window, QStringLiteral("key"),
         QStringLiteral("Return")});

    EXPECT_TRUE(second.process.waitForFinished(10000));
    EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process.exitCode(), 0);
    EXPECT_EQ(first.process.state(), QProcess::Running);
    // The running instance was asked to come forward: the focus is on one of its windows.
    const QString firstPid = QString::number(first.process.processId());
    EXPECT_TRUE(waitFor([&] {
        return xdo({QStringLiteral("getwindowfocus"), QStringLiteral("getwindowpid")}) == firstPid;
    })) << first.report();
    other.kill();
    other.waitForFinished();
}

// Boxes of the start answered the moment they show, while the splash is still up (the list file
// cannot be read: a folder in its place): the start goes on to its main window.
TEST(EndToEnd, AStartWhoseMessagesAreAnsweredAtOnceGoesOnToItsWindow)
{
    XServer x;
    if (const QString why = x.start(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    RunningHub hub;
    ASSERT_TRUE(QDir(hub.app.path()).mkdir(QStringLiteral("QELFileList.txt")));
    hub.start(x.display);
    int answered = 0;
    QString main;
    waitFor([&] {
        if (hub.process.state() != QProcess::Running)
            return true;
        for (const QString& w : x.windowsOf(hub.process)) {
            const QString size = x.sizeOf(w);
            if (size.startsWith(QStringLiteral("570x")))
                main = w;
            else if (!size.isEmpty() && size != QStringLiteral("496x316")) { // not the splash
                x.xdo({QStringLiteral("windowfocus"), w, QStringLiteral("key"),
                       QStringLiteral("Return")});
                ++answered;
            }
        }
        return !main.isEmpty();
    });
    EXPECT_GE(answered, 1);
    ASSERT_FALSE(main.isEmpty()) << hub.report();
    QThread::msleep(1000);
    EXPECT_EQ(hub.process.state(), QProcess::Running) << hub.report();
    EXPECT_EQ(x.windowsOf(hub.process, QStringLiteral("^Keldara$")).size(), 1);
}

// Without a window manager the window has no title bar Qt can see: the size the user gave it is
// kept all the same, and the next start shows the window at that size.
TEST(EndToEnd, TheSizeIsKeptWithoutAWindowManager)
{
    XServer x;
    if (const QString why = x.start(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    RunningHub hub;
    hub.start(x.display);
    const QString splash = x.windowOf(hub.process);
    x.xdo({QStringLiteral("mousemove"), QStringLiteral("--window"), splash, QStringLiteral("20"),
           QStringLiteral("20"), QStringLiteral("click"), QStringLiteral("1")});
    QString main = x.mainWindowOf(hub.process);
    ASSERT_FALSE(main.isEmpty()) << hub.report();
    x.xdo({QStringLiteral("windowsize"), QStringLiteral("--sync"), main, QStringLiteral("800"),
           QStringLiteral("600")});
    ASSERT_TRUE(waitFor([&] { return x.sizeOf(main) == QStringLiteral("800x600"); }));
    // File > Exit, then Yes.
    x.xdo({QStringLiteral("mousemove"), QStringLiteral("--window"), main, QStringLiteral("15"),
           QStringLiteral("10"), QStringLiteral("click"), QStringLiteral("1")});
    QThread::msleep(300);
    x.xdo({QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Return")});
    const bool asked = waitFor([&] { return x.windowsOf(hub.process).size() >= 2; }, 5000);
    ASSERT_TRUE(asked) << hub.report();
    QThread::msleep(300);
    x.xdo({QStringLiteral("key"), QStringLiteral("Return")});
    ASSERT_TRUE(hub.process.waitForFinished(10000)) << hub.report();
    EXPECT_EQ(hub.process.exitCode(), 0);
    EXPECT_TRUE(hub.setting(QStringLiteral("Window/Geometry")).endsWith(QStringLiteral("800 600")))
        << hub.setting(QStringLiteral("Window/Geometry")).toStdString();

    hub.start(x.display);
    const QString again = x.windowOf(hub.process);
    x.xdo({QStringLiteral("mousemove"), QStringLiteral("--window"), again, QStringLiteral("20"),
           QStringLiteral("20"), QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_FALSE(x.mainWindowOf(hub.process, QStringLiteral("800")).isEmpty()) << hub.report();
}

TEST(EndToEnd, StartUpRebuildsTheDataFolderPartOfTheList)
{
    RunningHub hub;
    const QDateTime when(QDate(2026, 2, 3), QTime(4, 5, 6));
    for (const char* name :
         {"plot7.fpl", "PLOT2.FPL", "a.pli", "b.phs", "c.crn", ".x.fpl", "sub/d.fpl"}) {
        const QString rel = QStringLiteral("data/") + QString::fromLatin1(name);
        hub.app.write(rel, "x");
        QFile f(hub.app.file(rel));
        f.open(QIODevice::ReadWrite);
        f.setFileTime(when, QFileDevice::FileModificationTime);
    }
    const QString data = hub.app.path() + QStringLiteral("/data/");
    const QByteArray outside =
        records::encode({QStringLiteral("FPL"), QStringLiteral("/mnt/field/plot 9.fpl"),
                         QStringLiteral("1/1/2020 1:01:01 AM")});
    const QByteArray sub =
        records::encode({QStringLiteral("fpl"), data + QStringLiteral("sub/d.fpl"),
                         QStringLiteral("2/2/2021 2:02:02 AM")});
    hub.app.write(QStringLiteral("QELFileList.txt"),
                  outside +
                      records::encode({QStringLiteral("fpl"), data + QStringLiteral("old.fpl"),
                                       QStringLiteral("x")}) +
                      sub);

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString date = listDateText(when);
    QByteArray expected = outside + sub;
    for (const char* rec :
         {"fpl|PLOT2.FPL", "fpl|plot7.fpl", "pli|a.pli", "phs|b.phs", "crn|c.crn"}) {
        const QStringList parts = QString::fromLatin1(rec).split(QLatin1Char('|'));
        expected += records::encode({parts[0], data + parts[1], date});
    }

    hub.start();
    const bool done = waitFor([&] {
        return hub.app.read(QStringLiteral("QELFileList.txt")) == expected &&
               hub.setting(QStringLiteral("CRNExample")) == QStringLiteral("True");
    });
    EXPECT_TRUE(done) << hub.app.read(QStringLiteral("QELFileList.txt")).constData();
    EXPECT_FALSE(hub.app.exists(QStringLiteral("qellist.tmp")));
    EXPECT_EQ(hub.process.state(), QProcess::Running);
}

// Where the program's main thread sleeps in the kernel right now (its wait channel).
QByteArray waitChannel(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/wchan").arg(pid));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool waitsOnAPipe(qint64 pid)
{
    const QByteArray w = waitChannel(pid);
    return w.contains("fifo") || w.contains("pipe") || w.contains("partner");
}

// Resident memory in kB.
qint64 residentKb(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

// For two seconds, two refresh ticks of the program, it runs on: its main thread never waits on a
// pipe and its memory stays small.
void expectRunsFreely(RunningHub& hub)
{
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(hub.process.state(), QProcess::Running);
        EXPECT_FALSE(waitsOnAPipe(hub.process.processId()))
            << waitChannel(hub.process.processId()).constData();
        EXPECT_LT(residentKb(hub.process.processId()), 400 * 1024);
        QThread::msleep(100);
    }
}

TEST(EndToEnd, ListFilesThatAreNotFilesDoNotStopTheStart)
{
    for (const char* what : {"pipe", "link to /dev/zero"}) {
        SCOPED_TRACE(what);
        RunningHub hub;
        const QByteArray list = QFile::encodeName(hub.app.file(QStringLiteral("QELFileList.txt")));
        ASSERT_EQ(what[0] == 'p' ? mkfifo(list.constData(), 0600)
                                 : symlink("/dev/zero", list.constData()),
                  0);
        hub.start();
        ASSERT_TRUE(waitFor([&] { return hub.setting(QStringLiteral("PhotoDir")) != QString(); }))
            << hub.report();
        expectRunsFreely(hub);
    }
}

TEST(EndToEnd, APipeRenamedOverTheListWhileRunningDoesNotFreezeTheWindow)
{
    RunningHub hub;
    hub.app.write(QStringLiteral("data/plot.fpl"), "x");
    hub.start();
    // The start-up sync has written the list: the refresh timer runs from here on, and its next
    // tick meets the pipe.
    ASSERT_TRUE(waitFor(
        [&] { return hub.app.read(QStringLiteral("QELFileList.txt")).contains("plot.fpl"); }));
    const QByteArray fifo = QFile::encodeName(hub.app.file(QStringLiteral("fifo")));
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    ASSERT_EQ(
        ::rename(fifo.constData(),
                 QFile::encodeName(hub.app.file(QStringLiteral("QELFileList.txt"))).constData()),
        0);
    expectRunsFreely(hub);
}

TEST(EndToEnd, ADamagedInstanceLockDoesNotKeepTheProgramFromStarting)
{
    RunningHub hub;
    hub.config.write(QStringLiteral("Keldara.lock"), "\x01garbage, not a lock\n");
    hub.start();
    EXPECT_TRUE(waitFor(
        [&] { return hub.setting(QStringLiteral("CRNExample")) == QStringLiteral("True"); }));
}

// A companion tool adds a record every 10 ms while the program starts and syncs a large data
// folder: every one of the tool's records is still in the list afterwards, start after start.
TEST(EndToEnd, ACompanionToolWritingDuringStartUpLosesNothing)
{
    constexpr int kDataFiles = 3000;
    constexpr int kTheirRecords = 200;
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        RunningHub hub;
        for (int i = 0; i < kDataFiles; ++i)
            hub.app.write(QStringLiteral("data/plot%1.fpl").arg(i), "x");
        const QString list = hub.app.file(QStringLiteral("QELFileList.txt"));
        QProcess writer;
        writer.start(
            QStringLiteral(LIST_WRITER_EXE),
            {list, QString::number(kTheirRecords), QStringLiteral("10"), QStringLiteral("tool")});
        ASSERT_TRUE(writer.waitForStarted());
        hub.start();
        ASSERT_TRUE(writer.waitForFinished(60000));
        // The start-up sync has run when the data files are in the list.
        QSet<QString> paths;
        ASSERT_TRUE(waitFor([&] {
            paths.clear();
            int data = 0;
            for (const QStringList& r :
                 records::parse(hub.app.read(QStringLiteral("QELFileList.txt")), 3)) {
                paths.insert(r[1]);
                data += r[1].contains(QStringLiteral("/data/plot")) ? 1 : 0;
            }
            return data == kDataFiles;
        })) << hub.report();
        int lost = 0;
        for (int i = 0; i < kTheirRecords; ++i)
            lost += paths.contains(QStringLiteral("/other/tool-%1.fpl").arg(i)) ? 0 : 1;
        EXPECT_EQ(lost, 0);
    }
}

} // namespace
