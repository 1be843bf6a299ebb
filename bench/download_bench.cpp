// One large online statement applied to a large register: a 20,000-entry
// account and a 10,000-row OFX reply in memory (rows already downloaded,
// rows that match register entries, new rows), parsed and applied through
// the account's download operations. The figure is printed beside its
// target.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bench_host.h"
#include "exchange/ofx_client.h"
#include "exchange/stream_memory.h"
#include "model/account.h"
#include "model/account_download.h"
#include "model/palm_time.h"
#include "model/payee.h"
#include "model/payee_lookup.h"
#include "model/transaction_type.h"

namespace tallowmere {
namespace {

constexpr int kRegisterSize = 20000;
// Register entries that an earlier download left with the bank's id.
constexpr int kDownloadedBefore = 8000;
// Statement rows by kind.
constexpr int kKnownRows = 4000;
constexpr int kMatchingRows = 3000;
constexpr int kNewRows = 3000;
constexpr PalmTime kDay = 86400;

class BenchOwner : public CAccount::MOwner {
  public:
    CAccount* FindAccountById(const RecordId&) override { return nullptr; }
    std::string GetCategoryDisplayText(const RecordId&) const override { return "Groceries"; }
    std::string GetClassNameById(const RecordId&) const override { return {}; }
    std::string GetCurrencySymbolById(std::uint8_t) const override { return "$"; }
    std::uint8_t GetHomeCurrencyId() const override { return 1; }
    std::optional<double> GetCurrencyRate(std::uint8_t) const override { return 1.0; }
    CPayeeLookupList* GetPayeeLookupList() override { return lookups.get(); }
    const CPayeesList* GetPayeesList() const override { return &payees; }

    std::unique_ptr<CPayeeLookupList> lookups;
    CPayeesList payees;
};

// Applies each statement row to the account, as the download dialog does.
class ApplyHandler : public exchange::COfxClient::MGetStatementEventHandler {
  public:
    explicit ApplyHandler(CAccount& account) : account_(account) {}
    bool Progress(int) override { return true; }
    std::int32_t OnStatementAccount(std::string_view) override { return 0; }
    std::int32_t OnStatementTransaction(std::string_view date, std::string_view amount,
                                        std::string_view type,
                                        std::optional<std::string_view> checkNumber,
                                        std::string_view name, std::optional<std::string_view> memo,
                                        std::string_view fitId) override {
        return account_.AddDownloadedTransaction(date, amount, type, checkNumber.value_or(""), name,
                                                 memo.value_or(""), fitId);
    }
    std::int32_t OnStatementEnd(std::string_view) override { return 0; }
    std::int32_t OnLedgerBalance(std::string_view amount) override {
        return account_.SetOnlineBalance(amount);
    }

  private:
    CAccount& account_;
};

struct Payee {
    const char* name;      // as the user keeps it
    const char* bankText;  // as the bank sends it
    bool deposit;
    bool numbered;  // paid by check
};

constexpr std::array<Payee, 16> kPayees = {{
    {"Corner Grocery", "CORNER GROCERY", false, false},
    {"City Power & Light", "CITY POWER&LIGHT ONLINE PMT", false, false},
    {"Blue Ridge Mortgage", "BLUE RIDGE MTG", false, true},
    {"Main St. Pharmacy", "MAIN ST PHARMACY", false, false},
    {"Fuel Stop", "FUEL STOP", false, false},
    {"Paycheck", "ACME CORP PAYROLL", true, false},
    {"Bookshop on the Hill", "BOOKSHOP ON THE HILL", false, false},
    {"Cable Vision", "CABLEVISION AUTOPAY", false, false},
    {"Riverside Dental", "RIVERSIDE DENTAL", false, true},
    {"Green Valley Water", "GREEN VALLEY WATER", false, false},
    {"Coffee House", "SQ *COFFEE HOUSE", false, false},
    {"Hardware Depot", "HARDWARE DEPOT", false, false},
    {"State Farm Insurance", "STATE FARM RO 27", false, true},
    {"Interest", "INTEREST PAID", true, false},
    {"Transfer from Savings", "ONLINE TRANSFER FROM SAV", true, false},
    {"Pizza Palace", "PIZZA PALACE", false, false},
}};

constexpr std::array<const char*, 4> kMemos = {"weekly shopping", "monthly bill", "",
                                               "reimbursed by work, see receipt"};

// The text a bank sends for a branch: a store number for the shops.
std::string BankText(const Payee& p, unsigned branch) {
    std::string text = p.bankText;
    if (!p.deposit && !p.numbered) {
        char buf[16];
        std::snprintf(buf, sizeof buf, " #%04u", branch);
        text += buf;
    }
    return text.substr(0, 32);
}

std::string OfxDate(PalmTime t) {
    const DateFields f = DateFields::FromPalmTime(t);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", f.year, f.month, f.day, f.hour,
                  f.minute, f.second);
    return buf;
}

std::string OfxAmount(Cents cents, bool outflow) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%lld.%02lld", outflow ? "-" : "",
                  static_cast<long long>(cents / 100), static_cast<long long>(cents % 100));
    return buf;
}

