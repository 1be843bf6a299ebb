#pragma once
// The 360-byte header record of an account file, kept as bytes with explicit
// little-endian accessors. Every setter that changes a field sets that
// field's change bit, which the handheld sync reads and clears.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/money.h"
#include "model/palm_time.h"
#include "model/record_id.h"

namespace tallowmere {

inline constexpr std::size_t kAccountHeaderSize = 360;
inline constexpr std::uint32_t kAccountHeaderVersion = 10;

// Account types.
enum AccountType : std::uint8_t {
    kChecking = 0,
    kSavings = 1,
    kCash = 2,
    kCreditCard = 3,
    kAsset = 4,
    kLiability = 5,
    kMoneyMarket = 6,
    kLineOfCredit = 7,
};

// Change bits.
inline constexpr std::uint32_t kChangeName = 0x1;
inline constexpr std::uint32_t kChangeType = 0x2;
inline constexpr std::uint32_t kChangeOpeningBalance = 0x4;
inline constexpr std::uint32_t kChangeAccountNumber = 0x8;
inline constexpr std::uint32_t kChangeBankName = 0x10;
inline constexpr std::uint32_t kChangeLastCheck = 0x20;
inline constexpr std::uint32_t kChangeIcon = 0x40;
inline constexpr std::uint32_t kChangeOnlineEnabled = 0x80;
inline constexpr std::uint32_t kChangeCustomerId = 0x200;
inline constexpr std::uint32_t kChangeOnlinePassword = 0x400;
inline constexpr std::uint32_t kChangeFiId = 0x800;
inline constexpr std::uint32_t kChangeRoutingNumber = 0x1000;
inline constexpr std::uint32_t kChangeDownloadEndDate = 0x2000;
inline constexpr std::uint32_t kChangeLastReconcileBalance = 0x4000;
inline constexpr std::uint32_t kChangeLastReconcileDate = 0x8000;
inline constexpr std::uint32_t kChangeReconcileOpening = 0x10000;
inline constexpr std::uint32_t kChangeReconcileEnding = 0x20000;
inline constexpr std::uint32_t kChangeReconcileDate = 0x40000;
inline constexpr std::uint32_t kChangeCurrency = 0x80000;
inline constexpr std::uint32_t kChangeIncludeInTotals = 0x100000;
// Bits that make an account count as modified (0x100 does not).
inline constexpr std::uint32_t kModifiedMask = 0x000000FF | 0x001FFE00;

// The enciphered span: customer id, password and 8 reserved bytes.
inline constexpr std::size_t kCipherOffset = 174;
inline constexpr std::size_t kCipherSize = 72;  // 9 blocks; 246-247 stay plain

class AccountHeader {
  public:
    using Bytes = std::array<std::uint8_t, kAccountHeaderSize>;

    AccountHeader() = default;
    explicit AccountHeader(const Bytes& bytes) : bytes_(bytes) {}

    const Bytes& GetBytes() const { return bytes_; }
    Bytes& MutableBytes() { return bytes_; }

    std::uint32_t GetVersion() const;
    void SetVersion(std::uint32_t v);

    std::string GetName() const { return TextAt(4, 26); }
    std::uint8_t GetType() const { return bytes_[30]; }
    Cents GetOpeningBalance() const { return I64At(32); }
    Cents GetClearedBalance() const { return I64At(40); }
    Cents GetCurrentBalance() const { return I64At(48); }
    bool GetIncludeInTotals() const { return bytes_[56] != 0; }
    std::string GetAccountNumber() const { return TextAt(57, 21); }
    std::string GetBankName() const { return TextAt(78, 33); }
    std::uint32_t GetLastCheckNumber() const { return U32At(112); }
    RecordId GetId() const { return RecordId::FromBytes(&bytes_[120]); }
    std::uint16_t GetIconIndex() const;
    std::uint8_t GetCurrencyId() const { return bytes_[133]; }
    std::uint32_t GetChangeFlags() const { return U32At(156); }
    bool GetOnlineEnabled() const { return bytes_[172] != 0; }
    std::string GetCustomerId() const { return TextAt(174, 33); }
    std::string GetOnlinePassword() const { return TextAt(207, 33); }
    std::uint32_t GetFiId() const { return U32At(248); }
    std::string GetRoutingNumber() const { return TextAt(252, 10); }
    std::string GetDownloadEndDate() const { return TextAt(262, 65); }
    Cents GetLastReconcileBalance() const { return I64At(328); }
    PalmTime GetLastReconcileDate() const { return U32At(336); }
    Cents GetReconcileOpening() const { return I64At(340); }
    Cents GetReconcileEnding() const { return I64At(348); }
    PalmTime GetReconcileDate() const { return U32At(356); }

