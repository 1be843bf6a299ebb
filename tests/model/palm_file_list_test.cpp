// CPalmFileList: golden list files, what a load refuses, the deleted-item
// order of every operation, and saves that fail without harming the file.
#include "model/palm_file_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "list_test_items.h"
#include "model/archive.h"
#include "platform/atomic_file.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;
using test::Names;
using test::TestNamedItem;
using test::TestNamedList;

// A record whose Serialize refuses the file with a code of its own.
class RefusingItem : public TestNamedItem {
  public:
    RefusingItem() = default;
    explicit RefusingItem(ForLoad tag) : TestNamedItem(tag) {}
    std::string_view GetClassName() const override { return "CTestRefusingItem"; }
    void Serialize(CArchive& ar) override {
        if (ar.IsLoading())
            throw ArchiveError{1234};
    }
};

class PalmFileListTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        test::RegisterTestClasses();
        RegisterRuntimeClass({"CTestRefusingItem", &CreateForLoad<RefusingItem>});
    }
    void SetUp() override {
        dir_ = test::MakeTempDir("palm");
        path_ = dir_ + "/PayeesList.lst";
    }
    void TearDown() override {
        platform::SetWriteFault(nullptr);
        platform::SetCrashBeforeRename(false);
    }

    // A list of named items, the last `deleted` of them marked deleted.
    static void Fill(CPalmFileList& list, const std::vector<std::string>& names, int deleted = 0) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            auto item = std::make_unique<TestNamedItem>(names[i], RecordId::Fixed(100 + i));
            if (i + deleted >= names.size())
                item->SetAttribute(0xC0);
            list.AddItem(std::move(item));
        }
    }

    std::string dir_;
    std::string path_;
    test::CapturingSink sink_;
};

const RecordId kId1 = RecordId::Fixed(0x0101);
const RecordId kId2 = RecordId::Fixed(0x0202);
const RecordId kId3 = RecordId::Fixed(0x0303);

// Three items: a short name, one of 255 bytes (FF + WORD), one of 65535 bytes
// (FF FFFF + DWORD) on a deleted item.
Bytes GoldenList() {
    return Bytes()
        .W(3)
        .NewClass(test::kNamedItemClass)
        .NamedItem(0, 0x40, kId1, "Bank")
        .W(0x8001)
        .NamedItem(7, 0x00, kId2, std::string(255, 'x'))
        .W(0x8001)
        .NamedItem(-1, 0xC0, kId3, std::string(65535, 'y'));
}

// Small enough to cut at every byte.
Bytes SmallGolden() {
    return Bytes()
        .W(2)
        .NewClass(test::kNamedItemClass)
        .NamedItem(0, 0x40, kId1, "Car")
        .W(0x8001)
        .NamedItem(1, 0xC0, kId2, "");
}

TEST_F(PalmFileListTest, GoldenFileLoadsAndSavesByteForByte) {
    const Bytes golden = GoldenList();
    test::WriteFileBytes(path_, golden.str());
    TestNamedList list;
    ASSERT_EQ(list.Load(path_), 0);
    ASSERT_EQ(list.GetCount(true), 3u);
    EXPECT_EQ(list.GetCount(false), 2u);
    auto* a = dynamic_cast<TestNamedItem*>(list.GetAt(0, true));
    auto* b = dynamic_cast<TestNamedItem*>(list.GetAt(1, true));
    auto* c = dynamic_cast<TestNamedItem*>(list.GetAt(2, true));
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->GetName(), "Bank");
    EXPECT_EQ(a->GetAttribute(), 0x40);
    EXPECT_EQ(a->GetId(), kId1);
    EXPECT_EQ(b->GetName(), std::string(255, 'x'));
    EXPECT_EQ(b->GetRecordNumber(), 7);
    EXPECT_EQ(c->GetName(), std::string(65535, 'y'));
    EXPECT_EQ(c->GetRecordNumber(), -1);
    EXPECT_TRUE(c->IsDeleted());

    std::filesystem::remove(path_);
    ASSERT_EQ(list.Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(path_), golden.str());
}

