// The data set of one user: loading a folder whole or not at all, the
// default accounts and lists, the old-layout decision per load, category
// texts, net worth, transfers, deletes, scheduled posting and imports.
#include "model/accounts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/account_test_world.h"
#include "model/error_sink.h"
#include "model/list_file_names.h"
#include "model/list_test_items.h"
#include "model/paths.h"
#include "model/string_table.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Day;

std::unique_ptr<CAccounts> LoadFolder(const std::string& folder,
                                      const AccountsLoadOptions& options = {}) {
    std::unique_ptr<CAccounts> set;
    AccountsLoadFailure failure;
    const int r = CAccounts::LoadInto(set, folder, options, &failure);
    EXPECT_EQ(r, 0) << failure.path;
    return set;
}

// The invariant checker of the register tests over a data set's accounts.
void CheckDataSet(CAccounts& set) {
    test::FakeOwner view;
    for (std::size_t i = 0; i < set.GetAccountCount(); ++i)
        view.accounts.push_back(set.GetAccountAt(i));
    test::CheckInvariants(view);
}

CAccount& Named(CAccounts& set, const char* name) {
    CAccount* a = set.FindAccountByName(name);
    EXPECT_NE(a, nullptr) << name;
    return *a;
}

// Every file of the folder by name.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        files[e.path().filename().string()] = test::ReadFileBytes(e.path().string());
    return files;
}

class FailingWrites {
  public:
    FailingWrites() {
        platform::SetWriteFault([](std::size_t, int& err) {
            err = ENOSPC;
            return false;
        });
    }
    ~FailingWrites() { platform::SetWriteFault(nullptr); }
};

struct QuietSink : ErrorSink {
    void Report(const ErrorReport&) override {}
};

// A small realistic folder: the defaults, an opening balance, an expense, a
// transfer, a split with a transfer line, a deleted transaction, a payee and
// a scheduled item.
std::string BuildFixture() {
    const std::string folder = test::MakeTempDir("data");
    std::unique_ptr<CAccounts> set = LoadFolder(folder);
    CAccount& checking = Named(*set, "Checking");
    CAccount& savings = Named(*set, "Savings");
    CAccount& visa = Named(*set, "Visa");
    checking.Header().SetOpeningBalance(100000);
    checking.RecalcBalances();

    auto fuel = test::MakeTx(Day(2012, 2, 1), -4500, kStatusCleared, "Gas Stop");
    fuel->SetCategoryId(RecordId::Fixed(0x6D));
    EXPECT_EQ(set->MemorizePayee(*fuel), 0);
    checking.AddTransaction(std::move(fuel));
    EXPECT_EQ(checking.Save(), 0);

    EXPECT_EQ(set->CreateTransfer(Day(2012, 2, 3), checking, savings, 25000, false, nullptr), 0);

    auto split = test::MakeTx(Day(2012, 2, 5), -12000, kStatusOpen, "Market");
    split->SetCategoryId(SplitMarkerId);
    split->SetSplitCategoryId(0, RecordId::Fixed(0x6B));
    split->SetSplitAmount(0, 7000);
    split->SetSplitCategoryId(1, visa.Header().GetId());
    split->SetSplitAmount(1, 5000);
    split->SetSplitMemo(1, "card payment");
    EXPECT_EQ(checking.AddTransactionWithTransfer(std::move(split)), 0);
    EXPECT_EQ(checking.Save(), 0);

    auto gone = test::MakeTx(Day(2012, 2, 7), 100, kStatusOpen, "Refund");
    const RecordId goneId = gone->GetId();
    checking.AddTransaction(std::move(gone));
    EXPECT_EQ(set->DeleteTransaction(checking, *checking.FindTransactionById(goneId), false), 0);

    auto item = std::make_unique<CScheduledItem>();
    item->EditTemplate().SetTypeId(WithdrawalTypeId);
    item->EditTemplate().SetAmount(9900);
    item->EditTemplate().SetDate(Day(2012, 1, 20));
    item->SetPayee("Rent");
    item->SetAccountId(checking.Header().GetId());
    item->SetNextDue(Day(2099, 1, 20));
    item->SetFrequency(kFrequencyMonthly);
    item->SetRepeatCount(kRepeatIndefinitely);
    EXPECT_EQ(set->Scheduled().InsertSorted(std::move(item)), 0);
    CheckDataSet(*set);
    return folder;
}

void ExpectSameAccounts(const CAccounts& a, const CAccounts& b) {
    ASSERT_EQ(a.GetAccountCount(), b.GetAccountCount());
    for (std::size_t i = 0; i < a.GetAccountCount(); ++i) {
        const CAccount& x = *a.GetAccountAt(i);
        const CAccount& y = *b.GetAccountAt(i);
        SCOPED_TRACE(x.GetName());
        EXPECT_EQ(x.GetName(), y.GetName());
        EXPECT_EQ(x.Header().GetBytes(), y.Header().GetBytes());
        EXPECT_EQ(x.GetColor(), y.GetColor());
        ASSERT_EQ(x.Transactions().size(), y.Transactions().size());
        for (std::size_t n = 0; n < x.Transactions().size(); ++n)
            EXPECT_TRUE(x.Transactions()[n]->IsSameRecord(*y.Transactions()[n]));
        ASSERT_EQ(x.DeletedTransactions().size(), y.DeletedTransactions().size());
    }
    EXPECT_EQ(a.Payees().GetCount(true), b.Payees().GetCount(true));
    EXPECT_EQ(a.Categories().GetCount(true), b.Categories().GetCount(true));
    EXPECT_EQ(a.Classes().GetCount(true), b.Classes().GetCount(true));
    EXPECT_EQ(a.Currencies().GetCount(true), b.Currencies().GetCount(true));
    EXPECT_EQ(a.TransactionTypes().GetCount(true), b.TransactionTypes().GetCount(true));
    EXPECT_EQ(a.Scheduled().GetCount(true), b.Scheduled().GetCount(true));
    EXPECT_EQ(a.PayeeLookup().GetCount(true), b.PayeeLookup().GetCount(true));
}

// ---------------------------------------------------------------- loading

