// Reading the library's reasons for not finding the controller.
#include "OpenFailure.h"

#include <array>

namespace {

constexpr std::string_view kLead = "No controller found: ";

struct Ending {
    std::string_view text;  // after "<port>: "
    OpenFailureKind kind;
};

constexpr std::array<Ending, 3> kEndings = {{
    {"permission denied (install the udev rule or join the dialout group).",
     OpenFailureKind::PermissionDenied},
    {"in use by another program.", OpenFailureKind::InUse},
    {"did not answer as a controller.", OpenFailureKind::NotController},
}};

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

TOpenFailure ClassifyOpenFailure(std::string_view lastError) {
    TOpenFailure failure;
    if (lastError.empty()) {
        failure.reason = "No controller found.";
        return failure;
    }
    failure.reason = std::string(lastError);
    if (lastError.substr(0, kLead.size()) != kLead) {
        // A library that names no reason leaves the text of the last request it made.
        failure.kind = OpenFailureKind::Other;
        failure.reason = "No controller found (" + std::string(lastError) + ")";
        return failure;
    }
    const std::string_view rest = lastError.substr(kLead.size());
    for (const Ending& ending : kEndings) {
        // The port comes first and may itself hold ":" (serial:ABC), so the reason is matched
        // at the end.
        const std::string tail = ": " + std::string(ending.text);
        if (EndsWith(rest, tail) && rest.size() > tail.size()) {
            failure.kind = ending.kind;
            failure.port = std::string(rest.substr(0, rest.size() - tail.size()));
            return failure;
        }
    }
    failure.kind = rest.find("no FTDI device attached") != std::string_view::npos
                       ? OpenFailureKind::NoDevice
                       : OpenFailureKind::Other;
    return failure;
}

ExitCode OpenFailureExitCode(const TOpenFailure& failure) {
    return failure.kind == OpenFailureKind::InUse ? ExitCode::PortInUse : ExitCode::NoController;
}

std::string OpenFailureDetail(const TOpenFailure& failure) {
    if (!failure.port.empty()) {
        const size_t at = failure.reason.find(failure.port + ": ");
        if (at != std::string::npos) {
            return failure.reason.substr(at + failure.port.size() + 2);
        }
    }
    if (failure.reason.rfind(kLead, 0) == 0) {
        return failure.reason.substr(kLead.size());
    }
    return failure.reason;
}
