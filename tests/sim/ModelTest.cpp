// Physics of the simulated controller: regulation curve, fan stall and start, boost, cooling by
// airflow, and reproducibility with a seed.
#include <gtest/gtest.h>
#include <ostream>

#include <cmath>

#include "ControllerModel.h"

namespace qv725sim {
namespace {

ChannelParams Manual(uint8_t pwm, uint8_t flags = 0) {
    ChannelParams params = FactoryChannelParams();
    params.Flags = flags;
    params.PWM = pwm;
    return params;
}

ControllerModel QuietModel() {
    ModelOptions options;
    options.noise = false;
    return ControllerModel(options);
}

struct CurveCase {
    uint16_t tMin;
    uint8_t pwmMin;
    uint16_t tMax;
    uint8_t pwmMax;
    int temperature;
    int expected;
};

// Short printed form: test names carry it, so it stays free of addresses and byte dumps.
void PrintTo(const CurveCase& c, std::ostream* os) {
    *os << "T" << c.temperature << "_curve" << c.tMin << "-" << c.tMax;
}

class CurveTest : public testing::TestWithParam<CurveCase> {};

TEST_P(CurveTest, FollowsFlatRampFlat) {
    const CurveCase& c = GetParam();
    ChannelParams params;
    params.T_min = c.tMin;
    params.PWM_min = c.pwmMin;
    params.T_max = c.tMax;
    params.PWM_max = c.pwmMax;
    EXPECT_EQ(CurvePwm(params, c.temperature), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Points, CurveTest,
    testing::Values(
        // Flat at PWM_min up to T_min, linear to PWM_max at T_max, flat above.
        CurveCase{300, 77, 600, 255, -400, 77}, CurveCase{300, 77, 600, 255, 0, 77},
        CurveCase{300, 77, 600, 255, 300, 77}, CurveCase{300, 77, 600, 255, 450, 166},
        CurveCase{300, 77, 600, 255, 600, 255}, CurveCase{300, 77, 600, 255, 900, 255},
        CurveCase{200, 0, 400, 200, 250, 50}, CurveCase{200, 0, 400, 200, 399, 199},
        // A falling curve is followed as given.
        CurveCase{300, 200, 500, 100, 400, 150},
        // T_max not above T_min: a step at T_min.
        CurveCase{400, 50, 400, 250, 400, 50}, CurveCase{400, 50, 400, 250, 401, 250},
        CurveCase{400, 50, 300, 250, 350, 50}, CurveCase{400, 50, 300, 250, 450, 250},
        // Curve temperatures are signed: -5.0 degC travels as 0xFFCE.
        CurveCase{0xFFCE, 60, 50, 160, -50, 60}, CurveCase{0xFFCE, 60, 50, 160, 0, 110},
        CurveCase{0xFFCE, 60, 50, 160, -60, 60}));

TEST(ModelTest, AutomaticModeSetsPwmFromTheCurve) {
    ControllerModel model = QuietModel();
    ChannelParams params = FactoryChannelParams();  // 30.0 degC 77 .. 60.0 degC 255
    params.PWM = 10;
    model.SetParams(0, params);
    const struct {
        double degC;
        int pwm;
    } cases[] = {{20.0, 77}, {30.0, 77}, {45.0, 166}, {60.0, 255}, {75.0, 255}};
    for (const auto& c : cases) {
        model.SetTemperature(0, c.degC);
        EXPECT_EQ(model.Pwm(0), c.pwm) << c.degC << " degC";
    }
    params.Flags = 0;
    model.SetParams(0, params);
    EXPECT_EQ(model.Pwm(0), 10) << "manual mode reports the hand-set PWM";
}

TEST(ModelTest, PwmCommandLeavesAutomaticChannelsOnTheirCurve) {
    ControllerModel model = QuietModel();
    model.SetParams(0, FactoryChannelParams());
    model.SetParams(1, Manual(100));
    model.SetTemperature(0, 45.0);
    model.SetPwm(0, 20);
    model.SetPwm(1, 20);
    EXPECT_EQ(model.Pwm(0), 166);
    EXPECT_EQ(model.Params(0).PWM, FactoryChannelParams().PWM);
    EXPECT_EQ(model.Pwm(1), 20);
    EXPECT_EQ(model.Params(1).PWM, 20);
}

struct StallCase {
    int pwm;
    bool startRunning;  // the fan was brought to speed at full drive first
    bool spins;
};

// Short printed form: test names carry it, so it stays free of addresses and byte dumps.
void PrintTo(const StallCase& c, std::ostream* os) {
    *os << "pwm" << c.pwm << (c.startRunning ? "_running" : "_stopped");
}

class StallTest : public testing::TestWithParam<StallCase> {};

TEST_P(StallTest, FanSpeedFollowsPwmAboveTheThresholds) {
    const StallCase& c = GetParam();
    ControllerModel model = QuietModel();
    if (c.startRunning) {
        model.SetParams(0, Manual(255));
        model.Advance(20);
        ASSERT_GT(model.FanSpeed(0), 0);
    }
    model.SetParams(0, Manual(static_cast<uint8_t>(c.pwm)));
    model.Advance(30);  // 20 time constants of the fan
    const double expected = c.spins ? model.MaxRpm(0) * c.pwm / 255.0 : 0.0;
    EXPECT_NEAR(model.FanSpeed(0), expected, 1.0) << "PWM " << c.pwm;
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, StallTest,
    testing::Values(
        // From standstill a fan needs StartPwm to start.
        StallCase{0, false, false}, StallCase{StallPwm, false, false},
        StallCase{StallPwm + 1, false, false}, StallCase{StartPwm - 1, false, false},
        StallCase{StartPwm, false, true}, StallCase{255, false, true},
        // A turning fan keeps turning down to just above StallPwm, and stops at it.
        StallCase{StallPwm + 1, true, true}, StallCase{60, true, true},
        StallCase{StallPwm, true, false}, StallCase{0, true, false}));

TEST(ModelTest, FanSpeedLagsBehindItsDrive) {
    ControllerModel model = QuietModel();
    model.SetParams(0, Manual(255));
    model.Advance(FanLagSeconds);
    // One time constant: about 63 % of the way.
    EXPECT_NEAR(model.FanSpeed(0), model.MaxRpm(0) * (1 - std::exp(-1.0)), 0.02 * model.MaxRpm(0));
}

TEST(ModelTest, BoostStartsAStandingFanThatWouldNotStartAlone) {
    for (const bool boost : {false, true}) {
        ControllerModel model = QuietModel();
        model.SetParams(0, Manual(60, boost ? Boost : 0));
        model.Advance(1.0);
        EXPECT_EQ(model.Boosting(0), boost);
        EXPECT_EQ(model.Drive(0), boost ? 255 : 60);
        EXPECT_EQ(model.Pwm(0), 60) << "the reported PWM is the regulated one, not the boost";
        model.Advance(BoostSeconds);
        EXPECT_FALSE(model.Boosting(0));
        EXPECT_EQ(model.Drive(0), 60);
        model.Advance(30);
        const double expected = boost ? model.MaxRpm(0) * 60 / 255.0 : 0.0;
        EXPECT_NEAR(model.FanSpeed(0), expected, 1.0) << (boost ? "with" : "without") << " boost";
    }
}

TEST(ModelTest, BoostOnlyForAFanThatShouldTurn) {
    ControllerModel model = QuietModel();
    model.SetParams(0, Manual(StallPwm, Boost));  // at the stall PWM the fan should stand
    model.Advance(1.0);
    EXPECT_FALSE(model.Boosting(0));
    EXPECT_EQ(model.FanSpeed(0), 0);

    model.SetParams(0, Manual(200, Boost));
    model.Advance(10);
    model.SetParams(0, Manual(60, Boost));  // already turning: no boost needed
    model.Advance(0.5);
    EXPECT_FALSE(model.Boosting(0));
}

TEST(ModelTest, BoostEndsWhenTheRegulationDropsToStall) {
    ControllerModel model = QuietModel();
    model.SetParams(0, Manual(60, Boost));
    model.Advance(0.5);
    ASSERT_TRUE(model.Boosting(0));
    model.SetParams(0, Manual(0, Boost));
    model.Advance(0.1);
    EXPECT_FALSE(model.Boosting(0));
    EXPECT_EQ(model.Drive(0), 0);
}

TEST(ModelTest, TemperatureSettlesAtAmbientPlusLoadWithoutAirflow) {
    ControllerModel model = QuietModel();
    model.SetAmbient(20.0);
    model.SetLoad(2, 30.0);
    model.SetParams(2, Manual(0));
    model.Advance(20 * ThermalSeconds);
    EXPECT_NEAR(model.Temperature(2), 500, 1);
}

TEST(ModelTest, TemperatureFallsWithMoreAirflow) {
    // Same seed, so the random parts are the same; only the fan differs.
    const int pwms[] = {0, 100, 160, 255};
    int previous = INT16_MAX;
    for (const int pwm : pwms) {
        ControllerModel model;
        for (int i = 0; i < ChannelCount; ++i) {
            model.SetParams(i, Manual(static_cast<uint8_t>(pwm), Boost));
        }
        model.Advance(10 * ThermalSeconds);
        EXPECT_LT(model.Temperature(3), previous) << "PWM " << pwm;
        EXPECT_GT(model.Temperature(3), 240) << "never below ambient";
        previous = model.Temperature(3);
    }
}

TEST(ModelTest, SameSeedGivesTheSameRun) {
    ModelOptions a;
    a.seed = 42;
    ModelOptions b = a;
    ModelOptions c = a;
    c.seed = 43;
    ControllerModel first(a);
    ControllerModel second(b);
    ControllerModel other(c);
    bool differs = false;
    for (int step = 0; step < 50; ++step) {
        first.Advance(0.7);
        second.Advance(0.7);
        other.Advance(0.7);
        for (int i = 0; i < ChannelCount; ++i) {
            ASSERT_EQ(first.Temperature(i), second.Temperature(i));
            ASSERT_EQ(first.FanSpeed(i), second.FanSpeed(i));
            ASSERT_EQ(first.Pwm(i), second.Pwm(i));
            differs |= first.Temperature(i) != other.Temperature(i) ||
                       first.FanSpeed(i) != other.FanSpeed(i);
        }
    }
    EXPECT_TRUE(differs) << "another seed gives another run";
}

TEST(ModelTest, FactoryStartSpinsUpAndCoolsEveryChannel) {
    // Out of the box (automatic control with boost) every fan turns within a few seconds and
    // every channel stays below its factory alarm temperature.
    ControllerModel model;
    model.Advance(5);
    for (int i = 0; i < ChannelCount; ++i) {
        EXPECT_GT(model.FanSpeed(i), 0) << "channel " << i;
    }
    model.Advance(600);
    for (int i = 0; i < ChannelCount; ++i) {
        EXPECT_LT(model.Temperature(i), FactoryChannelParams().T_alarm) << "channel " << i;
        EXPECT_GT(model.FanSpeed(i), 0) << "channel " << i;
    }
}

}  // namespace
}  // namespace qv725sim
