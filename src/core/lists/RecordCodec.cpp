#include "lists/RecordCodec.h"

#include "base/Paths.h"

#include <QUtf8StringView>

#include <algorithm>
#include <cstring>
#include <vector>

namespace records {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

using Spans = QVarLengthArray<qsizetype, 6>;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Splits `data` from `from` into lines: CRLF, a bare LF and a bare CR each end a line, and a last
// line may have no line end. `take(begin, contentEnd, next)`.
template <typename Take> void forEachLine(const QByteArray& data, qsizetype from, Take take)
{
    const char* base = data.constData();
    const qsizetype size = data.size();
    qsizetype p = from;
    while (p < size) {
        qsizetype q = p;
        while (q < size && base[q] != '\n' && base[q] != '\r')
            ++q;
        qsizetype next = q;
        if (next < size)
            next += (base[next] == '\r' && next + 1 < size && base[next + 1] == '\n') ? 2 : 1;
        take(p, q, next);
        p = next;
    }
}

qsizetype bodyStart(const QByteArray& data)
{
    return data.startsWith(kBom) ? 3 : 0;
}

// Where the fields of a well-formed record lie in `line` (offsets from its start).
bool scanLine(QByteArrayView line, int fieldsPerRecord, Spans* spans)
{
    spans->clear();
    if (line.size() > kMaxRecordLine)
        return false; // damaged: see kMaxRecordLine
    const char* const first = line.data();
    const char* p = first;
    const char* const end = p + line.size();
    while (true) {
        while (p < end && isBlank(*p))
            ++p;
        const char* start = p;
        const char* stop = nullptr;
        if (p < end && *p == '"') {
            start = ++p;
            while (p < end && *p != '"')
                ++p;
            if (p == end)
                return false; // the closing quote never came
            stop = p++;
            while (p < end && isBlank(*p))
                ++p;
            if (p < end && *p != ',')
                return false; // a double quote inside the field, or text after it
        } else {
            while (p < end && *p != ',') {
                if (*p == '"')
                    return false;
                ++p;
            }
            stop = p;
            while (stop > start && isBlank(stop[-1]))
                --stop;
        }
        if (spans->size() == 2 * fieldsPerRecord)
            return false; // more fields than a record has
        spans->append(start - first);
        spans->append(stop - first);
        if (p == end)
            break;
        ++p; // the comma
    }
    return spans->size() == 2 * fieldsPerRecord;
}

// Each line is decoded on its own, so that one line in another encoding changes no other.
bool isUtf8Line(QByteArrayView line)
{
    for (const char c : line) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return QUtf8StringView(line).isValidUtf8();
    }
    return true;
}

// Windows-1252 for 0x80 to 0x9F, where it differs from Latin-1: the suite's older Windows
// programs wrote their curly quotes, dashes and euro signs so. The five bytes it leaves undefined
// keep their Latin-1 meaning.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kWindows1252[b - 0x80] : char16_t(b));
    }
    return text;
}

QString decode(QByteArrayView bytes, bool utf8)
{
    return utf8 ? QString::fromUtf8(bytes) : fromWindows1252(bytes);
}

} // namespace

bool endsWithLineEnd(QByteArrayView bytes)
{
    return !bytes.isEmpty() && (bytes.back() == '\n' || bytes.back() == '\r');
}

bool isStorable(QStringView field)
{
    for (const QChar c : field) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return false;
    }
    return true;
}

QByteArray encode(const QStringList& fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += '"';
        // A name read from the file system keeps its bytes (see paths::fromNativeBytes).
        line += paths::toNativeBytes(fields[i]);
        line += '"';
    }
    line += "\r\n";
    return line;
}

QString RecordView::field(int index) const
{
    return records::decode(bytes(index), m_utf8);
}

QString RecordView::decode(QByteArrayView bytes) const
{
    return records::decode(bytes, m_utf8);
}

qsizetype forEachRecord(const QByteArray& data, int fieldsPerRecord,
                        const std::function<void(const RecordView&)>& take)
{
    Spans spans;
    const char* base = data.constData();
    qsizetype number = 0;
    qsizetype stray = 0;
    forEachLine(data, bodyStart(data), [&](qsizetype b, qsizetype e, qsizetype) {
        ++number;
        const QByteArrayView line(base + b, e - b);
        if (scanLine(line, fieldsPerRecord, &spans))
            take(RecordView(line, spans, isUtf8Line(line)));
        else if (stray == 0 && !std::all_of(line.begin(), line.end(), isBlank))
            stray = number;
    });
    return stray;
}

