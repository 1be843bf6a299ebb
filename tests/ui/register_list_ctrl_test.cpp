// The main view's list over a real data set: rows by mode and filter, the
// cells as painted (red negatives, the colour given back on a selected row,
// the row colours and the flat header), columns by id after the page's set
// changes order, the status-cell click also when scrolled sideways, the
// double-click and the pop-up going to the right places, a stale report
// count, and column widths fitted to their texts.
#include "ui/register_list_ctrl.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <vector>

#include "model/preferences.h"
#include "model/report.h"
#include "platform/text_1252.h"
#include "ui/color_ref.h"
#include "ui/icon_painter.h"
#include "ui/ledger_fixture.h"
#include "ui/list_test_support.h"
#include "ui/owner_header_ctrl.h"
#include "ui/owner_list_model.h"
#include "ui/report_detail_ctrl.h"

namespace tallowmere::ui {
namespace {

using test::CountPixels;
using test::Dark;
using test::Reddish;

class FakeView final : public CTransactionListCtrl::MOwnerView {
  public:
    bool ToggleTransactionStatus(int mode, CTransaction& t) override {
        toggles.emplace_back(mode, &t);
        return answer;
    }
    void ShowRegisterPopupMenu(const QPoint& at) override { menus.push_back(at); }
    void OnSetBudgetAmount() override { ++budgetEdits; }

    bool answer = true;
    std::vector<std::pair<int, CTransaction*>> toggles;
    std::vector<QPoint> menus;
    int budgetEdits = 0;
};

class RegisterListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::InstallFixedDateFormat();
        list_.Create(QRect(0, 0, 900, 420), nullptr, 5003);
        list_.setFont(test::ListTestFont());
        list_.SetOwnerView(&view_);
        list_.SetIconPainter(&icons_);
        list_.SetDataSet(f_.data.get());
        ShowRegister(*f_.checking, 0);
        list_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list_));
    }
    void TearDown() override { SetDateFormatter(nullptr); }

    // As the view shows the register page.
    void ShowRegister(CAccount& account, int filter) {
        list_.SetMode(CTransactionListCtrl::kModeRegister);
        list_.SetAccount(&account);
        list_.SetFilter(filter);
        list_.SetPageColumns(ListPage::kRegister, CShowColumns(kRegisterColumns), 0);
        list_.SetSort(static_cast<std::uint16_t>(account.GetSortMode()),
                      account.GetSortAscending() ? 1 : 0);
        list_.SetEvenRowColor(FromColorRef(account.GetColor()));
        list_.ResetItemCount();
    }

    void ShowReport(CReport& report, int mode, ListPage page, std::uint32_t rowColor) {
        list_.SetMode(mode);
        list_.SetReport(&report);
        const auto defaults = DefaultPageColumns(page);
        list_.SetPageColumns(page, CShowColumns(defaults), kGroupByCategory);
        list_.SetSort(21, 1);
        list_.SetEvenRowColor(FromColorRef(rowColor));
        list_.ResetItemCount();
    }

    std::unique_ptr<CReport> ComputedReport(bool budget) {
        auto report = std::make_unique<CReport>(*f_.data);
        report->SetBudgetMode(budget ? 1 : 0);
        report->SetGroupBy(kReportByCategory);
        report->SetPeriodKind(kReportCustomRange);
        report->SetRange(test::FixtureDay(2024, 1, 1), test::FixtureDay(2024, 12, 31));
        EXPECT_EQ(report->Compute(), 0);
        return report;
    }

    int RowOf(const RecordId& id) const { return list_.FindTransactionRow(id); }

    QRect Cell(int row, std::uint16_t columnId) const {
        const int section = list_.Model().SectionOfId(columnId);
        return list_.visualRect(list_.Model().index(row, section));
    }

    QImage Picture() const { return list_.viewport()->grab().toImage(); }

    void Click(int row, int x) {
        const QRect r = list_.visualRect(list_.Model().index(row, 0));
        QTest::mouseClick(list_.viewport(), Qt::LeftButton, {}, QPoint(x, r.center().y()));
    }

    test::LedgerFixture f_ = test::BuildLedgerFixture();
    FakeView view_;
    IconPainter icons_;
    CRegisterListCtrl list_{nullptr};
};

