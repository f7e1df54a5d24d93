// SplitMix64 and the few derived draws the simulator needs.
#include "Rng.h"

namespace qv725sim {

uint64_t Rng::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::Uniform() {
    // The top 53 bits give every double in [0, 1) that is a multiple of 2^-53.
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

uint32_t Rng::Below(uint32_t bound) {
    return static_cast<uint32_t>((Next() >> 32) * bound >> 32);
}

bool Rng::Percent(int percent) {
    const uint32_t draw = Below(100);
    return static_cast<int>(draw) < percent;
}

}  // namespace qv725sim