qsizetype firstLongLine(const QByteArray& data)
{
    qsizetype number = 0;
    qsizetype found = 0;
    forEachLine(data, bodyStart(data), [&](qsizetype b, qsizetype e, qsizetype) {
        ++number;
        if (found == 0 && e - b > kMaxRecordLine)
            found = number;
    });
    return found;
}

QList<QStringList> parse(const QByteArray& data, int fieldsPerRecord)
{
    QList<QStringList> result;
    forEachRecord(data, fieldsPerRecord, [&](const RecordView& r) {
        QStringList fields;
        for (int i = 0; i < fieldsPerRecord; ++i)
            fields.append(r.field(i));
        result.append(fields);
    });
    return result;
}

std::optional<Line> Line::record(const QStringList& fields)
{
    for (const QString& f : fields) {
        if (!isStorable(f))
            return std::nullopt;
    }
    Line line;
    line.m_source = encode(fields);
    line.m_length = line.m_source.size();
    line.m_content = line.m_length - 2;
    line.m_fields = qint8(fields.size());
    return line;
}

Line Line::read(const QByteArray& source, qsizetype begin, qsizetype length, qsizetype content,
                int fieldsPerRecord)
{
    Line line;
    line.m_source = source;
    line.m_begin = begin;
    line.m_length = length;
    line.m_content = content;
    Spans spans;
    if (scanLine(QByteArrayView(source).sliced(begin, content), fieldsPerRecord, &spans))
        line.m_fields = qint8(fieldsPerRecord);
    return line;
}

QString Line::field(int index) const
{
    const QByteArrayView all = bytes().first(m_content);
    if (m_utf8 < 0)
        m_utf8 = isUtf8Line(all) ? 1 : 0;
    Spans spans;
    scanLine(all, m_fields, &spans);
    const qsizetype b = spans[2 * index];
    return decode(all.sliced(b, spans[2 * index + 1] - b), m_utf8 == 1);
}

QStringList Line::fields() const
{
    QStringList result;
    for (int i = 0; i < fieldCount(); ++i)
        result.append(field(i));
    return result;
}

Document::Document(QByteArray data, int fieldsPerRecord)
    : m_data(std::move(data))
    , m_bodyStart(bodyStart(m_data))
    , m_fields(fieldsPerRecord)
{}

const QList<Line>& Document::lines() const
{
    split();
    return m_lines;
}

void Document::split() const
{
    if (m_split)
        return;
    m_split = true;
    QList<Line> lines;
    size_t removed = 0;
    forEachLine(m_data, m_bodyStart, [&](qsizetype b, qsizetype e, qsizetype next) {
        if (removed < m_removed.size() && m_removed[removed].first == b)
            ++removed;
        else
            lines.append(Line::read(m_data, b, next - b, e - b, m_fields));
    });
    lines.append(std::move(m_lines)); // the lines appended meanwhile
    m_lines = std::move(lines);
    m_removed.clear();
}

bool Document::append(const QStringList& fields)
{
    std::optional<Line> line = Line::record(fields);
    if (!line)
        return false;
    append(std::move(*line));
    return true;
}

void Document::append(Line record)
{
    m_lines.append(std::move(record));
    m_modified = true;
}

bool Document::replace(qsizetype lineIndex, const QStringList& fields)
{
    split();
    std::optional<Line> line = Line::record(fields);
    if (!line)
        return false;
    m_lines[lineIndex] = std::move(*line);
    m_modified = true;
    return true;
}

bool Document::replaceFieldPrefix(qsizetype lineIndex, int field, QByteArrayView from,
                                  QByteArrayView to)
{
    split();
    const Line& line = m_lines[lineIndex];
    if (!line.isRecord() || field >= line.m_fields)
        return false;
    const QByteArrayView all = line.bytes();
    Spans spans;
    scanLine(all.first(line.m_content), line.m_fields, &spans);
    const qsizetype b = spans[2 * field];
    if (spans[2 * field + 1] - b < from.size() || !all.sliced(b).startsWith(from))
        return false;
    const QByteArray bytes =
        all.first(b).toByteArray() + to.toByteArray() + all.sliced(b + from.size()).toByteArray();
    m_lines[lineIndex] =
        Line::read(bytes, 0, bytes.size(), line.m_content + to.size() - from.size(), m_fields);
    m_modified = true;
    return true;
}

