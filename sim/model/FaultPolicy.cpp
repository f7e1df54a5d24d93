// Fault decisions of the simulated controller.
#include "FaultPolicy.h"

#include <cmath>

#include "Protocol.h"
#include "WakeFrame.h"

namespace qv725sim {

FaultPolicy::FaultPolicy(const FaultOptions& options)
    : options_(options), rng_(options.seed ^ 0x5EEDFA017ull) {}

bool FaultPolicy::TakeBusy(uint8_t command) {
    if (options_.busyPercent <= 0 || !HasStatusByte(command)) {
        return false;
    }
    return rng_.Percent(options_.busyPercent);
}

bool FaultPolicy::TakeLate(uint8_t command) {
    if (options_.latePercent <= 0 || !HasStatusByte(command)) {
        return false;
    }
    return rng_.Percent(options_.latePercent);
}

bool FaultPolicy::MaybeShorten(uint8_t command, std::vector<uint8_t>& data) {
    if (options_.shortPercent <= 0 || !HasStatusByte(command) || data.empty() ||
        data[0] != StatusOk) {
        return false;
    }
    if (!rng_.Percent(options_.shortPercent)) {
        return false;
    }
    data.resize(data.size() / 2);
    return true;
}

bool FaultPolicy::MaybeGarble(std::vector<uint8_t>& frame) {
    if (options_.garblePercent <= 0 || !rng_.Percent(options_.garblePercent)) {
        return false;
    }
    return Garble(frame);
}

bool FaultPolicy::Garble(std::vector<uint8_t>& frame) {
    // Our replies carry no address: FEND, CMD, N, then data and CRC from index 3 on.
    std::vector<size_t> candidates;
    for (size_t i = 3; i < frame.size(); ++i) {
        const bool escapeStart = frame[i] == wake::FESC;
        const bool escapeEnd = frame[i - 1] == wake::FESC;
        if (!escapeStart && !escapeEnd) {
            candidates.push_back(i);
        }
    }
    if (candidates.empty()) {
        return false;
    }
    const size_t at = candidates[rng_.Below(static_cast<uint32_t>(candidates.size()))];
    uint8_t changed = frame[at];
    do {
        changed = static_cast<uint8_t>(frame[at] ^ (1 + rng_.Below(255)));
    } while (changed == wake::FEND || changed == wake::FESC);
    frame[at] = changed;
    return true;
}

bool FaultPolicy::PluggedAt(double seconds) const {
    if (options_.unplugEvery <= 0 || options_.unplugFor <= 0) {
        return true;
    }
    const double cycle = options_.unplugEvery + options_.unplugFor;
    return std::fmod(seconds, cycle) < options_.unplugEvery;
}

}  // namespace qv725sim
