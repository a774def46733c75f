#include "lists/ListDates.h"

#include "base/TextOrder.h"

#include <algorithm>

namespace {

std::optional<QDateTime> parsed(const QLocale& locale, const QString& text, QString format)
{
    QDateTime when = locale.toDateTime(text.trimmed(), format);
    if (!when.isValid())
        return std::nullopt;
    // A two-digit year is read as of the 1900s; the lists are younger than that.
    if (!format.contains(QStringLiteral("yyyy")) && when.date().year() < 1970)
        when = when.addYears(100);
    return when;
}

} // namespace

QString listDateText(const QDateTime& when)
{
    const QLocale locale;
    // The long time format carries the seconds; the time zone it may add is not wanted here.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}

std::optional<QDateTime> momentOfListDate(const QString& text, const QLocale& locale)
{
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    if (auto own = parsed(locale, text,
                          locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') +
                              timeFormat.trimmed()))
        return own;
    static const QLocale us(QLocale::English, QLocale::UnitedStates);
    return parsed(us, text, QStringLiteral("M/d/yyyy h:mm:ss AP"));
}

std::vector<int> newestFirst(const std::vector<QString>& texts, const QLocale& locale)
{
    std::vector<std::optional<QDateTime>> moments;
    moments.reserve(texts.size());
    for (const QString& text : texts)
        moments.push_back(momentOfListDate(text, locale));
    std::vector<int> order(texts.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const auto &x = moments[size_t(a)], &y = moments[size_t(b)];
        if (x && y)
            return *x > *y;
        if (x || y)
            return bool(x);
        return compareIgnoringCase(texts[size_t(a)], texts[size_t(b)]) < 0;
    });
    return order;
}
