// Downloaded statement transactions in a register: known bank ids skipped,
// the rest matched against register entries or added for review, payee
// look-up and memorised defaults, acceptance, and the balance of a new
// account taken from the bank.
#include "model/account_download.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "account_test_world.h"
#include "model/accounts.h"
#include "model/payee.h"
#include "model/payee_lookup.h"
#include "model/report.h"
#include "model/transaction_type.h"

namespace tallowmere {
namespace {

using test::Day;
using test::MakeTx;

constexpr PalmTime kWeek = 604800;

// The date text a bank sends for t (local, no zone).
std::string OfxDate(PalmTime t) {
    const DateFields f = DateFields::FromPalmTime(t);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", f.year, f.month, f.day, f.hour,
                  f.minute, f.second);
    return buf;
}

class DownloadOwner : public test::FakeOwner {
  public:
    CPayeeLookupList* GetPayeeLookupList() override { return &lookups; }
    const CPayeesList* GetPayeesList() const override { return &payees; }
    CPayeeLookupList lookups;
    CPayeesList payees;
};

// One statement row; the check number and memo may be absent.
struct Row {
    std::string date;
    std::string amount;
    std::string type = "DEBIT";
    std::string check;
    std::string name = "Bank text";
    std::string memo;
    std::string id;
};

class DownloadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = test::MakeTempDir("download");
        owner_.lookups.SetPath(folder_ + "/PayeeLookupList.lst");
        owner_.payees.SetPath(folder_ + "/PayeesList.lst");
        checking_ = &AddAccount("Checking");
    }

    CAccount& AddAccount(const std::string& name) {
        auto a = std::make_unique<CAccount>(&owner_);
        a->Header().SetName(name);
        a->Header().SetCurrencyId(1);
        EXPECT_EQ(a->MakeFilePath(folder_, name), 0);
        EXPECT_EQ(a->Save(), 0);
        owner_.accounts.push_back(a.get());
        accounts_.push_back(std::move(a));
        return *accounts_.back();
    }

    // A register entry, saved.
    CTransaction& Enter(std::unique_ptr<CTransaction> t) {
        CTransaction* raw = t.get();
        EXPECT_EQ(checking_->AddTransaction(std::move(t)), 0);
        EXPECT_EQ(checking_->Save(), 0);
        return *raw;
    }

    int Download(const Row& r) {
        return checking_->AddDownloadedTransaction(r.date, r.amount, r.type, r.check, r.name,
                                                   r.memo, r.id);
    }

    std::vector<CTransaction*> Pending() const {
        std::vector<CTransaction*> out;
        checking_->CollectDownloadedTransactions(out);
        return out;
    }

    std::string folder_;
    DownloadOwner owner_;
    std::vector<std::unique_ptr<CAccount>> accounts_;
    CAccount* checking_ = nullptr;
};