std::string FitId(int n) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "20%08d%06d", 24000000 + n, n * 7 % 999983);
    return buf;
}

struct StatementRow {
    PalmTime date;
    std::string text;
};

// The register, the payee lists and the statement, made once.
struct Fixture {
    Fixture() {
        // The look-up list is saved here: on the disk, as the user's would be.
        folder = bench::MakeBenchFolder("download");
        if (folder.empty())
            return;
        // A lock folder of our own: the database lock is shared by every
        // process of the user, and a test run elsewhere must not stall us.
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        Generate();
    }
    ~Fixture() {
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    void Generate() {
        std::mt19937 rng(7);
        const PalmTime start = 3'650'000'000u;
        const PalmTime span = 3 * 365 * kDay;

        for (const Payee& p : kPayees) {
            CTransaction memorised;
            memorised.SetPayeeName(p.name);
            memorised.SetTypeId(p.deposit ? DepositTypeId
                                          : (p.numbered ? CheckTypeId : WithdrawalTypeId));
            memorised.SetCategoryId(NewRecordId());
            auto item = std::make_unique<CPayeeItem>();
            item->MemorizeTransaction(memorised);
            owner.payees.AddItem(std::move(item));
        }

        CAccount reference(&owner);
        std::vector<CTransaction*> entries;
        for (int i = 0; i < kRegisterSize; ++i) {
            const Payee& p = kPayees[rng() % kPayees.size()];
            auto t = std::make_unique<CTransaction>();
            t->SetDate(start + static_cast<PalmTime>(rng() % span));
            t->SetTypeId(p.deposit ? DepositTypeId : (p.numbered ? CheckTypeId : WithdrawalTypeId));
            if (p.numbered)
                t->SetCheckNumber(1000 + static_cast<std::uint32_t>(i));
            t->SetAmount(100 + static_cast<Cents>(rng() % 500000));
            t->SetPayeeName(p.name);
            t->SetMemo(kMemos[rng() % kMemos.size()]);
            t->SetStatus(rng() % 4 == 0 ? kStatusReconciled : kStatusCleared);
            entries.push_back(t.get());
            reference.AddTransaction(std::move(t));
        }

        // Earlier downloads: accepted entries that carry the bank's id.
        std::vector<int> order(kRegisterSize);
        for (int i = 0; i < kRegisterSize; ++i)
            order[static_cast<std::size_t>(i)] = i;
        std::shuffle(order.begin(), order.end(), rng);
        std::vector<std::string> ids;
        for (int k = 0; k < kDownloadedBefore; ++k) {
            CTransaction& t =
                *entries[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])];
            ids.push_back(FitId(k));
            t.SetOnlineId(ids.back());
            t.SetReviewState(2);
        }

        std::vector<StatementRow> rows;
        const auto row = [&](const CTransaction& t, PalmTime date, const std::string& name,
                             const std::string& fitId) {
            std::string s = "<STMTTRN><TRNTYPE>";
            const bool outflow = t.IsOutflow();
            const bool check = t.GetTypeId() == CheckTypeId;
            s += outflow ? (check ? "CHECK" : "DEBIT") : "CREDIT";
            s += "<DTPOSTED>" + OfxDate(date) + "<TRNAMT>" + OfxAmount(t.GetAmount(), outflow) +
                 "<FITID>" + fitId;
            if (check)
                s += "<CHECKNUM>" + std::to_string(t.GetCheckNumber());
            s += "<NAME>" + name;
            if (rng() % 3 == 0)
                s += "<MEMO>POS PURCHASE";
            s += "</STMTTRN>";
            rows.push_back({date, std::move(s)});
        };
        const auto bankName = [&](const CTransaction& t) {
            for (const Payee& p : kPayees) {
                if (t.GetPayeeName() == p.name)
                    return BankText(p, static_cast<unsigned>(rng() % 40));
            }
            return std::string("UNKNOWN");
        };

