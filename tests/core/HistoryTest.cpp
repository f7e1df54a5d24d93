// The temperature history: window eviction, float running sum, strict Min/Max, empty store.
#include <gtest/gtest.h>

#include "Exceptions.h"
#include "History.h"

namespace {

void AddSample(THistory& history, float channel0, float channel5 = 0.0f) {
    THistoryItem& item = history.NewItem();
    item.Values[0] = channel0;
    item.Values[5] = channel5;
}

TEST(History, EmptyStore) {
    THistory history;
    EXPECT_EQ(history.MaxCount(), 400);
    EXPECT_EQ(history.Count(), 0);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(history.Average(c), 0.0);
        EXPECT_EQ(history.Min(c), 0.0f);
        EXPECT_EQ(history.Max(c), 0.0f);
    }
    try {
        history.Last();
        ADD_FAILURE() << "no error";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
    }
    EXPECT_THROW(history.Items(0), EListError);
}

TEST(History, NewItemIsZeroAndNewest) {
    THistory history;
    THistoryItem& item = history.NewItem();
    EXPECT_EQ(item.Values, (std::array<float, 6>{}));
    item.Values[2] = 31.5f;
    EXPECT_EQ(&history.Last(), &item);
    EXPECT_EQ(history.Average(2), 31.5);
    EXPECT_EQ(history.Min(2), 31.5f);
    EXPECT_EQ(history.Max(2), 31.5f);
}

TEST(History, The401stSamplePushesOutTheFirst) {
    THistory history;
    for (int i = 1; i <= 401; ++i) {
        AddSample(history, static_cast<float>(i));
    }
    EXPECT_EQ(history.Count(), 400);
    EXPECT_EQ(history.Items(0).Values[0], 2.0f);
    EXPECT_EQ(history.Last().Values[0], 401.0f);
    EXPECT_EQ(history.Min(0), 2.0f);
    EXPECT_EQ(history.Max(0), 401.0f);
    EXPECT_EQ(history.Average(0), (2.0 + 401.0) / 2);
    AddSample(history, 0.0f);
    EXPECT_EQ(history.Count(), 400);
    EXPECT_EQ(history.Min(0), 0.0f);  // a reading of 0 counts
}

TEST(History, ZeroMaxCountMeansNoLimit) {
    THistory history(0);
    for (int i = 0; i < 1000; ++i) {
        history.NewItem();
    }
    EXPECT_EQ(history.Count(), 1000);
}

TEST(History, AverageKeepsTheSumInSinglePrecision) {
    // 2^24 + 1 is not a float: each 1.0 added to 2^24 is lost, where a double sum keeps it.
    THistory history;
    AddSample(history, 16777216.0f);
    AddSample(history, 1.0f);
    AddSample(history, 1.0f);
    EXPECT_EQ(history.Average(0), 16777216.0 / 3);
    EXPECT_NE(history.Average(0), 16777218.0 / 3);
}

TEST(History, AverageOfTenthsMatchesTheFloatSum) {
    // 25.3 is not exact in a float; the float sum of 400 of them drifts from 400 * 25.3.
    THistory history;
    for (int i = 0; i < 400; ++i) {
        AddSample(history, 25.3f);
    }
    const double average = history.Average(0);
    EXPECT_NE(average, static_cast<double>(25.3f));
    EXPECT_NEAR(average, 25.3, 1e-3);
}

TEST(History, MinMaxPerChannel) {
    THistory history;
    AddSample(history, 30.0f, -1.0f);
    AddSample(history, 10.0f, 5.0f);
    AddSample(history, 20.0f, 2.0f);
    EXPECT_EQ(history.Min(0), 10.0f);
    EXPECT_EQ(history.Max(0), 30.0f);
    EXPECT_EQ(history.Min(5), -1.0f);
    EXPECT_EQ(history.Max(5), 5.0f);
    EXPECT_EQ(history.Min(3), 0.0f);
    history.Clear();
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(history.Max(0), 0.0f);
}

}  // namespace

TEST(History, RevisionChangesWithEverySampleAddedOrRemoved) {
    THistory history(2);
    THistory other(2);
    EXPECT_NE(history.Revision(), other.Revision());
    uint64_t seen = history.Revision();
    for (int i = 0; i < 3; ++i) {  // the third evicts the oldest
        AddSample(history, 1.0f);
        EXPECT_NE(history.Revision(), seen);
        seen = history.Revision();
    }
    history.Last().Values[0] = 2.0f;  // the holder's business: no new revision
    EXPECT_EQ(history.Revision(), seen);
    history.Clear();
    EXPECT_NE(history.Revision(), seen);
    AddSample(other, 1.0f);
    EXPECT_NE(other.Revision(), history.Revision());
}
