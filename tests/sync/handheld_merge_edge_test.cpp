// The merge run's edge cases: failures that must stop it with both sides
// untouched, and the cases where a literal reading would lose or duplicate
// data.
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/accounts.h"
#include "support/test_env.h"
#include "sync/handheld_merge.h"
#include "sync/handheld_test_db.h"
#include "sync/merge_test_data.h"

namespace tallowmere::handheld {
namespace {

using test::QueryText;

std::map<std::string, std::string> ReadFolder(const std::string& folder) {
    std::map<std::string, std::string> image;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        image[entry.path().filename().string()] = test::ReadFileBytes(entry.path().string());
    return image;
}

int RunMerge(test::MergeFixture& f, int mode, bool newDevice = false,
             std::vector<std::string>* status = nullptr) {
    MergeRunOptions options{mode, newDevice, {}};
    if (status != nullptr)
        options.status = [status](std::string_view text) { status->emplace_back(text); };
    CHandheldMerge merge(f.folder, f.dbPath, options);
    merge.SetTimeZoneBias(-60);
    return merge.Run();
}

TEST(MergeMode, NewDeviceRunsModeTwoAndStrayModesCountAsTwoWay) {
    struct Row {
        int mode;
        bool newDevice;
        int effective;
    };
    for (Row r : {Row{0, false, 0}, Row{1, false, 1}, Row{2, false, 2}, Row{1, true, 2},
                  Row{0, true, 2}, Row{3, false, 0}, Row{-1, false, 0}, Row{7, true, 2}}) {
        CHandheldMerge merge("folder", "db", MergeRunOptions{r.mode, r.newDevice, {}});
        EXPECT_EQ(merge.EffectiveMode(), r.effective) << r.mode << " " << r.newDevice;
    }
}

// A statement that fails in the middle of a pass, in every mode: the run
// fails, the desktop folder and the handheld file stay as they were.
TEST(MergeFailure, SqlErrorStopsEveryModeAndChangesNothing) {
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        test::MergeFixture f;
        f.AddTransaction(test::MergeFixture::TestId(1), "Desk", true);
        f.AddTransaction(test::MergeFixture::TestId(2), "Desk", true);
        ASSERT_EQ(f.SaveDesktop(), 0);
        f.Exec("UPDATE CATEGORIES SET modified = 1;");
        f.Exec(
            "UPDATE TRANSACTIONS SET deleted = 1 WHERE memo = 'Desk' AND identifier = "
            "(SELECT MIN(identifier) FROM TRANSACTIONS WHERE kind = 0);");
        f.Exec(
            "CREATE TRIGGER no_delete BEFORE DELETE ON TRANSACTIONS BEGIN SELECT "
            "RAISE(ABORT, 'refused'); END;");
        f.Exec(
            "CREATE TRIGGER no_update BEFORE UPDATE ON TRANSACTIONS BEGIN SELECT "
            "RAISE(ABORT, 'refused'); END;");
        const auto before = ReadFolder(f.folder);
        const std::string db = test::ReadFileBytes(f.dbPath);
        std::vector<std::string> status;
        EXPECT_NE(RunMerge(f, mode, false, &status), 0);
        EXPECT_EQ(ReadFolder(f.folder), before);
        EXPECT_EQ(test::ReadFileBytes(f.dbPath), db);
        EXPECT_TRUE(status.empty());
    }
}

TEST(MergeFailure, MissingTableFailsEveryMode) {
    for (int mode : {0, 1, 2}) {
        test::MergeFixture f;
        f.Exec("DROP TABLE PAYEES;");
        const auto before = ReadFolder(f.folder);
        EXPECT_NE(RunMerge(f, mode), 0) << mode;
        EXPECT_EQ(ReadFolder(f.folder), before) << mode;
    }
}

TEST(MergeRun, SendsTheWritingStatus) {
    test::MergeFixture f;
    std::vector<std::string> status;
    ASSERT_EQ(RunMerge(f, 0, false, &status), 0);
    EXPECT_EQ(status, std::vector<std::string>{"Writing updated data to desktop"});
}

TEST(MergeAccountsTwoWay, NewAccountsGetTheirBracketCategoryAndPlaceholdersStayOff) {
    test::MergeFixture f;
    ASSERT_EQ(f.data->DeleteAccount(*f.data->FindAccountByName("Visa")), 0);
    ASSERT_EQ(RunMerge(f, 0), 0);
    for (const char* name : {"Savings", "Mastercard", "American Express"}) {
        const std::string bracket = std::string("[") + name + "]";
        EXPECT_EQ(QueryText(f.db, "SELECT count(*) FROM CATEGORIES WHERE name = '" + bracket + "'"),
                  "1");
        EXPECT_EQ(QueryText(f.db,
                            "SELECT count(*) FROM ACCOUNTS a JOIN CATEGORIES c ON "
                            "a.category_id = c.identifier WHERE c.name = '" +
                                bracket + "'"),
                  "1");
    }
    EXPECT_EQ(QueryText(f.db, "SELECT count(*) FROM ACCOUNTS WHERE name = 'Visa'"), "0");
    EXPECT_EQ(QueryText(f.db, "SELECT count(*) FROM ACCOUNTS"), "4");
    for (const auto& [name, bytes] : ReadFolder(f.folder))
        EXPECT_FALSE(IsPlaceholderFileName(name)) << name;
}

TEST(MergeAccountsDesktopOverwrites, KeepsRowNumbersAndOneBracketCategory) {
    test::MergeFixture f;
    ASSERT_EQ(RunMerge(f, 0), 0);
    // A scheduled item's template names the checking row.
    auto item = f.MakeScheduled(test::MergeFixture::TestId(9));
    f.InsertRow(*item);
    f.data = f.Reload();
    f.data->Scheduled().AddItem(std::move(item));
    ASSERT_EQ(f.SaveDesktop(), 0);
    const std::string rows =
        QueryText(f.db,
                  "SELECT group_concat(hex(uid) || ':' || identifier) FROM "
                  "(SELECT uid, identifier FROM ACCOUNTS ORDER BY identifier)");
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(RunMerge(f, 1), 0);
        EXPECT_EQ(QueryText(f.db,
                            "SELECT group_concat(hex(uid) || ':' || identifier) FROM "
                            "(SELECT uid, identifier FROM ACCOUNTS ORDER BY identifier)"),
                  rows);
        EXPECT_EQ(QueryText(f.db, "SELECT count(*) FROM CATEGORIES WHERE name = '[Checking]'"),
                  "1");
    }
    EXPECT_EQ(QueryText(f.db,
                        "SELECT count(*) FROM TRANSACTIONS t JOIN ACCOUNTS a ON "
                        "t.account_id = a.identifier WHERE t.kind = 1 AND a.name = "
                        "'Checking'"),
              "1");
}

