// The online setup's rows and OK, the manual entry of a bank account, the
// choice among the bank's accounts, and the progress window's pacing.
#include "ui/logic/online_setup_logic.h"

#include <gtest/gtest.h>

#include <string>

#include "exchange/fi_accounts_list.h"
#include "ui/logic/online_account_logic.h"
#include "ui/logic/online_progress_logic.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

using test::DataSetTest;
using test::RecordingMessages;

TEST(OnlineSetupView, BankCaptionsCutWholeCharacters) {
    EXPECT_EQ(BankButtonCaption("", false), "Select Bank...");
    EXPECT_EQ(BankButtonCaption("Loop Bank", true), "Loop Bank...");
    EXPECT_EQ(BankButtonCaption("First Loopback Ban", true), "First Loopback Ban...");
    EXPECT_EQ(BankButtonCaption("First Loopback Bank", true), "First Loopback Ban...");
    // é is one character (one byte in the file, two in UTF-8).
    EXPECT_EQ(BankButtonCaption("Caisse Qu\xE9"
                                "bec Nord-Est",
                                true),
              "Caisse Qu\xC3\xA9"
              "bec Nord...");
}

TEST(OnlineSetupView, RowsFollowTheSwitchTheBankAndTheCustomerId) {
    struct Case {
        bool enabled;
        bool bank;
        const char* customer;
        bool bankEnabled, detailsShown, detailsEnabled, noteShown, accountShown, accountEnabled;
    };
    const Case cases[] = {
        {false, false, "", false, false, false, false, false, false},
        {false, true, "jsmith", false, true, false, false, true, false},
        {true, false, "jsmith", true, false, false, false, false, false},
        {true, true, "", true, true, true, true, false, false},
        {true, true, "jsmith", true, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.enabled << c.bank << c.customer);
        OnlineSetupForm values;
        values.enabled = c.enabled;
        values.customerId = c.customer;
        const OnlineSetupView view = ComputeOnlineSetupView(values, c.bank);
        EXPECT_EQ(view.bankEnabled, c.bankEnabled);
        EXPECT_EQ(view.detailsShown, c.detailsShown);
        EXPECT_EQ(view.detailsEnabled, c.detailsEnabled);
        EXPECT_EQ(view.noteShown, c.noteShown);
        EXPECT_EQ(view.accountShown, c.accountShown);
        EXPECT_EQ(view.accountEnabled, c.accountEnabled);
    }
}

TEST(OnlineSetupView, PasswordAndAccountCaptions) {
    OnlineSetupForm values;
    EXPECT_EQ(ComputeOnlineSetupView(values, true).passwordCaption, "-Will Prompt-...");
    EXPECT_EQ(ComputeOnlineSetupView(values, true).accountCaption, "Select Account...");
    values.password = "secret";
    values.account.accountNumber = "12345";
    EXPECT_EQ(ComputeOnlineSetupView(values, true).passwordCaption, "-Assigned-...");
    EXPECT_EQ(ComputeOnlineSetupView(values, true).accountCaption, "12345...");
}

TEST(OnlineSetupOk, RefusesWithoutBankCustomerOrAccount) {
    struct Case {
        bool enabled;
        bool bank;
        const char* customer;
        const char* account;
        int message;  // 0: closes
        int focus;
    };
    const Case cases[] = {
        {false, false, "", "", 0, 0},
        {true, false, "jsmith", "12345", 169, kSetupSelectBank},
        {true, true, "", "12345", 168, kSetupCustomerId},
        {true, true, "jsmith", "", 170, kSetupSelectAccount},
        {true, true, "jsmith", "12345", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.enabled << c.bank << c.customer << c.account);
        OnlineSetupForm values;
        values.enabled = c.enabled;
        values.customerId = c.customer;
        values.account.accountNumber = c.account;
        RecordingMessages messages;
        const OkResult ok = AcceptOnlineSetup(values, c.bank, messages);
        EXPECT_EQ(ok.close, c.message == 0);
        EXPECT_EQ(ok.focusId, c.focus);
        EXPECT_EQ(messages.Ids(), c.message ? std::vector<int>{c.message} : std::vector<int>{});
    }
}

class OnlineAccountTest : public DataSetTest {
  protected:
    void SetUp() override {
        DataSetTest::SetUp();
        // Savings is already set up for this bank account.
        AccountHeader& h = Account("Savings").Header();
        h.SetAccountNumber("55555");
        h.SetRoutingNumber("021000021");
    }
};

