#pragma once
// Deterministic pseudo-noise: a seeded hash of a counter and a channel, so the same seed, calls
// and clock always give the same readings of the simulated dish, and the satellite tables the
// same derived carrier-to-noise ratios (no global random state).
#include <cstdint>

namespace quillox {

constexpr uint64_t Mix64(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;  // splitmix64 finaliser
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

constexpr uint64_t HashOf(uint64_t a, uint64_t b, uint64_t c = 0) {
    return Mix64(Mix64(Mix64(a) ^ b) ^ c);
}

// Uniform in [-1, 1).
constexpr double SignedUnit(uint64_t hash) {
    return static_cast<double>(hash >> 11) * 0x1.0p-52 - 1.0;
}

}  // namespace quillox
