// The command line: options anywhere, each command's arguments counted, every mistake a usage
// error.
#include <gtest/gtest.h>

#include "CliError.h"
#include "CommandLine.h"

namespace {

TEST(CommandLine, OptionsMayComeBeforeOrAfterTheCommand) {
    const TCommandLine a = ParseCommandLine({"--json", "--port", "/dev/ttyUSB3", "status"});
    const TCommandLine b = ParseCommandLine({"status", "--port=/dev/ttyUSB3", "--json"});
    for (const TCommandLine& line : {a, b}) {
        EXPECT_EQ(line.command, "status");
        EXPECT_TRUE(line.json);
        EXPECT_EQ(line.port, "/dev/ttyUSB3");
        EXPECT_TRUE(line.args.empty());
    }
    const TCommandLine watch = ParseCommandLine(
        {"watch", "--interval", "0.5", "--count=3", "--export", "/run/qv725", "--settings", "a"});
    EXPECT_DOUBLE_EQ(*watch.interval, 0.5);
    EXPECT_EQ(*watch.count, 3);
    EXPECT_EQ(*watch.exportDir, "/run/qv725");
    EXPECT_EQ(*watch.settings, "a");
}

TEST(CommandLine, ArgumentsStayInOrderAndDashesEndOptions) {
    const TCommandLine set = ParseCommandLine({"set", "2", "tmax=40", "--json", "auto=on"});
    EXPECT_EQ(set.args, (std::vector<std::string>{"2", "tmax=40", "auto=on"}));
    const TCommandLine preset = ParseCommandLine({"preset", "apply", "--", "--quiet--"});
    EXPECT_EQ(preset.args, (std::vector<std::string>{"apply", "--quiet--"}));
    // A negative number is an argument, so its range check can say what is accepted.
    EXPECT_EQ(ParseCommandLine({"pwm", "1", "-5"}).args[1], "-5");
    EXPECT_TRUE(ParseCommandLine({"--help"}).help);
    EXPECT_TRUE(ParseCommandLine({"status", "-h"}).help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).version);
}

TEST(CommandLine, MistakesAreUsageErrors) {
    const struct {
        std::vector<std::string> argv;
        const char* message;
    } cases[] = {
        {{}, "no command given (see qv725ctl --help)"},
        {{"--json"}, "no command given (see qv725ctl --help)"},
        {{"stat"},
         "unknown command 'stat' (commands: list status watch get set pwm save recall "
         "preset)"},
        {{"status", "-x"}, "unknown option '-x' (see qv725ctl --help)"},
        {{"status", "--jsn"}, "unknown option '--jsn' (see qv725ctl --help)"},
        {{"status", "--json=yes"}, "option --json takes no value"},
        {{"status", "--port"}, "option --port needs a value"},
        {{"status", "--port="}, "option --port needs a value that is not empty"},
        {{"status", "--settings", ""}, "option --settings needs a value that is not empty"},
        {{"list", "x"}, "wrong number of arguments (usage: qv725ctl list)"},
        {{"get"}, "wrong number of arguments (usage: qv725ctl get CHANNEL)"},
        {{"get", "1", "2"}, "wrong number of arguments (usage: qv725ctl get CHANNEL)"},
        {{"pwm", "1"}, "wrong number of arguments (usage: qv725ctl pwm CHANNEL PERCENT)"},
        {{"save"}, "wrong number of arguments (usage: qv725ctl save CHANNEL|all)"},
        {{"preset"}, "wrong number of arguments (usage: qv725ctl preset list | preset apply NAME)"},
        {{"preset", "list", "x"},
         "wrong number of arguments (usage: qv725ctl preset list | preset apply NAME)"},
        {{"preset", "show"},
         "unknown preset command 'show' (usage: qv725ctl preset list | preset apply NAME)"},
        {{"get", "1", "--count", "2"},
         "--interval, --count and --export go with the watch command "
         "only"},
        {{"watch", "--interval", "0"},
         "--interval must be a number of seconds above 0 and at most "
         "86400, with '.' for decimals, not '0'"},
    };
    for (const auto& c : cases) {
        try {
            ParseCommandLine(c.argv);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const TCliError& error) {
            EXPECT_EQ(error.Code(), ExitCode::Usage);
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

}  // namespace
