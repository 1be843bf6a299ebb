#pragma once
// Stand-in for the network adapter status block behind the machine id.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tallowmere::platform {

inline constexpr std::size_t kAdapterStatusSize = 600;
using AdapterStatus = std::array<std::uint8_t, kAdapterStatusSize>;

// A zeroed 600-byte block with the 6-byte hardware address of the first
// non-loopback interface (interfaces in name order) that has a non-zero one
// at offset 0. Empty when there is no such interface.
std::optional<AdapterStatus> ReadAdapterStatus();

// One link-layer address as the system lists it (named apart from the
// IPv4 interfaces of local_address.h: one name for two types breaks the
// program at link time).
struct HardwareInterface {
    std::string name;
    bool loopback = false;
    std::vector<std::uint8_t> address;
};

// The choice ReadAdapterStatus makes, over a given list: only 6-byte,
// non-zero, non-loopback addresses count.
std::optional<AdapterStatus> ChooseAdapterStatus(std::vector<HardwareInterface> interfaces);

// Tests replace the source; nullptr restores the real one.
using AdapterSource = std::function<std::optional<AdapterStatus>()>;
void SetAdapterSource(AdapterSource source);
std::optional<AdapterStatus> CurrentAdapterStatus();

}  // namespace tallowmere::platform
