// QIF written and read by programs from elsewhere: ofx2qif (Debian package
// ofx) turns a bank statement into QIF with an account block and day-first
// dates; Finance::QIF (libfinance-qif-perl) writes files with several account
// blocks, lists and splits, and reads our exports back record by record.
// Skipped when the programs are not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/amount_text.h"
#include "exchange/date_text.h"
#include "exchange/exchange_test_world.h"
#include "exchange/qif_exporter.h"
#include "exchange/qif_importer.h"
#include "model/paths.h"

namespace tallowmere::exchange {
namespace {

const char kOfx2Qif[] = "/usr/bin/ofx2qif";
const char kPerl[] = "/usr/bin/perl";

bool HaveFinanceQif() {
    if (access(kPerl, X_OK) != 0)
        return false;
    return std::system((std::string(kPerl) + " -MFinance::QIF -e 1 >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command with its output into outPath; its exit status.
int RunCommand(const std::string& command, const std::string& outPath) {
    return std::system((command + " >" + outPath + " 2>" + outPath + ".err").c_str());
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

using test::Day;

class QifOutsideTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = test::MakeTempDir("data");
        work_ = test::MakeTempDir("work");
        set_ = test::LoadDataSet(folder_);
    }

    int Import(const std::string& path, int layout) {
        CQIFImporter importer(set_.get(), nullptr);
        importer.SetTargetChooser(&chooser_);
        importer.SetDateLayout(layout);
        const int r = importer.Import(path);
        EXPECT_EQ(importer.GetFormatError(), 0) << "stopped at line " << importer.GetStopLine();
        return r;
    }

    std::string folder_;
    std::string work_;
    std::unique_ptr<CAccounts> set_;
    test::FakeChooser chooser_;
    test::RecordingSink sink_;
};

// A bank statement in OFX 1.02 SGML, Windows-1252 text.
const char kStatement[] =
    "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\nSECURITY:NONE\nENCODING:USASCII\nCHARSET:1252\n"
    "COMPRESSION:NONE\nOLDFILEUID:NONE\nNEWFILEUID:NONE\n\n"
    "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>"
    "<DTSERVER>20240131120000<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1>\n"
    "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS>\n"
    "<STMTRS><CURDEF>USD<BANKACCTFROM><BANKID>121000248<ACCTID>0001234567"
    "<ACCTTYPE>CHECKING</BANKACCTFROM>\n"
    "<BANKTRANLIST><DTSTART>20240101<DTEND>20240131\n"
    "<STMTTRN><TRNTYPE>CHECK<DTPOSTED>20240102<TRNAMT>-25.00<FITID>1<CHECKNUM>1042"
    "<NAME>Water &amp; Power<MEMO>January bill</STMTTRN>\n"
    "<STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20240115<TRNAMT>1500.00<FITID>2<NAME>Paycheck</STMTTRN>\n"
    "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240120<TRNAMT>-3.50<FITID>3"
    "<NAME>Caf\xE9 cr\xE8me</STMTTRN>\n"
    "<STMTTRN><TRNTYPE>DEP<DTPOSTED>20240125<TRNAMT>-5.00<FITID>4<NAME>Reversal</STMTTRN>\n"
    "</BANKTRANLIST><LEDGERBAL><BALAMT>1171.50<DTASOF>20240131</LEDGERBAL>"
    "</STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\n";

TEST_F(QifOutsideTest, StatementsConvertedByOfx2QifImport) {
    if (access(kOfx2Qif, X_OK) != 0)
        GTEST_SKIP() << "ofx2qif (Debian package ofx) is not installed";
    const std::string ofx = JoinPath(work_, "statement.ofx");
    const std::string qif = JoinPath(work_, "statement.qif");
    test::WriteFileBytes(ofx, kStatement);
    ASSERT_EQ(RunCommand(std::string(kOfx2Qif) + " " + ofx, qif), 0)
        << test::ReadFileBytes(qif + ".err");
    const std::string text = test::ReadFileBytes(qif);
    ASSERT_NE(text.find("!Account"), std::string::npos) << text;

    // Its dates are day first: layout 3.
    ASSERT_EQ(Import(qif, 3), 0);
    ASSERT_EQ(chooser_.asked.size(), 1u);
    CAccount& account = test::NamedAccount(*set_, chooser_.asked[0]);
    EXPECT_NE(chooser_.asked[0].find("0001234567"), std::string::npos) << chooser_.asked[0];

    struct Expected {
        PalmTime day;
        RecordId type;
        Cents amount;
        std::uint32_t check;
        const char* payee;
        const char* memo;
    };
    const Expected expected[] = {
        {Day(2024, 1, 2), CheckTypeId, 2500, 1042, "Water & Power", "January bill"},
        {Day(2024, 1, 15), DepositTypeId, 150000, 0, "Paycheck", ""},
        // ofx2qif writes UTF-8; the model keeps Windows-1252.
        {Day(2024, 1, 20), WithdrawalTypeId, 350, 0, "Caf\xE9 cr\xE8me", ""},
        {Day(2024, 1, 25), WithdrawalTypeId, 500, 0, "Reversal", ""},
    };
    ASSERT_EQ(account.Transactions().size(), std::size(expected)) << text;
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const CTransaction& t = *account.Transactions()[i];
        const Expected& e = expected[i];
        SCOPED_TRACE(e.payee);
        EXPECT_TRUE(IsSameDay(t.GetDate(), e.day));
        EXPECT_EQ(t.GetTypeId(), e.type);
        EXPECT_EQ(t.GetAmount(), e.amount);
        EXPECT_EQ(t.GetCheckNumber(), e.check);
        EXPECT_EQ(t.GetPayeeName(), e.payee);
        EXPECT_EQ(t.GetMemo(), e.memo);
    }
    // Its "L" lines name the kind of transaction; they become categories.
    EXPECT_EQ(set_->Categories().GetFullNameById(account.Transactions()[0]->GetCategoryId()),
              "Check");
    EXPECT_EQ(account.GetBalance(0), 150000 - 2500 - 350 - 500);
}

// Writes a file with Finance::QIF's writer: options, an account list, the
// category and class lists, transactions with splits in two accounts (one
// that the data set does not hold) and memorised transactions.
const char kWriteScript[] = R"(use strict; use warnings;
use Finance::QIF;
my $out = Finance::QIF->new(file => ">" . $ARGV[0], record_separator => "\r\n");
$out->header("Option:AutoSwitch");
$out->header("Account");
$out->write({header => "Account", name => "Checking", type => "Bank", balance => "100.00"});
$out->write({header => "Account", name => "Brokerage Cash", type => "Bank"});
$out->header("Clear:AutoSwitch");
$out->header("Type:Cat");
$out->write({header => "Type:Cat", name => "Travel:Trains", description => "rail", expense => ""});
$out->write({header => "Type:Cat", name => "Bonus", income => ""});
$out->header("Type:Class");
$out->write({header => "Type:Class", name => "Project X", description => "the project"});
$out->header("Account");
$out->write({header => "Account", name => "Checking", type => "Bank"});
$out->header("Type:Bank");
$out->write({header => "Type:Bank", date => "1/ 5'05", transaction => "-30.00", status => "X",
             number => "101", payee => "Station", memo => "tickets", category => "Travel:Trains",
             splits => [{category => "Travel:Trains/Project X", memo => "ticket", amount => "-20.00"},
                        {category => "[Brokerage Cash]", memo => "aside", amount => "-10.00"}]});
$out->write({header => "Type:Bank", date => "1/6'05", transaction => "1,250.00", status => "*",
             number => "DEP", payee => "Employer", category => "Bonus"});
$out->header("Type:Memorized");
$out->write({header => "Type:Memorized", type => "C", payee => "Station", transaction => "-30.00"});
$out->header("Account");
$out->write({header => "Account", name => "Brokerage Cash", type => "Bank", balance => "500.00"});
$out->header("Type:Bank");
$out->write({header => "Type:Bank", date => "1/7'05", transaction => "-2.50", payee => "Fee",
             category => "Bank Charges"});
$out->close;
)";

TEST_F(QifOutsideTest, FilesWrittenByFinanceQifImport) {
    if (!HaveFinanceQif())
        GTEST_SKIP() << "Finance::QIF (Debian package libfinance-qif-perl) is not installed";
    const std::string script = JoinPath(work_, "write.pl");
    const std::string qif = JoinPath(work_, "written.qif");
    test::WriteFileBytes(script, kWriteScript);
    ASSERT_EQ(RunCommand(std::string(kPerl) + " " + script + " " + qif, qif + ".out"), 0)
        << test::ReadFileBytes(qif + ".out.err");

    CQIFImporter probe;
    EXPECT_TRUE(probe.NamesOwnAccounts(qif));
    ASSERT_EQ(Import(qif, 1), 0) << test::ReadFileBytes(qif);
    EXPECT_TRUE(sink_.reports.empty()) << sink_.reports.front().text;

    // "Brokerage Cash" is first met in a transfer, which makes the account;
    // its block then finds it by name.
    EXPECT_TRUE(chooser_.asked.empty());
    CAccount& checking = test::NamedAccount(*set_, "Checking");
    CAccount& brokerage = test::NamedAccount(*set_, "Brokerage Cash");
    ASSERT_EQ(checking.Transactions().size(), 2u);
    const CTransaction& split = *checking.Transactions()[0];
    EXPECT_TRUE(IsSameDay(split.GetDate(), Day(2005, 1, 5)));
    EXPECT_EQ(split.GetTypeId(), CheckTypeId);
    EXPECT_EQ(split.GetCheckNumber(), 101u);
    EXPECT_EQ(split.GetAmount(), 3000);
    EXPECT_EQ(split.GetStatus() & kStatusMask, kStatusReconciled);
    EXPECT_EQ(split.GetCategoryId(), SplitMarkerId);
    const RecordId trains = set_->Categories().FindOrCreateByPath("Travel:Trains", false);
    ASSERT_FALSE(trains.IsNull());
    EXPECT_EQ(split.GetSplitCategoryId(0), trains);
    EXPECT_EQ(set_->Classes().GetNameById(split.GetSplitClassId(0)), "Project X");
    EXPECT_EQ(split.GetSplitAmount(0), 2000);
    EXPECT_EQ(split.GetSplitMemo(0), "ticket");
    EXPECT_EQ(split.GetSplitCategoryId(1), brokerage.Header().GetId());
    EXPECT_EQ(split.GetSplitAmount(1), 1000);

    const CTransaction& deposit = *checking.Transactions()[1];
    EXPECT_EQ(deposit.GetTypeId(), DepositTypeId);
    EXPECT_EQ(deposit.GetAmount(), 125000);
    EXPECT_EQ(deposit.GetStatus() & kStatusMask, kStatusCleared);
    EXPECT_FALSE(set_->Categories().FindOrCreateByPath("Bonus", false).IsNull());

    // The split line's mirror and the fee.
    ASSERT_EQ(brokerage.Transactions().size(), 2u);
    EXPECT_EQ(brokerage.Transactions()[0]->GetAmount(), 1000);
    EXPECT_FALSE(brokerage.Transactions()[0]->IsOutflow());
    EXPECT_EQ(brokerage.Transactions()[1]->GetPayeeName(), "Fee");
    EXPECT_EQ(brokerage.Transactions()[1]->GetAmount(), 250);

    // Everything is in the files.
    std::unique_ptr<CAccounts> again = test::LoadDataSet(folder_);
    EXPECT_EQ(test::NamedAccount(*again, "Checking").Transactions().size(), 2u);
    EXPECT_EQ(test::NamedAccount(*again, "Brokerage Cash").Transactions().size(), 2u);
    EXPECT_NE(again->Classes().FindByName("Project X"), nullptr);
}

// Prints every record Finance::QIF reads: header, date, amount, status,
// number, payee, memo, category, then one "category|memo|amount" per split.
const char kReadScript[] = R"(use strict; use warnings;
use Finance::QIF;
my $in = Finance::QIF->new(file => $ARGV[0], autodetect => 1);
while (my $r = $in->next) {
    my @f = map { defined $r->{$_} ? $r->{$_} : "" }
        qw(header date transaction status number payee memo category);
    for my $s (@{ $r->{splits} || [] }) {
        push @f, join("|", map { defined $s->{$_} ? $s->{$_} : "" } qw(category memo amount));
    }
    print join("\t", @f), "\n";
}
)";

TEST_F(QifOutsideTest, FinanceQifReadsOurExportRecordByRecord) {
    if (!HaveFinanceQif())
        GTEST_SKIP() << "Finance::QIF (Debian package libfinance-qif-perl) is not installed";
    CAccount& checking = test::NamedAccount(*set_, "Checking");
    CAccount& savings = test::NamedAccount(*set_, "Savings");
    const RecordId groceries = set_->Categories().FindOrCreateByPath("Groceries", true);
    const RecordId dining = set_->Categories().FindOrCreateByPath("Food:Dining", true);

    struct Row {
        PalmTime date;
        RecordId type;
        Cents amount;
        std::uint32_t check;
        std::uint8_t status;
        std::string payee;
        std::string memo;
        RecordId category;
        RecordId classId;
        // What Finance::QIF must give.
        std::string line;
    };
    const std::string payee32 = "A payee name of 32 characters xx";
    const std::string memo160(160, 'm');
    std::vector<Row> rows = {
        {Day(2005, 3, 7), CheckTypeId, 2500, 1042, kStatusCleared, "Water & Power", "bill",
         groceries, RecordId{},
         "Type:Bank\t3/7/2005\t-25.00\t*\t1042\tWater & Power\tbill\tGroceries"},
        {Day(2005, 3, 8), DepositTypeId, 100000, 0, kStatusReconciled, payee32, memo160, dining,
         BusinessClassId,
         "Type:Bank\t3/8/2005\t1000.00\tX\tDEP\t" + payee32 + "\t" + memo160 +
             "\tFood:Dining/Business"},
        {Day(2005, 3, 9), AtmTypeId, 6000, 0, kStatusOpen, "Caf\xE9 \x80", "", RecordId{},
         RecordId{}, "Type:Bank\t3/9/2005\t-60.00\t\tATM\tCaf\xE9 \x80\t\t"},
        {Day(2005, 3, 10), WithdrawalTypeId, 1250, 0, kStatusVoid, "Shop", "", groceries,
         RecordId{}, "Type:Bank\t3/10/2005\t0\t\t\t**Void**Shop\t\tGroceries"},
        {Day(2005, 3, 11), WithdrawalTypeId, 20000, 0, kStatusOpen, "Transfer", "",
         savings.Header().GetId(), RecordId{},
         "Type:Bank\t3/11/2005\t-200.00\t\t\tTransfer\t\t[Savings]"},
        {Day(2005, 3, 12), WithdrawalTypeId, 10000, 0, kStatusOpen, "Market", "weekly",
         SplitMarkerId, RecordId{},
         "Type:Bank\t3/12/2005\t-100.00\t\t\tMarket\tweekly\t\tGroceries|food|-50.00\t"
         "Food:Dining/Business||-30.00\t[Savings]|aside|-15.00\t||-5.00"},
    };
    for (const Row& row : rows) {
        auto t = std::make_unique<CTransaction>();
        t->SetDate(row.date);
        t->SetTypeId(row.type);
        t->SetAmount(row.amount);
        t->SetCheckNumber(row.check);
        t->SetStatus(row.status);
        t->SetPayeeName(row.payee);
        t->SetMemo(row.memo);
        t->SetCategoryId(row.category);
        t->SetClassId(row.classId);
        if (row.category == SplitMarkerId) {
            t->SetSplitCategoryId(0, groceries);
            t->SetSplitAmount(0, 5000);
            t->SetSplitMemo(0, "food");
            t->SetSplitCategoryId(1, dining);
            t->SetSplitClassId(1, BusinessClassId);
            t->SetSplitAmount(1, 3000);
            t->SetSplitCategoryId(2, savings.Header().GetId());
            t->SetSplitAmount(2, 1500);
            t->SetSplitMemo(2, "aside");
        }
        checking.AddTransaction(std::move(t));
    }

    const std::string qif = JoinPath(work_, "ours.qif");
    CQIFExporter exporter;
    exporter.SetAccounts(set_.get());
    ASSERT_EQ(exporter.ExportAccount(qif, checking), 0);
    const std::string script = JoinPath(work_, "read.pl");
    const std::string out = JoinPath(work_, "read.txt");
    test::WriteFileBytes(script, kReadScript);
    ASSERT_EQ(RunCommand(std::string(kPerl) + " " + script + " " + qif, out), 0);
    // It parsed every line it met without a warning.
    EXPECT_EQ(test::ReadFileBytes(out + ".err"), "");

    const std::vector<std::string> got = Split(test::ReadFileBytes(out), '\n');
    ASSERT_EQ(got.size(), rows.size() + 1) << test::ReadFileBytes(out);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(got[i], rows[i].line);
    EXPECT_EQ(got.back(), "");
}

}  // namespace
}  // namespace tallowmere::exchange
