// The "Web" tab and its dialog through the real widgets, over a real application folder, with
// scripted message boxes and a recording browser lookup.
#include "base/Columns.h"
#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "support/TabRig.h"
#include "tabs/web/frmWeb.h"
#include "tabs/web/WebTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <sys/mount.h>
#include <unistd.h>

namespace {

QByteArray line(const char* name, const char* url)
{
    return records::encode({QString::fromUtf8(name), QString::fromUtf8(url)});
}

struct WebTabTest : ::testing::Test, TabRig {
    std::unique_ptr<WebTab> tab = std::make_unique<WebTab>(*hub, list, large, small);

    WebTabTest()
        : TabRig(Tab::Web)
    {}

    QByteArray raw() const { return app.read(QStringLiteral("QELWebList.txt")); }
    void write(const QByteArray& data) const { app.write(QStringLiteral("QELWebList.txt"), data); }
    QStringList shown() const
    {
        QStringList rows;
        for (int i = 0; i < list.count(); ++i)
            rows << list.text(i) + QLatin1Char('|') + list.subItem(i, WebColumn::Url);
        return rows;
    }
    void select(const QString& name)
    {
        for (int i = 0; i < list.count(); ++i) {
            if (list.text(i) == name)
                return list.setSelectedRow(i);
        }
        FAIL() << "no entry " << name.toStdString();
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const auto& m : prompter.messages)
            texts << m.text;
        return texts;
    }
    frmWeb* dialog() const { return tab->dialog(); }
    void type(QLineEdit* box, const QString& text)
    {
        box->clear();
        QTest::keyClicks(box, text);
    }
    void click(QPushButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(settle());
    }
};

TEST_F(WebTabTest, CreateWithTheUntouchedDialogMakesTheFileAndShowsTheLink)
{
    tab->LoadWebList();
    ASSERT_TRUE(settle());
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(app.exists(QStringLiteral("QELWebList.txt")));

    tab->create();
    ASSERT_TRUE(settle());
    frmWeb* d = dialog();
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->isModal());
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Create a Web Short Cut"));
    EXPECT_EQ(d->cmdOK->text(), QStringLiteral("Create"));
    EXPECT_EQ(d->txtName->text(), QStringLiteral("New Web Short Cut"));
    EXPECT_EQ(d->txtUrl->text(), QStringLiteral("http://"));
    // Typing replaces the name at once.
    EXPECT_EQ(d->focusWidget(), d->txtName);
    EXPECT_EQ(d->txtName->selectedText(), d->txtName->text());
    click(d->cmdOK);

    EXPECT_EQ(raw(), QByteArray("\"New Web Short Cut\",\"http://\"\r\n"));
    EXPECT_FALSE(dialog());
    EXPECT_EQ(shown(), QStringList{QStringLiteral("New Web Short Cut|http://")});
    EXPECT_EQ(list.entry(0).largeIcon, QStringLiteral("Web"));
    EXPECT_EQ(list.entry(0).smallIcon, QStringLiteral("Web"));
    EXPECT_EQ(list.largeImageList(), &large);
    EXPECT_EQ(list.smallImageList(), &small);
    EXPECT_TRUE(small.contains(QStringLiteral("Web")));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(WebTabTest, DialogLayoutKeysAndCaptions)
{
    tab->create();
    ASSERT_TRUE(settle());
    frmWeb* d = dialog();
    ASSERT_TRUE(d);
    // Twips at 15 to the pixel.
    EXPECT_EQ(d->size(), QSize(466, 101));
    EXPECT_EQ(d->txtName->geometry(), QRect(45, 8, 412, 23));
    EXPECT_EQ(d->txtUrl->geometry(), QRect(46, 36, 410, 24));
    EXPECT_EQ(d->cmdOK->geometry(), QRect(392, 68, 67, 30));
    EXPECT_EQ(d->cmdCancel->geometry(), QRect(296, 68, 67, 30));
    EXPECT_EQ(d->Label1->geometry(), QRect(2, 12, 40, 19));
    EXPECT_EQ(d->Label2->geometry(), QRect(5, 41, 45, 19));
    EXPECT_EQ(d->Label1->text(), QStringLiteral("Name"));
    EXPECT_EQ(d->Label2->text(), QStringLiteral("URL"));
    EXPECT_EQ(d->cmdCancel->text(), QStringLiteral("Cancel"));

    // Tab order: name, address, OK, Cancel, and round again.
    QList<QWidget*> chain;
    QWidget* w = d->txtName;
    for (int i = 0; i < 5; ++i, w = w->nextInFocusChain()) {
        while (w->focusPolicy() == Qt::NoFocus)
            w = w->nextInFocusChain();
        chain << w;
    }
    EXPECT_EQ(chain, (QList<QWidget*>{d->txtName, d->txtUrl, d->cmdOK, d->cmdCancel, d->txtName}));

    // Neither button answers Enter or Escape, wherever the focus is.
    for (QWidget* target : {static_cast<QWidget*>(d->txtName), static_cast<QWidget*>(d->txtUrl),
                            static_cast<QWidget*>(d->cmdOK), static_cast<QWidget*>(d->cmdCancel)}) {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(target, key);
    }
    ASSERT_TRUE(dialog());
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(app.exists(QStringLiteral("QELWebList.txt")));

    // OK acts by its caption only.
    d->cmdOK->setText(QStringLiteral("OK"));
    click(d->cmdOK);
    ASSERT_TRUE(dialog());
    EXPECT_FALSE(app.exists(QStringLiteral("QELWebList.txt")));
}

