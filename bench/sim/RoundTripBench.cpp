// Round trips through the device library to qv725-sim --wire-speed over a real pseudo-terminal:
// one temperature read, and one whole poll (temperatures, fan speeds, PWM). Each is printed
// beside the time the same bytes take on a 38400-baud line (10 bits per byte), as a ratio to
// it, and with the library's own CPU time per request. With --sim-at-once the simulator answers
// without pacing. Figures only; nothing here can fail.
#include <benchmark/benchmark.h>
#include <qv725/qv725.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "SimProcess.h"
#include "Wake.h"

namespace {

constexpr double WireByteSeconds = 10.0 / 38400.0;

std::string setupError = "not set up";

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

size_t FrameBytes(uint8_t command, const std::vector<uint8_t>& data) {
    uint8_t frame[wake::SendBufferSize];
    return WakeBuildFrame(0, command, static_cast<uint8_t>(data.size()), data.data(), frame);
}

// Bytes of one exchange on the wire: the request frame and the reply frame, stuffed, as the
// reply's values make them.
size_t ExchangeBytes(uint8_t command, const std::vector<uint8_t>& replyData) {
    return FrameBytes(command, {}) + FrameBytes(command, replyData);
}

std::vector<uint8_t> Reply16(const int32_t (&values)[6]) {
    std::vector<uint8_t> data{0};
    for (const int32_t v : values) {
        data.push_back(static_cast<uint8_t>(v & 0xFF));
        data.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    return data;
}

std::vector<uint8_t> Reply8(const int32_t (&values)[6]) {
    std::vector<uint8_t> data{0};
    for (const int32_t v : values) {
        data.push_back(static_cast<uint8_t>(v & 0xFF));
    }
    return data;
}

size_t ReadTemperatures() {
    int32_t t[6] = {};
    if (!QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5])) {
        return 0;
    }
    return ExchangeBytes(6, Reply16(t));
}

size_t ReadFanSpeeds() {
    int32_t v[6] = {};
    if (!QV725_GetV(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5])) {
        return 0;
    }
    return ExchangeBytes(7, Reply16(v));
}

size_t ReadPwm() {
    int32_t p[6] = {};
    if (!QV725_GetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5])) {
        return 0;
    }
    return ExchangeBytes(11, Reply8(p));
}

template <size_t (*... Requests)()>
void RunExchanges(benchmark::State& state) {
    if (!setupError.empty()) {
        state.SkipWithError(setupError.c_str());
        return;
    }
    constexpr size_t requestsPerIteration = sizeof...(Requests);
    size_t bytes = 0;
    size_t failures = 0;
    const double cpuStart = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (size_t (*request)() : {Requests...}) {
            const size_t n = request();
            bytes += n;
            failures += n == 0 ? 1 : 0;
        }
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double iterations = static_cast<double>(state.iterations());
    if (iterations == 0 || bytes == 0) {
        return;
    }
    const double wireSeconds = static_cast<double>(bytes) / iterations * WireByteSeconds;
    state.counters["bytes"] = static_cast<double>(bytes) / iterations;
    state.counters["wire_ms"] = wireSeconds * 1e3;
    state.counters["x_wire"] = elapsed / iterations / wireSeconds;
    state.counters["cpu_us/req"] = cpu / (iterations * requestsPerIteration) * 1e6;
    state.counters["failed"] = static_cast<double>(failures);
}

void BM_GetT(benchmark::State& state) {
    RunExchanges<ReadTemperatures>(state);
}
void BM_Poll(benchmark::State& state) {
    RunExchanges<ReadTemperatures, ReadFanSpeeds, ReadPwm>(state);
}

BENCHMARK(BM_GetT)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Poll)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // --sim-at-once: the simulator hands each reply over in one piece instead of pacing it, so
    // the library's CPU time per request shows without one wake-up per arriving byte.
    bool atOnce = false;
    for (int i = 1; i < argc; ++i) {
        atOnce = atOnce || std::string(argv[i]) == "--sim-at-once";
    }
    const std::vector<std::string> simArgs =
        atOnce ? std::vector<std::string>{} : std::vector<std::string>{"--wire-speed"};

    // A private runtime folder, so the library finds exactly this simulator.
    std::string runtime = (std::filesystem::temp_directory_path() / "qv725-bench-XXXXXX").string();
    const bool haveFolder = ::mkdtemp(runtime.data()) != nullptr;
    auto sim = std::make_unique<qv725sim::SimProcess>();
    if (!haveFolder) {
        setupError = "cannot create a temporary folder";
    } else if (::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1) != 0) {
        setupError = "cannot set XDG_RUNTIME_DIR";
    } else if (std::string error; !sim->Start(QV725_SIM_EXE, simArgs, runtime, error)) {
        setupError = "qv725-sim did not start: " + error;
    } else if (!QV725_OpenDevice()) {
        const char* text = nullptr;
        QV725_GetLastError(&text);
        setupError = std::string("QV725_OpenDevice failed: ") + (text != nullptr ? text : "");
    } else {
        setupError.clear();
        std::printf("qv725-sim%s at %s; wire limit = frame bytes x 10 bits / 38400 baud\n",
                    atOnce ? "" : " --wire-speed", sim->LinkPath().c_str());
    }
    if (!setupError.empty()) {
        std::printf("round trips not measured: %s\n", setupError.c_str());
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    QV725_CloseDevice();
    sim.reset();
    if (haveFolder) {
        std::error_code ignored;
        std::filesystem::remove_all(runtime, ignored);
    }
    return 0;
}