TEST_F(PalmFileListTest, SeventyThousandItemsTakeTheLongCount) {
    Bytes golden;
    golden.W(0xFFFF).D(70000).NewClass("CCommonListItem").D(0).B(0);
    for (int i = 1; i < 70000; ++i)
        golden.W(0x8001).D(static_cast<std::uint32_t>(i)).B(0);
    test::WriteFileBytes(path_, golden.str());

    CPalmFileList list;
    ASSERT_EQ(list.Load(path_), 0);
    ASSERT_EQ(list.GetCount(true), 70000u);
    EXPECT_EQ(list.GetAt(69999, true)->GetRecordNumber(), 69999);
    std::filesystem::remove(path_);
    ASSERT_EQ(list.Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(path_), golden.str());
}

TEST_F(PalmFileListTest, CountBoundariesRoundTrip) {
    struct Case {
        std::uint32_t count;
        std::string prefix;
    };
    const Case cases[] = {
        {0, Bytes().W(0).str()},
        {0xFFFE, Bytes().W(0xFFFE).str()},
        {0xFFFF, Bytes().W(0xFFFF).D(0xFFFF).str()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        CPalmFileList list;
        list.SetPath(path_);
        for (std::uint32_t i = 0; i < c.count; ++i)
            list.AddItem(std::make_unique<CPalmListItem>());
        ASSERT_EQ(list.Save(), 0);
        const std::string bytes = test::ReadFileBytes(path_);
        EXPECT_EQ(bytes.substr(0, c.prefix.size()), c.prefix);
        CPalmFileList again;
        ASSERT_EQ(again.Load(path_), 0);
        EXPECT_EQ(again.GetCount(true), c.count);
    }
}

TEST_F(PalmFileListTest, MixedRecordClassesLoadIntoTheBaseList) {
    const Bytes golden = Bytes()
                             .W(3)
                             .NewClass("CPalmListItem")
                             .D(5)
                             .B(0)
                             .NewClass("CCommonListItem")
                             .D(6)
                             .B(0)
                             .W(0x8001)
                             .D(7)
                             .B(0x80);
    test::WriteFileBytes(path_, golden.str());
    CPalmFileList list;
    ASSERT_EQ(list.Load(path_), 0);
    ASSERT_EQ(list.GetCount(true), 3u);
    EXPECT_EQ(list.GetAt(1, true)->GetClassName(), "CCommonListItem");
    EXPECT_EQ(list.GetAt(2, true)->GetClassName(), "CPalmListItem");
    ASSERT_EQ(list.Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(path_), golden.str());
}

TEST_F(PalmFileListTest, RefusedFilesLeaveTheListEmpty) {
    const std::string item = Bytes().NamedItem(0, 0, kId1, "A").str();
    const std::string head = Bytes().NewClass(test::kNamedItemClass).str() + item;
    struct Case {
        const char* what;
        std::string bytes;
        int code;
    };
    const Case cases[] = {
        {"empty file", "", kErrorBadFile},
        {"unregistered class", Bytes().W(1).NewClass("CNeverRegistered").str() + item,
         kErrorBadFile},
        {"registered class without a factory",
         Bytes().W(1).NewClass(test::kNoFactoryClass).str() + item, kErrorBadFile},
        {"record of another kind", Bytes().W(1).NewClass("CCommonListItem").D(0).B(0).str(),
         kErrorBadFile},
        {"plain item in a record list", Bytes().W(1).NewClass("CListItem").str(), kErrorBadFile},
        {"a later item of another kind",
         Bytes().W(2).str() + head + Bytes().NewClass("CCommonListItem").D(0).B(0).str(),
         kErrorBadFile},
        {"null item", Bytes().W(2).str() + head + Bytes().W(0).str(), kErrorBadFile},
        {"back-reference", Bytes().W(2).str() + head + Bytes().W(0x0002).str(), kErrorBadFile},
        {"count beyond the data", Bytes().W(40).str() + head, kErrorBadFile},
        {"long count beyond the data", Bytes().W(0xFFFF).D(0xFFFFFFFF).str() + head, kErrorBadFile},
        {"code thrown by a record", Bytes().W(1).NewClass("CTestRefusingItem").str(), 1234},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::WriteFileBytes(path_, SmallGolden().str());
        TestNamedList list;
        ASSERT_EQ(list.Load(path_), 0);
        ASSERT_EQ(list.GetCount(true), 2u);
        test::WriteFileBytes(path_, c.bytes);
        EXPECT_EQ(list.Load(path_), c.code);
        EXPECT_EQ(list.GetCount(true), 0u);
        EXPECT_EQ(list.GetPath(), path_);
    }
}

TEST_F(PalmFileListTest, EveryTruncationIsRefused) {
    const std::string golden = SmallGolden().str();
    for (std::size_t n = 0; n < golden.size(); ++n) {
        SCOPED_TRACE(n);
        test::WriteFileBytes(path_, golden.substr(0, n));
        TestNamedList list;
        EXPECT_NE(list.Load(path_), 0);
        EXPECT_EQ(list.GetCount(true), 0u);
    }
    test::WriteFileBytes(path_, golden);
    TestNamedList list;
    EXPECT_EQ(list.Load(path_), 0);
}

TEST_F(PalmFileListTest, MissingFilesGiveTheSystemCode) {
    TestNamedList list;
    Fill(list, {"A"});
    EXPECT_EQ(list.Load(dir_ + "/absent.lst"), 2);
    EXPECT_EQ(list.GetCount(true), 0u);
    EXPECT_EQ(list.Load(dir_ + "/no/such/folder.lst"), 3);
    EXPECT_EQ(list.LoadData({}), kErrorBadFile);
}

TEST_F(PalmFileListTest, LoadMovesDeletedItemsBehindTheLiveOnes) {
    const Bytes file = Bytes()
                           .W(4)
                           .NewClass(test::kNamedItemClass)
                           .NamedItem(0, 0xC0, kId1, "gone1")
                           .W(0x8001)
                           .NamedItem(0, 0, kId2, "A")
                           .W(0x8001)
                           .NamedItem(0, 0x80, kId3, "gone2")
                           .W(0x8001)
                           .NamedItem(0, 0, kId1, "B");
    const auto data = file.vec();
    TestNamedList list;
    ASSERT_EQ(list.LoadData(data), 0);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B", "gone1", "gone2"}));
    EXPECT_EQ(list.GetCount(false), 2u);
}

TEST_F(PalmFileListTest, AddItemKeepsDeletedItemsAtTheTail) {
    TestNamedList list;
    list.SetPath(path_);
    Fill(list, {"A", "B", "del"}, 1);
    list.AddItem(std::make_unique<TestNamedItem>("C"), false);
    list.AddItem(std::make_unique<TestNamedItem>("D"), true);
    auto deleted = std::make_unique<TestNamedItem>("del2");
    deleted->SetAttribute(0x80);
    list.AddItem(std::move(deleted), false);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B", "C", "D", "del", "del2"}));
    EXPECT_EQ(list.GetCount(false), 4u);
    EXPECT_FALSE(std::filesystem::exists(path_));  // AddItem does not save

    ASSERT_EQ(list.AddAndSave(std::make_unique<TestNamedItem>("E")), 0);
    TestNamedList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Names(again), (std::vector<std::string>{"A", "B", "C", "D", "E", "del", "del2"}));
}

