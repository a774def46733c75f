#include "platform/QtPrompter.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QStringList>
#include <QTimer>

#include <functional>

// Qt's file dialog takes the patterns between the last parentheses and splits them at blanks
// only; "*.exe;*.hlp" as one pattern would show no file at all.
TEST(QtPrompter, FilterPatternsReachTheDialogAsItsOwnPatternList)
{
    EXPECT_EQ(
        QtPrompter::toNameFilters(QStringLiteral("Files (.exe,.hlp)|*.exe;*.hlp|All files|*")),
        (QStringList{QStringLiteral("Files (.exe,.hlp) (*.exe *.hlp)"),
                     QStringLiteral("All files (*)")}));
    EXPECT_EQ(QtPrompter::toNameFilters(QStringLiteral("Canopy Load(*.crn)|*.crn")),
              QStringList{QStringLiteral("Canopy Load(*.crn)")});
}

// What a screen reader announces of a box: a name even where the title is blank, and what its
// icon means, for those who cannot see it.
TEST(QtPrompter, BoxesAreNamedAndTheirIconsToldToScreenReaders)
{
    struct Restore {
        QString name = QCoreApplication::applicationName();
        ~Restore() { QCoreApplication::setApplicationName(name); }
    } restore;
    QCoreApplication::setApplicationName(QStringLiteral("Keldara"));
    QtPrompter prompter;
    QString name, icon;
    const auto readThenClose = [&] {
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            name = QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name);
            const auto* picture = box->findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"));
            icon = picture ? picture->accessibleName() : QString();
            box->close();
        });
    };
    readThenClose();
    prompter.message(QStringLiteral("Exit Keldara?"), QString(), MsgButtons::YesNo,
                     MsgIcon::Question);
    EXPECT_EQ(name, QStringLiteral("Keldara"));
    EXPECT_EQ(icon, QStringLiteral("Question"));
    readThenClose();
    prompter.message(QStringLiteral("Failed"), QStringLiteral("Keldara tools"), MsgButtons::Ok,
                     MsgIcon::Critical);
    EXPECT_EQ(name, QStringLiteral("Keldara tools"));
    EXPECT_EQ(icon, QStringLiteral("Error"));
    readThenClose();
    prompter.inputBox(QStringLiteral("New name"), QStringLiteral("  "), QStringLiteral(" "));
    EXPECT_EQ(name, QStringLiteral("Keldara"));
}

// The input box as the user meets it: the prompt's "\r" as a line break, the blank title kept,
// the default text offered; OK hands back what the box holds, Cancel and an emptied box nothing.
TEST(QtPrompter, InputBoxShowsPromptTitleAndDefaultAndAnswersWhatTheBoxHolds)
{
    QtPrompter prompter;
    QString label, title, offered;
    const auto answer = [&](const std::function<void(QInputDialog*)>& user) {
        QTimer::singleShot(0, [&] {
            QInputDialog* box = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* b = qobject_cast<QInputDialog*>(w); b && b->isVisible())
                    box = b;
            }
            if (!box)
                return;
            label = box->labelText();
            title = box->windowTitle();
            offered = box->textValue();
            user(box);
        });
        return prompter.inputBox(QStringLiteral("Rename file  A.FPL\rType: Fuel Profile"),
                                 QStringLiteral("  "), QStringLiteral(" "));
    };
    EXPECT_EQ(answer([](QInputDialog* box) { box->accept(); }), QStringLiteral(" "));
    EXPECT_EQ(label, QStringLiteral("Rename file  A.FPL\nType: Fuel Profile"));
    EXPECT_EQ(title, QStringLiteral("  "));
    EXPECT_EQ(offered, QStringLiteral(" "));
    EXPECT_EQ(answer([](QInputDialog* box) {
                  box->setTextValue(QStringLiteral("ridge"));
                  box->accept();
              }),
              QStringLiteral("ridge"));
    EXPECT_EQ(answer([](QInputDialog* box) {
                  box->setTextValue(QStringLiteral("ridge"));
                  box->reject();
              }),
              QString());
    EXPECT_EQ(answer([](QInputDialog* box) {
                  box->setTextValue(QString());
                  box->accept();
              }),
              QString());
}
