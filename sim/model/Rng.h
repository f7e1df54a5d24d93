// Small seeded random source (SplitMix64) whose sequence is the same on every platform, so a
// simulation run with a given seed is reproducible; the standard distributions are not.
#pragma once

#include <cstdint>

namespace qv725sim {

class Rng {
public:
    explicit Rng(uint64_t seed = 0) : state_(seed) {}

    uint64_t Next();
    // Uniform in [0, 1).
    double Uniform();
    // Uniform in [-1, 1).
    double Symmetric() { return Uniform() * 2.0 - 1.0; }
    // Uniform integer in [0, bound); bound > 0.
    uint32_t Below(uint32_t bound);
    // True with the given chance in percent (0 never, 100 always). Always draws once.
    bool Percent(int percent);

private:
    uint64_t state_;
};

}  // namespace qv725sim
