// The browser and the file manager as GIO finds and starts them over private XDG folders: which
// program is taken, what it is started with, and the two ways of failing. GIO reads the XDG
// folders once a process, so each row runs in a child of its own that has not used GIO before.
#include "platform/linux/XdgBrowserFinder.h"
#include "support/InChild.h"
#include "support/Settle.h"
#include "support/XdgSandbox.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

namespace {

const QString kUrl = QStringLiteral("https://example.org/a  page?q=\"1\";$(id)&r=%u %s");

struct Outcome {
    QString found;     // "none", "started", or "failed: <the reason>"
    QStringList words; // what the started program was given: the activation token, then argv
};

struct BrowserLookup : ::testing::Test {
    XdgSandbox box;
    const QString record = box.path("record");

    BrowserLookup()
    {
        // Folders inherit from text/plain only where the MIME database says so.
        QFile::link(QStringLiteral("/usr/share/mime"), box.path("sysdata/mime"));
        box.env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=") + box.path("no-bus"));
        // Records the activation token and its arguments, each ended by a zero byte.
        box.program(QStringLiteral("rec"), "PATH=/bin:/usr/bin\nprintf '%s\\0' "
                                           "\"$XDG_ACTIVATION_TOKEN\" \"$@\" > '" +
                                               record.toUtf8() + ".tmp' && mv '" + record.toUtf8() +
                                               ".tmp' '" + record.toUtf8() + "'\n");
    }
    // An application that records, named by its first argument.
    void app(const char* id, const QByteArray& args, const QByteArray& keys = {}) const
    {
        box.application(QLatin1String(id) + QStringLiteral(".desktop"),
                        "Exec=" + box.path("bin/rec").toUtf8() + ' ' + id + ' ' + args + '\n' +
                            keys);
    }
    void defaults(const QByteArray& lines) const
    {
        box.write(QStringLiteral("config/mimeapps.list"), "[Default Applications]\n" + lines);
    }