TEST_F(OnlineAccountTest, ManualEntryChecksNumberRoutingAndUse) {
    const BankAccountIds opened{0, "12345", "021000021"};
    struct Case {
        const char* what;
        std::uint8_t type;
        const char* number;
        const char* routing;
        int message;
        int focus;
    };
    const Case cases[] = {
        {"an empty number", 0, "", "021000021", 155, kOnlineAccountNumber},
        {"routing of 8 digits", 0, "12345", "02100002", 156, kOnlineRoutingNumber},
        {"routing with a letter", 0, "12345", "12345678A", 156, kOnlineRoutingNumber},
        {"no routing for checking", 0, "12345", "", 156, kOnlineRoutingNumber},
        {"no routing for a card", 3, "4111", "", 0, 0},
        {"a card with a routing of 8", 3, "4111", "02100002", 156, kOnlineRoutingNumber},
        {"a pair in use", 1, "55555", "021000021", 191, kOnlineAccountNumber},
        {"the pair it opened with", 0, "12345", "021000021", 0, 0},
        {"a new pair", 6, "777", "021000021", 0, 0},
    };
    const std::vector<std::uint8_t> types = OnlineAccountTypes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OnlineAccountForm form = OpenOnlineAccountInfo(opened);
        form.typeIndex =
            static_cast<int>(std::find(types.begin(), types.end(), c.type) - types.begin());
        form.accountNumber = c.number;
        form.routingNumber = c.routing;
        RecordingMessages messages;
        BankAccountIds out;
        const OkResult ok = AcceptOnlineAccountInfo(*data_, opened, form, messages, out);
        EXPECT_EQ(ok.close, c.message == 0);
        EXPECT_EQ(ok.focusId, c.focus);
        EXPECT_EQ(messages.Ids(), c.message ? std::vector<int>{c.message} : std::vector<int>{});
        if (ok.close) {
            EXPECT_EQ(out, (BankAccountIds{c.type, c.number, c.routing}));
        }
    }
}

TEST(OnlineAccountTypes, OnlyTheTypesABankServes) {
    EXPECT_EQ(OnlineAccountTypes(), (std::vector<std::uint8_t>{0, 1, 3, 6, 7}));
    EXPECT_EQ(AccountTypeName(6), "Money Market");
    EXPECT_EQ(AccountTypeName(9), "");
    // An offline type opens on the first online one.
    EXPECT_EQ(OpenOnlineAccountInfo({2, "1", ""}).typeIndex, 0);
    EXPECT_EQ(OpenOnlineAccountInfo({7, "1", ""}).typeIndex, 4);
}

TEST_F(OnlineAccountTest, ChoosingABankAccountRefusesLongIdsAndAccountsInUse) {
    CFiAccountsList accounts;
    ASSERT_EQ(accounts.OnBankAccount("021000021", "12345", "CHECKING"), 0);
    ASSERT_EQ(accounts.OnBankAccount("021000021", "55555", "SAVINGS"), 0);
    ASSERT_EQ(accounts.OnBankAccount("021000021", std::string(21, '9'), "SAVINGS"), 0);
    ASSERT_EQ(accounts.OnBankAccount("0210000219", "66666", "SAVINGS"), 0);
    ASSERT_EQ(accounts.OnCreditCardAccount("4111000011112222"), 0);
    struct Case {
        const char* what;
        int selected;
        int current;
        int message;  // 0 and close: chosen; -1: stays silently
    };
    const Case cases[] = {
        {"no selection", -1, 0, -1},
        {"a number longer than 20", 2, 0, 3647},
        {"a routing id longer than 9", 3, 0, 3648},
        {"another account's pair", 1, 0, 191},
        {"its own pair as the current entry", 1, 1, 0},
        {"a card", 4, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingMessages messages;
        BankAccountIds out;
        const OkResult ok =
            AcceptSelectedBankAccount(*data_, accounts, c.selected, c.current, messages, out);
        EXPECT_EQ(ok.close, c.message == 0);
        EXPECT_EQ(messages.Ids(), c.message > 0 ? std::vector<int>{c.message} : std::vector<int>{});
        if (ok.close) {
            const CFiAccountInfo& info = *accounts.GetAt(static_cast<std::size_t>(c.selected));
            EXPECT_EQ(out, (BankAccountIds{info.GetType(), info.GetAccountNumber(),
                                           info.GetRoutingId()}));
        }
    }
    EXPECT_EQ(CurrentBankAccountRow(accounts, "55555"), 1);
    EXPECT_EQ(CurrentBankAccountRow(accounts, "5555"), -1);
}

TEST(OnlineProgressState, StepsAtMostOncePer30MsAndCancelIsTakenOnce) {
    OnlineProgressState state(1000);
    const struct {
        std::uint32_t now;
        bool moves;
        int frame;
    } steps[] = {
        {1000, false, 0}, {1030, false, 0}, {1031, true, 1},  {1040, false, 1},
        {1062, true, 2},  {1300, true, 3},  {1300, false, 3},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.now);
        EXPECT_EQ(state.Step(s.now), s.moves);
        EXPECT_EQ(state.Frame(), s.frame);
    }
    // After the eighth frame comes the first; the tick may wrap.
    OnlineProgressState wrapping(0xFFFFFFF0u);
    for (int i = 1; i <= 8; ++i)
        EXPECT_TRUE(wrapping.Step(0xFFFFFFF0u + static_cast<std::uint32_t>(31 * i)));
    EXPECT_EQ(wrapping.Frame(), 0);

    EXPECT_FALSE(state.TakeCancel());
    state.PressCancel();
    EXPECT_TRUE(state.TakeCancel());
    EXPECT_FALSE(state.TakeCancel());
}

}  // namespace
}  // namespace tallowmere::ui