class TestInstitutions : public CFileList {};

TEST(Accounts, EmptyFolderGetsDefaultAccountsAndLists) {
    const std::string folder = test::MakeTempDir("empty") + "/not/yet/made";
    std::unique_ptr<CAccounts> set = LoadFolder(folder);
    ASSERT_TRUE(set);
    EXPECT_EQ(set->GetFolder(), folder);
    ASSERT_EQ(set->GetAccountCount(), kDefaultAccounts.size());
    for (const DefaultAccount& d : kDefaultAccounts) {
        const CAccount* a = set->FindAccountById(RecordId::Fixed(d.code));
        ASSERT_NE(a, nullptr) << d.code;
        EXPECT_EQ(a->GetName(), LoadString(d.stringId));
        EXPECT_EQ(a->Header().GetName(), LoadString(d.stringId));
        EXPECT_EQ(a->Header().GetType(), d.type);
        EXPECT_EQ(a->Header().GetIconIndex(), d.icon);
        EXPECT_EQ(a->GetColor(), d.color);
        EXPECT_TRUE(FileExists(a->GetPath()));
    }
    // Name order.
    for (std::size_t i = 1; i < set->GetAccountCount(); ++i)
        EXPECT_LT(set->GetAccountAt(i - 1)->GetName(), set->GetAccountAt(i)->GetName());
    for (std::string_view name : kListFileNames) {
        // The institution list is not the data set's to make.
        EXPECT_EQ(FileExists(JoinPath(folder, name)), name != kFiListFile) << name;
    }
    EXPECT_EQ(set->GetInstitutionList(), nullptr);
    EXPECT_EQ(set->Categories().GetCount(true), kDefaultCategories.size());
    EXPECT_EQ(set->TransactionTypes().GetCount(true), kDefaultTransactionTypes.size());

    AccountsLoadOptions withInstitutions;
    withInstitutions.makeInstitutionList = [] { return std::make_unique<TestInstitutions>(); };
    std::unique_ptr<CAccounts> again = LoadFolder(folder, withInstitutions);
    ASSERT_TRUE(again);
    EXPECT_NE(again->GetInstitutionList(), nullptr);
    EXPECT_TRUE(FileExists(JoinPath(folder, kFiListFile)));
    ExpectSameAccounts(*set, *again);
}

TEST(Accounts, PlaceholdersAreAccountsOnlyWhenAsked) {
    const std::string folder = test::MakeTempDir("ph");
    {
        CAccount gone;
        gone.Header().SetName("Old Loan");
        gone.SetPath(JoinPath(folder, MakePlaceholderFileName(0)));
        ASSERT_EQ(gone.Save(), 0);
    }
    AccountsLoadOptions include;
    include.includePlaceholders = true;
    std::unique_ptr<CAccounts> sync = LoadFolder(folder, include);
    ASSERT_TRUE(sync);
    ASSERT_EQ(sync->GetAccountCount(), 1u);
    EXPECT_TRUE(sync->GetAccountAt(0)->IsPlaceholderFile());

    // Without them the folder counts as empty and gets the defaults.
    std::unique_ptr<CAccounts> desktop = LoadFolder(folder);
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->GetAccountCount(), kDefaultAccounts.size());
    EXPECT_EQ(desktop->FindAccountByName(MakePlaceholderFileName(0).substr(0, 26)), nullptr);
    EXPECT_EQ(LoadFolder(folder, include)->GetAccountCount(), kDefaultAccounts.size() + 1);
}

TEST(Accounts, LoadSaveLoadGivesTheSameDataSet) {
    const std::string folder = BuildFixture();
    std::unique_ptr<CAccounts> first = LoadFolder(folder);
    ASSERT_TRUE(first);
    CheckDataSet(*first);
    EXPECT_EQ(Named(*first, "Checking").Transactions().size(), 3u);
    EXPECT_EQ(Named(*first, "Checking").DeletedTransactions().size(), 1u);
    EXPECT_EQ(Named(*first, "Visa").Transactions().size(), 1u);
    EXPECT_NE(first->Payees().FindByName("Gas Stop"), nullptr);

    const auto before = Snapshot(folder);
    ASSERT_EQ(first->Save(), 0);
    EXPECT_EQ(Snapshot(folder), before);

    std::unique_ptr<CAccounts> second = LoadFolder(folder);
    ASSERT_TRUE(second);
    ExpectSameAccounts(*first, *second);
    CheckDataSet(*second);
}

TEST(Accounts, FailedLoadLeavesTheCurrentDataSetAndNamesTheFile) {
    const std::string good = BuildFixture();
    std::unique_ptr<CAccounts> current = LoadFolder(good);
    ASSERT_TRUE(current);
    const CAccounts* before = current.get();
    const std::size_t transactions = Named(*current, "Checking").Transactions().size();

    for (const char* file : {kCategoriesListFile, kPayeesListFile, kCurrenciesListFile,
                             kScheduledTransListFile, kPayeeLookupListFile, "Savings.wqm"}) {
        SCOPED_TRACE(file);
        const std::string bad = test::MakeTempDir("bad");
        for (const auto& [name, bytes] : Snapshot(good))
            test::WriteFileBytes(JoinPath(bad, name), bytes);
        test::WriteFileBytes(JoinPath(bad, file), "this is not a list file");

        AccountsLoadFailure failure;
        EXPECT_NE(CAccounts::LoadInto(current, bad, {}, &failure), 0);
        EXPECT_NE(failure.code, 0);
        EXPECT_EQ(failure.path, JoinPath(bad, file));
        EXPECT_EQ(current.get(), before);
        EXPECT_EQ(current->GetFolder(), good);
        EXPECT_EQ(Named(*current, "Checking").Transactions().size(), transactions);
        // Nothing of the bad folder was written over.
        EXPECT_EQ(test::ReadFileBytes(JoinPath(bad, file)), "this is not a list file");
    }
    CheckDataSet(*current);
}

