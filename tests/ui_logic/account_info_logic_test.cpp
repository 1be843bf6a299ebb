#include "ui/logic/account_info_logic.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>

#include "model/accounts.h"
#include "model/client_uid_list.h"
#include "platform/atomic_file.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

class ScriptedAccountDialogs final : public AccountInfoSubDialogs {
  public:
    std::optional<int> ChooseIcon(int currentIcon) override {
        iconAsked.push_back(currentIcon);
        return icon;
    }
    bool RunOnlineSetup(OnlineSetupValues& values) override {
        setupGiven.push_back(values);
        return setup ? setup(values) : false;
    }
    std::optional<int> icon;
    std::function<bool(OnlineSetupValues&)> setup;
    std::vector<int> iconAsked;
    std::vector<OnlineSetupValues> setupGiven;
};

class AccountInfoTest : public test::DataSetTest {
  protected:
    void SetUp() override {
        DataSetTest::SetUp();
        ClientUid::SetDataFolder(folder_);
    }
    void TearDown() override {
        platform::SetWriteFault(nullptr);
        ClientUid::SetDataFolder("");
        DataSetTest::TearDown();
    }
    AccountInfoLogic Logic(CAccount* account) {
        return AccountInfoLogic(*data_, account, folder_, messages_, dialogs_);
    }
    std::string FilePath(const std::string& title) const { return folder_ + "/" + title + ".wqm"; }
    std::size_t AccountFiles() const {
        std::size_t n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            n += entry.path().extension() == ".wqm" ? 1 : 0;
        return n;
    }

    ScriptedAccountDialogs dialogs_;
};

TEST_F(AccountInfoTest, ANewAccountOpensAsAnIncludedCheckingAccountAtZero) {
    AccountInfoLogic logic = Logic(nullptr);
    DialogStep focus;
    const AccountInfoForm form = logic.Open(&focus);
    EXPECT_EQ("", form.name);
    EXPECT_EQ(0u, form.nameLimit);
    EXPECT_EQ(0, form.typeIndex);
    EXPECT_EQ("0", form.balanceText);
    EXPECT_TRUE(form.includeInTotals);
    EXPECT_EQ(2, form.iconIndex);
    ASSERT_LE(0, form.currencyIndex);
    EXPECT_EQ(1, form.currencies[static_cast<std::size_t>(form.currencyIndex)].id);
    EXPECT_EQ(DialogStep::Stay(kAccountName, false), focus);
}

TEST_F(AccountInfoTest, AnExistingAccountShowsItsHeaderAndKeepsItsIcon) {
    CAccount& savings = Account("Savings");
    savings.Header().SetIconIndex(40);
    savings.Header().SetAccountNumber("778");
    savings.SetOnlineBalance(-123456);
    AccountInfoLogic logic = Logic(&savings);
    DialogStep focus;
    AccountInfoForm form = logic.Open(&focus);
    EXPECT_EQ("Savings", form.name);
    EXPECT_EQ(25u, form.nameLimit);
    EXPECT_EQ(1, form.typeIndex);
    EXPECT_EQ("778", form.accountNumber);
    EXPECT_EQ("-1234.56", form.onlineBalance);
    EXPECT_EQ("0", form.transactionCount);
    EXPECT_EQ(40, form.iconIndex);
    EXPECT_EQ(DialogStep::Stay(kAccountBalance, true), focus);
    EXPECT_EQ(DialogStep::Close(1), logic.Ok(form));
    EXPECT_EQ(40, Reload()->FindAccountByName("Savings")->Header().GetIconIndex());
}

TEST_F(AccountInfoTest, ChoosingAnotherTypeTakesThatTypesIcon) {
    AccountInfoLogic logic = Logic(&Account("Savings"));
    AccountInfoForm form = logic.Open();
    form.typeIndex = kCreditCard;
    logic.OnTypeChosen(form);
    EXPECT_EQ(AccountTypeDefaultIcon(kCreditCard), form.iconIndex);
    dialogs_.icon = 300;
    logic.OnChooseIcon(form);
    EXPECT_EQ(std::vector<int>{AccountTypeDefaultIcon(kCreditCard)}, dialogs_.iconAsked);
    EXPECT_EQ(300, form.iconIndex);
}

struct RefusalCase {
    const char* label;
    std::string name;
    int type;
    const char* balance;
    std::deque<Answer> answers;
    std::vector<int> shown;
    DialogStep step;
};

