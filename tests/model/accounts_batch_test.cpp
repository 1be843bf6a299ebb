// Deletes and edits of many rows of one register: each row goes through the
// mirror logic of its single form, and each touched file is written once.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/account_test_world.h"
#include "model/accounts.h"
#include "model/class_item.h"
#include "model/list_test_items.h"
#include "platform/atomic_file.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Day;

const RecordId kGroceries = RecordId::Fixed(0x6B);
const RecordId kFuel = RecordId::Fixed(0x6D);

std::unique_ptr<CAccounts> LoadFolder(const std::string& folder) {
    std::unique_ptr<CAccounts> set;
    AccountsLoadFailure failure;
    EXPECT_EQ(CAccounts::LoadInto(set, folder, AccountsLoadOptions{}, &failure), 0) << failure.path;
    return set;
}

CAccount& Named(CAccounts& set, const char* name) {
    CAccount* a = set.FindAccountByName(name);
    EXPECT_NE(a, nullptr) << name;
    return *a;
}

void CheckDataSet(CAccounts& set) {
    test::FakeOwner view;
    for (std::size_t i = 0; i < set.GetAccountCount(); ++i)
        view.accounts.push_back(set.GetAccountAt(i));
    test::CheckInvariants(view);
}

std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        files[e.path().filename().string()] = test::ReadFileBytes(e.path().string());
    return files;
}

// Counts the files written while it lives; the write of file number failAt
// (1-based; 0 none) fails.
class WriteCounter {
  public:
    explicit WriteCounter(int failAt = 0) {
        platform::SetWriteFault([this, failAt](std::size_t written, int& err) {
            if (written == 0)
                ++files;
            if (files == failAt) {
                err = ENOSPC;
                return false;
            }
            return true;
        });
    }
    ~WriteCounter() { platform::SetWriteFault(nullptr); }
    WriteCounter(const WriteCounter&) = delete;
    WriteCounter& operator=(const WriteCounter&) = delete;
    int files = 0;
};

// The rows of Checking that the tests act on.
struct Rows {
    RecordId plain;     // an expense
    RecordId transfer;  // to Savings
    RecordId split;     // a line to Groceries and one to Visa
    RecordId selfA;     // two rows of Checking mirroring each other
    RecordId selfB;
    RecordId splitCopy;  // Visa's copy of the split's line
    RecordId visaPlain;
};

// The default accounts with the rows above, Checking sorted by category so
// that a category edit moves rows.
std::string BuildFolder(Rows& rows) {
    const std::string folder = test::MakeTempDir("batch");
    std::unique_ptr<CAccounts> set = LoadFolder(folder);
    CAccount& checking = Named(*set, "Checking");
    CAccount& savings = Named(*set, "Savings");
    CAccount& visa = Named(*set, "Visa");
    checking.SetSortMode(5);

    auto plain = test::MakeTx(Day(2012, 2, 1), -4500, kStatusCleared, "Gas Stop");
    plain->SetCategoryId(kFuel);
    rows.plain = plain->GetId();
    checking.AddTransaction(std::move(plain));

    CTransaction* transfer = nullptr;
    EXPECT_EQ(
        set->CreateTransfer(Day(2012, 2, 3), checking, savings, 25000, false, &checking, &transfer),
        0);
    rows.transfer = transfer->GetId();

    auto split = test::MakeTx(Day(2012, 2, 5), -12000, kStatusOpen, "Market");
    split->SetCategoryId(SplitMarkerId);
    split->SetSplitCategoryId(0, kGroceries);
    split->SetSplitAmount(0, 7000);
    split->SetSplitCategoryId(1, visa.Header().GetId());
    split->SetSplitAmount(1, 5000);
    rows.split = split->GetId();
    EXPECT_EQ(checking.AddTransactionWithTransfer(std::move(split)), 0);

    // Files of other programs may hold a transfer of an account into
    // itself: its mirror lies in the same register.
    auto a = test::MakeTx(Day(2012, 2, 6), -300, kStatusOpen, "Self");
    auto b = test::MakeTx(Day(2012, 2, 6), 300, kStatusOpen, "Self");
    a->SetCategoryId(checking.Header().GetId());
    b->SetCategoryId(checking.Header().GetId());
    a->SetLinkedId(b->GetId());
    b->SetLinkedId(a->GetId());
    rows.selfA = a->GetId();
    rows.selfB = b->GetId();
    checking.AddTransaction(std::move(a));
    checking.AddTransaction(std::move(b));
    EXPECT_EQ(checking.ResortTransactions(), 0);

    for (const auto& t : visa.Transactions()) {
        if (t->IsSplitTransferCopy())
            rows.splitCopy = t->GetId();
    }
    auto visaPlain = test::MakeTx(Day(2012, 2, 8), -990, kStatusOpen, "Books");
    rows.visaPlain = visaPlain->GetId();
    visa.AddTransaction(std::move(visaPlain));
    EXPECT_EQ(visa.Save(), 0);
    EXPECT_FALSE(rows.splitCopy.IsNull());
    CheckDataSet(*set);
    return folder;
}

