#pragma once
// The process-wide MT19937 generator (624-word state, standard tempering).
// Unseeded it starts from 5489. Thread-safe.
#include <cstdint>

namespace tallowmere {

void RandomSeed(std::uint32_t seed);
std::uint32_t RandomNext();

}  // namespace tallowmere