TEST_F(PalmFileListTest, DeleteItemMarksMovesAndSaves) {
    TestNamedList list;
    list.SetPath(path_);
    Fill(list, {"A", "B", "C"});
    CPalmListItem* first = list.GetAt(0, false);
    ASSERT_EQ(list.DeleteItem(first), 0);
    EXPECT_EQ(list.GetCount(false), 2u);
    EXPECT_EQ(list.GetAt(list.GetCount(true) - 1, true), first);
    EXPECT_EQ(first->GetAttribute() & 0xC0, 0xC0);
    EXPECT_EQ(list.GetAt(2, false), nullptr);

    TestNamedList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Names(again), (std::vector<std::string>{"B", "C", "A"}));
    EXPECT_EQ(again.GetCount(false), 2u);
}

TEST_F(PalmFileListTest, DeleteItemOfAnAbsentItemStillRewritesTheFile) {
    TestNamedList list;
    list.SetPath(path_);
    Fill(list, {"A", "B"});
    test::WriteFileBytes(path_, "stale");
    TestNamedItem stranger("X");
    ASSERT_EQ(list.DeleteItem(&stranger), 0);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(list.GetCount(false), 2u);
    TestNamedList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Names(again), (std::vector<std::string>{"A", "B"}));
}

TEST_F(PalmFileListTest, ReplaceItemRevivesBeforeTheDeletedAndSavesOnce) {
    TestNamedList list;
    list.SetPath(path_);
    Fill(list, {"A", "B", "x", "y"}, 2);
    CPalmListItem* revived = list.GetAt(3, true);
    int saves = 0;
    platform::SetWriteFault([&saves](std::size_t written, int&) {
        if (written == 0)
            ++saves;
        return true;
    });
    ASSERT_EQ(list.ReplaceItem(revived), 0);
    platform::SetWriteFault(nullptr);
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(revived->IsDeleted());
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B", "y", "x"}));
    EXPECT_EQ(list.GetCount(false), 3u);
    TestNamedList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Names(again), Names(list));
}