TEST_F(WebTabTest, CancelStoresNothingAndTheNextDialogStartsAfresh)
{
    write(line("Maps", "http://m/"));
    tab->LoadWebList();
    ASSERT_TRUE(settle());
    select(QStringLiteral("Maps"));
    for (const bool renaming : {false, true}) {
        renaming ? tab->rename() : tab->create();
        frmWeb* d = dialog();
        ASSERT_TRUE(d);
        type(d->txtName, QStringLiteral("Typed"));
        click(d->cmdCancel);
        EXPECT_FALSE(dialog());
    }
    EXPECT_EQ(raw(), line("Maps", "http://m/"));
    tab->create();
    ASSERT_TRUE(settle());
    EXPECT_EQ(dialog()->txtName->text(), QStringLiteral("New Web Short Cut"));
    EXPECT_EQ(dialog()->windowTitle(), QStringLiteral("Create a Web Short Cut"));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(WebTabTest, RenameChangesTheSelectedLinkFromTheFileInTheListsOrder)
{
    write(line("Weather", "http://w/") + line("Fire", "http://f/") + line("maps", "http://m/"));
    tab->LoadWebList();
    ASSERT_TRUE(settle());
    // Another program adds a link after the load: a rename keeps it.
    write(raw() + line("Added", "http://a/"));
    select(QStringLiteral("Weather"));
    tab->rename();
    ASSERT_TRUE(settle());
    frmWeb* d = dialog();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Rename Web Shortcut"));
    EXPECT_EQ(d->cmdOK->text(), QStringLiteral("Rename"));
    EXPECT_EQ(d->txtName->text(), QStringLiteral("Weather"));
    EXPECT_EQ(d->txtUrl->text(), QStringLiteral("http://w/"));
    type(d->txtName, QStringLiteral("Burn, Permits"));
    type(d->txtUrl, QStringLiteral("http://b/ x"));
    click(d->cmdOK);

    EXPECT_FALSE(dialog());
    EXPECT_TRUE(prompter.messages.isEmpty());
    // Written in the order the list shows, by name without regard to case.
    EXPECT_EQ(raw(), line("Added", "http://a/") + line("Burn, Permits", "http://b/ x") +
                         line("Fire", "http://f/") + line("maps", "http://m/"));
    EXPECT_EQ(
        shown(),
        (QStringList{QStringLiteral("Added|http://a/"), QStringLiteral("Burn, Permits|http://b/ x"),
                     QStringLiteral("Fire|http://f/"), QStringLiteral("maps|http://m/")}));

    // Sorted by address, descending, the file follows that order.
    list.setSortKey(WebColumn::Url);
    list.setSortOrder(Qt::DescendingOrder);
    select(QStringLiteral("Fire"));
    tab->rename();
    ASSERT_TRUE(settle());
    click(dialog()->cmdOK);
    EXPECT_EQ(raw(), line("maps", "http://m/") + line("Fire", "http://f/") +
                         line("Burn, Permits", "http://b/ x") + line("Added", "http://a/"));
}

TEST_F(WebTabTest, RenameDialogReachedByCreateKeepsItsTextsAndCreates)
{
    write(line("Fire", "http://f/"));
    tab->LoadWebList();
    ASSERT_TRUE(settle());
    select(QStringLiteral("Fire"));
    tab->rename();
    ASSERT_TRUE(settle());
    type(dialog()->txtUrl, QStringLiteral("http://f/2"));
    tab->create();
    ASSERT_TRUE(settle());
    frmWeb* d = dialog();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Rename Web Shortcut"));
    EXPECT_EQ(d->cmdOK->text(), QStringLiteral("Create"));
    EXPECT_EQ(d->txtName->text(), QStringLiteral("Fire"));
    EXPECT_EQ(d->txtUrl->text(), QStringLiteral("http://f/2"));
    click(d->cmdOK);
    EXPECT_EQ(raw(), line("Fire", "http://f/") + line("Fire", "http://f/2"));
    EXPECT_FALSE(dialog());
}

TEST_F(WebTabTest, RenameWithNothingSelectedTellsTheUserAndCloses)
{
    write(line("Fire", "http://f/"));
    tab->LoadWebList();
    ASSERT_TRUE(settle());
    select(QStringLiteral("Fire"));
    tab->rename();
    ASSERT_TRUE(settle());
    list.setSelectedRow(-1); // the dialog does not block: the selection may go meanwhile
    type(dialog()->txtName, QStringLiteral("Other"));
    click(dialog()->cmdOK);
    EXPECT_EQ(messages(), QStringList{QStringLiteral(
                              "No web shortcut is selected on the Web tab, so none was renamed.")});
    EXPECT_EQ(raw(), line("Fire", "http://f/"));
    EXPECT_FALSE(dialog());

    // Rename with nothing selected opens no dialog at all.
    tab->rename();
    ASSERT_TRUE(settle());
    EXPECT_FALSE(dialog());
}

TEST_F(WebTabTest, DoubleQuoteIsRefusedAndTheDialogKeepsWhatWasTyped)
{
    write(line("Fire", "http://f/"));
    tab->LoadWebList();
    ASSERT_TRUE(settle());
    const QString refusal = QStringLiteral("A name or address can not contain a double quote (\") "
                                           "or a line break. Nothing was saved.");
    for (const bool renaming : {false, true}) {
        for (const bool inName : {true, false}) {
            prompter.messages.clear();
            select(QStringLiteral("Fire"));
            renaming ? tab->rename() : tab->create();
            frmWeb* d = dialog();
            ASSERT_TRUE(d);
            const QString typed = QStringLiteral("say \"hi\"");
            type(inName ? d->txtName : d->txtUrl, typed);
            click(d->cmdOK);
            EXPECT_EQ(messages(), QStringList{refusal});
            ASSERT_TRUE(dialog());
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ((inName ? d->txtName : d->txtUrl)->text(), typed);
            EXPECT_EQ(raw(), line("Fire", "http://f/"));
            click(d->cmdCancel);
        }
    }
}

TEST_F(WebTabTest, DeleteAsksAndRemovesEveryLinkOfThatName)
{
    write(line("Fire", "http://f/1") + line("fire", "http://f/2") + line("Maps", "http://m/") +
          line("Fire", "http://f/3"));
    tab->LoadWebList();
    ASSERT_TRUE(settle());
    select(QStringLiteral("Fire"));
    tab->remove(); // answered No
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Are your sure you want to delete FIRE"));
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(list.count(), 4);

    prompter.answers.push_back(MsgAnswer::Yes);
    tab->remove();
    ASSERT_TRUE(settle());
    EXPECT_EQ(raw(), line("fire", "http://f/2") + line("Maps", "http://m/"));
    EXPECT_EQ(shown(),
              (QStringList{QStringLiteral("fire|http://f/2"), QStringLiteral("Maps|http://m/")}));

    list.setSelectedRow(-1);
    tab->remove();
    ASSERT_TRUE(settle());
    EXPECT_EQ(prompter.messages.size(), 2);
}

// Undoes a read-only bind mount of a folder over itself.
struct ReadOnlyFolder {
    QByteArray path;
    bool ok = false;
    explicit ReadOnlyFolder(const QString& folder)
        : path(QFile::encodeName(folder))
    {
        ok = mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) == 0;
        if (ok && mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                        nullptr) != 0) {
            umount(path.constData());
            ok = false;
        }
    }
    ~ReadOnlyFolder()
    {
        if (ok)
            umount(path.constData());
    }
};

