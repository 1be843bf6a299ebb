// Reading a 10,000-transaction OFX bank statement from memory into the
// element tree, as an import or a download does.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "exchange/ofx_tags.h"
#include "exchange/sgml_document.h"
#include "exchange/stream_memory.h"

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

// Seconds per parse of our reader, for the comparison with ofxdump below.
double g_ourSecondsPerParse = 0;

void BM_ParseStatement(benchmark::State& state) {
    const std::string statement = MakeStatement();
    const COfxSgmlTagTable table;
    const auto start = std::chrono::steady_clock::now();
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
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    g_ourSecondsPerParse = spent.count() / static_cast<double>(state.iterations());
    state.SetLabel("target <= 50 ms");
}
BENCHMARK(BM_ParseStatement)->Unit(benchmark::kMillisecond);

// libofx's ofxdump on the same statement as a file, side by side; the ratio
// is its time over ours (target: at least 5).
void BM_OfxdumpSameStatement(benchmark::State& state) {
    if (std::system("command -v ofxdump >/dev/null 2>&1") != 0) {
        state.SkipWithError("ofxdump not installed (Debian package ofx)");
        return;
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/sgml_bench_statement.ofx";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\n"
               "ENCODING:USASCII\r\nCHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\n"
               "NEWFILEUID:NONE\r\n\r\n"
            << MakeStatement();
    }
    const std::string command = "ofxdump '" + path + "' >/dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("ofxdump failed");
    }
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    const double theirs = spent.count() / static_cast<double>(state.iterations());
    if (g_ourSecondsPerParse > 0)
        state.counters["ofxdump_over_ours"] = theirs / g_ourSecondsPerParse;
    state.SetLabel("target ratio >= 5");
    std::remove(path.c_str());
}
BENCHMARK(BM_OfxdumpSameStatement)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tallowmere::exchange
