// Faults the simulated controller can be told to show: silence, busy replies, garbled replies,
// late replies, short replies, a stray byte on the line now and then, being unplugged now and
// then, and the pace of a real 38400-baud line. All random choices come from one seeded source,
// so a run is reproducible.
#pragma once

#include <cstdint>
#include <vector>

#include "Rng.h"

namespace qv725sim {

// Time one byte takes on the wire: 10 bits (start, 8 data, stop) at 38400 baud, about 260 us.
inline constexpr double WireByteSeconds = 10.0 / 38400.0;

struct FaultOptions {
    bool silent = false;      // never answer
    int busyPercent = 0;      // share of status replies turned into "device busy"
    int garblePercent = 0;    // share of replies with one byte corrupted
    double unplugEvery = 0;   // seconds plugged in between outages; 0 means never unplugged
    double unplugFor = 2.0;   // seconds each outage lasts
    bool wireSpeed = false;   // pace requests and replies at the wire's byte time
    int latePercent = 0;      // share of status replies sent late
    double lateBy = 0.4;      // seconds after its request that a late reply goes out
    int shortPercent = 0;     // share of successful status replies cut short
    double trickleEvery = 0;  // seconds between stray bytes on the line; 0 means none
    uint64_t seed = 1;
};

// The byte a trickling line carries: neither a frame start nor an escape.
inline constexpr uint8_t StrayByte = 0x55;

class FaultPolicy {
public:
    explicit FaultPolicy(const FaultOptions& options = {});

    const FaultOptions& Options() const { return options_; }
    bool Silent() const { return options_.silent; }

    // Whether to answer this request with "device busy" instead of carrying it out. Only
    // replies that carry a status byte can say so; echo and identification never do.
    bool TakeBusy(uint8_t command);

    // Whether to send this reply late (lateBy after its request), when the receiver has long
    // given up on it. Like busy, only replies that carry a status byte: the device can still be
    // found.
    bool TakeLate(uint8_t command);

    // Cuts a successful reply that carries a status byte short, sometimes, and says whether it
    // did: it keeps half its data bytes, rounded down (a status-only reply keeps none), so the
    // frame is well formed and its status, if any, says success, but fields are missing.
    bool MaybeShorten(uint8_t command, std::vector<uint8_t>& data);

    // Corrupts one byte of a stuffed reply frame, sometimes, and says whether it did. The byte
    // is chosen after the count byte and outside escape pairs and is never made FEND or FESC,
    // so the frame keeps its length and only its CRC check can tell: the receiver always
    // rejects it, and at once.
    bool MaybeGarble(std::vector<uint8_t>& frame);
    // The same corruption, unconditionally; false when the frame has no byte that qualifies.
    bool Garble(std::vector<uint8_t>& frame);

    // Whether the device is plugged in at this many seconds after the simulator started:
    // plugged for unplugEvery seconds, then gone for unplugFor seconds, and so on.
    bool PluggedAt(double seconds) const;

private:
    FaultOptions options_;
    Rng rng_;
};

}  // namespace qv725sim
