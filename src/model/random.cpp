#include "model/random.h"

#include <random>

#include "model/id_lock.h"

namespace tallowmere {
namespace {

std::mt19937& Engine() {
    static std::mt19937 engine;  // default seed 5489
    return engine;
}

}  // namespace

namespace detail {

void RandomSeedLocked(std::uint32_t seed) {
    Engine().seed(seed);
}

std::uint32_t RandomNextLocked() {
    return static_cast<std::uint32_t>(Engine()());
}

}  // namespace detail

void RandomSeed(std::uint32_t seed) {
    std::lock_guard lock(detail::IdLock());
    detail::RandomSeedLocked(seed);
}

std::uint32_t RandomNext() {
    std::lock_guard lock(detail::IdLock());
    return detail::RandomNextLocked();
}

}  // namespace tallowmere
