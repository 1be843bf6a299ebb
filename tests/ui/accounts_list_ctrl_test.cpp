// The accounts pane: one row per account with icon, name and balance; a
// negative balance red also on the highlight, the name in the row's text
// colour; no alternating colours; typing selects nothing; icons from the
// database drawn only when it has them.
#include "ui/accounts_list_ctrl.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHeaderView>

#include <QPainter>
#include <QTest>

#include "ui/icon_painter.h"
#include "ui/ledger_fixture.h"
#include "ui/list_test_support.h"
#include "ui/owner_list_model.h"

namespace tallowmere::ui {
namespace {

using test::CountPixels;
using test::Dark;
using test::Reddish;

const QColor kDatabaseIconColour(200, 0, 200);

bool DatabaseInk(const QColor& c) {
    return c == kDatabaseIconColour;
}

class AccountsListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pane_.Create(QRect(0, 0, 250, 300), nullptr, 5002);
        pane_.setFont(test::ListTestFont());
        pane_.InsertColumnWithId(0, 0, QString(), pane_.GetClientWidth());
        pane_.SetIconPainter(&icons_);
        pane_.ResetItemCount();
        pane_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane_));
    }

    int RowOf(const CAccount* account) const { return f_.data->IndexOfAccount(account); }
    QRect Row(int row) const { return pane_.visualRect(pane_.Model().index(row, 0)); }
    // The name's part and the balance's part of a row.
    QRect NamePart(int row) const { return Row(row).adjusted(24, 0, -120, 0); }
    QRect BalancePart(int row) const {
        const QRect r = Row(row);
        return QRect(r.right() - 100, r.top(), 100, r.height());
    }
    QImage Picture() const { return pane_.viewport()->grab().toImage(); }

    test::LedgerFixture f_ = test::BuildLedgerFixture();
    IconPainter icons_;
    CAccountsListCtrl pane_{f_.data.get()};
};

// Laid out while hidden, as the program does before its window shows: the
// column still ends up as wide as the pane once it is shown and resized.
TEST(AccountsListWidth, TheColumnFollowsThePaneAfterItShows) {
    test::LedgerFixture f = test::BuildLedgerFixture();
    CAccountsListCtrl pane(f.data.get());
    pane.Create(QRect(0, 0, 100, 300), nullptr, 5002);
    pane.InsertColumnWithId(0, 0, QString(), pane.GetClientWidth());
    pane.ResetItemCount();
    pane.setGeometry(0, 0, 260, 300);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    EXPECT_EQ(pane.header()->sectionSize(0), pane.viewport()->width());
    pane.resize(320, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(pane.header()->sectionSize(0), pane.viewport()->width());
}

TEST_F(AccountsListTest, OneRowPerAccountWithItsBalance) {
    ASSERT_EQ(pane_.GetItemCount(), 3);
    EXPECT_EQ(pane_.GetItemObject(RowOf(f_.visa)), f_.visa);
    EXPECT_EQ(pane_.GetItemObject(3), nullptr);
    ASSERT_LT(f_.visa->GetBalance(0), 0);
    const QImage image = Picture();
    const int visa = RowOf(f_.visa);
    const int checking = RowOf(f_.checking);
    EXPECT_GT(CountPixels(image, BalancePart(visa), Reddish), 10);
    EXPECT_EQ(CountPixels(image, NamePart(visa), Reddish), 0);
    EXPECT_GT(CountPixels(image, NamePart(visa), Dark), 10);
    EXPECT_EQ(CountPixels(image, BalancePart(checking), Reddish), 0);
    EXPECT_GT(CountPixels(image, BalancePart(checking), Dark), 10);
    // Both row colours are white.
    EXPECT_EQ(image.pixelColor(Row(0).right() - 110, Row(0).top() + 1), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(Row(1).right() - 110, Row(1).top() + 1), QColor(Qt::white));
    const QFontMetrics metrics(test::ListTestFont());
    const int fontHeight = metrics.height() + std::max(0, metrics.leading());
    EXPECT_EQ(pane_.GetRowHeightPixels(), static_cast<int>((fontHeight + 4) * 1.5));
    // An icon in the square at the left.
    EXPECT_GT(CountPixels(image, QRect(0, Row(0).top() + 2, 24, Row(0).height() - 4),
                          [](const QColor& c) { return c != QColor(Qt::white); }),
              20);
}

TEST_F(AccountsListTest, PaintingChangesNoAccount) {
    for (std::size_t i = 0; i < f_.data->GetAccountCount(); ++i)
        f_.data->GetAccountAt(i)->ClearChangeFlags();
    (void)Picture();
    for (std::size_t i = 0; i < f_.data->GetAccountCount(); ++i) {
        EXPECT_EQ(f_.data->GetAccountAt(i)->Header().GetChangeFlags(), 0u) << i;
        EXPECT_FALSE(f_.data->GetAccountAt(i)->IsModified()) << i;
    }
}

TEST_F(AccountsListTest, TheBalanceKindDecides) {
    // The cleared balance of Checking differs from its balance.
    ASSERT_NE(f_.checking->GetBalance(0), f_.checking->GetBalance(1));
    pane_.SetBalanceKind(1);
    const QImage cleared = Picture();
    pane_.SetBalanceKind(0);
    const QImage balance = Picture();
    const QRect part = BalancePart(RowOf(f_.checking));
    EXPECT_NE(cleared.copy(part), balance.copy(part));
}

TEST_F(AccountsListTest, ASelectedRowIsHighlightedAndANegativeBalanceStaysRed) {
    const int visa = RowOf(f_.visa);
    pane_.SetSelection(visa, true);
    const QImage image = Picture();
    const QColor highlight = pane_.palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(image.pixelColor(Row(visa).right() - 110, Row(visa).top() + 1), highlight);
    EXPECT_GT(CountPixels(image, BalancePart(visa), Reddish), 10);
    EXPECT_EQ(CountPixels(image, NamePart(visa), Dark), 0);
    test::SaveRender(pane_, QStringLiteral("accounts-pane"));
}

TEST_F(AccountsListTest, TypingSelectsNothing) {
    QTest::keyClicks(&pane_, QStringLiteral("vi"));
    EXPECT_EQ(pane_.GetFirstSelectedItem(), -1);
}

TEST_F(AccountsListTest, DatabaseIconsAreDrawnWhenTheDatabaseHasThem) {
    f_.savings->Header().SetIconIndex(256 + 7);
    const int savings = RowOf(f_.savings);
    const QRect square(0, Row(savings).top() + 2, 24, Row(savings).height() - 4);
    EXPECT_EQ(CountPixels(Picture(), square, DatabaseInk), 0);

    std::vector<int> asked;
    icons_.SetDatabaseDrawer([&](QPainter& painter, const QRect& rect, int id) {
        asked.push_back(id);
        if (id != 7)
            return false;
        painter.fillRect(rect.adjusted(4, 2, -4, -2), kDatabaseIconColour);
        return true;
    });
    pane_.viewport()->update();
    EXPECT_GT(CountPixels(Picture(), square, DatabaseInk), 20);
    EXPECT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), 7);

    f_.savings->Header().SetIconIndex(256 + 8);  // not in the database
    pane_.viewport()->update();
    EXPECT_EQ(CountPixels(Picture(), square, DatabaseInk), 0);
    f_.savings->Header().SetIconIndex(100);  // 65-255 name nothing
    pane_.viewport()->update();
    EXPECT_EQ(
        CountPixels(Picture(), square, [](const QColor& c) { return c != QColor(Qt::white); }), 0);
}

}  // namespace
}  // namespace tallowmere::ui
