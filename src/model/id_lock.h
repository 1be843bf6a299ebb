#pragma once
// Internal: the one lock round the record-id generator, the random generator
// and the unique-date counter, which the UI and sync threads share. The
// *Locked functions expect the caller to hold it.
#include <cstdint>
#include <mutex>

namespace tallowmere::detail {

inline std::mutex& IdLock() {
    static std::mutex mutex;
    return mutex;
}

void RandomSeedLocked(std::uint32_t seed);
std::uint32_t RandomNextLocked();

// The kept machine id, computed on first use.
std::uint16_t MachineIdLocked();
void ResetMachineIdLocked();

}  // namespace tallowmere::detail
