// The institution directory and the institution's online work against fake
// servers on loopback over verified TLS: a fake directory ("/server/ombrel.php")
// beside the fake bank, each reading requests with plain string search.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "exchange/desktop_load_options.h"
#include "exchange/fi_accounts_list.h"
#include "exchange/fi_list.h"
#include "exchange/fidb_client.h"
#include "exchange/ofx_http_transport.h"
#include "exchange/online_banking_error.h"
#include "exchange/win32_http.h"
#include "http_fake_server.h"
#include "model/accounts.h"
#include "model/client_uid_list.h"
#include "model/list_file_names.h"
#include "model/list_test_items.h"
#include "model/ofx_datetime.h"
#include "model/preferences.h"
#include "model/transaction_type.h"
#include "ofx_fake_bank.h"
#include "ofx_fake_directory.h"
#include "ofx_loopback_test.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "support/test_env.h"

namespace tallowmere::exchange {
namespace {

using test::BankTxn;
using test::CapturingSink;
using test::FakeBank;
using test::FakeConnection;
using test::FakeDirectory;
using test::FakeHttpServer;
using test::FakeRequest;
using test::Has;
using test::HttpReply;
using test::kBankId;
using test::kCard;
using test::kChecking;
using test::kListQuery;
using test::kPassword;

// The list events, one line each.
class ListRecorder : public CFidbClient::MUpdateFiListEventHandler {
  public:
    // Cancels once this many banks were reported (-1: never).
    bool Progress(int) override {
        return cancelAfter < 0 || static_cast<int>(events.size()) < cancelAfter;
    }
    std::int32_t OnInstitution(std::int32_t id, std::string_view name) override {
        events.push_back(std::to_string(id) + " " + std::string(name));
        return 0;
    }
    std::int32_t OnInstitutionRemoved(std::int32_t id) override {
        events.push_back("removed " + std::to_string(id));
        return 0;
    }
    std::int32_t OnListVersion(std::int32_t version) override {
        events.push_back("version " + std::to_string(version));
        return 0;
    }
    std::vector<std::string> events;
    int cancelAfter = -1;
};

class PinnedClock : public platform::Clock {
  public:
    platform::LocalTime LocalNow() const override { return {2024, 2, 10, 12, 0, 0}; }
    std::uint32_t TickCount() const override { return 0; }
};

int StandalonePlatform() {
    return 4;
}

class InstitutionTest : public test::OfxLoopbackTest {
  protected:
    void SetUp() override {
        OfxLoopbackTest::SetUp();
        server_ = std::make_unique<FakeHttpServer>(test::TlsServerOptions());
        directory_.Attach(*server_);
        bank_.Attach(*server_, "/ofx");
        directory_.SetBanks({{"1", "First Loopback Bank"}, {"2", "Second &amp; Last"}});
        directory_.SetDetails("1", {"1", server_->Url("/ofx")});

        SetFidbHttpClient(http_.get());
        SetOfxTransport(transport_.get());
        platform::SetClock(&clock_);
        SetPlatformNumberSource(&StandalonePlatform);
        CreatePrefsKeys();
        SetPrefFiDirectoryUrl(server_->Url(""));
        dir_ = test::MakeTempDir("institution");
        ClientUid::SetDataFolder(dir_);
    }

    void TearDown() override {
        platform::SetWriteFault(nullptr);
        SetFidbHttpClient(nullptr);
        SetOfxTransport(nullptr);
        platform::SetClock(nullptr);
        SetPlatformNumberSource(nullptr);
    }

    CFidbClient Directory() { return CFidbClient(*http_, server_->Url("")); }

    // A card and a checking account set up for the fake bank.
    void SetUpAccount(CAccount& account, bool card) {
        AccountHeader& h = account.Header();
        h.SetType(card ? tallowmere::kCreditCard : tallowmere::kChecking);
        h.SetAccountNumber(card ? kCard : kChecking);
        h.SetRoutingNumber(kBankId);
        h.SetCustomerId("jsmith");
        h.SetOnlineEnabled(true);
        h.SetFiId(1);
    }

    std::vector<FakeRequest> OfxRequests() const {
        std::vector<FakeRequest> out;
        for (const FakeRequest& r : server_->Requests()) {
            if (r.target == "/ofx")
                out.push_back(r);
        }
        return out;
    }