TEST(Accounts, EveryAccountLoadsAndSavesWithTheDataSetsCipher) {
    const std::string folder = test::MakeTempDir("cipher");
    AccountsLoadOptions desktop;
    desktop.cipher = HeaderCipher::WithKey(std::make_shared<const CBlowfish>("secret"));
    {
        // The defaults are written with the key too.
        std::unique_ptr<CAccounts> set = LoadFolder(folder, desktop);
        ASSERT_TRUE(set);
        Named(*set, "Savings").Header().SetCustomerId("customer-7");
        ASSERT_EQ(set->Save(), 0);
    }
    const std::string file = JoinPath(folder, "Savings.wqm");
    const std::string stored = test::ReadFileBytes(file);
    EXPECT_EQ(stored.find("customer-7"), std::string::npos);

    // The sync neither deciphers nor enciphers.
    AccountsLoadOptions sync;
    sync.cipher = HeaderCipher::PassThrough();
    std::unique_ptr<CAccounts> passed = LoadFolder(folder, sync);
    ASSERT_TRUE(passed);
    EXPECT_NE(Named(*passed, "Savings").Header().GetCustomerId(), "customer-7");
    ASSERT_EQ(passed->Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(file), stored);

    std::unique_ptr<CAccounts> again = LoadFolder(folder, desktop);
    ASSERT_TRUE(again);
    EXPECT_EQ(Named(*again, "Savings").Header().GetCustomerId(), "customer-7");
}

// Rewrites the named records of a list file into the id-first layout: each
// record's name field and id change places. The file holds records of one
// class, each followed by afterRecord bytes.
void RewriteIdFirst(const std::string& path, std::size_t recordSize, std::size_t afterRecord) {
    std::string bytes = test::ReadFileBytes(path);
    const auto word = [&](std::size_t at) {
        return static_cast<std::size_t>(static_cast<std::uint8_t>(bytes.at(at)) |
                                        static_cast<std::uint8_t>(bytes.at(at + 1)) << 8);
    };
    const std::size_t count = word(0);
    std::size_t at = 2;
    for (std::size_t i = 0; i < count; ++i) {
        // A new class: tag, schema, name length, name; then object tags.
        at += word(at) == 0xFFFF ? 6 + word(at + 4) : 2;
        at += 5;  // record number and attribute
        const std::string current = bytes.substr(at, 41);
        bytes.replace(at, 41, current.substr(33, 8) + current.substr(0, 33));
        at += recordSize + afterRecord;
    }
    ASSERT_LE(at, bytes.size());
    test::WriteFileBytes(path, bytes);
}

// Every named list of a folder into the id-first layout.
void RewriteFolderIdFirst(const std::string& folder) {
    RewriteIdFirst(JoinPath(folder, kCategoriesListFile), kCategoryRecordSize, 4);
    RewriteIdFirst(JoinPath(folder, kClassListFile), kClassRecordSize, 4);
    RewriteIdFirst(JoinPath(folder, kTransTypesFile), kTransactionTypeRecordSize, 1 + 4);
    RewriteIdFirst(JoinPath(folder, kPayeesListFile), kPayeeRecordSize, 4);
    RewriteIdFirst(JoinPath(folder, kPayeeLookupListFile), kPayeeLookupRecordSize, 4);
}

TEST(Accounts, OldLayoutIsDecidedByEachLoadFromItsOwnCategoryFile) {
    const std::string current = test::MakeTempDir("current");
    LoadFolder(current);
    const std::string old = test::MakeTempDir("old");
    LoadFolder(old);
    RewriteIdFirst(JoinPath(old, kCategoriesListFile), kCategoryRecordSize, 4);
    RewriteIdFirst(JoinPath(old, kClassListFile), kClassRecordSize, 4);
    RewriteIdFirst(JoinPath(old, kTransTypesFile), kTransactionTypeRecordSize, 1 + 4);
    // A current file whose Auto was deleted and then taken out of the list.
    const std::string noAuto = test::MakeTempDir("noauto");
    {
        std::unique_ptr<CAccounts> set = LoadFolder(noAuto);
        CCategoryList& categories = set->Categories();
        for (std::uint16_t code : {0x6D, 0x6E, 0x6F, 0x6C}) {
            CPalmListItem* item = categories.FindById(RecordId::Fixed(code), true);
            ASSERT_NE(item, nullptr);
            ASSERT_EQ(categories.RemoveItem(item).result, 0);
        }
    }

    struct Case {
        const char* what;
        const std::string& folder;
        bool idFirst;
    };
    // One data set through every folder, the old one between the others,
    // so a decision left over from an earlier load would show.
    const std::vector<Case> cases = {
        {"current", current, false},
        {"old", old, true},
        {"current after old", current, false},
        {"old again", old, true},
        {"no Auto", noAuto, false},
    };
    CAccounts set;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(set.Load(c.folder, {}), 0);
        EXPECT_EQ(set.HasOldFormatRecords(), c.idFirst);
        const CCategoryItem* salary = set.Categories().FindById(RecordId::Fixed(0x6B));
        ASSERT_NE(salary, nullptr);
        EXPECT_EQ(salary->GetName(), "Salary");
        if (c.folder != noAuto) {
            EXPECT_EQ(set.GetCategoryDisplayText(RecordId::Fixed(0x6D)), "Auto:Fuel");
        }
        ASSERT_NE(set.Classes().FindClass(BusinessClassId), nullptr);
        EXPECT_EQ(set.Classes().FindClass(BusinessClassId)->GetName(), "Business");
        ASSERT_NE(set.TransactionTypes().FindType(CheckTypeId), nullptr);
        EXPECT_EQ(set.TransactionTypes().FindType(CheckTypeId)->GetName(), "Check #");
    }
}

