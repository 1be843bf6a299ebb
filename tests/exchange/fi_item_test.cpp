// The institution's event slots without a network: directory details, the
// statement's end date and balance, OFX replies read from memory, the
// account list a bank reports, the message for each online error, and the
// server addresses that may carry a password.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "exchange/fi_accounts_list.h"
#include "exchange/fi_list.h"
#include "exchange/online_banking_error.h"
#include "exchange/server_url.h"
#include "exchange/stream_memory.h"
#include "model/account.h"
#include "model/account_download.h"
#include "model/account_test_world.h"
#include "model/list_test_items.h"
#include "model/payee_lookup.h"
#include "platform/atomic_file.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::CapturingSink;

std::vector<int> Ids(const CapturingSink& sink) {
    std::vector<int> ids;
    for (const ErrorReport& r : sink.reports)
        ids.push_back(r.string_id);
    return ids;
}

std::vector<std::string> Texts(const CapturingSink& sink) {
    std::vector<std::string> texts;
    for (const ErrorReport& r : sink.reports)
        texts.push_back(r.text);
    return texts;
}

const std::string kUrl = "https://ofx.example.com/bank";
const std::string kOrg = "ORG";
const std::string kFid = "1234";

TEST(FiItemDetailsTest, DetailsReplyIsCheckedBeforeItIsStored) {
    const std::string http = "http://ofx.example.com/bank";
    const struct {
        const char* what;
        std::int32_t id;
        std::uint32_t storedStamp;
        const std::string* url;
        std::int32_t answer;
        bool stored;
        int message;
    } cases[] = {
        {"another institution's reply", 8, 0, &kUrl, 4, false, 0},
        {"details already stored", 7, 1, &kUrl, 0, false, 0},
        {"no URL", 7, 0, nullptr, 3, false, 0},
        {"plain http", 7, 0, &http, 4, false, exchange::kStrOnlineInsecureUrl},
        {"first reply", 7, 0, &kUrl, 0, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CapturingSink sink;
        CFiItem item(7, "Bank");
        item.SetDetailsStamp(c.storedStamp);
        EXPECT_EQ(item.OnInstitutionDetails(c.id, 1, c.url, &kOrg, &kFid, nullptr, nullptr),
                  c.answer);
        EXPECT_EQ(item.GetUrl(), c.stored ? kUrl : "");
        EXPECT_EQ(item.GetOrg(), c.stored ? kOrg : "");
        EXPECT_EQ(item.GetDetailsStamp(), c.stored ? 1u : c.storedStamp);
        EXPECT_EQ(Ids(sink), c.message ? std::vector<int>{c.message} : std::vector<int>{});
    }
    // Missing texts other than the URL are stored empty.
    CFiItem item(7, "Bank");
    ASSERT_EQ(item.OnInstitutionDetails(7, 1, &kUrl, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(item.GetFid(), "");
    EXPECT_EQ(item.GetAppId(), "");
}

class FiItemStatementTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = test::MakeTempDir("fi_item");
        account_.SetPath(dir_ + "/Checking.wqm");
        item_.SetTargetAccount(&account_);
    }

    std::uint32_t EndFlag() const {
        return account_.Header().GetChangeFlags() & kChangeDownloadEndDate;
    }

    std::string dir_;
    CAccount account_;
    CFiItem item_{7, "Bank"};
    CapturingSink sink_;
};

TEST_F(FiItemStatementTest, StatementEndMarksTheHeaderOnlyWhenItChanges) {
    const std::string longEnd(70, '2');
    const struct {
        const char* what;
        std::string stored;
        std::string dtEnd;
        std::string expected;
        bool marked;
    } cases[] = {
        {"equal", "20240131", "20240131", "20240131", false},
        {"later", "20240131", "20240229120000[-5:EST]", "20240229120000[-5:EST]", true},
        {"first", "", "20240131", "20240131", true},
        {"long, kept to 64", "", longEnd, longEnd.substr(0, 64), true},
        {"long, equal as stored", longEnd.substr(0, 64), longEnd, longEnd.substr(0, 64), false},
        {"empty", "20240131", "", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        account_.Header().SetDownloadEndDate(c.stored);
        account_.Header().SetChangeFlags(0);
        EXPECT_EQ(item_.OnStatementEnd(c.dtEnd), 0);
        EXPECT_EQ(account_.Header().GetDownloadEndDate(), c.expected);
        EXPECT_EQ(EndFlag(), c.marked ? kChangeDownloadEndDate : 0u);
        EXPECT_EQ(account_.Header().GetChangeFlags() & ~kChangeDownloadEndDate, 0u);
    }
}

TEST_F(FiItemStatementTest, TransactionsAndBalanceReachTheAccount) {
    account_.BeginDownloadSession(nullptr);
    EXPECT_EQ(item_.OnStatementAccount("999"), 0);  // not checked
    EXPECT_EQ(item_.OnStatementTransaction("20240105", "-42.50", "DEBIT", std::nullopt, "Grocer",
                                           "weekly", "F1"),
              0);
    EXPECT_EQ(item_.OnStatementTransaction("20240106", "-10.00", "CHECK", "1042", "Landlord",
                                           std::nullopt, "F2"),
              0);
    // Known online id: nothing new.
    EXPECT_EQ(item_.OnStatementTransaction("20240105", "-42.50", "DEBIT", std::nullopt, "Grocer",
                                           std::nullopt, "F1"),
              0);
    EXPECT_EQ(item_.OnStatementTransaction("not a date", "1.00", "CREDIT", std::nullopt, "X",
                                           std::nullopt, "F3"),
              kDownloadUnreadable);
    EXPECT_EQ(item_.OnLedgerBalance("100.25"), 0);
    EXPECT_EQ(item_.OnLedgerBalance("lots"), kDownloadUnreadable);
    account_.ForgetDownloadSession();

    ASSERT_EQ(account_.Transactions().size(), 2u);
    EXPECT_EQ(account_.Transactions()[0]->GetPayeeName(), "Grocer");
    EXPECT_EQ(account_.Transactions()[0]->GetAmount(), 4250);
    EXPECT_EQ(account_.Transactions()[1]->GetCheckNumber(), 1042u);
    EXPECT_EQ(account_.GetOnlineBalance(), 10025);

    // Without a target account nothing is taken.
    CFiItem bare(1, "Other");
    EXPECT_NE(bare.OnStatementTransaction("20240105", "1.00", "CREDIT", std::nullopt, "X",
                                          std::nullopt, "F9"),
              0);
    EXPECT_NE(bare.OnStatementEnd("20240131"), 0);
}

constexpr const char* kStatementFile =
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
    "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n"
    "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>"
    "<DTSERVER>20240131<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1>"
    "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS>"
    "<STMTRS><CURDEF>USD<BANKACCTFROM><BANKID>1<ACCTID>2<ACCTTYPE>CHECKING</BANKACCTFROM>"
    "<BANKTRANLIST><DTSTART>20240101<DTEND>20240131"
    "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240105<TRNAMT>-5.00<FITID>A1<NAME>Caf&amp;e</STMTTRN>"
    "<STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20240107<TRNAMT>7.00<FITID>A2<NAME>Pay</STMTTRN>"
    "</BANKTRANLIST><LEDGERBAL><BALAMT>2.00<DTASOF>20240131</LEDGERBAL>"
    "</STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>";

TEST_F(FiItemStatementTest, ImportReadsAStatementAndShowsAFailedOne) {
    const std::string good = kStatementFile;
    exchange::ReadOnlyMemoryStream stream(good.data(), good.size());
    ASSERT_EQ(item_.ImportStatement(stream, account_), 0);
    ASSERT_EQ(account_.Transactions().size(), 2u);
    EXPECT_EQ(account_.Transactions()[0]->GetPayeeName(), "Caf&e");
    EXPECT_EQ(account_.Header().GetDownloadEndDate(), "20240131");
    EXPECT_EQ(account_.GetOnlineBalance(), 200);
    EXPECT_TRUE(sink_.reports.empty());

    // The same file again adds nothing.
    exchange::ReadOnlyMemoryStream again(good.data(), good.size());
    ASSERT_EQ(item_.ImportStatement(again, account_), 0);
    EXPECT_EQ(account_.Transactions().size(), 2u);

    // A cut file reads as nothing, and the failure is shown.
    const std::string cut = good.substr(0, good.find("<STMTTRN><TRNTYPE>CREDIT"));
    CAccount other;
    other.SetPath(dir_ + "/Other.wqm");
    exchange::ReadOnlyMemoryStream broken(cut.data(), cut.size());
    EXPECT_EQ(item_.ImportStatement(broken, other), -1);
    EXPECT_EQ(other.Transactions().size(), 0u);
    ASSERT_EQ(sink_.reports.size(), 1u);
    EXPECT_TRUE(sink_.reports[0].string_id == exchange::kStrOnlineUnparsed ||
                sink_.reports[0].string_id == exchange::kStrOnlineUnparsedWithText)
        << sink_.reports[0].text;
}

// The bank's texts go through the payee look-up list, which a statement
// writes once at its end; a refused statement writes nothing at all.
class LookupOwner : public test::FakeOwner {
  public:
    CPayeeLookupList* GetPayeeLookupList() override { return &lookups; }
    CPayeeLookupList lookups;
};

TEST(FiItemRefusedStatementTest, AddsAndWritesNothing) {
    const std::string dir = test::MakeTempDir("fi_refused");
    LookupOwner owner;
    owner.lookups.SetPath(dir + "/PayeeLookupList.lst");
    CAccount account(&owner);
    ASSERT_EQ(account.MakeFilePath(dir, "Checking"), 0);
    owner.accounts.push_back(&account);
    CFiItem item(7, "Bank");
    CapturingSink sink;

    const std::string good = kStatementFile;
    exchange::ReadOnlyMemoryStream first(good.data(), good.size());
    ASSERT_EQ(item.ImportStatement(first, account), 0);
    ASSERT_EQ(account.Save(), 0);
    ASSERT_EQ(owner.lookups.GetCount(true), 2u);
    const std::string accountBytes = test::ReadFileBytes(account.GetPath());
    const std::string lookupBytes = test::ReadFileBytes(dir + "/PayeeLookupList.lst");

    // A later statement: two new transactions, then the fault.
    const auto later = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        for (const char* id : {"A1", "A2"})
            text.replace(text.find(std::string("<FITID>") + id), 9, std::string("<FITID>N") + id);
        text.replace(text.find("Caf&amp;e"), 9, "New shop");
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        const char* what;
        std::string text;
        const char* message;
    } cases[] = {
        {"an unreadable TRNAMT in the last STMTTRN", later("7.00", "7,00.0"),
         "The data could not be parsed. (STMTTRN 2: TRNAMT 7,00.0)"},
        {"no DTEND", later("<DTEND>20240131", ""),
         "The data could not be parsed. (BANKTRANLIST: DTEND)"},
        {"an unreadable BALAMT", later("<BALAMT>2.00", "<BALAMT>two"),
         "The data could not be parsed. (LEDGERBAL: BALAMT two)"},
        {"an unterminated CDATA", later("<NAME>Pay", "<NAME><![CDATA[Pay"),
         "The data could not be parsed. (![CDATA[)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sink.reports.clear();
        int writes = 0;
        platform::SetWriteFault([&writes](std::size_t, int&) {
            ++writes;
            return true;
        });
        exchange::ReadOnlyMemoryStream stream(c.text.data(), c.text.size());
        EXPECT_EQ(item.ImportStatement(stream, account), -1);
        platform::SetWriteFault(nullptr);
        EXPECT_EQ(writes, 0);
        EXPECT_EQ(Texts(sink), std::vector<std::string>{c.message});
        EXPECT_EQ(account.Transactions().size(), 2u);
        EXPECT_EQ(owner.lookups.GetCount(true), 2u);
        EXPECT_EQ(account.GetOnlineBalance(), 200);
        // What a save now would write is what the file holds.
        ASSERT_EQ(account.Save(), 0);
        EXPECT_EQ(test::ReadFileBytes(account.GetPath()), accountBytes);
        EXPECT_EQ(test::ReadFileBytes(dir + "/PayeeLookupList.lst"), lookupBytes);
    }
}

TEST_F(FiItemStatementTest, AccountTypeWithoutAnOfxKindIsRefusedBeforeAnyRequest) {
    account_.Header().SetType(kCash);
    CFiItem item(7, "Bank");
    EXPECT_EQ(item.DownloadStatement(nullptr, account_, "pw", nullptr), -1);
    EXPECT_EQ(Ids(sink_), std::vector<int>{exchange::kStrOnlineBadAccount});
}

TEST(OnlineBankingErrorTest, EachCodeShowsItsMessage) {
    const struct {
        std::int32_t code;
        const char* text;
        const char* message;  // null: nothing shown
    } cases[] = {
        {0, "", nullptr},
        {1, "", "There's not enough memory to complete the operation."},
        {2, "", nullptr},
        {1223, "", nullptr},
        {3, "ACCTID", "The data could not be parsed. (ACCTID)"},
        {3, "", "The data could not be parsed."},
        {4, "", "The data could not be parsed."},
        {2003, "Account not found",
         "The account type and/or the account # for this account is invalid."},
        {12002, "", "The connection timed out."},
        {12007, "", "You need to have an internet connection to use this command."},
        {12008, "", "You need to have an internet connection to use this command."},
        {12150, "", "You need to have an internet connection to use this command."},
        {15500, "Invalid user", "The Customer ID or Password for this account is invalid."},
        {12345, "Server busy", "Error 12345 \"Server busy\"."},
        {12345, "", "An unexpected error ocurred (12345)."},
        {500, "", "An unexpected error ocurred (500)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + " " + c.text);
        CapturingSink sink;
        exchange::ShowOnlineBankingError(c.code, c.text);
        EXPECT_EQ(Texts(sink),
                  c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    }
}

TEST(FiAccountsListTest, ReportedAccountsAreKeptByKind) {
    CapturingSink sink;
    CFiAccountsList list;
    const struct {
        const char* type;
        std::int32_t answer;
        int kind;  // -1: not added
    } bank[] = {
        {"CHECKING", 0, kChecking},
        {"SAVINGS", 0, kSavings},
        {"MONEYMRKT", 0, kMoneyMarket},
        {"CREDITLINE", 0, kLineOfCredit},
        {"checking", 4, -1},
        {"CD", 4, -1},
        {"", 4, -1},
    };
    int number = 100;
    for (const auto& b : bank) {
        SCOPED_TRACE(b.type);
        const std::size_t before = list.GetCount();
        const std::string account = std::to_string(++number);
        EXPECT_EQ(list.OnBankAccount("021000021", account, b.type), b.answer);
        if (b.kind < 0) {
            EXPECT_EQ(list.GetCount(), before);
            continue;
        }
        ASSERT_EQ(list.GetCount(), before + 1);
        const CFiAccountInfo* info = list.GetAt(before);
        EXPECT_EQ(info->GetType(), b.kind);
        EXPECT_EQ(info->GetAccountNumber(), account);
        EXPECT_EQ(info->GetRoutingId(), "021000021");
    }
    EXPECT_EQ(list.OnCreditCardAccount("4111000011112222"), 0);
    const CFiAccountInfo* card = list.FindByNumber("4111000011112222");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->GetType(), kCreditCard);
    EXPECT_EQ(card->GetRoutingId(), "");
    EXPECT_EQ(list.IndexOf(card), 4);
    EXPECT_EQ(list.IndexOf(nullptr), -1);
    EXPECT_EQ(list.FindByNumber("411100001111222"), nullptr);
    EXPECT_TRUE(list.Progress(-1));
    EXPECT_TRUE(sink.reports.empty());
}

TEST(FiAccountsListTest, NumbersLongerThanTheHeaderHoldsAreKeptWhole) {
    // The account choice refuses them; the list never cuts them.
    CapturingSink sink;
    CFiAccountsList list;
    const std::string twenty(20, '7');
    const std::string longer = "1234567890123456789012";
    EXPECT_EQ(list.OnBankAccount("1", twenty, "CHECKING"), 0);
    EXPECT_EQ(list.OnBankAccount("0210000219", longer, "CHECKING"), 0);
    EXPECT_EQ(list.OnCreditCardAccount(longer + "3"), 0);
    ASSERT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(list.GetAt(1)->GetAccountNumber(), longer);
    EXPECT_EQ(list.GetAt(1)->GetRoutingId(), "0210000219");
    EXPECT_EQ(list.GetAt(2)->GetAccountNumber(), longer + "3");
    EXPECT_TRUE(sink.reports.empty());
}

TEST(FiAccountsListTest, OfxAccountTypeNames) {
    const struct {
        std::uint8_t type;
        const char* name;
    } cases[] = {{kChecking, "CHECKING"},
                 {kSavings, "SAVINGS"},
                 {kCash, ""},
                 {kCreditCard, ""},
                 {kAsset, ""},
                 {kLiability, ""},
                 {kMoneyMarket, "MONEYMRKT"},
                 {kLineOfCredit, "CREDITLINE"},
                 {8, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(OfxAccountTypeName(c.type), c.name) << int(c.type);
}

class FakeProgress : public COnlineProgressDlg {
  public:
    void Step() override { ++steps; }
    bool TakeCancel() override {
        const bool was = cancel;
        cancel = false;
        return was;
    }
    int steps = 0;
    bool cancel = false;
};

TEST(FiListEventsTest, DirectoryEventsChangeTheListInMemory) {
    CFiList list;
    EXPECT_EQ(list.OnInstitution(5, "Beta"), 0);
    EXPECT_EQ(list.OnInstitutionUpdated(6, "Alpha"), 0);
    EXPECT_EQ(list.OnInstitution(5, "Gamma"), 0);
    EXPECT_EQ(list.OnListVersion(77771), 0);
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.GetAt(0)->GetName(), "Alpha");
    EXPECT_EQ(list.GetAt(1)->GetName(), "Gamma");
    EXPECT_EQ(list.GetListVersion(), 77771);
    EXPECT_EQ(list.OnInstitutionRemoved(6), 0);
    EXPECT_EQ(list.OnInstitutionRemoved(6), 0);
    EXPECT_EQ(list.GetCount(), 1u);

    // Progress: none without a window; with one, a step and the Cancel.
    EXPECT_TRUE(list.Progress(0));
    FakeProgress window;
    list.SetProgressWindow(&window);
    EXPECT_TRUE(list.Progress(0));
    window.cancel = true;
    EXPECT_FALSE(list.Progress(0));
    EXPECT_TRUE(list.Progress(0));
    EXPECT_EQ(window.steps, 3);

    CFiItem& item = *list.FindByFiId(5);
    EXPECT_TRUE(item.Progress(-1));
    item.SetProgressWindow(&window);
    window.cancel = true;
    EXPECT_FALSE(item.Progress(-1));

    // The account list's request shows in the same window and stops on Cancel.
    CFiAccountsList accounts;
    EXPECT_TRUE(accounts.Progress(-1));
    accounts.SetProgressWindow(&window);
    window.cancel = true;
    EXPECT_FALSE(accounts.Progress(-1));
    EXPECT_TRUE(accounts.Progress(-1));
}

TEST(ServerUrlTest, OnlyHttpsCarriesAPassword) {
    const struct {
        const char* url;
        bool accepted;
        bool acceptedWithLoopback;
    } cases[] = {
        {"https://ofx.bank.example/ofx", true, true},
        {"HTTPS://ofx.bank.example:8443/x", true, true},
        {"https://127.0.0.1:4443/ofx", true, true},
        {"http://ofx.bank.example/ofx", false, false},
        {"http://127.0.0.1:8080/ofx", false, true},
        {"http://127.0.0.2/ofx", false, false},
        {"http://localhost/ofx", false, false},
        {"ofx.bank.example/ofx", false, false},
        {"ftp://ofx.bank.example/", false, false},
        {"https://", false, false},
        {"https://bad host/", false, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(exchange::IsAcceptedServerUrl(c.url), c.accepted) << c.url;
        exchange::SetLoopbackHttpAllowed(true);
        EXPECT_EQ(exchange::IsAcceptedServerUrl(c.url), c.acceptedWithLoopback) << c.url;
        exchange::SetLoopbackHttpAllowed(false);
    }
}

}  // namespace
}  // namespace tallowmere
