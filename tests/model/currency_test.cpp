// Currencies: the 32 defaults in Windows-1252, golden file bytes
// with the home trailer, duplicate ids on load, the home currency, unique
// symbols, and the one conversion into the home currency.
#include "model/currency.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "list_test_items.h"
#include "model/archive.h"
#include "model/list_file_names.h"
#include "model/string_table.h"
#include "platform/text_1252.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;
using test::Field;

void Tag(Bytes& b, std::size_t n) {
    b.ItemTag("CCurrencyItem", n);
}

std::uint64_t Bits(double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

// One currency record as the file lays it out: base part, id byte,
// symbol[5], rate (IEEE double, little-endian), then the int32 0.
void CurrencyRecord(Bytes& b, std::uint8_t attribute, std::uint8_t id, std::string_view symbol,
                    double rate = 1.0) {
    b.D(0).B(attribute).B(id).Raw(Field(symbol, 5)).Q(Bits(rate)).D(0);
}

// The table: id, string id, symbol bytes in Windows-1252.
const struct {
    int id;
    int stringId;
    const char* symbol;
} kTable[] = {
    {1, 433, "$"},    {2, 408, "AU$"},   {3, 409, "R$"},   {4, 410, "\xA3"}, {5, 411, "C$"},
    {6, 412, "CNY"},  {7, 413, "Kc"},    {8, 414, "Dkr"},  {9, 415, "\x80"}, {10, 416, "HK$"},
    {11, 417, "Rs"},  {12, 418, "\xA5"}, {13, 419, "RM"},  {14, 420, "Mx$"}, {15, 421, "NZ$"},
    {16, 422, "kr"},  {17, 423, "Php"},  {18, 424, "RUB"}, {19, 425, "S$"},  {20, 426, "R"},
    {21, 427, "KRW"}, {22, 428, "SLRs"}, {23, 429, "SEK"}, {24, 430, "CHF"}, {25, 431, "NT$"},
    {26, 432, "THB"}, {27, 434, "Bs"},   {28, 286, "Rp"},  {29, 287, "AR$"}, {30, 288, "PLN"},
    {31, 289, "TZS"}, {32, 292, "S/."},
};

std::unique_ptr<CCurrencyItem> Currency(std::uint8_t id, std::string_view symbol,
                                        double rate = 1.0) {
    auto item = std::make_unique<CCurrencyItem>(symbol);
    item->SetCurrencyId(id);
    item->SetRate(rate);
    return item;
}

class CurrencyTest : public ::testing::Test {
  protected:
    void SetUp() override { path_ = test::MakeTempDir("currencies") + "/" + kCurrenciesListFile; }

    std::string path_;
    test::CapturingSink sink_;
};

TEST_F(CurrencyTest, DefaultsMatchThePartsTable) {
    CCurrencyList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    ASSERT_EQ(list.GetCount(true), 32u);
    for (std::size_t i = 0; i < 32; ++i) {
        SCOPED_TRACE(kTable[i].id);
        auto* c = dynamic_cast<CCurrencyItem*>(list.GetAt(i, true));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->GetCurrencyId(), kTable[i].id);
        EXPECT_EQ(c->GetSymbol(), kTable[i].symbol);
        EXPECT_EQ(c->GetRate(), 1.0);
        EXPECT_EQ(c->GetAttribute(), 0);
        EXPECT_EQ(kDefaultCurrencies[i].id, kTable[i].id);
        EXPECT_EQ(kDefaultCurrencies[i].stringId, kTable[i].stringId);
        EXPECT_EQ(kDefaultCurrencies[i].symbol, kTable[i].symbol);
        // The string table gives the same symbol as UTF-8 text.
        EXPECT_EQ(platform::Utf8ToCp1252(LoadString(kTable[i].stringId)), kTable[i].symbol);
    }
    EXPECT_EQ(list.GetHomeCurrencyId(), 1);
    EXPECT_FALSE(list.IsHomeChanged());

    // The whole file, byte for byte.
    Bytes b;
    b.W(32);
    for (std::size_t i = 0; i < 32; ++i) {
        Tag(b, i);
        CurrencyRecord(b, 0, static_cast<std::uint8_t>(kTable[i].id), kTable[i].symbol);
    }
    b.B(1).B(0);
    EXPECT_EQ(test::ReadFileBytes(path_), b.str());
}