TEST(DownloadTextsTest, PositiveNumbers) {
    const struct {
        const char* text;
        bool positive;
    } cases[] = {
        {"1042", true},
        {"0", false},
        {"000", false},
        {"", false},
        {"12a", false},
        {" 12", false},
        {"-5", false},
        {"007", true},
        // Beyond any integer type, still a positive number.
        {"000000000000000000000000001", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPositiveNumber(c.text), c.positive) << c.text;
}

TEST(DownloadTextsTest, CheckNumbers) {
    EXPECT_EQ(ParseCheckNumber("1042"), 1042u);
    EXPECT_EQ(ParseCheckNumber("0"), 0u);
    EXPECT_EQ(ParseCheckNumber("4294967295"), 4294967295u);
    EXPECT_EQ(ParseCheckNumber("4294967296"), std::nullopt);
    EXPECT_EQ(ParseCheckNumber("99999999999999999999999"), std::nullopt);
    EXPECT_EQ(ParseCheckNumber(""), std::nullopt);
    EXPECT_EQ(ParseCheckNumber("10a"), std::nullopt);
}

TEST(DownloadTextsTest, BankAmounts) {
    const struct {
        const char* text;
        std::optional<Cents> cents;
    } cases[] = {
        {"-25.00", -2500},
        {"-25,00", -2500},
        {"+1000", 100000},
        {" 12.00 ", 1200},
        {"25,5", 2550},
        {".5", 50},
        {"7.", 700},
        {"0", 0},
        // A comma is the decimal mark, never grouping.
        {"1,000", 100},
        {"12.340", 1234},
        {"92233720368547757.99", 9223372036854775799},
        {"12.345", std::nullopt},
        {"1,000.00", std::nullopt},
        {"1 000", std::nullopt},
        {"$5", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"--5", std::nullopt},
        {"1e5", std::nullopt},
        {"92233720368547758.00", std::nullopt},
        {"99999999999999999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseBankAmount(c.text), c.cents) << '"' << c.text << '"';
}

TEST_F(DownloadTest, KnownOnlineIdsAreSkipped) {
    std::vector<CTransaction*> listener;
    const std::string longId(300, 'F');
    const std::vector<Row> statement = {
        {OfxDate(Day(2012, 3, 1)), "-10.00", "DEBIT", "", "Shop", "", "A1"},
        {OfxDate(Day(2012, 3, 2)), "20.00", "CREDIT", "", "Pay", "", "A2"},
        {OfxDate(Day(2012, 3, 3)), "-5.00", "POS", "", "Cafe", "", longId},
        // Without an id, twice: both are added, never taken as known.
        {OfxDate(Day(2012, 3, 4)), "-1.00", "FEE", "", "Fee", "", ""},
        {OfxDate(Day(2012, 3, 4)), "-1.00", "FEE", "", "Fee", "", ""},
    };
    checking_->BeginDownloadSession(&listener);
    for (const Row& r : statement)
        EXPECT_EQ(Download(r), 0);
    ASSERT_EQ(checking_->Transactions().size(), 5u);
    ASSERT_EQ(listener.size(), 5u);
    EXPECT_EQ(listener[0]->GetOnlineId(), "A1");
    EXPECT_TRUE(checking_->HasOnlineId("A2"));
    EXPECT_FALSE(checking_->HasOnlineId("a2"));
    EXPECT_FALSE(checking_->HasOnlineId(""));

    // The same statement again: only the id-less rows come in once more.
    listener.clear();
    checking_->BeginDownloadSession(&listener);
    for (const Row& r : statement)
        EXPECT_EQ(Download(r), 0);
    EXPECT_EQ(checking_->Transactions().size(), 7u);
    EXPECT_EQ(listener.size(), 2u);
    EXPECT_EQ(checking_->GetNewDownloadCount(), 0);
}

TEST_F(DownloadTest, KnownIdOfADeletedEntryIsNotKnown) {
    checking_->BeginDownloadSession(nullptr);
    ASSERT_EQ(Download({OfxDate(Day(2012, 3, 1)), "-10.00", "DEBIT", "", "Shop", "", "X"}), 0);
    ASSERT_EQ(checking_->DeleteTransaction(*checking_->Transactions()[0], false), 0);
    EXPECT_FALSE(checking_->HasOnlineId("X"));
}

TEST_F(DownloadTest, TypesAndFieldsOfADownload) {
    const struct {
        const char* amount;
        const char* type;
        const char* check;
        RecordId typeId;
        std::uint32_t number;
        Cents magnitude;
    } cases[] = {
        {"-25.00", "ATM", "", AtmTypeId, 0, 2500},
        {"-25.00", "CHECK", "1042", CheckTypeId, 1042, 2500},
        {"-25.00", "CHECK", "", CheckTypeId, 0, 2500},
        {"-25.00", "DEBIT", "1042", CheckTypeId, 1042, 2500},
        {"-25.00", "DEBIT", "0", WithdrawalTypeId, 0, 2500},
        {"-25.00", "DEBIT", "", WithdrawalTypeId, 0, 2500},
        {"-25.00", "DEBIT", "99999999999", WithdrawalTypeId, 0, 2500},
        {"-25.00", "POS", "1042", WithdrawalTypeId, 0, 2500},
        {"25.00", "CHECK", "1042", DepositTypeId, 0, 2500},
        {"0.00", "ATM", "", DepositTypeId, 0, 0},
    };
    checking_->Header().SetCurrencyId(3);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.amount + " " + c.check);
        checking_->Transactions().clear();
        checking_->BeginDownloadSession(nullptr);
        ASSERT_EQ(Download({"20120310", c.amount, c.type, c.check, "Corner Store", "a memo", "ID"}),
                  0);
        ASSERT_EQ(checking_->Transactions().size(), 1u);
        const CTransaction& t = *checking_->Transactions()[0];
        EXPECT_EQ(t.GetTypeId(), c.typeId);
        EXPECT_EQ(t.GetCheckNumber(), c.number);
        EXPECT_EQ(t.GetAmount(), c.magnitude);
        EXPECT_EQ(t.GetBaseAmount(), c.magnitude);
        EXPECT_EQ(t.GetStatus(), kStatusCleared);
        EXPECT_EQ(t.GetReviewState(), 1);
        EXPECT_EQ(t.GetSourceCurrency(), 3);
        EXPECT_EQ(t.GetDate(), Day(2012, 3, 10) - 12 * 3600);
        EXPECT_EQ(t.GetPayeeName(), "Corner Store");
        EXPECT_EQ(t.GetMemo(), "a memo");
        EXPECT_EQ(t.GetOnlineId(), "ID");
    }
}

TEST_F(DownloadTest, UnreadableDateOrAmountStopsTheDownload) {
    const struct {
        const char* date;
        const char* amount;
    } cases[] = {
        {"", "-1.00"},        {"202401", "-1.00"}, {"20241305", "-1.00"},  {"20240230", "-1.00"},
        {"garbage", "-1.00"}, {"20120310", "abc"}, {"20120310", "25.001"}, {"20120310", ""},
    };
    std::vector<CTransaction*> listener;
    checking_->BeginDownloadSession(&listener);
    for (const auto& c : cases) {
        EXPECT_EQ(Download({c.date, c.amount, "DEBIT", "", "Name", "", "ID"}), kDownloadUnreadable)
            << c.date << " " << c.amount;
    }
    EXPECT_TRUE(checking_->Transactions().empty());
    EXPECT_TRUE(listener.empty());
    EXPECT_EQ(owner_.lookups.GetCount(true), 0u);
}

// One register entry against one download.
struct MatchCase {
    const char* what;
    std::int64_t offset;  // download date minus the entry's, in seconds
    Cents entrySigned;
    RecordId entryType;
    std::uint32_t entryNumber;
    std::uint8_t entryStatus;
    std::uint8_t entryReview;
    bool entryMatched;
    const char* amount;
    const char* type;
    const char* check;
    bool matches;
};

TEST_F(DownloadTest, MatchingRules) {
    const RecordId W = WithdrawalTypeId;
    const RecordId C = CheckTypeId;
    const RecordId D = DepositTypeId;
    const MatchCase cases[] = {
        {"same day", 0, -2500, W, 0, kStatusOpen, 0, false, "-25.00", "DEBIT", "", true},
        {"7 days later", kWeek, -2500, W, 0, kStatusOpen, 0, false, "-25.00", "DEBIT", "", true},
        {"7 days earlier", -static_cast<std::int64_t>(kWeek), -2500, W, 0, kStatusOpen, 0, false,
         "-25.00", "DEBIT", "", true},
        {"7 days and a second", kWeek + 1, -2500, W, 0, kStatusOpen, 0, false, "-25.00", "DEBIT",
         "", false},
        {"10 days earlier", -10 * 86400, -2500, W, 0, kStatusOpen, 0, false, "-25.00", "DEBIT", "",
         false},
        {"other amount", 0, -2500, W, 0, kStatusOpen, 0, false, "-25.01", "DEBIT", "", false},
        {"other direction", 0, 2500, D, 0, kStatusOpen, 0, false, "-25.00", "DEBIT", "", false},
        {"two inflows", 86400, 2500, D, 0, kStatusCleared, 0, false, "25.00", "CREDIT", "", true},
        {"inflow types differ", 0, 2500, PaymentTypeId, 0, kStatusOpen, 0, false, "25.00", "CREDIT",
         "", true},
        {"two outflow types", 0, -2500, EftTypeId, 0, kStatusOpen, 0, false, "-25.00", "ATM", "",
         true},
        {"same check number", 0, -2500, C, 1042, kStatusOpen, 0, false, "-25.00", "CHECK", "1042",
         true},
        {"other check number", 0, -2500, C, 1041, kStatusOpen, 0, false, "-25.00", "CHECK", "1042",
         false},
        {"entry numbered only", 0, -2500, C, 1042, kStatusOpen, 0, false, "-25.00", "DEBIT", "",
         false},
        {"download numbered only", 0, -2500, W, 0, kStatusOpen, 0, false, "-25.00", "DEBIT", "1042",
         false},
        {"cleared entry", 0, -2500, W, 0, kStatusCleared | kStatusMarked, 0, false, "-25.00",
         "DEBIT", "", true},
        {"reconciled entry", 0, -2500, W, 0, kStatusReconciled, 0, false, "-25.00", "DEBIT", "",
         false},
        {"void entry", 0, -2500, W, 0, kStatusVoid, 0, false, "-25.00", "DEBIT", "", false},
        {"entry under review", 0, -2500, W, 0, kStatusCleared, 1, false, "-25.00", "DEBIT", "",
         false},
        {"entry accepted before", 0, -2500, W, 0, kStatusCleared, 2, false, "-25.00", "DEBIT", "",
         false},
        {"entry matched already", 0, -2500, W, 0, kStatusOpen, 0, true, "-25.00", "DEBIT", "",
         false},
    };
    const PalmTime base = Day(2012, 3, 15);
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(c.what);
        checking_->Transactions().clear();
        checking_->RecalcBalances();
        auto e = MakeTx(base, c.entrySigned, c.entryStatus, "Entry", c.entryType);
        e->SetCheckNumber(c.entryNumber);
        e->SetReviewState(c.entryReview);
        if (c.entryMatched)
            e->SetMatchId(RecordId::Fixed(0x7777));
        CTransaction& entry = Enter(std::move(e));
        const RecordId entryMatch = entry.GetMatchId();

        std::vector<CTransaction*> listener;
        checking_->BeginDownloadSession(&listener);
        const PalmTime when = static_cast<PalmTime>(static_cast<std::int64_t>(base) + c.offset);
        ASSERT_EQ(Download({OfxDate(when), c.amount, c.type, c.check, "Bank", "", "N1"}), 0);
        ASSERT_EQ(listener.size(), 1u);
        const CTransaction& d = *listener[0];
        if (c.matches) {
            EXPECT_EQ(d.GetMatchId(), entry.GetId());
            EXPECT_EQ(entry.GetMatchId(), d.GetId());
            EXPECT_EQ(checking_->GetNewDownloadCount(), 1);
        } else {
            EXPECT_TRUE(d.GetMatchId().IsNull());
            EXPECT_EQ(entry.GetMatchId(), entryMatch);
            EXPECT_EQ(checking_->GetNewDownloadCount(), 0);
        }
    }
}