        // The statement repeats some of what was downloaded before.
        for (int k = 0; k < kKnownRows; ++k) {
            const std::size_t n = static_cast<std::size_t>(order[static_cast<std::size_t>(k)]);
            row(*entries[n], entries[n]->GetDate(), bankName(*entries[n]),
                ids[static_cast<std::size_t>(k)]);
        }
        // Entries typed by hand that the bank now reports, a few days later.
        for (int k = 0; k < kMatchingRows; ++k) {
            const std::size_t n =
                static_cast<std::size_t>(order[static_cast<std::size_t>(kDownloadedBefore + k)]);
            entries[n]->SetStatus(kStatusCleared);
            row(*entries[n], entries[n]->GetDate() + static_cast<PalmTime>(rng() % 4) * kDay,
                bankName(*entries[n]), FitId(kDownloadedBefore + k));
        }
        // Rows the register has never seen.
        for (int k = 0; k < kNewRows; ++k) {
            const Payee& p = kPayees[rng() % kPayees.size()];
            CTransaction t;
            t.SetTypeId(p.deposit ? DepositTypeId : (p.numbered ? CheckTypeId : WithdrawalTypeId));
            if (p.numbered)
                t.SetCheckNumber(30000 + static_cast<std::uint32_t>(k));
            t.SetAmount(100 + static_cast<Cents>(rng() % 500000));
            row(t, start + static_cast<PalmTime>(rng() % span),
                BankText(p, static_cast<unsigned>(rng() % 40)),
                FitId(kDownloadedBefore + kMatchingRows + k));
        }
        std::stable_sort(
            rows.begin(), rows.end(),
            [](const StatementRow& a, const StatementRow& b) { return a.date < b.date; });

        reply =
            "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
            "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n"
            "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>"
            "<DTSERVER>20240110120000<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1>"
            "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1001<STATUS><CODE>0<SEVERITY>INFO</STATUS>"
            "<STMTRS><CURDEF>USD<BANKACCTFROM><BANKID>021000021<ACCTID>000123456789"
            "<ACCTTYPE>CHECKING</BANKACCTFROM><BANKTRANLIST><DTSTART>" +
            OfxDate(start) + "<DTEND>" + OfxDate(start + span);
        for (StatementRow& r : rows) {
            reply += "\r\n";
            reply += r.text;
        }
        reply +=
            "\r\n</BANKTRANLIST><LEDGERBAL><BALAMT>12345.67<DTASOF>20240110120000</LEDGERBAL>"
            "</STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\r\n";

        for (const auto& t : reference.Transactions())
            prototypes.push_back(*t);
    }

    // A fresh copy of the register and a look-up list that maps half of the
    // bank texts; the other half are new to it.
    std::unique_ptr<CAccount> MakeAccount() {
        owner.lookups = std::make_unique<CPayeeLookupList>();
        owner.lookups->SetPath(folder + "/PayeeLookupList.lst");
        for (std::size_t i = 0; i < kPayees.size(); ++i) {
            for (unsigned branch = 0; branch < 40; branch += 2) {
                owner.lookups->AddItem(std::make_unique<CPayeeLookupItem>(
                    BankText(kPayees[i], branch), i % 4 == 3 ? "" : kPayees[i].name));
                if (kPayees[i].deposit || kPayees[i].numbered)
                    break;
            }
        }
        auto account = std::make_unique<CAccount>(&owner);
        account->Header().SetName("Checking");
        account->Header().SetCurrencyId(1);
        account->Header().SetOpeningBalance(150000);
        for (const CTransaction& t : prototypes)
            account->AddTransaction(std::make_unique<CTransaction>(t));
        account->RecalcBalances();
        return account;
    }

    std::string folder;
    BenchOwner owner;
    std::vector<CTransaction> prototypes;
    std::string reply;
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_ParseAndApplyStatement(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.folder.empty()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::unique_ptr<CAccount> account;
    for (auto _ : state) {
        state.PauseTiming();
        account.reset();
        account = f.MakeAccount();
        state.ResumeTiming();

        account->BeginDownloadSession(nullptr);
        ApplyHandler handler(*account);
        exchange::ReadOnlyMemoryStream stream(f.reply.data(), f.reply.size());
        exchange::COfxClient client;
        if (!client.ParseStatement(stream, handler)) {
            state.SkipWithError("the statement was not applied");
            return;
        }
        if (EndDownloadSession(*account) != 0) {
            state.SkipWithError("the look-up list was not saved");
            return;
        }
    }
    if (account) {
        const auto added = account->Transactions().size() - f.prototypes.size();
        state.counters["added"] = static_cast<double>(added);
        state.counters["matched"] = account->GetNewDownloadCount();
        state.counters["skipped"] =
            static_cast<double>(kKnownRows + kMatchingRows + kNewRows) - static_cast<double>(added);
    }
    state.counters["reply"] =
        benchmark::Counter(static_cast<double>(f.reply.size()), benchmark::Counter::kDefaults,
                           benchmark::Counter::kIs1024);
    state.SetLabel("20k register, 10k rows; target <= 300 ms");
}
BENCHMARK(BM_ParseAndApplyStatement)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tallowmere
