// The progress of imports and exports: told every 1,000 records, and what
// they read or write is the same with it as without it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "exchange/csv_exporter.h"
#include "exchange/csv_importer.h"
#include "exchange/desktop_load_options.h"
#include "exchange/exchange_test_world.h"
#include "exchange/ofx_importer.h"
#include "exchange/qif_exporter.h"
#include "exchange/qif_importer.h"
#include "model/list_test_items.h"
#include "support/test_env.h"

namespace tallowmere::exchange {
namespace {

using test::Day;

constexpr std::size_t kRows = 2500;
const std::vector<std::size_t> kCalls = {1000, 2000};

class RecordProgressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = test::MakeTempDir("progress");
        ASSERT_EQ(CAccounts::LoadInto(set_, folder_, DesktopLoadOptions(HeaderCipher::None())), 0);
        CAccount& checking = test::NamedAccount(*set_, "Checking");
        for (std::size_t i = 0; i < kRows; ++i) {
            auto t = std::make_unique<CTransaction>();
            t->SetDate(Day(2012, 1, 1) + static_cast<PalmTime>(i) * 3600);
            t->SetTypeId(i % 3 == 0 ? DepositTypeId : WithdrawalTypeId);
            t->SetAmount(static_cast<Cents>(100 + i));
            t->SetPayeeName("Payee " + std::to_string(i % 17));
            t->SetStatus(i % 4 == 0 ? kStatusCleared : kStatusOpen);
            if (i % 50 == 0) {
                t->SetCategoryId(SplitMarkerId);
                t->SetSplitCategoryId(0, RecordId::Fixed(0x6B));
                t->SetSplitAmount(0, 60);
                t->SetSplitCategoryId(1, RecordId::Fixed(0x6D));
                t->SetSplitAmount(1, static_cast<Cents>(40 + i));
            } else {
                t->SetCategoryId(RecordId::Fixed(0x6D));
            }
            checking.AddTransaction(std::move(t));
        }
        ASSERT_EQ(checking.Save(), 0);
    }

    // A progress that notes what it is told.
    RecordProgress Recorder() {
        return [this](std::size_t done) { calls_.push_back(done); };
    }

    std::string Export(CExporter& exporter, const CAccount& account, const std::string& name) {
        exporter.SetAccounts(set_.get());
        const std::string path = folder_ + "/" + name;
        EXPECT_EQ(exporter.ExportAccount(path, account), 0);
        return test::ReadFileBytes(path);
    }

    std::string folder_;
    std::unique_ptr<CAccounts> set_;
    std::vector<std::size_t> calls_;
    test::CapturingSink sink_;
};

struct Format {
    const char* name;
    std::function<std::unique_ptr<CExporter>()> exporter;
    std::function<std::unique_ptr<CImporter>()> importer;
};

const std::vector<Format>& Formats() {
    static const std::vector<Format> formats = {
        {"csv", [] { return std::make_unique<CCSVExporter>(); },
         [] { return std::make_unique<CCSVImporter>(); }},
        {"qif", [] { return std::make_unique<CQIFExporter>(); },
         [] { return std::make_unique<CQIFImporter>(); }},
    };
    return formats;
}

TEST_F(RecordProgressTest, ExportsAreToldEveryThousandRowsAndWriteTheSameBytes) {
    const CAccount& checking = test::NamedAccount(*set_, "Checking");
    for (const Format& f : Formats()) {
        SCOPED_TRACE(f.name);
        calls_.clear();
        const std::string plain = Export(*f.exporter(), checking, "plain.txt");
        auto watched = f.exporter();
        watched->SetProgress(Recorder());
        EXPECT_EQ(Export(*watched, checking, "watched.txt"), plain);
        EXPECT_EQ(calls_, kCalls);
        // Each export counts from the start.
        calls_.clear();
        Export(*watched, checking, "again.txt");
        EXPECT_EQ(calls_, kCalls);
    }
}

TEST_F(RecordProgressTest, ImportsAreToldEveryThousandRecordsAndReadTheSame) {
    const CAccount& checking = test::NamedAccount(*set_, "Checking");
    for (const Format& f : Formats()) {
        SCOPED_TRACE(f.name);
        calls_.clear();
        const std::string file = folder_ + "/export." + f.name;
        test::WriteFileBytes(file, Export(*f.exporter(), checking, std::string("x.") + f.name));

        CAccount& plainTarget = test::AddAccount(*set_, std::string("Plain ") + f.name);
        auto plain = f.importer();
        plain->SetAccounts(set_.get());
        plain->SetTargetAccount(&plainTarget);
        ASSERT_EQ(plain->Import(file), 0);

        CAccount& watchedTarget = test::AddAccount(*set_, std::string("Watched ") + f.name);
        auto watched = f.importer();
        watched->SetAccounts(set_.get());
        watched->SetTargetAccount(&watchedTarget);
        watched->SetProgress(Recorder());
        ASSERT_EQ(watched->Import(file), 0);
        EXPECT_EQ(calls_, kCalls);
        EXPECT_EQ(watched->GetImportedCount(), kRows);
        EXPECT_EQ(plain->GetImportedCount(), kRows);

        CCSVExporter csv;
        EXPECT_EQ(Export(csv, watchedTarget, "watched.csv"), Export(csv, plainTarget, "plain.csv"));
    }
    EXPECT_TRUE(sink_.reports.empty());
}

std::string StatementFile(std::size_t count) {
    std::string trns;
    for (std::size_t i = 0; i < count; ++i) {
        trns += "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240105<TRNAMT>-" + std::to_string(i + 1) +
                ".00<FITID>F" + std::to_string(i) + "<NAME>Shop</STMTTRN>";
    }
    return "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
           "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n"
           "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>"
           "<DTSERVER>20240131<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1><BANKMSGSRSV1>"
           "<STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS><STMTRS><CURDEF>USD"
           "<BANKACCTFROM><BANKID>1<ACCTID>9<ACCTTYPE>CHECKING</BANKACCTFROM><BANKTRANLIST>"
           "<DTSTART>20240101<DTEND>20240131" +
           trns +
           "</BANKTRANLIST><LEDGERBAL><BALAMT>1.00<DTASOF>20240131</LEDGERBAL></STMTRS>"
           "</STMTTRNRS></BANKMSGSRSV1></OFX>";
}

TEST_F(RecordProgressTest, OfxStatementsAreToldEveryThousandTransactions) {
    const std::string file = folder_ + "/statement.ofx";
    test::WriteFileBytes(file, StatementFile(kRows));
    CAccount& plainTarget = test::AddAccount(*set_, "Plain ofx");
    COFXImporter plain;
    plain.SetAccounts(set_.get());
    plain.SetTargetAccount(&plainTarget);
    ASSERT_EQ(plain.Import(file), 0);

    CAccount& watchedTarget = test::AddAccount(*set_, "Watched ofx");
    COFXImporter watched;
    watched.SetAccounts(set_.get());
    watched.SetTargetAccount(&watchedTarget);
    watched.SetProgress(Recorder());
    ASSERT_EQ(watched.Import(file), 0);
    EXPECT_EQ(calls_, kCalls);
    EXPECT_EQ(watched.GetImportedCount(), kRows);
    EXPECT_EQ(plain.GetImportedCount(), kRows);
    CCSVExporter csv;
    EXPECT_EQ(Export(csv, watchedTarget, "watched.csv"), Export(csv, plainTarget, "plain.csv"));
    EXPECT_TRUE(sink_.reports.empty());
}

}  // namespace
}  // namespace tallowmere::exchange
