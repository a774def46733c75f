// The browser lookup over private XDG folders: what is found, in which order, and what is passed
// over.
#include "platform/linux/DesktopEntry.h"
#include "platform/linux/XdgBrowserFinder.h"
#include "support/XdgSandbox.h"

#include <gtest/gtest.h>

namespace {

const QString kUrl = QStringLiteral("https://example.org/a page?q=1&r=%u");

struct BrowserLookup : ::testing::Test {
    XdgSandbox box;

    std::optional<ProgramCommand> browser(const QString& url = kUrl) const
    {
        return XdgBrowserFinder(box.env).findBrowser(url);
    }
    ProgramCommand command(const char* program, QStringList args) const
    {
        return {box.path(QStringLiteral("bin/") + QLatin1String(program)), std::move(args)};
    }
    void list(const char* file, const QByteArray& content) const
    {
        box.write(QLatin1String(file), content);
    }
};

TEST(ExecLine, QuotingEscapesAndFieldCodes)
{
    const QString url = QStringLiteral("http://h/a b%f");
    const QString folder = QStringLiteral("/home/u/my files");
    struct Case {
        const char* exec;
        bool targetIsUrl;
        std::optional<QStringList> expected;
    };
    const auto L = [](std::initializer_list<QString> l) { return QStringList(l); };
    const QString icon = QStringLiteral("ic"), name = QStringLiteral("Nm"),
                  loc = QStringLiteral("/a/b.desktop");
    const Case cases[] = {
        {"br %u", true, L({QStringLiteral("br"), url})},
        {"\"/opt/my br\" --x %U", true,
         L({QStringLiteral("/opt/my br"), QStringLiteral("--x"), url})},
        {"br \"a \\\"q\\\" \\$x \\` \\\\ b\" %u", true,
         L({QStringLiteral("br"), QStringLiteral("a \"q\" $x ` \\ b"), url})},
        {"br --url=%u 100%%", true,
         L({QStringLiteral("br"), QStringLiteral("--url=") + url, QStringLiteral("100%")})},
        // Files are no place for a web address, but take a folder; the target goes in once.
        {"br %f %u", true, L({QStringLiteral("br"), url})},
        {"br %F %U", false, L({QStringLiteral("br"), folder})},
        {"br %F", true, std::nullopt},
        {"br", true, std::nullopt},
        {"br %i %c %k %u", true,
         L({QStringLiteral("br"), QStringLiteral("--icon"), icon, name, loc, url})},
        {"br %d %D %n %N %v %m %u", true, L({QStringLiteral("br"), url})},
        {"br %x %u", true, std::nullopt},
        {"br %u %", true, std::nullopt},
        {"br \"open %u", true, std::nullopt},
        {"%u", true, std::nullopt},
    };
    for (const Case& c : cases) {
        const QString target = c.targetIsUrl ? url : folder;
        EXPECT_EQ(xdg::expandExec(QLatin1String(c.exec), {target, c.targetIsUrl, icon, name, loc}),
                  c.expected)
            << c.exec;
    }
    // Without an icon %i is no argument at all; an empty address is still one argument.
    EXPECT_EQ(xdg::expandExec(QStringLiteral("br %i %u"), {QString(), true, {}, name, loc}),
              L({QStringLiteral("br"), QString()}));
    // The string escapes of the file come first: "\\\\" in the file is one backslash when quoted.
    EXPECT_EQ(xdg::expandExec(xdg::unescapeValue(QStringLiteral("br\\s\"a\\\\\\\\b\" %u")),
                              {url, true, {}, {}, {}}),
              L({QStringLiteral("br"), QStringLiteral("a\\b"), url}));
}

TEST_F(BrowserLookup, BrowserVariableComesFirstAndSkipsMissingPrograms)
{
    box.program(QStringLiteral("tool"));
    box.application(QStringLiteral("other.desktop"), "Exec=tool other %u");
    list("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/https=other.desktop\n");
    struct Case {
        const char* browser;
        ProgramCommand expected;
    };
    const Case cases[] = {
        {"missing:tool", command("tool", {kUrl})},
        {"/nowhere/tool %s:tool --new-window %s",
         command("tool", {QStringLiteral("--new-window"), kUrl})},
        {"'tool' \"--a b\" --u=%s 100%%",
         command("tool",
                 {QStringLiteral("--a b"), QStringLiteral("--u=") + kUrl, QStringLiteral("100%")})},
    };
    for (const Case& c : cases) {
        box.env.insert(QStringLiteral("BROWSER"), QLatin1String(c.browser));
        EXPECT_EQ(browser(), c.expected) << c.browser;
    }
    box.env.insert(QStringLiteral("BROWSER"), QStringLiteral("missing:also-missing"));
    EXPECT_EQ(browser(), command("tool", {QStringLiteral("other"), kUrl}));
}

TEST_F(BrowserLookup, DefaultsFollowTheListOrder)
{
    box.program(QStringLiteral("tool"));
    for (const char* app : {"sys", "user", "desk", "html"})
        box.application(QLatin1String(app) + QStringLiteral(".desktop"),
                        "Exec=tool " + QByteArray(app) + " %u");
    // The first installed entry of a default list.
    list("sysconfig/mimeapps.list",
         "[Default Applications]\nx-scheme-handler/https=gone.desktop;sys.desktop;\n");
    EXPECT_EQ(browser(), command("tool", {QStringLiteral("sys"), kUrl}));
    // The user's list beats the system's, even for a less specific type.
    list("config/mimeapps.list", "[Default Applications]\ntext/html=html.desktop\n");
    EXPECT_EQ(browser(), command("tool", {QStringLiteral("html"), kUrl}));
    // Within one list, https before http before HTML.
    list("config/mimeapps.list", "[Default Applications]\ntext/html=html.desktop\n"
                                 "X-Scheme-Handler/HTTP=user.desktop\n");
    EXPECT_EQ(browser(), command("tool", {QStringLiteral("user"), kUrl}));
    // A desktop's own list comes before the plain one of its folder, not before earlier folders.
    box.env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("Other:Desk"));
    list("sysconfig/desk-mimeapps.list",
         "[Default Applications]\nx-scheme-handler/https=desk.desktop\n");
    EXPECT_EQ(browser(), command("tool", {QStringLiteral("user"), kUrl}));
    list("config/desk-mimeapps.list",
         "[Default Applications]\nx-scheme-handler/https=desk.desktop\n");
    EXPECT_EQ(browser(), command("tool", {QStringLiteral("desk"), kUrl}));
}

