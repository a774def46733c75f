#include "lists/RecordCodec.h"

#include <gtest/gtest.h>

namespace {

using records::parse;

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
}

TEST(RecordCodec, ReadsWhatItWritesIncludingCommasBlanksAndUnicode)
{
    const QStringList a = fields({"crn", "/data/a, b.crn", " "});
    const QStringList b = fields({"pli", "/dätä/plot ✓.pli", ""});
    const auto result = parse(records::encode(a) + records::encode(b), 3);
    EXPECT_TRUE(result.complete);
    ASSERT_EQ(result.records.size(), 2);
    EXPECT_EQ(result.records[0], a);
    EXPECT_EQ(result.records[1], b);
}

struct ParseCase {
    const char* name;
    QByteArray input;
    int expectedRecords;
    bool complete;
    QStringList lastRecord;
};

class RecordParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(RecordParse, Reads)
{
    const ParseCase& c = GetParam();
    const auto r = parse(c.input, 3);
    EXPECT_EQ(r.records.size(), c.expectedRecords);
    EXPECT_EQ(r.complete, c.complete);
    if (!c.lastRecord.isEmpty() && !r.records.isEmpty()) {
        EXPECT_EQ(r.records.last(), c.lastRecord);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordParse,
    ::testing::Values(
        ParseCase{"Empty", "", 0, true, {}}, ParseCase{"OnlyLineEnds", "\r\n\n\r\n", 0, true, {}},
        ParseCase{"BareLf", "\"a\",\"b\",\"c\"\n\"d\",\"e\",\"f\"\n", 2, true,
                  fields({"d", "e", "f"})},
        ParseCase{"NoFinalLineEnd", "\"a\",\"b\",\"c\"\r\n\"d\",\"e\",\"f\"", 2, true,
                  fields({"d", "e", "f"})},
        ParseCase{"Unquoted", "fpl, /x/y.fpl ,1/1/2026 1:00:00 AM\r\n", 1, true,
                  fields({"fpl", "/x/y.fpl", "1/1/2026 1:00:00 AM"})},
        ParseCase{"MixedAndEmpty", "\"a\",,\"c\"\r\n", 1, true, fields({"a", "", "c"})},
        ParseCase{"BlankLinesBetween", "\"a\",\"b\",\"c\"\r\n\r\n\r\n\"d\",\"e\",\"f\"\r\n", 2,
                  true, fields({"d", "e", "f"})},
        ParseCase{"JunkAfterClosingQuote", "\"a\"x,\"b\",\"c\"\r\n", 1, true,
                  fields({"a", "b", "c"})},
        ParseCase{"CutShortRecord", "\"a\",\"b\",\"c\"\r\n\"d\",\"e\"\r\n", 1, false,
                  fields({"a", "b", "c"})},
        ParseCase{"CutInsideQuotes", "\"a\",\"b\",\"c\"\r\n\"d\",\"e\",\"f", 1, false,
                  fields({"a", "b", "c"})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordCodec, Latin1TextSurvives)
{
    const auto r = parse(QByteArray("\"fpl\",\"/d/caf\xe9.fpl\",\"x\"\r\n"), 3);
    ASSERT_EQ(r.records.size(), 1);
    EXPECT_EQ(r.records[0][1], QStringLiteral("/d/caf\u00e9.fpl"));
}

} // namespace
