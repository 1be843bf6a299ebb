// Reading a 10,000-transaction OFX bank statement from memory into the
// element tree, as an import or a download does; then the same statement as
// a file read whole by our driver and by libofx's ofxdump, process against
// process.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "bench_host.h"
#include "exchange/ofx_tags.h"
#include "exchange/sgml_document.h"
#include "exchange/stream_memory.h"
#include "process_runner.h"

namespace tallowmere::exchange {
namespace {

constexpr int kTransactions = 10000;

std::string MakeStatement() {
    std::string s =
        "<OFX>\r\n<SIGNONMSGSRSV1>\r\n<SONRS>\r\n<STATUS>\r\n<CODE>0\r\n<SEVERITY>INFO\r\n</"
        "STATUS>\r\n"
        "<DTSERVER>20240131120000.000[-5:EST]\r\n<LANGUAGE>ENG\r\n</SONRS>\r\n</SIGNONMSGSRSV1>\r\n"
        "<BANKMSGSRSV1>\r\n<STMTTRNRS>\r\n<TRNUID>1001\r\n<STATUS>\r\n<CODE>0\r\n<SEVERITY>INFO\r\n"
        "</STATUS>\r\n<STMTRS>\r\n<CURDEF>USD\r\n<BANKACCTFROM>\r\n<BANKID>121000248\r\n"
        "<ACCTID>0001234567\r\n<ACCTTYPE>CHECKING\r\n</BANKACCTFROM>\r\n<BANKTRANLIST>\r\n"
        "<DTSTART>20230101\r\n<DTEND>20240131\r\n";
    for (int i = 0; i < kTransactions; ++i) {
        const std::string n = std::to_string(i);
        s += "<STMTTRN>\r\n<TRNTYPE>" + std::string(i % 3 == 0 ? "CHECK" : "DEBIT") +
             "\r\n<DTPOSTED>20240105120000.000[-5:EST]\r\n<TRNAMT>-" + std::to_string(i % 900 + 1) +
             ".25\r\n<FITID>20240105" + n + "\r\n";
        if (i % 3 == 0)
            s += "<CHECKNUM>" + std::to_string(1000 + i) + "\r\n";
        s += "<NAME>Water &amp; Power " + n + "\r\n<MEMO>Monthly bill, account " + n +
             "\r\n</STMTTRN>\r\n";
    }
    s += "</BANKTRANLIST>\r\n<LEDGERBAL>\r\n<BALAMT>1234.56\r\n<DTASOF>20240131\r\n</LEDGERBAL>\r\n"
         "</STMTRS>\r\n</STMTTRNRS>\r\n</BANKMSGSRSV1>\r\n</OFX>\r\n";
    return s;
}

void BM_ParseStatement(benchmark::State& state) {
    const std::string statement = MakeStatement();
    const COfxSgmlTagTable table;
    for (auto _ : state) {
        ReadOnlyMemoryStream stream(statement.data(), statement.size());
        CSgmlDocument document;
        if (!document.Parse(stream, table, nullptr))
            state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(document.GetFirstChild());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(statement.size()) * state.iterations());
    state.SetItemsProcessed(static_cast<std::int64_t>(kTransactions) * state.iterations());
    state.counters["statement_bytes"] = static_cast<double>(statement.size());
    state.SetLabel("in memory; target <= 50 ms");
}
BENCHMARK(BM_ParseStatement)->Unit(benchmark::kMillisecond);

// The statement as a file, with its OFX header, and our driver's runs over
// it, made once for the ratio.
struct StatementFile {
    StatementFile() {
        folder = bench::MakeBenchFolder("sgml");
        if (folder.empty())
            return;
        path = folder + "/statement.ofx";
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\n"
               "ENCODING:USASCII\r\nCHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\n"
               "NEWFILEUID:NONE\r\n\r\n"
            << MakeStatement();
        if (!out)
            path.clear();
        std::printf("%s\n", bench::HostLine(folder).c_str());
        std::fflush(stdout);
    }
    ~StatementFile() {
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    // Our driver and ofxdump (when installed) in turns: one unmeasured turn,
    // then the median of 5. Null when the program is missing or failed.
    const bench::TimedRuns* Ours() { return Run(0); }
    const bench::TimedRuns* Ofxdump() { return Run(1); }

    const bench::TimedRuns* Run(std::size_t which) {
        if (!runs) {
            runs.emplace(2);
            std::vector<bench::Command> commands;
            std::vector<std::size_t> slots;
            const std::string cli = bench::BenchProgram("tallowmere_cli");
            const std::string ofxdump = bench::FindProgram("ofxdump");
            if (!cli.empty() && !path.empty()) {
                commands.push_back({{cli, "--figures", "ofx", path}, true, {}});
                slots.push_back(0);
            }
            if (!ofxdump.empty() && !path.empty()) {
                commands.push_back({{ofxdump, path}, false, {}});
                slots.push_back(1);
            }
            std::vector<bench::TimedRuns> timed = bench::TimeInTurns(commands);
            for (std::size_t i = 0; i < slots.size(); ++i)
                (*runs)[slots[i]] = std::move(timed[i]);
        }
        const bench::TimedRuns& r = (*runs)[which];
        return r.status == 0 && !r.runs.empty() ? &r : nullptr;
    }

    std::string folder;
    std::string path;
    std::optional<std::vector<bench::TimedRuns>> runs;
};

StatementFile& TheFile() {
    static StatementFile file;
    return file;
}

// Our driver reading the file whole and printing every transaction.
void BM_OursParseFile(benchmark::State& state) {
    StatementFile& f = TheFile();
    const bench::TimedRuns* timed = nullptr;
    for (auto _ : state) {
        timed = f.Ours();
        if (timed == nullptr) {
            state.SkipWithError("tallowmere_cli is not built or failed");
            return;
        }
        state.SetIterationTime(timed->medianSeconds);
    }
    state.counters["parse_ms"] = bench::MedianFigure(*timed, "parse_ms");
    state.counters["peak_MiB"] = static_cast<double>(timed->medianPeakKiB) / 1024;
    state.SetLabel("tallowmere_cli ofx; processes in turns, median of 5");
}
BENCHMARK(BM_OursParseFile)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// libofx's ofxdump on the same file, process against process; the ratio is
// its time over ours.
void BM_OfxdumpSameStatement(benchmark::State& state) {
    if (bench::FindProgram("ofxdump").empty()) {
        state.SkipWithError("ofxdump not installed (Debian package ofx)");
        return;
    }
    StatementFile& f = TheFile();
    if (f.path.empty()) {
        state.SkipWithError("cannot write the statement file");
        return;
    }
    const bench::TimedRuns* timed = nullptr;
    for (auto _ : state) {
        timed = f.Ofxdump();
        if (timed == nullptr) {
            state.SkipWithError("ofxdump failed");
            return;
        }
        state.SetIterationTime(timed->medianSeconds);
    }
    const bench::TimedRuns* ours = f.Ours();
    if (ours != nullptr && ours->medianSeconds > 0)
        state.counters["ofxdump/ours"] = timed->medianSeconds / ours->medianSeconds;
    state.counters["peak_MiB"] = static_cast<double>(timed->medianPeakKiB) / 1024;
    state.SetLabel("ofxdump; processes in turns, median of 5; target ratio >= 5");
}
BENCHMARK(BM_OfxdumpSameStatement)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tallowmere::exchange
