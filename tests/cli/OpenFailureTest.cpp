// The library's reasons for finding no controller, taken apart into kind, port and exit code.
#include <gtest/gtest.h>

#include "OpenFailure.h"

namespace {

TEST(OpenFailure, EachReasonHasItsKindPortAndExitCode) {
    const struct {
        const char* text;
        OpenFailureKind kind;
        const char* port;
        ExitCode code;
        const char* detail;
    } cases[] = {
        {"No controller found: no FTDI device attached.", OpenFailureKind::NoDevice, "",
         ExitCode::NoController, "no FTDI device attached."},
        {"No controller found: /dev/ttyUSB3: permission denied (install the udev rule or join "
         "the dialout group).",
         OpenFailureKind::PermissionDenied, "/dev/ttyUSB3", ExitCode::NoController,
         "permission denied (install the udev rule or join the dialout group)."},
        {"No controller found: /dev/ttyUSB0: in use by another program.", OpenFailureKind::InUse,
         "/dev/ttyUSB0", ExitCode::PortInUse, "in use by another program."},
        {"No controller found: serial:FT12:AB: in use by another program.", OpenFailureKind::InUse,
         "serial:FT12:AB", ExitCode::PortInUse, "in use by another program."},
        {"No controller found: /run/user/1000/qv725/sim0: did not answer as a controller.",
         OpenFailureKind::NotController, "/run/user/1000/qv725/sim0", ExitCode::NoController,
         "did not answer as a controller."},
        {"No controller found: something new.", OpenFailureKind::Other, "", ExitCode::NoController,
         "something new."},
        // A library that gives no reason: the text of its last request, or nothing.
        {"IO error: device not responding.", OpenFailureKind::Other, "", ExitCode::NoController,
         "No controller found (IO error: device not responding.)"},
        {"", OpenFailureKind::NoDevice, "", ExitCode::NoController, "No controller found."},
    };
    for (const auto& c : cases) {
        const TOpenFailure failure = ClassifyOpenFailure(c.text);
        EXPECT_EQ(failure.kind, c.kind) << c.text;
        EXPECT_EQ(failure.port, c.port) << c.text;
        EXPECT_EQ(OpenFailureExitCode(failure), c.code) << c.text;
        EXPECT_EQ(OpenFailureDetail(failure), c.detail) << c.text;
    }
}

}  // namespace
