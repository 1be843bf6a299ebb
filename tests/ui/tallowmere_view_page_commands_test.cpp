// The commands of the Reports, Budgets and Reconcile pages through the
// command router over a real data folder: a row's details from each way
// in, the chart's slices, an edit inside the details, a row's budget, the
// header sort, mark and unmark all, Done with each answer, Upcoming
// Transactions, and nothing at all while another program holds the busy
// lock. What the commands write is read back with the core's loader.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "model/accounts.h"
#include "model/category.h"
#include "model/chart.h"
#include "model/preferences.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/named_mutex.h"
#include "platform/text_1252.h"
#include "sync/sync_server.h"
#include "ui/logic/budget_amount_logic.h"
#include "ui/logic/command_router.h"
#include "ui/logic/report_details_logic.h"
#include "ui/logic/statement_details_logic.h"
#include "ui/logic/transaction_dialog_logic.h"
#include "ui/register_list_ctrl.h"
#include "ui/report_detail_ctrl.h"
#include "ui/view_fixture.h"

namespace tallowmere::ui {
namespace {

// Mid-2024, where the fixture's entries are.
class MidYearClock final : public platform::Clock {
  public:
    platform::LocalTime LocalNow() const override { return {2024, 3, 20, 10, 0, 0}; }
    std::uint32_t TickCount() const override { return 0; }
};

template <typename W>
W* Child(const QObject& parent, int id) {
    return parent.findChild<W*>(QStringLiteral("id_%1").arg(id));
}

// Every file of the folder, by name, as bytes.
std::map<std::string, std::string> FolderBytes(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[entry.path().filename().string()] = bytes.str();
    }
    return files;
}

// Another program holds the busy lock for the object's life.
class BusyElsewhere {
  public:
    BusyElsewhere()
        : thread_([this] {
              platform::NamedMutex mutex(handheld::kDesktopBusyMutexName);
              if (!mutex.Lock(std::chrono::seconds(5)))
                  return;
              held_ = true;
              while (!done_)
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
              mutex.Unlock();
          }) {
        while (!held_)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~BusyElsewhere() {
        done_ = true;
        thread_.join();
    }
    BusyElsewhere(const BusyElsewhere&) = delete;
    BusyElsewhere& operator=(const BusyElsewhere&) = delete;

  private:
    std::atomic<bool> held_{false};
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class ViewPageCommandsTest : public test::ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        platform::SetClock(&clock_);
    }
    void TearDown() override {
        ViewTest::TearDown();
        platform::SetClock(nullptr);
    }

    bool Dispatch(int id) {
        CommandRouter router;
        router.SetView(view_.get());
        return router.Dispatch(id);
    }

    // Reports over 2024 of every account.
    CTallowmereView& Reports(int groupBy, int display) {
        SetPrefLastReportAccount(RecordId{});
        SetPrefLastReportPeriod(8);
        SetPrefLastStartDate(test::FixtureDay(2024, 1, 1));
        SetPrefLastEndDate(test::FixtureDay(2024, 12, 31));
        SetPrefLastReportBy(static_cast<std::uint32_t>(groupBy));
        SetPrefLastReportType(static_cast<std::uint16_t>(display));
        SetPrefLastAmountType(static_cast<std::int16_t>(display), 2);  // expenses
        CTallowmereView& view = view_ ? *view_ : MakeView();
        EXPECT_TRUE(view.SelectPage(1));
        QApplication::processEvents();
        return view;
    }
    // This quarter's budgets by category, the empty rows too.
    CTallowmereView& Budgets() {
        SetPrefLastBudgetBy(1);
        SetPrefLastBudgetPeriod(6);
        SetPrefShowEmptyItems(true);
        CTallowmereView& view = view_ ? *view_ : MakeView();
        EXPECT_TRUE(view.SelectPage(2));
        QApplication::processEvents();
        return view;
    }
    // The Reconcile page of Checking with the statement's two balances.
    CTallowmereView& Reconcile(const QString& opening, const QString& ending) {
        services_.dialogScripts.push_back([opening, ending](QDialog& dialog) {
            Child<QLineEdit>(dialog, kStatementBeginning)->setText(opening);
            Child<QLineEdit>(dialog, kStatementEnding)->setText(ending);
            dialog.accept();
            return dialog.result();
        });
        CTallowmereView& view = view_ ? *view_ : MakeView();
        EXPECT_TRUE(view.SelectPage(3));
        services_.dialogs.clear();
        QApplication::processEvents();
        return view;
    }