TEST_F(DownloadTest, FirstCandidateInRegisterOrderWins) {
    CTransaction& first = Enter(MakeTx(Day(2012, 3, 10), -2500, kStatusOpen, "A"));
    CTransaction& second = Enter(MakeTx(Day(2012, 3, 14), -2500, kStatusOpen, "B"));
    checking_->BeginDownloadSession(nullptr);
    ASSERT_EQ(Download({OfxDate(Day(2012, 3, 14)), "-25.00", "DEBIT", "", "X", "", "1"}), 0);
    ASSERT_EQ(Download({OfxDate(Day(2012, 3, 14)), "-25.00", "DEBIT", "", "Y", "", "2"}), 0);
    // Each register entry matches one download only.
    EXPECT_FALSE(first.GetMatchId().IsNull());
    EXPECT_FALSE(second.GetMatchId().IsNull());
    EXPECT_NE(first.GetMatchId(), second.GetMatchId());
    const CTransaction* x = checking_->FindTransactionById(first.GetMatchId());
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->GetOnlineId(), "1");
    EXPECT_EQ(checking_->GetNewDownloadCount(), 2);
}

TEST_F(DownloadTest, PayeeLookUp) {
    ASSERT_NE(owner_.lookups.AddMapping("ACME CORP 1234", "Acme"), nullptr);
    const std::string onDisk = test::ReadFileBytes(owner_.lookups.GetPath());
    checking_->BeginDownloadSession(nullptr);
    ASSERT_EQ(Download({"20120301", "-1.00", "DEBIT", "", "acme corp 1234", "", "1"}), 0);
    ASSERT_EQ(Download({"20120302", "-2.00", "DEBIT", "", "ZED STORE", "", "2"}), 0);
    ASSERT_EQ(Download({"20120303", "-3.00", "DEBIT", "", "ZED STORE", "", "3"}), 0);
    ASSERT_EQ(Download({"20120304", "-4.00", "DEBIT", "", "BAKERY", "", "4"}), 0);
    ASSERT_EQ(Download({"20120305", "-5.00", "CHECK", "77", "CHECK 77", "", "5"}), 0);
    const auto& list = checking_->Transactions();
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0]->GetPayeeName(), "Acme");
    EXPECT_EQ(list[1]->GetPayeeName(), "ZED STORE");
    // The same text within one statement finds the item the first added.
    EXPECT_EQ(list[1]->GetPayeeLookupId(), list[2]->GetPayeeLookupId());
    EXPECT_FALSE(list[1]->GetPayeeLookupId().IsNull());
    // A check keeps the bank's text and no look-up item.
    EXPECT_EQ(list[4]->GetPayeeName(), "CHECK 77");
    EXPECT_TRUE(list[4]->GetPayeeLookupId().IsNull());
    EXPECT_EQ(owner_.lookups.FindByText("CHECK 77"), nullptr);

    // Nothing written per transaction; the session's end files and saves.
    EXPECT_EQ(test::ReadFileBytes(owner_.lookups.GetPath()), onDisk);
    ASSERT_EQ(EndDownloadSession(*checking_), 0);
    CPayeeLookupList reloaded;
    ASSERT_EQ(reloaded.Load(owner_.lookups.GetPath()), 0);
    ASSERT_EQ(reloaded.GetCount(false), 3u);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < 3; ++i)
        names.push_back(dynamic_cast<CPayeeLookupItem&>(*reloaded.GetAt(i, false)).GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"ACME CORP 1234", "BAKERY", "ZED STORE"}));
    EXPECT_EQ(reloaded.GetAt(2, false)->GetId(), list[1]->GetPayeeLookupId());
}