// Ids of the user's own records. Those of the first set hold bytes that no
// name holds, so an id-first record shows its layout; those of the second
// read as text, so an id-first record with a short name fits both layouts.
struct FolderIds {
    RecordId pets, vet, garden, rental, acme, lookup;
};
const FolderIds kTellingIds = {
    {{0x21, 0x5A, 0x00, 0x07, 0xD9, 0x3E, 0x11, 0x4F}},
    {{0x21, 0x5A, 0x00, 0x08, 0xD9, 0x3E, 0x11, 0x50}},
    {{0x21, 0x5A, 0x00, 0x09, 0xD9, 0x3E, 0x11, 0x51}},
    {{0x21, 0x5A, 0x00, 0x0A, 0xD9, 0x3E, 0x11, 0x52}},
    {{0x21, 0x5A, 0x00, 0x0B, 0xD9, 0x3E, 0x11, 0x53}},
    {{0x21, 0x5A, 0x00, 0x0C, 0xD9, 0x3E, 0x11, 0x54}},
};
const FolderIds kTextLikeIds = {
    {{0x41, 0x5A, 0x23, 0x30, 0xC8, 0x50, 0x60, 0x70}},
    {{0x41, 0x5A, 0x23, 0x31, 0xC8, 0x50, 0x60, 0x71}},
    {{0x41, 0x5A, 0x23, 0x32, 0xC8, 0x50, 0x60, 0x72}},
    {{0x41, 0x5A, 0x23, 0x33, 0xC8, 0x50, 0x60, 0x73}},
    {{0x41, 0x5A, 0x23, 0x34, 0xC8, 0x50, 0x60, 0x74}},
    {{0x41, 0x5A, 0x23, 0x35, 0xC8, 0x50, 0x60, 0x75}},
};

// A folder whose built-in categories are gone, with categories, a class, two
// payees (one without an id, as older files held them) and a look-up item of
// the user's, all with short names.
std::string FolderWithoutBuiltInCategories(const FolderIds& ids) {
    const std::string folder = test::MakeTempDir("named");
    std::unique_ptr<CAccounts> set = LoadFolder(folder);
    CCategoryList& categories = set->Categories();
    while (categories.GetCount(true) > 0)
        EXPECT_EQ(categories.RemoveItem(categories.GetAt(0, true)).result, 0);
    const auto category = [&](const char* name, const RecordId& id, const RecordId& parent) {
        auto item = std::make_unique<CCategoryItem>(name, parent);
        item->SetId(id);
        EXPECT_EQ(categories.AddInTreeOrder(std::move(item)), 0);
    };
    category("Pets", ids.pets, kNoneId);
    category("Vet", ids.vet, ids.pets);
    category("Garden", ids.garden, kNoneId);
    auto rental = std::make_unique<CClassItem>("Rental");
    rental->SetId(ids.rental);
    EXPECT_EQ(set->Classes().AddSorted(std::move(rental)), 0);
    auto acme = std::make_unique<CPayeeItem>("Acme");
    acme->SetId(ids.acme);
    EXPECT_EQ(set->Payees().AddSorted(std::move(acme)), 0);
    auto kiosk = std::make_unique<CPayeeItem>("Kiosk");
    kiosk->SetId(kNoneId);
    EXPECT_EQ(set->Payees().AddSorted(std::move(kiosk)), 0);
    CPayeeLookupItem* lookup = set->PayeeLookup().AddMapping("ACME 123", "Acme");
    EXPECT_NE(lookup, nullptr);
    lookup->SetId(ids.lookup);
    EXPECT_EQ(set->Save(), 0);
    return folder;
}

