#include "lists/RecordCodec.h"

#include <gtest/gtest.h>

namespace {

QStringList fields(std::initializer_list<const char*> l)
{
    QStringList r;
    for (const char* s : l)
        r << QString::fromUtf8(s);
    return r;
}

TEST(RecordCodec, WritesQuotedFieldsCommasAndCrLf)
{
    EXPECT_EQ(records::encode(fields({"fpl", "C:\\K\\data\\plot 7.fpl", "1/2/26 3:04:05 PM"})),
              QByteArray("\"fpl\",\"C:\\K\\data\\plot 7.fpl\",\"1/2/26 3:04:05 PM\"\r\n"));
    EXPECT_EQ(records::encode(fields({"", " "})), QByteArray("\"\",\" \"\r\n"));
    for (const char* bad : {"a\"b", "a\rb", "a\nb"})
        EXPECT_FALSE(records::isStorable(QString::fromLatin1(bad))) << bad;
    EXPECT_TRUE(records::isStorable(QStringLiteral("a, b 'c' \u00e9")));
}

TEST(RecordCodec, ReadsWhatItWritesIncludingCommasBlanksAndUnicode)
{
    const QStringList a = fields({"crn", "/data/a, b.crn", " "});
    const QStringList b = fields({"pli", "/dätä/plot ✓.pli", ""});
    EXPECT_EQ(records::parse(records::encode(a) + records::encode(b), 3), (QList{a, b}));
}

// Which lines are records, and their fields. An empty expectation: not a record.
TEST(RecordCodec, OnlyWellFormedLinesAreRecords)
{
    // A field of so many bytes that its line is exactly as long as a record may be, or one more.
    const auto longest = [](int more) {
        return QByteArray(records::kMaxRecordLine - 10 + more, 'x');
    };
    const std::pair<QByteArray, QStringList> cases[] = {
        {R"("a","b","c")", fields({"a", "b", "c"})},
        {"fpl, /x/y.fpl ,1/1/2026 1:00:00 AM", fields({"fpl", "/x/y.fpl", "1/1/2026 1:00:00 AM"})},
        {R"("a",,"c")", fields({"a", "", "c"})},
        {"  \"a\" ,\t\"b\",\"c\"  ", fields({"a", "b", "c"})},
        {R"("a","b",)", fields({"a", "b", ""})},
        {R"("a","b,c","d")", fields({"a", "b,c", "d"})},
        {R"("a"x,"b","c")", {}},           // text after a closing quote
        {R"("pli","/a/b"c.pli","d")", {}}, // a double quote inside a field
        {R"(a"b,c,d)", {}},
        {R"("a","b")", {}},
        {R"("a","b","c","d")", {}},
        {R"("a","b","c)", {}},
        {"", {}},
        {"   ", {}},
        {"\"a\",\"" + longest(0) + "\",\"c\"",
         {QStringLiteral("a"), QString::fromLatin1(longest(0)), QStringLiteral("c")}},
        {"\"a\",\"" + longest(1) + "\",\"c\"", {}},
    };
    for (const auto& [line, expected] : cases) {
        const QList<QStringList> got = records::parse(QByteArray(line), 3);
        EXPECT_EQ(got, expected.isEmpty() ? QList<QStringList>() : QList<QStringList>{expected})
            << line.left(40).constData();
    }
}

// Lines of the wrong shape, other encodings, a byte-order mark and every kind of line end: each
// record is read from its own line, and a document written back unchanged is the same bytes.
TEST(RecordCodec, EveryLineStandsAloneAndUnchangedLinesKeepTheirBytes)
{
    const QByteArray file = "\xEF\xBB\xBF\"fpl\",\"/srv/caf\xC3\xA9/\xE6\x97\xA5.fpl\",\"d1\"\r\n"
                            "\"pli\",\"/old/caf\xE9.pli\",\"d2\"\r\n" // Latin-1
                            "\"two\",\"fields\"\r\n"
                            "\"phs\",\"/a/b.phs\",\"d3\"\n"
                            "\"four\",\"fields\",\"on\",\"this line\"\r\n"
                            "\r\n"
                            "\"crn\",\"/a/c.crn\",\"d4\"\r"
                            "\"fpl\",\"/a/cut";
    const QList<QStringList> expected = {
        {QStringLiteral("fpl"), QStringLiteral("/srv/caf\u00e9/\u65e5.fpl"), QStringLiteral("d1")},
        {QStringLiteral("pli"), QStringLiteral("/old/caf\u00e9.pli"), QStringLiteral("d2")},
        fields({"phs", "/a/b.phs", "d3"}),
        fields({"crn", "/a/c.crn", "d4"})};
    EXPECT_EQ(records::parse(file, 3), expected);

    records::Document doc(file, 3);
    EXPECT_EQ(doc.serialize(), file);

    // Change the Latin-1 record and add one: every other line keeps its bytes and its place,
    // and the cut-short last line gets a line end before the new record.
    qsizetype latin1 = -1;
    for (qsizetype i = 0; i < doc.lines().size(); ++i) {
        if (doc.lines()[i].isRecord() && doc.lines()[i].field(2) == QLatin1String("d2"))
            latin1 = i;
    }
    ASSERT_GE(latin1, 0);
    EXPECT_TRUE(doc.replace(latin1, fields({"pli", "/new/\u00e9.pli", "d9"})));
    EXPECT_TRUE(doc.append(fields({"fpl", "/x/new.fpl", "d10"})));
    EXPECT_TRUE(doc.isModified());
    QByteArray expectedOut = file;
    expectedOut.replace("\"pli\",\"/old/caf\xE9.pli\",\"d2\"\r\n",
                        "\"pli\",\"/new/\xC3\xA9.pli\",\"d9\"\r\n");
    expectedOut += "\r\n\"fpl\",\"/x/new.fpl\",\"d10\"\r\n";
    EXPECT_EQ(doc.serialize(), expectedOut);

    // A field the format cannot hold is refused, and nothing changes.
    EXPECT_FALSE(doc.append(fields({"fpl", "/x/quo\"te.fpl", "d"})));
    EXPECT_FALSE(doc.replace(latin1, fields({"pli", "line\nbreak", "d"})));
    EXPECT_EQ(doc.serialize(), expectedOut);
}

// A line that is not UTF-8 was written by one of the suite's older Windows programs: its bytes
// 0x80 to 0x9F are Windows-1252 (the five it leaves undefined stay as Latin-1 has them). Read by
// the stream and by a document alike; kept byte for byte unless changed, then written as UTF-8.
TEST(RecordCodec, LinesThatAreNotUtf8AreWindows1252)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"O\x92Neil", QStringLiteral("O\u2019Neil")},
        {"\x93quoted\x94 \x96 \x97", QStringLiteral("\u201Cquoted\u201D \u2013 \u2014")},
        {"\x80 5", QStringLiteral("\u20AC 5")},
        {"\x8A\x8C\x9F\x83\x85\x99", QStringLiteral("\u0160\u0152\u0178\u0192\u2026\u2122")},
        {"\x81\x8D\x8F\x90\x9D", QStringLiteral("\u0081\u008D\u008F\u0090\u009D")},
        {"caf\xE9 \xA0\xFF", QStringLiteral("caf\u00E9 \u00A0\u00FF")},
        {"\xE2\x82\xAC \xE2\x80\x99", QStringLiteral("\u20AC \u2019")}, // valid UTF-8
    };
    for (const auto& [bytes, text] : cases) {
        const QByteArray line = "\"fpl\",\"/x/" + bytes + ".fpl\",\"d\"\r\n";
        const QString path = QStringLiteral("/x/") + text + QStringLiteral(".fpl");
        const QList<QStringList> parsed = records::parse(line, 3);
        ASSERT_EQ(parsed.size(), 1) << bytes.toHex().constData();
        EXPECT_EQ(parsed[0][1], path) << bytes.toHex().constData();
        records::Document doc(line, 3);
        EXPECT_EQ(doc.lines()[0].field(1), path) << bytes.toHex().constData();
    }

    const QByteArray old = "\"O\x92Neil\",\"http://x\"\r\n";
    records::Document doc(old + "\"B\",\"2\"\r\n", 2);
    ASSERT_TRUE(doc.replace(1, fields({"B", "3"})));
    EXPECT_EQ(doc.serialize(), old + "\"B\",\"3\"\r\n");
    ASSERT_TRUE(doc.replace(0, {doc.lines()[0].field(0), QStringLiteral("http://y")}));
    EXPECT_EQ(doc.serialize(), QByteArray("\"O\xE2\x80\x99Neil\",\"http://y\"\r\n\"B\",\"3\"\r\n"));
}

} // namespace