qsizetype Document::removeRecordsIf(const std::function<bool(const Line&)>& drop)
{
    if (!m_split) {
        // The lines read are looked at one by one and not kept: those that go are noted by
        // where they lie.
        qsizetype removed = 0;
        size_t known = 0;
        forEachLine(m_data, m_bodyStart, [&](qsizetype b, qsizetype e, qsizetype next) {
            while (known < m_removed.size() && m_removed[known].first < b)
                ++known;
            if (known < m_removed.size() && m_removed[known].first == b)
                return; // gone already
            const Line line = Line::read(m_data, b, next - b, e - b, m_fields);
            if (line.isRecord() && drop(line)) {
                m_removed.insert(m_removed.begin() + qsizetype(known), {b, next});
                ++known;
                ++removed;
            }
        });
        removed += m_lines.removeIf([&](const Line& l) { return l.isRecord() && drop(l); });
        if (removed > 0)
            m_modified = true;
        return removed;
    }
    const qsizetype removed =
        m_lines.removeIf([&](const Line& l) { return l.isRecord() && drop(l); });
    if (removed > 0)
        m_modified = true;
    return removed;
}

QList<TakenRecord> Document::takeRecordsIf(const std::function<bool(const Line&)>& drop)
{
    split();
    QList<TakenRecord> taken;
    QList<Line> kept;
    kept.reserve(m_lines.size());
    std::optional<QByteArray> previous;
    for (Line& line : m_lines) {
        const QByteArray bytes = line.bytes().toByteArray();
        if (line.isRecord() && drop(line))
            taken.append({bytes, previous});
        else
            kept.append(std::move(line));
        previous = bytes;
    }
    if (!taken.isEmpty()) {
        m_lines = std::move(kept);
        m_modified = true;
    }
    return taken;
}

void Document::putBack(const TakenRecord& taken)
{
    split();
    QByteArray own = taken.bytes;
    qsizetype at = m_lines.size();
    if (!taken.after) {
        at = 0;
    } else {
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            if (m_lines[i].bytes() == *taken.after) {
                at = i + 1;
                break;
            }
        }
    }
    // A line that was last without a line end gets one when another follows it.
    if (at < m_lines.size() && !endsWithLineEnd(own))
        own += "\r\n";
    const qsizetype content = own.size() - (own.endsWith("\r\n") ? 2 : own.endsWith('\n') ? 1 : 0);
    m_lines.insert(at, Line::read(own, 0, own.size(), content, m_fields));
    m_modified = true;
}

void Document::sortRecords(const std::function<bool(const Line&, const Line&)>& before)
{
    split();
    std::vector<qsizetype> places;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].isRecord())
            places.push_back(i);
    }
    std::vector<qsizetype> order = places;
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return before(m_lines[a], m_lines[b]); });
    if (order == places)
        return;
    QList<Line> sorted;
    sorted.reserve(qsizetype(order.size()));
    for (const qsizetype i : order)
        sorted.append(m_lines[i]);
    for (size_t k = 0; k < places.size(); ++k)
        m_lines[places[k]] = std::move(sorted[qsizetype(k)]);
    m_modified = true;
}

QByteArray Document::serialize() &&
{
    if (m_split || m_data.isDetached() == false)
        return std::as_const(*this).serialize();
    // Each run of lines that stay moves up over the lines removed before it.
    qsizetype to = 0, at = 0;
    char* bytes = m_data.data();
    for (const auto& [begin, end] : m_removed) {
        std::memmove(bytes + to, bytes + at, size_t(begin - at));
        to += begin - at;
        at = end;
    }
    std::memmove(bytes + to, bytes + at, size_t(m_data.size() - at));
    m_data.truncate(to + m_data.size() - at);
    m_removed.clear();
    for (const Line& line : m_lines) {
        if (m_data.size() > m_bodyStart && !endsWithLineEnd(m_data))
            m_data += "\r\n";
        m_data += line.bytes();
    }
    return std::move(m_data);
}

QByteArray Document::serialize() const&
{
    if (!m_split) {
        // The lines read, as read, and those appended after them.
        qsizetype size = m_data.size();
        for (const Line& line : m_lines)
            size += line.m_length + 2;
        QByteArray content;
        content.reserve(size);
        qsizetype at = 0;
        for (const auto& [begin, end] : m_removed) {
            content.append(QByteArrayView(m_data).sliced(at, begin - at));
            at = end;
        }
        content.append(QByteArrayView(m_data).sliced(at));
        for (const Line& line : m_lines) {
            if (content.size() > m_bodyStart && !endsWithLineEnd(content))
                content += "\r\n";
            content += line.bytes();
        }
        return content;
    }
    qsizetype size = m_bodyStart;
    for (const Line& line : m_lines)
        size += line.m_length + 2;
    QByteArray content;
    content.reserve(size);
    content.append(m_data.constData(), m_bodyStart);
    for (const Line& line : m_lines) {
        // A line that had no line end (the last one read) gets one when another follows it.
        if (content.size() > m_bodyStart && !endsWithLineEnd(content))
            content += "\r\n";
        content += line.bytes();
    }
    return content;
}

} // namespace records