TEST_F(RegisterListTest, RowsComeFromTheAccountUnderTheFilterOrTheReconcileFilter) {
    const CAccount& checking = *f_.checking;
    struct Case {
        int mode;
        int filter;
        int accountFilter;
    };
    const std::vector<Case> cases = {
        {CTransactionListCtrl::kModeRegister, 0, 0},  {CTransactionListCtrl::kModeRegister, 3, 3},
        {CTransactionListCtrl::kModeRegister, 5, 5},  {CTransactionListCtrl::kModeReconcile, 0, 2},
        {CTransactionListCtrl::kModeReconcile, 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " filter " << c.filter);
        list_.SetMode(c.mode);
        list_.SetAccount(f_.checking);
        list_.SetFilter(c.filter);
        // Until the rows are counted again, none is drawn.
        EXPECT_EQ(list_.GetItemObject(0), nullptr);
        list_.ResetItemCount();
        ASSERT_EQ(list_.GetItemCount(), checking.CountTransactions(c.accountFilter));
        for (int n = 0; n < list_.GetItemCount(); ++n)
            ASSERT_EQ(list_.GetTransactionAt(n), checking.GetTransactionAt(c.accountFilter, n));
        EXPECT_EQ(list_.GetItemObject(list_.GetItemCount()), nullptr);
    }
    EXPECT_EQ(RowOf(f_.memoId), checking.IndexOfTransactionId(2, f_.memoId));
    list_.SetAccount(nullptr);
    list_.ResetItemCount();
    EXPECT_EQ(list_.GetItemCount(), 0);
}

TEST_F(RegisterListTest, NegativeAmountsAreRedAndTheRowsColourStaysForTheRest) {
    const int memo = RowOf(f_.memoId);  // -31.50, balance positive
    const int salary = RowOf([&] {      // a deposit
        for (const auto& t : f_.checking->Transactions())
            if (t->GetAmount() == 185000)
                return t->GetId();
        return RecordId();
    }());
    ASSERT_GE(memo, 0);
    ASSERT_GE(salary, 0);
    list_.EnsureVisible(memo);
    list_.SetSelection(memo, true);
    list_.EnsureVisible(salary);
    QImage image = Picture();
    if (!Cell(memo, 8).intersects(image.rect())) {
        list_.EnsureVisible(memo);
        image = Picture();
    }
    const QRect amount = Cell(memo, 8);
    const QRect balance = Cell(memo, 9);
    const QRect payee = Cell(memo, 4);
    ASSERT_TRUE(image.rect().contains(amount));
    EXPECT_GT(CountPixels(image, amount, Reddish), 10);
    // The balance after the red amount is in the highlight's text colour,
    // not black, and the payee too.
    EXPECT_EQ(CountPixels(image, balance, Dark), 0);
    EXPECT_EQ(CountPixels(image, balance, Reddish), 0);
    EXPECT_EQ(CountPixels(image, payee, Dark), 0);
    const QColor highlight = list_.palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(image.pixelColor(balance.left() + 2, balance.top() + 1), highlight);

    list_.SetSelection(-1, true);
    list_.EnsureVisible(salary);
    image = Picture();
    EXPECT_EQ(CountPixels(image, Cell(salary, 8), Reddish), 0);
    EXPECT_GT(CountPixels(image, Cell(salary, 8), Dark), 10);
    // Even rows take the account's colour, odd ones the window's.
    const int top = list_.GetTopIndex();
    const auto fill = [&](int row) {
        const QRect r = Cell(row, 1);
        return image.pixelColor(r.left(), r.top());
    };
    const QColor account = FromColorRef(f_.checking->GetColor());
    EXPECT_EQ(fill(top % 2 == 0 ? top : top + 1), account);
    EXPECT_EQ(fill(top % 2 == 0 ? top + 1 : top), list_.palette().color(QPalette::Base));
    test::SaveRender(list_, QStringLiteral("register"));
}