// Folders without a built-in category, old or current: the records decide,
// or the missing Auto does when they fit both layouts (which is said). Every
// named list comes out whole, and the load writes nothing, though it
// converted records and gave a payee its id.
TEST(Accounts, NamedListsWithoutBuiltInCategoriesLoadWholeAndWriteNothing) {
    struct Case {
        const char* what;
        const FolderIds& ids;
        bool idFirst;
        std::size_t reports;
    };
    const Case cases[] = {
        {"current", kTellingIds, false, 0},
        {"current, ids that read as text", kTextLikeIds, false, 0},
        {"old", kTellingIds, true, 0},
        {"old, ids that read as text", kTextLikeIds, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = FolderWithoutBuiltInCategories(c.ids);
        if (c.idFirst)
            RewriteFolderIdFirst(folder);
        const auto before = Snapshot(folder);

        test::CapturingSink sink;
        std::unique_ptr<CAccounts> set = LoadFolder(folder);
        ASSERT_TRUE(set);
        EXPECT_EQ(set->HasOldFormatRecords(), c.idFirst);
        EXPECT_EQ(sink.reports.size(), c.reports);
        EXPECT_EQ(Snapshot(folder), before);

        EXPECT_EQ(set->GetCategoryDisplayText(c.ids.pets), "Pets");
        EXPECT_EQ(set->GetCategoryDisplayText(c.ids.vet), "Pets:Vet");
        EXPECT_EQ(set->GetCategoryDisplayText(c.ids.garden), "Garden");
        ASSERT_NE(set->Classes().FindClass(c.ids.rental), nullptr);
        EXPECT_EQ(set->Classes().FindClass(c.ids.rental)->GetName(), "Rental");
        ASSERT_NE(set->Classes().FindClass(BusinessClassId), nullptr);
        EXPECT_EQ(set->Classes().FindClass(BusinessClassId)->GetName(), "Business");
        ASSERT_NE(set->TransactionTypes().FindType(CheckTypeId), nullptr);
        EXPECT_EQ(set->TransactionTypes().FindType(CheckTypeId)->GetName(), "Check #");
        ASSERT_NE(set->Payees().FindByName("Acme"), nullptr);
        EXPECT_EQ(set->Payees().FindByName("Acme")->GetId(), c.ids.acme);
        ASSERT_NE(set->Payees().FindByName("Kiosk"), nullptr);
        EXPECT_FALSE(set->Payees().FindByName("Kiosk")->GetId().IsNull());
        const CPayeeLookupItem* lookup = set->PayeeLookup().FindById(c.ids.lookup);
        ASSERT_NE(lookup, nullptr);
        EXPECT_EQ(lookup->GetName(), "ACME 123");
        EXPECT_EQ(lookup->GetPayee(), "Acme");
    }
}

// ---------------------------------------------------------------- texts

TEST(Accounts, CategoryTextsParseBackToTheirIds) {
    std::unique_ptr<CAccounts> set = LoadFolder(BuildFixture());
    ASSERT_TRUE(set);
    std::vector<RecordId> ids;
    for (std::size_t i = 0; i < set->GetAccountCount(); ++i)
        ids.push_back(set->GetAccountAt(i)->Header().GetId());
    for (std::size_t i = 0; i < set->Categories().GetCount(false); ++i)
        ids.push_back(set->Categories().GetAt(i, false)->GetId());
    for (const RecordId& id : ids) {
        const std::string text = set->GetCategoryDisplayText(id);
        SCOPED_TRACE(text);
        RecordId parsed;
        EXPECT_TRUE(set->ParseCategoryText(text, parsed));
        EXPECT_EQ(parsed, id);
    }
    EXPECT_EQ(set->GetCategoryDisplayText(SplitMarkerId), "-SPLIT-");

    const RecordId savings = Named(*set, "Savings").Header().GetId();
    struct Case {
        const char* text;
        bool resolves;
        RecordId id;
    };
    const std::vector<Case> transfers = {
        {"[Savings]", true, savings}, {"[savings]", true, savings}, {"Savings]", true, savings},
        {"[Nope]", false, kNoneId},   {"[]", false, kNoneId},
    };
    for (const Case& c : transfers) {
        RecordId id = RecordId::Fixed(0x6B);
        EXPECT_EQ(set->ResolveTransferText(c.text, id), c.resolves) << c.text;
        EXPECT_EQ(id, c.id) << c.text;
    }
    RecordId id = savings;
    EXPECT_FALSE(set->ParseCategoryText("[Nope]", id));
    EXPECT_TRUE(id.IsNull());
    EXPECT_TRUE(set->ParseCategoryText("", id));
    EXPECT_TRUE(id.IsNull());
    // A look-up never makes a category.
    const std::size_t count = set->Categories().GetCount(true);
    EXPECT_TRUE(set->ParseCategoryText("Hobbies:Kites", id));
    EXPECT_TRUE(id.IsNull());
    EXPECT_EQ(set->Categories().GetCount(true), count);

    struct Icon {
        const char* text;
        std::uint16_t icon;
    };
    const std::vector<Icon> icons = {
        {"", 0},        {"   ", 0},        {" [Savings]/Business ", 12}, {"[Visa]", 3},
        {"[Nope]", 0},  {"Auto:Fuel", 14}, {"Salary/Personal", 27},      {"/Business", 0},
        {"No such", 0},
    };
    for (const Icon& c : icons)
        EXPECT_EQ(set->GetIconForCategoryText(c.text), c.icon) << '"' << c.text << '"';
    EXPECT_EQ(set->GetIconForId(SplitMarkerId), kSplitIcon);
    EXPECT_EQ(set->GetIconForId(savings), 12);
    EXPECT_EQ(set->GetIconForId(NewRecordId()), 0);
}

// ---------------------------------------------------------------- money

CurrencyId AddCurrency(CAccounts& set, const char* symbol, double rate) {
    auto item = std::make_unique<CCurrencyItem>(symbol);
    const CurrencyId id = set.Currencies().NewCurrencyId();
    item->SetCurrencyId(id);
    item->SetRate(rate);
    EXPECT_EQ(set.Currencies().AddUniqueAndSave(item), 0);
    return id;
}

TEST(Accounts, NetWorthInTheHomeCurrency) {
    std::unique_ptr<CAccounts> set = LoadFolder(test::MakeTempDir("nw"));
    ASSERT_TRUE(set);
    const CurrencyId two = AddCurrency(*set, "TWO", 2.0);
    const CurrencyId zero = AddCurrency(*set, "ZRO", 0.0);
    CAccount& checking = Named(*set, "Checking");
    CAccount& savings = Named(*set, "Savings");
    CAccount& visa = Named(*set, "Visa");
    const auto opening = [](CAccount& a, Cents v) {
        a.Header().SetOpeningBalance(v);
        a.RecalcBalances();
    };

    struct Step {
        const char* what;
        std::function<void()> change;
        Cents kind0;
    };
    // Each step builds on the ones before it.
    const std::vector<Step> steps = {
        {"nothing", [] {}, 0},
        {"0.01 at home", [&] { opening(checking, 1); }, 1},
        {"100.00 at rate 2",
         [&] {
             savings.Header().SetCurrencyId(two);
             opening(savings, 10000);
         },
         5001},
        {"rate 0 counts as it stands",
         [&] {
             visa.Header().SetCurrencyId(zero);
             opening(visa, -300);
         },
         4701},
        {"an unlisted currency too", [&] { visa.Header().SetCurrencyId(200); }, 4701},
        {"left out of totals", [&] { visa.Header().SetIncludeInTotals(false); }, 5001},
        {"a transfer leaves kind 0 alone",
         [&] {
             EXPECT_EQ(set->CreateTransfer(Day(2012, 1, 2), checking, savings, 1000, true, nullptr),
                       0);
         },
         5001},
        {"a split's transfer line on both sides",
         [&] {
             auto t = test::MakeTx(Day(2012, 1, 3), -700);
             t->SetCategoryId(SplitMarkerId);
             t->SetSplitCategoryId(0, RecordId::Fixed(0x6B));
             t->SetSplitAmount(0, 300);
             t->SetSplitCategoryId(1, savings.Header().GetId());
             t->SetSplitAmount(1, 400);
             EXPECT_EQ(checking.AddTransactionWithTransfer(std::move(t)), 0);
         },
         5001 - 300},
    };
    for (const Step& s : steps) {
        s.change();
        EXPECT_EQ(set->GetNetWorth(0), s.kind0) << s.what;
    }
    // Kind 1 (cleared) counts the cleared transfer: 10.00 out at home, 20.00
    // in at rate 2.
    EXPECT_EQ(set->GetNetWorth(1), 1 + 5000 - 1000 + 1000);
    EXPECT_EQ(set->ConvertToHomeCurrency(10001, two), 5001);
    EXPECT_EQ(set->ConvertToHomeCurrency(10001, zero), 10001);
    EXPECT_EQ(set->GetCurrencySymbolById(two), "TWO");
    EXPECT_EQ(set->GetCurrencySymbolById(201), "$");
    EXPECT_EQ(set->GetHomeCurrencySymbol(), "$");

    savings.Header().ClearChangeFlags();
    ASSERT_EQ(set->ReplaceCurrency(two), 0);
    EXPECT_EQ(savings.Header().GetCurrencyId(), set->GetHomeCurrencyId());
    EXPECT_NE(savings.Header().GetChangeFlags() & kChangeCurrency, 0u);
    CAccount reloaded;
    ASSERT_EQ(reloaded.Load(savings.GetPath()), 0);
    EXPECT_EQ(reloaded.Header().GetCurrencyId(), set->GetHomeCurrencyId());
}

TEST(Accounts, LookupsByIdNameFileAndBankIds) {
    std::unique_ptr<CAccounts> set = LoadFolder(test::MakeTempDir("look"));
    ASSERT_TRUE(set);
    CAccount& savings = Named(*set, "Savings");
    CAccount& visa = Named(*set, "Visa");
    savings.Header().SetRoutingNumber("021000021");
    savings.Header().SetAccountNumber("12-345");
    savings.Header().SetOnlineEnabled(true);
    visa.Header().SetOnlineEnabled(true);

    EXPECT_EQ(set->FindAccountByName("sAVINGS"), &savings);
    EXPECT_EQ(set->FindAccountByName("Saving"), nullptr);
    std::string upper = savings.GetPath();
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    EXPECT_EQ(set->FindAccountByFilePath(upper), &savings);
    EXPECT_TRUE(set->IsAccountId(RecordId::Fixed(0x0006)));
    EXPECT_FALSE(set->IsAccountId(RecordId::Fixed(0x000A)));
    EXPECT_EQ(set->GetTransferLabelById(RecordId::Fixed(0x0006)), "[Savings]");
    EXPECT_EQ(set->GetTransferLabelById(RecordId::Fixed(0x000A)), "");
    EXPECT_EQ(set->GetAccountAt(set->GetAccountCount()), nullptr);
    EXPECT_EQ(set->IndexOfAccount(&visa), static_cast<int>(set->GetAccountCount()) - 1);

    EXPECT_TRUE(set->HasAccountWithBankIds("021000021", "12-345"));
    EXPECT_FALSE(set->HasAccountWithBankIds("021000021", "12-346"));

    EXPECT_TRUE(set->HasOnlineAccounts());
    EXPECT_EQ(set->CountOnlineAccounts(), 2);
    int position = -2;
    EXPECT_EQ(set->GetOnlineAccountAt(1, &position), &visa);
    EXPECT_EQ(position, set->IndexOfAccount(&visa));
    EXPECT_EQ(set->GetOnlineAccountAt(2, &position), nullptr);
    EXPECT_EQ(position, -1);

    // A new account goes in name order.
    auto cash = std::make_unique<CAccount>();
    cash->Header().SetName("Cash box");
    ASSERT_EQ(cash->MakeFilePath(set->GetFolder(), "Cash box"), 0);
    CAccount* inserted = set->InsertAccount(std::move(cash));
    EXPECT_EQ(set->IndexOfAccount(inserted), 1);  // after "American Express"
    EXPECT_EQ(inserted->GetOwner(), set.get());
}

TEST(Accounts, TransfersConvertAndRefuseNonsense) {
    std::unique_ptr<CAccounts> set = LoadFolder(test::MakeTempDir("xfer"));
    ASSERT_TRUE(set);
    const CurrencyId rate = AddCurrency(*set, "OHF", 1.5);
    CAccount& checking = Named(*set, "Checking");
    CAccount& savings = Named(*set, "Savings");
    savings.Header().SetCurrencyId(rate);

    CTransaction* out = nullptr;
    ASSERT_EQ(set->CreateTransfer(Day(2012, 4, 1), checking, savings, 10001, true, &savings, &out),
              0);
    ASSERT_EQ(savings.Transactions().size(), 1u);
    const CTransaction& in = *savings.Transactions()[0];
    EXPECT_EQ(out, &in);
    EXPECT_EQ(in.GetAmount(), 15002);  // 150.015 rounded away from zero
    EXPECT_EQ(in.GetStatus() & kStatusMask, kStatusCleared);
    EXPECT_EQ(in.GetPayeeName(), "Transfer");
    EXPECT_EQ(in.GetTypeId(), DepositTypeId);
    EXPECT_EQ(checking.Transactions()[0]->GetTypeId(), WithdrawalTypeId);
    EXPECT_EQ(checking.Header().GetCurrentBalance(), -10001);
    CheckDataSet(*set);

    struct Bad {
        const char* what;
        CAccount& from;
        CAccount& to;
        Cents amount;
    };
    CAccount stranger;
    const std::vector<Bad> bad = {
        {"same account", checking, checking, 100},
        {"not of this data set", stranger, savings, 100},
    };
    for (const Bad& b : bad) {
        out = checking.Transactions().front().get();
        EXPECT_EQ(
            set->CreateTransfer(Day(2012, 4, 2), b.from, b.to, b.amount, false, &b.from, &out), -1)
            << b.what;
        EXPECT_EQ(out, nullptr) << b.what;
    }
    EXPECT_EQ(checking.Transactions().size(), 1u);
    EXPECT_EQ(savings.Transactions().size(), 1u);

    // Zero and negative amounts are booked as they stand: a negative
    // withdrawal from checking puts money in, its mirror takes it out.
    CAccount& visa = Named(*set, "Visa");
    for (const Cents amount : {Cents{0}, Cents{-2500}}) {
        SCOPED_TRACE(amount);
        const Cents before = checking.Header().GetCurrentBalance();
        const Cents visaBefore = visa.Header().GetCurrentBalance();
        ASSERT_EQ(
            set->CreateTransfer(Day(2012, 4, 3), checking, visa, amount, false, &checking, &out),
            0);
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(out->GetAmount(), amount);
        EXPECT_EQ(checking.Header().GetCurrentBalance(), before - amount);
        EXPECT_EQ(visa.Header().GetCurrentBalance(), visaBefore + amount);
    }
    CheckDataSet(*set);
}

// ---------------------------------------------------------------- deletes

TEST(Accounts, DeletingATransactionTakesItsMirrors) {
    std::unique_ptr<CAccounts> set = LoadFolder(BuildFixture());
    ASSERT_TRUE(set);
    CAccount& checking = Named(*set, "Checking");
    CAccount& savings = Named(*set, "Savings");
    CAccount& visa = Named(*set, "Visa");
    const Cents checkingBalance = checking.Header().GetCurrentBalance();
    const Cents savingsBalance = savings.Header().GetCurrentBalance();

    // A copy made from a split line goes with its line, not on its own.
    ASSERT_EQ(visa.Transactions().size(), 1u);
    EXPECT_EQ(set->DeleteTransaction(visa, *visa.Transactions()[0], false), -1);
    EXPECT_EQ(visa.Transactions().size(), 1u);

    const CTransaction* transfer = nullptr;
    for (const auto& t : checking.Transactions()) {
        if (t->GetCategoryId() == savings.Header().GetId())
            transfer = t.get();
    }
    ASSERT_NE(transfer, nullptr);
    // With fold both accounts keep their current balances.
    EXPECT_EQ(set->DeleteTransaction(checking, *transfer, true), 0);
    EXPECT_TRUE(savings.Transactions().empty());
    EXPECT_EQ(checking.Header().GetCurrentBalance(), checkingBalance);
    EXPECT_EQ(savings.Header().GetCurrentBalance(), savingsBalance);

    const CTransaction* split = nullptr;
    for (const auto& t : checking.Transactions()) {
        if (t->GetCategoryId() == SplitMarkerId)
            split = t.get();
    }
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(set->DeleteTransaction(checking, *split, false), 0);
    EXPECT_TRUE(visa.Transactions().empty());
    EXPECT_EQ(visa.DeletedTransactions().size(), 1u);
    CheckDataSet(*set);
    EXPECT_EQ(set->DeleteTransaction(checking, *visa.DeletedTransactions()[0], false), -1);
}

TEST(Accounts, DeletedAccountsBecomeNumberedPlaceholders) {
    const std::string folder = BuildFixture();
    std::unique_ptr<CAccounts> set = LoadFolder(folder);
    ASSERT_TRUE(set);
    ASSERT_EQ(set->Scheduled().GetCount(false), 1u);

    std::unique_ptr<CAccount> removed;
    ASSERT_EQ(set->DeleteAccount(Named(*set, "Checking"), &removed), 0);
    ASSERT_TRUE(removed);
    EXPECT_EQ(GetFileNamePart(removed->GetPath()), MakePlaceholderFileName(0));
    EXPECT_EQ(set->FindAccountByName("Checking"), nullptr);
    EXPECT_EQ(set->Scheduled().GetCount(false), 0u);
    EXPECT_FALSE(FileExists(JoinPath(folder, "Checking.wqm")));

    ASSERT_EQ(set->DeleteAccount(Named(*set, "Visa"), &removed), 0);
    EXPECT_EQ(GetFileNamePart(removed->GetPath()), MakePlaceholderFileName(1));
    EXPECT_TRUE(FileExists(JoinPath(folder, MakePlaceholderFileName(0))));
    EXPECT_EQ(set->GetAccountCount(), 3u);

    CAccount stranger;
    EXPECT_EQ(set->DeleteAccount(stranger, &removed), -1);
    EXPECT_FALSE(removed);

    EXPECT_EQ(LoadFolder(folder)->GetAccountCount(), 3u);
    AccountsLoadOptions include;
    include.includePlaceholders = true;
    EXPECT_EQ(LoadFolder(folder, include)->GetAccountCount(), 5u);
}

// ---------------------------------------------------------------- scheduled

class ScheduledPosting : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetClock(&clock_);
        set_ = LoadFolder(folder_);
        ASSERT_TRUE(set_);
    }
    void TearDown() override { platform::SetClock(nullptr); }

    CScheduledItem* AddItem(const RecordId& account, const RecordId& type, PalmTime due,
                            std::uint8_t mode, const char* payee) {
        auto item = std::make_unique<CScheduledItem>();
        item->EditTemplate().SetTypeId(type);
        item->EditTemplate().SetAmount(5000);
        item->EditTemplate().SetDate(due);
        item->SetPayee(payee);
        item->SetAccountId(account);
        item->SetNextDue(due);
        item->SetFrequency(kFrequencyMonthly);
        item->SetRepeatCount(kRepeatIndefinitely);
        item->SetEnterMode(mode);
        CScheduledItem* raw = item.get();
        EXPECT_EQ(set_->Scheduled().InsertSorted(std::move(item)), 0);
        return raw;
    }

    test::FixedClock clock_;  // 15 March 2012
    std::string folder_ = test::MakeTempDir("sched");
    std::unique_ptr<CAccounts> set_;
};