TEST_F(WebTabTest, DeleteAndRenameFailuresSayWhyAndChangeNothing)
{
    const QByteArray before = line("Fire", "http://f/") + line("Maps", "http://m/");
    write(before);
    tab->LoadWebList();
    ASSERT_TRUE(settle());
    prompter.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    {
        ReadOnlyFolder readOnly(app.path());
        if (!readOnly.ok)
            GTEST_SKIP() << "cannot make a read-only mount here";
        select(QStringLiteral("Fire"));
        tab->remove();
        ASSERT_TRUE(settle());
        tab->rename();
        ASSERT_TRUE(settle());
        type(dialog()->txtName, QStringLiteral("Blaze"));
        click(dialog()->cmdOK);
    }
    EXPECT_EQ(raw(), before);
    EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));
    EXPECT_EQ(list.count(), 2);
    ASSERT_TRUE(dialog()); // the typed name waits for another try
    EXPECT_EQ(dialog()->txtName->text(), QStringLiteral("Blaze"));
    click(dialog()->cmdCancel);

    // The file gone since the load.
    QFile::remove(app.file(QStringLiteral("QELWebList.txt")));
    select(QStringLiteral("Maps"));
    tab->remove();
    ASSERT_TRUE(settle());
    tab->rename();
    ASSERT_TRUE(settle());
    click(dialog()->cmdOK);
    click(dialog()->cmdCancel);
    EXPECT_FALSE(app.exists(QStringLiteral("QELWebList.txt")));
    EXPECT_EQ(
        messages().mid(1, 1),
        QStringList{QStringLiteral("The web shortcut was not deleted\r30-Read-only file system")});
    EXPECT_EQ(messages().value(2),
              QStringLiteral("Problem saving to QEL list\r30-Read-only file system"));
    EXPECT_EQ(messages().mid(4), (QStringList{QStringLiteral("The web shortcut was not deleted\r2-"
                                                             "No such file or directory"),
                                              QStringLiteral("Problem saving to QEL list\r2-No "
                                                             "such file or directory")}));
}

