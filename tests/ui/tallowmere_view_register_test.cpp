// The register's commands over a real data folder: delete, status, the
// status-cell click, the row pop-up's Set Payee and Set Category (a long
// payee list, a transfer row), the header sort, the balance read-out's
// pop-up, New under a hiding filter, and every writing command against the
// busy lock held by another thread. Files are checked with the core's
// loader.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "model/list_file_names.h"
#include "model/payee.h"
#include "model/preferences.h"
#include "model/show_columns.h"
#include "platform/atomic_file.h"
#include "platform/text_1252.h"
#include "ui/logic/statement_details_logic.h"
#include "ui/owner_list_model.h"
#include "ui/register_list_ctrl.h"
#include "ui/view_fixture.h"

namespace tallowmere::ui {
namespace {

class ViewRegisterTest : public test::ViewTest {
  protected:
    std::unique_ptr<CAccounts> Reload() const {
        std::unique_ptr<CAccounts> again;
        AccountsLoadFailure failure;
        EXPECT_EQ(0, CAccounts::LoadInto(again, fixture_.folder, {}, &failure)) << failure.path;
        return again;
    }
    std::string FileBytes(const std::string& name) const {
        std::ifstream in(fixture_.folder + "/" + name + ".wqm", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void SelectIds(CTallowmereView& view, std::initializer_list<RecordId> ids) {
        CRegisterListCtrl& list = *view.RegisterList();
        list.SetSelection(-1, true);
        for (const RecordId& id : ids) {
            const int row = list.FindTransactionRow(id);
            ASSERT_GE(row, 0);
            list.SetSelection(row, false);
        }
    }
    static CTransaction* Selected(CTallowmereView& view) {
        CRegisterListCtrl& list = *view.RegisterList();
        return list.GetTransactionAt(list.GetFirstSelectedItem());
    }
    static int SelectedCount(CTallowmereView& view) {
        return static_cast<int>(view.RegisterList()->selectionModel()->selectedRows().size());
    }
    static QString Utf8(const std::string& cp1252) {
        return QString::fromStdString(platform::Cp1252ToUtf8(cp1252));
    }
};

TEST_F(ViewRegisterTest, DeletingTheLastRowSelectsTheNewLastRow) {
    CTallowmereView& view = MakeView();
    CRegisterListCtrl& list = *view.RegisterList();
    const int rows = list.GetItemCount();
    list.SetSelection(rows - 1, true);
    const RecordId gone = Selected(view)->GetId();
    services_.answers.push_back(Answer::kYes);
    view.RunCommand(32772);
    ASSERT_EQ(1u, services_.messages.size());
    EXPECT_EQ(140, services_.messages[0].stringId);
    EXPECT_EQ(Buttons::kYesNo, services_.messages[0].buttons);
    EXPECT_EQ(Answer::kNo, services_.messages[0].defaultAnswer);
    EXPECT_EQ(rows - 1, list.GetItemCount());
    EXPECT_EQ(rows - 2, list.GetFirstSelectedItem());
    const auto again = Reload();
    EXPECT_EQ(nullptr, again->FindAccountByName("Checking")->FindTransactionById(gone));

    // No keeps everything.
    services_.answers.push_back(Answer::kNo);
    view.RunCommand(32772);
    EXPECT_EQ(rows - 1, list.GetItemCount());
}

TEST_F(ViewRegisterTest, ASplitsTransferCopyIsRefusedAloneAndKeptInAMultiDelete) {
    CTallowmereView& view = MakeView();
    CAccount* visa = view.Data().FindAccountByName("Visa");
    view.ShowAccount(visa);
    CRegisterListCtrl& list = *view.RegisterList();
    RecordId copyId;
    RecordId otherId;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        const CTransaction* t = list.GetTransactionAt(row);
        (t->IsSplitTransferCopy() ? copyId : otherId) = t->GetId();
    }
    ASSERT_FALSE(copyId.IsNull());
    const std::string before = FileBytes("Visa");
    SelectIds(view, {copyId});
    view.RunCommand(32772);
    ASSERT_EQ(1u, services_.messages.size());
    EXPECT_EQ(178, services_.messages[0].stringId);
    EXPECT_EQ(before, FileBytes("Visa"));

    SelectIds(view, {copyId, otherId});
    services_.answers.push_back(Answer::kYes);
    view.RunCommand(32772);
    ASSERT_EQ(2u, services_.messages.size());
    EXPECT_EQ(177, services_.messages[1].stringId);
    const auto again = Reload();
    const CAccount* reloaded = again->FindAccountByName("Visa");
    EXPECT_NE(nullptr, reloaded->FindTransactionById(copyId));
    EXPECT_EQ(nullptr, reloaded->FindTransactionById(otherId));
}

TEST_F(ViewRegisterTest, DeletingEveryRowLeavesNoSelection) {
    CTallowmereView& view = MakeView();
    view.ShowAccount(view.Data().FindAccountByName("Savings"));
    CRegisterListCtrl& list = *view.RegisterList();
    ASSERT_GT(list.GetItemCount(), 0);
    view.RunCommand(32828);
    services_.answers.push_back(Answer::kYes);
    view.RunCommand(32772);
    EXPECT_EQ(0, list.GetItemCount());
    EXPECT_EQ(-1, list.GetFirstSelectedItem());
    // Its transfer went with it: Checking lost the other side.
    const auto again = Reload();
    EXPECT_EQ(0, again->FindAccountByName("Savings")->CountTransactions(0));
}

TEST_F(ViewRegisterTest, StatusFromThePopupChangesOnlyTheSelectedRowsAndResorts) {
    CTallowmereView& view = MakeView();
    CAccount& checking = *view.CurrentAccount();
    SelectIds(view, {fixture_.memoId, fixture_.cafeId, fixture_.reconciledId});
    // A reconciled row with its mark set: the mark goes with the change.
    checking.FindTransactionById(fixture_.reconciledId)->SetStatus(kStatusReconciled | 1);
    services_.popupChoices.push_back(QStringLiteral("cmd_32817"));  // Reconciled
    services_.popupChoices.push_back(QStringLiteral("cmd_32816"));  // Cleared
    view.ShowRegisterPopupMenu(QPoint(10, 10));
    EXPECT_EQ(3, SelectedCount(view));
    view.ShowRegisterPopupMenu(QPoint(10, 10));
    EXPECT_EQ(3, SelectedCount(view));
    const auto again = Reload();
    const CAccount& reloaded = *again->FindAccountByName("Checking");
    for (const RecordId& id : {fixture_.memoId, fixture_.cafeId, fixture_.reconciledId}) {
        const CTransaction* t = reloaded.FindTransactionById(id);
        ASSERT_NE(nullptr, t);
        EXPECT_EQ(kStatusCleared, t->GetStatus());
        EXPECT_TRUE(t->IsModified());
    }
    EXPECT_EQ(kStatusOpen, reloaded.FindTransactionById(fixture_.downloadedId)->GetStatus());
    EXPECT_TRUE(reloaded.IsInOrder());
    EXPECT_EQ(checking.GetBalance(1), reloaded.GetBalance(1));
}

TEST_F(ViewRegisterTest, StatusOfEveryRowIsOneWriteAndAFailedSaveIsShown) {
    CTallowmereView& view = MakeView();
    view.RunCommand(32828);
    int files = 0;
    platform::SetWriteFault([&files](std::size_t written, int&) {
        files += written == 0 ? 1 : 0;
        return true;
    });
    services_.popupChoices.push_back(QStringLiteral("cmd_32816"));
    view.ShowRegisterPopupMenu(QPoint(10, 10));
    EXPECT_EQ(1, files);
    EXPECT_TRUE(services_.messages.empty());

    platform::SetWriteFault([](std::size_t, int& err) {
        err = EACCES;
        return false;
    });
    services_.popupChoices.push_back(QStringLiteral("cmd_32815"));
    view.ShowRegisterPopupMenu(QPoint(10, 10));
    platform::SetWriteFault(nullptr);
    bool shown = false;
    for (const MessageRequest& m : services_.messages)
        shown = shown || m.stringId == 183;
    EXPECT_TRUE(shown);
    // The change stays in memory; the file keeps what was saved before.
    EXPECT_EQ(kStatusOpen,
              view.CurrentAccount()->FindTransactionById(fixture_.cafeId)->GetStatus());
    const auto again = Reload();
    EXPECT_EQ(
        kStatusCleared,
        again->FindAccountByName("Checking")->FindTransactionById(fixture_.cafeId)->GetStatus());
}

TEST_F(ViewRegisterTest, ThePopupChecksTheRowsStatusAndFields) {
    CTallowmereView& view = MakeView();
    SelectIds(view, {fixture_.cafeId});
    bool looked = false;
    services_.popupScripts.push_back([&](QMenu& menu) -> QAction* {
        looked = true;
        const auto checked = [&](const QString& name) {
            auto* a = menu.findChild<QAction*>(name);
            return a != nullptr && a->isChecked();
        };
        EXPECT_TRUE(checked(QStringLiteral("cmd_32815")));
        EXPECT_FALSE(checked(QStringLiteral("cmd_32816")));
        QStringList categories;
        for (QAction* a : menu.findChild<QMenu*>(QStringLiteral("menu_16505"))->actions()) {
            if (a->isChecked())
                categories << a->text();
        }
        EXPECT_EQ(QStringList{QStringLiteral("Dining")}, categories);
        // Renders the menu beside the register, for a person to look at.
        QImage image = view.grab().toImage();
        menu.adjustSize();
        QPainter painter(&image);
        painter.drawPixmap(360, 160, menu.grab());
        QMenu* sub = menu.findChild<QMenu*>(QStringLiteral("menu_16505"));
        sub->adjustSize();
        painter.drawPixmap(360 + menu.width(), 160, sub->grab());
        painter.end();
        QDir().mkpath(QStringLiteral("renders"));
        image.save(QStringLiteral("renders/view-register-popup.png"));
        return nullptr;
    });
    view.ShowRegisterPopupMenu(QPoint(10, 10));
    EXPECT_TRUE(looked);
}

TEST_F(ViewRegisterTest, EveryEntryOfALongPayeeListSetsThePayee) {
    {
        CPayeesList payees;
        ASSERT_EQ(0, payees.Load(fixture_.folder + "/" + kPayeesListFile));
        payees.HoldSaves(true);
        char name[16];
        for (int i = 0; i < 1200; ++i) {
            std::snprintf(name, sizeof name, "Payee %04d", i);
            ASSERT_EQ(0, payees.AddSorted(std::make_unique<CPayeeItem>(name)));
        }
        payees.HoldSaves(false);
        ASSERT_EQ(0, payees.Save());
    }
    CTallowmereView& view = MakeView();
    SelectIds(view, {fixture_.cafeId});
    const RecordId category = Selected(view)->GetCategoryId();
    services_.popupChoices.push_back(QStringLiteral("Payee 1100"));
    view.ShowRegisterPopupMenu(QPoint(10, 10));
    const auto again = Reload();
    const CTransaction* t =
        again->FindAccountByName("Checking")->FindTransactionById(fixture_.cafeId);
    EXPECT_EQ("Payee 1100", t->GetPayeeName());
    EXPECT_EQ(category, t->GetCategoryId());
    EXPECT_EQ(fixture_.cafeId, Selected(view)->GetId());
}

TEST_F(ViewRegisterTest, SetCategoryOnATransferRemovesTheMirror) {
    CTallowmereView& view = MakeView();
    CAccount& checking = *view.CurrentAccount();
    CAccount& savings = *view.Data().FindAccountByName("Savings");
    const CTransaction* transfer = nullptr;
    for (int i = 0; i < checking.CountTransactions(0); ++i) {
        const CTransaction* t = checking.GetTransactionAt(0, i);
        if (t->GetCategoryId() == savings.Header().GetId())
            transfer = t;
    }
    ASSERT_NE(nullptr, transfer);
    const RecordId id = transfer->GetId();
    const Cents amount = transfer->GetSignedAmount();
    const Cents checkingBefore = checking.GetBalance(0);
    const int savingsRows = savings.CountTransactions(0);
    SelectIds(view, {id});
    services_.popupChoices.push_back(QStringLiteral("Groceries"));
    view.ShowRegisterPopupMenu(QPoint(10, 10));

    const auto again = Reload();
    const CAccount& c = *again->FindAccountByName("Checking");
    const CAccount& s = *again->FindAccountByName("Savings");
    const CTransaction* t = c.FindTransactionById(id);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(test::kGroceriesId, t->GetCategoryId());
    EXPECT_TRUE(t->GetLinkedId().IsNull());
    EXPECT_EQ(savingsRows - 1, s.CountTransactions(0));
    EXPECT_EQ(checkingBefore, c.GetBalance(0));
    EXPECT_EQ(amount, t->GetSignedAmount());
    EXPECT_EQ(savings.GetBalance(0), s.GetBalance(0));
}

TEST_F(ViewRegisterTest, StatusCellClicksByPage) {
    CTallowmereView& view = MakeView();
    CAccount& checking = *view.CurrentAccount();
    struct Case {
        std::uint8_t before;
        int mode;
        bool handled;
        std::uint8_t after;
    };
    const Case cases[] = {
        {kStatusOpen, 0, true, kStatusCleared},
        {kStatusCleared | 1, 0, true, kStatusOpen},
        {kStatusReconciled, 0, false, kStatusReconciled},
        {kStatusVoid, 0, false, kStatusVoid},
        {kStatusOpen, 3, true, kStatusOpen | 1},
        {kStatusCleared | 1, 3, true, kStatusCleared},
        {kStatusReconciled, 3, true, kStatusReconciled | 1},
        {kStatusVoid, 3, true, kStatusVoid | 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int{c.before} << " mode " << c.mode);
        CTransaction* t = checking.FindTransactionById(fixture_.memoId);
        t->SetStatus(c.before);
        ASSERT_EQ(0, checking.ResortTransactions());
        const std::string file = FileBytes("Checking");
        EXPECT_EQ(c.handled, view.ToggleTransactionStatus(c.mode, *t));
        EXPECT_EQ(c.after, t->GetStatus());
        // Nothing changed, nothing written.
        EXPECT_EQ(!c.handled, file == FileBytes("Checking"));
        const auto again = Reload();
        EXPECT_EQ(c.after, again->FindAccountByName("Checking")
                               ->FindTransactionById(fixture_.memoId)
                               ->GetStatus());
    }
    EXPECT_TRUE(services_.messages.empty());
}

TEST_F(ViewRegisterTest, HeaderClicksSortAndKeepTheSelection) {
    CTallowmereView& view = MakeView();
    CRegisterListCtrl& list = *view.RegisterList();
    int payeeSection = -1;
    int balanceSection = -1;
    for (int s = 0; s < list.header()->count(); ++s) {
        if (list.GetColumnId(s) == 4)
            payeeSection = s;
        if (list.GetColumnId(s) == 9)
            balanceSection = s;
    }
    ASSERT_GE(payeeSection, 0);
    ASSERT_GE(balanceSection, 0);
    SelectIds(view, {fixture_.cafeId});
    emit list.header()->sectionClicked(payeeSection);
    EXPECT_EQ(4, view.CurrentAccount()->GetSortMode());
    EXPECT_TRUE(view.CurrentAccount()->GetSortAscending());
    EXPECT_EQ(fixture_.cafeId, Selected(view)->GetId());
    emit list.header()->sectionClicked(payeeSection);
    EXPECT_FALSE(view.CurrentAccount()->GetSortAscending());
    EXPECT_EQ(fixture_.cafeId, Selected(view)->GetId());
    EXPECT_EQ(1, SelectedCount(view));
    // The first row stays chosen through a sort too.
    list.SetSelection(0, true);
    const RecordId first = Selected(view)->GetId();
    emit list.header()->sectionClicked(payeeSection);
    EXPECT_EQ(first, Selected(view)->GetId());
    emit list.header()->sectionClicked(balanceSection);
    EXPECT_EQ(1, services_.beeps);
    const auto again = Reload();
    const CAccount& c = *again->FindAccountByName("Checking");
    EXPECT_EQ(4, c.GetSortMode());
    EXPECT_TRUE(c.GetSortAscending());
    EXPECT_TRUE(c.IsInOrder());
}

TEST_F(ViewRegisterTest, ADraggedWidthIsStoredForThePage) {
    CTallowmereView& view = MakeView();
    CRegisterListCtrl& list = *view.RegisterList();
    int payee = -1;
    for (int s = 0; s < list.header()->count(); ++s) {
        if (list.GetColumnId(s) == 4)
            payee = s;
    }
    ASSERT_GE(payee, 0);
    list.header()->resizeSection(payee, 177);
    QTest::mouseRelease(list.header()->viewport(), Qt::LeftButton);
    QApplication::processEvents();
    const CShowColumns stored = LoadShowColumnsRegister();
    EXPECT_EQ(177, stored.GetWidth(stored.IndexOfId(4)));
}

TEST_F(ViewRegisterTest, TheAccountReadoutsPopupStoresItsType) {
    CTallowmereView& view = MakeView();
    const ViewRect r = view.Layout().accountReadout;
    services_.popupScripts.push_back([&](QMenu& menu) -> QAction* {
        auto* balance = menu.findChild<QAction*>(QStringLiteral("cmd_32833"));
        EXPECT_TRUE(balance != nullptr && balance->isChecked());
        // The menu over the read-out, for a person to look at.
        QImage image = view.grab().toImage();
        menu.adjustSize();
        QPainter painter(&image);
        painter.drawPixmap(r.x, r.y - menu.height(), menu.grab());
        painter.end();
        QDir().mkpath(QStringLiteral("renders"));
        image.save(QStringLiteral("renders/view-balance-popup.png"));
        return menu.findChild<QAction*>(QStringLiteral("cmd_32832"));
    });
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(r.x + 4, r.y + r.height / 2));
    ASSERT_EQ(1u, services_.popups.size());
    EXPECT_EQ(1u, GetPrefBalanceType(1));
    EXPECT_EQ(0u, GetPrefBalanceType(0));
    // With another filter the account read-out has no marker and no menu.
    auto* combo = view.findChild<QComboBox*>(QStringLiteral("id_5004"));
    combo->setCurrentIndex(3);
    emit combo->activated(3);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(r.x + 4, r.y + r.height / 2));
    EXPECT_EQ(1u, services_.popups.size());
}

TEST_F(ViewRegisterTest, NewHiddenByTheFilterSwitchesToAll) {
    CTallowmereView& view = MakeView();
    auto* combo = view.findChild<QComboBox*>(QStringLiteral("id_5004"));
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    ASSERT_EQ(1, view.Filter());
    services_.dialogScripts.push_back([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("id_1006"))->setText(QStringLiteral("12.34"));
        dialog.findChild<QPushButton*>(QStringLiteral("id_1"))->click();
        return dialog.result();
    });
    const int before = view.CurrentAccount()->CountTransactions(0);
    view.RunCommand(32789);
    ASSERT_EQ(before + 1, view.CurrentAccount()->CountTransactions(0));
    EXPECT_EQ(0, view.Filter());
    EXPECT_EQ(0, combo->currentIndex());
    const CTransaction* t = Selected(view);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(1234, t->GetAmount());
}

