#pragma once
// A small data set for register tests: accounts saved in a temporary folder,
// an owner that finds them and knows a few currencies, categories and
// classes, and a checker of the invariants that every register operation
// must leave behind in every account.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/account.h"
#include "model/transaction_type.h"
#include "platform/clock.h"
#include "support/test_env.h"

namespace tallowmere::test {

class FakeOwner : public CAccount::MOwner {
  public:
    CAccount* FindAccountById(const RecordId& id) override {
        for (CAccount* a : accounts) {
            if (a->Header().GetId() == id)
                return a;
        }
        return nullptr;
    }
    std::string GetCategoryDisplayText(const RecordId& id) const override {
        for (CAccount* a : accounts) {
            if (a->Header().GetId() == id)
                return a->GetTransferLabel();
        }
        const auto it = categories.find(RecordIdToHex(id));
        return it == categories.end() ? std::string() : it->second;
    }
    std::string GetClassNameById(const RecordId& id) const override {
        const auto it = classes.find(RecordIdToHex(id));
        return it == classes.end() ? std::string() : it->second;
    }
    std::string GetCurrencySymbolById(std::uint8_t currency) const override {
        const auto it = symbols.find(currency);
        return it == symbols.end() ? std::string("$") : it->second;
    }
    std::uint8_t GetHomeCurrencyId() const override { return home; }
    std::optional<double> GetCurrencyRate(std::uint8_t currency) const override {
        const auto it = rates.find(currency);
        if (it == rates.end())
            return std::nullopt;
        return it->second;
    }

    std::vector<CAccount*> accounts;
    std::map<std::string, std::string> categories;
    std::map<std::string, std::string> classes;
    std::map<std::uint8_t, std::string> symbols;
    std::map<std::uint8_t, double> rates{{1, 1.0}};
    std::uint8_t home = 1;
};

class FixedClock : public platform::Clock {
  public:
    platform::LocalTime LocalNow() const override { return now; }
    std::uint32_t TickCount() const override { return 0; }
    platform::LocalTime now{2012, 3, 15, 10, 30, 0};
};

inline PalmTime Day(int year, int month, int day) {
    DateFields f;
    f.year = static_cast<std::int16_t>(year);
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    f.hour = 12;
    return f.ToPalmTime();
}

// A transaction of a signed amount: Deposit when positive, Withdrawal
// otherwise, unless a type is given.
inline std::unique_ptr<CTransaction> MakeTx(PalmTime date, Cents signedAmount,
                                            std::uint8_t status = kStatusOpen,
                                            const char* payee = "Payee",
                                            std::optional<RecordId> type = std::nullopt) {
    auto t = std::make_unique<CTransaction>();
    t->SetDate(date);
    t->SetTypeId(type ? *type : (signedAmount > 0 ? DepositTypeId : WithdrawalTypeId));
    t->SetAmount(t->IsOutflow() ? -signedAmount : signedAmount);
    t->SetStatus(status);
    t->SetPayeeName(payee);
    return t;
}

// Accounts of one folder, each saved once so that it has a file.
class LedgerWorld {
  public:
    LedgerWorld() : folder(MakeTempDir("ledger")) {}

    CAccount& AddAccount(const std::string& name, std::uint8_t currency = 1,
                         std::uint8_t type = kChecking) {
        auto a = std::make_unique<CAccount>(&owner);
        a->Header().SetName(name);
        a->Header().SetType(type);
        a->Header().SetCurrencyId(currency);
        EXPECT_EQ(a->MakeFilePath(folder, name), 0);
        EXPECT_EQ(a->Save(), 0);
        owner.accounts.push_back(a.get());
        owned.push_back(std::move(a));
        return *owned.back();
    }