TEST_F(CurrencyTest, SmallListWithTrailerIsByteForByte) {
    CCurrencyList list;
    list.SetPath(path_);
    auto usd = Currency(1, "$");
    auto eur = Currency(9, "\x80", 0.9125);
    auto gbp = Currency(4, "\xA3", 0.79);
    CCurrencyItem* eurRaw = eur.get();
    ASSERT_NE(list.AddUnique(usd), nullptr);
    ASSERT_NE(list.AddUnique(gbp), nullptr);
    ASSERT_NE(list.AddUnique(eur), nullptr);
    list.SetHomeCurrency(eurRaw);
    ASSERT_EQ(list.DeleteItem(list.FindById(4)), 0);

    Bytes b;
    b.W(3);
    Tag(b, 0);
    CurrencyRecord(b, 0x40, 1, "$");
    Tag(b, 1);
    CurrencyRecord(b, 0x40, 9, "\x80", 0.9125);
    Tag(b, 2);
    CurrencyRecord(b, 0xC0, 4, "\xA3", 0.79);
    b.B(9).B(1);
    EXPECT_EQ(test::ReadFileBytes(path_), b.str());

    CCurrencyList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(again.GetCount(true), 3u);
    EXPECT_EQ(again.GetHomeCurrencyId(), 9);
    EXPECT_TRUE(again.IsHomeChanged());
    EXPECT_EQ(again.FindById(9)->GetRate(), 0.9125);
    EXPECT_EQ(again.FindById(4), nullptr);  // deleted
}

TEST_F(CurrencyTest, FileWithoutTheTrailerFailsToLoad) {
    Bytes items;
    items.W(1);
    Tag(items, 0);
    CurrencyRecord(items, 0, 1, "$");
    for (const std::string& bytes : {items.str(), items.str() + '\x01'}) {
        CCurrencyList list;
        list.SetPath(path_);
        EXPECT_NE(list.LoadData(Bytes().Raw(bytes).vec()), 0);
        EXPECT_EQ(list.GetCount(true), 0u);
        EXPECT_EQ(list.FindById(1), nullptr);
        EXPECT_EQ(list.GetHomeCurrencyId(), 1);
    }
    CCurrencyList list;
    ASSERT_EQ(list.LoadData(Bytes().Raw(items.str()).B(1).B(0).vec()), 0);
    EXPECT_EQ(list.FindById(1)->GetSymbol(), "$");
}

TEST_F(CurrencyTest, LaterLiveItemsWithADuplicateIdAreDroppedOnLoad) {
    Bytes b;
    b.W(5);
    Tag(b, 0);
    CurrencyRecord(b, 0, 5, "C$");
    Tag(b, 1);
    CurrencyRecord(b, 0, 6, "CNY");
    Tag(b, 2);
    CurrencyRecord(b, 0x40, 5, "X5");
    Tag(b, 3);
    CurrencyRecord(b, 0, 5, "Y5");
    Tag(b, 4);
    CurrencyRecord(b, 0xC0, 5, "Z5");  // deleted: not a live duplicate
    b.B(5).B(0);
    CCurrencyList list;
    list.SetPath(path_);
    ASSERT_EQ(list.LoadData(b.vec()), 0);
    ASSERT_EQ(list.GetCount(true), 3u);
    EXPECT_EQ(list.FindById(5)->GetSymbol(), "C$");
    EXPECT_EQ(list.FindById(6)->GetSymbol(), "CNY");
    EXPECT_EQ(dynamic_cast<CCurrencyItem*>(list.GetAt(2, true))->GetSymbol(), "Z5");
    EXPECT_FALSE(list.SymbolExists("X5"));
    // The next save writes the cleaned list.
    ASSERT_EQ(list.Save(), 0);
    Bytes clean;
    clean.W(3);
    Tag(clean, 0);
    CurrencyRecord(clean, 0, 5, "C$");
    Tag(clean, 1);
    CurrencyRecord(clean, 0, 6, "CNY");
    Tag(clean, 2);
    CurrencyRecord(clean, 0xC0, 5, "Z5");
    clean.B(5).B(0);
    EXPECT_EQ(test::ReadFileBytes(path_), clean.str());
}

TEST_F(CurrencyTest, MissingHomeRecordReadsAsHomeIdOne) {
    Bytes b;
    b.W(2);
    Tag(b, 0);
    CurrencyRecord(b, 0, 2, "AU$", 1.5);
    Tag(b, 1);
    CurrencyRecord(b, 0xC0, 7, "Kc", 20.0);
    b.B(7).B(0);  // home is the deleted one
    CCurrencyList list;
    ASSERT_EQ(list.LoadData(b.vec()), 0);
    EXPECT_EQ(list.GetHomeCurrency(), nullptr);
    EXPECT_EQ(list.GetHomeCurrencyId(), 1);
    // Converting: currency 1 counts as home (and is not in the list anyway),
    // currency 2 divides by its rate, the deleted 7 is unknown.
    EXPECT_EQ(list.ConvertToHomeCurrency(300, 1), 300);
    EXPECT_EQ(list.ConvertToHomeCurrency(300, 2), 200);
    EXPECT_EQ(list.ConvertToHomeCurrency(300, 7), 300);
    EXPECT_TRUE(list.IsHomeCurrency(nullptr) == false);
}

