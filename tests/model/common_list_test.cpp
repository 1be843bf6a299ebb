// CCommonList: name order of AddSorted, MoveItem, ReplaceItem and Resort, with
// deleted items kept at the tail.
#include "model/common_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "list_test_items.h"
#include "platform/atomic_file.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Names;
using test::TestNamedItem;
using test::TestNamedList;
using Strings = std::vector<std::string>;

class CommonListTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::RegisterTestClasses(); }
    void SetUp() override {
        path_ = test::MakeTempDir("common") + "/ClassList.lst";
        list_.SetPath(path_);
    }
    void TearDown() override { platform::SetWriteFault(nullptr); }

    // Adds the names in the given order without sorting; names starting with
    // '~' are deleted items.
    void Fill(const Strings& names) {
        for (const auto& name : names) {
            auto item = std::make_unique<TestNamedItem>(name);
            if (name[0] == '~')
                item->SetAttribute(0xC0);
            list_.AddItem(std::move(item));
        }
    }
    Strings Reloaded() {
        TestNamedList again;
        EXPECT_EQ(again.Load(path_), 0);
        return Names(again);
    }

    std::string path_;
    TestNamedList list_;
    test::CapturingSink sink_;
};

TEST_F(CommonListTest, AddSortedPlacesByByteOrderAmongLiveItems) {
    struct Case {
        Strings before;
        std::string added;
        Strings after;
    };
    const Case cases[] = {
        {{}, "A", {"A"}},
        {{"B", "D"}, "C", {"B", "C", "D"}},
        {{"B", "D"}, "A", {"A", "B", "D"}},
        {{"B", "D"}, "Z", {"B", "D", "Z"}},
        {{"B", "~A"}, "A", {"A", "B", "~A"}},
        {{"B", "~A"}, "C", {"B", "C", "~A"}},
        {{"B", "C"}, "a", {"B", "C", "a"}},  // bytes, not letters
        {{"Z", "\xE9t\xE9"}, "\xC9t\xE9", {"Z", "\xC9t\xE9", "\xE9t\xE9"}},
        {{"B"}, "~X", {"B", "~X"}},  // a deleted item goes last
        {{"", "B"}, "", {"", "", "B"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.before) + " + " + c.added);
        TestNamedList list;
        list.SetPath(path_);
        for (const auto& name : c.before) {
            auto item = std::make_unique<TestNamedItem>(name);
            if (name[0] == '~')
                item->SetAttribute(0xC0);
            list.AddItem(std::move(item));
        }
        auto item = std::make_unique<TestNamedItem>(c.added);
        if (!c.added.empty() && c.added[0] == '~')
            item->SetAttribute(0xC0);
        ASSERT_EQ(list.AddSorted(std::move(item)), 0);
        EXPECT_EQ(Names(list), c.after);
        EXPECT_EQ(Reloaded(), c.after);
    }
}

TEST_F(CommonListTest, AnEqualNameGoesBeforeTheExistingOne) {
    Fill({"Bank", "Car"});
    auto fresh = std::make_unique<TestNamedItem>("Bank");
    const TestNamedItem* added = fresh.get();
    ASSERT_EQ(list_.AddSorted(std::move(fresh)), 0);
    EXPECT_EQ(Names(list_), (Strings{"Bank", "Bank", "Car"}));
    EXPECT_EQ(list_.GetAt(0, true), added);
}

TEST_F(CommonListTest, MoveItemRefilesAnEditedItem) {
    Fill({"A", "B", "C", "~X"});
    auto* a = dynamic_cast<TestNamedItem*>(list_.GetAt(0, true));
    a->SetName("Zed");
    int saved = -2;
    EXPECT_EQ(list_.MoveItem(0, a, &saved), 2);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(Names(list_), (Strings{"B", "C", "Zed", "~X"}));
    EXPECT_EQ(Reloaded(), Names(list_));
}

TEST_F(CommonListTest, MoveItemRefusesAnotherItemAtTheIndex) {
    Fill({"A", "B"});
    auto* b = dynamic_cast<TestNamedItem*>(list_.GetAt(1, true));
    EXPECT_EQ(list_.MoveItem(0, b), -1);
    EXPECT_EQ(list_.MoveItem(5, b), -1);
    EXPECT_EQ(Names(list_), (Strings{"A", "B"}));
}

TEST_F(CommonListTest, MoveItemWithANewItemDestroysTheOldOne) {
    Fill({"A", "B", "C"});
    const int before = TestNamedItem::liveCount;
    int saved = -2;
    EXPECT_EQ(list_.MoveItem(0, std::make_unique<TestNamedItem>("Bz"), &saved), 1);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(TestNamedItem::liveCount, before);
    EXPECT_EQ(Names(list_), (Strings{"B", "Bz", "C"}));
    EXPECT_EQ(Reloaded(), Names(list_));

    // Out of range: nothing changes and the given item does not leak.
    EXPECT_EQ(list_.MoveItem(3, std::make_unique<TestNamedItem>("Q")), -1);
    EXPECT_EQ(TestNamedItem::liveCount, before);
    EXPECT_EQ(Names(list_), (Strings{"B", "Bz", "C"}));
}