TEST(MergeTransactionsTwoWay, MovedOnTheHandheldEndsInTheNewAccountOnly) {
    test::MergeFixture f;
    ASSERT_EQ(RunMerge(f, 0), 0);  // every account gets its row
    f.data = f.Reload();
    const RecordId id = test::MergeFixture::TestId(3);
    f.AddTransaction(id, "Desk", true);
    ASSERT_EQ(f.SaveDesktop(), 0);
    const RecordId savingsId = f.data->FindAccountByName("Savings")->Header().GetId();
    const int savingsRow = f.Row("ACCOUNTS", savingsId);
    f.Exec("UPDATE TRANSACTIONS SET account_id = " + std::to_string(savingsRow) +
           ", memo = 'Moved', modified = 1 WHERE kind = 0;");
    ASSERT_EQ(RunMerge(f, 0), 0);
    std::unique_ptr<CAccounts> after = f.Reload();
    EXPECT_EQ(after->FindAccountById(test::MergeFixture::CheckingId())->FindTransactionById(id),
              nullptr);
    const CTransaction* moved = after->FindAccountById(savingsId)->FindTransactionById(id);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->GetMemo(), "Moved");
    EXPECT_EQ(QueryText(f.db, "SELECT count(*) FROM TRANSACTIONS WHERE kind = 0"), "1");
    // The next run changes nothing more.
    ASSERT_EQ(RunMerge(f, 0), 0);
    after = f.Reload();
    EXPECT_NE(after->FindAccountById(savingsId)->FindTransactionById(id), nullptr);
    EXPECT_EQ(after->FindAccountById(test::MergeFixture::CheckingId())->FindTransactionById(id),
              nullptr);
}