TEST_F(ScheduledPosting, ACheckTakesTheNextNumberAndAdvancesAfterTheSave) {
    CAccount& checking = Named(*set_, "Checking");
    checking.Header().SetLastCheckNumber(1040);
    ASSERT_EQ(checking.Save(), 0);
    CScheduledItem* item =
        AddItem(checking.Header().GetId(), CheckTypeId, Day(2012, 3, 1), 0, "Landlord");

    {
        // The account cannot be saved: nothing is entered and the
        // occurrence stays due.
        QuietSink sink;
        SetErrorSink(&sink);
        FailingWrites failing;
        CUpcomingTrans due(item->GetNextDue(), item);
        EXPECT_NE(set_->PostScheduledTransaction(due), 0);
        SetErrorSink(nullptr);
    }
    EXPECT_TRUE(checking.Transactions().empty());
    EXPECT_EQ(checking.Header().GetLastCheckNumber(), 1040u);
    EXPECT_EQ(item->GetNextDue(), Day(2012, 3, 1));

    CUpcomingTrans due(item->GetNextDue(), item);
    ASSERT_EQ(set_->PostScheduledTransaction(due), 0);
    ASSERT_EQ(checking.Transactions().size(), 1u);
    EXPECT_EQ(checking.Transactions()[0]->GetCheckNumber(), 1041u);
    EXPECT_EQ(checking.Header().GetLastCheckNumber(), 1041u);
    EXPECT_NE(checking.Header().GetChangeFlags() & kChangeLastCheck, 0u);
    EXPECT_EQ(item->GetNextDue(), Day(2012, 4, 1));

    std::unique_ptr<CAccounts> reloaded = LoadFolder(folder_);
    ASSERT_TRUE(reloaded);
    EXPECT_EQ(Named(*reloaded, "Checking").Header().GetLastCheckNumber(), 1041u);
    EXPECT_EQ(Named(*reloaded, "Checking").Transactions().size(), 1u);
    EXPECT_EQ(reloaded->Scheduled().GetItemAt(0, false)->GetNextDue(), Day(2012, 4, 1));

    auto orphan = std::make_unique<CScheduledItem>();
    orphan->SetAccountId(NewRecordId());
    CUpcomingTrans nowhere(Day(2012, 3, 1), orphan.get());
    EXPECT_EQ(set_->PostScheduledTransaction(nowhere), -1);
}

