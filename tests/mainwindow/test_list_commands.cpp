// Keys, context menus and the filter reach the same handlers as the menus.
#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "support/FakeHub.h"
#include "tabs/new/NewTab.h"
#include "tabs/open/OpenTab.h"
#include "tabs/web/WebTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

namespace {

struct ListCommands : ::testing::Test, FakeHub {
    std::unique_ptr<frmQEL> window;
    void SetUp() override
    {
        app.write(QStringLiteral("data/plot 7.fpl"), "x");
        app.write(
            QStringLiteral("QELFileList.txt"),
            records::encode({QStringLiteral("fpl"), app.file(QStringLiteral("data/plot 7.fpl")),
                             QStringLiteral("d")}));
        window = makeWindow();
        window->newTab().LoadNewList();
        window->openTab().openList().LoadOpenList();
        ASSERT_TRUE(settle());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void press(QKeyCombination key)
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window.get(),
                        key.key(), key.keyboardModifiers());
    }
    QStringList menuTexts(int tab, bool onEntry)
    {
        QStringList texts;
        const auto menu = window->contextMenuFor(tab, onEntry);
        for (QAction* a : menu->actions())
            texts << (a->isSeparator() ? QStringLiteral("-")
                                       : a->text().section(QLatin1Char('\t'), 0, 0));
        return texts;
    }
};

TEST_F(ListCommands, KeysDoWhatTheirMenuItemsDoAndNothingWhenDisabled)
{
    press(Qt::CTRL | Qt::Key_1); // "New": Create, Rename and Delete are disabled
    for (Qt::Key key : {Qt::Key_Insert, Qt::Key_F2, Qt::Key_Delete})
        press(key);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(prompter.inputs.isEmpty());

    press(Qt::CTRL | Qt::Key_2);
    EXPECT_EQ(window->TabMain->CurrTab(), 1);
    window->lstQEL[1]->setSelectedRow(0);
    press(Qt::Key_F2);
    ASSERT_EQ(prompter.inputs.size(), 1);
    EXPECT_TRUE(prompter.inputs[0].prompt.startsWith(QStringLiteral("Rename file  PLOT 7.FPL")));
    press(Qt::Key_Delete);
    ASSERT_EQ(prompter.messages.size(), 1); // the question, answered No
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Are your sure you want to delete PLOT 7.FPL"));
    press(Qt::Key_Insert); // Create is not an "Open" command
    EXPECT_EQ(prompter.messages.size(), 1);

    // F5 reloads the current list from its file.
    app.write(QStringLiteral("QELFileList.txt"), QByteArray());
    press(Qt::Key_F5);
    ASSERT_TRUE(settle());
    EXPECT_EQ(window->lstQEL[1]->count(), 0);
}

TEST_F(ListCommands, FilterNarrowsEveryListAndEscapeClearsIt)
{
    press(Qt::CTRL | Qt::Key_F);
    EXPECT_EQ(QApplication::focusWidget(), window->txtFilter);
    QTest::keyClicks(window->txtFilter, QStringLiteral("crown"));
    ASSERT_EQ(window->lstQEL[0]->count(), 1);
    EXPECT_EQ(window->lstQEL[0]->text(0), QStringLiteral("New Crown Mass Inventory"));
    EXPECT_EQ(window->lstQEL[1]->count(), 0);
    window->txtFilter->setText(QStringLiteral("DATA")); // the "Open" list matches folders too
    const int shown = window->lstQEL[1]->count();
    EXPECT_GT(shown, 0);
    window->openTab().openList().LoadOpenList();
    ASSERT_TRUE(settle());
    EXPECT_EQ(window->lstQEL[1]->count(), shown);
    EXPECT_EQ(window->lstQEL[0]->count(), 0);
    // The clear button shows while there is text, and empties the field as Escape does.
    const auto* clear = window->txtFilter->findChild<QToolButton*>();
    ASSERT_TRUE(clear && clear->defaultAction());
    EXPECT_EQ(clear->accessibleName(), QStringLiteral("Clear filter"));
    EXPECT_TRUE(clear->defaultAction()->isVisible());
    clear->defaultAction()->trigger();
    EXPECT_TRUE(window->txtFilter->text().isEmpty());
    EXPECT_FALSE(clear->defaultAction()->isVisible());
    window->txtFilter->setText(QStringLiteral("DATA"));
    QTest::keyClick(window->txtFilter, Qt::Key_Escape);
    EXPECT_TRUE(window->txtFilter->text().isEmpty());
    EXPECT_EQ(window->lstQEL[0]->count(), 4);
}

