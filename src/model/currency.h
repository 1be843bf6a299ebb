#pragma once
// Currencies: the currencies accounts can be kept in, each with
// a symbol and its rate against the home currency, and which of them is the
// home currency. The list keeps insertion order and lives in
// "CurrenciesList.lst", which ends with the home id and its changed byte.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/money.h"
#include "model/palm_file_list.h"
#include "model/palm_list_item.h"

namespace tallowmere {

// 1..255; 1..32 for the defaults. Accounts and transactions store it.
using CurrencyId = std::uint8_t;

inline constexpr std::size_t kCurrencyRecordSize = 14;
// The symbol field, NUL included: at most 4 characters are kept.
inline constexpr std::size_t kCurrencySymbolFieldSize = 5;
inline constexpr CurrencyId kFirstHomeCurrencyId = 1;

struct DefaultCurrency {
    CurrencyId id;
    int stringId;
    // Windows-1252 bytes, as the records hold them: the symbol when the
    // string table has no text for stringId.
    std::string_view symbol;
};
// In the order CreateDefaults adds them; every rate 1.0.
inline constexpr std::array<DefaultCurrency, 32> kDefaultCurrencies = {{
    {1, 433, "$"},    {2, 408, "AU$"},   {3, 409, "R$"},   {4, 410, "\xA3"}, {5, 411, "C$"},
    {6, 412, "CNY"},  {7, 413, "Kc"},    {8, 414, "Dkr"},  {9, 415, "\x80"}, {10, 416, "HK$"},
    {11, 417, "Rs"},  {12, 418, "\xA5"}, {13, 419, "RM"},  {14, 420, "Mx$"}, {15, 421, "NZ$"},
    {16, 422, "kr"},  {17, 423, "Php"},  {18, 424, "RUB"}, {19, 425, "S$"},  {20, 426, "R"},
    {21, 427, "KRW"}, {22, 428, "SLRs"}, {23, 429, "SEK"}, {24, 430, "CHF"}, {25, 431, "NT$"},
    {26, 432, "THB"}, {27, 434, "Bs"},   {28, 286, "Rp"},  {29, 287, "AR$"}, {30, 288, "PLN"},
    {31, 289, "TZS"}, {32, 292, "S/."},
}};

// amount / rate in double precision, rounded half away from zero to whole
// cents and clamped to the range of Cents; a rate of 0, negative or not
// finite leaves the amount as it is. The one rounding of every conversion
// into the home currency.
Cents ConvertAtRate(Cents amount, double rate);

class CCurrencyItem : public CPalmListItem {
  public:
    using Record = std::array<std::uint8_t, kCurrencyRecordSize>;

    // Record clear, rate 1.0.
    CCurrencyItem();
    explicit CCurrencyItem(ForLoad tag);
    // The same with the symbol set (and with it modified).
    explicit CCurrencyItem(std::string_view symbol);

    std::string_view GetClassName() const override { return "CCurrencyItem"; }
    // Base part, the 14 bytes raw, an int32 0. Currency records have no old
    // layout.
    void Serialize(CArchive& ar) override;

    CurrencyId GetCurrencyId() const { return record_[0]; }
    // Sets modified when it changes. Meant for a currency not yet in a list
    // (the list's index would not see the change).
    void SetCurrencyId(CurrencyId id);
    std::string GetSymbol() const;
    // Keeps at most 4 characters (up to an embedded NUL); sets modified only
    // when the stored symbol changes.
    void SetSymbol(std::string_view symbol);
    // Units of this currency per one unit of the home currency.
    double GetRate() const;
    // Sets modified only when the stored bits change.
    void SetRate(double rate);

    const Record& GetRecord() const { return record_; }

    // The text that SetSymbol would store. Symbol look-ups compare this.
    static std::string StoredSymbol(std::string_view text);

  private:
    static constexpr std::size_t kSymbolOffset = 1;
    static constexpr std::size_t kRateOffset = 6;

