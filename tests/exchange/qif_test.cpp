// QIF files: an account exported and imported back field by field, the lines
// of a record, the headers and lists a file may hold, account blocks and the
// chooser, signs and types, and files cut short or malformed, which stop with
// their line and keep what came before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/exchange_test_world.h"
#include "exchange/qif_exporter.h"
#include "exchange/qif_importer.h"
#include "model/paths.h"
#include "platform/atomic_file.h"

namespace tallowmere::exchange {
namespace {

using test::Day;
using test::FakeChooser;
using test::Line;
using test::SaveCounter;

class QifTest : public test::LedgerTest<CQIFImporter> {
  protected:
    // Imports text from a file into target (may be null) with the formats.
    int Import(const std::string& text, CAccount* target, CQIFImporter* out = nullptr,
               int layout = 1, int format = 0) {
        const std::string path = JoinPath(folder_, "Bank File.qif");
        test::WriteFileBytes(path, text);
        CQIFImporter local;
        CQIFImporter& importer = out ? *out : local;
        importer.SetAccounts(set_.get());
        importer.SetTargetAccount(target);
        importer.SetDateLayout(layout);
        importer.SetNumberFormat(format);
        if (!importer.GetTargetChooser())
            importer.SetTargetChooser(&chooser_);
        return importer.Import(path);
    }

    std::string Export(const CTransaction& t, int layout = 1, int format = 0) {
        const std::string path = JoinPath(folder_, "one.qif");
        CQIFExporter exporter;
        exporter.SetAccounts(set_.get());
        exporter.SetDateLayout(layout);
        exporter.SetNumberFormat(format);
        const CTransaction* list[] = {&t};
        EXPECT_EQ(exporter.ExportTransactions(path, *checking_, list), 0);
        return test::ReadFileBytes(path);
    }

    CAccount& Fresh(const std::string& name) { return test::AddAccount(*set_, name); }

