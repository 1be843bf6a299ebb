#include "ui/list_selection.h"

#include <gtest/gtest.h>

#include <QStandardItemModel>
#include <QTreeView>
#include <set>

namespace tallowmere::ui {
namespace {

class ListSelectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int row = 0; row < 5; ++row) {
            model_.appendRow(
                {new QStandardItem(QString::number(row)), new QStandardItem(QStringLiteral("x"))});
        }
        list_.setModel(&model_);
        list_.setSelectionBehavior(QAbstractItemView::SelectRows);
        list_.setSelectionMode(QAbstractItemView::ExtendedSelection);
    }

    std::set<int> Selected() const {
        std::set<int> rows;
        for (const QModelIndex& index : list_.selectionModel()->selectedRows())
            rows.insert(index.row());
        return rows;
    }

    QStandardItemModel model_;
    QTreeView list_;
};

TEST_F(ListSelectionTest, SelectsRowsByNumber) {
    EXPECT_EQ(GetFirstSelectedItem(list_), -1);
    SelectListItem(list_, 3, true);
    SelectListItem(list_, 1, false);
    EXPECT_EQ(Selected(), (std::set<int>{1, 3}));
    EXPECT_EQ(GetFirstSelectedItem(list_), 1);
    EXPECT_EQ(list_.currentIndex().row(), 1);

    SelectListItem(list_, 4, true);
    EXPECT_EQ(Selected(), std::set<int>{4});
    EXPECT_EQ(list_.currentIndex().row(), 4);
    SelectListItem(list_, 5, true);
    SelectListItem(list_, -1, true);
    EXPECT_EQ(Selected(), std::set<int>{4});

    SelectAllItems(list_, true);
    EXPECT_EQ(Selected(), (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(GetFirstSelectedItem(list_), 0);
    SelectAllItems(list_, false);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(GetFirstSelectedItem(list_), -1);
}

}  // namespace
}  // namespace tallowmere::ui
