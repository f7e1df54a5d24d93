// What a failed search for the controller means: the library's one-line reason, taken apart
// into its kind and port, and the exit code it calls for.
#pragma once

#include <string>
#include <string_view>

#include "CliError.h"

enum class OpenFailureKind {
    NoDevice,          // no device attached, or no reason given
    PermissionDenied,  // the port may not be opened by this user
    InUse,             // another program holds the port
    NotController,     // the device did not answer as a controller
    Other,             // a reason this tool does not know
};

struct TOpenFailure {
    OpenFailureKind kind = OpenFailureKind::NoDevice;
    std::string port;    // the port the reason names; empty when it names none
    std::string reason;  // the library's text, or "No controller found." when it gave none
};

// Takes apart the last-error text after a failed QV725_OpenDevice, which reads
// "No controller found: <port>: <reason>" or "No controller found: <reason>".
TOpenFailure ClassifyOpenFailure(std::string_view lastError);

// 4 for a port in use, else 3.
ExitCode OpenFailureExitCode(const TOpenFailure& failure);

// The reason alone, without the leading "No controller found: <port>: " ("in use by another
// program."): what `list` shows beside the port.
std::string OpenFailureDetail(const TOpenFailure& failure);
