// The low-level Blowfish interface is deprecated in OpenSSL 3 but is the one
// that takes short password keys without the legacy provider.
#define OPENSSL_API_COMPAT 0x10100000L
#define OPENSSL_SUPPRESS_DEPRECATED

#include "model/blowfish.h"

#include <openssl/blowfish.h>
#include <openssl/crypto.h>

#include <algorithm>
#include <climits>

namespace tallowmere {

struct CBlowfish::Key {
    BF_KEY bf{};
    // The schedule is as good as the password: it does not outlive its use.
    ~Key() { OPENSSL_cleanse(&bf, sizeof bf); }
};

CBlowfish::CBlowfish(std::span<const std::uint8_t> key) : key_(std::make_unique<Key>()) {
    // Blowfish uses at most 72 key bytes; an empty key is keyed as one zero.
    static const std::uint8_t zero = 0;
    const std::uint8_t* data = key.empty() ? &zero : key.data();
    const int size = key.empty() ? 1 : static_cast<int>(std::min<std::size_t>(key.size(), 72));
    BF_set_key(&key_->bf, size, data);
}

CBlowfish::CBlowfish(std::string_view key)
    : CBlowfish(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(key.data()),
                                              key.size())) {}

CBlowfish::~CBlowfish() = default;

void CBlowfish::Encipher(std::span<std::uint8_t> data) const {
    for (std::size_t i = 0; i + 8 <= data.size(); i += 8) {
        BF_ecb_encrypt(data.data() + i, data.data() + i, &key_->bf, BF_ENCRYPT);
    }
}

void CBlowfish::Decipher(std::span<std::uint8_t> data) const {
    for (std::size_t i = 0; i + 8 <= data.size(); i += 8) {
        BF_ecb_encrypt(data.data() + i, data.data() + i, &key_->bf, BF_DECRYPT);
    }
}

}  // namespace tallowmere
