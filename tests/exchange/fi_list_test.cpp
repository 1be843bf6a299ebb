// CFiItem and CFiList: the institution list file byte for byte, its trailer,
// refused and short files, and the in-memory directory updates.
#include "exchange/fi_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/list_file_fixture.h"
#include "model/list_file_names.h"
#include "model/list_test_items.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;
using test::Names;
using Strings = std::vector<std::string>;

std::vector<std::int32_t> Ids(const CFiList& list) {
    std::vector<std::int32_t> ids;
    for (std::size_t i = 0; i < list.GetCount(); ++i)
        ids.push_back(dynamic_cast<const CFiItem&>(*list.GetAt(i)).GetFiId());
    return ids;
}

const std::string kLongName(300, 'b');

// Three institutions, one with a Windows-1252 letter and one whose name
// needs the longer length prefix, then the trailer.
Bytes GoldenItems() {
    return Bytes()
        .W(3)
        .NewClass("CFiItem")
        .D(1021)
        .Str("Caf\xE9 Bank")
        .W(0x8001)
        .D(0xFFFFFFFE)
        .Str(kLongName)
        .W(0x8001)
        .D(77)
        .Str("");
}

Bytes Golden() {
    return GoldenItems().W(0xBEEF).D(77771).D(0x80000001);
}

class FiListTest : public test::ListFileTest {
  protected:
    FiListTest() : ListFileTest("fi") {}
};

TEST_F(FiListTest, GoldenFileLoadsAndSavesByteForByte) {
    const std::string golden = Golden().str();
    test::WriteFileBytes(path_, golden);
    CFiList list;
    ASSERT_EQ(list.Load(path_), 0);
    EXPECT_EQ(Names(list), (Strings{"Caf\xE9 Bank", kLongName, ""}));
    EXPECT_EQ(Ids(list), (std::vector<std::int32_t>{1021, -2, 77}));
    EXPECT_EQ(list.GetUpdateWord(), 0xBEEF);
    EXPECT_EQ(list.GetListVersion(), CFiList::kDirectoryListVersion);
    EXPECT_EQ(list.GetUpdateValue(), static_cast<std::int32_t>(0x80000001));
    std::filesystem::remove(path_);
    ASSERT_EQ(list.Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(path_), golden);
}

TEST_F(FiListTest, BuiltListWritesTheHandAssembledBytes) {
    CFiList list;
    list.SetPath(path_);
    list.AddTail(std::make_unique<CFiItem>(1021, "Caf\xE9 Bank"));
    list.AddTail(std::make_unique<CFiItem>(-2, kLongName));
    list.AddTail(std::make_unique<CFiItem>(77, ""));
    list.SetUpdateWord(0xBEEF);
    list.SetListVersion(77771);
    list.SetUpdateValue(static_cast<std::int32_t>(0x80000001));
    ASSERT_EQ(list.Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(path_), Golden().str());
}

TEST_F(FiListTest, OnlyIdAndNameAreStored) {
    auto item = std::make_unique<CFiItem>(5, "Bank");
    item->SetDetails("https://ofx.example/", "ORG", "1234", "QWIN", "2500");
    item->SetProfileText("<PROFRS>");
    item->SetLastDetailsRefresh(100);
    item->SetLastProfileFetch(200);
    item->SetDetailsStamp(1);
    item->SetClientUidRequired(1);
    CFiList list;
    list.SetPath(path_);
    list.AddTail(std::move(item));
    ASSERT_EQ(list.Save(), 0);
    const std::string expected =
        Bytes().W(1).NewClass("CFiItem").D(5).Str("Bank").W(0).D(0).D(0).str();
    EXPECT_EQ(test::ReadFileBytes(path_), expected);

    CFiList again;
    ASSERT_EQ(again.Load(path_), 0);
    const auto& loaded = dynamic_cast<const CFiItem&>(*again.GetAt(0));
    EXPECT_EQ(loaded.GetFiId(), 5);
    EXPECT_EQ(loaded.GetName(), "Bank");
    EXPECT_EQ(loaded.GetUrl(), "");
    EXPECT_EQ(loaded.GetProfileText(), "");
    EXPECT_EQ(loaded.GetDetailsStamp(), 0u);
    EXPECT_EQ(loaded.GetLastDetailsRefresh(), 0u);
    EXPECT_EQ(loaded.GetClientUidRequired(), 0);
}