TEST_F(BrowserLookup, UnusableEntriesArePassedOver)
{
    box.program(QStringLiteral("tool"));
    box.application(QStringLiteral("noexec.desktop"), "Exec=/nowhere/browser %u");
    box.application(QStringLiteral("notry.desktop"), "TryExec=not-installed\nExec=tool notry %u");
    box.application(QStringLiteral("hidden.desktop"), "Hidden=true\nExec=tool hidden %u");
    box.application(QStringLiteral("term.desktop"), "Terminal=true\nExec=tool term %u");
    box.application(QStringLiteral("files.desktop"), "Exec=tool files %F");
    box.write(QStringLiteral("sysdata/applications/link.desktop"),
              "[Desktop Entry]\nType=Link\nExec=tool link %u\n");
    // The user's hidden copy masks the system's entry of the same ID.
    box.application(QStringLiteral("masked.desktop"), "Exec=tool masked %u");
    box.application(QStringLiteral("masked.desktop"), "Hidden=true", QStringLiteral("data"));
    box.application(QStringLiteral("good.desktop"), "TryExec=tool\nExec=tool good %u");
    list("config/mimeapps.list",
         "[Default Applications]\nx-scheme-handler/https=a/../../escape.desktop;noexec.desktop;"
         "notry.desktop;hidden.desktop;term.desktop;files.desktop;link.desktop;masked.desktop;"
         "good.desktop\n");
    // An ID is a name, never a path out of the applications folders.
    box.write(QStringLiteral("data/escape.desktop"),
              "[Desktop Entry]\nType=Application\nExec=tool escape %u\n");
    EXPECT_EQ(browser(), command("tool", {QStringLiteral("good"), kUrl}));
}

TEST_F(BrowserLookup, AssociationsThenCachesThenTheDebianAlternative)
{
    box.program(QStringLiteral("tool"));
    box.program(QStringLiteral("x-www-browser"));
    EXPECT_EQ(browser(), command("x-www-browser", {kUrl}));

    // An ID with a "-" may name a file in a subfolder.
    box.application(QStringLiteral("vendor/cached.desktop"), "Exec=tool cached %u");
    box.application(QStringLiteral("removed.desktop"), "Exec=tool removed %u");
    list("sysdata/applications/mimeinfo.cache",
         "[MIME Cache]\ntext/html=removed.desktop;vendor-cached.desktop;\n");
    list("config/mimeapps.list", "[Removed Associations]\ntext/html=removed.desktop\n");
    EXPECT_EQ(browser(), command("tool", {QStringLiteral("cached"), kUrl}));

    // An added association beats the caches, unless an earlier list removed it.
    box.application(QStringLiteral("added.desktop"), "Exec=tool added %u");
    list("sysconfig/mimeapps.list", "[Added Associations]\nx-scheme-handler/http=added.desktop;\n");
    EXPECT_EQ(browser(), command("tool", {QStringLiteral("added"), kUrl}));
    list("config/mimeapps.list", "[Removed Associations]\ntext/html=removed.desktop\n"
                                 "x-scheme-handler/http=added.desktop\n");
    EXPECT_EQ(browser(), command("tool", {QStringLiteral("cached"), kUrl}));
}

TEST_F(BrowserLookup, FileManagerTakesTheFolderAsOneArgument)
{
    const QString folder = QStringLiteral("/srv/app folder");
    box.program(QStringLiteral("fm"));
    box.program(QStringLiteral("x-www-browser"));
    XdgBrowserFinder finder(box.env);
    EXPECT_EQ(finder.findFileManager(folder), std::nullopt);
    box.application(QStringLiteral("fm.desktop"), "Exec=fm --open %U");
    list("sysdata/applications/mimeinfo.cache", "[MIME Cache]\ninode/directory=fm.desktop;\n");
    EXPECT_EQ(finder.findFileManager(folder),
              (ProgramCommand{box.path("bin/fm"), {QStringLiteral("--open"), folder}}));
    // A file manager is no web browser.
    EXPECT_EQ(finder.findBrowser(kUrl), command("x-www-browser", {kUrl}));
}

} // namespace
