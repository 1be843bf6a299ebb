// OFX and QFX files through COFXImporter into an account of a data set:
// files of our own, files that cannot be read or parsed, and a statement
// written by ofxstatement, checked against what libofx's ofxdump reads from
// the same file. The outside programs are skipped when not installed.
#include "exchange/ofx_importer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "exchange/desktop_load_options.h"
#include "exchange/online_banking_error.h"
#include "model/accounts.h"
#include "model/list_test_items.h"
#include "support/test_env.h"

namespace tallowmere::exchange {
namespace {

using test::CapturingSink;

constexpr const char* kStatement =
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
    "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n"
    "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>"
    "<DTSERVER>20240131<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1>"
    "<CREDITCARDMSGSRSV1><CCSTMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS>"
    "<CCSTMTRS><CURDEF>USD<CCACCTFROM><ACCTID>4111</CCACCTFROM>"
    "<BANKTRANLIST><DTSTART>20240101<DTEND>20240131"
    "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240105<TRNAMT>-5.00<FITID>Q1<NAME>Shop</STMTTRN>"
    "</BANKTRANLIST><LEDGERBAL><BALAMT>-5.00<DTASOF>20240131</LEDGERBAL>"
    "</CCSTMTRS></CCSTMTTRNRS></CREDITCARDMSGSRSV1></OFX>";

class OfxImporterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = test::MakeTempDir("ofx_import");
        ASSERT_EQ(
            CAccounts::LoadInto(data_, dir_ + "/data", DesktopLoadOptions(HeaderCipher::None())),
            0);
        account_ = data_->GetAccountAt(0);
        ASSERT_NE(account_, nullptr);
        importer_.SetAccounts(data_.get());
        importer_.SetTargetAccount(account_);
    }

    std::string dir_;
    std::unique_ptr<CAccounts> data_;
    CAccount* account_ = nullptr;
    COFXImporter importer_;
    CapturingSink sink_;
};

TEST_F(OfxImporterTest, OfxAndQfxFilesImportOnce) {
    for (const char* name : {"statement.ofx", "statement.QFX"}) {
        SCOPED_TRACE(name);
        const std::string path = dir_ + "/" + name;
        test::WriteFileBytes(path, kStatement);
        EXPECT_TRUE(IsOfxFilePath(path));
        ASSERT_EQ(importer_.Import(path), 0);
        ASSERT_EQ(account_->Transactions().size(), 1u);
        EXPECT_EQ(account_->Transactions()[0]->GetOnlineId(), "Q1");
        EXPECT_EQ(account_->Transactions()[0]->GetAmount(), 500);
        EXPECT_EQ(account_->Header().GetDownloadEndDate(), "20240131");
    }
    EXPECT_TRUE(sink_.reports.empty());
    for (const char* other : {"a.qif", "a.csv", "ofx", "dir.ofx/file", "a.ofx.txt"})
        EXPECT_FALSE(IsOfxFilePath(other)) << other;
}

TEST_F(OfxImporterTest, UnreadableAndBrokenFilesAreShown) {
    EXPECT_EQ(importer_.Import(dir_ + "/missing.ofx"), 2);
    ASSERT_EQ(sink_.reports.size(), 1u);
    EXPECT_EQ(sink_.reports[0].string_id, kStringImportUnreadable);
    EXPECT_NE(sink_.reports[0].text.find("missing.ofx"), std::string::npos);

    const struct {
        const char* what;
        std::string bytes;
    } broken[] = {
        {"empty", ""},
        {"not OFX", "Date,Amount\n1/2/2024,5.00\n"},
        {"cut", std::string(kStatement).substr(0, 400)},
    };
    for (const auto& b : broken) {
        SCOPED_TRACE(b.what);
        sink_.reports.clear();
        const std::string path = dir_ + "/broken.ofx";
        test::WriteFileBytes(path, b.bytes);
        EXPECT_EQ(importer_.Import(path), 0);
        ASSERT_EQ(sink_.reports.size(), 1u);
        EXPECT_TRUE(sink_.reports[0].string_id >= kStrOnlineNoMemory &&
                    sink_.reports[0].string_id <= kStrOnlineUnexpected)
            << sink_.reports[0].text;
        EXPECT_TRUE(account_->Transactions().empty());
    }
    CAccount* none = nullptr;
    importer_.SetTargetAccount(none);
    EXPECT_EQ(importer_.Import(dir_ + "/broken.ofx"), kInvalidHandle);
}

