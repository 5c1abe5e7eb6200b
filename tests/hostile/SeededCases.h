#pragma once
// Runs a seeded check over many cases and reports each failing case with its seed, so
// it can be replayed alone; stops after a few failures to keep the output readable.
#include <gtest/gtest.h>

#include <string>

#include "hostile/HostileRandom.h"

// check(rng) returns an empty string when the case is as expected, else what differs.
template <typename Check>
void ForEachSeededCase(uint64_t generator, int cases, Check check)
{
    int failures = 0;
    for (int i = 0; i < cases && failures < 5; ++i) {
        const uint64_t seed = CaseSeed(generator, static_cast<uint64_t>(i));
        HostileRandom rng(seed);
        const std::string problem = check(rng);
        if (!problem.empty()) {
            ++failures;
            ADD_FAILURE() << SeedText(seed) << ": " << problem;
        }
    }
}
