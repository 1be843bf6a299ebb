#include "model/machine_id.h"

#include "model/crc16.h"
#include "model/id_lock.h"
#include "platform/adapter_id.h"

namespace tallowmere {
namespace {

constexpr std::uint16_t kAdapterCrcInitial = 0x0DE5;

std::uint16_t gMachineId = 0;  // guarded by IdLock; 0 until computed

std::uint16_t ComputeMachineId() {
    if (auto status = platform::CurrentAdapterStatus()) {
        std::uint16_t crc = Crc16(status->data(), status->size(), kAdapterCrcInitial);
        if (crc != 0)
            return crc;
    }
    auto id = static_cast<std::uint16_t>(detail::RandomNextLocked() % 0xFFFF);
    // 0 would make every id recompute it; 0xFFFF is the one value the random
    // rule never yields.
    return id != 0 ? id : 0xFFFF;
}

}  // namespace

namespace detail {

std::uint16_t MachineIdLocked() {
    if (gMachineId == 0)
        gMachineId = ComputeMachineId();
    return gMachineId;
}

void ResetMachineIdLocked() {
    gMachineId = 0;
}

}  // namespace detail

std::uint16_t GetMachineId() {
    std::lock_guard lock(detail::IdLock());
    return detail::MachineIdLocked();
}

}  // namespace tallowmere