    // Opens `target` (a folder when `folder`) in a child whose environment is the sandbox's.
    Outcome open(const QString& target, bool folder = false) const
    {
        QFile::remove(record);
        const QString said = box.path("outcome");
        inChild([&] {
            for (const QString& name : box.env.keys())
                qputenv(name.toLocal8Bit().constData(), box.env.value(name).toLocal8Bit());
            XdgBrowserFinder finder("token-1");
            const std::optional<FileResult> r =
                folder ? finder.openFolder(target) : finder.openPage(target);
            QFile f(said);
            if (!f.open(QIODevice::WriteOnly))
                return 1;
            f.write(!r ? "none" : r->ok ? "started" : "failed: " + r->errorText.toUtf8());
            return 0;
        });
        QFile f(said);
        Outcome out{f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString(), {}};
        if (out.found != QLatin1String("started"))
            return out;
        runEventsUntil([&] { return QFileInfo::exists(record); });
        QFile r(record);
        if (r.open(QIODevice::ReadOnly)) {
            for (const QByteArray& w : r.readAll().split('\0'))
                out.words.append(QString::fromUtf8(w));
            out.words.removeLast(); // after the last terminator
        }
        return out;
    }
};

TEST_F(BrowserLookup, WhichProgramOpensThePage)
{
    box.program(QStringLiteral("x-www-browser"),
                "exec \"" + box.path("bin/rec").toUtf8() + "\" alternative \"$@\"\n");
    app("https", "%u");
    app("http", "--new %U");
    app("html", "%u", "MimeType=text/html;");
    app("files", "%F", "MimeType=text/html;");
    app("editor", "%U", "MimeType=text/plain;");
    const QString started = QStringLiteral("started");
    const auto words = [](std::initializer_list<QString> w) {
        return QStringList{QStringLiteral("token-1")} + QStringList(w);
    };
    const QString https = QStringLiteral("https"), html = QStringLiteral("html");
    // Programs started without GIO are given no token.
    const QStringList alternative{QString(), QStringLiteral("alternative"), kUrl};
    struct Row {
        const char* browser; // $BROWSER, or none
        QByteArray defaults; // the user's mimeapps.list
        QByteArray cache;    // the system's mimeinfo.cache
        QString url;
        Outcome expected;
    };
    const Row rows[] = {
        // Debian's alternative when nothing is configured; nothing at all without it.
        {nullptr, {}, {}, kUrl, {started, alternative}},
        // https before http before HTML, whatever the address's scheme; the address unchanged.
        {nullptr,
         "text/html=html.desktop\nx-scheme-handler/http=http.desktop\n"
         "x-scheme-handler/https=https.desktop\n",
         {},
         QStringLiteral("ftp://h/x"),
         {started, words({https, QStringLiteral("ftp://h/x")})}},
        {nullptr,
         "text/html=html.desktop\nx-scheme-handler/http=http.desktop\n",
         {},
         kUrl,
         {started, words({QStringLiteral("http"), QStringLiteral("--new"), kUrl})}},
        // An empty address is one empty argument; a file: address is no file name.
        {nullptr, "text/html=html.desktop\n", {}, QString(), {started, words({html, QString()})}},
        {nullptr,
         "text/html=html.desktop\n",
         {},
         QStringLiteral("file:///srv/a%20b.htm?x=1"),
         {started, words({html, QStringLiteral("file:///srv/a%20b.htm?x=1")})}},
        // A program that takes files only takes no address; an editor of plain text is no
        // browser, although HTML is text.
        {nullptr,
         "x-scheme-handler/https=files.desktop\n",
         "text/html=files.desktop;\n",
         kUrl,
         {started, alternative}},
        {nullptr,
         "text/plain=editor.desktop\n",
         "text/plain=editor.desktop;\n",
         kUrl,
         {started, alternative}},
        // What the installed applications claim when no default is chosen.
        {nullptr, {}, "text/html=html.desktop;\n", kUrl, {started, words({html, kUrl})}},
        // $BROWSER first: its first installed command, "%s" the address, else the address last.
        {"missing:rec --a\\ b '--u=%s' 100%%",
         "x-scheme-handler/https=https.desktop\n",
         {},
         kUrl,
         {started,
          {QString(), QStringLiteral("--a b"), QStringLiteral("--u=") + kUrl,
           QStringLiteral("100%")}}},
        {"\"rec\" x", {}, {}, kUrl, {started, {QString(), QStringLiteral("x"), kUrl}}},
        {"missing:also-missing",
         "x-scheme-handler/https=https.desktop\n",
         {},
         kUrl,
         {started, words({https, kUrl})}},
    };
    for (const Row& row : rows) {
        box.env.remove(QStringLiteral("BROWSER"));
        if (row.browser)
            box.env.insert(QStringLiteral("BROWSER"), QString::fromUtf8(row.browser));
        defaults(row.defaults);
        box.write(QStringLiteral("sysdata/applications/mimeinfo.cache"),
                  "[MIME Cache]\n" + row.cache);
        const Outcome got = open(row.url);
        EXPECT_EQ(got.found, row.expected.found) << row.defaults.constData();
        EXPECT_EQ(got.words, row.expected.words) << row.defaults.constData();
    }
    QFile::remove(box.path("bin/x-www-browser"));
    defaults({});
    EXPECT_EQ(open(kUrl).found, QStringLiteral("none"));
}

TEST_F(BrowserLookup, ABrowserThatWouldNotStartSaysWhy)
{
    app("bad", "%u", "Path=/nowhere");
    defaults("x-scheme-handler/https=bad.desktop\n");
    const Outcome got = open(kUrl);
    EXPECT_TRUE(got.found.startsWith(QStringLiteral("failed: "))) << got.found;
    EXPECT_TRUE(got.found.contains(QStringLiteral("/nowhere"))) << got.found;
    box.write(QStringLiteral("bin/broken"), "#!/nowhere/interpreter\n", QFile::ExeOwner);
    box.env.insert(QStringLiteral("BROWSER"), QStringLiteral("broken"));
    EXPECT_EQ(open(kUrl).found, QStringLiteral("failed: No such file or directory"));
}

TEST_F(BrowserLookup, FileManagerTakesTheFolderAsOneArgument)
{
    const QString folder = box.path("my folder");
    QDir().mkpath(folder);
    app("fm", "--open %U");
    app("https", "%u");
    defaults("x-scheme-handler/https=https.desktop\n");
    EXPECT_EQ(open(folder, true).found, QStringLiteral("none")); // a browser is no file manager
    defaults("inode/directory=fm.desktop\n");
    const Outcome got = open(folder + QLatin1Char('/'), true);
    EXPECT_EQ(got.words, (QStringList{QStringLiteral("token-1"), QStringLiteral("fm"),
                                      QStringLiteral("--open"), folder}));
}

} // namespace
