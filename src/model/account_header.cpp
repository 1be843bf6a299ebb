#include "model/account_header.h"

#include <algorithm>
#include <cstring>

#include "model/byte_order.h"

namespace tallowmere {

std::uint32_t AccountHeader::GetVersion() const {
    return U32At(0);
}
void AccountHeader::SetVersion(std::uint32_t v) {
    StoreLE32(&bytes_[0], v);
}

std::uint16_t AccountHeader::GetIconIndex() const {
    return LoadLE16(&bytes_[130]);
}

std::string AccountHeader::TextAt(std::size_t offset, std::size_t fieldSize) const {
    // Bounded: a header read from a file (or deciphered with another key)
    // need not hold a NUL.
    const char* p = reinterpret_cast<const char*>(&bytes_[offset]);
    return std::string(p, strnlen(p, fieldSize - 1));
}

void AccountHeader::SetText(std::size_t offset, std::size_t fieldSize, std::string_view text,
                            std::uint32_t bit) {
    // Cut first, so a text longer than the field does not count as a change
    // at every call.
    text = text.substr(0, std::min(text.find('\0'), fieldSize - 1));
    if (TextAt(offset, fieldSize) == text)
        return;
    std::memset(&bytes_[offset], 0, fieldSize);
    if (!text.empty())
        std::memcpy(&bytes_[offset], text.data(), text.size());
    AddChange(bit);
}

void AccountHeader::ClearText(std::size_t offset, std::size_t fieldSize) {
    std::memset(&bytes_[offset], 0, fieldSize);
}

std::uint32_t AccountHeader::U32At(std::size_t offset) const {
    return LoadLE32(&bytes_[offset]);
}
Cents AccountHeader::I64At(std::size_t offset) const {
    return static_cast<Cents>(LoadLE64(&bytes_[offset]));
}

void AccountHeader::SetU32(std::size_t offset, std::uint32_t v, std::uint32_t bit) {
    if (U32At(offset) == v)
        return;
    StoreLE32(&bytes_[offset], v);
    AddChange(bit);
}

void AccountHeader::SetI64(std::size_t offset, Cents v, std::uint32_t bit) {
    if (I64At(offset) == v)
        return;
    StoreLE64(&bytes_[offset], static_cast<std::uint64_t>(v));
    AddChange(bit);
}

void AccountHeader::SetType(std::uint8_t type) {
    if (bytes_[30] == type)
        return;
    bytes_[30] = type;
    AddChange(kChangeType);
}

void AccountHeader::SetIncludeInTotals(bool on) {
    const std::uint8_t v = on ? 1 : 0;
    if (bytes_[56] == v)
        return;
    bytes_[56] = v;
    AddChange(kChangeIncludeInTotals);
}

void AccountHeader::SetIconIndex(std::uint16_t icon) {
    if (GetIconIndex() == icon)
        return;
    StoreLE16(&bytes_[130], icon);
    AddChange(kChangeIcon);
}

void AccountHeader::SetCurrencyId(std::uint8_t id) {
    if (bytes_[133] == id)
        return;
    bytes_[133] = id;
    AddChange(kChangeCurrency);
}

void AccountHeader::SetOnlineEnabled(bool on) {
    const std::uint8_t v = on ? 1 : 0;
    if (bytes_[172] == v)
        return;
    bytes_[172] = v;
    AddChange(kChangeOnlineEnabled);
}

void AccountHeader::SetClearedBalance(Cents v) {
    StoreLE64(&bytes_[40], static_cast<std::uint64_t>(v));
}
void AccountHeader::SetCurrentBalance(Cents v) {
    StoreLE64(&bytes_[48], static_cast<std::uint64_t>(v));
}

void AccountHeader::SetChangeFlags(std::uint32_t flags) {
    StoreLE32(&bytes_[156], flags);
}

}  // namespace tallowmere