TEST_F(AccountInfoTest, ARefusedNewAccountLeavesNoAccountAndNoFile) {
    const RefusalCase cases[] = {
        {"letters", "New", 0, "12a", {}, {512}, DialogStep::Stay(kAccountBalance, true)},
        {"overflow",
         "New",
         0,
         "99999999999999999999",
         {},
         {512},
         DialogStep::Stay(kAccountBalance, true)},
        {"empty name", "", 0, "1", {}, {167}, DialogStep::Stay(kAccountName, true)},
        {"26 characters",
         std::string(26, 'n'),
         0,
         "1",
         {},
         {167},
         DialogStep::Stay(kAccountName, true)},
        {"credit, No",
         "Card",
         kCreditCard,
         "100.00",
         {Answer::kNo},
         {180},
         DialogStep::Stay(kAccountBalance, true)},
        {"name in use", "Visa", 0, "0", {}, {511}, DialogStep::Stay(kAccountName, true)},
        {"in use, other case", "vISA", 0, "0", {}, {511}, DialogStep::Stay(kAccountName, true)},
    };
    const std::size_t files = AccountFiles();
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.label);
        messages_ = {};
        messages_.answers = c.answers;
        AccountInfoLogic logic = Logic(nullptr);
        AccountInfoForm form = logic.Open();
        form.name = c.name;
        form.typeIndex = c.type;
        form.balanceText = c.balance;
        EXPECT_EQ(c.step, logic.Ok(form));
        EXPECT_EQ(c.shown, messages_.Ids());
        EXPECT_EQ(nullptr, logic.TakeNewAccount());
        EXPECT_EQ(files, AccountFiles());
    }
    EXPECT_EQ(5u, data_->GetAccountCount());
}

TEST_F(AccountInfoTest, OnlyCreditStyleAccountsWithAPositiveBalanceAreAsked) {
    struct Case {
        int type;
        const char* balance;
        bool asked;
    } const cases[] = {
        {kCreditCard, "100.00", true}, {kLiability, "0.01", true},   {kLineOfCredit, "5", true},
        {kCreditCard, "0", false},     {kCreditCard, "-100", false}, {kChecking, "100.00", false},
        {kAsset, "100", false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + c.balance);
        messages_ = {};
        messages_.answers = {Answer::kYes};
        AccountInfoLogic logic = Logic(nullptr);
        AccountInfoForm form = logic.Open();
        form.name = "Card " + std::to_string(++n);
        form.typeIndex = c.type;
        form.balanceText = c.balance;
        EXPECT_EQ(DialogStep::Close(1), logic.Ok(form));
        EXPECT_EQ(c.asked ? std::vector<int>{180} : std::vector<int>{}, messages_.Ids());
        EXPECT_NE(nullptr, logic.TakeNewAccount());
    }
}

TEST_F(AccountInfoTest, ANewAccountIsSavedWithWhatWasTyped) {
    AccountInfoLogic logic = Logic(nullptr);
    AccountInfoForm form = logic.Open();
    form.name = "Holiday";
    form.typeIndex = kSavings;
    form.bank = "First Bank";
    form.accountNumber = "12-34";
    form.balanceText = "250.75";
    form.includeInTotals = false;
    ASSERT_EQ(DialogStep::Close(1), logic.Ok(form));
    std::unique_ptr<CAccount> made = logic.TakeNewAccount();
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(FilePath("Holiday"), made->GetPath());
    data_->InsertAccount(std::move(made));
    const std::unique_ptr<CAccounts> reloaded = Reload();
    const CAccount* again = reloaded->FindAccountByName("Holiday");
    ASSERT_NE(nullptr, again);
    const AccountHeader& h = again->Header();
    EXPECT_EQ("Holiday", h.GetName());
    EXPECT_EQ(kSavings, h.GetType());
    EXPECT_EQ("First Bank", h.GetBankName());
    EXPECT_EQ("12-34", h.GetAccountNumber());
    EXPECT_EQ(25075, h.GetOpeningBalance());
    EXPECT_EQ(25075, h.GetCurrentBalance());
    EXPECT_FALSE(h.GetIncludeInTotals());
    EXPECT_EQ(1, h.GetCurrencyId());
    EXPECT_EQ(2, h.GetIconIndex());
}

