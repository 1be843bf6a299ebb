// The bench driver: one job the desktop does, run as a whole process the way
// the peer programs are run, so that the benches can time both alike.
//
//   tallowmere_cli [--figures] [--thp-off] load PATH
//       a data folder as the desktop loads it, or one account file
//   tallowmere_cli [--figures] [--thp-off] report FOLDER [--year YYYY]
//       loads the folder and prints the report by category over all
//       accounts, all time or one calendar year
//   tallowmere_cli [--figures] [--thp-off] ofx FILE
//       reads an OFX statement file whole and prints its transactions
//   tallowmere_cli [--figures] [--thp-off] import qif|csv FILE FOLDER
//       imports the file into a new account of the data set in FOLDER,
//       the saves included
//
// --figures writes the in-process times and the peak resident set to stderr
// as key=value pairs; --thp-off keeps huge pages away from the process.
// Exit status 0, 1 for a usage error, 2 when the job failed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bench_host.h"
#include "exchange/csv_importer.h"
#include "exchange/desktop_load_options.h"
#include "exchange/ofx_client.h"
#include "exchange/qif_importer.h"
#include "exchange/stream_memory.h"
#include "model/account.h"
#include "model/accounts.h"
#include "model/palm_time.h"
#include "model/report.h"
#include "platform/atomic_file.h"
#include "platform/record_pool.h"

namespace tallowmere {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The figures line for stderr, filled as the job goes.
struct Figures {
    bool wanted = false;
    std::string text;

    void Add(const char* key, double value) {
        char item[64];
        std::snprintf(item, sizeof item, "%s%s=%.3f", text.empty() ? "" : " ", key, value);
        text += item;
    }
    void Print() {
        if (!wanted)
            return;
        Add("peak_kib", static_cast<double>(bench::PeakResidentKiB()));
        Add("huge_pages_slow", platform::RecordPool::HugePagesProvedSlow() ? 1 : 0);
        std::fprintf(stderr, "%s\n", text.c_str());
    }
};

int Usage() {
    std::fprintf(stderr,
                 "usage: tallowmere_cli [--figures] [--thp-off] load PATH\n"
                 "       tallowmere_cli [--figures] [--thp-off] report FOLDER [--year YYYY]\n"
                 "       tallowmere_cli [--figures] [--thp-off] ofx FILE\n"
                 "       tallowmere_cli [--figures] [--thp-off] import qif|csv FILE FOLDER\n");
    return 1;
}

int Fail(const std::string& what) {
    std::fprintf(stderr, "tallowmere_cli: %s\n", what.c_str());
    return 2;
}

std::size_t CountTransactions(const CAccounts& data) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < data.GetAccountCount(); ++i)
        n += data.GetAccountAt(i)->Transactions().size();
    return n;
}

// As the desktop loads a user's folder (no password on bench data).
int LoadDataSet(const std::string& folder, std::unique_ptr<CAccounts>& data) {
    AccountsLoadFailure failure;
    const int r =
        CAccounts::LoadInto(data, folder, DesktopLoadOptions(HeaderCipher::None()), &failure);
    if (r != 0)
        std::fprintf(stderr, "tallowmere_cli: load failed (%d) at %s\n", r, failure.path.c_str());
    return r;
}

int Load(const std::string& path, Figures& figures) {
    const auto start = Clock::now();
    if (std::filesystem::is_directory(path)) {
        std::unique_ptr<CAccounts> data;
        if (LoadDataSet(path, data) != 0)
            return 2;
        figures.Add("load_ms", MillisecondsSince(start));
        const std::size_t n = CountTransactions(*data);
        figures.Add("transactions", static_cast<double>(n));
        std::printf("%zu accounts, %zu transactions, net worth %s\n", data->GetAccountCount(), n,
                    FormatMoney(data->GetNetWorth(0), kMoneyFull).c_str());
        return 0;
    }
    // A missing file would load as an empty account.
    if (!std::filesystem::is_regular_file(path))
        return Fail("no such data folder or account file: " + path);
    CAccount account;
    const int r = account.Load(path);
    if (r != 0)
        return Fail("cannot load " + path + " (" + std::to_string(r) + ")");
    figures.Add("load_ms", MillisecondsSince(start));
    figures.Add("transactions", static_cast<double>(account.Transactions().size()));
    std::printf("%s: %zu transactions\n", account.Header().GetName().c_str(),
                account.Transactions().size());
    return 0;
}

PalmTime DateOf(int year, int month, int day, int hour, int minute, int second) {
    DateFields f;
    f.year = static_cast<std::int16_t>(year);
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    f.hour = static_cast<std::int16_t>(hour);
    f.minute = static_cast<std::int16_t>(minute);
    f.second = static_cast<std::int16_t>(second);
    return f.ToPalmTime();
}

int Report(const std::string& folder, std::optional<int> year, Figures& figures) {
    const auto start = Clock::now();
    std::unique_ptr<CAccounts> data;
    if (LoadDataSet(folder, data) != 0)
        return 2;
    figures.Add("load_ms", MillisecondsSince(start));
    figures.Add("transactions", static_cast<double>(CountTransactions(*data)));

    const auto computeStart = Clock::now();
    CReport report(*data);
    report.SetAccountId(kNoneId);
    report.SetGroupBy(kReportByCategory);
    report.SetPeriodKind(kReportCustomRange);
    if (year)
        report.SetRange(DateOf(*year, 1, 1, 0, 0, 0), DateOf(*year, 12, 31, 23, 59, 59));
    else
        report.SetRange(0, kPalmTimeMax);
    if (report.Compute() != 0)
        return Fail("the report failed");
    figures.Add("report_ms", MillisecondsSince(computeStart));

    for (std::size_t i = 0; i < report.GetItemCount(); ++i) {
        const CReportItem& row = *report.GetItem(i);
        std::printf("%-40s %16s %6zu\n", row.GetLabel().c_str(),
                    FormatMoney(row.GetAmount(), kMoneyFull).c_str(), row.GetTransactions().size());
    }
    std::printf("%-40s %16s\n", "Total", FormatMoney(report.GetTotal(), kMoneyFull).c_str());
    figures.Add("rows", static_cast<double>(report.GetItemCount()));
    return 0;
}

