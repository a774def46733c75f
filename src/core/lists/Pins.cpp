#include "lists/Pins.h"

namespace {
QString dayText(const QDate& day)
{
    return day.toString(Qt::ISODate);
}
} // namespace

QSet<QString> pins::read(const HubState& state, const QString& kind)
{
    QSet<QString> keys;
    for (const StateRecord& r : state.read().records) {
        if (r.kind == kind)
            keys.insert(r.key);
    }
    return keys;
}

FileResult pins::set(HubState& state, const QString& kind, const QString& key, const QString& name,
                     bool pinned, const QDate& today)
{
    return state.update({kind}, [&](QList<StateRecord>& records) {
        records.removeIf([&](const StateRecord& r) { return r.key == key; });
        if (pinned)
            records.append({kind, key, name, {}, dayText(today)});
    });
}

FileResult pins::rename(HubState& state, const QString& kind, const QString& from,
                        const QString& to)
{
    return state.update({kind}, [&](QList<StateRecord>& records) {
        for (StateRecord& r : records) {
            if (r.key == from)
                r.key = to;
        }
    });
}

FileResult pins::seen(HubState& state, const QString& kind, const QSet<QString>& present,
                      const QDate& today)
{
    const QString day = dayText(today);
    return state.update({kind}, [&](QList<StateRecord>& records) {
        records.removeIf([&](const StateRecord& r) {
            const QDate last = QDate::fromString(r.seen, Qt::ISODate);
            return !present.contains(r.key) && last.isValid() && last.daysTo(today) > kKeptDays;
        });
        for (StateRecord& r : records) {
            if (present.contains(r.key))
                r.seen = day;
        }
    });
}
