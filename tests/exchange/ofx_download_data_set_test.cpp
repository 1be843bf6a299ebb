// Statements into an account of a whole data set, as the desktop loads it:
// an online download from the loopback bank and the same statement imported
// from a file both go through the data set's own payee look-up and
// memorised payees.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "exchange/desktop_load_options.h"
#include "exchange/fi_list.h"
#include "exchange/fidb_client.h"
#include "exchange/ofx_http_transport.h"
#include "exchange/ofx_importer.h"
#include "http_fake_server.h"
#include "model/accounts.h"
#include "model/class_item.h"
#include "model/list_file_names.h"
#include "model/preferences.h"
#include "model/transaction_type.h"
#include "ofx_fake_bank.h"
#include "ofx_loopback_test.h"
#include "support/test_env.h"

namespace tallowmere::exchange {
namespace {

using test::BankTxn;
using test::FakeBank;
using test::FakeHttpServer;
using test::kBankId;
using test::kChecking;

constexpr const char* kSecret = "secret";

int StandalonePlatform() {
    return 4;
}

// Counts the files renamed into a folder under one name while it lives: an
// atomic save ends with exactly one such rename.
class SaveWatch {
  public:
    SaveWatch(const std::string& folder, std::string name) : name_(std::move(name)) {
        fd_ = inotify_init1(IN_NONBLOCK);
        EXPECT_GE(fd_, 0);
        EXPECT_GE(inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO), 0);
    }
    ~SaveWatch() {
        if (fd_ >= 0)
            close(fd_);
    }
    SaveWatch(const SaveWatch&) = delete;
    SaveWatch& operator=(const SaveWatch&) = delete;

    int Saves() {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && name_ == event->name)
                    ++saves_;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return saves_;
    }

  private:
    std::string name_;
    int fd_ = -1;
    int saves_ = 0;
};

struct Line {
    RecordId category;
    Cents amount;
};

// A payee's memorised transaction.
struct Memorised {
    std::string payee;
    RecordId type;
    RecordId category;
    RecordId classId;
    std::vector<Line> lines;
};

struct Case {
    const char* what;
    std::string bankText;
    std::optional<std::string> lookUpTarget;  // a look-up item made before
    std::optional<Memorised> memorised;
    // What both downloaded transactions get.
    std::string payee;
    RecordId type;
    RecordId category;
    RecordId classId;
    std::vector<Line> lines;
};

enum class Route { kDownload, kFileImport };

class DataSetDownloadTest : public test::OfxLoopbackTest {
  protected:
    void SetUp() override {
        OfxLoopbackTest::SetUp();
        server_ = std::make_unique<FakeHttpServer>(test::TlsServerOptions());
        bank_.SetPassword(kSecret);
        bank_.Attach(*server_, "/ofx");
        server_->Reply("/server/ombrel.php",
                       test::HttpReply("<?xml version=\"1.0\"?><xml><BANKINFO><UID>1</UID><URL>" +
                                       server_->Url("/ofx") +
                                       "</URL><ORG>LOOP</ORG><FID>1234</FID><APPID></APPID>"
                                       "<APPVER></APPVER></BANKINFO></xml>"));
        SetFidbHttpClient(http_.get());
        SetOfxTransport(transport_.get());
        SetPlatformNumberSource(&StandalonePlatform);
        CreatePrefsKeys();
        SetPrefFiDirectoryUrl(server_->Url(""));
    }

    void TearDown() override {
        SetFidbHttpClient(nullptr);
        SetOfxTransport(nullptr);
        SetPlatformNumberSource(nullptr);
    }

    // The statement into the Checking account of data, by the route.
    void Run(Route route, CAccounts& data, CAccount& account, const std::string& folder) {
        if (route == Route::kDownload) {
            CFiItem bank(1, "Loopback Bank");
            ASSERT_EQ(bank.DownloadStatement(nullptr, account, kSecret, nullptr), 0);
            return;
        }
        // The bank's reply to a statement request is a statement file.
        const std::string path = folder + "/../statement.ofx";
        test::WriteFileBytes(path,
                             bank_.Answer(std::string("<USERPASS>") + kSecret + "<STMTRQ><ACCTID>" +
                                          kChecking + "<DTSTART>" + "20240101<"));
        COFXImporter importer;
        importer.SetAccounts(&data);
        importer.SetTargetAccount(&account);
        ASSERT_EQ(importer.Import(path), 0);
    }

    std::unique_ptr<FakeHttpServer> server_;
    FakeBank bank_;
};