// Pieces of statement files of our own.
std::string Trn(const std::string& fitId, const std::string& amount, const std::string& name,
                const std::string& date = "20240105") {
    return "<STMTTRN><TRNTYPE>" + std::string(amount[0] == '-' ? "DEBIT" : "CREDIT") +
           "<DTPOSTED>" + date + "<TRNAMT>" + amount + "<FITID>" + fitId + "<NAME>" + name +
           "</STMTTRN>";
}

std::string BankStatement(const std::string& accountId, const std::string& transactions,
                          const std::string& balance = "1.00",
                          const std::string& end = "<DTEND>20240131") {
    return "<STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS><STMTRS><CURDEF>USD"
           "<BANKACCTFROM><BANKID>1<ACCTID>" +
           accountId + "<ACCTTYPE>CHECKING</BANKACCTFROM><BANKTRANLIST><DTSTART>20240101" + end +
           transactions + "</BANKTRANLIST><LEDGERBAL><BALAMT>" + balance +
           "<DTASOF>20240131</LEDGERBAL></STMTRS></STMTTRNRS>";
}

std::string StatementFile(const std::string& bankStatements, const std::string& more = "") {
    const std::string text = kStatement;
    return text.substr(0, text.find("<CREDITCARDMSGSRSV1>")) + "<BANKMSGSRSV1>" + bankStatements +
           "</BANKMSGSRSV1>" + more + "</OFX>";
}