TEST(MergeListsTwoWay, ScheduledItemKeepsItsEnterMode) {
    test::MergeFixture f;
    auto item = f.MakeScheduled(test::MergeFixture::TestId(4));
    item->SetEnterMode(1);
    f.InsertRow(*item);
    f.data->Scheduled().AddItem(std::move(item));
    ASSERT_EQ(f.SaveDesktop(), 0);
    f.Exec("UPDATE SCHEDULED_TRANSACTIONS SET days = 5, modified = 1;");
    ASSERT_EQ(RunMerge(f, 0), 0);
    std::unique_ptr<CAccounts> after = f.Reload();
    const auto* read = static_cast<const CScheduledItem*>(
        after->Scheduled().FindById(test::MergeFixture::TestId(4), false));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetDaysInAdvance(), 5);
    EXPECT_EQ(read->GetEnterMode(), 1);
}

TEST(MergeListsTwoWay, TypePairsThroughTheOtherFlagBit) {
    test::MergeFixture f;
    RecordId desktopId = test::MergeFixture::TestId(5);
    RecordId handheldId = desktopId;
    handheldId.bytes[6] ^= 0x80;
    f.data->TransactionTypes().AddItem(std::make_unique<CTransactionType>("Desk", desktopId));
    ASSERT_EQ(f.SaveDesktop(), 0);
    f.InsertRow(CTransactionType("Hand", handheldId));
    f.Exec("UPDATE TRANSACTION_TYPES SET modified = 1 WHERE name = 'Hand';");
    ASSERT_EQ(RunMerge(f, 0), 0);
    std::unique_ptr<CAccounts> after = f.Reload();
    const auto* type =
        static_cast<const CTransactionType*>(after->TransactionTypes().FindById(desktopId, false));
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->GetName(), "Hand");
    EXPECT_EQ(after->TransactionTypes().FindById(handheldId, true), nullptr);
    // One row for the pair, not a second one for the desktop's id.
    EXPECT_EQ(QueryText(f.db,
                        "SELECT count(*) FROM TRANSACTION_TYPES WHERE name IN ('Hand', "
                        "'Desk')"),
              "1");
}

TEST(MergeNewDevice, EmptyDesktopBecomesTheHandheldsData) {
    test::MergeFixture handheld;  // only to fill the handheld database
    handheld.AddTransaction(test::MergeFixture::TestId(6), "From handheld", false);
    handheld.Exec("UPDATE TRANSACTIONS SET modified = 0;");
    const std::string folder = test::MakeTempDir("newuser") + "/user";
    MergeRunOptions options{0, true, {}};
    CHandheldMerge merge(folder, handheld.dbPath, options);
    merge.SetTimeZoneBias(0);
    EXPECT_EQ(merge.EffectiveMode(), 2);
    ASSERT_EQ(merge.Run(), 0);
    std::unique_ptr<CAccounts> data;
    AccountsLoadOptions load;
    ASSERT_EQ(CAccounts::LoadInto(data, folder, load), 0);
    ASSERT_EQ(data->GetAccountCount(), 1u);
    const CAccount* checking = data->GetAccountAt(0);
    EXPECT_EQ(checking->Header().GetName(), "Checking");
    ASSERT_EQ(checking->Transactions().size(), 1u);
    EXPECT_EQ(checking->Transactions()[0]->GetMemo(), "From handheld");
}

}  // namespace
}  // namespace tallowmere::handheld