TEST_F(ListCommands, ContextMenusOfferWhatEachTabAllows)
{
    using L = QStringList;
    window->TabMain->setCurrTab(0);
    EXPECT_EQ(menuTexts(0, true), L{QStringLiteral("Open")});
    EXPECT_EQ(menuTexts(0, false), L{});
    window->TabMain->setCurrTab(1);
    EXPECT_EQ(
        menuTexts(1, true),
        (L{QStringLiteral("Open"), QStringLiteral("Show in Folder"), QStringLiteral("Copy Path"),
           QStringLiteral("Remove from List"), QStringLiteral("Clean Up Missing"),
           QStringLiteral("-"), QStringLiteral("Rename File"), QStringLiteral("Delete File")}));
    EXPECT_EQ(menuTexts(1, false),
              (L{QStringLiteral("Browse ..."), QStringLiteral("Clean Up Missing")}));
    window->TabMain->setCurrTab(3);
    EXPECT_EQ(menuTexts(3, true),
              (L{QStringLiteral("Open"), QStringLiteral("Copy Address"), QStringLiteral("-"),
                 QStringLiteral("Rename Web Shortcut"), QStringLiteral("Delete Web Shortcut")}));
    EXPECT_EQ(menuTexts(3, false), L{QStringLiteral("Create Web Shortcut")});
    window->TabMain->setCurrTab(2);
    EXPECT_EQ(menuTexts(2, false), L{QStringLiteral("Create Shortcut")});

    // The menu key on a list asks for the menu of its selected entry.
    window->TabMain->setCurrTab(1);
    window->lstQEL[1]->setSelectedRow(0);
    QSignalSpy asked(window->lstQEL[1], &QelListView::contextMenu);
    QStringList shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                shown << a->text();
            menu->close();
            closer.stop();
        }
    });
    closer.start(10);
    QTest::keyClick(window->lstQEL[1]->reportView(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0][2].toBool());
    EXPECT_TRUE(shown.contains(QStringLiteral("Copy Path")));
}

// Drops of each kind do what Browse, Create and the web link dialog do; anything else is refused.
TEST_F(ListCommands, DropsOpenCreateOrFillTheDialogAndRefuseTheRest)
{
    const auto drop = [&](const QString& urlOrText) {
        QMimeData data;
        if (urlOrText.startsWith(QLatin1Char('/')))
            data.setUrls({QUrl::fromLocalFile(urlOrText)});
        else
            data.setText(urlOrText);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &dropped);
        return settle();
    };
    app.write(QStringLiteral("my data/ridge.PLI"), "x");
    app.write(QStringLiteral("notes.txt"), "x");
    app.write(QStringLiteral("tools/calc"), "x");

    window->TabMain->setCurrTab(1);
    EXPECT_FALSE(drop(app.file(QStringLiteral("notes.txt"))));
    EXPECT_FALSE(drop(QStringLiteral("https://example.org/"))); // not on this tab
    ASSERT_TRUE(drop(app.file(QStringLiteral("my data/ridge.PLI"))));
    ASSERT_EQ(launcher.starts.size(), 1);
    EXPECT_TRUE(launcher.starts[0].program.endsWith(QStringLiteral("ltpc.exe")));
    EXPECT_EQ(launcher.starts[0].arguments,
              QStringLiteral("pli ") + app.file(QStringLiteral("my?data/ridge.PLI")));

    window->TabMain->setCurrTab(2);
    ASSERT_TRUE(drop(app.file(QStringLiteral("tools/calc"))));
    EXPECT_TRUE(app.exists(QStringLiteral("ShortCuts/Shortcut to calc.lnk")));

    window->TabMain->setCurrTab(3);
    EXPECT_FALSE(drop(QStringLiteral("ftp://example.org/")));
    ASSERT_TRUE(drop(QStringLiteral("https://example.org/fuels guide")));
    ASSERT_NE(window->webTab().dialog(), nullptr);
    EXPECT_EQ(window->webTab().dialog()->cmdOK->text(), QStringLiteral("Create"));
    EXPECT_EQ(window->webTab().dialog()->txtUrl->text(),
              QStringLiteral("https://example.org/fuels guide"));
}

} // namespace
