#include "lists/RecordCodec.h"

#include <QStringDecoder>

namespace records {

QByteArray encode(const QStringList& fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += '"';
        line += fields[i].toUtf8();
        line += '"';
    }
    line += "\r\n";
    return line;
}

bool isUtf8(const QByteArray& data)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(data);
    Q_UNUSED(text);
    return !decoder.hasError();
}

QString decode(const QByteArray& bytes, bool utf8)
{
    return utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

ParseResult parse(const QByteArray& data, int fieldsPerRecord)
{
    ParseResult result;
    result.complete = parseEach(data, fieldsPerRecord, [&](Fields& f) {
        result.records.append(QStringList(f.begin(), f.end()));
    });
    return result;
}

bool parseEach(const QByteArray& data, int fieldsPerRecord,
               const std::function<void(Fields&)>& take)
{
    const bool utf8 = isUtf8(data);
    const char* p = data.constData();
    const char* const end = p + data.size();
    const auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };

    Fields fields;
    bool atLineStart = true; // the previous field ended with its line
    while (true) {
        // Before a field: blanks, and after a line end also blank lines, are passed over.
        while (p < end && (isBlank(*p) || (atLineStart && isLineEnd(*p))))
            ++p;
        if (p == end && atLineStart)
            break;

        const char* start = p;
        const char* stop = nullptr;
        if (p < end && *p == '"') {
            start = ++p;
            while (p < end && *p != '"')
                ++p;
            if (p == end) // the closing quote never came
                return false;
            stop = p++;
            while (p < end && *p != ',' && !isLineEnd(*p))
                ++p; // anything between the closing quote and the separator is not data
        } else {
            while (p < end && *p != ',' && !isLineEnd(*p))
                ++p;
            stop = p;
            while (stop > start && isBlank(stop[-1]))
                --stop;
        }
        fields.append(decode(QByteArray::fromRawData(start, stop - start), utf8));

        atLineStart = true;
        if (p < end && *p == ',') {
            ++p;
            atLineStart = false;
        } else if (p < end && *p == '\r') {
            ++p;
            if (p < end && *p == '\n')
                ++p;
        } else if (p < end) {
            ++p; // '\n'
        }

        if (fields.size() == fieldsPerRecord) {
            take(fields);
            fields.clear();
        }
        if (p == end && atLineStart)
            break;
    }
    return fields.isEmpty();
}

} // namespace records