    int RowOf(const std::string& label) const {
        const CReport& report = view_->Report();
        for (std::size_t i = 0; i < report.GetItemCount(); ++i) {
            if (report.GetItem(i)->GetLabel() == label)
                return static_cast<int>(i);
        }
        ADD_FAILURE() << "no row " << label;
        return -1;
    }
    void SelectRows(std::initializer_list<int> rows) {
        CRegisterListCtrl& list = *view_->RegisterList();
        list.SetSelection(-1, true);
        for (const int row : rows)
            list.selectionModel()->select(list.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // The centre of a list row's cell in a column.
    QPoint CellPoint(int row, std::uint16_t columnId) const {
        CRegisterListCtrl& list = *view_->RegisterList();
        const QRect r = list.visualRect(list.model()->index(row, 0));
        for (int section = 0; section < list.header()->count(); ++section) {
            if (list.GetColumnId(section) == columnId)
                return QPoint(list.header()->sectionViewportPosition(section) +
                                  list.header()->sectionSize(section) / 2,
                              r.center().y());
        }
        ADD_FAILURE() << "no column " << columnId;
        return {};
    }
    void ClickHeader(std::uint16_t columnId) {
        CRegisterListCtrl& list = *view_->RegisterList();
        for (int section = 0; section < list.header()->count(); ++section) {
            if (list.GetColumnId(section) == columnId) {
                QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, {},
                                  QPoint(list.header()->sectionViewportPosition(section) + 8,
                                         list.header()->height() / 2));
                return;
            }
        }
        ADD_FAILURE() << "no column " << columnId;
    }

    // The details dialog, its heading and row count noted, closed with OK.
    void ExpectDetails(std::string* heading, int* rows = nullptr) {
        services_.dialogScripts.push_back([heading, rows](QDialog& dialog) {
            EXPECT_EQ("id_144", dialog.objectName());
            *heading = Child<QLabel>(dialog, kDetailHeading)->text().toStdString();
            if (rows != nullptr)
                *rows = Child<CReportDetailCtrl>(dialog, kDetailList)->GetItemCount();
            dialog.accept();
            return dialog.result();
        });
    }

    std::unique_ptr<CAccounts> Loaded() const {
        std::unique_ptr<CAccounts> data;
        AccountsLoadFailure failure;
        EXPECT_EQ(0, CAccounts::LoadInto(data, fixture_.folder, {}, &failure)) << failure.path;
        return data;
    }

    MidYearClock clock_;
};

TEST_F(ViewPageCommandsTest, DetailsOpensForTheOneSelectedRowFromEachWayIn) {
    struct Case {
        const char* name;
        int page;
        int command;  // 0: a double-click on the row
    };
    const Case cases[] = {
        {"button on Reports", 1, 5010}, {"pop-up on Reports", 1, 32823},
        {"Edit on Reports", 1, 32771},  {"double-click on Reports", 1, 0},
        {"button on Budgets", 2, 5010}, {"pop-up on Budgets", 2, 32823},
        {"Edit on Budgets", 2, 32771},  {"double-click on Budgets", 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        services_.dialogs.clear();
        if (c.page == 1)
            Reports(1, 0);
        else
            Budgets();
        const int row = RowOf("Dining");
        ASSERT_GE(row, 0);
        const std::size_t expectedRows = view_->Report().GetItem(row)->GetTransactions().size();
        ASSERT_GT(expectedRows, 0u);
        SelectRows({row});
        std::string heading;
        int rows = 0;
        ExpectDetails(&heading, &rows);
        if (c.command != 0) {
            EXPECT_TRUE(Dispatch(c.command));
        } else {
            // A double-click begins with a click.
            const QPoint at = CellPoint(row, kColumnReportAmount);
            QTest::mouseClick(view_->RegisterList()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(view_->RegisterList()->viewport(), Qt::LeftButton, {}, at);
        }
        EXPECT_EQ(std::vector<QString>{"id_144"}, services_.dialogs);
        EXPECT_EQ("Detail for Dining", heading);
        EXPECT_EQ(static_cast<int>(expectedRows), rows);
        EXPECT_TRUE(services_.messages.empty());
        // Computed again afterwards: the rows are the report's.
        EXPECT_EQ(static_cast<int>(view_->Report().GetItemCount()),
                  view_->RegisterList()->GetItemCount());
    }
}

TEST_F(ViewPageCommandsTest, DetailsWithoutExactlyOneRowOrSliceSays192) {
    Reports(1, 0);
    for (const auto& rows : {std::vector<int>{}, std::vector<int>{0, 1}}) {
        SelectRows({});
        for (const int r : rows)
            view_->RegisterList()->selectionModel()->select(
                view_->RegisterList()->model()->index(r, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        services_.messages.clear();
        EXPECT_TRUE(Dispatch(5010));
        ASSERT_EQ(1u, services_.messages.size());
        EXPECT_EQ(192, services_.messages[0].stringId);
    }
    // In chart mode a selected list row does not count: the slice does.
    view_.reset();
    Reports(1, 1);
    SelectRows({0});
    services_.messages.clear();
    EXPECT_TRUE(Dispatch(5010));
    ASSERT_EQ(1u, services_.messages.size());
    EXPECT_EQ(192, services_.messages[0].stringId);
    EXPECT_TRUE(services_.dialogs.empty());
}

TEST_F(ViewPageCommandsTest, AClickSelectsASliceAndADoubleClickOpensItsDetails) {
    CTallowmereView& view = Reports(1, 1);
    view.grab();  // the pie is laid out as it is painted
    const CChart& chart = view.Chart();
    ASSERT_GE(chart.GetCount(), 3);
    const auto sliceAt = [&](int index) {
        const ChartPoint p = chart.GetSliceLabelPoint(*chart.GetSlice(index));
        return QPoint(p.x, p.y);
    };
    QTest::mouseClick(&view, Qt::LeftButton, {}, sliceAt(1));
    EXPECT_EQ(1, chart.GetSelected());
    // Painting again keeps it.
    view.grab();
    EXPECT_EQ(1, chart.GetSelected());
    test::SaveRender(view, QStringLiteral("view-chart-selected"));

    const std::string label1 = platform::Cp1252ToUtf8(std::string(chart.GetSlice(1)->Label()));
    std::string heading;
    ExpectDetails(&heading);
    EXPECT_TRUE(Dispatch(5010));
    EXPECT_EQ("Detail for " + label1, heading);

    view.grab();
    const std::string label0 = platform::Cp1252ToUtf8(std::string(chart.GetSlice(0)->Label()));
    ExpectDetails(&heading);
    QTest::mouseDClick(&view, Qt::LeftButton, {}, sliceAt(0));
    EXPECT_EQ("Detail for " + label0, heading);
    EXPECT_EQ(2u, services_.dialogs.size());

    // Outside the pie nothing is selected.
    view.grab();
    const ViewRect area = view.Layout().list;
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(area.x + 3, area.y + 3));
    EXPECT_EQ(-1, chart.GetSelected());
}

TEST_F(ViewPageCommandsTest, AnEditInTheDetailsWritesTheTransactionsOwnAccount) {
    Reports(1, 0);
    const RecordId visa = view_->Data().FindAccountByName("Visa")->Header().GetId();
    const auto editAirline = [this](bool expectDialog) {
        services_.dialogScripts.push_back([this, expectDialog](QDialog& details) {
            auto* list = Child<CReportDetailCtrl>(details, kDetailList);
            int airline = -1;
            for (int r = 0; r < list->GetItemCount(); ++r) {
                const auto* t = static_cast<const CTransaction*>(list->GetItemObject(r));
                if (t != nullptr && t->GetPayeeName() == "Airline" && airline < 0)
                    airline = r;
            }
            EXPECT_GE(airline, 0);
            list->SetSelection(airline, true);
            if (expectDialog) {
                services_.dialogScripts.push_front([](QDialog& edit) {
                    EXPECT_EQ("id_133", edit.objectName());
                    Child<QLineEdit>(edit, kTransMemo)->setText(QStringLiteral("Seat upgrade"));
                    QTest::mouseClick(Child<QPushButton>(edit, 1), Qt::LeftButton);
                    return edit.result();
                });
            }
            QTest::mouseClick(Child<QPushButton>(details, kDetailEdit), Qt::LeftButton);
            details.accept();
            return details.result();
        });
    };
    const auto airlineMemos = [&] {
        std::vector<std::string> memos;
        const std::unique_ptr<CAccounts> loaded = Loaded();
        for (const auto& t : loaded->FindAccountById(visa)->Transactions()) {
            if (t->GetPayeeName() == "Airline")
                memos.push_back(t->GetMemo());
        }
        return memos;
    };
    SelectRows({RowOf("Dining")});
    {
        // The details show while another program works; the edit waits for
        // the lock and, not getting it, opens nothing.
        const auto before = FolderBytes(fixture_.folder);
        BusyElsewhere busy;
        editAirline(false);
        EXPECT_TRUE(Dispatch(5010));
        EXPECT_EQ(std::vector<QString>{"id_144"}, services_.dialogs);
        EXPECT_EQ(before, FolderBytes(fixture_.folder));
    }
    services_.dialogs.clear();
    SelectRows({RowOf("Dining")});
    editAirline(true);
    EXPECT_TRUE(Dispatch(5010));
    EXPECT_EQ((std::vector<QString>{"id_144", "id_133"}), services_.dialogs);
    const std::vector<std::string> memos = airlineMemos();
    ASSERT_EQ(3u, memos.size());
    EXPECT_EQ(1, std::count(memos.begin(), memos.end(), "Seat upgrade"));
    EXPECT_EQ(0, view_->BusyDepth());
}

TEST_F(ViewPageCommandsTest, SetBudgetAmountStoresTheRowsMonthlyBudget) {
    CTallowmereView& view = Budgets();
    const auto enter = [this](const QString& amount, QString* prompt, QString* opened) {
        services_.dialogScripts.push_back([=](QDialog& dialog) {
            EXPECT_EQ("id_147", dialog.objectName());
            *prompt = Child<QLabel>(dialog, kBudgetPrompt)->text();
            auto* edit = Child<QLineEdit>(dialog, kBudgetAmount);
            *opened = edit->text();
            edit->setText(amount);
            Child<QRadioButton>(dialog, kBudgetDeposit)->setChecked(true);
            dialog.accept();
            return dialog.result();
        });
    };
    QString prompt;
    QString opened;
    SelectRows({RowOf("Groceries")});
    enter(QStringLiteral("250.00"), &prompt, &opened);
    EXPECT_TRUE(Dispatch(5011));
    EXPECT_TRUE(prompt.contains(QStringLiteral("Groceries"))) << prompt.toStdString();
    EXPECT_EQ(QStringLiteral("400.00"), opened);  // a month's, not the quarter's
    EXPECT_EQ(25000, Loaded()->Categories().GetBudgetAmount(test::kGroceriesId));
    // Computed again: the quarter's budget of the row.
    EXPECT_EQ(75000, view.Report().GetItemBudget(*view.Report().GetItem(RowOf("Groceries")), true));

    // The pop-up's item, and a double-click on the budget cell.
    SelectRows({RowOf("Dining")});
    enter(QStringLiteral("60.00"), &prompt, &opened);
    EXPECT_TRUE(Dispatch(32824));
    const int groceries = RowOf("Groceries");
    enter(QStringLiteral("10.00"), &prompt, &opened);
    const QPoint budgetCell = CellPoint(groceries, kColumnReportBudget);
    QTest::mouseClick(view.RegisterList()->viewport(), Qt::LeftButton, {}, budgetCell);
    QTest::mouseDClick(view.RegisterList()->viewport(), Qt::LeftButton, {}, budgetCell);
    const std::unique_ptr<CAccounts> loaded = Loaded();
    EXPECT_EQ(6000, loaded->Categories().GetBudgetAmount(test::kDiningId));
    EXPECT_EQ(1000, loaded->Categories().GetBudgetAmount(test::kGroceriesId));
    EXPECT_EQ(3u, services_.dialogs.size());
    EXPECT_TRUE(services_.messages.empty());

    // No row: 192. A row without a category behind it: nothing at all.
    SelectRows({});
    EXPECT_TRUE(Dispatch(5011));
    ASSERT_EQ(1u, services_.messages.size());
    EXPECT_EQ(192, services_.messages[0].stringId);
    services_.messages.clear();
    const auto before = FolderBytes(fixture_.folder);
    SelectRows({RowOf("<Unassigned>")});
    EXPECT_TRUE(Dispatch(5011));
    EXPECT_TRUE(services_.messages.empty());
    EXPECT_EQ(3u, services_.dialogs.size());
    EXPECT_EQ(before, FolderBytes(fixture_.folder));
    // Not on Reports.
    Reports(1, 0);
    EXPECT_FALSE(Dispatch(5011));
}

TEST_F(ViewPageCommandsTest, AHeaderClickSortsFlipsAndBeepsOnTheIconColumn) {
    CTallowmereView& view = Reports(1, 0);
    const CReport& report = view.Report();
    const auto amounts = [&] {
        std::vector<Cents> a;
        for (std::size_t i = 0; i < report.GetItemCount(); ++i)
            a.push_back(report.GetItem(i)->GetAmount());
        return a;
    };
    ASSERT_GE(report.GetItemCount(), 3u);
    SelectRows({1});
    ClickHeader(kColumnReportAmount);
    std::vector<Cents> sorted = amounts();
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
    EXPECT_EQ(-1, view.RegisterList()->GetFirstSelectedItem());
    EXPECT_EQ(kColumnReportAmount, view.RegisterList()->GetSortColumn());
    ClickHeader(kColumnReportAmount);
    sorted = amounts();
    EXPECT_TRUE(std::is_sorted(sorted.rbegin(), sorted.rend()));
    // The icon column: a beep, the order stays.
    SelectRows({0});
    ClickHeader(20);
    EXPECT_EQ(1, services_.beeps);
    EXPECT_EQ(sorted, amounts());
    EXPECT_EQ(0, view.RegisterList()->GetFirstSelectedItem());
    // Another column sorts ascending.
    ClickHeader(kColumnReportName);
    EXPECT_EQ(kColumnReportName, view.RegisterList()->GetSortColumn());
    EXPECT_EQ(1, services_.beeps);
}

TEST_F(ViewPageCommandsTest, MarkAllAndUnmarkAllAreSaved) {
    CTallowmereView& view = Reconcile(QStringLiteral("0.00"), QStringLiteral("0.00"));
    const RecordId checking = view_->Data().FindAccountByName("Checking")->Header().GetId();
    const auto marks = [&] {
        int marked = 0;
        int open = 0;
        const std::unique_ptr<CAccounts> loaded = Loaded();
        for (const auto& t : loaded->FindAccountById(checking)->Transactions()) {
            if (!t->MatchesStatus(2))
                continue;
            ++open;
            marked += (t->GetStatus() & kStatusMarked) != 0 ? 1 : 0;
        }
        return std::pair(marked, open);
    };
    EXPECT_EQ(0, marks().first);
    EXPECT_TRUE(Dispatch(5013));
    auto [marked, open] = marks();
    EXPECT_GT(open, 10);
    EXPECT_EQ(open, marked);
    EXPECT_NE(0, view.CurrentAccount()->GetReconcileDifference());
    test::SaveRender(view, QStringLiteral("view-reconcile-marked"));
    EXPECT_TRUE(Dispatch(5014));
    EXPECT_EQ(0, marks().first);
    EXPECT_EQ(0, view.CurrentAccount()->GetReconcileDifference());
    EXPECT_TRUE(services_.messages.empty());
    // Neither on another page.
    view.SelectPage(0);
    EXPECT_FALSE(Dispatch(5013));
}

TEST_F(ViewPageCommandsTest, DoneFinishesAsTheAnswerSays) {
    struct Case {
        const char* name;
        bool markAll;
        std::optional<Answer> answer;  // to 151; none when not asked
        int page;                      // afterwards
        bool adjustment;
        bool congratulated;
        bool diskFull = false;
    };
    const Case cases[] = {
        {"cancelled", true, Answer::kCancel, 3, false, false},
        {"no adjustment", true, Answer::kNo, 0, false, false},
        {"with the adjustment", true, Answer::kYes, 0, true, false},
        {"no difference", false, std::nullopt, 0, false, true},
        // The page stays for another try, the account as before Done.
        {"the save fails", true, Answer::kYes, 3, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A folder of its own for each case.
        view_.reset();
        fixture_ = test::BuildLedgerFixture();
        fixture_.data.reset();
        user_ = test::MakeFolderUser("Ann Example", "ann", fixture_.folder);
        app_.SetCurrentUser(user_.get());
        SetPrefLastActiveAccount("");
        services_.messages.clear();
        CTallowmereView& view = Reconcile(QStringLiteral("0.00"), QStringLiteral("0.00"));
        ASSERT_EQ("Checking", view.CurrentAccount()->GetName());
        if (c.markAll) {
            ASSERT_TRUE(Dispatch(5013));
        }
        const Cents difference = view.CurrentAccount()->GetReconcileDifference();
        int unreconciled = 0;
        for (const auto& t : view.CurrentAccount()->Transactions())
            unreconciled += t->MatchesStatus(2) ? 1 : 0;
        const auto before = FolderBytes(fixture_.folder);
        if (c.answer)
            services_.answers.push_back(*c.answer);
        if (c.diskFull) {
            platform::SetWriteFault([](std::size_t, int& err) {
                err = ENOSPC;
                return false;
            });
        }
        EXPECT_TRUE(Dispatch(5022));
        platform::SetWriteFault(nullptr);

        std::vector<int> ids;
        for (const MessageRequest& m : services_.messages)
            ids.push_back(m.stringId);
        std::vector<int> expected;
        if (c.answer)
            expected.push_back(151);
        if (c.congratulated)
            expected.push_back(181);
        if (c.diskFull)
            expected.push_back(184);
        EXPECT_EQ(expected, ids);
        if (c.answer) {
            EXPECT_EQ(Buttons::kYesNoCancel, services_.messages[0].buttons);
            EXPECT_NE(std::string::npos,
                      services_.messages[0].text.find(FormatMoney(difference, kMoneyFull)));
        }
        EXPECT_EQ(c.page, view.Page());
        EXPECT_EQ(c.page, view.Tabs()->currentIndex());
        if (c.page == 3) {
            EXPECT_EQ(before, FolderBytes(fixture_.folder));
            EXPECT_EQ(difference, view.CurrentAccount()->GetReconcileDifference());
            continue;
        }
        const std::unique_ptr<CAccounts> loaded = Loaded();
        const CAccount& checking =
            *loaded->FindAccountById(view_->Data().FindAccountByName("Checking")->Header().GetId());
        int adjustments = 0;
        int stillOpen = 0;
        for (const auto& t : checking.Transactions()) {
            if (t->GetPayeeName() == "Reconcile Adjustment") {
                ++adjustments;
                EXPECT_EQ(kStatusReconciled, t->GetStatus() & kStatusMask);
                EXPECT_EQ(-difference, t->GetSignedAmount());
            }
            stillOpen += t->MatchesStatus(2) ? 1 : 0;
        }
        EXPECT_EQ(c.adjustment ? 1 : 0, adjustments);
        // Marked rows are reconciled; without marks all stay as they were.
        EXPECT_EQ(c.markAll ? 0 : unreconciled, stillOpen);
        EXPECT_EQ(0, checking.Header().GetReconcileDate());
    }
}

TEST_F(ViewPageCommandsTest, UpcomingTransactionsOpensFromTheRegisterInsideTheBusyLock) {
    CTallowmereView& view = MakeView();
    int depth = -1;
    services_.dialogScripts.push_back([&](QDialog& dialog) {
        depth = view.BusyDepth();
        dialog.accept();
        return dialog.result();
    });
    EXPECT_TRUE(view.QueryCommand(32809).value_or(CommandState{}).enabled);
    EXPECT_TRUE(Dispatch(32809));
    EXPECT_EQ(std::vector<QString>{"id_1591"}, services_.dialogs);
    EXPECT_EQ(1, depth);
    EXPECT_EQ(0, view.BusyDepth());
    Reports(1, 0);
    EXPECT_FALSE(view.QueryCommand(32809).value_or(CommandState{true, false}).enabled);
    EXPECT_FALSE(Dispatch(32809));
    EXPECT_EQ(1u, services_.dialogs.size());
}

TEST_F(ViewPageCommandsTest, WithTheBusyLockHeldElsewhereTheWritingCommandsDoNothing) {
    struct Case {
        const char* name;
        int page;
        int command;
    };
    const Case cases[] = {
        {"Set Budget Amount", 2, 5011}, {"Mark all", 3, 5013},
        {"Unmark all", 3, 5014},        {"Done", 3, 5022},
        {"Upcoming", 0, 32809},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        switch (c.page) {
            case 2:
                Budgets();
                SelectRows({RowOf("Groceries")});
                break;
            case 3:
                if (view_ == nullptr || view_->Page() != 3) {
                    Reconcile(QStringLiteral("0.00"), QStringLiteral("1.00"));
                    ASSERT_TRUE(Dispatch(5013));  // Unmark all and Done have work to do
                }
                break;
            default:
                ASSERT_TRUE(view_->SelectPage(0));
                break;
        }
        services_.dialogs.clear();
        services_.messages.clear();
        const auto before = FolderBytes(fixture_.folder);
        {
            BusyElsewhere busy;
            EXPECT_TRUE(Dispatch(c.command));
        }
        EXPECT_TRUE(services_.dialogs.empty());
        EXPECT_TRUE(services_.messages.empty());
        EXPECT_EQ(before, FolderBytes(fixture_.folder));
        EXPECT_EQ(c.page, view_->Page());
    }
}

}  // namespace
}  // namespace tallowmere::ui
