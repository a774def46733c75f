#include "platform/qt/QtPrompter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
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
