// Throughput of Wake frame building and parsing, printed beside the line's own rate: at 38400
// baud with 10 bits per byte the wire carries 3840 bytes/s.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "Wake.h"

namespace {

constexpr double WireBytesPerSecond = 38400.0 / 10.0;

// Data of the given size; with escapes, every byte needs an escape pair.
std::vector<uint8_t> Payload(size_t size, bool escapes) {
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i) {
        data[i] = escapes ? (i % 2 ? wake::FEND : wake::FESC) : static_cast<uint8_t>(i * 7 + 1);
    }
    return data;
}

void SetRates(benchmark::State& state, size_t bytesPerFrame) {
    const double bytes = static_cast<double>(state.iterations() * bytesPerFrame);
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.counters["wire_bytes_per_second"] = WireBytesPerSecond;
    state.counters["frame_bytes"] = static_cast<double>(bytesPerFrame);
}

void BuildFrame(benchmark::State& state) {
    const auto data = Payload(static_cast<size_t>(state.range(0)), state.range(1) != 0);
    uint8_t out[wake::SendBufferSize];
    size_t length = 0;
    for (auto _ : state) {
        length = WakeBuildFrame(0, 6, static_cast<uint8_t>(data.size()), data.data(), out);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    SetRates(state, length);
}

void ParseFrame(benchmark::State& state) {
    const auto data = Payload(static_cast<size_t>(state.range(0)), state.range(1) != 0);
    uint8_t frame[wake::SendBufferSize];
    const size_t length =
        WakeBuildFrame(0, 6, static_cast<uint8_t>(data.size()), data.data(), frame);
    uint8_t reply[255];
    for (auto _ : state) {
        size_t next = 0;
        auto source = [&](uint8_t& b) {
            if (next >= length)
                return false;
            b = frame[next++];
            return true;
        };
        uint8_t address = 0, command = 0, count = 0;
        const bool ok = WakeReadFrame(source, address, command, reply, sizeof reply, count);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(reply);
    }
    SetRates(state, length);
}

// Sizes: an empty request, the 13-byte parameter record, a full 200-byte reply, the largest
// frame; plain data and data made only of bytes that need escaping.
void Sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"data", "escaped"});
    for (int size : {0, 13, 200, 255})
        b->Args({size, 0});
    for (int size : {13, 255})
        b->Args({size, 1});
}

BENCHMARK(BuildFrame)->Apply(Sizes);
BENCHMARK(ParseFrame)->Apply(Sizes);

}  // namespace
