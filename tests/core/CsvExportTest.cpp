// The history as a CSV file: fields quoted by RFC 4180 and read back whole, names with commas,
// quotes and non-ASCII letters, the time column in ISO 8601 with the offset, and the sample
// times the store keeps without touching its statistics.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "AtomicFile.h"
#include "Csv.h"
#include "CsvReader.h"
#include "History.h"
#include "HistoryCsv.h"
#include "LocalTime.h"
#include "TempFolder.h"
#include "WholeFile.h"

namespace {

// 2026-12-08 17:31:03.250 UTC.
constexpr int64_t kMoment = 1796751063250;

}  // namespace

TEST(Csv, FieldsAreQuotedOnlyWhenTheyMustBe) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"lf\nonly", "\"lf\nonly\""},
        {"Lüfter °C", "Lüfter °C"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CsvField(c.in), c.out) << c.in;
    EXPECT_EQ(CsvRow({"a", "b,c", ""}), "a,\"b,c\",\r\n");
}

TEST(Csv, NumbersUseAPointAndRoundHalvesAwayFromZero) {
    EXPECT_EQ(CsvNumber(25.3f, 1), "25.3");
    EXPECT_EQ(CsvNumber(103.7f, 1), "103.7");  // not rounded to three digits like a read-out
    EXPECT_EQ(CsvNumber(0.0, 1), "0.0");
    EXPECT_EQ(CsvNumber(50.19607843, 1), "50.2");
    EXPECT_EQ(CsvNumber(0.25, 1), "0.3");
}

TEST(LocalTimeText, IsoTimeWithOffset) {
    EXPECT_EQ(IsoTimeText(kMoment, 0), "2026-12-08T17:31:03+00:00");
    EXPECT_EQ(IsoTimeText(kMoment, 60), "2026-12-08T18:31:03+01:00");
    EXPECT_EQ(IsoTimeText(kMoment, -300), "2026-12-08T12:31:03-05:00");
    EXPECT_EQ(IsoTimeText(kMoment, 330), "2026-12-08T23:01:03+05:30");
    // Across midnight and a leap day, and before 1970.
    EXPECT_EQ(IsoTimeText(1709251199000, 60), "2024-03-01T00:59:59+01:00");
    EXPECT_EQ(IsoTimeText(1709164800000, -60), "2024-02-28T23:00:00-01:00");
    EXPECT_EQ(IsoTimeText(-1, 0), "1969-12-31T23:59:59+00:00");
}

#ifndef _WIN32
TEST(LocalTimeText, LocalOffsetFollowsTheTimeZoneAndItsSummerTime) {
    const char* old = std::getenv("TZ");
    const std::string saved = old != nullptr ? old : "";
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    EXPECT_EQ(LocalIsoTimeText(kMoment), "2026-12-08T18:31:03+01:00");
    EXPECT_EQ(LocalIsoTimeText(1783000000000), "2026-07-02T15:46:40+02:00");
    setenv("TZ", "EST5", 1);
    tzset();
    EXPECT_EQ(LocalOffsetMinutes(kMoment), -300);
    if (old != nullptr)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
#endif

TEST(HistoryTimes, EachSampleKeepsItsTimeAndTheStatisticsIgnoreIt) {
    THistory timed(3);
    THistory untimed(3);
    int64_t now = kMoment;
    timed.SetClock([&] { return now; });
    untimed.SetClock({});
    const float samples[] = {20.5f, 31.25f, 18.0f, 40.0f};
    for (float value : samples) {
        timed.NewItem().Values[1] = value;
        untimed.NewItem().Values[1] = value;
        now += 1000;
    }
    ASSERT_EQ(timed.Count(), 3);
    EXPECT_EQ(timed.Items(0).TimeMs, kMoment + 1000);  // the oldest went with its time
    EXPECT_EQ(timed.Last().TimeMs, kMoment + 3000);
    EXPECT_EQ(untimed.Last().TimeMs, 0);
    EXPECT_EQ(timed.Average(1), untimed.Average(1));
    EXPECT_EQ(timed.Min(1), 18.0f);
    EXPECT_EQ(timed.Max(1), 40.0f);
}

TEST(HistoryCsvExport, WrittenFileReadsBackWithNamesTimesAndValues) {
    THistory history;
    int64_t now = kMoment;
    history.SetClock([&] { return now; });
    for (int i = 0; i < 3; ++i) {
        THistoryItem& item = history.NewItem();
        for (int c = 0; c < 6; ++c)
            item.Values[static_cast<size_t>(c)] = static_cast<float>(20 + c + i * 0.1);
        now += 1000;
    }
    const std::array<std::string, 6> names = {"CPU, top",         "Say \"fan\"", "  ",
                                              "Lüfter hinten °C", "两个风扇",    "line\r\nbreak"};
    TempFolder folder;
    const std::string file = folder.File("history.csv");
    ASSERT_TRUE(ReplaceFileWhole(
        file, HistoryToCsv(history, names, [](int64_t ms) { return IsoTimeText(ms, 60); })));

    CsvRows rows;
    std::string error;
    ASSERT_TRUE(ReadCsv(ReadWholeFile(file), rows, error)) << error;
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Time", "CPU, top", "Say \"fan\"", "Channel 3",
                                                 "Lüfter hinten °C", "两个风扇", "line\r\nbreak"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"2026-12-08T18:31:03+01:00", "20.0", "21.0",
                                                 "22.0", "23.0", "24.0", "25.0"}));
    EXPECT_EQ(rows[3][0], "2026-12-08T18:31:05+01:00");
    EXPECT_EQ(rows[3][6], "25.2");
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), 7u);
}

TEST(HistoryCsvExport, EmptyHistoryGivesTheHeaderAlone) {
    CsvRows rows;
    std::string error;
    ASSERT_TRUE(ReadCsv(HistoryToCsv(THistory(), {}), rows, error)) << error;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1], "Channel 1");
    EXPECT_EQ(rows[0][6], "Channel 6");
}
