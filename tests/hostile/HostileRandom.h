#pragma once
// A small seeded generator (splitmix64) for repeatable hostile inputs: a failing case is
// rebuilt from the seed its failure message prints. No platform headers, so the same
// generators also build natively.
#include <cstddef>
#include <cstdint>
#include <string>

class HostileRandom {
public:
    explicit HostileRandom(uint64_t seed) : state_(seed) {}

    uint64_t Next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, bound); bound must not be 0. The slight bias of the modulo does not
    // matter for test inputs.
    size_t Below(size_t bound) { return static_cast<size_t>(Next() % bound); }
    // Uniform in [low, high].
    size_t Between(size_t low, size_t high) { return low + Below(high - low + 1); }
    bool OneIn(size_t n) { return Below(n) == 0; }
    unsigned char Byte() { return static_cast<unsigned char>(Next() >> 56); }

    template <typename T, size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[Below(N)];
    }

private:
    uint64_t state_;
};

// The seed of case i of a generator: distinct per generator and per case, so each case
// can be replayed alone.
inline uint64_t CaseSeed(uint64_t generator, uint64_t i)
{
    return generator * 0x100000000ull + i;
}

inline std::string SeedText(uint64_t seed)
{
    return "seed " + std::to_string(seed);
}