TEST_F(FiListTest, MissingFileCreatesAnEmptyListWithZeroTrailer) {
    CFiList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(test::ReadFileBytes(path_), Bytes().W(0).W(0).D(0).D(0).str());
}

TEST_F(FiListTest, ShortOrForeignFilesFailAndLeaveNothingBehind) {
    const std::string golden = Golden().str();
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"no trailer", GoldenItems().str()},
        {"trailer word only", GoldenItems().W(1).str()},
        {"last int32 short", golden.substr(0, golden.size() - 1)},
        {"item name cut", golden.substr(0, 20)},
        {"another item kind", Bytes().W(1).NewClass("CListItem").W(0).D(0).D(0).str()},
        {"empty file", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CFiList list;
        // Values of an earlier good load must not survive a failed one.
        test::WriteFileBytes(path_, golden);
        ASSERT_EQ(list.Load(path_), 0);
        test::WriteFileBytes(path_, c.bytes);
        // Neither form of the records reads to the end of the file.
        sink_.reports.clear();
        EXPECT_EQ(list.Load(path_), kErrorBadFile);
        EXPECT_EQ(sink_.reports.size(), 1u);
        EXPECT_EQ(list.GetCount(), 0u);
        EXPECT_EQ(list.GetUpdateWord(), 0);
        EXPECT_EQ(list.GetListVersion(), 0);
        EXPECT_EQ(list.GetUpdateValue(), 0);
    }
}

// The first n golden institutions, each record with or without a 32-bit
// end word after it, then the golden trailer.
std::string InstitutionFile(std::size_t n, bool endWord, std::uint32_t endValue = 0) {
    const struct {
        std::int32_t id;
        std::string name;
    } items[] = {{1021, "Caf\xE9 Bank"}, {-2, kLongName}, {77, ""}};
    Bytes b;
    b.W(static_cast<std::uint16_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        b.ItemTag("CFiItem", i).D(static_cast<std::uint32_t>(items[i].id)).Str(items[i].name);
        if (endWord)
            b.D(endValue);
    }
    return b.W(0xBEEF).D(77771).D(0x80000001).str();
}

// Files are found with a zero after each record and without; both load whole
// (one institution with the zero used to load with a garbled trailer), and
// the list is written back without it.
TEST_F(FiListTest, RecordsWithOrWithoutAnEndZeroLoadWhole) {
    const Strings names = {"Caf\xE9 Bank", kLongName, ""};
    const std::vector<std::int32_t> ids = {1021, -2, 77};
    for (const std::size_t n : {std::size_t{1}, std::size_t{3}}) {
        for (const bool endZero : {false, true}) {
            SCOPED_TRACE(testing::Message() << n << " items, end zero " << endZero);
            test::WriteFileBytes(path_, InstitutionFile(n, endZero));
            sink_.reports.clear();
            CFiList list;
            ASSERT_EQ(list.Load(path_), 0);
            EXPECT_EQ(Names(list), Strings(names.begin(), names.begin() + n));
            EXPECT_EQ(Ids(list), std::vector<std::int32_t>(ids.begin(), ids.begin() + n));
            EXPECT_EQ(list.GetUpdateWord(), 0xBEEF);
            EXPECT_EQ(list.GetListVersion(), CFiList::kDirectoryListVersion);
            EXPECT_EQ(list.GetUpdateValue(), static_cast<std::int32_t>(0x80000001));
            EXPECT_TRUE(sink_.reports.empty());
            ASSERT_EQ(list.Save(), 0);
            EXPECT_EQ(test::ReadFileBytes(path_), InstitutionFile(n, false));
        }
    }
}

TEST_F(FiListTest, RecordEndsThatAreNotZeroAreRefused) {
    for (const std::size_t n : {std::size_t{1}, std::size_t{3}}) {
        SCOPED_TRACE(n);
        test::WriteFileBytes(path_, InstitutionFile(n, true, 1));
        sink_.reports.clear();
        CFiList list;
        EXPECT_EQ(list.Load(path_), kErrorBadFile);
        EXPECT_EQ(list.GetCount(), 0u);
        ASSERT_EQ(sink_.reports.size(), 1u);
        EXPECT_NE(sink_.reports[0].text.find(path_), std::string::npos);
    }
}

