// The shared base of the importers and exporters: category texts with
// classes and transfers in both directions, accounts made from transfer
// texts, the output file and the account export.
#include "exchange/importer_exporter.h"

#include <gtest/gtest.h>

#include <string>

#include "exchange/csv_exporter.h"
#include "exchange/csv_importer.h"
#include "exchange/exchange_test_world.h"
#include "model/paths.h"
#include "platform/win_error.h"

namespace tallowmere::exchange {
namespace {

class CategoryTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = test::MakeTempDir("data");
        set_ = test::LoadDataSet(folder_);
        ab_ = &test::AddAccount(*set_, "A/B");
        target_ = &test::NamedAccount(*set_, "Checking");
        importer_.SetAccounts(set_.get());
        importer_.SetTargetAccount(target_);
    }

    std::string folder_;
    std::unique_ptr<CAccounts> set_;
    CAccount* ab_ = nullptr;
    CAccount* target_ = nullptr;
    CCSVImporter importer_;
};

TEST_F(CategoryTextTest, ReadsCategoriesClassesAndTransfers) {
    const RecordId savings = test::NamedAccount(*set_, "Savings").Header().GetId();
    struct Case {
        std::string text;
        std::string category;  // the full name, "[name]" for an account, "" none
        std::string className;
    };
    const std::string longPart(kCategoryPartMax + 1, 'c');
    const std::string longName(100, 'n');
    const std::vector<Case> cases = {
        {"", "", ""},
        {"Dining", "Dining", ""},
        {"Food:Lunch/Work", "Food:Lunch", "Work"},
        {"/Work", "", "Work"},
        {"Dining/", "Dining", ""},
        {"[savings]", "[Savings]", ""},  // letter case does not matter
        {"[Savings]/Personal", "[Savings]", "Personal"},
        {"[New]", "[New]", ""},  // made
        {"[A/B]", "[A-B]", ""},  // found as its file holds it
        {"[A-B]", "[A-B]", ""},
        {"[A/B]/Work", "[A-B]", "Work"},
        {"[Checking]", "", ""},  // the target itself: no transfer into itself
        {"[", "", ""},
        {"[]", "", ""},
        {"[Savings", "[Savings]", ""},  // no closing bracket
        {"[" + longName + "]", "[" + longName.substr(0, kImportAccountNameMax) + "]", ""},
        {longPart + "/Work", "", "Work"},
    };
    for (const Case& c : cases) {
        RecordId category, classId;
        ASSERT_EQ(importer_.ParseCategoryText(c.text, category, &classId), 0) << c.text;
        std::string name = set_->Categories().GetFullNameById(category);
        if (name.empty())
            name = set_->GetTransferLabelById(category);
        EXPECT_EQ(name, c.category) << c.text;
        EXPECT_EQ(category.IsNull(), c.category.empty()) << c.text;
        EXPECT_EQ(set_->Classes().GetNameById(classId), c.className) << c.text;
        // Reading without a class part asked for leaves the class alone.
        RecordId again;
        ASSERT_EQ(importer_.ParseCategoryText(c.text, again, nullptr), 0);
        EXPECT_EQ(again, category) << c.text;
    }
    EXPECT_EQ(set_->GetTransferLabelById(savings), "[Savings]");
    // Made accounts live in the data folder under their names.
    const CAccount* made = set_->FindAccountByName("New");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetPath(), JoinPath(folder_, "New.wqm"));
    EXPECT_EQ(set_->FindAccountByName("Checking"), target_);
    EXPECT_EQ(set_->FindAccountByName(""), nullptr);
}

TEST_F(CategoryTextTest, AnAccountThatCannotGetItsFileEndsWithOne) {
    // A file of that name that the data set does not know.
    test::WriteFileBytes(JoinPath(folder_, "Clash.wqm"), "x");
    const std::size_t count = set_->GetAccountCount();
    RecordId category;
    EXPECT_EQ(importer_.ParseCategoryText("[Clash]", category, nullptr), kAccountFileFailed);
    EXPECT_TRUE(category.IsNull());
    EXPECT_EQ(set_->GetAccountCount(), count);
}

