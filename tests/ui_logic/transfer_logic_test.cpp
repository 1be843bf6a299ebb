#include "ui/logic/transfer_logic.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

#include "model/accounts.h"
#include "model/transaction.h"
#include "model/transaction_type.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

// Accounts in the combos: 0 American Express, 1 Checking, 2 Mastercard,
// 3 Savings, 4 Visa.
class TransferLogicTest : public test::DataSetTest {
  protected:
    TransferForm FormFor(int from, int to, std::string amount) const {
        TransferForm form = OpenTransfer(*data_, nullptr);
        form.fromIndex = from;
        form.toIndex = to;
        form.amountText = std::move(amount);
        return form;
    }
};

TEST_F(TransferLogicTest, OpensOnTheCurrentAccountAndTheFirstOtherOne) {
    struct Case {
        const char* current;
        int from;
        int to;
    };
    for (const Case& c : {Case{"Checking", 1, 0}, Case{"American Express", 0, 1},
                          Case{"Visa", 4, 0}, Case{nullptr, -1, 0}}) {
        SCOPED_TRACE(c.current ? c.current : "no current account");
        const CAccount* current = c.current ? &Account(c.current) : nullptr;
        const TransferForm form = OpenTransfer(*data_, current);
        EXPECT_EQ(form.accountNames, (std::vector<std::string>{"American Express", "Checking",
                                                               "Mastercard", "Savings", "Visa"}));
        EXPECT_EQ(c.from, form.fromIndex);
        EXPECT_EQ(c.to, form.toIndex);
        EXPECT_EQ(At(2012, 3, 15), form.day);
        EXPECT_EQ("", form.amountText);
        EXPECT_FALSE(form.cleared);
    }
}

TEST_F(TransferLogicTest, OneAccountShowsItTwiceAndOkSaysWhyNot) {
    for (const char* name : {"American Express", "Mastercard", "Savings", "Visa"})
        data_->TakeAccount(&Account(name));
    const TransferForm form = OpenTransfer(*data_, &Account("Checking"));
    EXPECT_EQ(0, form.fromIndex);
    EXPECT_EQ(0, form.toIndex);
    TransferValues values;
    const OkResult ok = AcceptTransfer(*data_, form, messages_, values);
    EXPECT_FALSE(ok.close);
    EXPECT_EQ(kTransferTo, ok.focusId);
    EXPECT_EQ(std::vector<int>{145}, messages_.Ids());
}

TEST_F(TransferLogicTest, NoAccountsLeaveNothingToChoose) {
    CAccounts empty;
    const TransferForm form = OpenTransfer(empty, nullptr);
    EXPECT_EQ(-1, form.fromIndex);
    EXPECT_EQ(-1, form.toIndex);
    TransferValues values;
    EXPECT_FALSE(AcceptTransfer(empty, form, messages_, values).close);
    EXPECT_EQ(std::vector<int>{3410}, messages_.Ids());
}

TEST_F(TransferLogicTest, OkChecksTheAccountsThenTheAmount) {
    struct Case {
        int from;
        int to;
        const char* amount;
        int message;  // 0: closes
        int focus;
        Cents cents;
    };
    const Case cases[] = {
        {1, 3, "", 0, 0, 0},  // an empty amount is 0
        {1, 3, "0", 0, 0, 0},
        {1, 3, "12.5", 0, 0, 1250},
        {1, 3, "$1,234.56", 0, 0, 123456},
        {1, 3, "-5", 0, 0, -500},  // as typed
        {1, 3, "72057594037927936.99", 0, 0, 7205759403792793699},
        {1, 3, "-72057594037927936.99", 0, 0, -7205759403792793699},
        {1, 3, "72057594037927937", 146, kTransferAmount, 0},
        {1, 3, "-72057594037927937", 146, kTransferAmount, 0},
        {1, 3, "99999999999999999999", 146, kTransferAmount, 0},  // would wrap in 64 bits
        {1, 1, "10", 145, kTransferTo, 0},
        {1, 1, "99999999999999999999", 145, kTransferTo, 0},  // accounts first
        {-1, 3, "10", 3410, kTransferFrom, 0},
        {1, -1, "10", 3410, kTransferTo, 0},
        {1, 5, "10", 3410, kTransferTo, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " " << c.to << " " << c.amount);
        messages_.shown.clear();
        TransferValues values;
        const OkResult ok =
            AcceptTransfer(*data_, FormFor(c.from, c.to, c.amount), messages_, values);
        if (c.message == 0) {
            EXPECT_TRUE(ok.close);
            EXPECT_TRUE(messages_.shown.empty());
            EXPECT_EQ(c.cents, values.amount);
            EXPECT_EQ(&Account("Checking"), values.from);
            EXPECT_EQ(&Account("Savings"), values.to);
        } else {
            EXPECT_FALSE(ok.close);
            EXPECT_EQ(c.focus, ok.focusId);
            EXPECT_EQ(std::vector<int>{c.message}, messages_.Ids());
            EXPECT_EQ(nullptr, values.from);
        }
    }
}

