// What the command line asks of the hub: `keldara FILE...` and `--new KIND`, from this start or
// handed over by a later one with its activation token.
#include "app/DesktopRequests.h"
#include "platform/InstanceChannel.h"
#include "platform/WindowActivation.h"
#include "setup/StartArguments.h"
#include "support/FakeHub.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThread>

void PrintTo(const HandOver::Item& item, std::ostream* out)
{
    *out << char(item.what) << ':' << item.text.toStdString();
}

namespace {

using What = HandOver::What;

TEST(StartArguments, FilesAndKindsInTheirOrder)
{
    const QString here = QStringLiteral("/home/ana/plots");
    const struct {
        QStringList args;
        StartArguments::Action action;
        QList<HandOver::Item> items;
    } cases[] = {
        {{}, StartArguments::Action::Start, {}},
        {{QStringLiteral("a b.fpl"), QStringLiteral("/srv/x.PLI"), QStringLiteral("../c.crn")},
         StartArguments::Action::Start,
         {{What::File, QStringLiteral("/home/ana/plots/a b.fpl")},
          {What::File, QStringLiteral("/srv/x.PLI")},
          {What::File, QStringLiteral("/home/ana/c.crn")}}},
        {{QStringLiteral("--new"), QStringLiteral("crn"), QStringLiteral("--new=Phs"),
          QStringLiteral("file:///srv/d%20e.fpl")},
         StartArguments::Action::Start,
         {{What::New, QStringLiteral("CRN")},
          {What::New, QStringLiteral("PHS")},
          {What::File, QStringLiteral("/srv/d e.fpl")}}},
        {{QStringLiteral("--"), QStringLiteral("--new")},
         StartArguments::Action::Start,
         {{What::File, QStringLiteral("/home/ana/plots/--new")}}},
        {{QStringLiteral("--new"), QStringLiteral("xyz")}, StartArguments::Action::Wrong, {}},
        {{QStringLiteral("--new")}, StartArguments::Action::Wrong, {}},
        {{QStringLiteral("-x"), QStringLiteral("a.fpl")}, StartArguments::Action::Wrong, {}},
        {{QStringLiteral("a.fpl"), QStringLiteral("--help")}, StartArguments::Action::Help, {}},
        // What the desktop's search hands over: a shortcut file and a link, by name.
        {{QStringLiteral("--tool"), QStringLiteral("ShortCuts/Plot Pictures.lnk"),
          QStringLiteral("--link"), QStringLiteral("--fire weather")},
         StartArguments::Action::Start,
         {{What::Tool, QStringLiteral("/home/ana/plots/ShortCuts/Plot Pictures.lnk")},
          {What::Link, QStringLiteral("--fire weather")}}},
        {{QStringLiteral("--link")}, StartArguments::Action::Wrong, {}},
    };
    for (const auto& c : cases) {
        const StartArguments a = parseStartArguments(c.args, here);
        EXPECT_EQ(a.action, c.action) << c.args.join(QLatin1Char(' '));
        EXPECT_EQ(a.items, c.items) << c.args.join(QLatin1Char(' '));
    }
}

TEST(WindowActivation, AWaylandTokenIsThereWhenTheWindowAsksAndGoneAfter)
{
    QWidget window;
    qunsetenv("XDG_ACTIVATION_TOKEN");
    for (const char* platform : {"wayland", "offscreen"}) {
        QByteArray seen = "not asked";
        activateWithToken(window, "token-1", QString::fromLatin1(platform),
                          [&] { seen = qgetenv("XDG_ACTIVATION_TOKEN"); });
        EXPECT_EQ(seen, platform[0] == 'w' ? QByteArray("token-1") : QByteArray()) << platform;
        EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN")) << platform;
    }
    EXPECT_EQ(startupIdTime("gnome-shell-1234-host-keldara-3_TIME98765"), 98765u);
    EXPECT_EQ(startupIdTime("no time here"), 0u);
}

struct Requests : ::testing::Test, FakeHub {
    struct Activation {
        QWidget* window;
        QByteArray token;
    };
    QList<Activation> activations;
    std::unique_ptr<frmQEL> window = makeWindow();
    DesktopRequests requests{*window, [this](QWidget& w, const QByteArray& token) {
                                 activations.append({&w, token});
                             }};
    const QByteArray list = records::encode(
        {QStringLiteral("fpl"), QStringLiteral("/x/y.fpl"), QStringLiteral("1/1/2026 1:00:00 AM")});