// Through the main window: the Edit menu by the current tab, the double-click, the browser.
// A web list reached through a link to a file that is no web list: what is not a link is said,
// the links that are stay listed, and a change makes a list of our own, leaving the target alone.
TEST_F(WebTabTest, ALinkToAnotherFileIsReportedReadAndNeverWrittenThrough)
{
    TempAppFolder elsewhere;
    const QByteArray notes = "meeting notes\r\n" + line("Maps", "http://maps");
    elsewhere.write(QStringLiteral("notes.txt"), notes);
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere.file(QStringLiteral("notes.txt"))).constData(),
                        QFile::encodeName(app.file(QStringLiteral("QELWebList.txt"))).constData()),
              0);
    tab->LoadWebList();
    ASSERT_TRUE(settle());
    EXPECT_EQ(messages(), QStringList{QStringLiteral(
                              "Problem reading Web file list\r22-Line 1 is not a web link")});
    EXPECT_EQ(shown(), QStringList{QStringLiteral("Maps|http://maps")});

    prompter.messages.clear();
    tab->AppendWebLink(QStringLiteral("Fire Lab"), QStringLiteral("https://lab"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(elsewhere.read(QStringLiteral("notes.txt")), notes);
    EXPECT_FALSE(QFileInfo(app.file(QStringLiteral("QELWebList.txt"))).isSymLink());
    EXPECT_EQ(raw(), notes + line("Fire Lab", "https://lab"));
}

struct WebTabWindow : ::testing::Test, FakeHub {};

TEST_F(WebTabWindow, MenusAndDoubleClickReachTheWebTab)
{
    app.write(QStringLiteral("QELWebList.txt"), line("Fire", "http://f/a b"));
    auto window = makeWindow();
    window->webTab().LoadWebList();
    ASSERT_TRUE(settle());
    window->TabMain->setCurrTab(3);
    QelListView* list = window->lstQEL[3];
    list->setSelectedRow(0);

    // Rename from the menu, OK pressed while another tab is current: the Web link changes.
    window->mnuRename->trigger();
    ASSERT_TRUE(settle());
    frmWeb* d = window->webTab().dialog();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->cmdOK->text(), QStringLiteral("Rename"));
    window->TabMain->setCurrTab(0);
    d->txtName->setText(QStringLiteral("Blaze"));
    QTest::mouseClick(d->cmdOK, Qt::LeftButton);
    ASSERT_TRUE(settle());
    EXPECT_EQ(app.read(QStringLiteral("QELWebList.txt")), line("Blaze", "http://f/a b"));

    // A double-click on the entry starts the browser the lookup found, the address its one
    // argument.
    window->show();
    window->TabMain->setCurrTab(3);
    list->setSelectedRow(0);
    QTreeView* view = list->reportView();
    const QPoint at = view->visualRect(view->model()->index(0, 0)).center();
    // What the system sends for a double-click: press, release, double-click, release.
    const auto doubleClick = [&] {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
    };
    doubleClick();
    ASSERT_TRUE(settle());
    EXPECT_EQ(browsers.started, QStringList{QStringLiteral("http://f/a b")});

    browsers.hasBrowser = false;
    doubleClick();
    ASSERT_TRUE(settle());
    EXPECT_EQ(browsers.started.size(), 1);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Could not find a web browser"));

    // Create from the menu on the Web tab, nothing on the New tab. The dialog comes up over the
    // main window.
    window->TabMain->setCurrTab(0);
    window->mnuCreate->trigger();
    ASSERT_TRUE(settle());
    EXPECT_FALSE(window->webTab().dialog());
    window->move(40, 30);
    window->TabMain->setCurrTab(3);
    window->mnuCreate->trigger();
    ASSERT_TRUE(settle());
    d = window->webTab().dialog();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->cmdOK->text(), QStringLiteral("Create"));
    EXPECT_LE((d->geometry().center() - window->geometry().center()).manhattanLength(), 2);
}

} // namespace
