#pragma once
// A user's password check value, the "Password Crib": the password's
// Windows-1252 bytes key Blowfish, which enciphers one fixed 40-byte text in
// ECB (five blocks, big-endian halves). The password itself is never stored.
// Cribs already in the registry, and those a handheld sends for the users it
// creates, verify only against this same text: a handheld must compute its
// crib exactly this way.
#include <array>
#include <cstdint>
#include <string_view>

#include "model/preferences.h"

namespace tallowmere {

using PasswordCrib = std::array<std::uint8_t, kPasswordCribSize>;

// The enciphered text: exactly 40 bytes, no terminator.
inline constexpr std::string_view kPasswordCribText = "Tallowmere Desktop password crib text 01";
static_assert(kPasswordCribText.size() == kPasswordCribSize);

// The crib of a password; 40 zero bytes (no password) for an empty one.
PasswordCrib ComputePasswordCrib(std::string_view password1252);

// All 40 bytes zero: the user has no password.
bool IsEmptyCrib(const PasswordCrib& crib);

// Compares all 40 bytes, taking the same time wherever they differ.
bool CribsEqual(const PasswordCrib& a, const PasswordCrib& b);

}  // namespace tallowmere