TEST_F(RegisterListTest, TheHeaderIsFlatWithTheSortArrow) {
    QHeaderView& header = *list_.header();
    const QImage image = header.grab().toImage();
    const int payee = list_.Model().SectionOfId(4);
    const int x = header.sectionViewportPosition(payee) + header.sectionSize(payee) - 20;
    EXPECT_EQ(image.pixelColor(x, 3), QColor(249, 250, 250));
    const int bottom = header.height() - 1;
    EXPECT_EQ(image.pixelColor(x, bottom), QColor(189, 190, 206));
    EXPECT_EQ(image.pixelColor(x, bottom - 1), QColor(209, 210, 222));
    EXPECT_EQ(image.pixelColor(x, bottom - 2), QColor(230, 231, 239));
    const int right = header.sectionViewportPosition(payee) + header.sectionSize(payee) - 1;
    EXPECT_EQ(image.pixelColor(right, header.height() / 2), QColor(181, 182, 200));
    // The sort arrow sits in the last 16 pixels of the date column only.
    const auto arrow = [&](std::uint16_t id) {
        const int s = list_.Model().SectionOfId(id);
        const int end = header.sectionViewportPosition(s) + header.sectionSize(s);
        return CountPixels(image, QRect(end - 16, 3, 14, header.height() - 7),
                           [](const QColor& c) { return c != QColor(249, 250, 250); });
    };
    EXPECT_GT(arrow(2), 5);
    EXPECT_EQ(arrow(4), 0);
    EXPECT_TRUE(list_.GetHeaderCtrl() != nullptr);
    EXPECT_EQ(list_.GetHeaderCtrl()->GetSortColumn(), 2);

    // A section with an image shows it centred in place of a title.
    const int status = list_.Model().SectionOfId(0);
    list_.SetColumnImage(status, kStatusImageReconciled);
    const QImage withImage = header.grab().toImage();
    const QRect section(header.sectionViewportPosition(status), 0, header.sectionSize(status),
                        header.height());
    const QPoint centre = section.center();
    EXPECT_GT(CountPixels(withImage, QRect(centre.x() - 4, centre.y() - 4, 8, 8),
                          [](const QColor& c) { return c != QColor(249, 250, 250); }),
              10);
}

TEST_F(RegisterListTest, ColumnsFollowTheSetByIdWhateverTheirOrder) {
    // A stored set in another order, with a foreign id, a repeat and a
    // hidden column.
    const std::vector<ShowColumnEntry> stored = {{8, 85, 1, 0},  {4, kColumnWidthRest, 1, 0},
                                                 {21, 50, 1, 0}, {2, 70, 1, 0},
                                                 {4, 90, 1, 0},  {7, 100, 0, 0},
                                                 {0, 26, 1, 0}};
    const std::vector<PageColumn> inserted =
        list_.SetPageColumns(ListPage::kRegister, CShowColumns(stored), 0);
    ASSERT_EQ(list_.GetColumnCount(), 4);
    std::vector<std::uint16_t> ids;
    std::vector<QString> titles;
    for (int s = 0; s < list_.GetColumnCount(); ++s) {
        ids.push_back(list_.GetColumnId(s));
        titles.push_back(list_.Model().headerData(s, Qt::Horizontal, Qt::DisplayRole).toString());
    }
    EXPECT_EQ(ids, (std::vector<std::uint16_t>{8, 4, 2, 0}));
    // Only the set orders the columns: the user cannot drag them.
    EXPECT_FALSE(list_.header()->sectionsMovable());
    EXPECT_EQ(titles, (std::vector<QString>{"Amount", "Payee", "Date", ""}));
    const int scrollBar = list_.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    EXPECT_EQ(inserted[1].width, list_.GetClientWidth() - scrollBar - 85 - 70 - 26);
    EXPECT_EQ(list_.header()->sectionSize(1), inserted[1].width);

    // Each cell is still drawn by its id: the amount, now first, is red on
    // a negative row, and the payee's x finds the payee.
    const int memo = RowOf(f_.memoId);
    list_.EnsureVisible(memo);
    const QImage image = Picture();
    const QRect first = list_.visualRect(list_.Model().index(memo, 0));
    EXPECT_GT(CountPixels(image, first, Reddish), 10);
    EXPECT_EQ(list_.GetColumnAtX(first.right() + 5), 4);

    // Nothing visible left: the page's own set.
    list_.SetPageColumns(ListPage::kRegister,
                         CShowColumns(std::vector<ShowColumnEntry>{{22, 9, 1, 0}}), 0);
    EXPECT_EQ(list_.GetColumnCount(), 10);
}

