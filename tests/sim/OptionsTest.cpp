// Command line of qv725-sim: accepted values land in the options, anything else is an error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Options.h"

namespace qv725sim {
namespace {

ParseOutcome Parse(std::vector<std::string> args, SimOptions& options, std::string& error) {
    args.insert(args.begin(), "qv725-sim");
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    return ParseOptions(static_cast<int>(args.size()), argv.data(), options, error);
}

TEST(OptionsTest, DefaultsWithoutArguments) {
    SimOptions options;
    std::string error;
    ASSERT_EQ(Parse({}, options, error), ParseOutcome::Run);
    EXPECT_EQ(options.name, "sim0");
    EXPECT_TRUE(options.eepromPath.empty());
    EXPECT_FALSE(options.verbose);
    EXPECT_FALSE(options.faults.silent);
    EXPECT_FALSE(options.faults.wireSpeed);
    EXPECT_EQ(options.faults.busyPercent, 0);
    EXPECT_EQ(options.faults.garblePercent, 0);
    EXPECT_EQ(options.faults.unplugEvery, 0);
    EXPECT_EQ(options.faults.latePercent, 0);
    EXPECT_DOUBLE_EQ(options.faults.lateBy, 0.4);
    EXPECT_EQ(options.faults.shortPercent, 0);
    EXPECT_EQ(options.faults.trickleEvery, 0);
}

TEST(OptionsTest, EveryOptionIsTaken) {
    SimOptions options;
    std::string error;
    ASSERT_EQ(Parse({"--name",
                     "bench",
                     "--eeprom",
                     "/tmp/x.eeprom",
                     "--silent",
                     "--busy-percent",
                     "100",
                     "--garble-percent=5",
                     "--unplug-every",
                     "2.5",
                     "--wire-speed",
                     "--seed",
                     "18446744073709551615",
                     "--late-percent",
                     "30",
                     "--late-by",
                     "1.5",
                     "--short-percent",
                     "7",
                     "--trickle-every",
                     "0.15",
                     "-v"},
                    options, error),
              ParseOutcome::Run)
        << error;
    EXPECT_EQ(options.name, "bench");
    EXPECT_EQ(options.eepromPath, "/tmp/x.eeprom");
    EXPECT_TRUE(options.faults.silent);
    EXPECT_EQ(options.faults.busyPercent, 100);
    EXPECT_EQ(options.faults.garblePercent, 5);
    EXPECT_DOUBLE_EQ(options.faults.unplugEvery, 2.5);
    EXPECT_TRUE(options.faults.wireSpeed);
    EXPECT_EQ(options.model.seed, UINT64_MAX);
    EXPECT_EQ(options.faults.seed, UINT64_MAX);
    EXPECT_EQ(options.faults.latePercent, 30);
    EXPECT_DOUBLE_EQ(options.faults.lateBy, 1.5);
    EXPECT_EQ(options.faults.shortPercent, 7);
    EXPECT_DOUBLE_EQ(options.faults.trickleEvery, 0.15);
    EXPECT_TRUE(options.verbose);
}

TEST(OptionsTest, HelpIsNotAnError) {
    for (const char* help : {"-h", "--help"}) {
        SimOptions options;
        std::string error;
        EXPECT_EQ(Parse({help}, options, error), ParseOutcome::Help);
    }
}

TEST(OptionsTest, BadArgumentsAreRefused) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},
        {"-x"},
        {"stray"},
        {"--name"},
        {"--name", ""},
        {"--name", "a/b"},
        {"--name", ".."},
        {"--eeprom", ""},
        {"--busy-percent", "101"},
        {"--busy-percent", "-1"},
        {"--busy-percent", "50%"},
        {"--busy-percent", ""},
        {"--garble-percent", "ten"},
        {"--unplug-every", "0"},
        {"--unplug-every", "-3"},
        {"--unplug-every", "nan"},
        {"--unplug-every", "1s"},
        {"--seed", "-1"},
        {"--seed", "1e3"},
        {"--seed", "99999999999999999999999"},
        {"--silent=yes"},
        {"--late-percent", "101"},
        {"--short-percent", "-5"},
        {"--late-by", "0"},
        {"--late-by", "soon"},
        {"--trickle-every", "-0.1"},
        {"--trickle-every"},
    };
    for (const auto& args : cases) {
        SimOptions options;
        std::string error;
        EXPECT_EQ(Parse(args, options, error), ParseOutcome::Error) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

}  // namespace
}  // namespace qv725sim