    PinnedClock clock_;
    std::unique_ptr<FakeHttpServer> server_;
    FakeDirectory directory_;
    FakeBank bank_;
    std::string dir_;
};

TEST_F(InstitutionTest, DirectoryListReportsEveryBankThenTheVersion) {
    directory_.SetBanks({{"1", "First Loopback Bank"},
                         {"22", "Second &amp; Last"},
                         {" 7",
                          "Caisse Qu\xC3\xA9"
                          "bec"}});
    ListRecorder recorder;
    CFidbClient client = Directory();
    ASSERT_TRUE(client.UpdateFiList(recorder)) << client.GetLastError();
    // The declaration names no encoding, so the texts are UTF-8.
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"1 First Loopback Bank", "22 Second & Last",
                                        "7 Caisse Qu\xE9"
                                        "bec",
                                        "version 77771"}));
    const std::vector<FakeRequest> sent = server_->Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].requestLine, "GET /server/ombrel.php?Action=banklist&Version=0 HTTP/1.0");
    EXPECT_EQ(sent[0].body, "");
}

TEST_F(InstitutionTest, DirectoryListFailures) {
    const std::string good = FakeDirectory::ListBody({{"1", "A"}, {"2", "B"}});
    const struct {
        const char* what;
        std::string body;
        int cancelAfter;
        std::int32_t error;
        std::vector<std::string> events;
    } cases[] = {
        {"a bank without a name",
         FakeDirectory::ListBody({{"1", "A"}, {"2", "B"}, {"3", {}}}),
         -1,
         3,
         {"1 A", "2 B"}},
        {"a bank without an id",
         "<?xml?><xml><BANKS><BANK><BANKNAME>A</BANKNAME></BANK></BANKS></xml>",
         -1,
         3,
         {}},
        {"no bank list", "<?xml version=\"1.0\"?><xml><BANKINFO></BANKINFO></xml>", -1, 3, {}},
        {"truncated", good.substr(0, good.size() - 20), -1, 4, {}},
        {"an id beyond 32 bits", FakeDirectory::ListBody({{"99999999999", "A"}}), -1, 4, {}},
        {"cancelled between banks", good, 1, 2, {"1 A"}},
        {"no declaration: the root is passed over",
         "<xml><BANKS><BANK><UID>1</UID>"
         "<BANKNAME>A</BANKNAME></BANK></BANKS></xml>",
         -1,
         3,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        directory_.rawList = c.body;
        ListRecorder recorder;
        recorder.cancelAfter = c.cancelAfter;
        CFidbClient client = Directory();
        EXPECT_FALSE(client.UpdateFiList(recorder));
        EXPECT_EQ(client.GetLastError(), c.error);
        EXPECT_EQ(recorder.events, c.events);
    }
}

// A handler of both directory requests that cancels after a number of
// progress questions asked while the server says nothing.
class CancellingDirectoryHandler : public CFidbClient::MUpdateFiListEventHandler,
                                   public CFidbClient::MUpdateFiItemEventHandler {
  public:
    explicit CancellingDirectoryHandler(const FakeHttpServer& server)
        : server_(server), before_(server.Requests().size()) {}
    bool Progress(int) override {
        if (questions < 20 && server_.Requests().size() > before_)
            ++questions;
        return questions < 20;
    }
    std::int32_t OnInstitution(std::int32_t, std::string_view) override { return 0; }
    std::int32_t OnInstitutionRemoved(std::int32_t) override { return 0; }
    std::int32_t OnListVersion(std::int32_t) override { return 0; }
    std::int32_t OnInstitutionDetails(std::int32_t, std::uint32_t, const std::string*,
                                      const std::string*, const std::string*, const std::string*,
                                      const std::string*) override {
        return 0;
    }
    int questions = 0;

  private:
    const FakeHttpServer& server_;
    std::size_t before_;
};

TEST_F(InstitutionTest, CancelEndsADirectoryRequestTheServerNeverAnswers) {
    // Asked many times a second while the directory is silent: the 20th
    // question cancels long before the stall time-out would end it.
    server_->Handle("/server/ombrel.php",
                    [](FakeConnection& c, const FakeRequest&) { c.WaitForPeerClose(); });
    {
        CancellingDirectoryHandler handler(*server_);
        CFidbClient client = Directory();
        EXPECT_FALSE(client.UpdateFiList(handler));
        EXPECT_EQ(client.GetLastError(), kHttpErrorCancelled);
        EXPECT_EQ(handler.questions, 20);
    }
    {
        CancellingDirectoryHandler handler(*server_);
        CFidbClient client = Directory();
        EXPECT_FALSE(client.UpdateFiItem(1, handler));
        EXPECT_EQ(client.GetLastError(), kHttpErrorCancelled);
        EXPECT_EQ(handler.questions, 20);
    }
}

TEST_F(InstitutionTest, TransportFailuresBecomeTheClientError) {
    server_->Reply("/server/ombrel.php",
                   "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n");
    ListRecorder recorder;
    CFidbClient failing = Directory();
    EXPECT_FALSE(failing.UpdateFiList(recorder));
    EXPECT_EQ(failing.GetLastError(), 500);

    server_->Reply("/server/ombrel.php", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
    CFidbClient empty = Directory();
    EXPECT_FALSE(empty.UpdateFiList(recorder));
    EXPECT_EQ(empty.GetLastError(), 1);
    EXPECT_TRUE(recorder.events.empty());

    // A directory reached over plain HTTP could send the password anywhere.
    const std::size_t before = server_->Requests().size();
    CFidbClient plain(*http_, "http://127.0.0.1:" + std::to_string(server_->Port()));
    EXPECT_FALSE(plain.UpdateFiList(recorder));
    EXPECT_EQ(plain.GetLastError(), kInternetInvalidUrl);
    EXPECT_EQ(server_->Requests().size(), before);
}

TEST_F(InstitutionTest, PreferenceNamesTheDirectory) {
    SetPrefFiDirectoryUrl("");
    EXPECT_EQ(GetPrefFiDirectoryUrl(), kDefaultFiDirectoryUrl);
    EXPECT_EQ(CFidbClient().GetBaseUrl(), kDefaultFiDirectoryUrl);
    SetPrefFiDirectoryUrl(server_->Url("/"));
    ListRecorder recorder;
    CFidbClient client;
    ASSERT_TRUE(client.UpdateFiList(recorder)) << client.GetLastError();
    EXPECT_EQ(recorder.events.size(), 3u);
}

TEST_F(InstitutionTest, ListUpdateWritesTheFileOnceForManyBanks) {
    std::vector<FakeDirectory::Bank> banks;
    for (int i = 5000; i > 0; --i)
        banks.push_back({std::to_string(i), "Bank " + std::to_string(i)});
    directory_.SetBanks(banks);
    CFiList list;
    ASSERT_EQ(list.LoadOrCreate(dir_ + "/" + kFiListFile), 0);
    list.AddOrUpdate(42, "Old Name of 42");
    int files = 0;
    platform::SetWriteFault([&](std::size_t written, int&) {
        files += written == 0 ? 1 : 0;
        return true;
    });
    ASSERT_TRUE(list.UpdateFiList());
    platform::SetWriteFault(nullptr);
    EXPECT_EQ(files, 1);
    ASSERT_EQ(list.GetCount(), 5000u);
    EXPECT_EQ(list.GetListVersion(), 77771);
    EXPECT_EQ(list.FindByFiId(42)->GetName(), "Bank 42");

    CFiList again;
    ASSERT_EQ(again.Load(dir_ + "/" + kFiListFile), 0);
    ASSERT_EQ(again.GetCount(), 5000u);
    for (std::size_t i = 1; i < again.GetCount(); ++i)
        ASSERT_LT(again.GetAt(i - 1)->GetName(), again.GetAt(i)->GetName());
    EXPECT_EQ(again.FindByFiId(4321)->GetName(), "Bank 4321");
}

TEST_F(InstitutionTest, BanksBeforeAFaultyOneAreKept) {
    directory_.SetBanks({{"1", "A"}, {"2", "B"}, {"3", {}}, {"4", "D"}});
    CFiList list;
    ASSERT_EQ(list.LoadOrCreate(dir_ + "/" + kFiListFile), 0);
    CFidbClient client = Directory();
    EXPECT_FALSE(list.UpdateFiList(client));
    EXPECT_EQ(client.GetLastError(), 3);
    CFiList again;
    ASSERT_EQ(again.Load(dir_ + "/" + kFiListFile), 0);
    EXPECT_EQ(again.GetCount(), 2u);
    EXPECT_EQ(again.GetListVersion(), 0);
}

TEST_F(InstitutionTest, DetailsRepliesAreCheckedAndTheFirstWins) {
    const std::string https = server_->Url("/ofx");
    const std::string http = "http://127.0.0.1:" + std::to_string(server_->Port()) + "/ofx";
    const struct {
        const char* what;
        FakeDirectory::Details details;
        bool ok;
        std::int32_t error;
        int message;
    } cases[] = {
        {"another bank's reply", {"9", https}, false, 4, 0},
        {"no URL", {"5", std::nullopt}, false, 3, 0},
        {"plain http", {"5", http}, false, 4, kStrOnlineInsecureUrl},
        {"good", {"5", https}, true, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CapturingSink sink;
        directory_.SetDetails("5", c.details);
        CFiItem item(5, "Bank");
        CFidbClient client = Directory();
        EXPECT_EQ(client.UpdateFiItem(5, item), c.ok);
        EXPECT_EQ(client.GetLastError(), c.error);
        EXPECT_EQ(item.GetUrl(), c.ok ? https : "");
        EXPECT_EQ(item.GetOrg(), c.ok ? "LOOP" : "");
        EXPECT_EQ(sink.reports.size(), c.message ? 1u : 0u);
        if (c.ok) {
            // A second reply in the same run changes nothing.
            directory_.SetDetails("5", {"5", server_->Url("/elsewhere")});
            EXPECT_TRUE(client.UpdateFiItem(5, item));
            EXPECT_EQ(item.GetUrl(), https);
        }
    }
    CFiItem unknown(77, "Gone");
    CFidbClient client = Directory();
    EXPECT_FALSE(client.UpdateFiItem(77, unknown));
    EXPECT_EQ(client.GetLastError(), 404);
    EXPECT_EQ(directory_.Queries().back(), "Action=bankdetail&Bankid=77");
}

TEST_F(InstitutionTest, ProfileRefreshShowsOnlyTheProfileFailure) {
    CapturingSink sink;
    // Details fail: -1 and no message.
    CFiItem missing(3, "Not in the directory");
    EXPECT_EQ(missing.UpdateProfile(true), -1);
    EXPECT_TRUE(sink.reports.empty());

    // The profile fails: shown.
    directory_.SetDetails("3", {"3", server_->Url("/broken")});
    server_->Reply("/broken", "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(missing.UpdateProfile(true), -1);
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0].text, "An unexpected error ocurred (500).");

    // Success: the anonymous identity, the profile and its client-UID flag.
    CFiItem item(1, "First Loopback Bank");
    ASSERT_EQ(item.UpdateProfile(true), 0);
    EXPECT_EQ(item.GetUrl(), server_->Url("/ofx"));
    EXPECT_EQ(item.GetProfileText().rfind("<PROFRS>", 0), 0u);
    EXPECT_EQ(item.GetClientUidRequired(), 1);
    ASSERT_EQ(bank_.Requests().size(), 1u);
    EXPECT_EQ(bank_.Requests()[0].kind, "profile");
    EXPECT_EQ(bank_.Requests()[0].userPass, "anonymous00000000000000000000000");
    // Not forced and fetched just now: nothing is asked again.
    const std::size_t asked = server_->Requests().size();
    EXPECT_EQ(item.UpdateProfile(false), 0);
    EXPECT_EQ(server_->Requests().size(), asked);
}

TEST_F(InstitutionTest, AccountListLeavesOutNumbersTooLongForTheHeader) {
    CFiItem item(1, "First Loopback Bank");
    ASSERT_EQ(item.UpdateProfile(true), 0);
    CFiAccountsList accounts;
    ASSERT_TRUE(item.GetAccountList("jsmith", kPassword, accounts, false, ""));
    ASSERT_EQ(accounts.GetCount(), 2u);
    EXPECT_EQ(accounts.FindByNumber(kChecking)->GetRoutingId(), kBankId);
    EXPECT_EQ(accounts.FindByNumber(kCard)->GetType(), kCreditCard);

    CFiAccountsList none;
    EXPECT_FALSE(item.GetAccountList("jsmith", "wrong", none, false, ""));
    EXPECT_EQ(none.GetCount(), 0u);
}

TEST_F(InstitutionTest, DownloadRequestsFollowTheAccount) {
    CapturingSink sink;
    CFiItem item(1, "First Loopback Bank");
    CAccount card;
    card.SetPath(dir_ + "/Card.wqm");
    SetUpAccount(card, true);
    CAccount checking;
    checking.SetPath(dir_ + "/Checking.wqm");
    SetUpAccount(checking, false);
    ClientUid::Set(kChecking, "CUID-77");

    ASSERT_EQ(item.DownloadStatement(nullptr, card, kPassword, nullptr), 0);
    ASSERT_EQ(item.DownloadStatement(nullptr, checking, kPassword, nullptr), 0);
    EXPECT_EQ(item.DownloadStatement(nullptr, checking, "wrong", nullptr), -1);
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0].text, "The Customer ID or Password for this account is invalid.");

    std::vector<std::string> statements;
    for (const FakeRequest& r : OfxRequests()) {
        if (Has(r.body, "STMTRQ>"))
            statements.push_back(r.body);
    }
    ASSERT_EQ(statements.size(), 3u);
    EXPECT_TRUE(Has(statements[0], "<CCACCTFROM><ACCTID>" + std::string(kCard) + "</CCACCTFROM>"));
    EXPECT_FALSE(Has(statements[0], "<BANKID>"));
    EXPECT_FALSE(Has(statements[0], "<CLIENTUID>"));
    EXPECT_TRUE(Has(statements[1], std::string("<BANKID>") + kBankId + "<ACCTID>" + kChecking +
                                       "<ACCTTYPE>CHECKING"));
    EXPECT_TRUE(Has(statements[1], "<CLIENTUID>CUID-77</SONRQ>"));
    // No statement before: the last 60 days, from the pinned clock.
    EXPECT_TRUE(Has(statements[0], "<DTSTART>20231212120000<"));
    EXPECT_EQ(card.Transactions().size(), 3u);
    EXPECT_EQ(card.Header().GetDownloadEndDate(), "20240131");
}

