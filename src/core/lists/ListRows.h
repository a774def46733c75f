#pragma once

#include <QString>
#include <QVarLengthArray>

#include <memory>
#include <vector>

// What an entry is noted as: greyed, and told in its tooltip and to a screen reader.
// NotConnected and NotAnswering: the file may well be there, on a drive that is away.
enum class Note : quint8 { None, Missing, Broken, NotConnected, NotAnswering };
// "missing", "broken", "not connected", "not answering"; empty for none.
bool isAway(Note note);
QString noteText(Note note);

// What a list shows: one row per entry, each with its texts, its identity (the key by which
// selection, notes and reloads find the entry again), its icons and what a screen reader reads
// besides its text. A tab makes it away from the window's thread and never changes it after;
// the view shares it with the threads that sort, filter and compare it, and shows its rows in
// the order given unless it sorts them. A tab that keeps many entries gives its own kind, made
// over its entries, so that each text is held once.
class ListRows {
public:
    virtual ~ListRows() = default;
    virtual int count() const = 0;
    // Column 0 is the entry's own text, columns 1 and up its sub-items.
    virtual QString text(int row, int column) const = 0;
    virtual QString key(int row) const = 0;
    // The key's hash (textHash of the key), and whether two rows (of these rows or others) have
    // equal keys: a kind of rows whose keys are made of parts answers them without making the key.
    virtual quint32 keyHash(int row) const;
    virtual bool sameKey(int row, const ListRows& other, int otherRow) const;
    virtual bool hasKey(int row, const QString& key) const { return this->key(row) == key; }
    // The column the rows come sorted by, ascending and without regard to letter case; -1 when
    // they come in no such order.
    virtual int sortedBy() const { return -1; }
    virtual QString largeIcon(int row) const;
    virtual QString smallIcon(int row) const;
    // What a screen reader reads besides the text (by default the key).
    virtual QString description(int row) const { return key(row); }
    // The note the entry comes with, and what its tooltip says while noted (the note itself when
    // empty).
    virtual Note note(int row) const;
    virtual QString toolTip(int row) const;
};

using SharedRows = std::shared_ptr<const ListRows>;

// One row of a small list, made whole by its tab.
struct ListEntry {
    QString key;
    QString text;
    // subItems[0] is sub-item 1; kept inline, as no list has more than four.
    QVarLengthArray<QString, 4> subItems;
    QString largeIcon;
    QString smallIcon;
    QString description;
    Note note = Note::None;
    QString toolTip;

    const QString& subItem(int column) const;
    bool operator==(const ListEntry&) const = default;
};

// The rows of a list of ListEntry.
class EntryRows : public ListRows {
public:
    explicit EntryRows(std::vector<ListEntry> entries)
        : m_entries(std::move(entries))
    {}
    const ListEntry& entry(int row) const { return m_entries[size_t(row)]; }

    int count() const override { return int(m_entries.size()); }
    QString text(int row, int column) const override;
    QString key(int row) const override { return entry(row).key; }
    QString largeIcon(int row) const override { return entry(row).largeIcon; }
    QString smallIcon(int row) const override { return entry(row).smallIcon; }
    QString description(int row) const override { return entry(row).description; }
    Note note(int row) const override { return entry(row).note; }
    QString toolTip(int row) const override { return entry(row).toolTip; }

private:
    std::vector<ListEntry> m_entries;
};
