// The main view over a real data folder: the controls each page shows, the
// pane header's text, the title, loading (the last active account, a
// folder that fails, the due scheduled items), the cancelled reconcile, the
// register's row count per page, the file error texts, the icons, the busy
// lock against another thread, the layout, and a picture of every page.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QTabBar>
#include <atomic>
#include <filesystem>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "model/icon_database.h"
#include "model/preferences.h"
#include "model/program_version.h"
#include "model/registry.h"
#include "model/scheduled.h"
#include "model/show_columns.h"
#include "platform/text_1252.h"
#include "support/palm_builder.h"
#include "ui/color_ref.h"
#include "ui/logic/view_pages.h"
#include "ui/register_list_ctrl.h"
#include "ui/statement_details_dlg.h"
#include "ui/view_fixture.h"
#include "ui/view_pane_header.h"

namespace tallowmere::ui {
namespace {

using test::ViewTest;

std::set<int> VisibleIds(const CTallowmereView& view) {
    std::set<int> ids;
    for (const int id : ViewControlIds()) {
        const auto* w = view.findChild<QWidget*>(QStringLiteral("id_%1").arg(id));
        EXPECT_NE(nullptr, w) << id;
        if (w != nullptr && w->isVisible())
            ids.insert(id);
    }
    return ids;
}

// The bounds of the pixels a drawing left in a transparent image.
QRect PaintedBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() != 0)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// Statement details accepted as they open, with the given ending balance.
std::function<int(QDialog&)> AcceptStatement(const QString& ending) {
    return [ending](QDialog& dialog) {
        if (auto* edit =
                dialog.findChild<QLineEdit*>(QStringLiteral("id_%1").arg(kStatementEnding)))
            edit->setText(ending);
        dialog.accept();
        return dialog.result();
    };
}

QString HeaderText(const CTallowmereView& view) {
    return view.findChild<ViewPaneHeader*>(QStringLiteral("id_5001"))->Text();
}

TEST_F(ViewTest, EachPageShowsItsControlsAndHeader) {
    CTallowmereView& view = MakeView();
    const std::set<int> all = {5000, 5001, 5003};
    const std::set<int> expected[] = {
        {5000, 5001, 5002, 5003, 5004, 32805, 32790, 5005, 5006, 5007},
        {5000, 5001, 5003, 5010, 5012, 5015, 5016, 5017, 5018, 5019, 5020, 5021},
        {5000, 5001, 5003, 5010, 5011, 5012, 5016, 5017},
        {5000, 5001, 5003, 5005, 5006, 5007, 5013, 5014, 5022},
    };
    const char* headers[] = {"Accounts", "Define Report", "Define Budget", "Reconcile Account"};
    SetPrefLastReportType(0);
    for (int page = 0; page < 4; ++page) {
        SCOPED_TRACE(page);
        if (page == 3)
            services_.dialogScripts.push_back(AcceptStatement(QStringLiteral("100.00")));
        ASSERT_TRUE(view.SelectPage(page));
        EXPECT_EQ(expected[page], VisibleIds(view));
        EXPECT_EQ(headers[page], HeaderText(view));
        EXPECT_EQ(page, view.Tabs()->currentIndex());
        // The account's own row colour on Register, the page's preference
        // on the others.
        const std::uint32_t colors[] = {view.CurrentAccount()->GetColor(), 0xD3F5FE, 0xD3F5FE,
                                        0xEEFFEC};
        EXPECT_EQ(FromColorRef(colors[page]), view.RegisterList()->GetEvenRowColor());
    }
    // The chart takes the list's place.
    SetPrefLastReportType(1);
    ASSERT_TRUE(view.SelectPage(1));
    EXPECT_FALSE(VisibleIds(view).contains(5003));
    EXPECT_TRUE(view.ChartMode());
}

TEST_F(ViewTest, TitleNamesProgramVersionAndUser) {
    QWidget frame;
    app_.SetCurrentUser(user_.get());
    auto* view = new CTallowmereView(app_, &frame);
    const std::string version = ProgramVersionText();
    EXPECT_EQ(QString::fromStdString("Tallowmere " + version + " - Ann Example"),
              frame.windowTitle());
    // A sync renamed the current user: the title follows; another user's
    // notice leaves it.
    QString title;
    QObject::connect(view, &CTallowmereView::titleChanged, [&](const QString& t) { title = t; });
    view->NotifySyncUser("someone-else", false);
    EXPECT_TRUE(title.isEmpty());
    user_->Rename("Ann Renamed");
    view->NotifySyncUser("ann", false);
    EXPECT_EQ(QString::fromStdString("Tallowmere " + version + " - Ann Renamed"), title);
    EXPECT_EQ(title, frame.windowTitle());
}

TEST_F(ViewTest, TheLastActiveAccountIsChosenWhateverItsCase) {
    std::string path;
    {
        std::unique_ptr<CAccounts> data;
        ASSERT_EQ(0, CAccounts::LoadInto(data, fixture_.folder, {}));
        path = data->FindAccountByName("Visa")->GetPath();
    }
    std::string upper = path;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    SetPrefLastActiveAccount(upper);
    CTallowmereView& view = MakeView();
    ASSERT_NE(nullptr, view.CurrentAccount());
    EXPECT_EQ("Visa", view.CurrentAccount()->Header().GetName());
}

TEST_F(ViewTest, ADeletedLastActiveAccountGivesTheFirstAccount) {
    SetPrefLastActiveAccount(fixture_.folder + "/Gone.wqm");
    CTallowmereView& view = MakeView();
    ASSERT_NE(nullptr, view.CurrentAccount());
    EXPECT_EQ(view.Data().GetAccountAt(0), view.CurrentAccount());
}

TEST_F(ViewTest, AFolderThatFailsToLoadKeepsTheDataAndTitle) {
    CTallowmereView& view = MakeView();
    QString title;
    QObject::connect(&view, &CTallowmereView::titleChanged, [&](const QString& t) { title = t; });
    CAccounts* before = &view.Data();
    CAccount* account = view.CurrentAccount();
    const int rows = view.RegisterList()->GetItemCount();

    // An account file that is not one.
    const std::string bad = test::MakeTempDir("bad");
    test::WriteFileBytes(bad + "/Broken.wqm", std::string(40, 'x'));
    auto other = test::MakeFolderUser("Bob", "bob", bad);
    EXPECT_FALSE(view.LoadUserData(*other));
    EXPECT_EQ(before, &view.Data());
    EXPECT_EQ(account, view.CurrentAccount());
    EXPECT_EQ(rows, view.RegisterList()->GetItemCount());
    EXPECT_EQ(user_.get(), view.CurrentUser());
    EXPECT_TRUE(title.isEmpty());
    ASSERT_FALSE(services_.messages.empty());
    EXPECT_EQ(3101, services_.messages.back().stringId);
    // Still paints the old data.
    view.grab();
}

TEST_F(ViewTest, ReconcileCancelledStaysOnTheOldPage) {
    CTallowmereView& view = MakeView();
    ASSERT_TRUE(view.SelectPage(1));
    services_.dialogScripts.push_back([](QDialog& d) {
        d.reject();
        return 2;
    });
    view.Tabs()->setCurrentIndex(3);
    EXPECT_EQ(1, view.Page());
    EXPECT_EQ(1, view.Tabs()->currentIndex());
    EXPECT_EQ("Define Report", HeaderText(view));
    ASSERT_EQ(1U, services_.dialogs.size());
}

TEST_F(ViewTest, RegisterRowsFollowThePage) {
    CTallowmereView& view = MakeView();
    CAccount* checking = view.CurrentAccount();
    ASSERT_NE(nullptr, checking);
    EXPECT_EQ(checking->CountTransactions(0), view.GetRegisterItemCount());
    EXPECT_EQ(view.GetRegisterItemCount(), view.RegisterList()->GetItemCount());
    auto* combo = view.findChild<QComboBox*>(QStringLiteral("id_5004"));
    combo->setCurrentIndex(3);
    emit combo->activated(3);
    EXPECT_EQ(3, view.Filter());
    EXPECT_EQ(checking->CountTransactions(3), view.GetRegisterItemCount());
    ASSERT_TRUE(view.SelectPage(2));
    EXPECT_EQ(0, view.GetRegisterItemCount());
    services_.dialogScripts.push_back(AcceptStatement(QStringLiteral("10.00")));
    ASSERT_TRUE(view.SelectPage(3));
    EXPECT_EQ(checking->CountTransactions(2), view.GetRegisterItemCount());
    EXPECT_EQ(view.GetRegisterItemCount(), view.RegisterList()->GetItemCount());
}

std::vector<std::uint16_t> ColumnIds(const CRegisterListCtrl& list) {
    std::vector<std::uint16_t> ids;
    for (int section = 0; section < list.GetColumnCount(); ++section)
        ids.push_back(list.GetColumnId(section));
    return ids;
}

TEST_F(ViewTest, StoredColumnSetsAreCheckedForThePage) {
    const std::vector<std::uint16_t> defaults = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    // A count past the 15 entries: the page's default set.
    CShowColumns::Record bad =
        CShowColumns{std::span<const ShowColumnEntry>(kRegisterColumns)}.ToRecord();
    bad[0] = 20;
    RegWriteBinary(RegRoot::kCurrentUser, GetCurrentUserPrefsKeyPath(), "Show Columns - Register",
                   bad);
    {
        CTallowmereView& view = MakeView();
        EXPECT_EQ(defaults, ColumnIds(*view.RegisterList()));
        view_.reset();
    }
    // Foreign and repeated ids are dropped; the rest keep their order.
    CShowColumns mixed{std::span<const ShowColumnEntry>(kRegisterColumns)};
    const std::pair<int, std::uint16_t> ids[] = {{0, 8}, {1, 22}, {2, 8}, {3, 4}};
    for (int i = 0; i < mixed.GetCount(); ++i)
        mixed.SetVisible(i, false);
    CShowColumns::Record record = mixed.ToRecord();
    for (const auto& [index, id] : ids) {
        record[static_cast<std::size_t>(4 + 6 * index)] = static_cast<std::uint8_t>(id);
        record[static_cast<std::size_t>(4 + 6 * index + 4)] = 1;
    }
    RegWriteBinary(RegRoot::kCurrentUser, GetCurrentUserPrefsKeyPath(), "Show Columns - Register",
                   record);
    CTallowmereView& view = MakeView();
    EXPECT_EQ((std::vector<std::uint16_t>{8, 4}), ColumnIds(*view.RegisterList()));
}

TEST_F(ViewTest, FilterComboCountsTheRowsOfEachFilter) {
    CTallowmereView& view = MakeView();
    auto* combo = view.findChild<QComboBox*>(QStringLiteral("id_5004"));
    ASSERT_EQ(6, combo->count());
    const CAccount* checking = view.CurrentAccount();
    int nonVoid = 0;
    for (const auto& t : checking->Transactions())
        nonVoid += (t->GetStatus() & kStatusMask) != kStatusVoid;
    EXPECT_EQ(QStringLiteral("All (%1)").arg(nonVoid), combo->itemText(0));
    EXPECT_TRUE(combo->itemText(5).startsWith(QStringLiteral("Downloaded (")));
}

TEST_F(ViewTest, FileErrorMessagesByCode) {
    CTallowmereView& view = MakeView();
    const std::pair<int, int> cases[] = {{2, 182},   {5, 183},  {32, 183},
                                         {112, 184}, {13, 185}, {-1, 185}};
    for (const auto& [code, id] : cases) {
        view.ShowFileErrorMessage(code);
        ASSERT_FALSE(services_.messages.empty());
        EXPECT_EQ(id, services_.messages.back().stringId) << code;
    }
    EXPECT_EQ("There was an error saving the file (13).", services_.messages[4].text);
}

TEST_F(ViewTest, DrawIconBranches) {
    // The folder's icon database holds icon 44, a red block.
    test::PdbLayout pdb;
    test::TbmpLayout block;
    block.width = 20;
    block.height = 18;
    block.depth = 24;
    block.version = 3;
    block.values.assign(20 * 18, 0xFF0000);
    pdb.resources.push_back({kIconResourceType, 44, test::Tbmp(block)});
    const test::Bytes file = test::Pdb(pdb);
    test::WriteFileBytes(fixture_.folder + "/BrackwaterIcons.pdb",
                         std::string(file.begin(), file.end()));
    CTallowmereView& view = MakeView();
    QImage image(64, 64, QImage::Format_ARGB32);
    const auto drawn = [&](int index, QRect rect) {
        image.fill(Qt::transparent);
        QPainter p(&image);
        return view.DrawIcon(p, rect, index);
    };
    EXPECT_TRUE(drawn(300, QRect(0, 0, 40, 40)));
    EXPECT_EQ(QColor(255, 0, 0), image.pixelColor(20, 20));
    EXPECT_FALSE(drawn(301, QRect(0, 0, 40, 40)));
    // The small strip's icon is 23 x 20, the large one's 31 x 27.
    ASSERT_TRUE(drawn(10, QRect(0, 0, 20, 20)));
    const QRect small = PaintedBounds(image);
    ASSERT_TRUE(drawn(10, QRect(0, 0, 40, 40)));
    const QRect large = PaintedBounds(image);
    EXPECT_LE(small.width(), 23);
    EXPECT_LE(small.height(), 20);
    EXPECT_GT(large.width() * large.height(), small.width() * small.height());
    EXPECT_TRUE(drawn(64, QRect(0, 0, 40, 40)));
    EXPECT_FALSE(drawn(100, QRect(0, 0, 40, 40)));
    EXPECT_FALSE(drawn(65, QRect(0, 0, 40, 40)));
}

TEST_F(ViewTest, BusyLockHeldByAnotherThreadTimesOut) {
    CTallowmereView& view = MakeView();
    std::atomic<bool> held{false};
    std::atomic<bool> done{false};
    std::thread other([&] {
        platform::NamedMutex mutex(handheld::kDesktopBusyMutexName);
        ASSERT_TRUE(mutex.Lock(std::chrono::seconds(5)));
        held = true;
        while (!done)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        mutex.Unlock();
    });
    while (!held)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    {
        CBusyLock lock(view, std::chrono::milliseconds(200));
        EXPECT_FALSE(lock.Held());
        EXPECT_EQ(0, view.BusyDepth());
    }
    done = true;
    other.join();
    // The same thread nests.
    CBusyLock outer(view);
    ASSERT_TRUE(outer.Held());
    {
        CBusyLock inner(view);
        EXPECT_TRUE(inner.Held());
        EXPECT_EQ(2, view.BusyDepth());
    }
    EXPECT_EQ(1, view.BusyDepth());
}

TEST_F(ViewTest, BusyLockHeldByAnotherProgramTimesOut) {
    CTallowmereView& view = MakeView();
    int ready[2];
    int done[2];
    ASSERT_EQ(0, pipe(ready));
    ASSERT_EQ(0, pipe(done));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only the lock and the pipes in the child: it holds the lock until told.
        platform::NamedMutex mutex(handheld::kDesktopBusyMutexName);
        const char held = mutex.Lock(std::chrono::seconds(5)) ? 'y' : 'n';
        if (write(ready[1], &held, 1) != 1)
            _exit(2);
        char c;
        if (read(done[0], &c, 1) != 1)
            _exit(3);
        mutex.Unlock();
        _exit(0);
    }
    char held = 0;
    ASSERT_EQ(1, read(ready[0], &held, 1));
    EXPECT_EQ('y', held);
    {
        CBusyLock lock(view, std::chrono::milliseconds(300));
        EXPECT_FALSE(lock.Held());
    }
    const char go = 'g';
    ASSERT_EQ(1, write(done[1], &go, 1));
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    for (const int fd : {ready[0], ready[1], done[0], done[1]})
        close(fd);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    CBusyLock lock(view, std::chrono::milliseconds(300));
    EXPECT_TRUE(lock.Held());
}

