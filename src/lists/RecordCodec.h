#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

#include <functional>

// The line format of both list files: every field in double quotes, fields joined by single
// commas, CRLF at the end of each record; no header and no escaping.
namespace records {

QByteArray encode(const QStringList& fields);

struct ParseResult {
    QList<QStringList> records; // the complete records read
    bool complete = true;       // false: the data ended inside a record
};

// Reads records of `fieldsPerRecord` fields. Fields are read in order, each a quoted run up to
// its closing quote or an unquoted run up to the next comma or line end; CRLF, a bare LF and a
// last line without a line end all end a line, and blank lines are passed over.
ParseResult parse(const QByteArray& data, int fieldsPerRecord);

// The same reading, handing each complete record to `take` as it is read (no list is built).
// Returns false when the data ended inside a record.
using Fields = QVarLengthArray<QString, 4>;
bool parseEach(const QByteArray& data, int fieldsPerRecord,
               const std::function<void(Fields&)>& take);

// The file's text as Unicode: UTF-8, or Latin-1 bytes when it is not valid UTF-8, so that text
// written by older programs survives a rewrite.
QString decode(const QByteArray& bytes, bool utf8);
bool isUtf8(const QByteArray& data);

} // namespace records