TEST_F(CommonListTest, ReplaceItemRefilesByNameAndSavesOnce) {
    Fill({"A", "B", "C", "~D"});
    auto* a = dynamic_cast<TestNamedItem*>(list_.GetAt(0, true));
    a->SetName("Bb");
    auto* d = dynamic_cast<TestNamedItem*>(list_.GetAt(3, true));
    int saves = 0;
    platform::SetWriteFault([&saves](std::size_t written, int&) {
        if (written == 0)
            ++saves;
        return true;
    });
    ASSERT_EQ(list_.ReplaceItem(a), 0);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(Names(list_), (Strings{"B", "Bb", "C", "~D"}));
    // A deleted item comes back to life in its name's place.
    ASSERT_EQ(list_.ReplaceItem(d), 0);
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(Names(list_), (Strings{"B", "Bb", "C", "~D"}));
    EXPECT_EQ(list_.GetCount(false), 4u);
    d->SetName("A");
    ASSERT_EQ(list_.ReplaceItem(d), 0);
    EXPECT_EQ(Names(list_), (Strings{"A", "B", "Bb", "C"}));
    EXPECT_EQ(Reloaded(), Names(list_));
}

TEST_F(CommonListTest, ResortOrdersLiveItemsAndKeepsDeletedOnesLast) {
    Fill({"C", "A", "B", "~Y", "~X"});
    auto* firstA = list_.GetAt(1, true);
    // A second "A" added without sorting comes later in the current order.
    auto* secondA = list_.AddItem(std::make_unique<TestNamedItem>("A"));
    ASSERT_EQ(Names(list_), (Strings{"C", "A", "B", "A", "~Y", "~X"}));
    ASSERT_EQ(list_.Resort(), 0);
    EXPECT_EQ(Names(list_), (Strings{"A", "A", "B", "C", "~Y", "~X"}));
    EXPECT_EQ(list_.GetAt(0, true), secondA);  // equal names: the later one first
    EXPECT_EQ(list_.GetAt(1, true), firstA);
    EXPECT_EQ(list_.GetCount(false), 4u);
    EXPECT_EQ(Reloaded(), Names(list_));
}

TEST_F(CommonListTest, ResortEqualsAddingEveryLiveItemSortedToAnEmptyList) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 20; ++round) {
        TestNamedList list;
        std::vector<const CPalmListItem*> order;
        const int n = 1 + static_cast<int>(rng() % 30);
        for (int i = 0; i < n; ++i) {
            std::string name(1, static_cast<char>('a' + rng() % 4));
            if (rng() % 2)
                name += static_cast<char>('a' + rng() % 3);
            order.push_back(list.AddItem(std::make_unique<TestNamedItem>(name)));
        }
        // The reference order: each item, in the current order, at the place
        // AddSorted gives it.
        std::vector<std::pair<std::string, const CPalmListItem*>> placed;
        for (const auto* item : order) {
            const std::string name = dynamic_cast<const TestNamedItem*>(item)->GetName();
            auto at = placed.begin();
            while (at != placed.end() && at->first < name)
                ++at;
            placed.insert(at, {name, item});
        }
        list.SetPath(path_);
        ASSERT_EQ(list.Resort(), 0);
        ASSERT_EQ(list.GetCount(true), placed.size());
        for (std::size_t i = 0; i < placed.size(); ++i) {
            EXPECT_EQ(list.GetAt(i, true), placed[i].second) << "round " << round << " at " << i;
        }
    }
}

TEST_F(CommonListTest, AddSortedAgreesWithResort) {
    // The same names through AddSorted one by one and through Resort.
    const Strings names = {"m", "c", "x", "c", "a", "m", "b"};
    TestNamedList sorted;
    sorted.SetPath(path_);
    for (const auto& name : names)
        sorted.AddSorted(std::make_unique<TestNamedItem>(name));
    Fill(names);
    ASSERT_EQ(list_.Resort(), 0);
    EXPECT_EQ(Names(list_), Names(sorted));
}

TEST_F(CommonListTest, RefusesRecordsThatAreNotNamed) {
    CCommonList list;
    const std::string file = test::Bytes().W(1).NewClass("CPalmListItem").D(0).B(0).str();
    test::WriteFileBytes(path_, file);
    EXPECT_EQ(list.Load(path_), kErrorBadFile);
    const std::string named = test::Bytes().W(1).NewClass("CCommonListItem").D(0).B(0).str();
    test::WriteFileBytes(path_, named);
    EXPECT_EQ(list.Load(path_), 0);
    EXPECT_EQ(list.GetCount(true), 1u);
}

}  // namespace
}  // namespace tallowmere
