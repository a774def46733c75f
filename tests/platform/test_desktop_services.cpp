// The desktop's recently-used list (read back with GLib, as the desktop's programs read it) and
// the file manager on a session bus of the test's own.
#include <gio/gio.h> // before Qt, whose keyword macros would change it

#include "platform/linux/DBusFileManager.h"
#include "platform/linux/GLibRecentDocuments.h"
#include "support/InChild.h"
#include "support/Settle.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <thread>
#include <vector>

#include <sys/stat.h>

namespace {

const RecentDocuments::Document kPlot{
    QStringLiteral("/srv/crew a/plot 7.fpl"), QStringLiteral("application/x-keldara-fuel-profile"),
    QStringLiteral("Plot Pictures"), QStringLiteral("/opt/k/prv.exe /srv/crew?a/plot?7%.fpl")};

// The list as the desktop reads it: per entry, its address, type and programs with their
// command lines and counts.
QStringList readBack(const QString& path)
{
    GBookmarkFile* list = g_bookmark_file_new();
    QStringList entries;
    if (g_bookmark_file_load_from_file(list, QFile::encodeName(path).constData(), nullptr)) {
        gsize n = 0;
        gchar** uris = g_bookmark_file_get_uris(list, &n);
        for (gsize i = 0; i < n; ++i) {
            gchar* type = g_bookmark_file_get_mime_type(list, uris[i], nullptr);
            QString entry = QString::fromUtf8(uris[i]) + QLatin1Char(' ') +
                            QString::fromUtf8(type ? type : "?");
            g_free(type);
            gchar** apps = g_bookmark_file_get_applications(list, uris[i], nullptr, nullptr);
            for (gchar** a = apps; a && *a; ++a) {
                gchar* exec = nullptr;
                guint count = 0;
                g_bookmark_file_get_application_info(list, uris[i], *a, &exec, &count, nullptr,
                                                     nullptr);
                // As a desktop reads it: the command line itself.
                entry += QStringLiteral(" [%1: %2 x%3]")
                             .arg(QString::fromUtf8(*a), QString::fromUtf8(exec))
                             .arg(count);
                g_free(exec);
            }
            g_strfreev(apps);
            entries.append(entry);
        }
        g_strfreev(uris);
    }
    g_bookmark_file_free(list);
    return entries;
}

TEST(RecentDocuments, EntriesAreAddedBesideOthersAndCounted)
{
    TempAppFolder home;
    const QString path = home.file(QStringLiteral("new/share/recently-used.xbel"));
    GLibRecentDocuments recent(path, [] { return true; });
    ASSERT_TRUE(recent.add(kPlot).ok);
    ASSERT_TRUE(recent.add(kPlot).ok);
    RecentDocuments::Document other = kPlot;
    other.path = QStringLiteral("/srv/b.crn");
    other.application = QStringLiteral("Canopy Load");
    ASSERT_TRUE(recent.add(other).ok);

    EXPECT_EQ(
        readBack(path).join(QLatin1Char('\n')).toStdString(),
        (QStringList{QStringLiteral("file:///srv/crew%20a/plot%207.fpl application/"
                                    "x-keldara-fuel-profile [Plot Pictures: /opt/k/prv.exe "
                                    "/srv/crew?a/plot?7%.fpl x2]"),
                     QStringLiteral("file:///srv/b.crn application/x-keldara-fuel-profile "
                                    "[Canopy Load: /opt/k/prv.exe /srv/crew?a/plot?7%.fpl x1]")})
            .join(QLatin1Char('\n'))
            .toStdString());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(RecentDocuments, StartsAtOnceLoseNoEntry)
{
    TempAppFolder home;
    const QString path = home.file(QStringLiteral("recently-used.xbel"));
    GLibRecentDocuments recent(path, [] { return true; });
    std::vector<std::thread> starts;
    for (int i = 0; i < 8; ++i) {
        starts.emplace_back([&recent, i] {
            RecentDocuments::Document d = kPlot;
            d.path = QStringLiteral("/srv/plot%1.fpl").arg(i);
            recent.add(d);
        });
    }
    for (std::thread& t : starts)
        t.join();
    EXPECT_EQ(readBack(path).size(), 8);
}

TEST(RecentDocuments, ADamagedOrUnwritableListIsLeftAsItIs)
{
    TempAppFolder home;
    const QByteArray damaged = "<?xml version=\"1.0\"?>\n<xbel version=\"1.0\"><bookmark href=";
    home.write(QStringLiteral("damaged.xbel"), damaged);
    home.mkdir(QStringLiteral("folder.xbel"));
    home.write(QStringLiteral("file"), "x");
    for (const char* name : {"damaged.xbel", "folder.xbel", "file/recently-used.xbel"}) {
        GLibRecentDocuments recent(home.file(QString::fromLatin1(name)), [] { return true; });
        EXPECT_FALSE(recent.add(kPlot).ok) << name;
    }
    EXPECT_EQ(home.read(QStringLiteral("damaged.xbel")), damaged);

    GLibRecentDocuments forgetful(home.file(QStringLiteral("none.xbel")), [] { return false; });
    EXPECT_TRUE(forgetful.add(kPlot).ok);
    EXPECT_FALSE(home.exists(QStringLiteral("none.xbel")));
}

TEST(RecentDocuments, TheDesktopsPrivacySettingIsHeard)
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.privacy", TRUE)
               : nullptr;
    if (!schema)
        GTEST_SKIP()
            << "the desktop's privacy settings are not installed (gsettings-desktop-schemas)";
    g_settings_schema_unref(schema);
    TempAppFolder config;
    for (const bool remember : {true, false}) {
        config.write(QStringLiteral("glib-2.0/settings/keyfile"),
                     QByteArray("[org/gnome/desktop/privacy]\nremember-recent-files=") +
                         (remember ? "true" : "false") + '\n');
        // Each setting in a process of its own: GLib reads its settings store once.
        const int code = inChild([&] {
            qputenv("GSETTINGS_BACKEND", "keyfile");
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
            return GLibRecentDocuments::desktopRemembersRecentFiles() ? 1 : 0;
        });
        EXPECT_EQ(code, remember ? 1 : 0);
    }
}

// A session bus of the test's own, which knows of no service it could start.
struct PrivateBus : ::testing::Test {
    TempAppFolder folder;
    QProcess daemon;
    QString address;