TEST_F(DownloadTest, DataSetWithoutListsTakesTheText) {
    CAccount plain(nullptr);
    plain.BeginDownloadSession(nullptr);
    ASSERT_EQ(plain.AddDownloadedTransaction("20120301", "-1.00", "DEBIT", "", "Text", "", "1"), 0);
    EXPECT_EQ(plain.Transactions()[0]->GetPayeeName(), "Text");
    EXPECT_EQ(EndDownloadSession(plain), 0);
}

// The payee's memorised transaction against a download of that payee.
struct DefaultsCase {
    const char* what;
    RecordId memorisedType;
    Cents memorisedAmount;
    bool split;
    bool transfer;
    const char* amount;
    const char* type;
    const char* check;
    RecordId expectType;
    bool expectCategory;
};

TEST_F(DownloadTest, PayeeDefaults) {
    const RecordId food = RecordId::Fixed(0x1234);
    const RecordId home = RecordId::Fixed(0x2345);
    const RecordId treat = RecordId::Fixed(0x3456);
    CAccount& savings = AddAccount("Savings");
    const DefaultsCase cases[] = {
        {"inflows", PaymentTypeId, 2500, false, false, "25.00", "CREDIT", "", PaymentTypeId, true},
        {"inflow, memorised outflow", EftTypeId, 2500, false, false, "25.00", "CREDIT", "",
         DepositTypeId, false},
        {"outflow, memorised inflow", DepositTypeId, 2500, false, false, "-25.00", "DEBIT", "",
         WithdrawalTypeId, false},
        {"two plain outflows", EftTypeId, 900, false, false, "-25.00", "DEBIT", "", EftTypeId,
         true},
        {"two numbered outflows", CheckTypeId, 2500, false, false, "-25.00", "CHECK", "5",
         CheckTypeId, true},
        {"numbered download only", WithdrawalTypeId, 2500, false, false, "-25.00", "CHECK", "5",
         CheckTypeId, false},
        {"numbered memorised only", CheckTypeId, 2500, false, false, "-25.00", "DEBIT", "",
         WithdrawalTypeId, false},
        {"split of the same amount", WithdrawalTypeId, 2500, true, false, "-25.00", "DEBIT", "",
         WithdrawalTypeId, true},
        {"split of another amount", WithdrawalTypeId, 4000, true, false, "-25.00", "DEBIT", "",
         WithdrawalTypeId, true},
        {"split with a line naming an account", WithdrawalTypeId, 2500, true, true, "-25.00",
         "DEBIT", "", WithdrawalTypeId, false},
        {"payee without a memorised type", kNoneId, 2500, false, false, "25.00", "CREDIT", "",
         DepositTypeId, true},
        {"memorised transfer", WithdrawalTypeId, 2500, false, true, "-25.00", "DEBIT", "",
         WithdrawalTypeId, false},
    };
    for (const DefaultsCase& c : cases) {
        SCOPED_TRACE(c.what);
        checking_->Transactions().clear();
        owner_.payees.DeleteAll();
        auto m = MakeTx(Day(2012, 1, 1), 0, kStatusOpen, "CHECK 5", c.memorisedType);
        m->SetAmount(c.memorisedAmount);
        m->SetClassId(treat);
        if (c.split) {
            m->SetCategoryId(SplitMarkerId);
            m->SetSplitCategoryId(0, food);
            m->SetSplitAmount(0, c.memorisedAmount - 500);
            m->SetSplitCategoryId(1, c.transfer ? savings.Header().GetId() : home);
            m->SetSplitAmount(1, 500);
        } else {
            m->SetCategoryId(c.transfer ? savings.Header().GetId() : food);
        }
        ASSERT_EQ(owner_.payees.MemorizeTransaction(*m), 0);

        checking_->BeginDownloadSession(nullptr);
        ASSERT_EQ(Download({"20120301", c.amount, c.type, c.check, "CHECK 5", "", "1"}), 0);
        const CTransaction& t = *checking_->Transactions()[0];
        EXPECT_EQ(t.GetTypeId(), c.expectType);
        if (!c.expectCategory) {
            EXPECT_TRUE(t.GetCategoryId().IsNull());
            EXPECT_TRUE(t.GetSplitCategoryId(0).IsNull());
            // A whole transfer's class still comes along; nothing else does.
            EXPECT_EQ(t.GetClassId(), c.transfer && !c.split ? treat : kNoneId);
        } else if (c.split) {
            // The memorised lines, whatever the amount.
            EXPECT_EQ(t.GetCategoryId(), SplitMarkerId);
            EXPECT_EQ(t.GetSplitCategoryId(0), food);
            EXPECT_EQ(t.GetSplitAmount(0), c.memorisedAmount - 500);
            EXPECT_EQ(t.GetSplitCategoryId(1), home);
            EXPECT_EQ(t.GetSplitAmount(1), 500);
        } else {
            EXPECT_EQ(t.GetCategoryId(), food);
            EXPECT_EQ(t.GetClassId(), treat);
        }
        EXPECT_TRUE(t.GetLinkedId().IsNull());
    }
    EXPECT_TRUE(savings.Transactions().empty());
}

