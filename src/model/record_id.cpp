#include "model/record_id.h"

#include "model/id_lock.h"
#include "model/machine_id.h"
#include "model/palm_time.h"
#include "platform/clock.h"

namespace tallowmere {
namespace {

// Guarded by IdLock.
bool gStarted = false;
std::uint16_t gSequence = 0;

void PutBigEndian16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}

}  // namespace

void NewRecordId(RecordId& out) {
    std::lock_guard lock(detail::IdLock());
    if (!gStarted) {
        // The sequence starts at a random value each run, so that ids of two
        // runs within one second on one machine still differ.
        detail::RandomSeedLocked(platform::CurrentClock().TickCount());
        gSequence = static_cast<std::uint16_t>(detail::RandomNextLocked() % 0xFFFF);
        gStarted = true;
    }
    std::uint16_t machine = detail::MachineIdLocked();
    ++gSequence;
    PalmTime now = NowAsPalmTime();
    PutBigEndian16(&out.bytes[0], machine);
    PutBigEndian16(&out.bytes[2], gSequence);
    PutBigEndian16(&out.bytes[4], static_cast<std::uint16_t>(now >> 16));
    PutBigEndian16(&out.bytes[6], static_cast<std::uint16_t>(now));
}

void ResetRecordIdGeneratorForTest() {
    std::lock_guard lock(detail::IdLock());
    gStarted = false;
    gSequence = 0;
    detail::ResetMachineIdLocked();
}

char* RecordIdToHex(const RecordId& id, char* buffer) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char* p = buffer;
    for (std::uint8_t b : id.bytes) {
        *p++ = kDigits[b >> 4];
        *p++ = kDigits[b & 0x0F];
    }
    *p = '\0';
    return p;
}

std::string RecordIdToHex(const RecordId& id) {
    char buffer[17];
    char* end = RecordIdToHex(id, buffer);
    return std::string(buffer, end);
}

}  // namespace tallowmere
