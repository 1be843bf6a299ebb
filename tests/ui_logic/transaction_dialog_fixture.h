#pragma once
// The data set the transaction dialog tests work on: the defaults of a new
// folder, Checking with last check number 1040, a transfer Checking ->
// Savings, a split transaction in Checking with a transfer line whose copy
// lies in Visa, the payees "Grocer" (one memorised category) and "Utility Co"
// (three memorised split lines), and a clock fixed at 2012-03-15 10:30:00.
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "model/class_item.h"
#include "model/transaction_type.h"
#include "platform/clock.h"
#include "ui/logic/transaction_dialog_logic.h"
#include "ui_logic/dialog_data_fixture.h"

namespace tallowmere::test {

class FixedTestClock final : public platform::Clock {
  public:
    platform::LocalTime LocalNow() const override { return now; }
    std::uint32_t TickCount() const override { return 0; }
    platform::LocalTime now{2012, 3, 15, 10, 30, 0};
};

inline PalmTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    DateFields f;
    f.year = static_cast<std::int16_t>(year);
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    f.hour = static_cast<std::int16_t>(hour);
    f.minute = static_cast<std::int16_t>(minute);
    f.second = static_cast<std::int16_t>(second);
    return f.ToPalmTime();
}

// The dialogs reached from the transaction dialog, answered from scripts.
class ScriptedSubDialogs final : public ui::TransactionSubDialogs {
  public:
    std::string EditPayees() override { return Next(names); }
    std::string EditCategories() override { return Next(names); }
    std::string EditClasses() override { return Next(names); }
    int RunSplits(const CAccount& target, ui::SplitsData& io) override {
        splitsTarget = &target;
        splitsIn = io;
        if (!splitsResult)
            return 2;
        io = *splitsResult;
        return 1;
    }
    int RunConvertCurrency(CurrencyId target, bool newTransaction,
                           ui::ConvertCurrencyData& io) override {
        convertTarget = target;
        convertNew = newTransaction;
        convertIn = io;
        if (!convertResult)
            return 2;
        io = *convertResult;
        return 1;
    }

    std::deque<std::string> names;
    std::optional<ui::SplitsData> splitsResult;
    std::optional<ui::ConvertCurrencyData> convertResult;
    const CAccount* splitsTarget = nullptr;
    ui::SplitsData splitsIn;
    CurrencyId convertTarget = 0;
    bool convertNew = false;
    ui::ConvertCurrencyData convertIn;

  private:
    static std::string Next(std::deque<std::string>& q) {
        if (q.empty())
            return {};
        std::string s = q.front();
        q.pop_front();
        return s;
    }
};

// Answers Yes or No to questions, OK to the rest, and records the ids.
class AnsweringMessages final : public ui::Messages {
  public:
    ui::Answer Show(const ui::MessageRequest& request) override {
        ids.push_back(request.stringId);
        requests.push_back(request);
        if (request.buttons == ui::Buttons::kYesNo)
            return yes ? ui::Answer::kYes : ui::Answer::kNo;
        return ui::Answer::kOk;
    }
    bool yes = true;
    std::vector<int> ids;
    std::vector<ui::MessageRequest> requests;
};

class CountingHost final : public ui::TransactionViewHost {
  public:
    void RefreshPanes() override { ++refreshes; }
    int refreshes = 0;
};

struct TransactionWorld {
    explicit TransactionWorld(const std::string& prefix) {
        platform::SetClock(&clock);
        set = LoadDefaultDataSet(prefix);
        checking = set->FindAccountByName("Checking");
        savings = set->FindAccountByName("Savings");
        visa = set->FindAccountByName("Visa");
        groceries = set->Categories().FindOrCreateByPath("Groceries", false);
        auto_fuel = set->Categories().FindOrCreateByPath("Auto:Fuel", false);

        checking->Header().SetLastCheckNumber(1040);

        auto transfer = std::make_unique<CTransaction>();
        transfer->SetDate(At(2012, 3, 1, 9));
        transfer->SetTypeId(WithdrawalTypeId);
        transfer->SetAmount(5000);
        transfer->SetCategoryId(savings->Header().GetId());
        transfer->SetPayeeName("To savings");
        transferId = transfer->GetId();
        EXPECT_EQ(checking->AddTransactionWithTransfer(std::move(transfer)), 0);

        auto split = std::make_unique<CTransaction>();
        split->SetDate(At(2012, 3, 2, 9));
        split->SetTypeId(WithdrawalTypeId);
        split->SetAmount(7000);
        split->SetCategoryId(SplitMarkerId);
        split->SetSplitCategoryId(0, groceries);
        split->SetSplitAmount(0, 3000);
        split->SetSplitCategoryId(1, visa->Header().GetId());
        split->SetSplitAmount(1, 4000);
        splitId = split->GetId();
        EXPECT_EQ(checking->AddTransactionWithTransfer(std::move(split)), 0);
        EXPECT_EQ(checking->Save(), 0);

        CTransaction grocer;
        grocer.SetPayeeName("Grocer");
        grocer.SetTypeId(WithdrawalTypeId);
        grocer.SetAmount(4250);
        grocer.SetCategoryId(groceries);
        grocer.SetClassId(BusinessClassId);
        EXPECT_EQ(set->MemorizePayee(grocer), 0);

        CTransaction utility;
        utility.SetPayeeName("Utility Co");
        utility.SetTypeId(CheckTypeId);
        utility.SetAmount(9000);
        utility.SetCategoryId(SplitMarkerId);
        utility.SetSplitCategoryId(0, groceries);
        utility.SetSplitAmount(0, 1000);
        utility.SetSplitCategoryId(1, auto_fuel);
        utility.SetSplitAmount(1, 3000);
        utility.SetSplitClassId(2, PersonalClassId);
        utility.SetSplitAmount(2, 5000);
        EXPECT_EQ(set->MemorizePayee(utility), 0);
    }
    ~TransactionWorld() { platform::SetClock(nullptr); }

    CTransaction* InChecking(const RecordId& id) const { return checking->FindTransactionById(id); }
    CTransaction* SplitCopyInVisa() const {
        for (int i = 0; i < visa->CountTransactions(0); ++i) {
            CTransaction* t = visa->GetTransactionAt(0, i);
            if (t->IsSplitTransferCopy())
                return t;
        }
        return nullptr;
    }
    std::string File(const CAccount& account) const { return ReadFileBytes(account.GetPath()); }

    FixedTestClock clock;
    std::unique_ptr<CAccounts> set;
    CAccount* checking = nullptr;
    CAccount* savings = nullptr;
    CAccount* visa = nullptr;
    RecordId groceries;
    RecordId auto_fuel;
    RecordId transferId;
    RecordId splitId;
};

}  // namespace tallowmere::test