TEST_F(OfxImporterTest, AStatementWithAFaultAddsNothing) {
    const std::string path = dir_ + "/statement.ofx";
    test::WriteFileBytes(path, StatementFile(BankStatement(
                                   "9", Trn("K1", "-1.00", "Shop") + Trn("K2", "2.00", "Pay"))));
    ASSERT_EQ(importer_.Import(path), 0);
    ASSERT_EQ(account_->Transactions().size(), 2u);
    ASSERT_EQ(account_->Save(), 0);
    const std::string bytes = test::ReadFileBytes(account_->GetPath());
    const Cents online = account_->GetOnlineBalance();

    const std::string two = Trn("N1", "-3.00", "Cafe") + Trn("N2", "-4.00", "Bakery");
    const struct {
        const char* what;
        std::string file;
        std::string fault;
    } cases[] = {
        {"an unreadable TRNAMT in the last STMTTRN",
         StatementFile(BankStatement("9", two + Trn("N3", "5.00.1", "Late"))),
         "STMTTRN 3: TRNAMT 5.00.1"},
        {"no DTEND", StatementFile(BankStatement("9", two, "1.00", "")), "BANKTRANLIST: DTEND"},
        {"a STMTTRN without FITID",
         StatementFile(BankStatement("9", two + "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240106"
                                                "<TRNAMT>-1.00<NAME>Lost</STMTTRN>")),
         "STMTTRN 3: FITID"},
        {"an unreadable BALAMT", StatementFile(BankStatement("9", two, "1.00 USD")),
         "LEDGERBAL: BALAMT 1.00 USD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sink_.reports.clear();
        test::WriteFileBytes(path, c.file);
        EXPECT_EQ(importer_.Import(path), 0);
        EXPECT_EQ(importer_.GetImportedCount(), 0u);
        ASSERT_EQ(sink_.reports.size(), 1u);
        EXPECT_EQ(sink_.reports[0].string_id, kStrOnlineUnparsedWithText);
        EXPECT_EQ(sink_.reports[0].text, "The data could not be parsed. (" + c.fault + ")");
        EXPECT_EQ(account_->Transactions().size(), 2u);
        EXPECT_EQ(account_->GetOnlineBalance(), online);
        EXPECT_EQ(test::ReadFileBytes(account_->GetPath()), bytes);
        ASSERT_EQ(account_->Save(), 0);
        EXPECT_EQ(test::ReadFileBytes(account_->GetPath()), bytes);
    }
}

TEST_F(OfxImporterTest, AnEmptyBalanceIsNoBalance) {
    // The account is empty with no opening balance: a balance would set it.
    const std::string path = dir_ + "/statement.ofx";
    account_->SetOnlineBalance(Cents{1234});
    test::WriteFileBytes(
        path, StatementFile(
                  BankStatement("9", Trn("E1", "-1.00", "Shop") + Trn("E2", "2.00", "Pay"), "")));
    ASSERT_EQ(importer_.Import(path), 0);
    EXPECT_TRUE(sink_.reports.empty()) << sink_.reports[0].text;
    EXPECT_EQ(account_->Transactions().size(), 2u);
    EXPECT_EQ(account_->GetOnlineBalance(), 1234);
    EXPECT_EQ(account_->Header().GetOpeningBalance(), 0);
    EXPECT_EQ(account_->Header().GetDownloadEndDate(), "20240131");
}

TEST_F(OfxImporterTest, CountsWhatItAddsAndNotWhatWasThere) {
    const std::string path = dir_ + "/statement.ofx";
    test::WriteFileBytes(path, StatementFile(BankStatement(
                                   "9", Trn("K1", "-1.00", "Shop") + Trn("K2", "2.00", "Pay"))));
    ASSERT_EQ(importer_.Import(path), 0);
    EXPECT_EQ(importer_.GetImportedCount(), 2u);

    std::string mixed = Trn("K1", "-1.00", "Shop") + Trn("K2", "2.00", "Pay");
    for (const char* id : {"N1", "N2", "N3"})
        mixed += Trn(id, "-7.00", "New");
    test::WriteFileBytes(path, StatementFile(BankStatement("9", mixed)));
    ASSERT_EQ(importer_.Import(path), 0);
    EXPECT_EQ(importer_.GetImportedCount(), 3u);
    EXPECT_EQ(account_->Transactions().size(), 5u);
    EXPECT_TRUE(sink_.reports.empty());
}

TEST_F(OfxImporterTest, TheFirstStatementIsImportedAndTheOthersAreNamed) {
    const std::string card =
        "<CREDITCARDMSGSRSV1><CCSTMTTRNRS><TRNUID>2<STATUS><CODE>0</STATUS><CCSTMTRS>"
        "<CCACCTFROM><ACCTID>4111</CCACCTFROM>" +
        std::string("<BANKTRANLIST><DTSTART>20240101<DTEND>20240131") +
        Trn("C1", "-9.00", "Card shop") + "</BANKTRANLIST></CCSTMTRS></CCSTMTTRNRS>" +
        "</CREDITCARDMSGSRSV1>";
    const std::string path = dir_ + "/two accounts.ofx";
    test::WriteFileBytes(path, StatementFile(BankStatement("111", Trn("A1", "-1.00", "First")) +
                                                 BankStatement("222", Trn("B1", "-2.00", "Other")),
                                             card));
    ASSERT_EQ(importer_.Import(path), 0);
    ASSERT_EQ(account_->Transactions().size(), 1u);
    EXPECT_EQ(account_->Transactions()[0]->GetOnlineId(), "A1");
    EXPECT_EQ(importer_.GetImportedCount(), 1u);
    ASSERT_EQ(sink_.reports.size(), 1u);
    EXPECT_EQ(sink_.reports[0].string_id, kStringImportMoreStatements);
    EXPECT_EQ(sink_.reports[0].text,
              "Only the first statement in two accounts.ofx was imported. The file holds 2 more, "
              "for the account numbers 222, 4111.");

    // One statement: nothing more to say.
    sink_.reports.clear();
    test::WriteFileBytes(path, StatementFile(BankStatement("111", Trn("A2", "-1.00", "First"))));
    ASSERT_EQ(importer_.Import(path), 0);
    EXPECT_TRUE(sink_.reports.empty());
}

// ofxstatement's writer makes the file; libofx's ofxdump reads it too.
const char kWriteScript[] = R"(import datetime, decimal, sys
from ofxstatement.ofx import OfxWriter
from ofxstatement.statement import Statement, StatementLine

def day(text):
    return datetime.datetime.strptime(text, "%Y%m%d")

statement = Statement(bank_id="121000248", account_id="0001234567", currency="USD")
statement.start_date = day("20240101")
statement.end_date = day("20240131")
statement.end_balance = decimal.Decimal("1171.50")
rows = [
    ("T1", "20240103", "-12.34", "DEBIT", None, "Caf\u00e9 & Co", "first"),
    ("T2", "20240105", "-100.00", "CHECK", "1042", "Landlord", None),
    ("T3", "20240110", "1500.00", "CREDIT", None, "Payroll", "salary"),
    ("T4", "20240131", "-0.99", "FEE", None, "Bank fee", None),
]
for fitid, posted, amount, kind, check, payee, memo in rows:
    line = StatementLine(fitid, day(posted), memo, decimal.Decimal(amount))
    line.trntype, line.check_no, line.payee = kind, check, payee
    statement.lines.append(line)
with open(sys.argv[1], "w", encoding="utf-8") as out:
    out.write(OfxWriter(statement).toxml())
)";

