#pragma once
// The upcoming and report-details tests' scene: the default data set with a
// pinned clock (15 March 2012) and a registry of its own, a transaction
// dialog whose outcome the test scripts, and a view that notes what it was
// asked to redraw.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/preferences.h"
#include "model/scheduled.h"
#include "platform/atomic_file.h"
#include "platform/registry_store.h"
#include "ui/logic/transaction_dialog_runner.h"
#include "ui/logic/upcoming_logic.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::test {

class ScriptedTransactionDialog final : public ui::TransactionDialogRunner {
  public:
    struct Call {
        RecordId account;
        RecordId transaction;
        PalmTime date = 0;
        bool record = false;
    };
    // What the dialog does before it closes; the outcome is given back.
    using Script = std::function<ui::TransactionDialogOutcome(CAccount&, const CTransaction&)>;

    ui::TransactionDialogOutcome EditTransaction(CAccount& account,
                                                 const CTransaction& t) override {
        return Run(account, t, false);
    }
    ui::TransactionDialogOutcome RecordTransaction(CAccount& account,
                                                   const CTransaction& occurrence) override {
        return Run(account, occurrence, true);
    }

    Script script;
    std::vector<Call> calls;

  private:
    ui::TransactionDialogOutcome Run(CAccount& account, const CTransaction& t, bool record) {
        calls.push_back({account.Header().GetId(), t.GetId(), t.GetDate(), record});
        return script ? script(account, t) : ui::TransactionDialogOutcome{};
    }
};

class RecordingView final : public ui::UpcomingViewHost {
  public:
    void RefreshForAccount(const RecordId& account) override { refreshed.push_back(account); }
    std::vector<RecordId> refreshed;
};

// The data set in a folder, the clock at 15 March 2012 10:30 and the user's
// preference keys in a registry of the test's own.
class DialogSceneTest : public DataSetTest {
  protected:
    void SetUp() override {
        platform::SetRegistryStorePath(MakeTempDir("registry") + "/registry");
        CreatePrefsKeys();
        SetPrefCurrentUser("tester");
        CreateUserPrefsKey();
        DataSetTest::SetUp();
    }
    void TearDown() override {
        platform::SetWriteFault(nullptr);
        DataSetTest::TearDown();
        platform::SetRegistryStorePath("");
    }

    ui::DataSetSource Source() {
        return [this] { return data_.get(); };
    }

    // A schedule of account, next due on due; its template's id.
    RecordId Schedule(const RecordId& account, const char* payee, Cents amount,
                      const RecordId& type, int frequency, PalmTime due,
                      std::uint16_t repeats = kRepeatIndefinitely) {
        auto item = std::make_unique<CScheduledItem>();
        CTransaction& t = item->EditTemplate();
        t.SetDate(due);
        t.SetAmount(amount);
        t.SetTypeId(type);
        item->SetPayee(payee);
        item->SetAccountId(account);
        item->SetNextDue(due);
        item->SetFrequency(frequency);
        item->SetRepeatCount(repeats);
        const RecordId id = item->GetId();
        EXPECT_EQ(0, data_->Scheduled().InsertSorted(std::move(item)));
        return id;
    }
    CScheduledItem* Item(const RecordId& id) const {
        CScheduledList& list = data_->Scheduled();
        for (std::size_t n = 0; CScheduledItem* item = list.GetItemAt(n, true); ++n) {
            if (item->GetId() == id)
                return item;
        }
        return nullptr;
    }

    ScriptedTransactionDialog dialog_;
    RecordingView view_;
};

}  // namespace tallowmere::test
