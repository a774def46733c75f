#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QThread>

#include <functional>

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

    RunningHub()
    {
        QFile::copy(QStringLiteral(KELDARA_EXE), app.file(QStringLiteral("keldara")));
    }
    void start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setProgram(app.file(QStringLiteral("keldara")));
        process.setWorkingDirectory(config.path()); // not the application folder on purpose
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
        return hub.setting(QStringLiteral("PhotoDir")) != QString()
               && QFileInfo(hub.app.file(QStringLiteral("ShortCuts"))).isDir();
    })) << hub.process.readAllStandardError().constData();
    EXPECT_EQ(hub.process.state(), QProcess::Running);

    EXPECT_EQ(hub.setting(QStringLiteral("Converted")), QStringLiteral("99"));
    EXPECT_EQ(hub.setting(QStringLiteral("Org")), QStringLiteral(" "));
    EXPECT_EQ(hub.setting(QStringLiteral("PhotoDir")),
              hub.app.path() + QStringLiteral("/DemoImages/"));
    const QByteArray ini = hub.config.read(QStringLiteral("Keldara/Keldara.conf"));
    EXPECT_TRUE(ini.startsWith("[General]")) << ini.constData();
}

} // namespace