std::string Run(const std::string& command) {
    std::string out;
    if (std::FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0)
            out.append(buffer, n);
        if (pclose(p) != 0)
            out.clear();
    }
    return out;
}

bool Installed(const std::string& check) {
    return std::system((check + " > /dev/null 2>&1").c_str()) == 0;
}

// (FITID, amount text) in file order, as ofxdump prints them.
std::vector<std::pair<std::string, std::string>> DumpedTransactions(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> out;
    std::istringstream lines(Run("ofxdump '" + path + "' 2> /dev/null"));
    std::string line;
    std::string amount;
    const std::string amountLabel = "Total money amount: ";
    const std::string idLabel = "Financial institution's ID for this transaction: ";
    while (std::getline(lines, line)) {
        const std::size_t a = line.find(amountLabel);
        if (a != std::string::npos)
            amount = line.substr(a + amountLabel.size());
        const std::size_t i = line.find(idLabel);
        if (i != std::string::npos)
            out.emplace_back(line.substr(i + idLabel.size()), amount);
    }
    return out;
}

TEST_F(OfxImporterTest, StatementWrittenByOfxstatementImports) {
    if (!Installed("/usr/bin/python3 -c 'import ofxstatement.ofx'"))
        GTEST_SKIP() << "ofxstatement is not installed";
    test::WriteFileBytes(dir_ + "/write.py", kWriteScript);
    const std::string path = dir_ + "/outside.ofx";
    ASSERT_EQ(std::system(("/usr/bin/python3 '" + dir_ + "/write.py' '" + path + "'").c_str()), 0);

    ASSERT_EQ(importer_.Import(path), 0);
    EXPECT_TRUE(sink_.reports.empty());
    const auto& register_ = account_->Transactions();
    ASSERT_EQ(register_.size(), 4u);
    std::map<std::string, const CTransaction*> byId;
    for (const auto& t : register_)
        byId[t->GetOnlineId()] = t.get();
    ASSERT_EQ(byId.size(), 4u);
    EXPECT_EQ(byId["T1"]->GetPayeeName(), "Caf\xE9 & Co");
    EXPECT_EQ(byId["T2"]->GetCheckNumber(), 1042u);
    EXPECT_TRUE(byId["T4"]->IsOutflow());
    EXPECT_FALSE(byId["T3"]->IsOutflow());
    EXPECT_EQ(account_->Header().GetDownloadEndDate().substr(0, 8), "20240131");

    if (!Installed("command -v ofxdump"))
        GTEST_SKIP() << "ofxdump (Debian package ofx) is not installed";
    const auto dumped = DumpedTransactions(path);
    ASSERT_EQ(dumped.size(), 4u);
    for (const auto& [id, amount] : dumped) {
        SCOPED_TRACE(id);
        ASSERT_EQ(byId.count(id), 1u);
        const CTransaction& t = *byId[id];
        const bool negative = !amount.empty() && amount[0] == '-';
        EXPECT_EQ(t.IsOutflow(), negative);
        const std::string digits = negative ? amount.substr(1) : amount;
        EXPECT_EQ(t.GetAmount(), std::llround(std::stod(digits) * 100));
    }
}

