// The owner-drawn list base over a fake row source: type-ahead with a fixed
// clock, columns found by id and by x (also scrolled sideways), scrolling a
// row into view, keys with nothing selected, double-clicks, the selection
// kept across count changes, and the row colours as painted.
#include "ui/owner_list_ctrl.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <optional>
#include <vector>

#include "platform/clock.h"
#include "ui/list_test_support.h"
#include "ui/owner_list_model.h"

namespace tallowmere::ui {
namespace {

// The search text outlives a test, so each test's clock starts well after
// the one before stopped.
class FixedClock final : public platform::Clock {
  public:
    FixedClock() : tick(start += 1'000'000) {}
    platform::LocalTime LocalNow() const override { return {}; }
    std::uint32_t TickCount() const override { return tick; }
    std::uint32_t tick;

  private:
    static inline std::uint32_t start = 0;
};

// Rows of texts; nullopt is a row without an object.
class FakeList final : public COwnerListCtrl {
  public:
    std::vector<std::optional<QString>> rows;
    mutable std::vector<std::pair<std::uint16_t, int>> drawn;  // id, left, per drawn cell
    std::vector<int> doubleClicked;
    std::vector<std::pair<int, bool>> selections;

    void* GetItemObject(int row) const override {
        if (row < 0 || row >= static_cast<int>(rows.size()) || !rows[static_cast<size_t>(row)])
            return nullptr;
        return const_cast<QString*>(&*rows[static_cast<size_t>(row)]);
    }
    QString GetItemText(void* object, std::uint16_t) const override {
        return *static_cast<QString*>(object);
    }
    void DrawCell(QPainter&, const QRect& cell, std::uint16_t id, void*, int row) const override {
        if (row == 0)
            drawn.emplace_back(id, cell.left());
    }
    void OnItemDoubleClicked(int row) override { doubleClicked.push_back(row); }
    void OnItemSelected(int row, bool selected) override { selections.emplace_back(row, selected); }
};

QFont TestFont() {
    return test::ListTestFont();
}

class OwnerListTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::SetClock(&clock_); }
    void TearDown() override { platform::SetClock(nullptr); }

    // About fifty rows, in a 300 x 200 list with three columns.
    void Make(FakeList& list, int rows = 50) {
        list.rows = {QStringLiteral("Alpha"),
                     QStringLiteral("alpine"),
                     QStringLiteral("Beta"),
                     std::nullopt,
                     QString(),
                     QStringLiteral("beta two")};
        while (static_cast<int>(list.rows.size()) < rows)
            list.rows.push_back(QStringLiteral("Row %1").arg(list.rows.size()));
        list.rows.resize(static_cast<size_t>(rows));
        if (rows > 40)
            list.rows[40] = QStringLiteral("Xray");
        list.Create(QRect(0, 0, 300, 200), nullptr, 5003);
        list.setFont(TestFont());
        list.InsertColumnWithId(0, 7, QStringLiteral("Seven"), 200);
        list.InsertColumnWithId(1, 3, QStringLiteral("Three"), 120);
        list.InsertColumnWithId(2, 5, QStringLiteral("Five"), 150);
        list.SetItemCount(rows);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }

    void Type(QWidget& target, const QString& keys, std::uint32_t delay = 50) {
        for (const QChar c : keys) {
            clock_.tick += delay;
            QTest::keyClick(&target, c.toLatin1());
        }
    }

    FixedClock clock_;
};

TEST_F(OwnerListTest, TypeAheadFindsRowsByTheirText) {
    struct Case {
        const char* name;
        std::vector<std::pair<QString, std::uint32_t>> typed;  // keys, delay before them
        int selected;
    };
    const std::uint32_t pause = 2 * static_cast<std::uint32_t>(qApp->doubleClickInterval()) + 1;
    const std::vector<Case> cases = {
        {"two quick letters, either case", {{"AL", 50}}, 0},
        {"more letters narrow it", {{"alpi", 50}}, 1},
        {"a pause starts a new search", {{"al", 50}, {"b", pause}}, 2},
        {"a blank is a letter too", {{"beta ", 50}}, 5},
        {"rows without an object or a text are passed over", {{"x", 50}}, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeList list;
        Make(list);
        for (const auto& [keys, delay] : c.typed) {
            clock_.tick += pause;  // each case starts afresh
            Type(list, keys.left(1), delay);
            Type(list, keys.mid(1));
        }
        EXPECT_EQ(list.GetFirstSelectedItem(), c.selected);
        EXPECT_EQ(list.selectionModel()->selectedRows().size(), 1);
        const int top = list.GetTopIndex();
        EXPECT_TRUE(c.selected >= top && c.selected < top + list.GetRowsPerPage()) << top;
        clock_.tick += pause;
    }
}

TEST_F(OwnerListTest, TypeAheadWithoutAMatchKeepsTheSelectionAndPassesTheKeyOn) {
    FakeList list;
    Make(list);
    list.SetSelection(2, true);
    clock_.tick += 10000;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, QStringLiteral("q"));
    QApplication::sendEvent(&list, &key);
    EXPECT_FALSE(key.isAccepted());
    EXPECT_EQ(list.GetFirstSelectedItem(), 2);
}

