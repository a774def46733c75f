#include "platform/qt/QtPrompter.h"

#include <gtest/gtest.h>

#include <QStringList>

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
