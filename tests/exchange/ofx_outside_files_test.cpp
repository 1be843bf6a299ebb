// Reads OFX files written by tools from elsewhere: ofxstatement's OFX writer
// (Debian package ofxstatement) makes the files, with closed data elements on
// one line, and ofxparse (python3-ofxparse) reads them a second time, so that
// our reader must agree with both. Skipped when they are not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/ofx_client.h"
#include "exchange/stream_memory.h"
#include "support/test_env.h"

namespace tallowmere::exchange {
namespace {

// Debian's interpreter: the modules live in its dist-packages, which another
// python3 earlier on PATH would not see.
const char kPython[] = "/usr/bin/python3";

// Builds a statement from lines of tab-separated fields (FITID, DTPOSTED,
// DTUSER, TRNAMT, TRNTYPE, CHECKNUM, NAME, MEMO; empty means absent) with
// ofxstatement's own writer.
const char kWriteScript[] = R"(import datetime, decimal, sys
from ofxstatement.ofx import OfxWriter
from ofxstatement.statement import Statement, StatementLine

def day(text):
    return datetime.datetime.strptime(text, "%Y%m%d") if text else None

statement = Statement(bank_id="121000248", account_id="0001234567", currency="USD")
statement.start_date = day("20240101")
statement.end_date = day("20240131")
statement.end_balance = decimal.Decimal("1171.50")
with open(sys.argv[1], encoding="utf-8") as rows:
    for row in rows:
        f = [v or None for v in row.rstrip("\n").split("\t")]
        line = StatementLine(f[0], day(f[1]), f[7], decimal.Decimal(f[3]))
        line.date_user = day(f[2])
        line.trntype, line.check_no, line.payee = f[4], f[5], f[6]
        statement.lines.append(line)
with open(sys.argv[2], "w", encoding="utf-8") as out:
    out.write(OfxWriter(statement).toxml())
)";

// Prints what ofxparse reads: the account line, then one tab-separated line
// per transaction in our handler's field order.
const char kReadScript[] = R"(import sys
from ofxparse import OfxParser

with open(sys.argv[1], "rb") as f:
    ofx = OfxParser.parse(f)
statement = ofx.account.statement
day = lambda d: d.strftime("%Y%m%d") if d else ""
print(ofx.account.account_id, day(statement.end_date), statement.balance, sep="\t")
for t in statement.transactions:
    print(day(t.user_date or t.date), t.amount, t.type.upper(), t.checknum or "",
          t.payee or "", t.memo or "", t.id, sep="\t")
)";

bool Available(const char* module) {
    if (access(kPython, X_OK) != 0)
        return false;
    const std::string command =
        std::string(kPython) + " -c 'import " + module + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Runs a shell command; returns its exit status and its standard output.
int RunCommand(const std::string& command, const std::string& outPath, std::string& out) {
    const int status = std::system((command + " >" + outPath + " 2>&1").c_str());
    out = test::ReadFileBytes(outPath);
    return status;
}

// One transaction as our handler and, line by line, ofxparse report it.
struct Transaction {
    std::string date, amount, type, checkNumber, name, memo, fitId;
    bool operator==(const Transaction&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Transaction& t) {
    return os << "{" << t.date << ", " << t.amount << ", " << t.type << ", " << t.checkNumber
              << ", " << t.name << ", " << t.memo << ", " << t.fitId << "}";
}

struct Statement {
    std::string account, end, balance;
    std::vector<Transaction> transactions;
};

class Recorder final : public COfxClient::MGetStatementEventHandler {
  public:
    Statement got;
    bool Progress(int) override { return true; }
    std::int32_t OnStatementAccount(std::string_view accountId) override {
        got.account = accountId;
        return 0;
    }
    std::int32_t OnStatementTransaction(std::string_view date, std::string_view amount,
                                        std::string_view type,
                                        std::optional<std::string_view> checkNumber,
                                        std::string_view name, std::optional<std::string_view> memo,
                                        std::string_view fitId) override {
        got.transactions.push_back({std::string(date), std::string(amount), std::string(type),
                                    std::string(checkNumber.value_or("")), std::string(name),
                                    std::string(memo.value_or("")), std::string(fitId)});
        return 0;
    }
    std::int32_t OnStatementEnd(std::string_view dtEnd) override {
        got.end = dtEnd;
        return 0;
    }
    std::int32_t OnLedgerBalance(std::string_view balanceAmount) override {
        got.balance = balanceAmount;
        return 0;
    }
};

// A row for ofxstatement and what our reader must hand on for it.
struct Case {
    const char* row;
    Transaction ours;
};

// Markup characters, a date the user gave beside the posting date, a check
// with and without its number, a name past 32 characters and no name at all.
const Case kCases[] = {
    {"A1\t20240105\t\t-25.00\tCHECK\t1042\tWater & Power\tJanuary <bill>",
     {"20240105", "-25.00", "CHECK", "1042", "Water & Power", "January <bill>", "A1"}},
    {"A2\t20240110\t20240108\t1200.00\tCREDIT\t\tPayroll\t",
     {"20240108", "1200.00", "CREDIT", "", "Payroll", "", "A2"}},
    {"A3\t20240112\t\t-60.00\tCHECK\t\t\tCounter withdrawal",
     {"20240112", "-60.00", "DEBIT", "", "DEBIT", "Counter withdrawal", "A3"}},
    {"A4\t20240115\t\t-0.99\tPOS\t\tNorthwind Traders Wholesale Supply Co\t",
     {"20240115", "-0.99", "POS", "", "Northwind Traders Wholesale Supp", "", "A4"}},
    {"B-77/x\t20240131\t\t-1234567.89\tDEBIT\t\t\"Quoted\" & 'apostrophes'\tfee",
     {"20240131", "-1234567.89", "DEBIT", "", "\"Quoted\" & 'apostrophes'", "fee", "B-77/x"}},
};

class OutsideFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!Available("ofxstatement.ofx"))
            GTEST_SKIP() << "ofxstatement (Debian package ofxstatement) is not installed";
        dir_ = test::MakeTempDir("ofxfiles");
        test::WriteFileBytes(dir_ + "/write.py", kWriteScript);
        test::WriteFileBytes(dir_ + "/read.py", kReadScript);
    }

    // ofxstatement's file for the rows, or empty with a failure.
    std::string Write(const std::string& rows) {
        test::WriteFileBytes(dir_ + "/rows.tsv", rows);
        std::string out;
        const int status = RunCommand(std::string(kPython) + " " + dir_ + "/write.py " + dir_ +
                                          "/rows.tsv " + dir_ + "/statement.ofx",
                                      dir_ + "/out", out);
        EXPECT_EQ(status, 0) << out;
        return status == 0 ? test::ReadFileBytes(dir_ + "/statement.ofx") : std::string();
    }

    static Statement ReadOurs(const std::string& file) {
        Recorder recorder;
        ReadOnlyMemoryStream stream(file.data(), file.size());
        COfxClient client;
        EXPECT_TRUE(client.ParseStatement(stream, recorder))
            << client.GetLastError() << " " << client.GetLastErrorText() << "\n"
            << file;
        return recorder.got;
    }

    std::string dir_;
};