TEST_F(CategoryTextTest, WritesCategoriesClassesAndTransfers) {
    RecordId lunch, work;
    ASSERT_EQ(importer_.ParseCategoryText("Food:Lunch/Work", lunch, &work), 0);
    const RecordId savings = test::NamedAccount(*set_, "Savings").Header().GetId();
    CCSVExporter exporter(set_.get());
    EXPECT_EQ(exporter.CategoryText({}, {}), "");
    EXPECT_EQ(exporter.CategoryText(lunch, {}), "Food:Lunch");
    EXPECT_EQ(exporter.CategoryText(lunch, work), "Food:Lunch/Work");
    EXPECT_EQ(exporter.CategoryText({}, work), "/Work");
    EXPECT_EQ(exporter.CategoryText(savings, work), "[Savings]/Work");
    EXPECT_EQ(exporter.CategoryText(ab_->Header().GetId(), {}), "[A-B]");
    // An id that names nothing writes nothing; so does an unknown class.
    EXPECT_EQ(exporter.CategoryText(RecordId::Fixed(0x7777), RecordId::Fixed(0x7778)), "");
}

TEST(OutputFile, CreatesAppendsAndReportsWriteErrors) {
    const std::string folder = test::MakeTempDir();
    const std::string path = folder + "/out.csv";
    CCSVExporter exporter;
    EXPECT_EQ(exporter.WriteText("x"), kInvalidHandle);
    EXPECT_EQ(exporter.OpenOutputFile(folder + "/missing/out.csv", true),
              platform::kErrorFileNotFound);
    EXPECT_FALSE(exporter.HasOutputFile());

    ASSERT_EQ(exporter.OpenOutputFile(path, true), 0);
    EXPECT_EQ(exporter.WriteText("one"), 0);
    EXPECT_EQ(exporter.CloseFileHandle(), 0);
    ASSERT_EQ(exporter.OpenOutputFile(path, false), 0);
    EXPECT_EQ(exporter.WriteText(",two"), 0);
    EXPECT_EQ(exporter.CloseFileHandle(), 0);
    EXPECT_EQ(test::ReadFileBytes(path), "one,two");
    ASSERT_EQ(exporter.OpenOutputFile(path, true), 0);
    EXPECT_EQ(exporter.CloseFileHandle(), 0);
    EXPECT_EQ(test::ReadFileBytes(path), "");
    EXPECT_EQ(exporter.CloseFileHandle(), 0);

    // A full disk shows, at the latest, when the file is closed.
    ASSERT_EQ(exporter.OpenOutputFile("/dev/full", true), 0);
    int first = 0;
    for (int i = 0; i < 10000 && first == 0; ++i)
        first = exporter.WriteText(std::string(100, 'x'));
    const int closed = exporter.CloseFileHandle();
    EXPECT_EQ(first != 0 ? first : closed, platform::kErrorDiskFull);
}

TEST(Export, ExportAccountReturnsTheFirstError) {
    const std::string folder = test::MakeTempDir("data");
    auto set = test::LoadDataSet(folder);
    CAccount& checking = test::NamedAccount(*set, "Checking");
    auto t = std::make_unique<CTransaction>();
    t->SetDate(DateFields{0, 0, 12, 7, 3, 2005}.ToPalmTime());
    t->SetAmount(1250);
    t->SetTypeId(WithdrawalTypeId);
    checking.AddTransaction(std::move(t));

    CCSVExporter exporter(set.get());
    EXPECT_EQ(exporter.ExportAccount("/dev/full", checking), platform::kErrorDiskFull);
    EXPECT_EQ(exporter.ExportAccount(folder + "/no/such.csv", checking),
              platform::kErrorFileNotFound);
    const std::string path = folder + "/out.csv";
    ASSERT_EQ(exporter.ExportAccount(path, checking), 0);
    EXPECT_EQ(test::ReadFileBytes(path),
              "\"3/7/2005\",\"W/D\",\"\",\"\",\"\",\"\",\"\",\"-12.50\"\r\n");
    EXPECT_FALSE(exporter.HasOutputFile());
}

}  // namespace
}  // namespace tallowmere::exchange
