// Option parsing for qv725-sim: every value is checked whole, nothing is guessed.
#include "Options.h"

#include <getopt.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "SimLink.h"

namespace qv725sim {

namespace {

enum LongOnly {
    OptName = 256,
    OptEeprom,
    OptSilent,
    OptBusy,
    OptGarble,
    OptUnplug,
    OptWireSpeed,
    OptSeed,
    OptLate,
    OptLateBy,
    OptShort,
    OptTrickle,
};

bool ParseInt(const char* text, long min, long max, long& value) {
    if (text == nullptr || *text == '\0') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < min || parsed > max) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseSeconds(const char* text, double& value) {
    if (text == nullptr || *text == '\0') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || parsed <= 0 || parsed > 86400) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseSeed(const char* text, uint64_t& value) {
    if (text == nullptr || *text == '\0' || *text == '-') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0') {
        return false;
    }
    value = parsed;
    return true;
}

}  // namespace

ParseOutcome ParseOptions(int argc, char** argv, SimOptions& options, std::string& error) {
    static const option longOptions[] = {
        {"name", required_argument, nullptr, OptName},
        {"eeprom", required_argument, nullptr, OptEeprom},
        {"silent", no_argument, nullptr, OptSilent},
        {"busy-percent", required_argument, nullptr, OptBusy},
        {"garble-percent", required_argument, nullptr, OptGarble},
        {"unplug-every", required_argument, nullptr, OptUnplug},
        {"wire-speed", no_argument, nullptr, OptWireSpeed},
        {"seed", required_argument, nullptr, OptSeed},
        {"late-percent", required_argument, nullptr, OptLate},
        {"late-by", required_argument, nullptr, OptLateBy},
        {"short-percent", required_argument, nullptr, OptShort},
        {"trickle-every", required_argument, nullptr, OptTrickle},
        {"verbose", no_argument, nullptr, 'v'},
        {"help", no_argument, nullptr, 'h'},
        {nullptr, 0, nullptr, 0},
    };
    // getopt keeps its position in globals; start afresh so the parser can run more than once.
    optind = 0;
    opterr = 0;
    for (;;) {
        const int opt = getopt_long(argc, argv, ":vh", longOptions, nullptr);
        if (opt == -1) {
            break;
        }
        long number = 0;
        switch (opt) {
            case OptName:
                if (!IsValidSimName(optarg)) {
                    error = std::string("invalid name '") + optarg + "': it must not be empty " +
                            "or contain '/'";
                    return ParseOutcome::Error;
                }
                options.name = optarg;
                break;
            case OptEeprom:
                if (*optarg == '\0') {
                    error = "--eeprom needs a file name";
                    return ParseOutcome::Error;
                }
                options.eepromPath = optarg;
                break;
            case OptSilent:
                options.faults.silent = true;
                break;
            case OptBusy:
            case OptGarble:
            case OptLate:
            case OptShort: {
                const char* name = opt == OptBusy     ? "--busy-percent"
                                   : opt == OptGarble ? "--garble-percent"
                                   : opt == OptLate   ? "--late-percent"
                                                      : "--short-percent";
                if (!ParseInt(optarg, 0, 100, number)) {
                    error = std::string(name) + " needs a whole number from 0 to 100, not '" +
                            optarg + "'";
                    return ParseOutcome::Error;
                }
                int& percent = opt == OptBusy     ? options.faults.busyPercent
                               : opt == OptGarble ? options.faults.garblePercent
                               : opt == OptLate   ? options.faults.latePercent
                                                  : options.faults.shortPercent;
                percent = static_cast<int>(number);
                break;
            }
            case OptLateBy:
            case OptTrickle:
                if (!ParseSeconds(optarg, opt == OptLateBy ? options.faults.lateBy
                                                           : options.faults.trickleEvery)) {
                    error = std::string(opt == OptLateBy ? "--late-by" : "--trickle-every") +
                            " needs a number of seconds above 0, not '" + optarg + "'";
                    return ParseOutcome::Error;
                }
                break;
            case OptUnplug:
                if (!ParseSeconds(optarg, options.faults.unplugEvery)) {
                    error = std::string("--unplug-every needs a number of seconds above 0, not '") +
                            optarg + "'";
                    return ParseOutcome::Error;
                }
                break;
            case OptWireSpeed:
                options.faults.wireSpeed = true;
                break;
            case OptSeed:
                if (!ParseSeed(optarg, options.model.seed)) {
                    error = std::string("--seed needs a whole number of 0 or more, not '") +
                            optarg + "'";
                    return ParseOutcome::Error;
                }
                options.faults.seed = options.model.seed;
                break;
            case 'v':
                options.verbose = true;
                break;
            case 'h':
                return ParseOutcome::Help;
            case ':':
                error = std::string("option ") + argv[optind - 1] + " needs a value";
                return ParseOutcome::Error;
            default:
                error = std::string("unknown option ") + argv[optind - 1];
                return ParseOutcome::Error;
        }
    }
    if (optind < argc) {
        error = std::string("unexpected argument '") + argv[optind] + "'";
        return ParseOutcome::Error;
    }
    return ParseOutcome::Run;
}

std::string UsageText() {
    return "Usage: qv725-sim [OPTION]...\n"
           "Simulated QV-725 fan controller on a pseudo-terminal. It publishes the link\n"
           "<folder>/<name>, where <folder> is $XDG_RUNTIME_DIR/qv725 (or /tmp/qv725-<uid>),\n"
           "prints 'ready <link>' when it answers requests, and removes the link on\n"
           "SIGINT or SIGTERM.\n"
           "\n"
           "  --name NAME            name of the link (default sim0)\n"
           "  --eeprom FILE          EEPROM image file (default <folder>/<name>.eeprom)\n"
           "  --silent               never answer\n"
           "  --busy-percent N       answer N % of the requests with 'device busy'\n"
           "  --garble-percent N     corrupt one byte of N % of the replies\n"
           "  --unplug-every SECONDS vanish for 2 seconds after every SECONDS plugged in\n"
           "  --late-percent N       answer N % of the requests late (see --late-by)\n"
           "  --late-by SECONDS      how long after its request a late reply comes\n"
           "                         (default 0.4, when the library has given up on it)\n"
           "  --short-percent N      cut N % of the successful replies short: half their\n"
           "                         data bytes, in a well-formed frame\n"
           "  --trickle-every SECONDS put a stray byte (0x55) on the line every SECONDS\n"
           "  --wire-speed           take as long as a 38400-baud line would\n"
           "  --seed N               seed of the simulation and of the faults (default 1)\n"
           "  -v, --verbose          log every frame to standard error\n"
           "  -h, --help             show this help\n";
}

}  // namespace qv725sim