namespace tallowmere::handheld {
namespace {

// Currencies pair by their one-byte id, and only the rate travels.
constexpr double kDeskRate = 2.5;
constexpr double kHandRate = 3.5;
constexpr double kNoRow = -1;

struct CurrencyCase {
    CurrencyId id;
    // Handheld row: 0 none, 1 live, 2 rate changed, 3 deleted.
    int handheld;
    // Desktop: 1 live, 2 rate changed, 3 deleted.
    int desktop;
    double handheldAfter;  // kNoRow: no row
    double desktopAfter;   // kNoRow: not in the list; 0: the rate it had
};

struct CurrencyMode {
    int mode;
    std::vector<CurrencyCase> cases;
};

TEST(MergeCurrencies, EachModePairsByCurrencyId) {
    const std::vector<CurrencyMode> modes = {
        {0,
         {{2, 1, 2, kDeskRate, kDeskRate},
          {3, 2, 1, kHandRate, kHandRate},
          {4, 2, 2, kHandRate, kHandRate},
          {5, 3, 1, kNoRow, kNoRow},
          {6, 1, 3, kNoRow, kNoRow},
          {7, 0, 1, kNoRow, 0}}},
        {1,
         {{2, 1, 2, kDeskRate, kDeskRate},
          {3, 2, 1, 0, 0},
          {4, 2, 2, kDeskRate, kDeskRate},
          // The desktop's currency lives on on both sides.
          {5, 3, 1, 0, 0},
          {6, 1, 3, kNoRow, kNoRow},
          {7, 0, 1, kNoRow, 0}}},
        {2,
         {{2, 1, 2, 0, 0},
          {3, 2, 1, kHandRate, kHandRate},
          {4, 2, 2, kHandRate, kHandRate},
          {5, 3, 1, kNoRow, kNoRow},
          {6, 1, 3, 0, 0},
          {7, 0, 1, kNoRow, kNoRow}}},
    };
    for (const CurrencyMode& mode : modes) {
        test::MergeFixture f;
        std::map<CurrencyId, double> original;
        CCurrencyList& list = f.data->Currencies();
        for (const CurrencyCase& c : mode.cases) {
            CCurrencyItem* item = list.FindById(c.id);
            ASSERT_NE(item, nullptr);
            original[c.id] = item->GetRate();
            if (c.handheld != 0)
                f.Exec("INSERT INTO CURRENCIES VALUES(" + std::to_string(c.id) + ", 'C" +
                       std::to_string(c.id) + "', " + std::to_string(c.id) + ", " +
                       std::to_string(c.handheld == 2 ? kHandRate : item->GetRate()) + ", '', 0, " +
                       (c.handheld == 2 ? "1" : "0") + ", " + (c.handheld == 3 ? "1" : "0") + ");");
            if (c.desktop == 2) {
                item->SetRate(kDeskRate);
                item->SetAttribute(CPalmListItem::kModified);
            }
            if (c.desktop == 3)
                list.DeleteItem(item);
        }
        ASSERT_EQ(list.Save(), 0);
        ASSERT_EQ(RunMerge(f, mode.mode), 0);
        std::unique_ptr<CAccounts> after = f.Reload();
        for (const CurrencyCase& c : mode.cases) {
            SCOPED_TRACE("mode " + std::to_string(mode.mode) + " currency " + std::to_string(c.id));
            const std::string where =
                " FROM CURRENCIES WHERE currency_id = " + std::to_string(c.id);
            if (c.handheldAfter == kNoRow) {
                EXPECT_EQ(QueryText(f.db, "SELECT count(*)" + where), "0");
            } else {
                EXPECT_EQ(QueryText(f.db, "SELECT count(*)" + where + " AND deleted = 0"), "1");
                const double expect = c.handheldAfter == 0 ? original[c.id] : c.handheldAfter;
                EXPECT_DOUBLE_EQ(std::stod(QueryText(f.db, "SELECT conversion" + where)), expect);
            }
            const CCurrencyItem* item = after->Currencies().FindById(c.id);
            if (c.desktopAfter == kNoRow) {
                EXPECT_EQ(item, nullptr);
            } else {
                ASSERT_NE(item, nullptr);
                EXPECT_DOUBLE_EQ(item->GetRate(),
                                 c.desktopAfter == 0 ? original[c.id] : c.desktopAfter);
            }
        }
    }
}

TEST(MergeCurrencies, HomeCurrencyTravelsBothWays) {
    test::MergeFixture f;
    for (int id : {1, 2, 3})
        f.Exec("INSERT INTO CURRENCIES VALUES(" + std::to_string(id) + ", 'C', " +
               std::to_string(id) + ", 1.0, '', 0, 0, 0);");
    // Changed on the desktop: the handheld learns it.
    f.data->Currencies().SetHomeCurrency(f.data->Currencies().FindById(2));
    ASSERT_EQ(f.data->Currencies().Save(), 0);
    ASSERT_EQ(RunMerge(f, 0), 0);
    EXPECT_EQ(QueryText(f.db, "SELECT value FROM SETTINGS WHERE name = 'baseCurrencyIdPlain'"),
              "2");
    // Changed on the handheld: the desktop learns it.
    f.Exec("UPDATE SETTINGS SET value = '3' WHERE name = 'baseCurrencyIdPlain';");
    f.Exec("UPDATE CURRENCIES SET modified = 1 WHERE currency_id = 3;");
    ASSERT_EQ(RunMerge(f, 0), 0);
    std::unique_ptr<CAccounts> after = f.Reload();
    EXPECT_EQ(after->Currencies().GetHomeCurrencyId(), 3);
    EXPECT_FALSE(after->Currencies().IsHomeChanged());
}

}  // namespace
}  // namespace tallowmere::handheld

