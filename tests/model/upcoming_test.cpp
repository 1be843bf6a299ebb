// The upcoming list: entries by due date, ties before the entries already
// there, bulk insertion in the same order, and the next-due test.
#include "model/upcoming.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "model/scheduled.h"

namespace tallowmere {
namespace {

// Entries are told apart by their item (a tag) and due date.
struct Tagged {
    int tag;
    PalmTime due;
    bool operator==(const Tagged&) const = default;
};

class UpcomingTest : public ::testing::Test {
  protected:
    std::unique_ptr<CUpcomingTrans> Make(const Tagged& t) {
        return std::make_unique<CUpcomingTrans>(t.due, &items_[static_cast<std::size_t>(t.tag)]);
    }
    std::vector<Tagged> Contents(const CUpcomingList& list) {
        std::vector<Tagged> out;
        for (std::size_t i = 0; i < list.GetCount(); ++i) {
            const CUpcomingTrans* e = list.GetAt(i);
            out.push_back({static_cast<int>(e->GetItem() - items_), e->GetDueDate()});
        }
        return out;
    }

    CScheduledItem items_[8];
};

TEST_F(UpcomingTest, InsertByDateGoesBeforeEntriesOfTheSameDate) {
    CUpcomingList list;
    EXPECT_EQ(list.InsertByDate(Make({0, 200})), 0u);
    EXPECT_EQ(list.InsertByDate(Make({1, 100})), 0u);
    EXPECT_EQ(list.InsertByDate(Make({2, 300})), 2u);
    EXPECT_EQ(list.InsertByDate(Make({3, 200})), 1u);
    EXPECT_EQ(list.InsertByDate(Make({4, 200})), 1u);
    EXPECT_EQ(list.InsertByDate(nullptr), 5u);
    EXPECT_EQ(Contents(list),
              (std::vector<Tagged>{{1, 100}, {4, 200}, {3, 200}, {0, 200}, {2, 300}}));
    EXPECT_EQ(list.GetAt(5), nullptr);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0u);
}

TEST_F(UpcomingTest, BulkInsertMatchesOneByOne) {
    const std::vector<Tagged> first = {{0, 50}, {1, 10}, {2, 50}};
    const std::vector<Tagged> second = {{3, 50}, {4, 5}, {5, 50}, {6, 70}, {7, 10}};
    CUpcomingList oneByOne;
    CUpcomingList bulk;
    for (const Tagged& t : first) {
        oneByOne.InsertByDate(Make(t));
        bulk.InsertByDate(Make(t));
    }
    std::vector<std::unique_ptr<CUpcomingTrans>> batch;
    for (const Tagged& t : second) {
        oneByOne.InsertByDate(Make(t));
        batch.push_back(Make(t));
    }
    batch.push_back(nullptr);
    bulk.InsertAllByDate(std::move(batch));
    EXPECT_EQ(Contents(bulk), Contents(oneByOne));
    EXPECT_EQ(bulk.GetCount(), 8u);
}

TEST_F(UpcomingTest, NextDueIsTheItemsNextDate) {
    items_[0].SetNextDue(1000);
    EXPECT_TRUE(CUpcomingTrans(1000, &items_[0]).IsNextDue());
    EXPECT_FALSE(CUpcomingTrans(1001, &items_[0]).IsNextDue());
    EXPECT_FALSE(CUpcomingTrans(1000, nullptr).IsNextDue());
    // An entry is a zeroed transaction with no id of its own.
    const CUpcomingTrans entry(1000, &items_[0]);
    EXPECT_TRUE(entry.GetId().IsNull());
    EXPECT_EQ(entry.GetDate(), 0u);
}

}  // namespace
}  // namespace tallowmere
