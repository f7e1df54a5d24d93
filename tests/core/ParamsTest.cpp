// The preset store's list operations and the stored channel record.
#include <gtest/gtest.h>

#include "Exceptions.h"
#include "Params.h"

namespace {

TEST(ChannelParams, ModeByteAndFlags) {
    TChannelParams p;
    p.Boost = 1;
    p.Va = 7;  // any non-zero flag byte sets its bit
    EXPECT_EQ(p.Mode(), 0x09);
    p.SetMode(0x06 | 0xF0);
    EXPECT_EQ((std::array<int, 4>{p.Boost, p.Auto, p.Ta, p.Va}), (std::array<int, 4>{0, 1, 1, 0}));
}

TEST(ChannelParams, RecordBytesAreLittleEndianInFieldOrder) {
    TChannelParams p;
    p.Boost = 1;
    p.Auto = 0;
    p.Ta = 1;
    p.Va = 0;
    p.T_min = 300;
    p.PWM_min = 77;
    p.T_max = 600;
    p.PWM_max = 255;
    p.T_alarm = 700;
    p.V_alarm = 500;
    p.PWM = -2;
    const std::array<uint8_t, 32> expected = {
        1,    0, 1, 0, 0x2C, 0x01, 0, 0, 77,   0,    0, 0, 0x58, 0x02, 0,    0,
        0xFF, 0, 0, 0, 0xBC, 0x02, 0, 0, 0xF4, 0x01, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ChannelParamsToBytes(p), expected);
    EXPECT_EQ(ChannelParamsFromBytes(expected.data()), p);
}

TEST(Params, StartsWithActiveDefault) {
    TParams params;
    ASSERT_EQ(params.Count(), 1);
    EXPECT_EQ(params.Items(0).Name, "Default");
    EXPECT_EQ(params.Active(), &params.Items(0));
    EXPECT_EQ(params.Items(0).Channels[5], TChannelParams{});
    EXPECT_FALSE(params.LoadFailed());
}

TEST(Params, IndexErrorsNameTheIndex) {
    TParams params;
    const int bad[] = {-1, 1, 7};
    for (const int index : bad) {
        const std::string message = "List index out of bounds (" + std::to_string(index) + ")";
        try {
            params.Items(index);
            ADD_FAILURE();
        } catch (const EListError& e) {
            EXPECT_EQ(e.what(), message);
        }
        EXPECT_THROW(params.SetActive(index), EListError);
        EXPECT_THROW(params.Delete(index), EListError);
    }
    EXPECT_EQ(params.Count(), 1);
    EXPECT_EQ(params.ActiveIndex(), 0);
}

TEST(Params, AddSetActiveDeleteClear) {
    TParams params;
    auto summer = std::make_unique<TParamsItem>();
    summer->Name = "Summer";
    EXPECT_EQ(params.Add(std::move(summer)), 1);
    TParamsItem& quiet = params.AddNew();
    EXPECT_EQ(quiet.Name, "");
    quiet.Name = "Quiet";
    params.SetActive(2);
    EXPECT_EQ(params.Active()->Name, "Quiet");
    params.Delete(1);
    EXPECT_EQ(params.Count(), 2);
    EXPECT_EQ(params.Items(1).Name, "Quiet");
    EXPECT_EQ(params.ActiveIndex(), 1);
    params.Delete(1);  // the active one: the store forgets it rather than keep a dangling one
    EXPECT_EQ(params.Active(), nullptr);
    EXPECT_EQ(params.ActiveIndex(), -1);
    params.Clear();
    EXPECT_EQ(params.Count(), 0);
    EXPECT_EQ(params.Active(), nullptr);
}

TEST(Params, AssignCopiesNameAndRecords) {
    TParamsItem a;
    a.Name = "A";
    a.Channels[3].T_max = 650;
    TParamsItem b;
    b.Assign(a);
    EXPECT_EQ(b.Name, "A");
    EXPECT_EQ(b.Channels, a.Channels);
    b.Assign(b);
    EXPECT_EQ(b.Name, "A");
}

}  // namespace