TEST_F(InstitutionTest, AStatementWithAFaultDownloadsNothing) {
    CapturingSink sink;
    std::unique_ptr<CAccounts> data;
    ASSERT_EQ(CAccounts::LoadInto(data, dir_, DesktopLoadOptions(HeaderCipher::None())), 0);
    CAccount* account = data->FindAccountByName("Checking");
    ASSERT_NE(account, nullptr);
    SetUpAccount(*account, false);
    ASSERT_EQ(account->Save(), 0);
    const std::string bytes = test::ReadFileBytes(account->GetPath());
    const std::string lookups = test::ReadFileBytes(dir_ + "/" + kPayeeLookupListFile);
    bank_.SetTransactions(kChecking, {
                                         {"20240105", "-1.00", "DEBIT", "Corner Grocer", "F1"},
                                         {"20240106", "-2.0.0", "DEBIT", "Late Cafe", "F2"},
                                     });
    CFiItem item(1, "First Loopback Bank");
    std::vector<CTransaction*> added;
    EXPECT_EQ(item.DownloadStatement(nullptr, *account, kPassword, &added), -1);
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0].text, "The data could not be parsed. (STMTTRN 2: TRNAMT -2.0.0)");
    EXPECT_TRUE(added.empty());
    EXPECT_TRUE(account->Transactions().empty());
    EXPECT_EQ(account->Header().GetDownloadEndDate(), "");
    EXPECT_EQ(account->GetOnlineBalance(), 0);
    EXPECT_EQ(test::ReadFileBytes(account->GetPath()), bytes);
    EXPECT_EQ(test::ReadFileBytes(dir_ + "/" + kPayeeLookupListFile), lookups);
    ASSERT_EQ(account->Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(account->GetPath()), bytes);
}

