// Texts of the string table that go into records, under an override table
// with characters beyond ASCII: the records hold their Windows-1252 bytes,
// and account file names are the UTF-8 form of those bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/accounts.h"
#include "model/category.h"
#include "model/list_file_names.h"
#include "model/string_table.h"
#include "model/transaction_type.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

struct Override {
    int id;
    const char* utf8;
};

// UTF-8 as in the table file; "€" has a 1252 byte (0x80) but none in Latin-1.
const Override kOverrides[] = {
    {2000, "Ch\xC3\xA8que \xE2\x82\xAC"},  // default account "Checking"
    {807, "V\xC3\xA9hicule"},              // default category "Auto"
    {260, "Virement \xC3\xA0 soi"},
    {240, "Rapprochement ajust\xC3\xA9"},  // "Reconcile Adjustment"
    {317, "-R\xC3\x89PARTI-"},             // "-SPLIT-"
};

class StringTableRecordsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string table;
        std::string original;
        for (const Override& o : kOverrides) {
            original += std::to_string(o.id) + "\t" + LoadString(o.id) + "\n";
            table += std::to_string(o.id) + "\t" + o.utf8 + "\n";
        }
        // The table is the process's: the built-in texts come back after.
        restore_ = test::MakeTempDir("table") + "/original.txt";
        test::WriteFileBytes(restore_, original);
        const std::string path = test::MakeTempDir("table") + "/override.txt";
        test::WriteFileBytes(path, table);
        ASSERT_EQ(LoadStringTableOverride(path), 0);
    }
    void TearDown() override { EXPECT_EQ(LoadStringTableOverride(restore_), 0); }

    std::string restore_;
};

TEST_F(StringTableRecordsTest, RecordsHoldWindows1252) {
    const std::string transfer = "Virement \xE0 soi";
    const std::string folder = test::MakeTempDir("data");
    std::unique_ptr<CAccounts> data;
    ASSERT_EQ(CAccounts::LoadInto(data, folder, {}), 0);

    const std::string checkingName = "Ch\xE8que \x80";
    CAccount* checking = data->FindAccountByName(checkingName);
    ASSERT_NE(checking, nullptr);
    EXPECT_EQ(checking->Header().GetName(), checkingName);
    EXPECT_EQ(checking->GetPath(), folder + "/Ch\xC3\xA8que \xE2\x82\xAC.wqm");
    EXPECT_TRUE(std::filesystem::exists(checking->GetPath()));
    CAccount* savings = data->FindAccountByName("Savings");
    ASSERT_NE(savings, nullptr);

    const CCategoryItem* autoCategory = data->Categories().FindById(AutoCategoryId);
    ASSERT_NE(autoCategory, nullptr);
    EXPECT_EQ(autoCategory->GetName(), "V\xE9hicule");
    const std::string onDisk = test::ReadFileBytes(folder + "/" + kCategoriesListFile);
    EXPECT_NE(onDisk.find("V\xE9hicule"), std::string::npos);
    EXPECT_EQ(onDisk.find("V\xC3\xA9hicule"), std::string::npos);

    CTransaction* fromSide = nullptr;
    ASSERT_EQ(
        data->CreateTransfer(PalmTimeNow(), *checking, *savings, 1000, false, checking, &fromSide),
        0);
    ASSERT_NE(fromSide, nullptr);
    EXPECT_EQ(fromSide->GetPayeeName(), transfer);
    ASSERT_EQ(checking->AddReconcileAdjustment(500), 0);

    // An imported split whose line goes to Savings: its mirror is a transfer.
    ImportRecord record;
    record.date = PalmTimeNow();
    record.amount = 700;
    record.typeId = WithdrawalTypeId;
    record.payee = "Shop";
    record.categoryId = SplitMarkerId;
    record.splits[0].categoryId = savings->Header().GetId();
    record.splits[0].amount = 700;
    ASSERT_EQ(data->AddImportedTransaction(*checking, record), 0);

    std::vector<std::string> payees;
    for (const CAccount* a : {checking, savings}) {
        for (const auto& t : a->Transactions())
            payees.push_back(t->GetPayeeName());
    }
    std::sort(payees.begin(), payees.end());
    EXPECT_EQ(payees, (std::vector<std::string>{"Rapprochement ajust\xE9", "Shop", transfer,
                                                transfer, transfer}));

    EXPECT_EQ(data->GetCategoryDisplayText(SplitMarkerId), "-R\xC9PARTI-");
    EXPECT_FALSE(IsValidCategoryName("-r\xE9parti-"));
    EXPECT_TRUE(IsValidCategoryName("-R\xC3\x89PARTI-")) << "its UTF-8 bytes are another name";
}

}  // namespace
}  // namespace tallowmere
