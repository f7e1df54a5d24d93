// Typed values: what is accepted, how it converts (as the Channel page converts), and what a
// refusal says.
#include <gtest/gtest.h>

#include <functional>

#include "ChannelUnits.h"
#include "CliError.h"
#include "ValueParse.h"

namespace {

std::string Refusal(const std::function<void()>& parse) {
    try {
        parse();
    } catch (const TCliError& error) {
        EXPECT_EQ(error.Code(), ExitCode::Usage);
        return error.what();
    }
    return "(accepted)";
}

TEST(ChannelUnits, ConvertAsTheChannelPageDoes) {
    const struct {
        double degrees;
        int32_t tenths;
    } temperatures[] = {{45.26, 453}, {45.25, 453}, {45.24, 452}, {0, 0}, {100, 1000}, {0.04, 0}};
    for (const auto& c : temperatures) {
        EXPECT_EQ(TenthsFromDegrees(c.degrees), c.tenths) << c.degrees;
    }
    const struct {
        double percent;
        int32_t pwm;
    } percents[] = {{50, 128}, {100, 255}, {0, 0}, {20, 51}, {50.2, 128}, {0.19, 0}, {0.2, 1}};
    for (const auto& c : percents) {
        EXPECT_EQ(PwmFromPercent(c.percent), c.pwm) << c.percent;
    }
    EXPECT_EQ(RpmFromValue(1234.9), 1234);
}

TEST(ChannelUnits, ShownValuesComeBackUnchangedWhenTypedAgain) {
    // A percentage shown with one decimal converts back to the same PWM, for every PWM.
    for (int32_t pwm = 0; pwm <= 255; ++pwm) {
        const std::string shown = TenthsText(PercentTenths(pwm));
        EXPECT_EQ(PwmFromPercent(std::stod(shown)), pwm) << shown;
    }
    EXPECT_EQ(TenthsText(-50), "-5.0");
    EXPECT_EQ(TenthsText(-5), "-0.5");
    EXPECT_EQ(TenthsText(253), "25.3");
    EXPECT_EQ(TenthsText(VoltTenths(255)), "12.0");
    EXPECT_EQ(TenthsText(VoltTenths(128)), "6.0");
    EXPECT_EQ(TenthsText(VoltTenths(1)), "0.0");
}

TEST(ValueParse, ChannelsAreOneToSix) {
    EXPECT_EQ(ParseChannel("1"), 0);
    EXPECT_EQ(ParseChannel("6"), 5);
    EXPECT_EQ(ParseChannelOrAll("all"), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(ParseChannelOrAll("ALL").size(), 6u);
    EXPECT_EQ(ParseChannelOrAll("3"), std::vector<int>{2});
    for (const char* bad : {"0", "7", "", "-1", "1.0", "one", " 1", "999999999999"}) {
        EXPECT_EQ(Refusal([&] { ParseChannel(bad); }),
                  std::string("channel must be a whole number from 1 to 6, not '") + bad + "'");
    }
}

TEST(ValueParse, NumbersNameTheirRangeWhenRefused) {
    EXPECT_DOUBLE_EQ(ParseNumber("tmax", "45.5", 0, 100, "°C"), 45.5);
    EXPECT_DOUBLE_EQ(ParseNumber("tmax", "100", 0, 100, "°C"), 100);
    EXPECT_DOUBLE_EQ(ParseNumber("tmax", "0", 0, 100, "°C"), 0);
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"45,5",
         "tmax: '45,5' is not a number; write decimals with '.', as in 45.5 (from 0 to "
         "100 °C)"},
        {"100.01", "tmax must be from 0 to 100 °C, not 100.01"},
        {"-0.1", "tmax must be from 0 to 100 °C, not -0.1"},
        {"", "tmax: '' is not a number (from 0 to 100 °C)"},
        {"4 5", "tmax: '4 5' is not a number (from 0 to 100 °C)"},
        {"nan", "tmax: 'nan' is not a number (from 0 to 100 °C)"},
        {"inf", "tmax: 'inf' is not a number (from 0 to 100 °C)"},
        {"0x10", "tmax: '0x10' is not a number (from 0 to 100 °C)"},
        {"1e400", "tmax: '1e400' is not a number (from 0 to 100 °C)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Refusal([&] { ParseNumber("tmax", c.text, 0, 100, "°C"); }), c.message);
    }
    EXPECT_EQ(Refusal([] { ParseNumber("valarm", "9999.5", 0, 9999, "rpm"); }),
              "valarm must be from 0 to 9999 rpm, not 9999.5");
}

TEST(ValueParse, SwitchesSecondsAndCounts) {
    for (const char* on : {"on", "ON", "1", "true", "yes"}) {
        EXPECT_TRUE(ParseSwitch("auto", on)) << on;
    }
    for (const char* off : {"off", "Off", "0", "false", "no"}) {
        EXPECT_FALSE(ParseSwitch("auto", off)) << off;
    }
    EXPECT_EQ(Refusal([] { ParseSwitch("auto", "2"); }), "auto must be on or off, not '2'");
    EXPECT_DOUBLE_EQ(ParseSeconds("--interval", "0.25"), 0.25);
    for (const char* bad : {"0", "-1", "0,5", "86401", "x"}) {
        EXPECT_NE(Refusal([&] { ParseSeconds("--interval", bad); }), "(accepted)") << bad;
    }
    EXPECT_EQ(ParseCount("--count", "3"), 3);
    for (const char* bad : {"0", "-2", "1.5", "", "9999999999"}) {
        EXPECT_NE(Refusal([&] { ParseCount("--count", bad); }), "(accepted)") << bad;
    }
}

}  // namespace