std::string CopyFolder(const std::string& from) {
    const std::string to = test::MakeTempDir("batch_copy");
    std::filesystem::copy(from, to,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    return to;
}

// ---------------------------------------------------------------- delete

TEST(DeleteTransactions, EachTouchedFileIsWrittenOnceWithWhatSingleDeletesLeave) {
    for (const bool fold : {false, true}) {
        SCOPED_TRACE(fold ? "fold" : "no fold");
        Rows rows;
        const std::string batchFolder = BuildFolder(rows);
        const std::string singleFolder = CopyFolder(batchFolder);
        // The self mirror goes with its partner; the copy and an unknown id
        // are skipped.
        const std::vector<RecordId> ids = {rows.plain, rows.selfA,     rows.transfer, rows.selfB,
                                           rows.split, rows.splitCopy, NewRecordId()};

        std::unique_ptr<CAccounts> batch = LoadFolder(batchFolder);
        CAccount& checking = Named(*batch, "Checking");
        const Cents before = checking.Header().GetCurrentBalance();
        {
            WriteCounter writes;
            EXPECT_EQ(batch->DeleteTransactions(checking, ids, fold), 0);
            // Checking, Savings and Visa.
            EXPECT_EQ(writes.files, 3);
        }
        EXPECT_TRUE(checking.Transactions().empty());
        EXPECT_EQ(checking.DeletedTransactions().size(), 5u);
        EXPECT_TRUE(Named(*batch, "Savings").Transactions().empty());
        ASSERT_EQ(Named(*batch, "Visa").Transactions().size(), 1u);
        EXPECT_EQ(checking.Header().GetCurrentBalance() == before, fold);
        CheckDataSet(*batch);

        // The same deletes one at a time leave the same bytes in every file.
        std::unique_ptr<CAccounts> single = LoadFolder(singleFolder);
        CAccount& other = Named(*single, "Checking");
        for (const RecordId& id : ids) {
            if (const CTransaction* t = other.FindTransactionById(id))
                single->DeleteTransaction(other, *t, fold);
        }
        const auto batchFiles = Snapshot(batchFolder);
        const auto singleFiles = Snapshot(singleFolder);
        ASSERT_EQ(batchFiles.size(), singleFiles.size());
        for (const auto& [name, bytes] : batchFiles)
            EXPECT_TRUE(singleFiles.at(name) == bytes) << name;
    }
}

TEST(DeleteTransactions, OnlySplitCopiesOrGoneIdsWriteNothing) {
    Rows rows;
    std::unique_ptr<CAccounts> set = LoadFolder(BuildFolder(rows));
    CAccount& visa = Named(*set, "Visa");
    const std::vector<RecordId> ids = {rows.splitCopy, rows.plain};
    {
        WriteCounter writes;
        EXPECT_EQ(set->DeleteTransactions(visa, ids, false), 0);
        EXPECT_EQ(writes.files, 0);
    }
    EXPECT_EQ(visa.Transactions().size(), 2u);

    CAccount outside;
    EXPECT_EQ(set->DeleteTransactions(outside, ids, false), -1);
}

TEST(DeleteTransactions, AFailedSaveIsReportedAndTheOtherFilesAreWritten) {
    Rows rows;
    const std::string folder = BuildFolder(rows);
    std::unique_ptr<CAccounts> set = LoadFolder(folder);
    CAccount& checking = Named(*set, "Checking");
    const std::vector<RecordId> ids = {rows.transfer, rows.split};
    test::CapturingSink sink;
    {
        // Checking first, then the others in name order: Savings fails.
        WriteCounter writes(2);
        EXPECT_NE(set->DeleteTransactions(checking, ids, false), 0);
        EXPECT_EQ(writes.files, 3);
    }
    EXPECT_EQ(sink.reports.size(), 1u);
    std::unique_ptr<CAccounts> reloaded = LoadFolder(folder);
    EXPECT_EQ(Named(*reloaded, "Checking").FindTransactionById(rows.transfer), nullptr);
    EXPECT_EQ(Named(*reloaded, "Checking").FindTransactionById(rows.split), nullptr);
    EXPECT_EQ(Named(*reloaded, "Savings").Transactions().size(), 1u);
    EXPECT_EQ(Named(*reloaded, "Visa").FindTransactionById(rows.splitCopy), nullptr);
}

// ---------------------------------------------------------------- edit

TEST(ModifyTransactions, EditsGoThroughTheMirrorsAndWriteEachFileOnce) {
    struct Case {
        const char* name;
        std::function<void(CTransaction&)> edit;
        int files;
        std::size_t savings;  // Savings' rows afterwards
        std::size_t visa;
    };
    const std::vector<Case> cases = {
        // The transfer and the split stop being transfers: their mirrors go.
        {"category", [](CTransaction& t) { t.SetCategoryId(kGroceries); }, 3, 0, 1},
        // The mirrors follow the payee and the class.
        {"payee", [](CTransaction& t) { t.SetPayeeName("Zed"); }, 3, 1, 2},
        {"class", [](CTransaction& t) { t.SetClassId(PersonalClassId); }, 3, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rows rows;
        const std::string folder = BuildFolder(rows);
        std::unique_ptr<CAccounts> set = LoadFolder(folder);
        CAccount& checking = Named(*set, "Checking");
        const std::vector<RecordId> ids = {rows.plain, rows.transfer, rows.split, NewRecordId()};
        {
            WriteCounter writes;
            EXPECT_EQ(set->ModifyTransactions(checking, ids, c.edit), 0);
            EXPECT_EQ(writes.files, c.files);
        }
        EXPECT_EQ(Named(*set, "Savings").Transactions().size(), c.savings);
        EXPECT_EQ(Named(*set, "Visa").Transactions().size(), c.visa);
        // Balances, order by category, links and files as memory.
        CheckDataSet(*set);
        for (const RecordId& id : {rows.plain, rows.transfer, rows.split}) {
            CTransaction edited(*checking.FindTransactionById(id));
            c.edit(edited);
            EXPECT_TRUE(edited.IsSameRecord(*checking.FindTransactionById(id)));
        }
        if (c.savings == 1) {
            const CTransaction& mirror = *Named(*set, "Savings").Transactions()[0];
            EXPECT_EQ(mirror.GetLinkedId(), rows.transfer);
            CTransaction expected(mirror);
            c.edit(expected);
            EXPECT_TRUE(expected.IsSameRecord(mirror));
        }
    }
}

TEST(ModifyTransactions, SplitCopiesAreLeftToTheirSource) {
    Rows rows;
    std::unique_ptr<CAccounts> set = LoadFolder(BuildFolder(rows));
    CAccount& visa = Named(*set, "Visa");
    const auto rename = [](CTransaction& t) { t.SetPayeeName("Renamed"); };
    const std::vector<RecordId> copyOnly = {rows.splitCopy};
    {
        WriteCounter writes;
        EXPECT_EQ(set->ModifyTransactions(visa, copyOnly, rename), 0);
        EXPECT_EQ(writes.files, 0);
    }
    EXPECT_NE(visa.FindTransactionById(rows.splitCopy)->GetPayeeName(), "Renamed");

    const std::vector<RecordId> both = {rows.splitCopy, rows.visaPlain};
    {
        WriteCounter writes;
        EXPECT_EQ(set->ModifyTransactions(visa, both, rename), 0);
        EXPECT_EQ(writes.files, 1);
    }
    EXPECT_EQ(visa.FindTransactionById(rows.visaPlain)->GetPayeeName(), "Renamed");
    EXPECT_NE(visa.FindTransactionById(rows.splitCopy)->GetPayeeName(), "Renamed");
    CheckDataSet(*set);

    CAccount outside;
    EXPECT_EQ(set->ModifyTransactions(outside, both, rename), -1);
}

}  // namespace
}  // namespace tallowmere
