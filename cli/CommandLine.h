// The command line of qv725ctl: global options anywhere, one command and its arguments, and the
// options of `watch`.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct TCommandLine {
    bool json = false;
    bool help = false;
    bool version = false;
    std::optional<std::string> port;      // --port
    std::optional<std::string> settings;  // --settings
    // watch only
    std::optional<double> interval;  // seconds
    std::optional<long> count;
    std::optional<std::string> exportDir;

    std::string command;            // empty only with --help or --version
    std::vector<std::string> args;  // the command's own arguments
};

// Parses argv (without argv[0]). Options may come before or after the command, as "--name
// value" or "--name=value"; "--" ends the options. Throws a usage error for an unknown option,
// an option without its value, an empty --port or --settings, a watch option with another
// command, an unknown command, or a command with the wrong number of arguments.
TCommandLine ParseCommandLine(const std::vector<std::string>& argv);