// Directory list, details, profile, account list, two downloads, then the
// data set saved and read back.
TEST_F(InstitutionTest, EndToEnd) {
    CapturingSink sink;
    bank_.SetTransactions(kChecking, {
                                         {"20240105", "-42.50", "DEBIT", "Corner Grocer", "C1"},
                                         {"20240110", "-100.00", "CHECK", "Landlord", "C2"},
                                         {"20240115", "1500.00", "CREDIT", "Payroll", "C3"},
                                         {"20240131", "-7.25", "DEBIT", "Late Cafe", "C4"},
                                     });
    const AccountsLoadOptions options = DesktopLoadOptions(HeaderCipher::None());
    std::unique_ptr<CAccounts> data;
    ASSERT_EQ(CAccounts::LoadInto(data, dir_, options), 0);
    auto* list = dynamic_cast<CFiList*>(data->GetInstitutionList());
    ASSERT_NE(list, nullptr);

    ASSERT_TRUE(list->UpdateFiList());
    ASSERT_EQ(list->GetCount(), 2u);
    CFiItem* bank = list->FindByFiId(1);
    ASSERT_NE(bank, nullptr);
    ASSERT_EQ(bank->UpdateProfile(true), 0);
    CFiAccountsList accounts;
    ASSERT_TRUE(bank->GetAccountList("jsmith", kPassword, accounts, false, ""));
    const CFiAccountInfo* picked = accounts.FindByNumber(kChecking);
    ASSERT_NE(picked, nullptr);

    CAccount* account = nullptr;
    for (std::size_t i = 0; i < data->GetAccountCount() && account == nullptr; ++i) {
        if (data->GetAccountAt(i)->Header().GetType() == tallowmere::kChecking)
            account = data->GetAccountAt(i);
    }
    ASSERT_NE(account, nullptr);
    SetUpAccount(*account, false);
    account->Header().SetRoutingNumber(picked->GetRoutingId());
    account->Header().SetAccountNumber(picked->GetAccountNumber());
    account->Header().SetChangeFlags(0);
    // Entered by hand a day before the bank booked it.
    auto entered = std::make_unique<CTransaction>();
    entered->SetDate(ParseOfxDateTime("20240104"));
    entered->SetAmount(4250);
    entered->SetTypeId(WithdrawalTypeId);
    entered->SetPayeeName("Grocer");
    CTransaction* own = entered.get();
    account->AddTransaction(std::move(entered));

    std::vector<CTransaction*> first;
    ASSERT_EQ(bank->DownloadStatement(nullptr, *account, kPassword, &first), 0);
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(account->Transactions().size(), 5u);
    EXPECT_EQ(account->GetNewDownloadCount(), 1);
    EXPECT_EQ(own->GetMatchId(), first[0]->GetId());
    EXPECT_EQ(first[0]->GetMatchId(), own->GetId());
    EXPECT_EQ(first[0]->GetOnlineId(), "C1");
    EXPECT_EQ(account->Header().GetDownloadEndDate(), "20240131");
    EXPECT_NE(account->Header().GetChangeFlags() & kChangeDownloadEndDate, 0u);
    EXPECT_EQ(account->GetOnlineBalance(), 10000);
    ASSERT_EQ(account->Save(), 0);

    account->Header().SetChangeFlags(0);
    std::vector<CTransaction*> second;
    ASSERT_EQ(bank->DownloadStatement(nullptr, *account, kPassword, &second), 0);
    EXPECT_TRUE(second.empty());
    EXPECT_EQ(account->Transactions().size(), 5u);
    EXPECT_EQ(account->Header().GetChangeFlags() & kChangeDownloadEndDate, 0u);
    const auto requests = bank_.Requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests.back().kind, "bank");
    EXPECT_EQ(requests.back().dtStart, "20240131");
    EXPECT_TRUE(sink.reports.empty());
    const std::vector<std::string> queries = directory_.Queries();
    EXPECT_EQ(std::count(queries.begin(), queries.end(), std::string(kListQuery)), 1);
    EXPECT_EQ(std::count(queries.begin(), queries.end(), "Action=bankdetail&Bankid=1"), 3);

    ASSERT_EQ(data->Save(), 0);
    std::unique_ptr<CAccounts> reloaded;
    ASSERT_EQ(CAccounts::LoadInto(reloaded, dir_, options), 0);
    ASSERT_EQ(reloaded->GetAccountCount(), data->GetAccountCount());
    for (std::size_t i = 0; i < data->GetAccountCount(); ++i) {
        const CAccount& a = *data->GetAccountAt(i);
        const CAccount& b = *reloaded->GetAccountAt(i);
        SCOPED_TRACE(a.GetName());
        EXPECT_EQ(a.GetName(), b.GetName());
        EXPECT_EQ(a.Header().GetBytes(), b.Header().GetBytes());
        ASSERT_EQ(a.Transactions().size(), b.Transactions().size());
        for (std::size_t t = 0; t < a.Transactions().size(); ++t)
            EXPECT_EQ(a.Transactions()[t]->Record(), b.Transactions()[t]->Record());
    }
    auto* again = dynamic_cast<CFiList*>(reloaded->GetInstitutionList());
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->GetCount(), 2u);
    EXPECT_EQ(again->FindByFiId(1)->GetName(), "First Loopback Bank");
    EXPECT_EQ(again->FindByFiId(2)->GetName(), "Second & Last");
    EXPECT_EQ(again->GetListVersion(), 77771);
}

}  // namespace
}  // namespace tallowmere::exchange
