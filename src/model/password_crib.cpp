#include "model/password_crib.h"

#include <algorithm>

#include "model/blowfish.h"

namespace tallowmere {

PasswordCrib ComputePasswordCrib(std::string_view password1252) {
    PasswordCrib crib{};
    if (password1252.empty())
        return crib;
    std::copy(kPasswordCribText.begin(), kPasswordCribText.end(), crib.begin());
    const CBlowfish cipher(password1252);
    cipher.Encipher(crib);
    return crib;
}

bool IsEmptyCrib(const PasswordCrib& crib) {
    return std::all_of(crib.begin(), crib.end(), [](std::uint8_t b) { return b == 0; });
}

bool CribsEqual(const PasswordCrib& a, const PasswordCrib& b) {
    unsigned difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned>(a[i] ^ b[i]);
    return difference == 0;
}

}  // namespace tallowmere