// Prints every statement element it is given, as a dump of the file would.
class PrintingHandler : public exchange::COfxClient::MGetStatementEventHandler {
  public:
    bool Progress(int) override { return true; }
    std::int32_t OnStatementAccount(std::string_view account) override {
        std::printf("account %.*s\n", static_cast<int>(account.size()), account.data());
        return 0;
    }
    std::int32_t OnStatementTransaction(std::string_view date, std::string_view amount,
                                        std::string_view type,
                                        std::optional<std::string_view> checkNumber,
                                        std::string_view name, std::optional<std::string_view> memo,
                                        std::string_view fitId) override {
        const std::string_view check = checkNumber.value_or("");
        const std::string_view note = memo.value_or("");
        std::printf("%.*s %.*s %.*s %.*s %.*s %.*s %.*s\n", static_cast<int>(date.size()),
                    date.data(), static_cast<int>(type.size()), type.data(),
                    static_cast<int>(amount.size()), amount.data(), static_cast<int>(check.size()),
                    check.data(), static_cast<int>(fitId.size()), fitId.data(),
                    static_cast<int>(name.size()), name.data(), static_cast<int>(note.size()),
                    note.data());
        ++transactions;
        return 0;
    }
    std::int32_t OnStatementEnd(std::string_view end) override {
        std::printf("end %.*s\n", static_cast<int>(end.size()), end.data());
        return 0;
    }
    std::int32_t OnLedgerBalance(std::string_view amount) override {
        std::printf("balance %.*s\n", static_cast<int>(amount.size()), amount.data());
        return 0;
    }

    std::size_t transactions = 0;
};

int Ofx(const std::string& path, Figures& figures) {
    const auto start = Clock::now();
    std::vector<std::uint8_t> bytes;
    const int r = platform::ReadWholeFile(path, bytes);
    if (r != 0)
        return Fail("cannot read " + path + " (" + std::to_string(r) + ")");
    exchange::ReadOnlyMemoryStream stream(bytes.data(), bytes.size());
    PrintingHandler handler;
    exchange::COfxClient client;
    if (!client.ParseStatement(stream, handler))
        return Fail("cannot read the statement in " + path);
    figures.Add("parse_ms", MillisecondsSince(start));
    figures.Add("transactions", static_cast<double>(handler.transactions));
    return 0;
}

int Import(std::string_view kind, const std::string& file, const std::string& folder,
           Figures& figures) {
    const auto start = Clock::now();
    std::unique_ptr<CAccounts> data;
    if (LoadDataSet(folder, data) != 0)
        return 2;
    auto account = std::make_unique<CAccount>();
    account->Header().SetName("Imported");
    if (account->MakeFilePath(folder, "Imported") != 0)
        return Fail("the folder already holds an account named Imported");
    CAccount* target = data->InsertAccount(std::move(account));

    std::unique_ptr<exchange::CImporter> importer;
    if (kind == "qif")
        importer = std::make_unique<exchange::CQIFImporter>();
    else
        importer = std::make_unique<exchange::CCSVImporter>();
    importer->SetAccounts(data.get());
    importer->SetTargetAccount(target);
    const auto importStart = Clock::now();
    if (importer->Import(file) != 0 || importer->GetFormatError() != 0)
        return Fail("the import of " + file + " failed");
    figures.Add("import_ms", MillisecondsSince(importStart));
    figures.Add("total_ms", MillisecondsSince(start));
    figures.Add("transactions", static_cast<double>(importer->GetImportedCount()));
    std::printf("%zu transactions imported\n", importer->GetImportedCount());
    return 0;
}

int Run(std::vector<std::string_view> args) {
    Figures figures;
    while (!args.empty() && args.front().starts_with("--")) {
        if (args.front() == "--figures")
            figures.wanted = true;
        else if (args.front() == "--thp-off") {
            if (!bench::DisableHugePages())
                return Fail("the kernel refused to turn huge pages off");
        } else {
            return Usage();
        }
        args.erase(args.begin());
    }
    if (args.empty())
        return Usage();
    const std::string_view command = args.front();
    int r = 1;
    if (command == "load" && args.size() == 2) {
        r = Load(std::string(args[1]), figures);
    } else if (command == "report" && (args.size() == 2 || args.size() == 4)) {
        std::optional<int> year;
        if (args.size() == 4) {
            if (args[2] != "--year")
                return Usage();
            year = std::atoi(std::string(args[3]).c_str());
            if (*year < 1904 || *year > 2039)
                return Usage();
        }
        r = Report(std::string(args[1]), year, figures);
    } else if (command == "ofx" && args.size() == 2) {
        r = Ofx(std::string(args[1]), figures);
    } else if (command == "import" && args.size() == 4 && (args[1] == "qif" || args[1] == "csv")) {
        r = Import(args[1], std::string(args[2]), std::string(args[3]), figures);
    } else {
        return Usage();
    }
    if (r == 0)
        figures.Print();
    return r;
}

}  // namespace
}  // namespace tallowmere

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    return tallowmere::Run(std::move(args));
}
