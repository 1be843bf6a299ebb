#pragma once
// The checks on what a device says about itself before it names a desktop
// user: its serial becomes a folder and registry key name, its name a user
// name, and its password crib is compared with the stored one.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/preferences.h"

namespace tallowmere::handheld {

// The user record's text fields hold 199 bytes and a NUL.
inline constexpr std::size_t kMaxDeviceTextBytes = 199;

// A serial that can name a user folder and registry key, and that compares
// without case by one rule everywhere: 1 to 199 printable ASCII characters
// (0x21-0x7E) other than '/' and '\\', and not "." or "..".
bool IsAcceptableDeviceSerial(std::string_view serial);

// The device name cut to the record's field, at a NUL as well.
std::string DeviceDisplayName(std::string_view name);

using PasswordCrib = std::array<std::uint8_t, kPasswordCribSize>;

// The crib as it is stored: the text's bytes, then zeros, cut at 40.
PasswordCrib CribFromText(std::string_view text);

// The stored crib equals the device's over all 40 bytes, compared in
// constant time.
bool CribMatches(const PasswordCrib& stored, std::string_view deviceCrib);

}  // namespace tallowmere::handheld