TEST_F(OwnerListTest, TheSearchTextIsSharedByEveryList) {
    FakeList first;
    FakeList second;
    Make(first);
    Make(second);
    clock_.tick += 10000;
    Type(first, QStringLiteral("a"));
    Type(second, QStringLiteral("lpi"));
    EXPECT_EQ(second.GetFirstSelectedItem(), 1);  // "alpine", not a row starting "lpi"
}

TEST_F(OwnerListTest, ColumnsByIdAndByX) {
    FakeList list;
    Make(list);
    EXPECT_EQ(list.GetColumnId(0), 7);
    EXPECT_EQ(list.GetColumnId(2), 5);
    EXPECT_EQ(list.GetColumnId(3), kNoColumnId);
    struct Case {
        const char* name;
        int scroll;
        int x;
        std::uint16_t id;
    };
    const std::vector<Case> cases = {
        {"inside the first", 0, 10, 7},
        {"the first's last pixel", 0, 199, 7},
        {"on the edge", 0, 200, 3},
        {"scrolled sideways by 100", 100, 150, 3},
        {"scrolled, at the left", 100, 10, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list.horizontalScrollBar()->setValue(c.scroll);
        EXPECT_EQ(list.GetColumnAtX(c.x), c.id);
    }
    list.horizontalScrollBar()->setValue(0);
    list.header()->resizeSection(0, 100);
    list.header()->resizeSection(1, 60);
    list.header()->resizeSection(2, 20);
    EXPECT_EQ(list.GetColumnAtX(179), 5);
    EXPECT_EQ(list.GetColumnAtX(250), kNoColumnId);  // right of the last column
    list.DeleteAllColumns();
    EXPECT_EQ(list.GetColumnAtX(10), kNoColumnId);
}

TEST_F(OwnerListTest, CellsAreDrawnByIdInTheOrderOfTheColumns) {
    FakeList list;
    Make(list);
    list.drawn.clear();
    (void)list.grab();
    EXPECT_EQ(list.drawn, (std::vector<std::pair<std::uint16_t, int>>{{7, 0}, {3, 200}, {5, 320}}));

    // The owner puts the columns in again in another order.
    list.DeleteAllColumns();
    list.InsertColumnWithId(0, 5, QStringLiteral("Five"), 60);
    list.InsertColumnWithId(1, 7, QStringLiteral("Seven"), 90);
    list.InsertColumnWithId(1, 9, QStringLiteral("Nine"), 40);
    list.drawn.clear();
    (void)list.grab();
    EXPECT_EQ(list.drawn, (std::vector<std::pair<std::uint16_t, int>>{{5, 0}, {9, 60}, {7, 100}}));
    EXPECT_FALSE(list.header()->sectionsMovable());

    // Scrolled sideways, the cells move with the header.
    list.header()->resizeSection(2, 600);
    QApplication::processEvents();
    list.horizontalScrollBar()->setValue(30);
    list.drawn.clear();
    (void)list.grab();
    ASSERT_EQ(list.drawn.size(), 3u);
    EXPECT_EQ(list.drawn[0].second, -30);
}

TEST_F(OwnerListTest, EnsureVisibleBringsARowInWithAPageBelowIt) {
    FakeList list;
    Make(list);
    const int page = list.GetRowsPerPage();
    ASSERT_GT(page, 3);
    struct Case {
        const char* name;
        int top;
        int row;
        int newTop;
    };
    const std::vector<Case> cases = {
        {"inside the page", 0, page - 1, 0},
        {"just below the page", 0, page, page},
        {"above the top", 20, 5, 5},
        {"near the end", 0, 48, 50 - page},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list.SetTopIndex(c.top);
        list.EnsureVisible(c.row);
        EXPECT_EQ(list.GetTopIndex(), c.newTop);
    }
}

TEST_F(OwnerListTest, ArrowsWithNothingSelectedTurnPages) {
    FakeList list;
    Make(list);
    const int page = list.GetRowsPerPage();
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.GetTopIndex(), page);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.GetTopIndex(), 0);
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(list.GetFirstSelectedItem(), -1);

    FakeList small;
    Make(small, 4);
    QTest::keyClick(&small, Qt::Key_Down);
    EXPECT_EQ(small.GetTopIndex(), 0);
    EXPECT_EQ(small.GetFirstSelectedItem(), -1);
}