// libofx's own sample files (Debian package libofx-doc): statements in OFX
// 1 and 2, excerpts without headers, and the inputs that once broke libofx.
// Each goes into a fresh data set; what arrives must be what ofxdump reads,
// and a file that cannot be read as a statement is said, never taken
// silently.
constexpr const char* kLibofxSamples = "/usr/share/doc/libofx-dev/ofx_sample_files";

TEST(OfxLibofxSamples, ImportLikeOfxdumpReadsThem) {
    if (!std::filesystem::is_directory(kLibofxSamples))
        GTEST_SKIP() << "libofx's sample files (Debian package libofx-doc) are not installed";
    const bool haveDump = Installed("command -v ofxdump");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kLibofxSamples)) {
        std::string name = entry.path().filename().string();
        const std::string ext = entry.path().extension().string();
        const bool gz = ext == ".gz";
        const std::string inner = gz ? entry.path().stem().extension().string() : ext;
        if (inner != ".ofx" && inner != ".xml" && inner != ".sgml")
            continue;
        SCOPED_TRACE(name);
        ++files;
        const std::string dir = test::MakeTempDir("libofx_sample");
        const std::string path = dir + "/statement.ofx";
        if (gz) {
            ASSERT_EQ(
                std::system(("zcat '" + entry.path().string() + "' > '" + path + "'").c_str()), 0);
        } else {
            std::filesystem::copy_file(entry.path(), path);
        }
        std::unique_ptr<CAccounts> data;
        ASSERT_EQ(
            CAccounts::LoadInto(data, dir + "/data", DesktopLoadOptions(HeaderCipher::None())), 0);
        CAccount* account = data->GetAccountAt(0);
        CapturingSink sink;
        COFXImporter importer;
        importer.SetAccounts(data.get());
        importer.SetTargetAccount(account);
        ASSERT_EQ(importer.Import(path), 0);
        const auto& imported = account->Transactions();
        EXPECT_TRUE(!imported.empty() || !sink.reports.empty()) << "taken silently";
        if (!haveDump || imported.empty())
            continue;
        // One statement of a file is read, and a repeated FITID only once,
        // so what arrived is a part of what ofxdump lists.
        const auto dumped = DumpedTransactions(path);
        if (dumped.empty())
            continue;
        for (const auto& t : imported) {
            SCOPED_TRACE(t->GetOnlineId());
            bool found = false;
            for (const auto& [id, amount] : dumped) {
                if (id != t->GetOnlineId())
                    continue;
                const bool negative = !amount.empty() && amount[0] == '-';
                const std::string digits = negative ? amount.substr(1) : amount;
                found = t->IsOutflow() == negative &&
                        t->GetAmount() == std::llround(std::stod(digits) * 100);
                if (found)
                    break;
            }
            EXPECT_TRUE(found);
        }
    }
    EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace tallowmere::exchange
