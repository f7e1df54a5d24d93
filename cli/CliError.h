// The ways qv725ctl can end and the error that carries its exit code to the top of the tool.
#pragma once

#include <stdexcept>
#include <string>

// The documented exit codes; scripts rely on them.
enum class ExitCode : int {
    Done = 0,
    Failed = 1,        // the controller refused or failed, or a file could not be read or written
    Usage = 2,         // a bad command line: nothing was sent
    NoController = 3,  // no controller found
    PortInUse = 4,     // the port is held by another program
};

// An error that ends the command: its message goes to standard error, its code is the exit code.
class TCliError : public std::runtime_error {
public:
    TCliError(ExitCode code, const std::string& message)
        : std::runtime_error(message), code_(code) {}
    ExitCode Code() const { return code_; }

private:
    ExitCode code_;
};

// A bad command line; nothing has been sent when it is thrown.
inline TCliError UsageError(const std::string& message) {
    return TCliError(ExitCode::Usage, message);
}
