#pragma once
// A user's data folder built through the model, for the list and view
// tests: three accounts (Checking in the home currency, Savings in pounds
// at a rate of 2.0, a Visa card in debt), about sixty transactions with a
// transfer pair, a split with one transfer line, a void, reconciled,
// cleared and downloaded entries, a check, a two-line memo, a long payee
// and a payee with accented letters; categories with a parent and child,
// the two built-in classes, memorised payees and a category budget.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/accounts.h"
#include "model/category.h"
#include "model/class_item.h"
#include "model/currency.h"
#include "model/palm_time.h"
#include "model/transaction_type.h"
#include "support/test_env.h"

namespace tallowmere::test {

inline PalmTime FixtureDay(int year, int month, int day) {
    DateFields f;
    f.year = static_cast<std::int16_t>(year);
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    f.hour = 12;
    return f.ToPalmTime();
}

// Dates as a short "MM/DD/YY", whatever the machine's locale.
inline void InstallFixedDateFormat() {
    SetDateFormatter([](PalmTime t, unsigned) {
        const DateFields f = DateFields::FromPalmTime(t);
        char text[40];
        std::snprintf(text, sizeof text, "%02d/%02d/%02d", f.month, f.day, f.year % 100);
        return std::string(text);
    });
}

// Category ids of the built-in lists.
inline constexpr RecordId kSalaryId = RecordId::Fixed(0x006B);
inline constexpr RecordId kAutoFuelId = RecordId::Fixed(0x006D);  // Auto:Fuel
inline constexpr RecordId kDiningId = RecordId::Fixed(0x0073);
inline constexpr RecordId kGroceriesId = RecordId::Fixed(0x0077);
inline constexpr RecordId kElectricId = RecordId::Fixed(0x008F);  // Utilities:Electric

inline constexpr char kLongPayee[] = "Northwestern Regional Utility Co";  // 32 characters
inline constexpr char kCafePayee[] = "Caf\xE9 M\xFCller";                 // Windows-1252

struct LedgerFixture {
    std::string folder;
    std::unique_ptr<CAccounts> data;
    CAccount* checking = nullptr;
    CAccount* savings = nullptr;
    CAccount* visa = nullptr;
    RecordId businessClass;
    RecordId personalClass;
    // Ids of particular Checking entries.
    RecordId voidId;
    RecordId reconciledId;
    RecordId downloadedId;
    RecordId checkId;
    RecordId splitId;
    RecordId memoId;
    RecordId cafeId;
};

inline std::unique_ptr<CTransaction> FixtureTx(PalmTime date, Cents signedAmount,
                                               std::uint8_t status, const char* payee,
                                               const RecordId& category) {
    auto t = std::make_unique<CTransaction>();
    t->SetDate(date);
    t->SetTypeId(signedAmount > 0 ? DepositTypeId : WithdrawalTypeId);
    t->SetAmount(signedAmount > 0 ? signedAmount : -signedAmount);
    t->SetStatus(status);
    t->SetPayeeName(payee);
    t->SetCategoryId(category);
    return t;
}

inline RecordId AddFixtureTx(CAccount& account, std::unique_ptr<CTransaction> t) {
    const RecordId id = t->GetId();
    EXPECT_EQ(account.AddTransactionWithTransfer(std::move(t)), 0);
    return id;
}

inline LedgerFixture BuildLedgerFixture() {
    LedgerFixture f;
    f.folder = MakeTempDir("ledger");
    struct Made {
        const char* name;
        std::uint8_t type;
        std::uint16_t icon;
    };
    for (const Made& m : {Made{"Checking", tallowmere::kChecking, 2}, Made{"Savings", kSavings, 12},
                          Made{"Visa", kCreditCard, 3}}) {
        CAccount account;
        account.Header().SetName(m.name);
        account.Header().SetType(m.type);
        account.Header().SetIconIndex(m.icon);
        account.SetDefaultColorForType(m.type);
        EXPECT_EQ(account.MakeFilePath(f.folder, m.name), 0);
        EXPECT_EQ(account.Save(), 0);
    }
    AccountsLoadFailure failure;
    EXPECT_EQ(CAccounts::LoadInto(f.data, f.folder, {}, &failure), 0) << failure.path;
    CAccounts& data = *f.data;
    f.checking = data.FindAccountByName("Checking");
    f.savings = data.FindAccountByName("Savings");
    f.visa = data.FindAccountByName("Visa");

    // The built-in pound, at two pounds to the dollar.
    CCurrencyItem* pound = nullptr;
    for (std::size_t i = 0; i < data.Currencies().GetCount(false); ++i) {
        auto* c = dynamic_cast<CCurrencyItem*>(data.Currencies().GetAt(i, false));
        if (c != nullptr && c->GetSymbol() == "\xA3")
            pound = c;
    }
    EXPECT_NE(pound, nullptr);
    pound->SetRate(2.0);
    EXPECT_EQ(data.Currencies().Save(), 0);
    const CurrencyId poundId = pound->GetCurrencyId();
    f.savings->Header().SetCurrencyId(poundId);
    f.savings->Header().SetOpeningBalance(500000);
    f.savings->RecalcBalances();
    EXPECT_EQ(f.savings->Save(), 0);

    f.businessClass = data.Classes().FindByName("Business")->GetId();
    f.personalClass = data.Classes().FindByName("Personal")->GetId();
    EXPECT_EQ(data.Categories().SetBudgetAmount(kGroceriesId, 40000), 0);

    CAccount& checking = *f.checking;
    checking.Header().SetOpeningBalance(250000);
    checking.RecalcBalances();
    const char* payees[] = {"Green Grocer", "City Power", "Fuel Stop", "Employer Inc", "Diner"};
    const RecordId categories[] = {kGroceriesId, kElectricId, kAutoFuelId, kSalaryId, kDiningId};
    const PalmTime start = FixtureDay(2024, 1, 2);
    for (int i = 0; i < 45; ++i) {
        const int kind = i % 5;
        const Cents amount = kind == 3 ? 185000 : -(1500 + 731 * (i % 7) + 100 * kind);
        const std::uint8_t status = i < 20 ? kStatusCleared : kStatusOpen;
        auto t = FixtureTx(start + static_cast<PalmTime>(i) * 4 * kSecondsPerDay, amount, status,
                           payees[kind], categories[kind]);
        t->SetClassId(i % 3 == 0 ? f.businessClass : f.personalClass);
        if (i == 7) {
            EXPECT_EQ(data.MemorizePayee(*t), 0);
        }
        AddFixtureTx(checking, std::move(t));
    }
    auto reconciled =
        FixtureTx(FixtureDay(2023, 12, 20), -4200, kStatusReconciled, "Bookshop", kGroceriesId);
    f.reconciledId = AddFixtureTx(checking, std::move(reconciled));
    auto voided =
        FixtureTx(FixtureDay(2024, 3, 3), -9900, kStatusVoid, "Cancelled order", kDiningId);
    f.voidId = AddFixtureTx(checking, std::move(voided));
    auto downloaded =
        FixtureTx(FixtureDay(2024, 4, 2), -2599, kStatusOpen, "ONLINE STORE 4471", kNoneId);
    downloaded->SetReviewState(1);
    f.downloadedId = AddFixtureTx(checking, std::move(downloaded));
    auto check = FixtureTx(FixtureDay(2024, 2, 14), -12000, kStatusCleared, "Landlord", kNoneId);
    check->SetTypeId(CheckTypeId);
    check->SetCheckNumber(1042);
    f.checkId = AddFixtureTx(checking, std::move(check));
    auto memo = FixtureTx(FixtureDay(2024, 2, 20), -3150, kStatusOpen, kLongPayee, kElectricId);
    memo->SetMemo("Meter read on site\r\nsecond line");
    f.memoId = AddFixtureTx(checking, std::move(memo));
    auto cafe = FixtureTx(FixtureDay(2024, 2, 21), -1275, kStatusOpen, kCafePayee, kDiningId);
    f.cafeId = AddFixtureTx(checking, std::move(cafe));
    auto split =
        FixtureTx(FixtureDay(2024, 3, 10), -20000, kStatusOpen, "Market and card", SplitMarkerId);
    split->SetSplitCategoryId(0, kGroceriesId);
    split->SetSplitAmount(0, 8000);
    split->SetSplitClassId(0, f.personalClass);
    split->SetSplitCategoryId(1, f.visa->Header().GetId());
    split->SetSplitAmount(1, 12000);
    f.splitId = AddFixtureTx(checking, std::move(split));
    EXPECT_EQ(checking.Save(), 0);
    EXPECT_EQ(
        data.CreateTransfer(FixtureDay(2024, 3, 15), checking, *f.savings, 50000, true, nullptr),
        0);

    CAccount& visa = *f.visa;
    for (int i = 0; i < 6; ++i) {
        auto t = std::make_unique<CTransaction>();
        t->SetDate(FixtureDay(2024, 1, 5 + 4 * i));
        t->SetTypeId(ChargeTypeId);
        t->SetAmount(4500 + 1000 * i);
        t->SetPayeeName(i % 2 == 0 ? "Airline" : "Hotel");
        t->SetCategoryId(kDiningId);
        AddFixtureTx(visa, std::move(t));
    }
    EXPECT_EQ(visa.Save(), 0);
    for (std::size_t i = 0; i < data.GetAccountCount(); ++i)
        data.GetAccountAt(i)->RecalcBalances();
    return f;
}

}  // namespace tallowmere::test
