// Opening web pages: the messages, the refusal of option-like addresses, and real starts of a
// recording script named by $BROWSER.
#include "actions/WebPages.h"
#include "platform/linux/XdgBrowserFinder.h"
#include "support/FakeBrowserFinder.h"
#include "support/Fakes.h"
#include "support/Settle.h"
#include "support/XdgSandbox.h"
#include "ui/HubContext.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <QUrl>

#include <optional>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct WebPages : ::testing::Test {
    FakePrompter prompter;
    FakeDriveTable drives;
    FakeBrowserFinder fake;
    PlatformServices services;
    std::optional<HubContext> hub;
    QObject alive;

    WebPages()
    {
        services.prompter = &prompter;
        services.drives = &drives;
        services.browsers = &fake;
    }
    // Opens `url` and waits for the outcome; false when it did not come.
    bool open(const QString& url)
    {
        hub.emplace(services);
        OpenWebPage(*hub, &alive, url);
        return settle();
    }
    QStringList shown() const
    {
        QStringList texts;
        for (const auto& m : prompter.messages) {
            EXPECT_EQ(m.title, QStringLiteral("Keldara"));
            EXPECT_EQ(m.buttons, MsgButtons::Ok);
            EXPECT_EQ(m.icon, MsgIcon::None);
            texts.append(m.text);
        }
        return texts;
    }
};

TEST_F(WebPages, AddressesThatLookLikeOptionsReachNoProgram)
{
    for (const char* url : {"-x", "--remote=http://h/", "  \t-", "\xc2\xa0-new-tab"}) {
        ASSERT_TRUE(open(QString::fromUtf8(url)));
        ASSERT_FALSE(shown().isEmpty());
        EXPECT_TRUE(shown().last().startsWith(QStringLiteral("Web Page not Opened\r"))) << url;
        EXPECT_TRUE(shown().last().contains(QStringLiteral("\"-\""))) << url;
    }
    EXPECT_EQ(shown().size(), 4);
    EXPECT_TRUE(fake.browserRequests.isEmpty());

    // Everything else goes through unchanged, blanks and inner dashes included.
    const QStringList passed{QStringLiteral(" http://h/a b"), QStringLiteral("http://h/-x"),
                             QString()};
    for (const QString& url : passed)
        ASSERT_TRUE(open(url));
    EXPECT_EQ(fake.started, passed);
    EXPECT_EQ(fake.onWindowThread, 0);
    EXPECT_EQ(shown().size(), 4); // the four refusals only
}

TEST_F(WebPages, NotFoundAndNotStartedAreTwoMessages)
{
    fake.hasBrowser = false;
    ASSERT_TRUE(open(QStringLiteral("http://h/")));
    EXPECT_TRUE(fake.started.isEmpty());
    fake.hasBrowser = true;
    fake.startResult = FileResult::failure(13, QStringLiteral("Permission denied"));
    ASSERT_TRUE(open(QStringLiteral("http://h/")));
    EXPECT_EQ(shown(), QStringList({QStringLiteral("Could not find a web browser"),
                                    QStringLiteral("Web Page not Opened\r13-Permission denied")}));
    // A window that has gone hears nothing.
    fake.hasBrowser = false;
    hub.emplace(services);
    {
        QObject gone;
        OpenWebPage(*hub, &gone, QStringLiteral("http://h/"));
    }
    ASSERT_TRUE(settle());
    EXPECT_EQ(shown().size(), 2);
}

// With the real finder, through $BROWSER (the lookups of GIO are the finder's own tests), and
// real starts.
struct RealBrowser : WebPages {
    XdgSandbox box;
    XdgBrowserFinder finder;
    QString record = box.path("record");
    const std::optional<QByteArray> before =
        qEnvironmentVariableIsSet("BROWSER") ? std::optional(qgetenv("BROWSER")) : std::nullopt;

    RealBrowser() { services.browsers = &finder; }
    ~RealBrowser() override { before ? qputenv("BROWSER", *before) : qunsetenv("BROWSER"); }
    void useBrowser(const QString& value) { qputenv("BROWSER", value.toLocal8Bit()); }
    // A browser that records its parent and its arguments, each ended by a zero byte.
    QString recordingBrowser()
    {
        return box.program(QStringLiteral("recorder"), "printf '%s\\0' \"$PPID\" \"$@\" > '" +
                                                           record.toUtf8() + ".tmp' && mv '" +
                                                           record.toUtf8() + ".tmp' '" +
                                                           record.toUtf8() + "'\n");
    }
    // The recorder's arguments once it has run; its parent's process ID goes to `parent`.
    QStringList recorded(qint64* parent = nullptr)
    {
        QElapsedTimer t;
        t.start();
        while (!QFileInfo::exists(record) && t.elapsed() < 10000)
            QThread::msleep(5);
        QFile f(record);
        if (!f.open(QIODevice::ReadOnly))
            return {QStringLiteral("<nothing recorded>")};
        QList<QByteArray> parts = f.readAll().split('\0');
        parts.removeLast(); // after the last terminator
        f.remove();
        QStringList args;
        for (const QByteArray& p : parts)
            args.append(QString::fromUtf8(p));
        const QString first = args.isEmpty() ? QString() : args.takeFirst();
        if (parent)
            *parent = first.toLongLong();
        return args;
    }
};

TEST_F(RealBrowser, BrowserThatCannotStart)
{
    // Found (an executable file) but its interpreter is missing: the exec fails.
    box.write(QStringLiteral("bin/broken"), "#!/nowhere/interpreter\n", QFile::ExeOwner);
    useBrowser(box.path("bin/broken"));
    ASSERT_TRUE(open(QStringLiteral("http://h/")));
    EXPECT_EQ(shown(),
              QStringList{QStringLiteral("Web Page not Opened\r2-No such file or directory")});
}

TEST_F(RealBrowser, TheAddressArrivesAsExactlyOneArgumentAtADetachedBrowser)
{
    useBrowser(recordingBrowser());
    const QString url = QStringLiteral("http://h/a  b c?x=\"1\" ;$(id) %s");
    ASSERT_TRUE(open(url));
    qint64 parent = 0;
    EXPECT_EQ(recorded(&parent), QStringList{url});
    // Started through an intermediate process that is gone: the browser is no child of ours, and
    // no zombie is left to reap.
    EXPECT_NE(parent, qint64(::getpid()));
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    ASSERT_TRUE(open(QString()));
    EXPECT_EQ(recorded(), QStringList{QString()});

    // The support page, as Help > Web Based Support opens it.
    ASSERT_TRUE(open(supportPageUrl()));
    EXPECT_EQ(recorded(), QStringList{supportPageUrl()});
    const QUrl support(supportPageUrl());
    EXPECT_EQ(support.scheme(), QStringLiteral("http"));
    EXPECT_FALSE(support.host().isEmpty());
    EXPECT_EQ(support.path(), QStringLiteral("/keldara/qelsupport.htm"));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

} // namespace
