#pragma once
// A 32-bit uniform random source for the whole program. Tests seed it to repeat a sequence.

#include <cstdint>

namespace foundation {

// A uniformly distributed 32-bit value.
std::uint32_t random32();

// Restarts the sequence from `seed`.
void seedRandom(std::uint64_t seed);

}  // namespace foundation
