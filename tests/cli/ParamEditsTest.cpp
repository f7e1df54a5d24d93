// `set` changes: each key lands in its field, converted; fields not named stay as they were.
#include <gtest/gtest.h>

#include "CliError.h"
#include "ParamEdits.h"

namespace {

TChannelParams Start() {
    TChannelParams p;
    p.Boost = 1;
    p.Auto = 1;
    p.T_min = 300;
    p.PWM_min = 77;
    p.T_max = 600;
    p.PWM_max = 255;
    p.T_alarm = 700;
    p.V_alarm = 500;
    p.PWM = 128;
    return p;
}

TEST(ParamEdits, EachKeyChangesItsOwnField) {
    const struct {
        const char* item;
        void (*expect)(TChannelParams&);
    } cases[] = {
        {"tmin=25.3", [](TChannelParams& p) { p.T_min = 253; }},
        {"tmax=45.26", [](TChannelParams& p) { p.T_max = 453; }},
        {"pmin=50", [](TChannelParams& p) { p.PWM_min = 128; }},
        {"pmax=0", [](TChannelParams& p) { p.PWM_max = 0; }},
        {"talarm=99.99", [](TChannelParams& p) { p.T_alarm = 1000; }},
        {"valarm=1234.9", [](TChannelParams& p) { p.V_alarm = 1234; }},
        {"boost=off", [](TChannelParams& p) { p.Boost = 0; }},
        {"auto=off", [](TChannelParams& p) { p.Auto = 0; }},
        {"ta=on", [](TChannelParams& p) { p.Ta = 1; }},
        {"va=yes", [](TChannelParams& p) { p.Va = 1; }},
    };
    for (const auto& c : cases) {
        TChannelParams expected = Start();
        c.expect(expected);
        TChannelParams actual = Start();
        TParamEdits::Parse({c.item}).ApplyTo(actual);
        EXPECT_EQ(actual, expected) << c.item;
    }
}

TEST(ParamEdits, SeveralKeysAtOnceAndKeyListInOrder) {
    TChannelParams p = Start();
    TParamEdits::Parse({"ta=on", "tmax=50", "auto=0"}).ApplyTo(p);
    EXPECT_EQ(p.T_max, 500);
    EXPECT_EQ(p.Ta, 1);
    EXPECT_EQ(p.Auto, 0);
    EXPECT_EQ(p.PWM, 128);
    EXPECT_EQ(ParamKeys(), (std::vector<std::string_view>{"tmin", "tmax", "pmin", "pmax", "talarm",
                                                          "valarm", "boost", "auto", "ta", "va"}));
}

TEST(ParamEdits, RefusalsAreUsageErrors) {
    const struct {
        std::vector<std::string> items;
        const char* message;
    } cases[] = {
        {{},
         "set needs at least one KEY=VALUE (keys: tmin tmax pmin pmax talarm valarm boost "
         "auto ta va)"},
        {{"TMAX=5"},
         "unknown key 'TMAX' (keys: tmin tmax pmin pmax talarm valarm boost auto ta "
         "va)"},
        {{"=5"}, "unknown key '' (keys: tmin tmax pmin pmax talarm valarm boost auto ta va)"},
        {{"pwm=50"},
         "unknown key 'pwm' (keys: tmin tmax pmin pmax talarm valarm boost auto ta "
         "va)"},
        {{"tmax"},
         "'tmax' is not KEY=VALUE (keys: tmin tmax pmin pmax talarm valarm boost auto "
         "ta va)"},
        {{"tmax=1", "tmax=2"}, "tmax is given more than once"},
        {{"tmax="}, "tmax: '' is not a number (from 0 to 100 °C)"},
        {{"pmin=101"}, "pmin must be from 0 to 100 %, not 101"},
        {{"va=2"}, "va must be on or off, not '2'"},
    };
    for (const auto& c : cases) {
        try {
            TParamEdits::Parse(c.items);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const TCliError& error) {
            EXPECT_EQ(error.Code(), ExitCode::Usage);
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

}  // namespace