TEST_F(RegisterListTest, AStatusClickTogglesTheTransactionUnderItAlsoWhenScrolledSideways) {
    list_.resize(420, 300);
    QApplication::processEvents();
    ASSERT_GT(list_.horizontalScrollBar()->maximum(), 100);
    const int row = 1;
    CTransaction* t = list_.GetTransactionAt(row);

    // Without a view to ask, a status click is a plain click.
    list_.SetOwnerView(nullptr);
    Click(row + 1, 5);
    EXPECT_EQ(list_.GetFirstSelectedItem(), row + 1);
    list_.SetOwnerView(&view_);

    // Not scrolled: x = 5 is the status cell.
    Click(row, 5);
    ASSERT_EQ(view_.toggles.size(), 1u);
    EXPECT_EQ(view_.toggles[0], std::make_pair(CTransactionListCtrl::kModeRegister, t));
    EXPECT_EQ(list_.GetFirstSelectedItem(), row);
    EXPECT_EQ(list_.selectionModel()->selectedRows().size(), 1);

    // Scrolled by 100 pixels the same x lies in the date column: a plain
    // click that selects, and no status change.
    list_.horizontalScrollBar()->setValue(100);
    Click(row + 2, 5);
    EXPECT_EQ(view_.toggles.size(), 1u);
    EXPECT_EQ(list_.GetFirstSelectedItem(), row + 2);

    // A refused toggle (a reconciled row) is a plain click.
    list_.horizontalScrollBar()->setValue(0);
    view_.answer = false;
    Click(row + 4, 5);
    EXPECT_EQ(view_.toggles.size(), 2u);
    EXPECT_EQ(list_.GetFirstSelectedItem(), row + 4);

    // Reconciling: the same click flips the mark, as mode 3.
    view_.answer = true;
    list_.SetMode(CTransactionListCtrl::kModeReconcile);
    list_.ResetItemCount();
    Click(0, 5);
    ASSERT_EQ(view_.toggles.size(), 3u);
    EXPECT_EQ(view_.toggles[2].first, CTransactionListCtrl::kModeReconcile);
    EXPECT_EQ(view_.toggles[2].second, list_.GetTransactionAt(0));
}

TEST_F(RegisterListTest, AStatusClickBelowTheRowsDoesNothing) {
    ShowRegister(*f_.visa, 0);
    ASSERT_LT(list_.GetItemCount() * list_.GetRowHeightPixels(), list_.viewport()->height() - 40);
    QTest::mouseClick(list_.viewport(), Qt::LeftButton, {},
                      QPoint(5, list_.viewport()->height() - 10));
    EXPECT_TRUE(view_.toggles.empty());
    EXPECT_EQ(list_.GetFirstSelectedItem(), -1);
}

TEST_F(RegisterListTest, TheReportDetailListNeverTogglesAStatus) {
    const auto report = ComputedReport(false);
    const CReportItem* row = nullptr;
    for (std::size_t i = 0; i < report->GetItemCount(); ++i) {
        if (report->GetItem(i)->GetId() == test::kGroceriesId)
            row = report->GetItem(i);
    }
    ASSERT_NE(row, nullptr);
    ASSERT_FALSE(row->GetTransactions().empty());
    CReportDetailCtrl detail(f_.data.get());
    detail.Create(QRect(0, 0, 500, 200), nullptr, 1065);
    detail.SetOwnerView(&view_);
    detail.InsertColumnWithId(0, 0, QString(), 25);
    detail.InsertColumnWithId(1, 2, QStringLiteral("Date"), 75);
    detail.InsertColumnWithId(2, 8, QStringLiteral("Amount"), 85);
    detail.SetDetail(report.get(), &row->GetTransactions(),
                     {kReportByCategory, false, row->GetId()});
    detail.ResetItemCount();
    detail.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&detail));
    ASSERT_GT(detail.GetItemCount(), 0);
    const QRect first = detail.visualRect(detail.Model().index(0, 0));
    QTest::mouseClick(detail.viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseClick(detail.viewport(), Qt::RightButton, {}, first.center());
    QContextMenuEvent menu(QContextMenuEvent::Mouse, first.center(),
                           detail.viewport()->mapToGlobal(first.center()));
    QApplication::sendEvent(detail.viewport(), &menu);
    EXPECT_TRUE(view_.toggles.empty());
    EXPECT_TRUE(view_.menus.empty());
    EXPECT_EQ(detail.GetItemObject(detail.GetItemCount()), nullptr);
}

TEST_F(RegisterListTest, ADoubleClickIsOneActionAndThePopUpGoesToTheView) {
    QSignalSpy parentSees(&list_, &QAbstractItemView::doubleClicked);
    const QRect payee = Cell(2, 4);
    QTest::mouseClick(list_.viewport(), Qt::LeftButton, {}, payee.center());
    QTest::mouseDClick(list_.viewport(), Qt::LeftButton, {}, payee.center());
    EXPECT_EQ(parentSees.count(), 1);
    view_.answer = false;
    QTest::mouseDClick(list_.viewport(), Qt::LeftButton, {}, Cell(2, 0).center());
    EXPECT_EQ(parentSees.count(), 1);

    QContextMenuEvent menu(QContextMenuEvent::Mouse, payee.center(),
                           list_.viewport()->mapToGlobal(payee.center()));
    QApplication::sendEvent(list_.viewport(), &menu);
    ASSERT_EQ(view_.menus.size(), 1u);
    EXPECT_EQ(view_.menus[0], list_.viewport()->mapToGlobal(payee.center()));

    // On the budgets page a double-click on a name or budget edits the budget.
    const auto report = ComputedReport(true);
    ShowReport(*report, CTransactionListCtrl::kModeBudget, ListPage::kBudgets, 0xD3F5FE);
    ASSERT_GT(list_.GetItemCount(), 1);
    for (const std::uint16_t id : {21, 22}) {
        const QRect cell = Cell(1, id);
        QTest::mouseClick(list_.viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list_.viewport(), Qt::LeftButton, {}, cell.center());
    }
    EXPECT_EQ(view_.budgetEdits, 2);
    EXPECT_EQ(parentSees.count(), 1);
    QTest::mouseClick(list_.viewport(), Qt::LeftButton, {}, Cell(1, 23).center());
    QTest::mouseDClick(list_.viewport(), Qt::LeftButton, {}, Cell(1, 23).center());
    EXPECT_EQ(view_.budgetEdits, 2);
    EXPECT_EQ(parentSees.count(), 2);
}