TEST_F(PalmFileListTest, RemoveItemHandsTheItemBack) {
    TestNamedList list;
    list.SetPath(path_);
    Fill(list, {"A", "B", "C"});
    CPalmListItem* b = list.GetAt(1, true);
    auto removed = list.RemoveItem(b);
    EXPECT_EQ(removed.result, 0);
    EXPECT_EQ(removed.item.get(), b);
    EXPECT_EQ(list.IndexOf(b), -1);
    TestNamedList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Names(again), (std::vector<std::string>{"A", "C"}));

    auto absent = list.RemoveItem(b);
    EXPECT_EQ(absent.item, nullptr);
    EXPECT_EQ(absent.result, 0);
}

TEST_F(PalmFileListTest, WalksStopAtTheFirstDeletedItemUnlessAll) {
    struct Case {
        std::vector<std::string> names;
        int deleted;
        std::vector<std::string> live;
    };
    const Case cases[] = {
        {{}, 0, {}},
        {{"A"}, 0, {"A"}},
        {{"A", "B", "x"}, 1, {"A", "B"}},
        {{"x", "y"}, 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.names));
        TestNamedList list;
        Fill(list, c.names, c.deleted);
        for (bool all : {false, true}) {
            std::vector<std::string> seen;
            auto pos = list.GetHeadPosition(all);
            while (pos != CPalmFileList::kNoPosition) {
                auto* item = dynamic_cast<CCommonListItem*>(list.GetNextLive(pos, all));
                ASSERT_NE(item, nullptr);
                seen.push_back(item->GetName());
            }
            EXPECT_EQ(seen, all ? c.names : c.live);
            EXPECT_EQ(list.GetCount(all), seen.size());
            EXPECT_EQ(list.GetAt(seen.size(), all), nullptr);
        }
        CPalmFileList::Position end = CPalmFileList::kNoPosition;
        EXPECT_EQ(list.GetNextItem(end, true), nullptr);
    }
}

TEST_F(PalmFileListTest, FindByIdSearchesLiveItemsUnlessAll) {
    TestNamedList list;
    Fill(list, {"A", "B", "x"}, 1);  // ids Fixed(100), Fixed(101), Fixed(102)
    EXPECT_EQ(list.FindById(RecordId::Fixed(101), false), list.GetAt(1, true));
    EXPECT_EQ(list.FindById(RecordId::Fixed(102), false), nullptr);
    EXPECT_EQ(list.FindById(RecordId::Fixed(102), true), list.GetAt(2, true));
    EXPECT_EQ(list.FindById(RecordId::Fixed(7), true), nullptr);

    // Records without an id answer none, which finds nothing.
    CPalmFileList plain;
    plain.AddItem(std::make_unique<CPalmListItem>());
    EXPECT_EQ(plain.FindById(kNoneId, true), nullptr);
}