    FakeChooser chooser_;
    test::RecordingSink sink_;
};

const CTransaction& Only(const CAccount& account) {
    EXPECT_EQ(account.Transactions().size(), 1u) << account.GetName();
    static const CTransaction none;
    return account.Transactions().empty() ? none : *account.Transactions().front();
}

// ------------------------------------------------------------- round trip

// What QIF keeps of a transaction: payment and charge types, and a numbered
// type with number 0, come back by the amount's sign.
RecordId TypeAfterRoundTrip(const CTransaction& t) {
    const RecordId type = t.GetTypeId();
    if (IsNumberedTypeId(type) && t.GetCheckNumber() != 0)
        return CheckTypeId;
    if (!IsOutflowTypeId(type))
        return DepositTypeId;
    if (type == AtmTypeId || type == EftTypeId)
        return type;
    return WithdrawalTypeId;
}

void ExpectSameFields(const CTransaction& a, const CTransaction& b, bool transfer) {
    SCOPED_TRACE(a.GetPayeeName());
    const bool isVoid = (a.GetStatus() & kStatusMask) == kStatusVoid;
    const bool split = !isVoid && a.GetCategoryId() == SplitMarkerId;
    EXPECT_TRUE(IsSameDay(b.GetDate(), a.GetDate()));
    EXPECT_EQ(b.GetTypeId(), TypeAfterRoundTrip(a));
    EXPECT_EQ(b.GetAmount(), isVoid ? 0 : a.GetAmount());
    EXPECT_EQ(b.GetCheckNumber(), IsNumberedTypeId(a.GetTypeId()) ? a.GetCheckNumber() : 0u);
    EXPECT_EQ(b.GetPayeeName(), a.GetPayeeName());
    EXPECT_EQ(b.GetMemo(), a.GetMemo());
    EXPECT_EQ(b.GetStatus() & kStatusMask, a.GetStatus() & kStatusMask);
    EXPECT_EQ(b.GetCategoryId(),
              isVoid && a.GetCategoryId() == SplitMarkerId ? RecordId{} : a.GetCategoryId());
    EXPECT_EQ(b.GetClassId(), a.GetClassId());
    // The lines of a, then one for what they do not cover.
    Cents covered = 0;
    std::size_t lines = 0;
    for (std::size_t i = 0; split && i < kSplitLineCount; ++i) {
        if (a.GetSplitAmount(i) == 0)
            continue;
        EXPECT_EQ(b.GetSplitCategoryId(lines), a.GetSplitCategoryId(i));
        EXPECT_EQ(b.GetSplitClassId(lines), a.GetSplitClassId(i));
        EXPECT_EQ(b.GetSplitAmount(lines), a.GetSplitAmount(i));
        EXPECT_EQ(b.GetSplitMemo(lines), a.GetSplitMemo(i));
        covered += a.GetSplitAmount(i);
        ++lines;
    }
    if (split && covered != a.GetAmount()) {
        EXPECT_TRUE(b.GetSplitCategoryId(lines).IsNull());
        EXPECT_EQ(b.GetSplitAmount(lines), a.GetAmount() - covered);
        ++lines;
    }
    for (std::size_t i = lines; i < kSplitLineCount; ++i) {
        EXPECT_TRUE(b.GetSplitCategoryId(i).IsNull());
        EXPECT_EQ(b.GetSplitAmount(i), 0);
        EXPECT_EQ(b.GetSplitMemo(i), "");
    }
    EXPECT_EQ(!b.GetLinkedId().IsNull(), transfer);
}

TEST_F(QifTest, AnExportedAccountImportsBackFieldByField) {
    const std::string memo160 =
        "First line of a long memo\nsecond line: ^ and !Type:Cat stay text " +
        std::string(160 - 65, 'm');
    ASSERT_EQ(memo160.size(), 160u);
    const std::string payee32 = "A payee name of 32 characters xx";
    ASSERT_EQ(payee32.size(), 32u);

    CTransaction& check = Add(*checking_, Day(2005, 3, 7), CheckTypeId, 2500, "Water & Power",
                              "Utilities", kStatusCleared);
    check.SetCheckNumber(1042);
    Add(*checking_, Day(2005, 3, 8), WithdrawalTypeId, 1250, "Joe's \"Deli\", Downtown",
        "Dining/Business", kStatusReconciled);
    Add(*checking_, Day(2005, 3, 9), DepositTypeId, 100000, payee32, "Food:Salary/Personal",
        kStatusOpen, memo160);
    Add(*checking_, Day(2005, 3, 10), ChargeTypeId, 3000, "Bookshop", "Education");
    Add(*checking_, Day(2005, 3, 11), PaymentTypeId, 4000, "Card payment", "/Personal");
    Add(*checking_, Day(2005, 3, 12), AtmTypeId, 6000, "Cash");
    Add(*checking_, Day(2005, 3, 13), EftTypeId, 7000, "Rent", "Household");
    Add(*checking_, Day(2005, 3, 15), WithdrawalTypeId, 1250, "Shop", "Groceries", kStatusVoid);
    Add(*checking_, Day(2005, 3, 16), WithdrawalTypeId, 10000, "Market", "/Business",
        kStatusCleared, "weekly",
        {{"Groceries", 5000, "food"},
         {"Household/Personal", 3000, ""},
         {"[Savings]", 2000, "put aside"}});
    Add(*checking_, Day(2005, 3, 17), WithdrawalTypeId, 10000, "Hardware", "", kStatusOpen, "",
        {{"Household", 6000, "paint"}, {"Gifts", 3000, "vase"}});
    Add(*checking_, Day(2005, 3, 18), WithdrawalTypeId, 20000, "Transfer", "[Savings]");
    Add(*checking_, Day(2005, 3, 19), DepositTypeId, 999, "Caf\xE9 M\xFCller \x80",
        "Auto:Fuel/Business", kStatusOpen, "\xC4rger \xDF");
    CTransaction& zero = Add(*checking_, Day(2005, 3, 20), CheckTypeId, 500, "No number");
    zero.SetCheckNumber(0);

    struct Formats {
        int layout, numberFormat;
    };
    for (const Formats f : {Formats{1, 0}, Formats{3, 1}, Formats{0, 0}, Formats{5, 1}}) {
        SCOPED_TRACE("layout " + std::to_string(f.layout));
        const std::string name = "Import " + std::to_string(f.layout);
        CAccount& target = Fresh(name);
        const std::string path = JoinPath(folder_, name + ".qif");
        CQIFExporter exporter;
        exporter.SetAccounts(set_.get());
        exporter.SetDateLayout(f.layout);
        exporter.SetNumberFormat(f.numberFormat);
        ASSERT_EQ(exporter.ExportAccount(path, *checking_), 0);
        const std::string file = test::ReadFileBytes(path);
        EXPECT_TRUE(file.starts_with("!Type:Bank\r\n")) << file.substr(0, 20);

        const std::size_t savingsBefore = savings_->Transactions().size();
        CQIFImporter importer(set_.get(), &target);
        importer.SetDateLayout(f.layout);
        importer.SetNumberFormat(f.numberFormat);
        ASSERT_EQ(importer.Import(path), 0);
        EXPECT_EQ(importer.GetFormatError(), 0);
        EXPECT_EQ(importer.GetUnreadAmountCount(), 0u);
        EXPECT_TRUE(sink_.reports.empty()) << sink_.reports.front().text;

        ASSERT_EQ(target.Transactions().size(), checking_->Transactions().size());
        for (std::size_t i = 0; i < target.Transactions().size(); ++i) {
            const CTransaction& a = *checking_->Transactions()[i];
            const bool transfer = a.GetCategoryId() == savings_->Header().GetId();
            ExpectSameFields(a, *target.Transactions()[i], transfer);
        }
        // The transfer and the split line to Savings each got a mirror there.
        EXPECT_EQ(savings_->Transactions().size(), savingsBefore + 2);
    }
}

TEST_F(QifTest, RecordLinesAreWrittenInTheirOrder) {
    CTransaction& check = Add(*checking_, Day(2005, 3, 7), CheckTypeId, 2500, "Water & Power",
                              "Utilities", kStatusCleared, "bill");
    check.SetCheckNumber(1042);
    EXPECT_EQ(Export(check),
              "!Type:Bank\r\nD3/7/2005\r\nT-25.00\r\nC*\r\nN1042\r\nPWater & Power\r\n"
              "Mbill\r\nLUtilities\r\n^\r\n");

    const CTransaction& split =
        Add(*checking_, Day(2005, 3, 8), WithdrawalTypeId, 10000, "Market", "", kStatusReconciled,
            "", {{"Groceries", 6000, "food"}, {"[Savings]", 3000, ""}});
    EXPECT_EQ(Export(split, 4, 1),
              "!Type:Bank\r\nD05/3/8\r\nT-100,00\r\nCX\r\nPMarket\r\nL\r\n"
              "SGroceries\r\nEfood\r\n$-60,00\r\nS[Savings]\r\nE\r\n$-30,00\r\nS\r\n$-10,00\r\n"
              "^\r\n");

    const CTransaction& v = Add(*checking_, Day(2005, 3, 9), WithdrawalTypeId, 1250, "Shop", "",
                                kStatusVoid, "", {{"Groceries", 1250, ""}});
    EXPECT_EQ(Export(v), "!Type:Bank\r\nD3/9/2005\r\nT0\r\nP**Void**Shop\r\nL\r\n^\r\n");

    struct TypeLine {
        RecordId type;
        const char* line;  // the N line, or empty
    };
    for (const TypeLine& row :
         {TypeLine{DepositTypeId, "NDEP\r\n"}, TypeLine{PaymentTypeId, "NDEP\r\n"},
          TypeLine{AtmTypeId, "NATM\r\n"}, TypeLine{EftTypeId, "NEFT\r\n"},
          TypeLine{WithdrawalTypeId, ""}, TypeLine{ChargeTypeId, ""}}) {
        const CTransaction& t = Add(*checking_, Day(2005, 3, 10), row.type, 100, "X");
        const std::string text = Export(t);
        EXPECT_EQ(text.find("\r\nN") != std::string::npos, *row.line != '\0') << text;
        if (*row.line) {
            EXPECT_NE(text.find(row.line), std::string::npos) << text;
        }
    }

    // A card account writes its own header.
    CAccount& card = test::NamedAccount(*set_, "Visa");
    CQIFExporter exporter;
    exporter.SetAccounts(set_.get());
    const std::string path = JoinPath(folder_, "card.qif");
    ASSERT_EQ(exporter.ExportAccount(path, card), 0);
    EXPECT_EQ(test::ReadFileBytes(path), "!Type:CCard\r\n");
}

TEST_F(QifTest, TypeHeadersFollowTheAccountKind) {
    struct Row {
        std::uint8_t type;
        const char* header;
    };
    const std::string path = JoinPath(folder_, "h.qif");
    for (const Row& row :
         {Row{kChecking, "!Type:Bank\r\n"}, Row{kSavings, "!Type:Bank\r\n"},
          Row{kCash, "!Type:Cash\r\n"}, Row{kCreditCard, "!Type:CCard\r\n"},
          Row{kAsset, "!Type:Oth A\r\n"}, Row{kLiability, "!Type:Oth L\r\n"},
          Row{kMoneyMarket, "!Type:Bank\r\n"}, Row{kLineOfCredit, "!Type:Bank\r\n"}}) {
        CQIFExporter exporter;
        ASSERT_EQ(exporter.OpenOutputFile(path, true), 0);
        ASSERT_EQ(exporter.WriteTypeHeader(row.type), 0);
        ASSERT_EQ(exporter.CloseFileHandle(), 0);
        EXPECT_EQ(test::ReadFileBytes(path), row.header);
    }
}

// ------------------------------------------------------------- import

TEST_F(QifTest, SignsDecideTheDirection) {
    struct Row {
        const char* lines;  // N and T lines
        RecordId type;
        Cents amount;
        std::uint32_t check;
    };
    const Row rows[] = {
        {"NDEP\nT-5.00", WithdrawalTypeId, 500, 0},  // a reversed deposit
        {"NDEP\nT5.00", DepositTypeId, 500, 0},
        {"NATM\nT5.00", DepositTypeId, 500, 0},  // a refund at the machine
        {"NATM\nT-5.00", AtmTypeId, 500, 0},
        {"NEFT\nT-7.00", EftTypeId, 700, 0},
        {"NEFT\nT7.00", DepositTypeId, 700, 0},
        {"N1042\nT-25.00", CheckTypeId, 2500, 1042},
        {"N1042\nT25.00", DepositTypeId, 2500, 1042},  // a refunded check
        {"N1042\nT0", CheckTypeId, 0, 1042},
        {"T-5.00", WithdrawalTypeId, 500, 0},
        {"T5.00", DepositTypeId, 500, 0},
        {"T0.00", WithdrawalTypeId, 0, 0},
        {"N0\nT-3.00", WithdrawalTypeId, 300, 0},
        {"NPrint\nT-3.00", WithdrawalTypeId, 300, 0},
        {"N1234567890\nT-3.00", WithdrawalTypeId, 300, 0},  // too long for a number
        {"T-1,234.56", WithdrawalTypeId, 123456, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.lines);
        CAccount& target = Fresh("Signs " + std::to_string(&row - rows));
        ASSERT_EQ(Import(std::string("!Type:Bank\nD3/7/2005\n") + row.lines + "\nPX\n^\n", &target),
                  0);
        const CTransaction& t = Only(target);
        EXPECT_EQ(t.GetTypeId(), row.type);
        EXPECT_EQ(t.GetAmount(), row.amount);
        EXPECT_EQ(t.GetCheckNumber(), row.check);
    }
}

TEST_F(QifTest, SplitLinesAreStoredAsMagnitudes) {
    CAccount& target = Fresh("Target");
    ASSERT_EQ(Import("!Type:Bank\nD3/7/2005\nT-100.00\nPMarket\nLFood\n"
                     "SGroceries\nEfood\n$-60.00\nSHousehold/Personal\n$-40.00\n^\n",
                     &target),
              0);
    const CTransaction& t = Only(target);
    EXPECT_EQ(t.GetTypeId(), WithdrawalTypeId);
    EXPECT_EQ(t.GetAmount(), 10000);
    EXPECT_EQ(t.GetCategoryId(), SplitMarkerId);
    EXPECT_EQ(t.GetSplitAmount(0), 6000);
    EXPECT_EQ(t.GetSplitMemo(0), "food");
    EXPECT_EQ(t.GetSplitCategoryId(0), Category("Groceries"));
    EXPECT_EQ(t.GetSplitAmount(1), 4000);
    EXPECT_EQ(t.GetSplitClassId(1), PersonalClassId);

    // Eleven lines: the eleventh is not kept.
    std::string eleven = "!Type:Bank\nD3/7/2005\nT-11.00\nPMany\n";
    for (int i = 0; i < 11; ++i)
        eleven += "SLine " + std::to_string(i) + "\nE" + std::to_string(i) + "\n$-1.00\n";
    CAccount& many = Fresh("Many");
    ASSERT_EQ(Import(eleven + "^\n", &many), 0);
    const CTransaction& m = Only(many);
    for (std::size_t i = 0; i < kSplitLineCount; ++i) {
        EXPECT_EQ(m.GetSplitAmount(i), 100);
        EXPECT_EQ(m.GetSplitMemo(i), std::to_string(i));
    }
    EXPECT_TRUE(set_->Categories().FindOrCreateByPath("Line 10", false).IsNull());
}

TEST_F(QifTest, FilesWithAndWithoutHeaders) {
    // No header at all: transactions for the target; CR-only line ends.
    CAccount& plain = Fresh("Plain");
    ASSERT_EQ(Import("D1/ 5'05\rT-1.00\rPOne\r^\rD1/6/2005\rT2.00\rPTwo\r^\r", &plain), 0);
    ASSERT_EQ(plain.Transactions().size(), 2u);
    EXPECT_TRUE(IsSameDay(plain.Transactions()[0]->GetDate(), Day(2005, 1, 5)));
    EXPECT_EQ(plain.Transactions()[1]->GetPayeeName(), "Two");

    // Lines have no length limit: what follows a long line is read as usual.
    CAccount& longLines = Fresh("Long");
    ASSERT_EQ(Import("!Type:Bank\nD3/7/2005\nP" + std::string(400, 'p') + "\nM" +
                         std::string(300, 'm') + "\nT-4.00\nLGroceries\n^\n",
                     &longLines),
              0);
    EXPECT_EQ(Only(longLines).GetPayeeName(), std::string(32, 'p'));
    EXPECT_EQ(Only(longLines).GetMemo(), std::string(160, 'm'));
    EXPECT_EQ(Only(longLines).GetAmount(), 400);
    EXPECT_EQ(Only(longLines).GetCategoryId(), Category("Groceries"));

    // A list of transactions, then categories and classes: the header after
    // the last record is read as a header.
    CAccount& mixed = Fresh("Mixed");
    ASSERT_EQ(
        Import("!Type:Bank\r\n!Option:AllXfr\r\nD3/7/2005\r\nT-1.00\r\nPA\r\n^\r\n"
               "!Type:Cat\r\nNTravel:Trains\r\nDdescription\r\nE\r\n^\r\nNPets\r\nI\r\n^\r\n"
               "!Type:Class\r\nNProject X\r\nDthe project\r\n^\r\n"
               "!Type:CCard\r\nD3/8/2005\r\nT-2.00\r\nPB\r\nLTravel:Trains/Project X\r\n^\r\n",
               &mixed),
        0);
    ASSERT_EQ(mixed.Transactions().size(), 2u);
    const RecordId trains = set_->Categories().FindOrCreateByPath("Travel:Trains", false);
    EXPECT_FALSE(trains.IsNull());
    EXPECT_FALSE(set_->Categories().FindOrCreateByPath("Pets", false).IsNull());
    const CClassItem* project = set_->Classes().FindByName("Project X");
    ASSERT_NE(project, nullptr);
    EXPECT_EQ(mixed.Transactions()[1]->GetCategoryId(), trains);
    EXPECT_EQ(mixed.Transactions()[1]->GetClassId(), project->GetId());

    // Other programs begin with an option and list their accounts: the
    // first account's name and balance are read, the rest passed over.
    CQIFImporter importer;
    ASSERT_EQ(Import("!Option:AutoSwitch\n!Account\nNChecking\nTBank\nB10.00\n^\n"
                     "NVisa\nTCCard\n^\n!Clear:AutoSwitch\n"
                     "!Account\nNChecking\nTBank\n^\n!Type:Bank\nD3/9/2005\nT-3.00\nPC\n^\n"
                     "!Type:Memorized\nKC\nPMemorised\nT-5.00\n^\n",
                     nullptr, &importer),
              0);
    EXPECT_TRUE(chooser_.asked.empty());
    ASSERT_EQ(checking_->Transactions().size(), 1u);
    EXPECT_EQ(checking_->Transactions()[0]->GetPayeeName(), "C");
    EXPECT_EQ(checking_->Header().GetOpeningBalance(), 0) << "an existing account keeps its own";
    EXPECT_TRUE(sink_.reports.empty());
}

TEST_F(QifTest, AccountBlocksChooseTheTarget) {
    const std::string text =
        "!Account\nNchecking\nTBank\n^\n!Type:Bank\nD3/7/2005\nT-1.00\nPIn checking\n^\n"
        "!Account\nNBrokerage Cash\nTBank\nB250.00\n^\n!Type:Bank\nD3/8/2005\nT2.00\nPIn new\n^\n";
    CQIFImporter importer;
    const std::string path = JoinPath(folder_, "two.qif");
    test::WriteFileBytes(path, text);
    EXPECT_TRUE(importer.NamesOwnAccounts(path));
    ASSERT_EQ(Import(text, nullptr, &importer), 0);
    EXPECT_EQ(chooser_.asked, std::vector<std::string>{"Brokerage Cash"});
    EXPECT_EQ(Only(*checking_).GetPayeeName(), "In checking");
    CAccount& made = test::NamedAccount(*set_, "Brokerage Cash");
    EXPECT_EQ(Only(made).GetPayeeName(), "In new");
    // A new account takes the block's balance as its opening balance.
    EXPECT_EQ(made.Header().GetOpeningBalance(), 25000);
    EXPECT_EQ(made.GetBalance(0), 25200);

    // Both were saved.
    std::unique_ptr<CAccounts> again = test::LoadDataSet(folder_);
    EXPECT_EQ(test::NamedAccount(*again, "Checking").Transactions().size(), 1u);
    EXPECT_EQ(test::NamedAccount(*again, "Brokerage Cash").Transactions().size(), 1u);

    const std::string headerless = JoinPath(folder_, "plain.qif");
    test::WriteFileBytes(headerless, "!Type:Bank\nD3/7/2005\nT1\n^\n");
    EXPECT_FALSE(importer.NamesOwnAccounts(headerless));
}

TEST_F(QifTest, ACancelledChoiceEndsTheImportAndKeepsTheAccountsFilled) {
    chooser_.cancel = true;
    ASSERT_EQ(Import("!Account\nNChecking\n^\n!Type:Bank\nD3/7/2005\nT-1.00\nPFirst\n^\n"
                     "!Account\nNNowhere\n^\n!Type:Bank\nD3/8/2005\nT-2.00\nPSecond\n^\n",
                     nullptr),
              0);
    EXPECT_EQ(chooser_.asked, std::vector<std::string>{"Nowhere"});
    EXPECT_EQ(set_->FindAccountByName("Nowhere"), nullptr);
    std::unique_ptr<CAccounts> again = test::LoadDataSet(folder_);
    EXPECT_EQ(Only(test::NamedAccount(*again, "Checking")).GetPayeeName(), "First");
    EXPECT_FALSE(sink_.Has(kStringImportStopped)) << "cancelling is not a fault of the file";
}

TEST_F(QifTest, TransfersNameOtherAccountsButNeverTheTarget) {
    CAccount& target = Fresh("Own");
    const std::size_t savingsBefore = savings_->Transactions().size();
    SaveCounter counter;
    ASSERT_EQ(Import("!Type:Bank\nD1/1/2005\nT500.00\nCX\nPOpening Balance\nL[Own]\n^\n"
                     "D1/2/2005\nT-20.00\nPTo savings\nL[Savings]\n^\n"
                     "D1/3/2005\nT-30.00\nPAgain\nL[savings]/Business\n^\n"
                     "D1/4/2005\nT-40.00\nPTo a new one\nL[Holiday Fund]\n^\n",
                     &target),
              0);
    ASSERT_EQ(target.Transactions().size(), 4u);
    const CTransaction& opening = *target.Transactions()[0];
    EXPECT_TRUE(opening.GetCategoryId().IsNull());
    EXPECT_TRUE(opening.GetLinkedId().IsNull());
    EXPECT_EQ(opening.GetAmount(), 50000);
    EXPECT_EQ(target.GetBalance(0), 50000 - 2000 - 3000 - 4000);

    EXPECT_EQ(savings_->Transactions().size(), savingsBefore + 2);
    EXPECT_EQ(target.Transactions()[2]->GetClassId(), BusinessClassId);
    CAccount& made = test::NamedAccount(*set_, "Holiday Fund");
    EXPECT_EQ(Only(made).GetAmount(), 4000);
    EXPECT_FALSE(Only(made).IsOutflow());
    // The target, Savings and the new account: each written once.
    EXPECT_EQ(counter.saves, 3);
}

// Every transfer of account has its counterpart in the other account,
// linked both ways: a whole transfer its mirror, a split line its copy.
void ExpectLinked(CAccounts& set, const CAccount& account) {
    const RecordId self = account.Header().GetId();
    for (const auto& t : account.Transactions()) {
        SCOPED_TRACE(account.GetName() + ": " + t->GetPayeeName());
        if (t->GetCategoryId() == SplitMarkerId) {
            for (std::size_t line = 0; line < kSplitLineCount; ++line) {
                CAccount* other = set.FindAccountById(t->GetSplitCategoryId(line));
                if (!other)
                    continue;
                const CTransaction* copy = other->FindTransactionById(t->GetSplitLinkedId(line));
                ASSERT_NE(copy, nullptr) << "line " << line;
                EXPECT_EQ(copy->GetLinkedId(), t->GetId());
                EXPECT_EQ(copy->GetSplitIndex(), line);
                EXPECT_EQ(copy->GetCategoryId(), self);
            }
            continue;
        }
        CAccount* other = set.FindAccountById(t->GetCategoryId());
        if (!other)
            continue;
        const CTransaction* mirror = other->FindTransactionById(t->GetLinkedId());
        ASSERT_NE(mirror, nullptr);
        if (t->IsSplitTransferCopy()) {
            EXPECT_EQ(mirror->GetSplitCategoryId(t->GetSplitIndex()), self);
            EXPECT_EQ(mirror->GetSplitLinkedId(t->GetSplitIndex()), t->GetId());
        } else {
            EXPECT_EQ(mirror->GetCategoryId(), self);
            EXPECT_EQ(mirror->GetLinkedId(), t->GetId());
        }
    }
}

// Checking and Savings exported together, as other programs write them:
// each transfer is listed in both accounts, except one on each side. By
// hand, Checking: -100 -100 -80 (30 groceries, 50 saved) -20 +500, and +25
// that only Savings lists, = 225.00; Savings: +100 +100 +50 (the split's
// line) -25 +3, and +20 that only Checking lists, = 248.00.
const char kCheckingBlock[] =
    "!Account\nNChecking\nTBank\n^\n!Type:Bank\n"
    "D1/5/2024\nT-100.00\nPTo savings\nL[Savings]\n^\n"
    "D1/5/2024\nT-100.00\nPTo savings again\nL[Savings]\n^\n"
    "D1/10/2024\nT-80.00\nCX\nN1001\nPShop and save\n"
    "SGroceries\n$-30.00\nS[Savings]\nEput aside\n$-50.00\n^\n"
    "D1/12/2024\nT-20.00\nPOnly here\nL[Savings]\n^\n"
    "D1/15/2024\nT500.00\nPPay\nLSalary\n^\n";
const char kSavingsBlock[] =
    "!Account\nNSavings\nTBank\n^\n!Type:Bank\n"
    "D1/5/2024\nT100.00\nC*\nPFrom checking\nMFirst copy\nL[Checking]\n^\n"
    "D1/5/2024\nT100.00\nN77\nPFrom checking\nMSecond copy\nL[Checking]\n^\n"
    "D1/10/2024\nT50.00\nPFrom the split\nL[Checking]\n^\n"
    "D1/20/2024\nT-25.00\nPOnly there\nL[Checking]\n^\n"
    "D1/21/2024\nT3.00\nPInterest\nLInterest\n^\n";

TEST_F(QifTest, TransfersListedInBothAccountsAreBookedOnce) {
    const struct {
        const char* order;
        std::string text;
        std::size_t imported;
    } cases[] = {
        {"Checking first", std::string(kCheckingBlock) + kSavingsBlock, 7},
        {"Savings first", std::string(kSavingsBlock) + kCheckingBlock, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.order);
        folder_ = test::MakeTempDir("both");
        set_ = test::LoadDataSet(folder_);
        CAccount& checking = test::NamedAccount(*set_, "Checking");
        CAccount& savings = test::NamedAccount(*set_, "Savings");
        ASSERT_TRUE(checking.Transactions().empty());
        ASSERT_TRUE(savings.Transactions().empty());
        CQIFImporter importer;
        ASSERT_EQ(Import(c.text, nullptr, &importer), 0);
        EXPECT_TRUE(sink_.reports.empty());
        EXPECT_EQ(importer.GetImportedCount(), c.imported);

        EXPECT_EQ(checking.GetBalance(0), 22500);
        EXPECT_EQ(savings.GetBalance(0), 24800);
        EXPECT_EQ(checking.Transactions().size(), 6u);
        EXPECT_EQ(savings.Transactions().size(), 6u);
        ExpectLinked(*set_, checking);
        ExpectLinked(*set_, savings);

        // Read back from the files.
        std::unique_ptr<CAccounts> again = test::LoadDataSet(folder_);
        EXPECT_EQ(test::NamedAccount(*again, "Checking").GetBalance(0), 22500);
        EXPECT_EQ(test::NamedAccount(*again, "Savings").GetBalance(0), 24800);
        ExpectLinked(*again, test::NamedAccount(*again, "Checking"));
        ExpectLinked(*again, test::NamedAccount(*again, "Savings"));
    }
}

TEST_F(QifTest, TheSecondCopyGivesTheMirrorItsOwnFields) {
    // Checking first: Savings holds the mirrors, which take what Savings
    // listed, the two equal transfers oldest first.
    ASSERT_EQ(Import(std::string(kCheckingBlock) + kSavingsBlock, nullptr), 0);
    std::vector<const CTransaction*> fifth;
    for (const auto& t : savings_->Transactions()) {
        if (IsSameDay(t->GetDate(), Day(2024, 1, 5)))
            fifth.push_back(t.get());
    }
    ASSERT_EQ(fifth.size(), 2u);
    // The first made is the one linked to the first Checking record.
    const CTransaction* first = checking_->FindTransactionById(fifth[0]->GetLinkedId());
    ASSERT_NE(first, nullptr);
    if (first->GetPayeeName() != "To savings")
        std::swap(fifth[0], fifth[1]);
    EXPECT_EQ(fifth[0]->GetStatus() & kStatusMask, kStatusCleared);
    EXPECT_EQ(fifth[0]->GetMemo(), "First copy");
    EXPECT_EQ(fifth[0]->GetCheckNumber(), 0u);
    EXPECT_EQ(fifth[1]->GetStatus() & kStatusMask, kStatusOpen);
    EXPECT_EQ(fifth[1]->GetMemo(), "Second copy");
    EXPECT_EQ(fifth[1]->GetCheckNumber(), 77u);
    EXPECT_EQ(savings_->GetBalance(1), 10000);  // only the first is cleared

    // Savings first: the split line takes Savings' own transaction as its
    // copy, which keeps what Savings listed.
    folder_ = test::MakeTempDir("split");
    set_ = test::LoadDataSet(folder_);
    ASSERT_EQ(Import(std::string(kSavingsBlock) + kCheckingBlock, nullptr), 0);
    CAccount& checking = test::NamedAccount(*set_, "Checking");
    CAccount& savings = test::NamedAccount(*set_, "Savings");
    const CTransaction* split = nullptr;
    for (const auto& t : checking.Transactions()) {
        if (t->GetCategoryId() == SplitMarkerId)
            split = t.get();
    }
    ASSERT_NE(split, nullptr);
    const CTransaction* copy = savings.FindTransactionById(split->GetSplitLinkedId(1));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetPayeeName(), "From the split");
    EXPECT_EQ(copy->GetAmount(), 5000);
    EXPECT_EQ(split->GetStatus() & kStatusMask, kStatusReconciled);
}

TEST_F(QifTest, MadeCategoriesAndClassesAreWrittenOncePerImport) {
    CAccount& target = Fresh("Target");
    std::string text = "!Type:Cat\n";
    for (int i = 0; i < 5; ++i)
        text += "NListed " + std::to_string(i) + "\n^\n";
    text += "!Type:Class\nNClass A\n^\nNClass B\n^\n!Type:Bank\n";
    for (int i = 0; i < 5; ++i)
        text +=
            "D3/7/2005\nT-1\nLUsed " + std::to_string(i) + "/Class " + std::to_string(i) + "\n^\n";
    SaveCounter counter;
    ASSERT_EQ(Import(text, &target), 0);
    // The target, the category list and the class list.
    EXPECT_EQ(counter.saves, 3);
    std::unique_ptr<CAccounts> again = test::LoadDataSet(folder_);
    for (int i = 0; i < 5; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_FALSE(again->Categories().FindOrCreateByPath("Listed " + n, false).IsNull());
        EXPECT_FALSE(again->Categories().FindOrCreateByPath("Used " + n, false).IsNull());
        EXPECT_NE(again->Classes().FindByName("Class " + n), nullptr);
    }
    EXPECT_FALSE(again->Classes().SavesHeld());
    EXPECT_FALSE(set_->Categories().SavesHeld());
}

TEST_F(QifTest, AVoidComesBackAsAVoid) {
    CAccount& target = Fresh("Target");
    ASSERT_EQ(Import("!Type:Bank\nD3/7/2005\nT0.00\nP**Void**Shop\nLGroceries\n^\n", &target), 0);
    const CTransaction& t = Only(target);
    EXPECT_EQ(t.GetStatus() & kStatusMask, kStatusVoid);
    EXPECT_EQ(t.GetPayeeName(), "Shop");
    EXPECT_EQ(t.GetAmount(), 0);
    EXPECT_EQ(target.GetBalance(0), 0);
}

TEST_F(QifTest, FormatErrorsStopAtTheirLineAndKeepWhatCameBefore) {
    struct Row {
        const char* name;
        std::string text;
        int error;
        std::size_t line;
        std::size_t kept;
    };
    const std::string one = "!Type:Bank\nD3/7/2005\nT-1.00\nPKept\n^\n";  // lines 1-5
    const Row rows[] = {
        {"transaction without ^", one + "D3/8/2005\nT-2.00\n", kQifTransactionUnclosed, 6, 1},
        {"header inside a record", one + "D3/8/2005\n!Type:Cat\nNA\n^\n", kQifTransactionUnclosed,
         6, 1},
        {"category without ^", one + "!Type:Cat\nNFood\n^\nNPets\n", kQifCategoryUnclosed, 9, 1},
        {"class without ^", one + "!Type:Class\nNWork\n", kQifClassUnclosed, 7, 1},
        {"account without ^", one + "!Account\nNChecking\nTBank\n", kQifAccountUnclosed, 6, 1},
        {"malformed date", one + "D3/8\nT-2.00\n^\nD3/9/2005\n^\n", -1, 6, 1},
        {"no date", one + "T-2.00\nPNo day\n^\n", -1, 6, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        sink_.reports.clear();
        CAccount& target = Fresh(std::string("Err ") + std::to_string(&row - rows));
        CQIFImporter importer;
        EXPECT_EQ(Import(row.text, &target, &importer), 0);
        EXPECT_EQ(importer.GetFormatError(), row.error);
        EXPECT_EQ(importer.GetStopLine(), row.line);
        EXPECT_EQ(target.Transactions().size(), row.kept);
        ASSERT_TRUE(sink_.Has(kStringImportStopped));
        EXPECT_NE(sink_.reports.front().text.find("line " + std::to_string(row.line)),
                  std::string::npos)
            << sink_.reports.front().text;
        // What was read is in the file too.
        std::unique_ptr<CAccounts> again = test::LoadDataSet(folder_);
        EXPECT_EQ(test::NamedAccount(*again, target.GetName()).Transactions().size(), row.kept);
    }
}

TEST_F(QifTest, FilesThatCannotBeReadAreReported) {
    CQIFImporter importer(set_.get(), checking_);
    const int r = importer.Import(JoinPath(folder_, "missing.qif"));
    EXPECT_EQ(r, 2);
    EXPECT_TRUE(sink_.Has(kStringImportUnreadable));
    EXPECT_TRUE(checking_->Transactions().empty());

    // An empty file imports nothing, quietly.
    sink_.reports.clear();
    EXPECT_EQ(Import("", checking_), 0);
    EXPECT_TRUE(sink_.reports.empty());
    EXPECT_TRUE(checking_->Transactions().empty());
}

TEST_F(QifTest, TextsFromElsewhereAreConverted) {
    // UTF-8 from another program becomes the model's Windows-1252; our own
    // Windows-1252 bytes are read as they stand.
    struct Row {
        std::string payee;
        const char* stored;
    };
    for (const Row& row : {Row{"Caf\xC3\xA9 cr\xC3\xA8me \xE2\x82\xAC", "Caf\xE9 cr\xE8me \x80"},
                           Row{"Caf\xE9 cr\xE8me \x80", "Caf\xE9 cr\xE8me \x80"}}) {
        CAccount& target = Fresh("Text " + std::to_string(row.payee.size()));
        ASSERT_EQ(Import("!Type:Bank\nD3/7/2005\nT-1\nP" + row.payee + "\nMmemo\v2\n^\n", &target),
                  0);
        EXPECT_EQ(Only(target).GetPayeeName(), row.stored);
        EXPECT_EQ(Only(target).GetMemo(), "memo\n2");
    }
}

}  // namespace
}  // namespace tallowmere::exchange