TEST_F(RegisterListTest, AStaleReportCountDrawsNothingPastTheRows) {
    const auto report = ComputedReport(false);
    ShowReport(*report, CTransactionListCtrl::kModeReport, ListPage::kReports, 0xD3F5FE);
    const int rows = list_.GetItemCount();
    ASSERT_EQ(rows, static_cast<int>(report->GetItemCount()));
    EXPECT_EQ(list_.GetReportRowAt(0), report->GetItem(0));
    // A recompute that found fewer rows, before the count was reset.
    list_.SetItemCount(rows + 5);
    EXPECT_EQ(list_.GetItemObject(rows + 2), nullptr);
    const QImage image = Picture();
    const QRect past = Cell(rows + 2, 23);
    EXPECT_EQ(CountPixels(image, past, Dark), 0);
    EXPECT_EQ(list_.GetTransactionAt(0), nullptr);
}

TEST_F(RegisterListTest, ColumnWidthsFitTheirTexts) {
    const QFontMetrics metrics(test::ListTestFont());
    EXPECT_EQ(list_.CalcColumnWidth(3), metrics.horizontalAdvance(QStringLiteral("XXXXXX")) + 8);
    EXPECT_EQ(list_.CalcColumnWidth(0), 24);
    EXPECT_EQ(list_.CalcColumnWidth(1), 24);
    int widest = 0;
    for (int n = 0; n < list_.GetItemCount(); ++n)
        widest = std::max(widest,
                          metrics.horizontalAdvance(QString::fromStdString(
                              platform::Cp1252ToUtf8(list_.GetTransactionAt(n)->GetPayeeName()))));
    EXPECT_EQ(list_.CalcColumnWidth(4), widest + 8);
    // A column of empty texts still keeps the 24-pixel minimum.
    ShowRegister(*f_.visa, 0);
    EXPECT_EQ(list_.CalcColumnWidth(6), 24);

    // The divider's double-click fits the column.
    ShowRegister(*f_.checking, 0);
    const int type = list_.Model().SectionOfId(3);
    emit list_.header()->sectionHandleDoubleClicked(type);
    EXPECT_EQ(list_.header()->sectionSize(type), list_.CalcColumnWidth(3));
}

TEST_F(RegisterListTest, TypingSelectsNothingInTheRegister) {
    QTest::keyClicks(&list_, QStringLiteral("ci"));
    EXPECT_EQ(list_.GetFirstSelectedItem(), -1);
}

// Pictures of the four pages for a person to look at.
TEST_F(RegisterListTest, PicturesOfThePages) {
    list_.SetTopIndex(30);
    list_.SetSelection(33, true);
    test::SaveRender(list_, QStringLiteral("register-page"));

    list_.SetMode(CTransactionListCtrl::kModeReconcile);
    list_.SetPageColumns(ListPage::kReconcile, CShowColumns(kReconcileColumns), 0);
    list_.SetEvenRowColor(FromColorRef(0xEEFFEC));
    list_.ResetItemCount();
    list_.SetSelection(-1, true);
    test::SaveRender(list_, QStringLiteral("reconcile-page"));

    const auto report = ComputedReport(false);
    ShowReport(*report, CTransactionListCtrl::kModeReport, ListPage::kReports, 0xD3F5FE);
    test::SaveRender(list_, QStringLiteral("reports-page"));

    const auto budget = ComputedReport(true);
    ShowReport(*budget, CTransactionListCtrl::kModeBudget, ListPage::kBudgets, 0xD3F5FE);
    test::SaveRender(list_, QStringLiteral("budgets-page"));
    EXPECT_GT(list_.GetItemCount(), 0);
}

}  // namespace
}  // namespace tallowmere::ui