TEST_F(FiListTest, DirectoryUpdatesKeepNameOrderWithoutSaving) {
    CFiList list;
    list.SetPath(path_);
    const struct {
        std::int32_t id;
        const char* name;
    } banks[] = {{30, "Midland"}, {10, "Zenith"}, {20, "Acme"}, {40, "Midland"}};
    for (const auto& b : banks)
        ASSERT_NE(list.AddOrUpdate(b.id, b.name), nullptr);
    EXPECT_EQ(Names(list), (Strings{"Acme", "Midland", "Midland", "Zenith"}));
    // An equal name goes before the one already there.
    EXPECT_EQ(Ids(list), (std::vector<std::int32_t>{20, 40, 30, 10}));
    EXPECT_FALSE(std::filesystem::exists(path_));

    EXPECT_TRUE(list.RemoveByFiId(40));
    EXPECT_FALSE(list.RemoveByFiId(40));
    EXPECT_EQ(Ids(list), (std::vector<std::int32_t>{20, 30, 10}));
    EXPECT_EQ(list.FindByFiId(40), nullptr);
    ASSERT_NE(list.FindByFiId(10), nullptr);
    EXPECT_EQ(list.FindByFiId(10)->GetName(), "Zenith");
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(FiListTest, KnownInstitutionIsResetAndRenamedInPlace) {
    CFiList list;
    CFiItem* item = list.AddOrUpdate(7, "Old Name");
    list.AddOrUpdate(8, "Another");
    item->SetDetails("https://ofx.example/", "ORG", "FID", "APP", "VER");
    item->SetProfileText("profile");
    item->SetLastDetailsRefresh(11);
    item->SetLastProfileFetch(12);
    item->SetDetailsStamp(1);
    item->SetRunByte(3);
    item->SetRunValue(4);

    EXPECT_EQ(list.AddOrUpdate(7, "New Name"), item);
    EXPECT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(item->GetFiId(), 7);
    EXPECT_EQ(item->GetName(), "New Name");
    // The next use in this run fetches details and profile again.
    EXPECT_EQ(item->GetDetailsStamp(), 0u);
    EXPECT_EQ(item->GetLastDetailsRefresh(), 0u);
    EXPECT_EQ(item->GetLastProfileFetch(), 0u);
    EXPECT_EQ(item->GetRunByte(), 0);
    EXPECT_EQ(item->GetRunValue(), 0);

    // A renamed institution takes its new name's place, so that later
    // inserts still find the list in name order.
    list.AddOrUpdate(8, "Zulu");
    list.AddOrUpdate(9, "Omega");
    EXPECT_EQ(Names(list), (Strings{"New Name", "Omega", "Zulu"}));
}

TEST(FiItemTest, ResetStateClearsRunStateButKeepsTexts) {
    CFiItem item(9, "Bank");
    item.SetDetails("https://ofx.example/", "ORG", "FID", "APP", "VER");
    item.SetProfileText("profile");
    item.SetLastDetailsRefresh(1);
    item.SetLastProfileFetch(2);
    item.SetDetailsStamp(3);
    item.SetRunByte(4);
    item.SetRunValue(5);
    item.SetClientUidRequired(1);
    item.SetTargetAccount(reinterpret_cast<CAccount*>(&item));
    item.SetProgressWindow(reinterpret_cast<COnlineProgressDlg*>(&item));
    item.ResetState();
    EXPECT_EQ(item.GetFiId(), 0);
    EXPECT_EQ(item.GetLastDetailsRefresh(), 0u);
    EXPECT_EQ(item.GetLastProfileFetch(), 0u);
    EXPECT_EQ(item.GetDetailsStamp(), 0u);
    EXPECT_EQ(item.GetRunByte(), 0);
    EXPECT_EQ(item.GetRunValue(), 0);
    EXPECT_EQ(item.GetTargetAccount(), nullptr);
    EXPECT_EQ(item.GetProgressWindow(), nullptr);
    EXPECT_EQ(item.GetName(), "Bank");
    EXPECT_EQ(item.GetUrl(), "https://ofx.example/");
    EXPECT_EQ(item.GetAppVer(), "VER");
    EXPECT_EQ(item.GetProfileText(), "profile");
    EXPECT_EQ(item.GetClientUidRequired(), 1);
}

}  // namespace
}  // namespace tallowmere