namespace tallowmere::handheld {
namespace {

TEST(MergeTransactionsDesktopOverwrites, SplitRowsAreNotLeftBehindOrDoubled) {
    test::MergeFixture f;
    auto t = f.MakeTransaction(test::MergeFixture::TestId(7), "Split");
    t->SetCategoryId(SplitMarkerId);
    t->SetSplitAmount(0, 60);
    t->SetSplitMemo(0, "one");
    t->SetSplitAmount(1, 40);
    t->SetSplitMemo(1, "two");
    ASSERT_EQ(InsertTransaction(f.db, f.offset, *t, f.checkingRow, 0), 0);
    f.Checking().AddTransaction(std::move(t));
    ASSERT_EQ(f.SaveDesktop(), 0);
    // A register row of the handheld's own with a split line of its own.
    f.AddTransaction(test::MergeFixture::TestId(8), "Handheld only", false);
    f.Exec(
        "INSERT INTO SPLITS VALUES(900, 1.0, 'stray', 0, NULL, 0, 0, 0, 0, (SELECT identifier "
        "FROM TRANSACTIONS WHERE memo = 'Handheld only'));");
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(RunMerge(f, 1), 0);
        EXPECT_EQ(QueryText(f.db,
                            "SELECT group_concat(memo) FROM (SELECT memo FROM SPLITS ORDER "
                            "BY identifier)"),
                  "one,two");
        EXPECT_EQ(QueryText(f.db,
                            "SELECT count(*) FROM SPLITS s JOIN TRANSACTIONS t ON "
                            "s.transaction_id = t.identifier WHERE t.memo = 'Split'"),
                  "2");
    }
}

TEST(MergeAccountsTwoWay, AccountDeletedOnTheHandheldTakesItsRowsAlong) {
    test::MergeFixture f;
    const RecordId account = test::MergeFixture::TestId(20);
    f.AddAccount(account, "Bank", true);
    const int row = f.Row("ACCOUNTS", account);
    auto t = f.MakeTransaction(test::MergeFixture::TestId(21), "In the account");
    t->SetCategoryId(SplitMarkerId);
    t->SetSplitAmount(0, 5);
    ASSERT_EQ(InsertTransaction(f.db, f.offset, *t, row, 0), 0);
    f.data->FindAccountById(account)->AddTransaction(std::move(t));
    ASSERT_EQ(f.SaveDesktop(), 0);
    f.Exec("UPDATE ACCOUNTS SET deleted = 1 WHERE identifier = " + std::to_string(row) + ";");
    ASSERT_EQ(RunMerge(f, 0), 0);
    EXPECT_EQ(QueryText(f.db, "SELECT count(*) FROM TRANSACTIONS WHERE account_id = " +
                                  std::to_string(row)),
              "0");
    EXPECT_EQ(QueryText(f.db, "SELECT count(*) FROM SPLITS"), "0");
    EXPECT_EQ(QueryText(f.db, "SELECT count(*) FROM CATEGORIES WHERE name = '[Acct 20]'"), "0");
    std::unique_ptr<CAccounts> after = f.Reload();
    EXPECT_EQ(after->FindAccountById(account), nullptr);
}

}  // namespace
}  // namespace tallowmere::handheld