    Record record_{};
};

class CCurrencyList : public CPalmFileList {
  public:
    CCurrencyList();

    // The items, then the home id byte and the home-changed byte (both always
    // present). Reading then drops every later live item whose id a live item
    // before it already has.
    void Serialize(CArchive& ar) override;

    // The 32 default currencies through AddUnique, attribute 0, symbols from
    // the string table; home id 1, changed 0 (a new file starts afresh
    // whatever was loaded before).
    void CreateDefaults() override;

    // The base's operations, each keeping the id index current.
    CPalmListItem* AddItem(std::unique_ptr<CPalmListItem> item, bool atTail = false);
    int AddAndSave(std::unique_ptr<CPalmListItem> item);
    // Also resets the home id to 1 and the changed byte to 0.
    void DeleteAll();
    int DeleteItem(CPalmListItem* item) override;
    int ReplaceItem(CPalmListItem* item) override;
    [[nodiscard]] Removed RemoveItem(const CPalmListItem* item) override;

    // A live currency has exactly this symbol (bytes, case-sensitive), the
    // text cut as SetSymbol would store it.
    bool SymbolExists(std::string_view symbol) const;
    // Adds the item (AddItem) unless a live currency has its symbol. Returns
    // the added item; nullptr when refused, item then stays with the caller.
    CCurrencyItem* AddUnique(std::unique_ptr<CCurrencyItem>& item, bool atTail = false);
    // Unless a live currency has the symbol (result 0, nothing added, item
    // stays with the caller): adds the item before the deleted ones and saves.
    int AddUniqueAndSave(std::unique_ptr<CCurrencyItem>& item);
    // The first live currency with this id; nullptr when none.
    CCurrencyItem* FindById(CurrencyId id) const;
    // The id a new currency gets: one more than the largest id of any record
    // (deleted ones counted); past 250 the smallest id from 1 up that no
    // record uses; 0 when every id is taken.
    CurrencyId NewCurrencyId() const;

    // The live currency whose id is the stored home id; nullptr when none.
    CCurrencyItem* GetHomeCurrency() const;
    // That currency's id; 1 when there is none.
    CurrencyId GetHomeCurrencyId() const;
    // The item's id is GetHomeCurrencyId().
    bool IsHomeCurrency(const CCurrencyItem* item) const;
    // When the item's id differs from the stored home id: it becomes the home
    // id and the changed byte is set. Does not save.
    void SetHomeCurrency(const CCurrencyItem* item);
    // Set whenever the home id changes; the sync passes it on and clears it.
    bool IsHomeChanged() const { return homeChanged_ != 0; }
    void ClearHomeChanged() { homeChanged_ = 0; }

    // The one conversion into the home currency: an amount of currency c
    // becomes amount / rate in double precision, rounded half away from zero
    // to whole cents. Unchanged for the home currency (GetHomeCurrencyId), a
    // currency not in the list, or a rate of 0 - and likewise for a rate that
    // is negative or not finite, which the UI and the handheld can deliver.
    // A result beyond the range of Cents is clamped to it.
    Cents ConvertToHomeCurrency(Cents amount, CurrencyId currency) const;
    // The rate that conversion divides by, for a caller that converts many
    // amounts of one currency; 0 where it leaves amounts as they are.
    double GetRateToHome(CurrencyId currency) const;

  protected:
    bool AcceptsItem(const CObject& obj) const override;

  private:
    void Reindex();
    void DropDuplicateIds();

    CurrencyId homeId_ = kFirstHomeCurrencyId;
    std::uint8_t homeChanged_ = 0;
    // Position + 1 of the first live item of each id, 0 for none; current
    // while items_.size() equals indexedCount_ (see CIdIndexedList).
    std::array<std::uint32_t, 256> byId_{};
    std::size_t indexedCount_ = 0;
};

}  // namespace tallowmere