    void SetUp() override
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (program.isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed";
        folder.write(QStringLiteral("bus.conf"),
                     "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                     "<auth>EXTERNAL</auth><policy context=\"default\">"
                     "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                     "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>");
        daemon.start(program,
                     {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                      QStringLiteral("--config-file=") + folder.file(QStringLiteral("bus.conf"))});
        ASSERT_TRUE(daemon.waitForReadyRead(5000));
        address = QString::fromUtf8(daemon.readLine().trimmed());
    }
    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
        QDBusConnection::disconnectFromBus(QStringLiteral("file manager"));
        daemon.kill();
        daemon.waitForFinished();
    }
    QDBusConnection connect(const QString& name)
    {
        return QDBusConnection::connectToBus(address, name);
    }
};

// Owns org.freedesktop.FileManager1 and records each ShowItems; answers it, or never.
class FakeFileManager1 : public QDBusVirtualObject {
public:
    bool answers = true;
    QList<QVariantList> calls;

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override
    {
        if (message.member() != QLatin1String("ShowItems"))
            return false;
        calls.append(message.arguments());
        if (answers)
            bus.send(message.createReply());
        return true;
    }
    QString introspect(const QString&) const override { return {}; }
};

TEST_F(PrivateBus, ShowItemsReachesTheFileManagerOrFailsInTime)
{
    QDBusConnection program = connect(QStringLiteral("program"));
    ASSERT_TRUE(program.isConnected());
    DBusFileManager files("startup-token-1", program, 400);
    std::optional<bool> answer;
    const auto ask = [&] {
        answer.reset();
        QElapsedTimer clock;
        clock.start();
        files.showItem(QStringLiteral("/srv/crew a/plot#1.fpl"),
                       [&](bool shown) { answer = shown; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 5000));
        return clock.elapsed();
    };
    // Nobody owns the name and nothing can start for it: the answer comes at once.
    EXPECT_LT(ask(), 300);
    EXPECT_EQ(answer, false);

    FakeFileManager1 fake;
    QDBusConnection manager = connect(QStringLiteral("file manager"));
    ASSERT_TRUE(
        manager.registerVirtualObject(QStringLiteral("/org/freedesktop/FileManager1"), &fake));
    ASSERT_TRUE(manager.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    ask();
    EXPECT_EQ(answer, true);
    ASSERT_EQ(fake.calls.size(), 1);
    EXPECT_EQ(fake.calls[0],
              (QVariantList{QStringList{QStringLiteral("file:///srv/crew%20a/plot%231.fpl")},
                            QStringLiteral("startup-token-1")}));

    fake.answers = false; // a file manager that hangs is given up on
    EXPECT_GE(ask(), 350);
    EXPECT_EQ(answer, false);
    manager.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
}

} // namespace
