#include "ui/logic/adjust_balance_logic.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

#include "model/accounts.h"
#include "model/string_table.h"
#include "model/transaction.h"
#include "model/transaction_type.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

// Checking: opening 100.00, a cleared deposit of 50.00 and an open
// withdrawal of 20.25, so 129.75 current and 150.00 cleared; the bank last
// said 999.00.
class AdjustBalanceLogicTest : public test::DataSetTest {
  protected:
    void SetUp() override {
        DataSetTest::SetUp();
        CAccount& checking = Checking();
        checking.Header().SetOpeningBalance(10000);
        Add(checking, 5000, DepositTypeId, kStatusCleared);
        Add(checking, 2025, WithdrawalTypeId, kStatusOpen);
        checking.RecalcBalances();
        checking.SetOnlineBalance(99900);
        ASSERT_EQ(0, checking.Save());
    }
    CAccount& Checking() const { return Account("Checking"); }

    static void Add(CAccount& account, Cents amount, const RecordId& type, std::uint8_t status) {
        auto t = std::make_unique<CTransaction>();
        t->SetDate(test::At(2012, 3, 1));
        t->SetAmount(amount);
        t->SetTypeId(type);
        t->SetStatus(status);
        account.AddTransaction(std::move(t));
    }
};

TEST_F(AdjustBalanceLogicTest, OpensOnTheBalanceOfAKindTheComboOffers) {
    struct Case {
        int kind;
        int shown;
        const char* text;
    };
    // The read-out's online balance (2) has no entry: the current one shows.
    for (const Case& c : {Case{0, 0, "129.75"}, Case{1, 1, "150.00"}, Case{2, 0, "129.75"},
                          Case{-1, 0, "129.75"}, Case{7, 0, "129.75"}}) {
        SCOPED_TRACE(c.kind);
        const AdjustBalanceForm form = OpenAdjustBalance(Checking(), c.kind);
        EXPECT_EQ(c.shown, form.kind);
        EXPECT_EQ(c.text, form.amountText);
    }
}

TEST_F(AdjustBalanceLogicTest, ChoosingAnotherKindReplacesTheTypedText) {
    AdjustBalanceForm form = OpenAdjustBalance(Checking(), 0);
    form.amountText = "5";
    ChangeBalanceKind(Checking(), form, 0);  // the same kind again
    EXPECT_EQ("5", form.amountText);
    ChangeBalanceKind(Checking(), form, 1);
    EXPECT_EQ(1, form.kind);
    EXPECT_EQ("150.00", form.amountText);
    ChangeBalanceKind(Checking(), form, 0);
    EXPECT_EQ("129.75", form.amountText);
}

TEST_F(AdjustBalanceLogicTest, OkSetsThatBalanceThroughTheOpeningBalanceAndSaves) {
    struct Case {
        int kind;
        const char* text;
        Cents opening;
        Cents current;
        Cents cleared;
    };
    const Case cases[] = {
        {0, "200", 17025, 20000, 22025},
        {1, "100.00", 5000, 7975, 10000},
        {0, "", -2975, 0, 2025},  // an empty text is 0
        {1, "-12.5", -6250, -3275, -1250},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << " " << c.text);
        AdjustBalanceForm form = OpenAdjustBalance(Checking(), c.kind);
        form.amountText = c.text;
        EXPECT_TRUE(AcceptAdjustBalance(Checking(), form, messages_).close);
        EXPECT_TRUE(messages_.shown.empty());
        const std::unique_ptr<CAccounts> again = Reload();
        const AccountHeader& saved = again->FindAccountByName("Checking")->Header();
        EXPECT_EQ(c.opening, saved.GetOpeningBalance());
        EXPECT_EQ(c.current, saved.GetCurrentBalance());
        EXPECT_EQ(c.cleared, saved.GetClearedBalance());
        // Back to the fixture's balances for the next case.
        Checking().SetBalance(0, 12975);
    }
}

TEST_F(AdjustBalanceLogicTest, AnAmountBeyondTheRangeChangesNothing) {
    AdjustBalanceForm form = OpenAdjustBalance(Checking(), 0);
    form.amountText = "99999999999999999999";
    const OkResult ok = AcceptAdjustBalance(Checking(), form, messages_);
    EXPECT_FALSE(ok.close);
    EXPECT_EQ(kAdjustAmount, ok.focusId);
    EXPECT_EQ(std::vector<int>{146}, messages_.Ids());
    EXPECT_EQ(12975, Checking().Header().GetCurrentBalance());
}

TEST_F(AdjustBalanceLogicTest, AFailedSaveIsShownAndTheDialogCloses) {
    const std::string path = Checking().GetPath();
    ASSERT_EQ(0, chmod(path.c_str(), 0444));
    AdjustBalanceForm form = OpenAdjustBalance(Checking(), 0);
    form.amountText = "1";
    EXPECT_TRUE(AcceptAdjustBalance(Checking(), form, messages_).close);
    EXPECT_EQ(std::vector<int>{183}, messages_.Ids());
    // The change stays in memory, as after any failed save.
    EXPECT_EQ(100, Checking().Header().GetCurrentBalance());
    chmod(path.c_str(), 0644);
}

TEST(AdjustBalanceEntries, BalanceThenCleared) {
    EXPECT_EQ("Balance", LoadString(kBalanceKindEntries[0]));
    EXPECT_EQ("Cleared", LoadString(kBalanceKindEntries[1]));
}

}  // namespace
}  // namespace tallowmere::ui