TEST_F(ViewTest, LayoutAtAThousandBySevenHundred) {
    CTallowmereView& view = MakeView(1000, 700);
    const QRect list = view.RegisterList()->geometry();
    const QRect tabs = view.Tabs()->geometry();
    EXPECT_EQ(8 + 250 + kViewColumnGap, list.x());
    EXPECT_EQ(tabs.y() + tabs.height(), list.y());
    EXPECT_EQ(1000 - 8, list.x() + list.width());
    EXPECT_EQ(700 - 38, list.y() + list.height());
    EXPECT_EQ(5, tabs.y());
    int x = list.x();
    for (const int id : {32805, 32790, 5005, 5006, 5007}) {
        const auto* b = view.findChild<QWidget*>(QStringLiteral("id_%1").arg(id));
        EXPECT_EQ(QRect(x, 700 - 38 + 5, 28, 20), b->geometry()) << id;
        x += 28 + 5;
    }
}

TEST_F(ViewTest, AReloadThatFailsKeepsWhatIsShown) {
    CTallowmereView& view = MakeView();
    const CAccounts* before = &view.Data();
    CAccount* account = view.CurrentAccount();
    test::WriteFileBytes(fixture_.folder + "/Broken.wqm", std::string(40, 'x'));
    view.OnReloadRequest(1, 0);
    EXPECT_EQ(before, &view.Data());
    EXPECT_EQ(account, view.CurrentAccount());
    EXPECT_FALSE(view.ReloadPending());
    ASSERT_FALSE(services_.messages.empty());
    EXPECT_EQ(3101, services_.messages.back().stringId);
    view.grab();
}