// Lines memorised for another amount arrive as they are; the difference is
// the split's remainder, which a report puts under "<Unassigned>".
TEST(DownloadSplitTest, MemorisedSplitOfAnotherAmountLeavesARemainder) {
    const std::string folder = test::MakeTempDir("split");
    std::unique_ptr<CAccounts> data;
    ASSERT_EQ(CAccounts::LoadInto(data, folder, {}), 0);
    CAccount* checking = data->FindAccountByName("Checking");
    ASSERT_NE(checking, nullptr);
    const RecordId salary = RecordId::Fixed(0x0072);
    const RecordId bonus = RecordId::Fixed(0x0073);
    CTransaction m;
    m.SetPayeeName("Employer");
    m.SetTypeId(DepositTypeId);
    m.SetAmount(10000);
    m.SetCategoryId(SplitMarkerId);
    m.SetSplitCategoryId(0, salary);
    m.SetSplitAmount(0, 6000);
    m.SetSplitCategoryId(1, bonus);
    m.SetSplitAmount(1, 4000);
    ASSERT_EQ(data->MemorizePayee(m), 0);

    checking->BeginDownloadSession(nullptr);
    ASSERT_EQ(
        checking->AddDownloadedTransaction("20240105", "80.00", "CREDIT", "", "Employer", "", "S1"),
        0);
    ASSERT_EQ(EndDownloadSession(*checking), 0);
    ASSERT_EQ(checking->Transactions().size(), 1u);
    const CTransaction& t = *checking->Transactions()[0];
    EXPECT_EQ(t.GetAmount(), 8000);
    EXPECT_EQ(t.GetCategoryId(), SplitMarkerId);
    EXPECT_EQ(t.GetSplitCategoryId(0), salary);
    EXPECT_EQ(t.GetSplitAmount(0), 6000);
    EXPECT_EQ(t.GetSplitCategoryId(1), bonus);
    EXPECT_EQ(t.GetSplitAmount(1), 4000);
    EXPECT_TRUE(t.GetSplitCategoryId(2).IsNull());

    CReport report(*data);
    report.SetGroupBy(kReportByCategory);
    report.SetPeriodKind(kReportCustomRange);
    report.SetRange(PalmTimeDayBound(Day(2024, 1, 1), 1), PalmTimeDayBound(Day(2024, 1, 31), 2));
    ASSERT_EQ(report.Compute(), 0);
    EXPECT_EQ(report.GetTotal(), 8000);
    const CReportItem* remainder = nullptr;
    for (std::size_t i = 0; i < report.GetItemCount(); ++i) {
        if (report.GetItem(i)->IsUnassigned())
            remainder = report.GetItem(i);
    }
    ASSERT_NE(remainder, nullptr);
    EXPECT_EQ(remainder->GetAmount(), -2000);
}