TEST_F(ViewRegisterTest, ATransferSelectsItsSideInTheCurrentAccount) {
    CTallowmereView& view = MakeView();
    const int savingsRows = view.Data().FindAccountByName("Savings")->CountTransactions(0);
    services_.dialogScripts.push_back([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("id_1006"))->setText(QStringLiteral("25.00"));
        dialog.accept();
        return dialog.result();
    });
    view.RunCommand(32790);
    ASSERT_EQ(std::vector<QString>{QStringLiteral("id_140")}, services_.dialogs);
    const CTransaction* t = Selected(view);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(2500, t->GetAmount());
    EXPECT_EQ(view.Data().FindAccountByName("Savings")->Header().GetId(), t->GetCategoryId());
    const auto again = Reload();
    EXPECT_EQ(savingsRows + 1, again->FindAccountByName("Savings")->CountTransactions(0));
    EXPECT_NE(nullptr, again->FindAccountByName("Checking")->FindTransactionById(t->GetId()));
}

TEST_F(ViewRegisterTest, ADoubleClickOnARowEditsIt) {
    CTallowmereView& view = MakeView();
    CRegisterListCtrl& list = *view.RegisterList();
    const int row = list.FindTransactionRow(fixture_.cafeId);
    ASSERT_GE(row, 0);
    list.EnsureVisible(row);
    int payee = -1;
    for (int s = 0; s < list.header()->count(); ++s) {
        if (list.GetColumnId(s) == 4)
            payee = s;
    }
    const QRect cell = list.visualRect(list.Model().index(row, 0));
    const QPoint at(list.header()->sectionViewportPosition(payee) + 10, cell.center().y());
    QString payeeShown;
    services_.dialogScripts.push_back([&](QDialog& dialog) {
        payeeShown = dialog.findChild<QComboBox*>(QStringLiteral("id_1003"))->currentText();
        return 2;
    });
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(std::vector<QString>{QStringLiteral("id_133")}, services_.dialogs);
    EXPECT_EQ(Utf8(test::kCafePayee), payeeShown);
}

