// The program's CSV files: an account exported and imported back field by
// field, the rows of the layout, malformed files stopped with their line,
// transfers with their mirrors, and quoting written by Python's csv module.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "exchange/csv_exporter.h"
#include "exchange/csv_importer.h"
#include "exchange/exchange_test_world.h"
#include "model/currency.h"
#include "model/paths.h"
#include "platform/atomic_file.h"

namespace tallowmere::exchange {
namespace {

using test::Day;
using test::Line;
using test::SaveCounter;

class CsvTest : public test::LedgerTest<CCSVImporter> {
  protected:
    // Imports text from a file into target with the given formats.
    int ImportText(const std::string& text, CAccount& target, int layout = 1, int format = 0,
                   CCSVImporter* out = nullptr) {
        const std::string path = JoinPath(folder_, "in.csv");
        test::WriteFileBytes(path, text);
        CCSVImporter local(set_.get(), &target);
        CCSVImporter& importer = out ? *out : local;
        importer.SetAccounts(set_.get());
        importer.SetTargetAccount(&target);
        importer.SetDateLayout(layout);
        importer.SetNumberFormat(format);
        return importer.Import(path);
    }

    std::string Export(const CTransaction& t, int layout = 1, int format = 0) {
        CCSVExporter exporter(set_.get());
        exporter.SetDateLayout(layout);
        exporter.SetNumberFormat(format);
        return exporter.FormatRows(t);
    }
};

// Everything a CSV row keeps, for comparison.
void ExpectSameFields(const CTransaction& a, const CTransaction& b, bool transfer) {
    SCOPED_TRACE(a.GetPayeeName());
    const bool isVoid = (a.GetStatus() & kStatusMask) == kStatusVoid;
    const bool split = !isVoid && a.GetCategoryId() == SplitMarkerId;
    EXPECT_TRUE(IsSameDay(b.GetDate(), a.GetDate()));
    EXPECT_EQ(b.GetTypeId(), a.GetTypeId());
    EXPECT_EQ(b.GetAmount(), isVoid ? 0 : a.GetAmount());
    EXPECT_EQ(b.GetCheckNumber(), IsNumberedTypeId(a.GetTypeId()) ? a.GetCheckNumber() : 0u);
    EXPECT_EQ(b.GetPayeeName(), a.GetPayeeName());
    EXPECT_EQ(b.GetMemo(), a.GetMemo());
    EXPECT_EQ(b.GetStatus() & kStatusMask, a.GetStatus() & kStatusMask);
    EXPECT_EQ(b.GetCategoryId(), a.GetCategoryId());
    if (a.GetCategoryId() != SplitMarkerId) {
        EXPECT_EQ(b.GetClassId(), a.GetClassId());
    }
    for (std::size_t i = 0; i < kSplitLineCount; ++i) {
        EXPECT_EQ(b.GetSplitCategoryId(i), split ? a.GetSplitCategoryId(i) : RecordId{});
        EXPECT_EQ(b.GetSplitClassId(i), split ? a.GetSplitClassId(i) : RecordId{});
        EXPECT_EQ(b.GetSplitAmount(i), split ? a.GetSplitAmount(i) : 0);
        EXPECT_EQ(b.GetSplitMemo(i), split ? a.GetSplitMemo(i) : "");
    }
    EXPECT_EQ(!b.GetLinkedId().IsNull(), transfer);
}

TEST_F(CsvTest, AnExportedAccountImportsBackFieldByField) {
    CTransactionTypesList& types = set_->TransactionTypes();
    ASSERT_EQ(types.AddSorted(std::make_unique<CTransactionType>("Standing Order", true)), 0);
    const RecordId standing = types.GetAt(types.GetCount(false) - 1, false)->GetId();

    const std::string memo160 =
        "First line of a long memo\nsecond line, with a comma and \"quotes\" " +
        std::string(160 - 65, 'm');
    ASSERT_EQ(memo160.size(), 160u);
    const std::string payee32 = "A payee name of 32 characters xx";
    ASSERT_EQ(payee32.size(), 32u);

    CTransaction& check = Add(*checking_, Day(2005, 3, 7), CheckTypeId, 2500, "Water & Power",
                              "Utilities", kStatusCleared);
    check.SetCheckNumber(1042);
    Add(*checking_, Day(2005, 3, 8), WithdrawalTypeId, 1250, "Joe's \"Deli\", Downtown",
        "Dining/Business", kStatusReconciled);
    Add(*checking_, Day(2005, 3, 9), DepositTypeId, 100000, payee32,
        "Income:Salary and Wages/Personal", kStatusOpen, memo160);
    Add(*checking_, Day(2005, 3, 10), ChargeTypeId, 3000, "Bookshop", "Education");
    Add(*checking_, Day(2005, 3, 11), PaymentTypeId, 4000, "Card payment", "/Personal");
    Add(*checking_, Day(2005, 3, 12), AtmTypeId, 6000, "Cash");
    Add(*checking_, Day(2005, 3, 13), EftTypeId, 7000, "Rent", "Household");
    Add(*checking_, Day(2005, 3, 14), standing, 1500, "Gym", "Recreation");
    Add(*checking_, Day(2005, 3, 15), WithdrawalTypeId, 1250, "Shop", "Groceries", kStatusVoid);
    Add(*checking_, Day(2005, 3, 16), WithdrawalTypeId, 10000, "Market", "", kStatusCleared,
        "weekly",
        {{"Groceries", 6000, "food"},
         {"Household/Personal", 3000, ""},
         {"[Savings]", 1000, "put aside"}});
    Add(*checking_, Day(2005, 3, 17), WithdrawalTypeId, 20000, "Transfer", "[Savings]");
    Add(*checking_, Day(2005, 3, 18), DepositTypeId, 999, "Caf\xE9 M\xFCller \x80",
        "Auto:Fuel/Business", kStatusOpen, "\xC4rger \xDF");

    struct Formats {
        int layout, numberFormat;
    };
    for (const Formats f : {Formats{1, 0}, Formats{3, 1}, Formats{0, 0}, Formats{5, 1}}) {
        SCOPED_TRACE("layout " + std::to_string(f.layout));
        const std::string name = "Import " + std::to_string(f.layout);
        CAccount* target = &test::AddAccount(*set_, name);
        const std::string path = JoinPath(folder_, name + ".csv");
        CCSVExporter exporter(set_.get());
        exporter.SetDateLayout(f.layout);
        exporter.SetNumberFormat(f.numberFormat);
        ASSERT_EQ(exporter.ExportAccount(path, *checking_), 0);
        // The row of the long memo is far longer than 256 characters.
        const std::string file = test::ReadFileBytes(path);
        std::size_t longest = 0;
        for (std::size_t b = 0, e; (e = file.find("\r\n", b)) != std::string::npos; b = e + 2)
            longest = std::max(longest, e - b);
        EXPECT_GT(longest, 256u);

        const std::size_t savingsBefore = savings_->Transactions().size();
        CCSVImporter importer(set_.get(), target);
        importer.SetDateLayout(f.layout);
        importer.SetNumberFormat(f.numberFormat);
        {
            SaveCounter counter;
            ASSERT_EQ(importer.Import(path), 0);
            // The two mirrors in Savings: one save at the end.
            EXPECT_EQ(counter.saves, 1);
        }
        EXPECT_EQ(importer.GetFormatError(), 0);
        EXPECT_EQ(importer.GetImportedCount(), checking_->Transactions().size());
        EXPECT_EQ(importer.GetAccountName(), name);
        EXPECT_EQ(savings_->Transactions().size(), savingsBefore + 2);
        ASSERT_EQ(target->Save(), 0);

        // What the files hold now.
        auto reloaded = test::LoadDataSet(folder_);
        const CAccount& back = test::NamedAccount(*reloaded, name);
        ASSERT_EQ(back.Transactions().size(), checking_->Transactions().size());
        for (std::size_t i = 0; i < back.Transactions().size(); ++i) {
            const CTransaction& a = *checking_->Transactions()[i];
            ExpectSameFields(a, *back.Transactions()[i],
                             a.GetCategoryId() == savings_->Header().GetId());
        }
        EXPECT_EQ(test::NamedAccount(*reloaded, "Savings").Transactions().size(),
                  savingsBefore + 2);
        // The split line's transfer has its mirror too.
        const CTransaction& market = *back.Transactions()[9];
        EXPECT_FALSE(market.GetSplitLinkedId(2).IsNull());
    }
}

TEST_F(CsvTest, WritesTheRowsOfTheLayout) {
    const CTransaction& shop =
        Add(*checking_, Day(2005, 3, 7), WithdrawalTypeId, 1250, "Shop", "Dining", kStatusVoid);
    EXPECT_EQ(Export(shop),
              "\"3/7/2005\",\"W/D\",\"**Void**Shop\",\"Dining\",\"\",\"\",\"\",\"0\"\r\n");

    const CTransaction& split =
        Add(*checking_, Day(2005, 3, 8), WithdrawalTypeId, 10000, "Market", "", kStatusCleared, "",
            {{"Groceries", 6000, ""}, {"Household", 3000, "soap"}});
    const std::string rows =
        "\"3/8/2005\",\"W/D\",\"Market\",\"--SPLIT--\",\"\",\"Cleared\",\"\",\"-100.00\"\r\n"
        "\"\",\"\",\"\",\"Groceries\",\"\",\"\",\"-60.00\",\"\"\r\n"
        "\"\",\"\",\"\",\"Household\",\"soap\",\"\",\"-30.00\",\"\"\r\n"
        "\"\",\"\",\"\",\"\",\"\",\"\",\"-10.00\",\"\"\r\n";
    EXPECT_EQ(Export(split), rows);
    const std::string comma =
        "\"8/3/05\",\"W/D\",\"Market\",\"--SPLIT--\",\"\",\"Cleared\",\"\",\"-100,00\"\r\n";
    EXPECT_EQ(Export(split, 2, 1).substr(0, comma.size()), comma);

    // The rows read back as the withdrawal with three lines, the rest as
    // a line of its own.
    CAccount& target = test::AddAccount(*set_, "Target");
    ASSERT_EQ(ImportText(rows, target), 0);
    ASSERT_EQ(target.Transactions().size(), 1u);
    const CTransaction& t = *target.Transactions()[0];
    EXPECT_EQ(t.GetTypeId(), WithdrawalTypeId);
    EXPECT_EQ(t.GetAmount(), 10000);
    EXPECT_EQ(t.GetCategoryId(), SplitMarkerId);
    EXPECT_EQ(t.GetSplitAmount(0), 6000);
    EXPECT_EQ(t.GetSplitAmount(1), 3000);
    EXPECT_EQ(t.GetSplitMemo(1), "soap");
    EXPECT_EQ(t.GetSplitAmount(2), 1000);
    EXPECT_TRUE(t.GetSplitCategoryId(2).IsNull());
    EXPECT_EQ(t.GetSplitAmount(3), 0);

    // A check writes its number, a payee its quotes doubled.
    CTransaction& check = Add(*checking_, Day(2005, 3, 9), CheckTypeId, 500, "Joe's \"Deli\"", "",
                              kStatusReconciled, "two\r\nlines");
    check.SetCheckNumber(4000000000u);
    EXPECT_EQ(Export(check),
              "\"3/9/2005\",\"4000000000\",\"Joe's \"\"Deli\"\"\",\"\",\"two\vlines\","
              "\"Reconciled\",\"\",\"-5.00\"\r\n");
}

TEST_F(CsvTest, ReadsTypesAndDirections) {
    struct Case {
        const char* kind;
        const char* amount;
        RecordId type;
        Cents stored;
        std::uint32_t check;
    };
    const Case cases[] = {
        {"Dep", "-5.00", WithdrawalTypeId, 500, 0},  // a negative deposit goes out
        {"Dep", "5.00", DepositTypeId, 500, 0},
        {"W/D", "5.00", DepositTypeId, 500, 0},  // a positive withdrawal comes in
        {"W/D", "-5.00", WithdrawalTypeId, 500, 0},
        {"Chrg", "-1.00", ChargeTypeId, 100, 0},
        {"Charge", "-1.00", ChargeTypeId, 100, 0},  // by the type's name
        {"Pymt", "1.00", PaymentTypeId, 100, 0},
        {"Payment", "1.00", PaymentTypeId, 100, 0},
        {"ATM", "-2.00", AtmTypeId, 200, 0},
        {"EFT", "-2.00", EftTypeId, 200, 0},
        {"eft", "-2.00", WithdrawalTypeId, 200, 0},  // keywords keep their case
        {"1042", "-25.00", CheckTypeId, 2500, 1042},
        {"", "-25.00", WithdrawalTypeId, 2500, 0},
        {"", "0.00", DepositTypeId, 0, 0},
        {"Unknown", "3", DepositTypeId, 300, 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAccount& target = test::AddAccount(*set_, "Types " + std::to_string(++n));
        const std::string row = std::string("\"3/7/2005\",\"") + c.kind +
                                "\",\"P\",\"\",\"\",\"\",\"\",\"" + c.amount + "\"\r\n";
        ASSERT_EQ(ImportText(row, target), 0) << row;
        ASSERT_EQ(target.Transactions().size(), 1u) << row;
        const CTransaction& t = *target.Transactions()[0];
        EXPECT_EQ(t.GetTypeId(), c.type) << row;
        EXPECT_EQ(t.GetAmount(), c.stored) << row;
        EXPECT_EQ(t.GetCheckNumber(), c.check) << row;
    }
}

TEST_F(CsvTest, MalformedRowsStopTheImportAtTheirLine) {
    const std::string good = "\"3/7/2005\",\"W/D\",\"Good\",\"\",\"\",\"\",\"\",\"-1.00\"\r\n";
    const std::string splitHead =
        "\"3/8/2005\",\"W/D\",\"Split\",\"--SPLIT--\",\"\",\"\",\"\",\"-100.00\"\r\n";
    const auto splitRow = [](const std::string& amount, const std::string& category = "") {
        return "\"\",\"\",\"\",\"" + category + "\",\"\",\"\",\"" + amount + "\",\"\"\r\n";
    };
    std::string tenLines;
    for (int i = 0; i < 10; ++i)
        tenLines += splitRow("-9.00", "Dining");
    struct Case {
        std::string name, text;
        std::size_t line;  // 0: imports whole
        std::size_t imported;
    };
    const std::vector<Case> cases = {
        {"fewer fields", good + "\"3/7/2005\",\"W/D\",\"P\"\r\n", 2, 1},
        {"lower-case status", good + "\"3/7/2005\",\"\",\"P\",\"\",\"\",\"cleared\",\"\",\"1\"\r\n",
         2, 1},
        {"bad date", good + "\r\n\"13/45/2005\",\"\",\"P\",\"\",\"\",\"\",\"\",\"1\"\r\n", 3, 1},
        {"empty amount", good + "\"3/7/2005\",\"\",\"P\",\"\",\"\",\"\",\"\",\"\"\r\n", 2, 1},
        {"check number too large",
         good + "\"3/7/2005\",\"99999999999\",\"P\",\"\",\"\",\"\",\"\",\"1\"\r\n", 2, 1},
        {"unclosed quote", good + "\"3/7/2005\",\"\",\"P\",\"\",\"\",\"\",\"\",\"1", 2, 1},
        {"a bank's header line", "Date,Description,Amount\r\n" + good, 1, 0},
        {"ten lines and the remainder", splitHead + tenLines + splitRow("-10.00") + good, 0, 2},
        {"an eleventh line", good + splitHead + tenLines + splitRow("-10.00", "Dining"), 13, 1},
        {"an eleventh row beyond the amount", good + splitHead + tenLines + splitRow("-11.00"), 13,
         1},
        {"overshooting lines", good + splitHead + splitRow("-60.00") + splitRow("-60.00") + good, 4,
         1},
        {"lines that never add up", good + splitHead + splitRow("-60.00"), 4, 1},
        {"a split row without its amount", good + splitHead + splitRow(""), 3, 1},
        {"a transaction row as split row", good + splitHead + good, 3, 1},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAccount& target = test::AddAccount(*set_, "Malformed " + std::to_string(++n));
        test::RecordingSink sink;
        CCSVImporter importer;
        EXPECT_EQ(ImportText(c.text, target, 1, 0, &importer), 0);
        EXPECT_EQ(target.Transactions().size(), c.imported);
        EXPECT_EQ(importer.GetImportedCount(), c.imported);
        EXPECT_EQ(importer.GetFormatError(), c.line == 0 ? 0 : kCsvRowMalformed);
        EXPECT_EQ(importer.GetStopLine(), c.line);
        EXPECT_EQ(sink.Has(kStringImportStopped), c.line != 0);
        if (c.line != 0) {
            ASSERT_FALSE(sink.reports.empty());
            const ErrorReport& r = sink.reports[0];
            EXPECT_NE(r.text.find("in.csv"), std::string::npos) << r.text;
            EXPECT_NE(r.text.find("line " + std::to_string(c.line)), std::string::npos) << r.text;
        }
    }
}

TEST_F(CsvTest, TransferTextsMakeMirrorsAndAccounts) {
    CAccount& target = test::AddAccount(*set_, "Own");
    const auto row = [](const char* kind, const char* category, const char* amount) {
        return std::string("\"3/7/2005\",\"") + kind + "\",\"P\",\"" + category +
               "\",\"\",\"\",\"\",\"" + amount + "\"\r\n";
    };
    std::string text = row("Dep", "[Own]", "50.00");  // the opening-balance record of others
    for (int i = 0; i < 40; ++i)
        text += row("W/D", "[Savings]", "-1.00");
    text += row("Dep", "[savings]", "7.00");
    text += row("W/D", "[Brand New]", "-3.00");

    // Savings keeps another currency: its mirrors hold converted amounts.
    auto currency = std::make_unique<CCurrencyItem>("OHF");
    const CurrencyId ohf = set_->Currencies().NewCurrencyId();
    currency->SetCurrencyId(ohf);
    currency->SetRate(2.0);
    ASSERT_EQ(set_->Currencies().AddUniqueAndSave(currency), 0);
    savings_->Header().SetCurrencyId(ohf);

    const std::size_t savingsBefore = savings_->Transactions().size();
    struct Changes : CImporter::MTargetChooser {
        CAccount* ChooseImportAccount(CAccounts&, std::string_view) override { return nullptr; }
        void AccountsChanged() override { ++changes; }
        int changes = 0;
    } chooser;
    CCSVImporter importer;
    importer.SetTargetChooser(&chooser);
    {
        SaveCounter counter;
        ASSERT_EQ(ImportText(text, target, 1, 0, &importer), 0);
        // Savings and the new account, once each.
        EXPECT_EQ(counter.saves, 2);
    }
    EXPECT_EQ(chooser.changes, 1);
    ASSERT_EQ(target.Transactions().size(), 43u);
    // No transfer of the account into itself.
    const CTransaction& opening = *target.Transactions()[0];
    EXPECT_TRUE(opening.GetCategoryId().IsNull());
    EXPECT_TRUE(opening.GetLinkedId().IsNull());
    EXPECT_EQ(opening.GetAmount(), 5000);

    // The mirrors point the other way, each linked to its side.
    ASSERT_EQ(savings_->Transactions().size(), savingsBefore + 41);
    int deposits = 0, withdrawals = 0;
    for (const auto& m : savings_->Transactions()) {
        if (m->GetCategoryId() != target.Header().GetId())
            continue;
        (m->GetTypeId() == DepositTypeId ? deposits : withdrawals) += 1;
        EXPECT_EQ(m->GetAmount(), m->GetTypeId() == DepositTypeId ? 200 : 1400);
        const CTransaction* side = target.FindTransactionById(m->GetLinkedId());
        ASSERT_NE(side, nullptr);
        EXPECT_EQ(side->GetLinkedId(), m->GetId());
    }
    EXPECT_EQ(deposits, 40);
    EXPECT_EQ(withdrawals, 1);

    // The new account is in the folder with its mirror.
    ASSERT_EQ(target.Save(), 0);
    auto reloaded = test::LoadDataSet(folder_);
    const CAccount& made = test::NamedAccount(*reloaded, "Brand New");
    ASSERT_EQ(made.Transactions().size(), 1u);
    EXPECT_EQ(made.Transactions()[0]->GetAmount(), 300);
    EXPECT_EQ(test::NamedAccount(*reloaded, "Savings").Transactions().size(), savingsBefore + 41);
}

TEST_F(CsvTest, VoidsComeBackAsVoids) {
    const CTransaction& shop =
        Add(*checking_, Day(2005, 3, 7), CheckTypeId, 1250, "Shop", "", kStatusVoid);
    const_cast<CTransaction&>(shop).SetCheckNumber(7);
    CAccount& target = test::AddAccount(*set_, "Voids");
    ASSERT_EQ(ImportText(Export(shop), target), 0);
    ASSERT_EQ(target.Transactions().size(), 1u);
    const CTransaction& t = *target.Transactions()[0];
    EXPECT_EQ(t.GetPayeeName(), "Shop");
    EXPECT_EQ(t.GetStatus() & kStatusMask, kStatusVoid);
    EXPECT_EQ(t.GetAmount(), 0);
    EXPECT_EQ(t.GetTypeId(), CheckTypeId);
    EXPECT_EQ(t.GetCheckNumber(), 7u);
}

TEST_F(CsvTest, FilesThatCannotBeReadAreReported) {
    CCSVImporter importer(set_.get(), checking_);
    test::RecordingSink sink;
    EXPECT_EQ(importer.Import(JoinPath(folder_, "missing.csv")), 2);
    EXPECT_TRUE(sink.Has(kStringImportUnreadable));
    // An empty file holds nothing to import.
    test::WriteFileBytes(JoinPath(folder_, "empty.csv"), "");
    EXPECT_EQ(importer.Import(JoinPath(folder_, "empty.csv")), 0);
    EXPECT_EQ(importer.GetImportedCount(), 0u);
    EXPECT_EQ(importer.GetFormatError(), 0);
    EXPECT_EQ(importer.GetAccountName(), "empty");

    // An account that a transfer text names but that cannot get its file
    // stops the import there.
    test::WriteFileBytes(JoinPath(folder_, "Clash.wqm"), "x");
    const std::string good = "\"3/7/2005\",\"\",\"P\",\"\",\"\",\"\",\"\",\"1\"\r\n";
    const std::string clash = "\"3/7/2005\",\"\",\"P\",\"[Clash]\",\"\",\"\",\"\",\"1\"\r\n";
    CAccount& target = test::AddAccount(*set_, "Clashing");
    EXPECT_EQ(ImportText(good + clash + good, target, 1, 0, &importer), kAccountFileFailed);
    EXPECT_EQ(target.Transactions().size(), 1u);
    EXPECT_EQ(importer.GetFormatError(), kAccountFileFailed);
    EXPECT_EQ(importer.GetStopLine(), 2u);
    EXPECT_TRUE(sink.Has(kStringImportStopped));

    // Without a target in the data set nothing is added.
    CAccount stranger;
    CCSVImporter lost(set_.get(), &stranger);
    test::WriteFileBytes(JoinPath(folder_, "one.csv"), good);
    EXPECT_EQ(lost.Import(JoinPath(folder_, "one.csv")), kNoImportTarget);
    EXPECT_TRUE(stranger.Transactions().empty());
}

TEST_F(CsvTest, AmountsWithoutNumberAreCounted) {
    CAccount& target = test::AddAccount(*set_, "Amounts");
    test::RecordingSink sink;
    CCSVImporter importer;
    ASSERT_EQ(ImportText("\"3/7/2005\",\"\",\"P\",\"\",\"\",\"\",\"\",\"abc\"\r\n", target, 1, 0,
                         &importer),
              0);
    EXPECT_EQ(target.Transactions().size(), 1u);
    EXPECT_EQ(importer.GetUnreadAmountCount(), 1u);
    EXPECT_TRUE(sink.Has(kStringImportBadAmounts));
}

// Rows that Python's csv module writes, in UTF-8, with its own quoting.
TEST_F(CsvTest, ReadsQuotingWrittenByPythonsCsvModule) {
    if (std::system("python3 -c 'import csv' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 is not installed";
    const std::string script = JoinPath(folder_, "write.py");
    const std::string out = JoinPath(folder_, "python.csv");
    test::WriteFileBytes(script, R"(import csv, sys
rows = [
    ["3/7/2005", "W/D", "Joe's " + '"Deli"', "Dining", 'memo, with "quotes"', "", "", "-12.50"],
    ["3/8/2005", "Dep", "Caf\u00e9 M\u00fcller", "", "line one\nline two", "Cleared", "", "20.00"],
    ["3/9/2005", "", "Comma, Inc.", "Food:Lunch/Work", "", "", "", "-1,234.56"],
    ["3/10/2005", "1001", "  padded  ", "", "\r\nleading break", "Reconciled", "", "-3"],
]
with open(sys.argv[1], "w", newline="", encoding="utf-8") as f:
    csv.writer(f).writerows(rows)
    csv.writer(f, quoting=csv.QUOTE_ALL, lineterminator="\n").writerows(rows)
    csv.writer(f, quoting=csv.QUOTE_NONNUMERIC, lineterminator="\r").writerows(rows)
)");
    ASSERT_EQ(std::system(("python3 " + script + " " + out).c_str()), 0);

    CAccount& target = test::AddAccount(*set_, "Python");
    CCSVImporter importer(set_.get(), &target);
    ASSERT_EQ(importer.Import(out), 0);
    EXPECT_EQ(importer.GetFormatError(), 0);
    ASSERT_EQ(target.Transactions().size(), 12u);
    RecordId lunch, work;
    ASSERT_EQ(resolver_.ParseCategoryText("Food:Lunch/Work", lunch, &work), 0);
    {
        // Register order is by date: each writer's rows fall on the same days.
        std::vector<const CTransaction*> byDay[4];
        for (const auto& t : target.Transactions())
            byDay[DateFields::FromPalmTime(t->GetDate()).day - 7].push_back(t.get());
        for (const auto& day : byDay)
            ASSERT_EQ(day.size(), 3u);
        for (const CTransaction* t : byDay[0]) {
            EXPECT_EQ(t->GetPayeeName(), "Joe's \"Deli\"");
            EXPECT_EQ(t->GetMemo(), "memo, with \"quotes\"");
            EXPECT_EQ(t->GetAmount(), 1250);
            EXPECT_EQ(t->GetTypeId(), WithdrawalTypeId);
        }
        for (const CTransaction* t : byDay[1]) {
            EXPECT_EQ(t->GetPayeeName(), "Caf\xE9 M\xFCller");
            EXPECT_EQ(t->GetMemo(), "line one\nline two");
            EXPECT_EQ(t->GetStatus() & kStatusMask, kStatusCleared);
        }
        for (const CTransaction* t : byDay[2]) {
            EXPECT_EQ(t->GetPayeeName(), "Comma, Inc.");
            EXPECT_EQ(t->GetCategoryId(), lunch);
            EXPECT_EQ(t->GetClassId(), work);
            EXPECT_EQ(t->GetAmount(), 123456);
        }
        for (const CTransaction* t : byDay[3]) {
            EXPECT_EQ(t->GetTypeId(), CheckTypeId);
            EXPECT_EQ(t->GetCheckNumber(), 1001u);
            EXPECT_EQ(t->GetMemo(), "\nleading break");
            EXPECT_EQ(t->GetAmount(), 300);
        }
    }
}

}  // namespace
}  // namespace tallowmere::exchange