TEST_F(ScheduledPosting, DueItemsAreEnteredOnlyByTheSeparateStep) {
    CAccount& checking = Named(*set_, "Checking");
    const RecordId savings = Named(*set_, "Savings").Header().GetId();
    CScheduledItem* salary = AddItem(checking.Header().GetId(), DepositTypeId, Day(2012, 2, 10),
                                     kEnterAutomatically, "Salary");
    // A transfer, so the mirror's account is saved too.
    salary->EditTemplate().SetCategoryId(savings);
    AddItem(NewRecordId(), DepositTypeId, Day(2012, 2, 10), kEnterAutomatically, "Gone");
    AddItem(checking.Header().GetId(), DepositTypeId, Day(2012, 2, 10), 0, "Manual");

    // Loading posts nothing.
    std::unique_ptr<CAccounts> loaded = LoadFolder(folder_);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(Named(*loaded, "Checking").Transactions().empty());

    {
        QuietSink sink;
        SetErrorSink(&sink);
        FailingWrites failing;
        EXPECT_NE(loaded->EnterDueScheduled(), 0);
        SetErrorSink(nullptr);
    }
    // The schedule on disk was not advanced.
    std::unique_ptr<CAccounts> retry = LoadFolder(folder_);
    ASSERT_TRUE(retry);
    ASSERT_EQ(retry->EnterDueScheduled(), 0);
    // 10 February and 10 March; the item of the missing account and the
    // manual one stay as they were.
    CAccount& posted = Named(*retry, "Checking");
    EXPECT_EQ(posted.Transactions().size(), 2u);
    EXPECT_EQ(Named(*retry, "Savings").Transactions().size(), 2u);
    CheckDataSet(*retry);

    std::unique_ptr<CAccounts> after = LoadFolder(folder_);
    ASSERT_TRUE(after);
    ExpectSameAccounts(*retry, *after);
    for (std::size_t i = 0; i < after->Scheduled().GetCount(false); ++i) {
        const CScheduledItem* item = after->Scheduled().GetItemAt(i, false);
        const PalmTime expected =
            item->GetPayee() == "Salary" ? Day(2012, 4, 10) : Day(2012, 2, 10);
        EXPECT_EQ(item->GetNextDue(), expected) << item->GetPayee();
    }
}