TEST_F(ViewRegisterTest, EditingADownloadedRowOpensItsReview) {
    CTallowmereView& view = MakeView();
    SelectIds(view, {fixture_.downloadedId});
    view.RunCommand(32771);
    EXPECT_EQ(std::vector<QString>{QStringLiteral("id_160")}, services_.dialogs);
}

TEST_F(ViewRegisterTest, SetCategoryOnASplitsCopyAloneIsRefused) {
    CTallowmereView& view = MakeView();
    view.ShowAccount(view.Data().FindAccountByName("Visa"));
    CRegisterListCtrl& list = *view.RegisterList();
    RecordId copyId;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (list.GetTransactionAt(row)->IsSplitTransferCopy())
            copyId = list.GetTransactionAt(row)->GetId();
    }
    ASSERT_FALSE(copyId.IsNull());
    const std::string before = FileBytes("Visa");
    SelectIds(view, {copyId});
    services_.popupChoices.push_back(QStringLiteral("Groceries"));
    view.ShowRegisterPopupMenu(QPoint(10, 10));
    ASSERT_EQ(1u, services_.messages.size());
    EXPECT_EQ(178, services_.messages[0].stringId);
    EXPECT_EQ(before, FileBytes("Visa"));
}

TEST_F(ViewRegisterTest, OnReconcileTheButtonsWorkWhileTheMenuNewIsOff) {
    CTallowmereView& view = MakeView();
    services_.dialogScripts.push_back([](QDialog& dialog) {
        if (auto* edit =
                dialog.findChild<QLineEdit*>(QStringLiteral("id_%1").arg(kStatementEnding)))
            edit->setText(QStringLiteral("100.00"));
        dialog.accept();
        return dialog.result();
    });
    ASSERT_TRUE(view.SelectPage(3));
    EXPECT_FALSE(view.QueryCommand(32789).value_or(CommandState{}).enabled);
    EXPECT_FALSE(view.QueryCommand(32790).value_or(CommandState{}).enabled);
    for (const int id : {5005, 5006, 5007, 32771, 32828})
        EXPECT_TRUE(view.QueryCommand(id).value_or(CommandState{}).enabled) << id;
    EXPECT_FALSE(view.QueryCommand(32772).value_or(CommandState{}).enabled);
    view.RegisterList()->SetSelection(0, true);
    EXPECT_TRUE(view.QueryCommand(32772).value_or(CommandState{}).enabled);
    ASSERT_TRUE(view.SelectPage(1));
    EXPECT_FALSE(view.QueryCommand(32789).value_or(CommandState{}).enabled);
    EXPECT_FALSE(view.QueryCommand(5005).value_or(CommandState{}).enabled);
}