TEST_F(OwnerListTest, ADoubleClickBelowTheRowsDoesNothing) {
    FakeList list;
    Make(list, 4);
    QSignalSpy parentSees(&list, &QAbstractItemView::doubleClicked);
    const QPoint below(50, list.GetRowHeightPixels() * 6);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, below);
    EXPECT_TRUE(list.doubleClicked.empty());
    EXPECT_EQ(parentSees.count(), 0);

    const QPoint second(50, list.GetRowHeightPixels() + 3);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(list.doubleClicked, std::vector<int>{1});
    EXPECT_EQ(parentSees.count(), 1);
}

TEST_F(OwnerListTest, TheSelectionOutlivesACountChangeAtTheEnd) {
    FakeList list;
    Make(list, 10);
    list.SetSelection(2, true);
    list.SetItemCount(60);
    EXPECT_EQ(list.GetFirstSelectedItem(), 2);
    list.SetItemCount(2);
    EXPECT_EQ(list.GetFirstSelectedItem(), -1);
    list.SetItemCount(10);
    list.SelectAll(true);
    EXPECT_EQ(list.selectionModel()->selectedRows().size(), 10);
    list.SelectAll(false);
    EXPECT_EQ(list.GetFirstSelectedItem(), -1);
    for (const auto& [row, selected] : list.selections)
        EXPECT_GE(row, 0);
    EXPECT_FALSE(list.selections.empty());

    list.SetSelection(4, true);
    list.SetSelection(6, false);
    EXPECT_EQ(list.selectionModel()->selectedRows().size(), 2);
    EXPECT_EQ(list.currentIndex().row(), 6);
    list.SetSelection(-1, true);
    EXPECT_EQ(list.GetFirstSelectedItem(), -1);
}

TEST_F(OwnerListTest, ANewFontAsksForTheRowHeightAgain) {
    FakeList list;
    Make(list);
    const int before = list.visualRect(list.Model().index(1, 0)).height();
    QFont big = TestFont();
    big.setPixelSize(20);
    list.setFont(big);
    QApplication::processEvents();
    const int after = list.visualRect(list.Model().index(1, 0)).height();
    EXPECT_GT(after, before);
    EXPECT_EQ(after, list.GetRowHeightPixels());
}

TEST_F(OwnerListTest, FitColumnsToWidthSpreadsTheDifference) {
    FakeList list;
    Make(list);
    list.header()->setMinimumSectionSize(24);
    const int client = list.GetClientWidth();
    list.FitColumnsToWidth();
    const int share = (client - 470) / 3;
    EXPECT_EQ(list.header()->sectionSize(0), 200 + share);
    EXPECT_EQ(list.header()->sectionSize(1), 120 + share);
    EXPECT_EQ(list.header()->sectionSize(2), 150 + share);
}

TEST_F(OwnerListTest, RowsAlternateAndTheSelectionIsHighlighted) {
    FakeList list;
    Make(list);
    const QColor even(254, 243, 237);
    list.SetEvenRowColor(even);
    list.SetSelection(3, true);
    const QImage image = list.viewport()->grab().toImage();
    const int h = list.GetRowHeightPixels();
    const auto at = [&](int row) { return image.pixelColor(100, row * h + h / 2); };
    EXPECT_EQ(at(0), even);
    EXPECT_EQ(at(1), list.palette().color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(at(2), even);
    EXPECT_EQ(at(3), list.palette().color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(at(4), even);
    EXPECT_EQ(list.GetRowHeightPixels(), QFontMetrics(TestFont()).height() +
                                             std::max(0, QFontMetrics(TestFont()).leading()) + 4);
}

}  // namespace
}  // namespace tallowmere::ui