    void SetUp() override { app.write(QStringLiteral("QELFileList.txt"), list); }
    QString data(const QString& name) const { return app.file(QStringLiteral("data/") + name); }
    QStringList started() const
    {
        QStringList s;
        for (const FakeLauncher::Start& start : launcher.starts)
            s.append(start.program.mid(app.path().size() + 1) + QLatin1Char(' ') +
                     QString(start.arguments).replace(app.path(), QStringLiteral("<app>")));
        s.sort();
        return s;
    }
    QStringList shown() const
    {
        QStringList texts;
        for (const FakePrompter::Message& m : prompter.messages)
            texts.append(QString(m.text).replace(app.path(), QStringLiteral("<app>")));
        texts.sort();
        return texts;
    }
};

TEST_F(Requests, FilesOpenAsBrowseOpensThemOnceTheMainWindowShows)
{
    app.write(QStringLiteral("data/plot 1.fpl"), "x");
    app.write(QStringLiteral("data/B.PHS"), "x");
    app.write(QStringLiteral("data/notes.txt"), "x");
    app.mkdir(QStringLiteral("data/folder.pli"));
    requests.take({{What::File, data(QStringLiteral("plot 1.fpl"))},
                   {What::File, data(QStringLiteral("B.PHS"))},
                   {What::File, data(QStringLiteral("gone.crn"))},
                   {What::File, data(QStringLiteral("folder.pli"))},
                   {What::File, data(QStringLiteral("notes.txt"))},
                   {What::New, QStringLiteral("phs")}});
    ASSERT_TRUE(settle());
    EXPECT_TRUE(launcher.starts.isEmpty()); // not before the window shows
    EXPECT_TRUE(prompter.messages.isEmpty());

    window->show();
    ASSERT_TRUE(settle());
    EXPECT_EQ(started(), (QStringList{QStringLiteral("ltpc.exe PHS"),
                                      QStringLiteral("ltpc.exe phs <app>/data/B.PHS"),
                                      QStringLiteral("prv.exe <app>/data/plot?1.fpl")}));
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("File does not exist: <app>/data/gone.crn"),
                                    QStringLiteral("The file can not be opened"),
                                    QStringLiteral("The file can not be opened")}));
    EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")), list); // as with Browse
    EXPECT_TRUE(activations.isEmpty());
}

// Each file starts a program: a command line of many is asked about first, once.
TEST_F(Requests, MoreThanFiveFilesOnOneCommandLineAreAskedAboutOnce)
{
    for (int i = 0; i < 6; ++i)
        app.write(QStringLiteral("data/p%1.fpl").arg(i), "x");
    const auto files = [this](int n, bool withKind = false) {
        QList<HandOver::Item> items;
        for (int i = 0; i < n; ++i)
            items.append({What::File, data(QStringLiteral("p%1.fpl").arg(i))});
        if (withKind)
            items.append({What::New, QStringLiteral("PLI")});
        return items;
    };
    const struct {
        const char* what;
        QList<QList<HandOver::Item>> commandLines;
        std::deque<MsgAnswer> answers;
        int questions;
        qsizetype starts;
    } cases[] = {
        {"five files", {files(5)}, {}, 0, 5},
        {"six, Yes", {files(6)}, {MsgAnswer::Yes}, 1, 6},
        {"six and a kind, No", {files(6, true)}, {MsgAnswer::No}, 1, 1},
        {"two hand-overs of six", {files(6), files(6)}, {MsgAnswer::Yes, MsgAnswer::No}, 2, 6},
    };
    window->show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.messages.clear();
        prompter.answers = c.answers;
        launcher.starts.clear();
        for (const QList<HandOver::Item>& items : c.commandLines)
            requests.received({items, {}}, *window);
        ASSERT_TRUE(settle());
        EXPECT_EQ(launcher.starts.size(), c.starts);
        ASSERT_EQ(prompter.messages.size(), c.questions);
        for (const FakePrompter::Message& m : prompter.messages) {
            EXPECT_EQ(m.text, QStringLiteral("Open 6 files? Each one starts its companion tool."));
            EXPECT_EQ(m.title, QStringLiteral("Keldara"));
            EXPECT_EQ(m.buttons, MsgButtons::YesNo);
            EXPECT_EQ(m.icon, MsgIcon::Exclamation);
        }
    }
}

TEST_F(Requests, ALaterStartsRequestComesWithItsTokenOverTheChannel)
{
    app.write(QStringLiteral("data/plot.crn"), "x");
    window->show();
    const QString path = app.file(QStringLiteral("channel"));
    InstanceChannel channel(path);
    ASSERT_TRUE(channel.listen([&](const HandOver& h) { requests.received(h, *window); }));

    const HandOver later{{{What::File, data(QStringLiteral("plot.crn"))}}, "xdg-token-7"};
    std::atomic<bool> taken = false;
    std::unique_ptr<QThread> start(
        QThread::create([&] { taken = InstanceChannel::handOver(path, later); }));
    start->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !launcher.starts.isEmpty(); }, 5000));
    start->wait();
    EXPECT_TRUE(taken);
    ASSERT_EQ(activations.size(), 1);
    EXPECT_EQ(activations.first().window, window.get());
    EXPECT_EQ(activations.first().token, QByteArray("xdg-token-7"));
    EXPECT_EQ(started(), QStringList{QStringLiteral("cnl.exe <app>/data/plot.crn")});
}

} // namespace