TEST_F(AccountInfoTest, AFailedFirstSaveDropsTheNewAccountAndItsFile) {
    platform::SetWriteFault([](std::size_t, int& err) {
        err = ENOSPC;
        return false;
    });
    AccountInfoLogic logic = Logic(nullptr);
    AccountInfoForm form = logic.Open();
    form.name = "Doomed";
    EXPECT_EQ(DialogStep::Stay(kAccountName, false), logic.Ok(form));
    EXPECT_EQ(std::vector<int>{510}, messages_.Ids());
    EXPECT_EQ(nullptr, logic.TakeNewAccount());
    EXPECT_FALSE(std::filesystem::exists(FilePath("Doomed")));

    platform::SetWriteFault(nullptr);
    EXPECT_EQ(DialogStep::Close(1), logic.Ok(form));
    EXPECT_NE(nullptr, logic.TakeNewAccount());
    EXPECT_TRUE(std::filesystem::exists(FilePath("Doomed")));
}

TEST_F(AccountInfoTest, EachFieldSetsItsChangeBitOnlyWhenItChanges) {
    struct Case {
        const char* label;
        std::function<void(AccountInfoForm&)> edit;
        std::uint32_t bits;
    } const cases[] = {
        {"nothing", [](AccountInfoForm&) {}, 0},
        {"type", [](AccountInfoForm& f) { f.typeIndex = kCash; }, kChangeType},
        {"currency", [](AccountInfoForm& f) { f.currencyIndex = 3; }, kChangeCurrency},
        {"bank", [](AccountInfoForm& f) { f.bank = "Other Bank"; }, kChangeBankName},
        {"balance", [](AccountInfoForm& f) { f.balanceText = "12.00"; }, kChangeOpeningBalance},
        {"icon", [](AccountInfoForm& f) { f.iconIndex = 33; }, kChangeIcon},
        {"totals", [](AccountInfoForm& f) { f.includeInTotals = false; }, kChangeIncludeInTotals},
        {"number", [](AccountInfoForm& f) { f.accountNumber = "99"; }, kChangeAccountNumber},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CAccount& checking = Account("Checking");
        checking.Header().SetChangeFlags(0);
        const AccountHeader::Bytes saved = checking.Header().GetBytes();
        AccountInfoLogic logic = Logic(&checking);
        AccountInfoForm form = logic.Open();
        c.edit(form);
        ASSERT_EQ(DialogStep::Close(1), logic.Ok(form));
        EXPECT_EQ(c.bits, checking.Header().GetChangeFlags() & kModifiedMask);
        checking.Header().MutableBytes() = saved;
    }
}

TEST_F(AccountInfoTest, ARenameNeverReplacesAnotherAccountsFile) {
    const std::string savingsBytes = test::ReadFileBytes(FilePath("Savings"));
    for (const char* clash : {"Savings", "SAVINGS"}) {
        SCOPED_TRACE(clash);
        messages_ = {};
        AccountInfoLogic logic = Logic(&Account("Checking"));
        AccountInfoForm form = logic.Open();
        form.name = clash;
        EXPECT_EQ(DialogStep::Stay(kAccountName, true), logic.Ok(form));
        EXPECT_EQ(std::vector<int>{511}, messages_.Ids());
        EXPECT_EQ(savingsBytes, test::ReadFileBytes(FilePath("Savings")));
        EXPECT_TRUE(std::filesystem::exists(FilePath("Checking")));
    }
}

TEST_F(AccountInfoTest, ACaseOnlyRenameMovesTheAccountsOwnFile) {
    AccountInfoLogic logic = Logic(&Account("Checking"));
    AccountInfoForm form = logic.Open();
    form.name = "CHECKING";
    ASSERT_EQ(DialogStep::Close(1), logic.Ok(form));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_TRUE(std::filesystem::exists(FilePath("CHECKING")));
    EXPECT_FALSE(std::filesystem::exists(FilePath("Checking")));
    EXPECT_NE(nullptr, Reload()->FindAccountByName("CHECKING"));
}

