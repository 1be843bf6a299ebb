#include "sync/device_identity.h"

#include <algorithm>

namespace tallowmere::handheld {

bool IsAcceptableDeviceSerial(std::string_view serial) {
    if (serial.empty() || serial.size() > kMaxDeviceTextBytes || serial == "." || serial == "..")
        return false;
    return std::none_of(serial.begin(), serial.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c < 0x21 || c > 0x7E || c == '/' || c == '\\';
    });
}

std::string DeviceDisplayName(std::string_view name) {
    name = name.substr(0, name.find('\0'));
    return std::string(name.substr(0, kMaxDeviceTextBytes));
}

PasswordCrib CribFromText(std::string_view text) {
    PasswordCrib crib{};
    std::copy_n(text.begin(), std::min(text.size(), crib.size()), crib.begin());
    return crib;
}

bool CribMatches(const PasswordCrib& stored, std::string_view deviceCrib) {
    // Compared in the stored form, which a new device's crib was cut to.
    const PasswordCrib device = CribFromText(deviceCrib);
    unsigned difference = 0;
    for (std::size_t i = 0; i < device.size(); ++i)
        difference |= static_cast<unsigned>(stored[i] ^ device[i]);
    return difference == 0;
}

}  // namespace tallowmere::handheld
