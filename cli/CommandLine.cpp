// Command-line parsing: every option and argument is checked before anything is opened.
#include "CommandLine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "CliError.h"
#include "ValueParse.h"

namespace {

struct CommandShape {
    std::string_view name;
    size_t minArgs;
    size_t maxArgs;  // SIZE_MAX: any number
    std::string_view usage;
};

constexpr size_t kAny = static_cast<size_t>(-1);

constexpr std::array<CommandShape, 9> kCommands = {{
    {"list", 0, 0, "list"},
    {"status", 0, 0, "status"},
    {"watch", 0, 0, "watch [--interval SECONDS] [--count N] [--export DIR]"},
    {"get", 1, 1, "get CHANNEL"},
    {"set", 2, kAny, "set CHANNEL KEY=VALUE..."},
    {"pwm", 2, 2, "pwm CHANNEL PERCENT"},
    {"save", 1, 1, "save CHANNEL|all"},
    {"recall", 1, 1, "recall CHANNEL|all"},
    {"preset", 1, 2, "preset list | preset apply NAME"},
}};

// The value of an option given as "--name=value" or as the next argument.
std::string TakeValue(const std::vector<std::string>& argv, size_t& i, std::string_view name,
                      const std::optional<std::string>& inlineValue) {
    if (inlineValue) {
        return *inlineValue;
    }
    if (i + 1 >= argv.size()) {
        throw UsageError("option --" + std::string(name) + " needs a value");
    }
    return argv[++i];
}

void CheckShape(const TCommandLine& line) {
    const auto shape = std::find_if(kCommands.begin(), kCommands.end(),
                                    [&](const CommandShape& c) { return c.name == line.command; });
    if (shape == kCommands.end()) {
        throw UsageError("unknown command '" + line.command +
                         "' (commands: list status watch get set pwm save recall preset)");
    }
    const size_t n = line.args.size();
    if (line.command == "preset" && !line.args.empty()) {
        const std::string& sub = line.args[0];
        if ((sub == "list" && n == 1) || (sub == "apply" && n == 2)) {
            return;
        }
        if (sub != "list" && sub != "apply") {
            throw UsageError("unknown preset command '" + sub + "' (usage: qv725ctl " +
                             std::string(shape->usage) + ")");
        }
    } else if (n >= shape->minArgs && n <= shape->maxArgs) {
        return;
    }
    throw UsageError("wrong number of arguments (usage: qv725ctl " + std::string(shape->usage) +
                     ")");
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& argv) {
    TCommandLine line;
    bool optionsEnded = false;
    bool haveCommand = false;
    for (size_t i = 0; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        // A negative number is an argument, so its range check can name what is accepted.
        const bool negativeNumber =
            arg.size() > 1 && arg[0] == '-' &&
            (std::isdigit(static_cast<unsigned char>(arg[1])) != 0 || arg[1] == '.');
        const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-' && !negativeNumber;
        if (!isOption) {
            if (!haveCommand) {
                line.command = arg;
                haveCommand = true;
            } else {
                line.args.push_back(arg);
            }
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            line.help = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0) {
            throw UsageError("unknown option '" + arg + "' (see qv725ctl --help)");
        }
        const size_t eq = arg.find('=');
        const std::string name =
            arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        std::optional<std::string> inlineValue;
        if (eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
        }
        const auto flag = [&](bool& target) {
            if (inlineValue) {
                throw UsageError("option --" + name + " takes no value");
            }
            target = true;
        };
        if (name == "json") {
            flag(line.json);
        } else if (name == "version") {
            flag(line.version);
        } else if (name == "help") {
            flag(line.help);
        } else if (name == "port" || name == "settings" || name == "export") {
            const std::string value = TakeValue(argv, i, name, inlineValue);
            if (value.empty()) {
                throw UsageError("option --" + name + " needs a value that is not empty");
            }
            (name == "port"       ? line.port
             : name == "settings" ? line.settings
                                  : line.exportDir) = value;
        } else if (name == "interval") {
            line.interval = ParseSeconds("--interval", TakeValue(argv, i, name, inlineValue));
        } else if (name == "count") {
            line.count = ParseCount("--count", TakeValue(argv, i, name, inlineValue));
        } else {
            throw UsageError("unknown option '--" + name + "' (see qv725ctl --help)");
        }
    }
    if (line.help || line.version) {
        return line;
    }
    if (!haveCommand) {
        throw UsageError("no command given (see qv725ctl --help)");
    }
    CheckShape(line);
    if (line.command != "watch" && (line.interval || line.count || line.exportDir)) {
        throw UsageError("--interval, --count and --export go with the watch command only");
    }
    return line;
}
