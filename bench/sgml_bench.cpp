// Reading a 10,000-transaction OFX bank statement from memory into the
// element tree, as an import or a download does.
#include <benchmark/benchmark.h>

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
}
BENCHMARK(BM_ParseStatement)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tallowmere::exchange