TEST_F(ViewTest, WithoutAUserNothingIsShownAndNothingBreaks) {
    app_.SetCurrentUser(nullptr);
    CTallowmereView& view = MakeView();
    EXPECT_EQ(nullptr, view.CurrentAccount());
    EXPECT_EQ(0, view.GetRegisterItemCount());
    EXPECT_EQ(0, view.RegisterList()->GetItemCount());
    for (const int id : {5005, 5006, 5007, 32790, 32805})
        EXPECT_FALSE(view.findChild<QWidget*>(QStringLiteral("id_%1").arg(id))->isEnabled()) << id;
    EXPECT_FALSE(view.SelectPage(3)) << "nothing to reconcile";
    for (int page = 0; page < 3; ++page) {
        ASSERT_TRUE(view.SelectPage(page));
        view.grab();
    }
}

TEST_F(ViewTest, SelectTransactionFindsTheRowOfThePagesFilter) {
    CTallowmereView& view = MakeView();
    services_.dialogScripts.push_back(AcceptStatement(QStringLiteral("10.00")));
    ASSERT_TRUE(view.SelectPage(3));
    const CTransaction* memo = nullptr;
    for (const auto& t : view.CurrentAccount()->Transactions()) {
        if (t->GetId() == fixture_.memoId)
            memo = t.get();
    }
    ASSERT_NE(nullptr, memo);
    view.SelectTransaction(memo);
    const int row = view.RegisterList()->GetFirstSelectedItem();
    ASSERT_GE(row, 0);
    EXPECT_EQ(memo, view.RegisterList()->GetTransactionAt(row));
    view.SelectTransaction(nullptr);
    EXPECT_EQ(-1, view.RegisterList()->GetFirstSelectedItem());
}