std::string AllRows() {
    std::string rows;
    for (const Case& c : kCases)
        rows += std::string(c.row) + "\n";
    return rows;
}

TEST_F(OutsideFilesTest, ReadsWhatOfxstatementWrites) {
    const std::string file = Write(AllRows());
    ASSERT_FALSE(file.empty());
    // The writer's form: closed elements, no line breaks between them.
    ASSERT_NE(file.find("<TRNAMT>-25.00</TRNAMT><FITID>A1</FITID>"), std::string::npos) << file;

    const Statement ours = ReadOurs(file);
    EXPECT_EQ(ours.account, "0001234567");
    EXPECT_EQ(ours.end, "20240131");
    EXPECT_EQ(ours.balance, "1171.50");
    ASSERT_EQ(ours.transactions.size(), std::size(kCases)) << file;
    for (std::size_t i = 0; i < std::size(kCases); ++i)
        EXPECT_EQ(ours.transactions[i], kCases[i].ours) << kCases[i].row;
}

TEST_F(OutsideFilesTest, OfxparseReadsTheSameTransactions) {
    if (!Available("ofxparse"))
        GTEST_SKIP() << "ofxparse (Debian package python3-ofxparse) is not installed";
    const std::string file = Write(AllRows());
    ASSERT_FALSE(file.empty());
    std::string listing;
    ASSERT_EQ(RunCommand(std::string(kPython) + " " + dir_ + "/read.py " + dir_ + "/statement.ofx",
                         dir_ + "/out", listing),
              0)
        << listing;

    Statement theirs;
    std::istringstream lines(listing);
    std::string line;
    const auto fields = [&line] {
        std::vector<std::string> parts;
        std::istringstream in(line);
        for (std::string part; std::getline(in, part, '\t');)
            parts.push_back(part);
        // A trailing empty field leaves no part behind.
        if (!line.empty() && line.back() == '\t')
            parts.emplace_back();
        return parts;
    };
    ASSERT_TRUE(std::getline(lines, line)) << listing;
    std::vector<std::string> head = fields();
    ASSERT_EQ(head.size(), 3u) << line;
    theirs.account = head[0];
    theirs.end = head[1];
    theirs.balance = head[2];
    while (std::getline(lines, line)) {
        std::vector<std::string> f = fields();
        ASSERT_EQ(f.size(), 7u) << line;
        theirs.transactions.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
    }

    const Statement ours = ReadOurs(file);
    EXPECT_EQ(ours.account, theirs.account);
    EXPECT_EQ(ours.end, theirs.end);
    EXPECT_EQ(ours.balance, theirs.balance);
    ASSERT_EQ(ours.transactions.size(), theirs.transactions.size()) << listing;
    for (std::size_t i = 0; i < ours.transactions.size(); ++i) {
        Transaction expected = theirs.transactions[i];
        // Where our reader shortens or stands in on purpose, it follows its own
        // rules rather than ofxparse's.
        if (expected.type == "CHECK" && expected.checkNumber.empty())
            expected.type = "DEBIT";
        if (expected.name.empty())
            expected.name = expected.type;
        expected.name.resize(std::min<std::size_t>(expected.name.size(), 32));
        EXPECT_EQ(ours.transactions[i], expected) << listing;
    }
}

TEST_F(OutsideFilesTest, UnicodeTextsComeOutAs1252) {
    // ofxstatement declares UTF-8; our texts are 1252 bytes.
    const std::string file = Write(
        "C1\t20240120\t\t-4.20\tPOS\t\tCaf\xC3\xA9 Z\xC3\xBCrich\t\xE2\x82\xAC"
        "4,20\n");
    ASSERT_FALSE(file.empty());
    ASSERT_NE(file.find("ENCODING:UTF-8"), std::string::npos) << file;
    const Statement ours = ReadOurs(file);
    ASSERT_EQ(ours.transactions.size(), 1u) << file;
    EXPECT_EQ(ours.transactions[0].name, "Caf\xE9 Z\xFCrich");
    EXPECT_EQ(ours.transactions[0].memo,
              "\x80"
              "4,20");
}

}  // namespace
}  // namespace tallowmere::exchange