TEST_F(DownloadTest, AcceptMatchedMergesIntoTheEntryAndKeepsTheOrder) {
    CTransaction& early = Enter(MakeTx(Day(2012, 3, 1), -1000, kStatusOpen, "Early"));
    CTransaction& entry = Enter(MakeTx(Day(2012, 3, 5), -2500, kStatusOpen | kStatusMarked, "Me"));
    Enter(MakeTx(Day(2012, 3, 12), -300, kStatusOpen, "Later"));
    checking_->BeginDownloadSession(nullptr);
    // The bank books it before the earlier entry: the merged entry moves.
    ASSERT_EQ(Download({"20120228120000", "-25.00", "DEBIT", "", "BANK", "bank memo", "FIT9"}), 0);
    ASSERT_EQ(checking_->GetNewDownloadCount(), 1);
    std::vector<CTransaction*> pending = Pending();
    ASSERT_EQ(pending.size(), 1u);
    CTransaction& d = *pending[0];
    ASSERT_EQ(d.GetMatchId(), entry.GetId());

    EXPECT_EQ(checking_->AcceptDownloaded(d), 0);
    const auto& list = checking_->Transactions();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].get(), &entry);
    EXPECT_EQ(list[1].get(), &early);
    EXPECT_EQ(entry.GetDate(), Day(2012, 2, 28));
    EXPECT_EQ(entry.GetAmount(), 2500);
    EXPECT_EQ(entry.GetStatus(), kStatusCleared);
    EXPECT_EQ(entry.GetReviewState(), 2);
    EXPECT_EQ(entry.GetOnlineId(), "FIT9");
    EXPECT_EQ(entry.GetMemo(), "bank memo");
    EXPECT_EQ(checking_->GetNewDownloadCount(), 0);
    ASSERT_EQ(checking_->DeletedTransactions().size(), 1u);
    EXPECT_EQ(checking_->DeletedTransactions()[0].get(), &d);
    EXPECT_TRUE(Pending().empty());
    EXPECT_EQ(checking_->Header().GetClearedBalance(), -2500);
    test::CheckInvariants(owner_);
    // Downloading the statement again finds the id on the merged entry.
    EXPECT_EQ(Download({"20120228120000", "-25.00", "DEBIT", "", "BANK", "", "FIT9"}), 0);
    EXPECT_EQ(list.size(), 3u);
}

