#pragma once
// The 16-bit machine id in bytes 0-1 of every record id made by this process.
#include <cstdint>

namespace tallowmere {

// CRC-16 (initial value 0x0DE5) of the network adapter's status block, or a
// random value when there is no adapter or its CRC is 0. Computed on first use
// and kept for the life of the process; never 0. Thread-safe.
std::uint16_t GetMachineId();

// Test-only: forgets the machine id and the record-id generator's first-call
// state, so that the next id runs the first-call steps again under the clock
// and adapter source then installed.
void ResetRecordIdGeneratorForTest();

}  // namespace tallowmere
