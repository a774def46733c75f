// The search over every tab's entries: which entries a query finds and in which order.
#include "search/EntrySearch.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

std::vector<SearchEntry> sampleEntries()
{
    return {
        {Tab::New, QStringLiteral("New Fuel Profile"), {}, QStringLiteral("FPL")},
        {Tab::Open, QStringLiteral("Ridge plot.fpl"), QStringLiteral("/data/Éclair Creek/"),
         QStringLiteral("/data/Éclair Creek/Ridge plot.fpl")},
        {Tab::Open, QStringLiteral("plot 7.FPL"), QStringLiteral("/data/"),
         QStringLiteral("/data/plot 7.FPL")},
        {Tab::Open, QStringLiteral("Subplot.crn"), QStringLiteral("/data/"),
         QStringLiteral("/data/Subplot.crn")},
        {Tab::Tools,
         QStringLiteral("Plot Pictures"),
         {},
         QStringLiteral("/app/ShortCuts/Plot Pictures.lnk")},
        {Tab::Web,
         QStringLiteral("Fuels wiki"),
         {},
         QStringLiteral("Fuels wiki\nhttps://example.org")},
        {Tab::Web,
         QStringLiteral("Café fuels"),
         {},
         QStringLiteral("Café fuels\nhttps://example.net"),
         true},
    };
}

QStringList namesFound(const EntrySearch& search, const QString& query, int limit = 20)
{
    QStringList names;
    for (int i : search.find(query, limit))
        names.append(search.entries()[size_t(i)].name);
    return names;
}

TEST(EntrySearch, FindsByNameAndFolderIgnoringCaseAndAccentsBestFirst)
{
    EntrySearch search;
    search.setEntries(sampleEntries());
    const struct {
        const char* query;
        std::vector<const char*> found;
    } cases[] = {
        // Names that begin with the word, then a word that begins with it, then inside a word;
        // within each, the tabs in their order and the names in text order.
        {"plot", {"plot 7.FPL", "Plot Pictures", "Ridge plot.fpl", "Subplot.crn"}},
        {"PLOT 7", {"plot 7.FPL"}},
        // Accents and letter case on either side; a pinned entry stands first.
        {"cafe", {"Café fuels"}},
        {"FUELS", {"Café fuels", "Fuels wiki"}},
        // "Open" entries are found by their folder too, after every match by name.
        {"eclair", {"Ridge plot.fpl"}},
        {"creek ridge", {"Ridge plot.fpl"}},
        {"data", {"plot 7.FPL", "Ridge plot.fpl", "Subplot.crn"}},
        // Every word must be found; blanks alone find nothing.
        {"plot wiki", {}},
        {"   ", {}},
    };
    for (const auto& c : cases) {
        QStringList expected;
        for (const char* name : c.found)
            expected.append(QString::fromUtf8(name));
        EXPECT_EQ(namesFound(search, QString::fromUtf8(c.query)), expected) << c.query;
    }
    EXPECT_EQ(namesFound(search, QStringLiteral("plot"), 2),
              (QStringList{QStringLiteral("plot 7.FPL"), QStringLiteral("Plot Pictures")}));
}

TEST(EntrySearch, AnswersAKeystrokeOverAHundredThousandEntriesQuickly)
{
    std::vector<SearchEntry> entries;
    for (int i = 0; i < 100'000; ++i) {
        const QString name = QStringLiteral("plot %1 unit %2.fpl").arg(i).arg(i % 97);
        entries.push_back({Tab::Open, name, QStringLiteral("/data/season %1/").arg(i % 30),
                           QStringLiteral("/data/") + name});
    }
    EntrySearch search;
    search.setEntries(std::move(entries));
    QElapsedTimer timer;
    timer.start();
    const std::vector<int> found = search.find(QStringLiteral("unit 42"), 20);
    // Generous for a debug build under a sanitizer; a release build answers in a few ms.
    EXPECT_LT(timer.elapsed(), 1000);
    ASSERT_EQ(found.size(), 20u);
    EXPECT_TRUE(search.entries()[size_t(found[0])].name.contains(QStringLiteral("unit 42")));
}

} // namespace