TEST_F(PalmFileListTest, SaveIntoAPathThatCannotExistFailsAndReports) {
    test::WriteFileBytes(dir_ + "/plain", "not a folder");
    TestNamedList list;
    list.SetPath(dir_ + "/plain/PayeesList.lst");
    Fill(list, {"A"});
    EXPECT_EQ(list.Save(), -1);
    ASSERT_EQ(sink_.reports.size(), 1u);
    EXPECT_EQ(sink_.reports[0].string_id, 185);
    ASSERT_EQ(sink_.reports[0].args.size(), 1u);
    const auto code = std::get<std::int64_t>(sink_.reports[0].args[0]);
    EXPECT_NE(code, 0);
    EXPECT_EQ(sink_.reports[0].text,
              "There was an error saving the file (" + std::to_string(code) + ").");
}

TEST_F(PalmFileListTest, FailedWritesLeaveTheOldFileAsItWas) {
    const std::string golden = GoldenList().str();
    ASSERT_GT(golden.size(), 65536u);  // more than one write call
    // The writer fails at its first write that starts at or beyond k bytes.
    for (std::size_t k : {std::size_t{0}, std::size_t{1}, std::size_t{65536}}) {
        SCOPED_TRACE(k);
        test::WriteFileBytes(path_, golden);
        TestNamedList list;
        ASSERT_EQ(list.Load(path_), 0);
        list.AddItem(std::make_unique<TestNamedItem>("New"));
        platform::SetWriteFault([k](std::size_t written, int& err) {
            err = 28;  // ENOSPC
            return written < k;
        });
        EXPECT_EQ(list.Save(), -1);
        platform::SetWriteFault(nullptr);
        EXPECT_EQ(test::ReadFileBytes(path_), golden);
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_)) {
            ++files;
        }
        EXPECT_EQ(files, 1u);
    }
    EXPECT_FALSE(sink_.reports.empty());
}

TEST_F(PalmFileListTest, CrashBeforeTheRenameLeavesTheOldFile) {
    const std::string golden = SmallGolden().str();
    test::WriteFileBytes(path_, golden);
    TestNamedList list;
    ASSERT_EQ(list.Load(path_), 0);
    ASSERT_EQ(list.DeleteItem(list.GetAt(0, true)), 0);
    const std::string afterDelete = test::ReadFileBytes(path_);
    platform::SetCrashBeforeRename(true);
    EXPECT_EQ(list.AddAndSave(std::make_unique<TestNamedItem>("New")), -1);
    platform::SetCrashBeforeRename(false);
    EXPECT_EQ(test::ReadFileBytes(path_), afterDelete);
}

TEST_F(PalmFileListTest, LoadOrCreateMakesTheDefaultsAndTheFile) {
    TestNamedList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Bank", "Car"}));
    TestNamedList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Names(again), (std::vector<std::string>{"Bank", "Car"}));

    // An existing file is loaded as it is.
    ASSERT_EQ(list.DeleteItem(list.GetAt(0, true)), 0);
    TestNamedList third;
    ASSERT_EQ(third.LoadOrCreate(path_), 0);
    EXPECT_EQ(Names(third), (std::vector<std::string>{"Car", "Bank"}));
    EXPECT_EQ(third.GetCount(false), 1u);
}

TEST_F(PalmFileListTest, LoadOrCreatePassesOnOtherFailures) {
    // A bad file is not replaced by the defaults.
    test::WriteFileBytes(path_, "bad");
    TestNamedList list;
    EXPECT_EQ(list.LoadOrCreate(path_), kErrorBadFile);
    EXPECT_EQ(list.GetCount(true), 0u);
    EXPECT_EQ(test::ReadFileBytes(path_), "bad");

    // A missing folder is not a missing file.
    EXPECT_EQ(list.LoadOrCreate(dir_ + "/gone/PayeesList.lst"), 3);

    // When the new file cannot be written the save's -1 comes back, not 2.
    std::filesystem::remove(path_);
    platform::SetWriteFault([](std::size_t, int& err) {
        err = 5;  // EIO
        return false;
    });
    EXPECT_EQ(list.LoadOrCreate(path_), -1);
    platform::SetWriteFault(nullptr);
    EXPECT_FALSE(std::filesystem::exists(path_));
}

}  // namespace
}  // namespace tallowmere
