// A small driver for counting what one poll costs the library: it starts qv725-sim --wire-speed
// in a private runtime folder, opens it and runs N polls (temperatures, fan speeds, PWM, as the
// program's polling cycle reads them) in RunPolls, which callgrind can be told to count alone.
// System calls are counted from outside (strace) by comparing runs of different N.
//   bench_poll_driver <polls>
//   bench_poll_driver --once-a-second <seconds>   (one poll a second, as the program polls:
//                                                  what polling alone costs, measured from
//                                                  outside beside the program)
// prints: polls=<n> wire_bytes_per_poll=<bytes> failed=<failed requests>
//         reads_per_poll=<read calls> writes_per_poll=<write calls> (this thread's own count)
#include <qv725/qv725.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "SimProcess.h"
#include "Wake.h"

namespace {

size_t FrameBytes(uint8_t command, const uint8_t* data, size_t count) {
    uint8_t frame[wake::SendBufferSize];
    return WakeBuildFrame(0, command, static_cast<uint8_t>(count), data, frame);
}

// Wire bytes of one exchange: the request without data and the reply as its values make it.
size_t ExchangeBytes(uint8_t command, const int32_t (&values)[6], bool wide) {
    uint8_t reply[13] = {0};
    size_t n = 1;
    for (const int32_t v : values) {
        reply[n++] = static_cast<uint8_t>(v & 0xFF);
        if (wide) {
            reply[n++] = static_cast<uint8_t>((v >> 8) & 0xFF);
        }
    }
    return FrameBytes(command, nullptr, 0) + FrameBytes(command, reply, n);
}

// One poll's readings.
struct Readings {
    int32_t t[6], v[6], p[6];
    int failed;
};

// The measured part: nothing but the library's calls.
__attribute__((noinline)) void RunPolls(std::vector<Readings>& polls) {
    for (Readings& r : polls) {
        r.failed = !QV725_GetT(&r.t[0], &r.t[1], &r.t[2], &r.t[3], &r.t[4], &r.t[5]);
        r.failed += !QV725_GetV(&r.v[0], &r.v[1], &r.v[2], &r.v[3], &r.v[4], &r.v[5]);
        r.failed += !QV725_GetPWM(&r.p[0], &r.p[1], &r.p[2], &r.p[3], &r.p[4], &r.p[5]);
    }
}

// Read and write system calls of this thread so far, from /proc/thread-self/io (-1 if there is
// no such file); poll() is not among them.
void IoCalls(long& reads, long& writes) {
    reads = writes = -1;
    std::ifstream io("/proc/thread-self/io");
    std::string name;
    long value = 0;
    while (io >> name >> value) {
        if (name == "syscr:")
            reads = value;
        if (name == "syscw:")
            writes = value;
    }
}

// One poll at the start of every second, for `seconds` seconds.
void PollOnceASecond(int seconds, std::vector<Readings>& readings) {
    readings.assign(static_cast<size_t>(seconds > 0 ? seconds : 0), Readings{});
    auto next = std::chrono::steady_clock::now();
    for (Readings& r : readings) {
        std::vector<Readings> one(1);
        RunPolls(one);
        r = one[0];
        next += std::chrono::seconds(1);
        std::this_thread::sleep_until(next);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const bool paced = argc > 2 && std::string(argv[1]) == "--once-a-second";
    const int polls = std::atoi(paced ? argv[2] : argc > 1 ? argv[1] : "100");
    if (polls <= 0 || (argc > 1 && !paced && std::string(argv[1]).rfind("--", 0) == 0)) {
        std::fprintf(stderr, "usage: bench_poll_driver [POLLS] | --once-a-second SECONDS\n");
        return 2;
    }
    std::string runtime = (std::filesystem::temp_directory_path() / "qv725-driver-XXXXXX").string();
    if (::mkdtemp(runtime.data()) == nullptr || ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1)) {
        std::fprintf(stderr, "cannot prepare a runtime folder\n");
        return 1;
    }
    int status = 0;
    {
        qv725sim::SimProcess sim;
        std::string error;
        if (!sim.Start(QV725_SIM_EXE, {"--wire-speed"}, runtime, error)) {
            std::fprintf(stderr, "qv725-sim did not start: %s\n", error.c_str());
            status = 1;
        } else if (!QV725_OpenDevice()) {
            std::fprintf(stderr, "the simulator was not found\n");
            status = 1;
        } else {
            std::vector<Readings> readings(static_cast<size_t>(polls));
            long reads0 = 0, writes0 = 0, reads1 = 0, writes1 = 0;
            IoCalls(reads0, writes0);
            if (paced)
                PollOnceASecond(polls, readings);
            else
                RunPolls(readings);
            IoCalls(reads1, writes1);
            QV725_CloseDevice();
            size_t bytes = 0;
            int failed = 0;
            for (const Readings& r : readings) {
                bytes += ExchangeBytes(6, r.t, true) + ExchangeBytes(7, r.v, true) +
                         ExchangeBytes(11, r.p, false);
                failed += r.failed;
            }
            const double n = polls > 0 ? polls : 1;
            // Reading the counters costs one read call of its own, taken off here.
            std::printf(
                "polls=%d wire_bytes_per_poll=%.1f failed=%d reads_per_poll=%.2f "
                "writes_per_poll=%.2f\n",
                polls, static_cast<double>(bytes) / n, failed,
                reads0 < 0 ? -1.0 : static_cast<double>(reads1 - reads0 - 1) / n,
                writes0 < 0 ? -1.0 : static_cast<double>(writes1 - writes0) / n);
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(runtime, ignored);
    return status;
}
