#pragma once
// The Blowfish block cipher (OpenSSL's libcrypto), keyed with a user's
// password bytes, working on 8-byte blocks whose halves are big-endian.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace tallowmere {

class CBlowfish {
  public:
    // key: the password's Windows-1252 bytes (1 to 72 of them are used).
    explicit CBlowfish(std::span<const std::uint8_t> key);
    explicit CBlowfish(std::string_view key);
    ~CBlowfish();
    CBlowfish(const CBlowfish&) = delete;
    CBlowfish& operator=(const CBlowfish&) = delete;

    // ECB over every whole 8-byte block of data; a tail shorter than a block
    // is left as it is.
    void Encipher(std::span<std::uint8_t> data) const;
    void Decipher(std::span<std::uint8_t> data) const;

  private:
    struct Key;
    std::unique_ptr<Key> key_;
};

}  // namespace tallowmere