TEST_F(DataSetDownloadTest, DownloadsUseTheDataSetsLookUpAndPayees) {
    const RecordId fuel = RecordId::Fixed(0x006D);
    const RecordId gifts = RecordId::Fixed(0x0073);
    const Case cases[] = {
        {"a name with a look-up target",
         "ACME 0042",
         "Acme",
         std::nullopt,
         "Acme",
         WithdrawalTypeId,
         kNoneId,
         kNoneId,
         {}},
        {"a name without one",
         "ZED STORE",
         std::nullopt,
         std::nullopt,
         "ZED STORE",
         WithdrawalTypeId,
         kNoneId,
         kNoneId,
         {}},
        {"the look-up target's memorised type, category and class",
         "GAS 17",
         "Fuel Stop",
         Memorised{"Fuel Stop", EftTypeId, fuel, PersonalClassId, {}},
         "Fuel Stop",
         EftTypeId,
         fuel,
         PersonalClassId,
         {}},
        {"memorised split lines",
         "Power Co",
         std::nullopt,
         Memorised{"Power Co",
                   WithdrawalTypeId,
                   SplitMarkerId,
                   BusinessClassId,
                   {{fuel, 3000}, {gifts, 1250}}},
         "Power Co",
         WithdrawalTypeId,
         SplitMarkerId,
         kNoneId,
         {{fuel, 3000}, {gifts, 1250}}},
    };
    for (const Route route : {Route::kDownload, Route::kFileImport}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(route == Route::kDownload ? "download: " : "file: ") + c.what);
            const std::string folder = test::MakeTempDir("data") + "/user";
            std::unique_ptr<CAccounts> data;
            ASSERT_EQ(CAccounts::LoadInto(data, folder, DesktopLoadOptions(HeaderCipher::None())),
                      0);
            CAccount* account = data->FindAccountByName("Checking");
            ASSERT_NE(account, nullptr);
            AccountHeader& h = account->Header();
            h.SetType(tallowmere::kChecking);
            h.SetAccountNumber(kChecking);
            h.SetRoutingNumber(kBankId);
            h.SetCustomerId("jsmith");
            h.SetOnlineEnabled(true);
            h.SetFiId(1);
            h.SetDownloadEndDate("20240101");

            std::optional<RecordId> lookUpId;
            if (c.lookUpTarget) {
                CPayeeLookupItem* item =
                    data->PayeeLookup().AddMapping(c.bankText, *c.lookUpTarget);
                ASSERT_NE(item, nullptr);
                lookUpId = item->GetId();
            }
            if (c.memorised) {
                CTransaction m;
                m.SetPayeeName(c.memorised->payee);
                m.SetTypeId(c.memorised->type);
                m.SetAmount(4250);
                m.SetCategoryId(c.memorised->category);
                m.SetClassId(c.memorised->classId);
                for (std::size_t i = 0; i < c.memorised->lines.size(); ++i) {
                    m.SetSplitCategoryId(i, c.memorised->lines[i].category);
                    m.SetSplitAmount(i, c.memorised->lines[i].amount);
                }
                ASSERT_EQ(data->MemorizePayee(m), 0);
            }
            bank_.SetTransactions(kChecking, {{"20240105", "-42.50", "DEBIT", c.bankText, "B1"},
                                              {"20240112", "-42.50", "DEBIT", c.bankText, "B2"}});

            SaveWatch watch(folder, kPayeeLookupListFile);
            Run(route, *data, *account, folder);
            EXPECT_EQ(watch.Saves(), 1) << "the look-up list is written once per statement";

            const CPayeeLookupItem* item = data->PayeeLookup().FindByText(c.bankText);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->GetPayee(), c.lookUpTarget.value_or(""));
            if (lookUpId) {
                EXPECT_EQ(item->GetId(), *lookUpId);
            }
            EXPECT_EQ(data->PayeeLookup().GetCount(false), 1u);
            CPayeeLookupList onDisk;
            ASSERT_EQ(onDisk.Load(folder + "/" + kPayeeLookupListFile), 0);
            ASSERT_EQ(onDisk.GetCount(false), 1u);
            EXPECT_EQ(onDisk.GetAt(0, false)->GetId(), item->GetId());

            ASSERT_EQ(account->Transactions().size(), 2u);
            for (const auto& t : account->Transactions()) {
                EXPECT_EQ(t->GetPayeeName(), c.payee);
                EXPECT_EQ(t->GetPayeeLookupId(), item->GetId());
                EXPECT_EQ(t->GetTypeId(), c.type);
                EXPECT_EQ(t->GetCategoryId(), c.category);
                EXPECT_EQ(t->GetClassId(), c.classId);
                for (std::size_t i = 0; i < kSplitLineCount; ++i) {
                    const Line expected = i < c.lines.size() ? c.lines[i] : Line{kNoneId, 0};
                    EXPECT_EQ(t->GetSplitCategoryId(i), expected.category) << "line " << i;
                    EXPECT_EQ(t->GetSplitAmount(i), expected.amount) << "line " << i;
                }
            }
        }
    }
}

}  // namespace
}  // namespace tallowmere::exchange