    // Text setters: cut to the field's limit, then compare with the stored
    // text (exact bytes); equal does nothing, else the field is zero-filled,
    // written and its bit set.
    void SetName(std::string_view text) { SetText(4, 26, text, kChangeName); }
    void SetAccountNumber(std::string_view text) { SetText(57, 21, text, kChangeAccountNumber); }
    void SetBankName(std::string_view text) { SetText(78, 33, text, kChangeBankName); }
    void SetRoutingNumber(std::string_view text) { SetText(252, 10, text, kChangeRoutingNumber); }
    void SetCustomerId(std::string_view text) { SetText(174, 33, text, kChangeCustomerId); }
    void SetOnlinePassword(std::string_view text) { SetText(207, 33, text, kChangeOnlinePassword); }
    void SetDownloadEndDate(std::string_view text) {
        SetText(262, 65, text, kChangeDownloadEndDate);
    }
    // The null-text forms: the field is cleared and no bit is set.
    void ClearAccountNumber() { ClearText(57, 21); }
    void ClearBankName() { ClearText(78, 33); }
    void ClearRoutingNumber() { ClearText(252, 10); }
    void ClearDownloadEndDate() { ClearText(262, 65); }

    // Value setters set their bit when the value changes.
    void SetType(std::uint8_t type);
    void SetOpeningBalance(Cents v) { SetI64(32, v, kChangeOpeningBalance); }
    void SetIncludeInTotals(bool on);
    void SetLastCheckNumber(std::uint32_t n) { SetU32(112, n, kChangeLastCheck); }
    void SetIconIndex(std::uint16_t icon);
    void SetCurrencyId(std::uint8_t id);
    void SetOnlineEnabled(bool on);
    void SetFiId(std::uint32_t id) { SetU32(248, id, kChangeFiId); }
    void SetLastReconcileBalance(Cents v) { SetI64(328, v, kChangeLastReconcileBalance); }
    void SetLastReconcileDate(PalmTime t) { SetU32(336, t, kChangeLastReconcileDate); }
    void SetReconcileOpening(Cents v) { SetI64(340, v, kChangeReconcileOpening); }
    void SetReconcileEnding(Cents v) { SetI64(348, v, kChangeReconcileEnding); }
    void SetReconcileDate(PalmTime t) { SetU32(356, t, kChangeReconcileDate); }

    // Cached balances and the id carry no change bit.
    void SetClearedBalance(Cents v);
    void SetCurrentBalance(Cents v);
    void SetId(const RecordId& id) { id.ToBytes(&bytes_[120]); }

    void SetChangeFlags(std::uint32_t flags);
    bool IsModified() const { return (GetChangeFlags() & kModifiedMask) != 0; }
    // Clears exactly the modified bits; 0x100 and the bits above stay.
    void ClearChangeFlags() { SetChangeFlags(GetChangeFlags() & ~kModifiedMask); }

  private:
    std::string TextAt(std::size_t offset, std::size_t fieldSize) const;
    void SetText(std::size_t offset, std::size_t fieldSize, std::string_view text,
                 std::uint32_t bit);
    void ClearText(std::size_t offset, std::size_t fieldSize);
    std::uint32_t U32At(std::size_t offset) const;
    Cents I64At(std::size_t offset) const;
    void SetU32(std::size_t offset, std::uint32_t v, std::uint32_t bit);
    void SetI64(std::size_t offset, Cents v, std::uint32_t bit);
    void AddChange(std::uint32_t bit) { SetChangeFlags(GetChangeFlags() | bit); }

    Bytes bytes_{};
};

}  // namespace tallowmere
