// The runtime's random rule against the Windows C runtime's own rand() (msvcrt's; under Wine,
// Wine's): the same draws after the same seed, so a script's Seed gives the terrain it gave there.

#include "platform/RuntimeRandom.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(RuntimeRandomTest, DrawsAsTheCRuntimesRandForEverySeed) {
    for (unsigned int seed : {0u, 1u, 7u, 2024u, 0x7FFFu, 0x80000000u, 0xFFFFFFFFu}) {
        std::srand(seed);
        veltra::platform::RuntimeSrand(seed);
        int differences = 0;
        for (int draw = 0; draw < 100000; ++draw)
            differences += veltra::platform::RuntimeRand() != std::rand();
        EXPECT_EQ(differences, 0) << "seed " << seed;
    }
}

} // namespace
