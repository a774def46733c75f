#include "lists/RecentFileList.h"
#include "lists/RecordCodec.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QThread>

#include <functional>

namespace {

// Waits until `done` holds or the time is up.
bool waitFor(const std::function<bool()>& done, int ms = 20000) {
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
    void start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The same locale as this test, so that both write the same date texts.
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
        process.setProcessEnvironment(env);
        process.setProgram(app.file(QStringLiteral("keldara")));
        process.setWorkingDirectory(config.path()); // not the application folder on purpose
        process.start();
        ASSERT_TRUE(process.waitForStarted());
    }
    ~RunningHub() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    QString setting(const QString& key) const {
        QSettings s(config.file(QStringLiteral("Keldara/Keldara.conf")), QSettings::IniFormat);
        return s.value(key).toString();
    }
};

TEST(EndToEnd, FirstStartInEmptyFolderLeavesSettingsAndShortcutFolder) {
    RunningHub hub;
    hub.start();
    ASSERT_TRUE(waitFor([&] {
        return hub.setting(QStringLiteral("PhotoDir")) != QString() &&
               QFileInfo(hub.app.file(QStringLiteral("ShortCuts"))).isDir();
    })) << hub.process.readAllStandardError().constData();
    EXPECT_EQ(hub.process.state(), QProcess::Running);

    EXPECT_EQ(hub.setting(QStringLiteral("Converted")), QStringLiteral("99"));
    EXPECT_EQ(hub.setting(QStringLiteral("Org")), QStringLiteral(" "));
    EXPECT_EQ(hub.setting(QStringLiteral("PhotoDir")),
              hub.app.path() + QStringLiteral("/DemoImages/"));
    const QByteArray ini = hub.config.read(QStringLiteral("Keldara/Keldara.conf"));
    EXPECT_TRUE(ini.startsWith("[General]")) << ini.constData();
}

TEST(EndToEnd, StartUpRebuildsTheDataFolderPartOfTheList) {
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

} // namespace
