#include "lists/ListRows.h"

#include "base/TextOrder.h"

QString noteText(Note note)
{
    switch (note) {
    case Note::None:
        break;
    case Note::Missing:
        return QStringLiteral("missing");
    case Note::Broken:
        return QStringLiteral("broken");
    case Note::NotConnected:
        return QStringLiteral("not connected");
    case Note::NotAnswering:
        return QStringLiteral("not answering");
    }
    return {};
}

bool isAway(Note note)
{
    return note == Note::NotConnected || note == Note::NotAnswering;
}

quint32 ListRows::keyHash(int row) const
{
    return textHash(key(row));
}

bool ListRows::sameKey(int row, const ListRows& other, int otherRow) const
{
    return key(row) == other.key(otherRow);
}

QString ListRows::largeIcon(int) const
{
    return {};
}

QString ListRows::smallIcon(int) const
{
    return {};
}

Note ListRows::note(int) const
{
    return Note::None;
}

QString ListRows::toolTip(int) const
{
    return {};
}

const QString& ListEntry::subItem(int column) const
{
    static const QString empty;
    return column >= 1 && column <= subItems.size() ? subItems[column - 1] : empty;
}

QString EntryRows::text(int row, int column) const
{
    const ListEntry& e = entry(row);
    return column == 0 ? e.text : e.subItem(column);
}