    std::string folder;
    FakeOwner owner;
    std::vector<std::unique_ptr<CAccount>> owned;
};

inline bool OppositeDirections(const CTransaction& a, const CTransaction& b) {
    return a.IsOutflow() != b.IsOutflow();
}

// Every account: balances as recomputed, order under its mode, links both
// ways with opposite directions and converted amounts, and the file equal to
// memory. With requireLinks, every transfer category also has its mirror.
inline void CheckInvariants(FakeOwner& owner, bool requireLinks = true) {
    for (CAccount* acct : owner.accounts) {
        SCOPED_TRACE(acct->GetName());
        const auto& list = acct->Transactions();
        Cents current = acct->Header().GetOpeningBalance();
        Cents cleared = current;
        for (const auto& t : list) {
            if (t->GetStatus() >= kStatusVoid)
                continue;
            current += t->GetSignedAmount();
            if (t->GetStatus() >= kStatusCleared)
                cleared += t->GetSignedAmount();
        }
        EXPECT_EQ(acct->Header().GetCurrentBalance(), current);
        EXPECT_EQ(acct->Header().GetClearedBalance(), cleared);
        for (std::size_t i = 1; i < list.size(); ++i)
            EXPECT_LE(acct->CompareTransactions(*list[i - 1], *list[i]), 0) << "row " << i;

        for (const auto& t : list) {
            SCOPED_TRACE(t->GetPayeeName());
            const RecordId category = t->GetCategoryId();
            if (category == SplitMarkerId) {
                EXPECT_TRUE(t->GetLinkedId().IsNull());
                for (std::size_t line = 0; line < kSplitLineCount; ++line) {
                    CAccount* other = owner.FindAccountById(t->GetSplitCategoryId(line));
                    const RecordId link = t->GetSplitLinkedId(line);
                    if (!other) {
                        EXPECT_TRUE(link.IsNull()) << "line " << line;
                        continue;
                    }
                    if (link.IsNull()) {
                        EXPECT_FALSE(requireLinks) << "line " << line << " has no mirror";
                        continue;
                    }
                    const CTransaction* m = other->FindTransactionById(link);
                    ASSERT_NE(m, nullptr) << "line " << line;
                    EXPECT_EQ(m->GetLinkedId(), t->GetId());
                    EXPECT_EQ(m->GetSplitIndex(), line);
                    EXPECT_EQ(m->GetCategoryId(), acct->Header().GetId());
                    EXPECT_TRUE(OppositeDirections(*t, *m));
                    EXPECT_EQ(m->GetAmount(),
                              acct->ConvertAmountTo(*other, t->GetSplitAmount(line)));
                }
                continue;
            }
            CAccount* other = owner.FindAccountById(category);
            const RecordId link = t->GetLinkedId();
            if (!other) {
                EXPECT_TRUE(link.IsNull());
                continue;
            }
            if (link.IsNull()) {
                EXPECT_FALSE(requireLinks) << "transfer without a mirror";
                continue;
            }
            const CTransaction* m = other->FindTransactionById(link);
            ASSERT_NE(m, nullptr) << "dangling link";
            EXPECT_EQ(m->GetDate(), t->GetDate());
            EXPECT_TRUE(OppositeDirections(*t, *m));
            if (t->IsSplitTransferCopy()) {
                // Made from a line of the parent m.
                const std::uint8_t line = t->GetSplitIndex();
                EXPECT_EQ(m->GetCategoryId(), SplitMarkerId);
                EXPECT_EQ(m->GetSplitCategoryId(line), acct->Header().GetId());
                EXPECT_EQ(m->GetSplitLinkedId(line), t->GetId());
                continue;
            }
            EXPECT_EQ(m->GetCategoryId(), acct->Header().GetId());
            EXPECT_EQ(m->GetLinkedId(), t->GetId());
            // Whichever side was typed, the other holds its conversion.
            EXPECT_TRUE(m->GetAmount() == acct->ConvertAmountTo(*other, t->GetAmount()) ||
                        t->GetAmount() == other->ConvertAmountTo(*acct, m->GetAmount()))
                << t->GetAmount() << " vs " << m->GetAmount();
        }

        CAccount reloaded(&owner);
        ASSERT_EQ(reloaded.Load(acct->GetPath()), 0);
        EXPECT_EQ(reloaded.Header().GetBytes(), acct->Header().GetBytes());
        ASSERT_EQ(reloaded.Transactions().size(), list.size());
        for (std::size_t i = 0; i < list.size(); ++i)
            EXPECT_TRUE(reloaded.Transactions()[i]->IsSameRecord(*list[i])) << "row " << i;
        ASSERT_EQ(reloaded.DeletedTransactions().size(), acct->DeletedTransactions().size());
        for (std::size_t i = 0; i < acct->DeletedTransactions().size(); ++i) {
            EXPECT_TRUE(
                reloaded.DeletedTransactions()[i]->IsSameRecord(*acct->DeletedTransactions()[i]));
        }
    }
}

}  // namespace tallowmere::test
