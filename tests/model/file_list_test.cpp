// CFileList: the plain list's file, its -1 for any reading failure, defaults
// and name order.
#include "model/file_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "list_test_items.h"
#include "model/list_file_fixture.h"
#include "model/list_file_names.h"
#include "platform/atomic_file.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;
using test::Names;
using test::TestPlainItem;
using test::TestPlainList;
using Strings = std::vector<std::string>;

class FileListTest : public test::ListFileTest {
  protected:
    FileListTest() : ListFileTest("plain") {}
};

TEST_F(FileListTest, GoldenFileLoadsAndSavesByteForByte) {
    const Bytes golden = Bytes()
                             .W(3)
                             .NewClass(test::kPlainItemClass)
                             .Str("Alpha")
                             .W(0x8001)
                             .Str(std::string(300, 'b'))
                             .NewClass("CListItem");
    test::WriteFileBytes(path_, golden.str());
    TestPlainList list;
    ASSERT_EQ(list.Load(path_), 0);
    EXPECT_EQ(Names(list), (Strings{"Alpha", std::string(300, 'b'), ""}));
    std::filesystem::remove(path_);
    ASSERT_EQ(list.Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(path_), golden.str());
}

TEST_F(FileListTest, AnyReadingFailureGivesMinusOne) {
    const std::string good = Bytes().W(1).NewClass(test::kPlainItemClass).Str("Alpha").str();
    const std::string cases[] = {
        "",
        good.substr(0, good.size() - 1),
        Bytes().W(1).NewClass("CNeverRegistered").str(),
        Bytes().W(1).NewClass("CCommonListItem").D(0).B(0).str(),  // not a plain item
        Bytes().W(1).W(0).str(),                                   // null item
        Bytes().W(2).str() + good.substr(2) + Bytes().W(0x0002).str(),
        Bytes().W(0xFFFF).D(1000000).str() + good.substr(2),
    };
    for (const auto& bytes : cases) {
        SCOPED_TRACE(::testing::PrintToString(bytes));
        test::WriteFileBytes(path_, good);
        TestPlainList list;
        ASSERT_EQ(list.Load(path_), 0);
        test::WriteFileBytes(path_, bytes);
        EXPECT_EQ(list.Load(path_), -1);
        EXPECT_EQ(list.GetCount(), 0u);
    }
    TestPlainList list;
    EXPECT_EQ(list.Load(dir_ + "/absent.lst"), 2);
    EXPECT_EQ(list.Load(dir_ + "/no/folder.lst"), 3);
}

TEST_F(FileListTest, LoadOrCreateMakesTheDefaultsAndTheFile) {
    TestPlainList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    EXPECT_EQ(Names(list), Strings{"Default"});
    ASSERT_TRUE(std::filesystem::exists(path_));

    ASSERT_EQ(list.AddSorted(std::make_unique<TestPlainItem>("Bank")), 0);
    TestPlainList again;
    ASSERT_EQ(again.LoadOrCreate(path_), 0);
    EXPECT_EQ(Names(again), (Strings{"Bank", "Default"}));
}

TEST_F(FileListTest, AddSortedPutsEqualNamesNewestFirst) {
    TestPlainList list;
    list.SetPath(path_);
    list.AddTail(std::make_unique<TestPlainItem>("Bank"));
    list.AddTail(std::make_unique<TestPlainItem>("Car"));
    auto fresh = std::make_unique<TestPlainItem>("Bank");
    const CListItem* added = fresh.get();
    ASSERT_EQ(list.AddSorted(std::move(fresh)), 0);
    ASSERT_EQ(list.AddSorted(std::make_unique<TestPlainItem>("Zoo")), 0);
    ASSERT_EQ(list.AddSorted(std::make_unique<TestPlainItem>("Apple")), 0);
    EXPECT_EQ(Names(list), (Strings{"Apple", "Bank", "Bank", "Car", "Zoo"}));
    EXPECT_EQ(list.IndexOf(added), 1);
    EXPECT_EQ(list.IndexOf(nullptr), -1);
    TestPlainItem stranger("x");
    EXPECT_EQ(list.IndexOf(&stranger), -1);
    EXPECT_EQ(list.GetAt(5), nullptr);
}

TEST_F(FileListTest, SaveIntoAPathThatCannotExistFailsAndReports) {
    test::WriteFileBytes(dir_ + "/plain", "not a folder");
    TestPlainList list;
    list.SetPath(dir_ + "/plain/" + kFiListFile);
    EXPECT_EQ(list.Save(), -1);
    ASSERT_EQ(sink_.reports.size(), 1u);
    EXPECT_EQ(sink_.reports[0].string_id, 185);
    // LoadOrCreate gives the failed save's -1 rather than the missing file's 2.
    platform::SetWriteFault([](std::size_t, int& err) {
        err = 28;  // ENOSPC
        return false;
    });
    TestPlainList other;
    EXPECT_EQ(other.LoadOrCreate(path_), -1);
    platform::SetWriteFault(nullptr);
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST(ListFileNamesTest, NamesOfTheDataFolder) {
    EXPECT_EQ(kListFileNames.size(), 8u);
    EXPECT_STREQ(kCategoriesListFile, "CategoriesList.lst");
    EXPECT_STREQ(kPayeesListFile, "PayeesList.lst");
    EXPECT_STREQ(kClassListFile, "ClassList.lst");
    EXPECT_STREQ(kCurrenciesListFile, "CurrenciesList.lst");
    EXPECT_STREQ(kTransTypesFile, "TransTypes.lst");
    EXPECT_STREQ(kScheduledTransListFile, "ScheduledTransList.lst");
    EXPECT_STREQ(kFiListFile, "FiList.lst");
    EXPECT_STREQ(kPayeeLookupListFile, "PayeeLookupList.lst");
}

}  // namespace
}  // namespace tallowmere