TEST_F(AccountInfoTest, OddNamesStayInTheFolderAndLoadAgain) {
    struct Case {
        const char* name;
        const char* file;
    } const cases[] = {{".x", ".x"}, {"../x", "..-x"}, {"a:b", "a-b"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AccountInfoLogic logic = Logic(nullptr);
        AccountInfoForm form = logic.Open();
        form.name = c.name;
        ASSERT_EQ(DialogStep::Close(1), logic.Ok(form));
        data_->InsertAccount(logic.TakeNewAccount());
        EXPECT_TRUE(std::filesystem::exists(FilePath(c.file)));
    }
    const std::unique_ptr<CAccounts> again = Reload();
    EXPECT_EQ(8u, again->GetAccountCount());
    EXPECT_NE(nullptr, again->FindAccountByName(".x"));
}

TEST_F(AccountInfoTest, AnUnknownTypeIsKeptThroughOk) {
    CAccount& savings = Account("Savings");
    savings.Header().SetType(9);
    AccountInfoLogic logic = Logic(&savings);
    const AccountInfoForm form = logic.Open();
    EXPECT_EQ(-1, form.typeIndex);
    ASSERT_EQ(DialogStep::Close(1), logic.Ok(form));
    EXPECT_EQ(9, Reload()->FindAccountByName("Savings")->Header().GetType());
}

void MakeOnline(CAccount& account) {
    AccountHeader& h = account.Header();
    h.SetOnlineEnabled(true);
    h.SetAccountNumber("1234");
    h.SetCustomerId("cust");
    h.SetOnlinePassword("pw");
    h.SetRoutingNumber("123456789");
    h.SetFiId(77);
    h.SetBankName("Old Bank");
    ASSERT_EQ(0, account.Save());
}

TEST_F(AccountInfoTest, TurningOnlineOffClearsTheBanksDataButKeepsTypedFields) {
    CAccount& checking = Account("Checking");
    MakeOnline(checking);
    AccountInfoLogic logic = Logic(&checking);
    AccountInfoForm form = logic.Open();
    EXPECT_FALSE(form.FieldsEditable());
    dialogs_.setup = [](OnlineSetupValues& v) {
        v.enabled = false;
        return true;
    };
    ASSERT_TRUE(logic.OnOnlineSetup(form));
    ASSERT_EQ(1u, dialogs_.setupGiven.size());
    EXPECT_EQ("1234", dialogs_.setupGiven[0].accountNumber);
    EXPECT_EQ("cust", dialogs_.setupGiven[0].customerId);
    EXPECT_TRUE(form.FieldsEditable());
    form.bank = "Typed Bank";
    form.accountNumber = "5555";
    ASSERT_EQ(DialogStep::Close(1), logic.Ok(form));
    const std::unique_ptr<CAccounts> reloaded = Reload();
    const AccountHeader& h = reloaded->FindAccountByName("Checking")->Header();
    EXPECT_FALSE(h.GetOnlineEnabled());
    EXPECT_EQ("", h.GetCustomerId());
    EXPECT_EQ("", h.GetOnlinePassword());
    EXPECT_EQ("", h.GetRoutingNumber());
    EXPECT_EQ(0u, h.GetFiId());
    EXPECT_EQ("Typed Bank", h.GetBankName());
    EXPECT_EQ("5555", h.GetAccountNumber());
}

TEST_F(AccountInfoTest, WhileOnlineTheBankNameIsNotWrittenFromTheDialog) {
    CAccount& checking = Account("Checking");
    MakeOnline(checking);
    AccountInfoLogic logic = Logic(&checking);
    AccountInfoForm form = logic.Open();
    form.bank = std::string(40, 'b');  // the institution's name may be longer
    ASSERT_EQ(DialogStep::Close(1), logic.Ok(form));
    EXPECT_EQ("Old Bank", checking.Header().GetBankName());
    EXPECT_EQ("cust", checking.Header().GetCustomerId());
}

TEST_F(AccountInfoTest, SetupValuesWiderThanTheirFieldsAreRefused) {
    struct Case {
        const char* label;
        std::function<void(OnlineSetupValues&)> edit;
        int message;
    } const cases[] = {
        {"number", [](OnlineSetupValues& v) { v.accountNumber = std::string(21, '1'); }, 3721},
        {"routing", [](OnlineSetupValues& v) { v.routingNumber = std::string(10, '1'); }, 3722},
        {"customer", [](OnlineSetupValues& v) { v.customerId = std::string(33, 'c'); }, 3720},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        messages_ = {};
        AccountInfoLogic logic = Logic(&Account("Savings"));
        AccountInfoForm form = logic.Open();
        const AccountInfoForm before = form;
        dialogs_.setup = [&c](OnlineSetupValues& v) {
            v.enabled = true;
            v.accountNumber = "1";
            c.edit(v);
            return true;
        };
        EXPECT_FALSE(logic.OnOnlineSetup(form));
        EXPECT_EQ(std::vector<int>{c.message}, messages_.Ids());
        EXPECT_EQ(before.onlineEnabled, form.onlineEnabled);
        EXPECT_EQ(before.accountNumber, form.accountNumber);
    }
    // At the widths themselves they pass.
    AccountInfoLogic logic = Logic(&Account("Savings"));
    AccountInfoForm form = logic.Open();
    dialogs_.setup = [](OnlineSetupValues& v) {
        v.enabled = true;
        v.accountNumber = std::string(20, '1');
        v.routingNumber = std::string(9, '2');
        v.customerId = std::string(32, 'c');
        return true;
    };
    EXPECT_TRUE(logic.OnOnlineSetup(form));
    ASSERT_EQ(DialogStep::Close(1), logic.Ok(form));
    EXPECT_EQ(std::string(20, '1'), Account("Savings").Header().GetAccountNumber());
    EXPECT_EQ(std::string(9, '2'), Account("Savings").Header().GetRoutingNumber());
    EXPECT_EQ(std::string(32, 'c'), Account("Savings").Header().GetCustomerId());
}

TEST_F(AccountInfoTest, TypedTextsWiderThanTheirFieldsAreRefused) {
    AccountInfoLogic logic = Logic(&Account("Savings"));
    AccountInfoForm form = logic.Open();
    form.bank = std::string(33, 'b');
    EXPECT_EQ(DialogStep::Stay(kAccountBank, true), logic.Ok(form));
    form.bank = std::string(32, 'b');
    form.accountNumber = std::string(21, '1');
    EXPECT_EQ(DialogStep::Stay(kAccountNumber, true), logic.Ok(form));
    EXPECT_EQ((std::vector<int>{3720, 3720}), messages_.Ids());
    ASSERT_EQ(2u, messages_.shown.size());
    EXPECT_EQ(FormatArg(std::int64_t{32}), messages_.shown[0].args.at(0));
    EXPECT_EQ(FormatArg(std::int64_t{20}), messages_.shown[1].args.at(0));
}

TEST_F(AccountInfoTest, TheClientUidListKeepsEveryOtherPair) {
    test::WriteFileBytes(folder_ + "/ClientUidList.txt", "2\r\n1111\r\nUID-A\r\n2222\r\nUID-B\r\n");
    ClientUid::SetDataFolder("");
    ClientUid::SetDataFolder(folder_);

    // A new offline account with another account's number writes no empty
    // UID over that account's.
    {
        AccountInfoLogic logic = Logic(nullptr);
        AccountInfoForm form = logic.Open();
        form.name = "Twin";
        form.accountNumber = "2222";
        ASSERT_EQ(DialogStep::Close(1), logic.Ok(form));
        data_->InsertAccount(logic.TakeNewAccount());
    }
    // An account set up online adds its pair to the others.
    {
        AccountInfoLogic logic = Logic(&Account("Savings"));
        AccountInfoForm form = logic.Open();
        dialogs_.setup = [](OnlineSetupValues& v) {
            v.enabled = true;
            v.accountNumber = "3333";
            v.clientUid = "UID-C";
            return true;
        };
        ASSERT_TRUE(logic.OnOnlineSetup(form));
        ASSERT_EQ(DialogStep::Close(1), logic.Ok(form));
    }
    // Three pairs, none of them empty.
    EXPECT_EQ("3\r\n1111\r\nUID-A\r\n2222\r\nUID-B\r\n3333\r\nUID-C\r\n",
              test::ReadFileBytes(folder_ + "/ClientUidList.txt"));
    ClientUid::SetDataFolder("");
    ClientUid::SetDataFolder(folder_);
    EXPECT_EQ("UID-A", ClientUid::Lookup("1111"));
    EXPECT_EQ("UID-B", ClientUid::Lookup("2222"));
    EXPECT_EQ("UID-C", ClientUid::Lookup("3333"));
}

TEST_F(AccountInfoTest, CancelledSetupChangesNothing) {
    AccountInfoLogic logic = Logic(&Account("Savings"));
    AccountInfoForm form = logic.Open();
    const std::string before = form.accountNumber;
    dialogs_.setup = [](OnlineSetupValues& v) {
        v.accountNumber = "changed";
        return false;
    };
    EXPECT_FALSE(logic.OnOnlineSetup(form));
    EXPECT_EQ(before, form.accountNumber);
}

}  // namespace
}  // namespace tallowmere::ui
