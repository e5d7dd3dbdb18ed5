#include "platform/Random.h"

#include <chrono>
#include <limits>

namespace platform {

void RandomSource::Randomize() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    const auto ticks = static_cast<uint64_t>(now);
    ++reseeds_;
    std::seed_seq seq{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32),
                      static_cast<uint32_t>(reseeds_),
                      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this))};
    engine_.seed(seq);
}

void RandomSource::Seed(uint64_t seed) {
    std::seed_seq seq{static_cast<uint32_t>(seed), static_cast<uint32_t>(seed >> 32)};
    engine_.seed(seq);
}

int32_t RandomSource::Random(int32_t k) {
    if (k <= 0)
        return 0;
    // Rejection keeps every value equally likely: draws at or above the
    // largest multiple of k would favour the small values.
    const uint64_t range = static_cast<uint64_t>(k);
    const uint64_t max = std::numeric_limits<uint64_t>::max();
    const uint64_t limit = max - (max % range + 1) % range;
    uint64_t x;
    do
        x = engine_();
    while (x > limit);
    return static_cast<int32_t>(x % range);
}

RandomSource& GlobalRandom() {
    static RandomSource source;
    return source;
}

} // namespace platform
