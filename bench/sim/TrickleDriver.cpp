// The longest single library call against a trickling device, beside the deadline it should
// keep. qv725-sim puts a stray byte on the line every 150 ms and answers every request an hour
// late (its identification on time, so it can be opened): each command then waits for a reply
// that never comes while stray bytes keep arriving. Opening is timed over two devices that only
// trickle. Figures only; nothing here fails on a slow call.
//   bench_trickle [calls per command]
// prints: calls=<n> longest_ms=<ms> longest_call=<name> deadline_ms=<ms> open_ms=<ms>
//         open_candidates=<n> unexpected=<calls that succeeded or failed otherwise>
#include <qv725/qv725.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "Device.h"
#include "ReplyDeadline.h"
#include "SimProcess.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Command {
    const char* name;
    uint8_t (*run)();
};

const Command kCommands[] = {
    {"GetT", [] { return QV725_GetT(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); }},
    {"GetV", [] { return QV725_GetV(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); }},
    {"GetPWM", [] { return QV725_GetPWM(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); }},
    {"GetM",
     [] {
         return QV725_GetM(1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr);
     }},
    {"SetM", [] { return QV725_SetM(1, 2, 300, 77, 600, 255, 700, 500, 128); }},
    {"SetPWM", [] { return QV725_SetPWM(1, 2, 3, 4, 5, 6); }},
    {"SavePar", [] { return QV725_SavePar(1); }},
    {"CallPar", [] { return QV725_CallPar(1); }},
};

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool NotResponding() {
    const char* text = nullptr;
    QV725_GetLastError(&text);
    return text != nullptr && std::strcmp(text, "IO error: device not responding.") == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int calls = argc > 1 ? std::atoi(argv[1]) : 3;
    std::string runtime =
        (std::filesystem::temp_directory_path() / "qv725-trickle-XXXXXX").string();
    if (::mkdtemp(runtime.data()) == nullptr || ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1)) {
        std::fprintf(stderr, "cannot prepare a runtime folder\n");
        return 1;
    }
    // A reply that never starts is allowed the read timeout and the wire time of a header.
    const double deadlineMs =
        qv725::ReplyTimeoutMs + ReplyDeadline::HeaderBytes * 10.0 * 1000.0 / qv725::BaudRate;
    int status = 0;
    std::string error;
    double longestMs = 0;
    const char* longestCall = "none";
    int unexpected = 0;
    {
        qv725sim::SimProcess sim;
        if (!sim.Start(QV725_SIM_EXE,
                       {"--trickle-every", "0.15", "--late-percent", "100", "--late-by", "3600"},
                       runtime, error)) {
            std::fprintf(stderr, "qv725-sim did not start: %s\n", error.c_str());
            status = 1;
        } else if (!QV725_OpenDevice()) {
            std::fprintf(stderr, "the trickling simulator was not found\n");
            status = 1;
        }
        for (int round = 0; status == 0 && round < calls; ++round) {
            for (const Command& c : kCommands) {
                const Clock::time_point start = Clock::now();
                const uint8_t ok = c.run();
                const double ms = MsSince(start);
                unexpected += ok || !NotResponding() ? 1 : 0;
                if (ms > longestMs) {
                    longestMs = ms;
                    longestCall = c.name;
                }
            }
        }
        QV725_CloseDevice();
    }
    // Opening over devices that trickle and never identify themselves.
    double openMs = -1;
    if (status == 0) {
        qv725sim::SimProcess first;
        qv725sim::SimProcess second;
        if (first.Start(QV725_SIM_EXE, {"--name", "t0", "--silent", "--trickle-every", "0.15"},
                        runtime, error) &&
            second.Start(QV725_SIM_EXE, {"--name", "t1", "--silent", "--trickle-every", "0.15"},
                         runtime, error)) {
            const Clock::time_point start = Clock::now();
            unexpected += QV725_OpenDevice() ? 1 : 0;
            openMs = MsSince(start);
            QV725_CloseDevice();
        } else {
            std::fprintf(stderr, "qv725-sim did not start: %s\n", error.c_str());
            status = 1;
        }
    }
    if (status == 0) {
        std::printf(
            "calls=%d longest_ms=%.1f longest_call=%s deadline_ms=%.1f open_ms=%.1f "
            "open_candidates=2 unexpected=%d\n",
            calls * static_cast<int>(std::size(kCommands)), longestMs, longestCall, deadlineMs,
            openMs, unexpected);
    }
    std::error_code ignored;
    std::filesystem::remove_all(runtime, ignored);
    return status;
}
