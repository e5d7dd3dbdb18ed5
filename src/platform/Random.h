// The program's pseudo-random source: reseeded from the high-resolution
// clock whenever the program asks for fresh randomness, with a uniform
// Random(k) for small k.
#pragma once

#include <cstdint>
#include <random>

namespace platform {

class RandomSource {
public:
    explicit RandomSource(uint64_t seed = 0) { Seed(seed); }

    // Reseeds from the high-resolution clock. A running count of reseeds is
    // mixed in, so two reseeds within one clock tick still differ.
    void Randomize();
    void Seed(uint64_t seed);

    // A uniformly distributed integer from 0 to k - 1; 0 when k <= 0.
    int32_t Random(int32_t k);

private:
    std::mt19937_64 engine_;
    uint64_t reseeds_ = 0;
};

// The program-wide source.
RandomSource& GlobalRandom();

} // namespace platform