// ---------------------------------------------------------------- import

TEST(Accounts, ImportedTransfersMirrorTheOtherWay) {
    std::unique_ptr<CAccounts> set = LoadFolder(BuildFixture());
    ASSERT_TRUE(set);
    const CurrencyId rate = AddCurrency(*set, "HLF", 0.5);
    CAccount& checking = Named(*set, "Checking");
    CAccount& savings = Named(*set, "Savings");
    CAccount& card = Named(*set, "Mastercard");
    card.Header().SetCurrencyId(rate);
    const std::size_t savingsBefore = savings.Transactions().size();

    // An inflow type other than Deposit: its mirror goes out.
    ImportRecord payment;
    payment.id = checking.Transactions()[0]->GetId();  // already in use
    payment.date = Day(2012, 5, 1);
    payment.amount = 3000;
    payment.typeId = PaymentTypeId;
    payment.status = 1;
    payment.payee = "Refund from savings";
    payment.categoryId = savings.Header().GetId();
    ASSERT_EQ(set->AddImportedTransaction(checking, payment), 0);
    const CTransaction* in = nullptr;
    for (const auto& t : checking.Transactions()) {
        if (t->GetPayeeName() == "Refund from savings")
            in = t.get();
    }
    ASSERT_NE(in, nullptr);
    EXPECT_NE(in->GetId(), payment.id);
    EXPECT_EQ(in->GetStatus() & kStatusMask, kStatusCleared);
    ASSERT_EQ(savings.Transactions().size(), savingsBefore + 1);
    const CTransaction* out = savings.FindTransactionById(in->GetLinkedId());
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(out->IsOutflow());

    // A split with a transfer line into another currency.
    ImportRecord split;
    split.id = NewRecordId();
    split.date = Day(2012, 5, 2);
    split.amount = 9000;
    split.typeId = WithdrawalTypeId;
    split.payee = "Store";
    split.categoryId = SplitMarkerId;
    split.splits[0] = {RecordId::Fixed(0x6B), kNoneId, 5000, "food"};
    split.splits[1] = {card.Header().GetId(), PersonalClassId, 4000, "to the card"};
    ASSERT_EQ(set->AddImportedTransaction(checking, split), 0);
    const CTransaction* parent = checking.FindTransactionById(split.id);
    ASSERT_NE(parent, nullptr);
    const CTransaction* line = card.FindTransactionById(parent->GetSplitLinkedId(1));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->GetAmount(), 2000);
    EXPECT_FALSE(line->IsOutflow());
    EXPECT_EQ(line->GetSplitIndex(), 1);
    EXPECT_EQ(line->GetMemo(), "to the card");
    EXPECT_EQ(line->GetClassId(), PersonalClassId);
    EXPECT_EQ(line->GetPayeeName(), "Transfer");
    ASSERT_EQ(checking.Save(), 0);
    CheckDataSet(*set);

    ImportRecord badStatus = payment;
    badStatus.status = 4;
    EXPECT_EQ(set->AddImportedTransaction(checking, badStatus), -1);
}

}  // namespace
}  // namespace tallowmere
