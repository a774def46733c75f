// The list-file reader takes any bytes without crashing, and a rewrite changes only what it was
// asked to change: every line it leaves alone comes out with exactly the bytes it went in with.
#include "lists/RecordCodec.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

bool endsWithLineEnd(const QByteArray& b)
{
    return !b.isEmpty() && (b.back() == '\n' || b.back() == '\r');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    for (int fieldCount : {2, 3}) {
        // Read and written back unchanged: the same bytes.
        records::Document doc(input, fieldCount);
        check(doc.serialize() == input);

        // The streaming reader sees the same records as the document.
        QList<QStringList> inDoc;
        for (const records::Line& l : doc.lines()) {
            check(!l.isRecord() || l.fieldCount() == fieldCount);
            if (l.isRecord())
                inDoc.append(l.fields());
        }
        check(records::parse(input, fieldCount) == inDoc);

        // Drop every third record, change every other one of the rest, add one. What the file
        // must then hold is worked out here line by line: a leading byte-order mark, then each
        // remaining line's own bytes or its new record, with a line end added only after a line
        // that had none and is now followed by another.
        const auto dropped = [](int record) { return record % 3 == 2; };
        const auto changedTo = [fieldCount](int record) -> QStringList {
            if (record % 2 == 0)
                return {};
            QStringList f(fieldCount, QStringLiteral("x"));
            f[0] = QStringLiteral("changed %1").arg(record);
            return f;
        };
        const qsizetype bom = input.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        QByteArray expected = input.left(bom);
        QList<QStringList> expectedRecords;
        QList<QByteArray> pieces;
        int record = 0;
        for (qsizetype i = 0; i < doc.lines().size(); ++i) {
            const records::Line& l = doc.lines()[i];
            const QByteArray bytes = l.bytes().toByteArray();
            if (!l.isRecord()) {
                pieces.append(bytes);
                continue;
            }
            const int r = record++;
            if (dropped(r))
                continue;
            const QStringList changed = changedTo(r);
            pieces.append(changed.isEmpty() ? bytes : records::encode(changed));
            expectedRecords.append(changed.isEmpty() ? l.fields() : changed);
            if (!changed.isEmpty())
                check(doc.replace(i, changed));
        }
        const QStringList added(fieldCount, QStringLiteral("added, with a comma"));
        pieces.append(records::encode(added));
        expectedRecords.append(added);
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (i > 0 && expected.size() > bom && !endsWithLineEnd(expected))
                expected += "\r\n";
            expected += pieces[i];
        }
        int seen = 0;
        doc.removeRecordsIf([&](const records::Line&) { return dropped(seen++); });
        check(doc.append(added));

        const QByteArray out = doc.serialize();
        check(out == expected);
        check(records::parse(out, fieldCount) == expectedRecords);
    }
    return 0;
}