TEST_F(DownloadTest, AcceptMatchedMovesTheTransferMirror) {
    CAccount& savings = AddAccount("Savings");
    auto e = MakeTx(Day(2012, 3, 8), -2500, kStatusOpen, "To savings");
    e->SetCategoryId(savings.Header().GetId());
    ASSERT_EQ(checking_->AddTransactionWithTransfer(std::move(e)), 0);
    ASSERT_EQ(checking_->Save(), 0);
    checking_->BeginDownloadSession(nullptr);
    ASSERT_EQ(Download({"20120306120000", "-25.00", "DEBIT", "", "XFER", "", "T1"}), 0);
    ASSERT_EQ(checking_->AcceptDownloaded(*Pending().at(0)), 0);
    ASSERT_EQ(savings.Transactions().size(), 1u);
    EXPECT_EQ(savings.Transactions()[0]->GetDate(), Day(2012, 3, 6));
    test::CheckInvariants(owner_);
}

TEST_F(DownloadTest, AcceptUnmatchedOrWithTheEntryGone) {
    CTransaction& entry = Enter(MakeTx(Day(2012, 3, 8), -2500, kStatusOpen, "Me"));
    checking_->BeginDownloadSession(nullptr);
    ASSERT_EQ(Download({"20120308", "-25.00", "DEBIT", "", "A", "", "1"}), 0);
    ASSERT_EQ(Download({"20120309", "-9.00", "DEBIT", "", "B", "", "2"}), 0);
    ASSERT_EQ(checking_->GetNewDownloadCount(), 1);
    std::vector<CTransaction*> pending = Pending();
    ASSERT_EQ(pending.size(), 2u);

    // Unmatched: a success, the download stays as an accepted entry.
    EXPECT_EQ(checking_->AcceptDownloaded(*pending[1]), 0);
    EXPECT_EQ(pending[1]->GetReviewState(), 2);
    EXPECT_EQ(checking_->GetNewDownloadCount(), 1);

    // The matched entry was deleted meanwhile: the download stands alone.
    ASSERT_EQ(checking_->DeleteTransaction(entry, false), 0);
    EXPECT_EQ(checking_->AcceptDownloaded(*pending[0]), 0);
    EXPECT_EQ(pending[0]->GetReviewState(), 2);
    EXPECT_TRUE(pending[0]->GetMatchId().IsNull());
    EXPECT_EQ(checking_->GetNewDownloadCount(), 0);
    EXPECT_EQ(checking_->Transactions().size(), 2u);
    EXPECT_TRUE(Pending().empty());
    test::CheckInvariants(owner_);

    // Not in this register.
    CTransaction stranger;
    EXPECT_EQ(checking_->AcceptDownloaded(stranger), -1);
}

TEST_F(DownloadTest, AcceptAMatchOfTheOtherDirection) {
    // The review's match dialog may pair any register entry.
    auto e = MakeTx(Day(2012, 3, 5), 2500, kStatusOpen, "Refund");
    e->SetMemo("mine");
    CTransaction& entry = Enter(std::move(e));
    checking_->BeginDownloadSession(nullptr);
    ASSERT_EQ(Download({"20120306", "-30.00", "DEBIT", "", "X", "theirs", "1"}), 0);
    CTransaction& d = *Pending().at(0);
    ASSERT_TRUE(d.GetMatchId().IsNull());
    d.SetMatchId(entry.GetId());
    ASSERT_EQ(checking_->AcceptDownloaded(d), 0);
    ASSERT_EQ(checking_->Transactions().size(), 1u);
    EXPECT_EQ(entry.GetTypeId(), WithdrawalTypeId);
    EXPECT_EQ(entry.GetAmount(), 3000);
    EXPECT_EQ(entry.GetMemo(), "mine");
    EXPECT_EQ(checking_->Header().GetCurrentBalance(), -3000);
    test::CheckInvariants(owner_);
}

