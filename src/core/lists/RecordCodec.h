#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

// The line format of both list files: every field in double quotes, fields joined by single
// commas, CRLF at the end of each record; no header and no escaping.
//
// Other programs write these files too, so the reader is strict about what a record is and
// lenient about everything else: a line that is not a well-formed record of the expected number
// of fields is not shown, but it stays in the file byte for byte where it stands, and it never
// changes how the lines around it are read. Every line is decoded on its own (UTF-8 when it is
// valid UTF-8, else Windows-1252, as the suite's older Windows programs wrote), a byte-order mark
// at the start of the file belongs to no field, and a record that a rewrite leaves alone is
// written back with exactly the bytes it was read with; a record that changes is written in
// UTF-8, as every new one is.
namespace records {

// The longest a record's line may be, line end left out. No real record comes near it (a path is
// a few thousand bytes at most); a longer line is a damaged one: it is never read as a record
// (nor shown), but it stays in the file byte for byte like any other line that is no record, so
// that one such line costs neither seconds of the window's time nor a copy of it per field.
inline constexpr qsizetype kMaxRecordLine = 64 * 1024;

// True when `field` can be written in this format: no double quote and no line end.
bool isStorable(QStringView field);

// True when `bytes` end with a line end (CR or LF).
bool endsWithLineEnd(QByteArrayView bytes);

// One record line, CRLF included. Every field must be storable (see isStorable).
QByteArray encode(const QStringList& fields);

// A line is a well-formed record of `fieldsPerRecord` fields when it holds exactly that many
// fields separated by commas, each either a quoted run without a double quote inside (blanks
// around it allowed) or an unquoted run without a double quote (surrounding blanks dropped).
// One well-formed record as read: its fields decoded when asked for, and their bytes.
class RecordView {
public:
    RecordView(QByteArrayView line, const QVarLengthArray<qsizetype, 6>& spans, bool utf8)
        : m_line(line)
        , m_spans(spans)
        , m_utf8(utf8)
    {}
    QString field(int index) const;
    // Some bytes of the line, decoded as the line is.
    QString decode(QByteArrayView bytes) const;
    QByteArrayView bytes(int index) const
    {
        return m_line.sliced(m_spans[2 * index], m_spans[2 * index + 1] - m_spans[2 * index]);
    }
    // Whether the line is UTF-8; otherwise its fields were decoded as Windows-1252, and their
    // bytes may name a file by another name than their text.
    bool isUtf8() const { return m_utf8; }

private:
    QByteArrayView m_line;
    const QVarLengthArray<qsizetype, 6>& m_spans;
    bool m_utf8;
};

// Hands every well-formed record of `data` to `take`, in file order; other lines are passed over.
// Returns the number (counted from 1) of the first line that is neither a record nor blank, or 0
// when there is none.
qsizetype forEachRecord(const QByteArray& data, int fieldsPerRecord,
                        const std::function<void(const RecordView&)>& take);

// The number (counted from 1) of the first line of `data` longer than kMaxRecordLine, or 0.
qsizetype firstLongLine(const QByteArray& data);

// The well-formed records of `data` (a convenience for tests and the fuzzer).
QList<QStringList> parse(const QByteArray& data, int fieldsPerRecord);

// One line of a list file: its bytes, line end included, and for a record where its fields lie.
// Fields are decoded only when asked for.
class Line {
public:
    // A new record line, or nothing when a field cannot be stored.
    static std::optional<Line> record(const QStringList& fields);

    QByteArrayView bytes() const { return QByteArrayView(m_source).sliced(m_begin, m_length); }
    bool isRecord() const { return m_fields > 0; }
    int fieldCount() const { return m_fields; }
    QString field(int index) const;
    QStringList fields() const;

private:
    friend class Document;
    // The line at `begin` of `source`, `length` bytes with its line end, `content` without.
    static Line read(const QByteArray& source, qsizetype begin, qsizetype length, qsizetype content,
                     int fieldsPerRecord);

    QByteArray m_source; // shared with the whole file as read, or the line's own bytes
    qsizetype m_begin = 0;
    qsizetype m_length = 0;
    // The line without its line end; where its fields lie is found again when one is asked for,
    // so that a large list held line by line costs little more than its bytes.
    qsizetype m_content = 0;
    qint8 m_fields = 0;              // 0: not a record
    mutable signed char m_utf8 = -1; // decoded as UTF-8 (1) or Windows-1252 (0); -1 unknown
};

// A record a change took out of a list file, with what it needs to go back where it stood: its
// own bytes, and the bytes of the line before it (none when it was the first line).
struct TakenRecord {
    QByteArray bytes;
    std::optional<QByteArray> after;
    bool operator==(const TakenRecord&) const = default;
};

// A list file as read, line by line, to be changed and written back.
class Document {
public:
    Document() = default;
    Document(QByteArray data, int fieldsPerRecord);

    const QList<Line>& lines() const;
    // Whether anything changed since the file was read (or markChanged was called).
    bool isModified() const { return m_modified; }
    void markChanged() { m_modified = true; }

    // False, with nothing changed, when a field cannot be stored.
    bool append(const QStringList& fields);
    bool replace(qsizetype lineIndex, const QStringList& fields);
    // A record line made beforehand (with Line::record), so that the encoding is done before
    // the file is read.
    void append(Line record);
    // Gives field `field` of the record at `lineIndex` the bytes `to` in place of `from` at its
    // start, every other byte of the line kept; false, with nothing changed, when the field
    // does not begin with `from`.
    bool replaceFieldPrefix(qsizetype lineIndex, int field, QByteArrayView from, QByteArrayView to);
    // Removes the records for which `drop` holds; other lines stay. Returns how many went.
    qsizetype removeRecordsIf(const std::function<bool(const Line&)>& drop);
    // The same, handing back what went, in file order.
    QList<TakenRecord> takeRecordsIf(const std::function<bool(const Line&)>& drop);
    // Puts a taken record back: after the line it followed when that line is still there (the
    // first of them), first when it was first, else at the end.
    void putBack(const TakenRecord& taken);
    // Puts the records in the order `before` gives, keeping the order of equal ones; other lines
    // keep their places.
    void sortRecords(const std::function<bool(const Line&, const Line&)>& before);

    // The file's new content: every line's bytes in order after a leading byte-order mark, with
    // a line end added after a line that had none when another line now follows it.
    QByteArray serialize() const&;
    // The same, made in the place of the data as read where they are this document's alone: a
    // large list then never stands twice in memory while it is rewritten.
    QByteArray serialize() &&;
    // The data as read.
    const QByteArray& data() const { return m_data; }

private:
    // The lines are found in the data the first time a change needs them: a large list that
    // only has lines appended, or none removed, is never held line by line.
    void split() const;

    QByteArray m_data;
    qsizetype m_bodyStart = 0;   // after a byte-order mark
    mutable QList<Line> m_lines; // until split: only the lines appended
    // Until split: where the lines removed lay in the data (first byte, end), in file order.
    mutable std::vector<std::pair<qsizetype, qsizetype>> m_removed;
    mutable bool m_split = false;
    int m_fields = 0;
    bool m_modified = false;
};

} // namespace records
