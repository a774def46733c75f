#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>
#include <vector>

// The date text the hub writes to a recent-file list: the locale's short date, one blank, the
// time with seconds.
QString listDateText(const QDateTime& when);

// The moment a recent-file list's date text names, for the forms that are written there: the
// hub's own (the locale's short date and the time with seconds, see listDateText) and the one the
// companion tools write on Windows, the US form "3/14/2026 3:09:26 PM". Nothing else is guessed
// at: a text in neither form names no moment.
std::optional<QDateTime> momentOfListDate(const QString& text, const QLocale& locale = QLocale());

// The order "Newest First" shows texts in: the places of `texts`, newest moment first; texts
// that name no moment come last, in text order (letter case ignored), equal ones in list order.
std::vector<int> newestFirst(const std::vector<QString>& texts, const QLocale& locale = QLocale());
