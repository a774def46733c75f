// The moments of the recent-file list's date texts, and the order "Newest First" shows them in.
#include "lists/ListDates.h"
#include "lists/RecentFileList.h"

#include <gtest/gtest.h>

TEST(ListDates, ReadsTheHubsOwnFormAndTheToolsUsFormAndNothingElse)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    const QDateTime when(QDate(2026, 3, 14), QTime(15, 9, 26));
    const struct {
        QLocale locale;
        QString text;
        QDateTime moment; // invalid: no moment
    } cases[] = {
        {QLocale::c(), QStringLiteral("3/14/2026 3:09:26 PM"), when},
        {german, QStringLiteral("3/14/2026 3:09:26 PM"), when}, // the tools' form in any locale
        {QLocale(QLocale::English, QLocale::UnitedStates), QStringLiteral("12/31/2025 11:59:59 PM"),
         QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59))},
        {QLocale::c(), QStringLiteral("yesterday"), {}},
        {QLocale::c(), QStringLiteral("13/14/2026 3:09:26 PM"), {}},
        {QLocale::c(), QString(), {}},
    };
    for (const auto& c : cases) {
        const auto got = momentOfListDate(c.text, c.locale);
        EXPECT_EQ(got.value_or(QDateTime()), c.moment) << c.text.toStdString();
    }
    // Whatever the locale, the hub reads back what it writes, to the second.
    for (const QLocale& locale :
         {QLocale::c(), german, QLocale(QLocale::English, QLocale::UnitedStates)}) {
        QLocale::setDefault(locale);
        EXPECT_EQ(momentOfListDate(listDateText(when), locale).value_or(QDateTime()), when)
            << listDateText(when).toStdString();
    }
    QLocale::setDefault(QLocale::c());
}

TEST(ListDates, NewestFirstPutsTextsWithoutAMomentLastInTextOrder)
{
    const std::vector<QString> texts{QStringLiteral("9/30/2026 8:00:00 AM"),
                                     QStringLiteral("unknown"),
                                     QStringLiteral("3/14/2026 3:09:26 PM"),
                                     QStringLiteral("12/31/2025 11:59:59 PM"),
                                     QStringLiteral("Copied"),
                                     QStringLiteral("10/1/2026 7:00:00 AM")};
    EXPECT_EQ(newestFirst(texts, QLocale::c()), (std::vector<int>{5, 0, 2, 3, 4, 1}));
}