TEST_F(CurrencyTest, SettingTheHomeCurrency) {
    CCurrencyList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    CCurrencyItem* usd = list.FindById(1);
    CCurrencyItem* eur = list.FindById(9);
    EXPECT_TRUE(list.IsHomeCurrency(usd));
    list.SetHomeCurrency(usd);  // already home
    EXPECT_FALSE(list.IsHomeChanged());
    list.SetHomeCurrency(eur);
    EXPECT_TRUE(list.IsHomeChanged());
    EXPECT_EQ(list.GetHomeCurrency(), eur);
    EXPECT_TRUE(list.IsHomeCurrency(eur));
    EXPECT_FALSE(list.IsHomeCurrency(usd));
    list.ClearHomeChanged();
    list.SetHomeCurrency(eur);  // the same again leaves the byte as it was
    EXPECT_FALSE(list.IsHomeChanged());
    list.SetHomeCurrency(nullptr);
    EXPECT_EQ(list.GetHomeCurrencyId(), 9);
}

TEST_F(CurrencyTest, EveryLoadAndEveryNewFileStartsWithHomeOne) {
    CCurrencyList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    list.SetHomeCurrency(list.FindById(12));
    ASSERT_EQ(list.Save(), 0);
    ASSERT_EQ(list.Load(path_), 0);
    EXPECT_EQ(list.GetHomeCurrencyId(), 12);
    EXPECT_TRUE(list.IsHomeChanged());
    // Another user's folder without a file: its defaults have home 1.
    const std::string other = test::MakeTempDir("other") + "/" + kCurrenciesListFile;
    ASSERT_EQ(list.LoadOrCreate(other), 0);
    EXPECT_EQ(list.GetHomeCurrencyId(), 1);
    EXPECT_FALSE(list.IsHomeChanged());
    EXPECT_EQ(test::ReadFileBytes(other).substr(test::ReadFileBytes(other).size() - 2),
              std::string("\x01\x00", 2));
}

TEST_F(CurrencyTest, SymbolsAreUniqueByExactBytes) {
    CCurrencyList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    EXPECT_TRUE(list.SymbolExists("$"));
    EXPECT_FALSE(list.SymbolExists("$ "));
    EXPECT_FALSE(list.SymbolExists("c$"));
    EXPECT_TRUE(list.SymbolExists("C$"));
    EXPECT_TRUE(list.SymbolExists("SLRs!"));  // cut to 4 characters as stored
    const std::string before = test::ReadFileBytes(path_);

    auto dollar = Currency(33, "$");
    CCurrencyItem* raw = dollar.get();
    EXPECT_EQ(list.AddUnique(dollar), nullptr);
    ASSERT_EQ(dollar.get(), raw);  // handed back, not destroyed
    EXPECT_EQ(list.AddUniqueAndSave(dollar), 0);
    EXPECT_EQ(dollar.get(), raw);
    EXPECT_EQ(list.GetCount(true), 32u);
    EXPECT_EQ(test::ReadFileBytes(path_), before);

    for (const char* symbol : {"$ ", "c$"}) {
        auto item = Currency(list.NewCurrencyId(), symbol);
        EXPECT_EQ(list.AddUniqueAndSave(item), 0) << symbol;
        EXPECT_TRUE(item == nullptr) << symbol;
    }
    EXPECT_EQ(list.GetCount(true), 34u);
    EXPECT_EQ(list.FindById(33)->GetSymbol(), "$ ");
    EXPECT_EQ(list.FindById(34)->GetSymbol(), "c$");
    CCurrencyList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(again.GetCount(true), 34u);

    // A deleted currency's symbol is free again; the new one goes before it.
    ASSERT_EQ(list.DeleteItem(list.FindById(34)), 0);
    auto revived = Currency(list.NewCurrencyId(), "c$");
    EXPECT_EQ(revived->GetCurrencyId(), 35);
    EXPECT_NE(list.AddUnique(revived), nullptr);
    EXPECT_EQ(dynamic_cast<CCurrencyItem*>(list.GetAt(34, true))->GetCurrencyId(), 34);
}

TEST_F(CurrencyTest, NewCurrencyIds) {
    CCurrencyList list;
    EXPECT_EQ(list.NewCurrencyId(), 1);
    auto a = Currency(250, "A");
    list.AddUnique(a);
    auto b = Currency(1, "B");
    list.AddUnique(b);
    EXPECT_EQ(list.NewCurrencyId(), 2);  // past 250: the smallest free id
    for (int id = 2; id <= 255; ++id) {
        auto c = Currency(static_cast<std::uint8_t>(id), "S" + std::to_string(id));
        list.AddItem(std::move(c));
    }
    EXPECT_EQ(list.NewCurrencyId(), 0);
}