TEST_F(ViewRegisterTest, WithTheBusyLockHeldElsewhereWritingCommandsDoNothing) {
    CTallowmereView& view = MakeView();
    SelectIds(view, {fixture_.cafeId});
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
    const std::string checking = FileBytes("Checking");
    const std::string savings = FileBytes("Savings");
    services_.answers.push_back(Answer::kYes);
    view.RunCommand(32789);  // New
    view.RunCommand(32772);  // Delete
    view.RunCommand(32790);  // Transfer
    services_.popupChoices.push_back(QStringLiteral("Groceries"));
    view.ShowRegisterPopupMenu(QPoint(10, 10));  // Set Category
    CTransaction* t = view.CurrentAccount()->FindTransactionById(fixture_.cafeId);
    EXPECT_FALSE(view.ToggleTransactionStatus(0, *t));
    done = true;
    other.join();
    EXPECT_TRUE(services_.messages.empty());
    EXPECT_TRUE(services_.dialogs.empty());
    EXPECT_EQ(kStatusOpen, t->GetStatus());
    EXPECT_EQ(test::kDiningId, t->GetCategoryId());
    EXPECT_EQ(checking, FileBytes("Checking"));
    EXPECT_EQ(savings, FileBytes("Savings"));
}

}  // namespace
}  // namespace tallowmere::ui