TEST_F(ViewTest, TheTopRowIsSavedOnlyWhenItChanged) {
    CTallowmereView& view = MakeView(1000, 400);
    CAccount* checking = view.CurrentAccount();
    const std::string path = checking->GetPath();
    const std::string bytes = test::ReadFileBytes(path);
    EXPECT_EQ(0, view.SaveTopRow(checking));
    EXPECT_EQ(bytes, test::ReadFileBytes(path)) << "nothing changed, nothing written";
    view.RegisterList()->SetTopIndex(10);
    EXPECT_EQ(0, view.SaveTopRow(checking));
    EXPECT_EQ(10, checking->GetTopRow());
    EXPECT_NE(bytes, test::ReadFileBytes(path));
    // Switching to another account stores it and shows the other's row.
    view.SelectAccountInPane(view.Data().FindAccountByName("Visa"));
    view.ShowAccount(view.Data().FindAccountByName("Visa"));
    EXPECT_EQ("Visa", view.CurrentAccount()->Header().GetName());
    EXPECT_EQ(view.GetRegisterItemCount(), view.RegisterList()->GetItemCount());
}

TEST_F(ViewTest, PrintsThePageToPdf) {
    CTallowmereView& view = MakeView();
    const QString pdf = QString::fromStdString(test::MakeTempDir("print") + "/register.pdf");
    services_.printDialogScripts.push_back([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    view.RunCommand(57607);
    ASSERT_EQ(1U, services_.printDialogs.size());
    EXPECT_GE(services_.printDialogs[0], 1);
    const std::string bytes = test::ReadFileBytes(pdf.toStdString());
    EXPECT_EQ(0U, bytes.rfind("%PDF", 0));
    // The preview paints the same pages; Page Setup goes through the services too.
    int painted = 0;
    services_.previewScripts.push_back(
        [&](QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf + ".preview.pdf");
            paint(printer);
            ++painted;
        });
    view.RunCommand(57609);
    EXPECT_EQ(1, painted);
    view.RunCommand(57606);
    EXPECT_EQ(1, services_.pageSetups);
    for (const int id : {57607, 57609, 57606})
        EXPECT_TRUE(view.QueryCommand(id).value_or(CommandState{}).enabled) << id;
}

// Pictures of every page, for a person to look at.
TEST_F(ViewTest, RendersEveryPage) {
    CTallowmereView& view = MakeView(1000, 700);
    test::SaveRender(view, QStringLiteral("view-register"));
    // The fixture's transactions are of 2024.
    SetPrefLastReportPeriod(8);
    SetPrefLastStartDate(test::FixtureDay(2024, 1, 1));
    SetPrefLastEndDate(test::FixtureDay(2024, 12, 31));
    SetPrefLastReportBy(1);
    SetPrefLastReportType(0);
    ASSERT_TRUE(view.SelectPage(1));
    EXPECT_GT(view.RegisterList()->GetItemCount(), 0);
    test::SaveRender(view, QStringLiteral("view-reports"));
    SetPrefLastReportType(1);
    SetPrefLastAmountType(1, 2);
    ASSERT_TRUE(view.SelectPage(0));
    ASSERT_TRUE(view.SelectPage(1));
    test::SaveRender(view, QStringLiteral("view-chart"));
    // The budgets of this year's periods, with the empty rows shown.
    SetPrefLastBudgetBy(1);
    SetPrefLastBudgetPeriod(7);
    SetPrefShowEmptyItems(true);
    ASSERT_TRUE(view.SelectPage(2));
    EXPECT_GT(view.RegisterList()->GetItemCount(), 0);
    test::SaveRender(view, QStringLiteral("view-budgets"));
    services_.dialogScripts.push_back(AcceptStatement(QStringLiteral("2,345.67")));
    ASSERT_TRUE(view.SelectPage(3));
    test::SaveRender(view, QStringLiteral("view-reconcile"));
}

}  // namespace
}  // namespace tallowmere::ui