// The accounts are held by id: a list that no longer names them (the data
// set was loaded again meanwhile) books nothing.
TEST_F(TransferLogicTest, AnAccountGoneSinceOpeningIsNotChosen) {
    const TransferForm form = FormFor(1, 3, "10");
    std::unique_ptr<CAccount> gone = data_->TakeAccount(&Account("Savings"));
    TransferValues values;
    EXPECT_FALSE(AcceptTransfer(*data_, form, messages_, values).close);
    EXPECT_EQ(std::vector<int>{3410}, messages_.Ids());
}

TEST_F(TransferLogicTest, BookingSavesBothSidesWithoutAddingATimeToTheDay) {
    TransferForm form = FormFor(1, 3, "25.00");
    form.day = At(2012, 2, 29, 17, 45);  // a picker would give the day only
    form.cleared = true;
    TransferValues values;
    ASSERT_TRUE(AcceptTransfer(*data_, form, messages_, values).close);
    EXPECT_EQ(At(2012, 2, 29), values.date);
    EXPECT_TRUE(values.cleared);

    CTransaction* created = nullptr;
    ASSERT_EQ(0, BookTransfer(*data_, values, &Account("Savings"), messages_, &created));
    EXPECT_TRUE(messages_.shown.empty());

    std::unique_ptr<CAccounts> again = Reload();
    const CAccount* from = again->FindAccountByName("Checking");
    const CAccount* to = again->FindAccountByName("Savings");
    ASSERT_EQ(1u, from->Transactions().size());
    ASSERT_EQ(1u, to->Transactions().size());
    const CTransaction& out = *from->Transactions()[0];
    const CTransaction& in = *to->Transactions()[0];
    EXPECT_EQ(kStatusCleared, out.GetStatus() & kStatusMask);
    EXPECT_EQ(2500, out.GetAmount());
    EXPECT_EQ(WithdrawalTypeId, out.GetTypeId());
    EXPECT_EQ(DepositTypeId, in.GetTypeId());
    EXPECT_EQ(to->Header().GetId(), out.GetCategoryId());
    EXPECT_EQ(in.GetId(), out.GetLinkedId());
    // The day as chosen, the time of day the clock's.
    EXPECT_EQ(At(2012, 2, 29, 10, 30), out.GetDate());
    ASSERT_NE(nullptr, created);
    EXPECT_EQ(in.GetId(), created->GetId());
}

TEST_F(TransferLogicTest, ANegativeAmountIsBookedAsTyped) {
    TransferValues values;
    ASSERT_TRUE(AcceptTransfer(*data_, FormFor(1, 3, "-40"), messages_, values).close);
    CTransaction* created = nullptr;
    ASSERT_EQ(0, BookTransfer(*data_, values, &Account("Checking"), messages_, &created));
    ASSERT_NE(nullptr, created);
    EXPECT_EQ(-4000, created->GetAmount());
    EXPECT_EQ(4000, Account("Checking").Header().GetCurrentBalance());
    EXPECT_EQ(-4000, Account("Savings").Header().GetCurrentBalance());
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(TransferLogicTest, AFailedSaveIsShownWithItsCause) {
    TransferValues values;
    ASSERT_TRUE(AcceptTransfer(*data_, FormFor(1, 3, "10"), messages_, values).close);
    const std::string path = Account("Checking").GetPath();
    ASSERT_EQ(0, chmod(path.c_str(), 0444));
    CTransaction* created = nullptr;
    EXPECT_EQ(5, BookTransfer(*data_, values, &Account("Checking"), messages_, &created));
    EXPECT_EQ(nullptr, created);
    EXPECT_EQ(std::vector<int>{183}, messages_.Ids());
    chmod(path.c_str(), 0644);
    EXPECT_TRUE(Reload()->FindAccountByName("Savings")->Transactions().empty());
}

}  // namespace
}  // namespace tallowmere::ui