TEST_F(CurrencyTest, ConversionIntoTheHomeCurrency) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Cents max = std::numeric_limits<Cents>::max();
    const Cents min = std::numeric_limits<Cents>::min();
    const struct {
        Cents amount;
        double rate;
        Cents expected;
    } cases[] = {
        {1000, 3.0, 333},
        {-1000, 3.0, -333},
        {2000, 3.0, 667},
        {1, 2.0, 1},  // half a cent rounds away from zero
        {-1, 2.0, -1},
        {3, 2.0, 2},
        {-3, 2.0, -2},
        {5, 2.0, 3},
        {-5, 2.0, -3},
        {0, 2.0, 0},
        {12345, 1.0, 12345},
        {10000, 0.5, 20000},
        {10000, 0.0, 10000},  // rate 0: unchanged
        {10000, -0.0, 10000},
        {10000, -2.0, 10000},  // a rate no currency can have: unchanged
        {10000, nan, 10000},
        {10000, inf, 10000},
        {10000, -inf, 10000},
        {1, 1e-300, max},  // beyond the range: clamped
        {-1, 1e-300, min},
        {max, 0.5, max},
        {min, 0.5, min},
        {max, 1.0, max},
        {1, std::numeric_limits<double>::denorm_min(), max},
        {0, 1e-300, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.amount << " at " << c.rate);
        CCurrencyList list;
        auto home = Currency(1, "$");
        list.AddUnique(home);
        auto other = Currency(2, "X", c.rate);
        list.AddUnique(other);
        EXPECT_EQ(list.ConvertToHomeCurrency(c.amount, 2), c.expected);
        EXPECT_EQ(list.ConvertToHomeCurrency(c.amount, 1), c.amount);  // home
        EXPECT_EQ(list.ConvertToHomeCurrency(c.amount, 3), c.amount);  // unknown
        // The home currency's own rate is not looked at.
        list.SetHomeCurrency(list.FindById(2));
        EXPECT_EQ(list.ConvertToHomeCurrency(c.amount, 2), c.amount);
    }
}

TEST_F(CurrencyTest, RecordSetters) {
    CCurrencyItem item;
    EXPECT_EQ(item.GetRate(), 1.0);
    EXPECT_EQ(item.GetAttribute(), 0);
    EXPECT_EQ(item.GetCurrencyId(), 0);
    item.SetSymbol("");
    item.SetRate(1.0);
    item.SetCurrencyId(0);
    EXPECT_EQ(item.GetAttribute(), 0);  // nothing changed
    item.SetSymbol("EURO1");
    EXPECT_EQ(item.GetSymbol(), "EURO");
    EXPECT_EQ(item.GetAttribute(), 0x40);
    item.SetAttribute(0);
    item.SetSymbol("EURO2");  // stores the same "EURO"
    EXPECT_EQ(item.GetAttribute(), 0);
    item.SetSymbol("E");
    EXPECT_EQ(item.GetRecord()[2], 0);  // the longer symbol is cleared
    EXPECT_EQ(item.GetRecord()[4], 0);
    item.SetAttribute(0);
    item.SetRate(2.5);
    EXPECT_EQ(item.GetAttribute(), 0x40);

    CCurrencyItem named("kr");
    EXPECT_EQ(named.GetAttribute(), 0x40);
    EXPECT_EQ(named.GetRate(), 1.0);
    CCurrencyItem empty("");
    EXPECT_EQ(empty.GetAttribute(), 0x40);
}

TEST_F(CurrencyTest, IdLookUpsFollowEveryChange) {
    CCurrencyList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    CCurrencyItem* yen = list.FindById(12);
    ASSERT_NE(yen, nullptr);
    ASSERT_EQ(list.DeleteItem(yen), 0);
    EXPECT_EQ(list.FindById(12), nullptr);
    ASSERT_EQ(list.ReplaceItem(yen), 0);
    EXPECT_EQ(list.FindById(12), yen);
    auto removed = list.RemoveItem(yen);
    EXPECT_EQ(list.FindById(12), nullptr);
    EXPECT_EQ(list.FindById(13)->GetSymbol(), "RM");
    // Changes through the base are noticed too.
    CPalmFileList& base = list;
    base.AddItem(std::move(removed.item));
    EXPECT_EQ(list.FindById(12)->GetSymbol(), "\xA5");
    base.DeleteAll();
    EXPECT_EQ(list.FindById(12), nullptr);
    EXPECT_EQ(list.FindById(1), nullptr);
}

TEST_F(CurrencyTest, FactoryIsRegistered) {
    const CRuntimeClass* rc = FindRuntimeClass("CCurrencyItem");
    ASSERT_NE(rc, nullptr);
    ASSERT_NE(rc->create, nullptr);
    auto obj = rc->create();
    auto* item = dynamic_cast<CCurrencyItem*>(obj.get());
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetRate(), 1.0);
}

}  // namespace
}  // namespace tallowmere