TEST_F(DownloadTest, AcceptAll) {
    for (int day = 1; day <= 3; ++day)
        Enter(MakeTx(Day(2012, 3, day), -100 * day, kStatusOpen, "Mine"));
    checking_->BeginDownloadSession(nullptr);
    const char* const amounts[] = {"-1.00", "-2.00", "-3.00"};
    const char* const ids[] = {"m1", "m2", "m3"};
    for (int day = 1; day <= 3; ++day) {
        ASSERT_EQ(Download({OfxDate(Day(2012, 3, day)), amounts[day - 1], "DEBIT", "", "M", "",
                            ids[day - 1]}),
                  0);
    }
    ASSERT_EQ(Download({"20120304", "40.00", "CREDIT", "", "N", "", "n1"}), 0);
    ASSERT_EQ(Download({"20120305", "-50.00", "DEBIT", "", "N", "", "n2"}), 0);
    ASSERT_EQ(checking_->GetNewDownloadCount(), 3);

    EXPECT_EQ(checking_->AcceptAllDownloaded(), 0);
    EXPECT_EQ(checking_->GetNewDownloadCount(), 0);
    EXPECT_TRUE(Pending().empty());
    EXPECT_EQ(checking_->Transactions().size(), 5u);
    EXPECT_EQ(checking_->DeletedTransactions().size(), 3u);
    for (const auto& t : checking_->Transactions()) {
        EXPECT_EQ(t->GetReviewState(), 2);
        EXPECT_EQ(t->GetStatus(), kStatusCleared);
    }
    EXPECT_EQ(checking_->Header().GetCurrentBalance(), -600 + 4000 - 5000);
    test::CheckInvariants(owner_);
}

TEST_F(DownloadTest, EmptyAccountTakesTheBankBalance) {
    checking_->BeginDownloadSession(nullptr);
    EXPECT_TRUE(checking_->GetAutoAdjust());
    ASSERT_EQ(Download({"20120301", "100.00", "CREDIT", "", "In", "", "1"}), 0);
    ASSERT_EQ(Download({"20120302", "-30.00", "DEBIT", "", "Out", "", "2"}), 0);
    EXPECT_EQ(checking_->SetOnlineBalance("500,00"), 0);
    EXPECT_EQ(checking_->Header().GetOpeningBalance(), 43000);
    EXPECT_EQ(checking_->Header().GetClearedBalance(), 50000);
    EXPECT_EQ(checking_->GetBalance(1), 50000);
    EXPECT_EQ(checking_->GetOnlineBalance(), 50000);
    test::CheckInvariants(owner_);

    // Once it has entries the bank's balance is only shown.
    checking_->BeginDownloadSession(nullptr);
    EXPECT_FALSE(checking_->GetAutoAdjust());
    EXPECT_EQ(checking_->SetOnlineBalance("-12.50"), 0);
    EXPECT_EQ(checking_->Header().GetOpeningBalance(), 43000);
    EXPECT_EQ(checking_->GetOnlineBalance(), -1250);
    EXPECT_EQ(checking_->SetOnlineBalance("12.5.0"), kDownloadUnreadable);
    EXPECT_EQ(checking_->GetOnlineBalance(), -1250);
}

TEST_F(DownloadTest, AccountWithOpeningBalanceIsNotAdjusted) {
    checking_->Header().SetOpeningBalance(100);
    checking_->RecalcBalances();
    checking_->BeginDownloadSession(nullptr);
    EXPECT_FALSE(checking_->GetAutoAdjust());
}

TEST_F(DownloadTest, Collections) {
    Enter(MakeTx(Day(2012, 3, 9), -100, kStatusOpen, "Open"));
    Enter(MakeTx(Day(2012, 3, 2), -100, kStatusReconciled, "Reconciled"));
    Enter(MakeTx(Day(2012, 3, 3), -100, kStatusVoid, "Void"));
    Enter(MakeTx(Day(2012, 3, 1), 100, kStatusCleared, "Cleared"));
    checking_->SetSortAscending(false);
    ASSERT_EQ(checking_->ResortTransactions(), 0);
    checking_->BeginDownloadSession(nullptr);
    ASSERT_EQ(Download({"20120320", "-7.00", "DEBIT", "", "Late", "", "1"}), 0);
    ASSERT_EQ(Download({"20120305", "-8.00", "DEBIT", "", "Early", "", "2"}), 0);

    std::vector<CTransaction*> out{nullptr};
    checking_->CollectDownloadedTransactions(out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0]->GetOnlineId(), "2");
    EXPECT_EQ(out[1]->GetOnlineId(), "1");
    checking_->CollectRegisterTransactions(out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0]->GetPayeeName(), "Cleared");
    EXPECT_EQ(out[1]->GetPayeeName(), "Open");
}

}  // namespace
}  // namespace tallowmere
