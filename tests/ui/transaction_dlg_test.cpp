#include "ui/transaction_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <string>

#include "ui/icon_list.h"
#include "ui/icon_list_button.h"
#include "ui/scripted_services.h"
#include "ui_logic/transaction_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

template <typename W>
W* Find(QWidget& dialog, int id) {
    return dialog.findChild<W*>(QStringLiteral("id_%1").arg(id));
}

bool Activate(QDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    return QTest::qWaitForWindowActive(&dialog);
}

// Focuses the widget and types over its text, as a user would: keys go to
// the focus widget.
void TypeInto(QWidget* widget, const QString& text) {
    widget->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([widget] { return QApplication::focusWidget() == widget; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

class TransactionDlgTest : public ::testing::Test {
  protected:
    TransactionDlgTest() : world("transdlg") {
        // Strip 0 of the icon buttons, as the program loads it at start-up.
        EXPECT_TRUE(SetupIconList(0, 166, 1, 2, 23, 23, 0, QColor(255, 153, 51)));
    }

    std::unique_ptr<CTransactionDlg> Make(const CTransaction* stored = nullptr,
                                          bool recordMode = false) {
        return std::make_unique<CTransactionDlg>(*world.set, *world.checking, stored, recordMode,
                                                 &host, TransactionEditors{});
    }
    int CountMessages(int id) const {
        int n = 0;
        for (const MessageRequest& m : services.messages)
            n += m.stringId == id ? 1 : 0;
        return n;
    }

    test::TransactionWorld world;
    test::ScriptedServices services;
    test::CountingHost host;
};

TEST_F(TransactionDlgTest, EnterAfterAKnownPayeeGoesToOkAndAsksForTheAmount) {
    auto dialog = Make();
    ASSERT_TRUE(Activate(*dialog));
    auto* payee = Find<QComboBox>(*dialog, kTransPayee);
    auto* amount = Find<QLineEdit>(*dialog, kTransAmount);
    TypeInto(payee, QStringLiteral("Grocer"));
    ASSERT_EQ(payee->currentText(), QStringLiteral("Grocer"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(CountMessages(kStringNeedAmount), 1);
    EXPECT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(amount->text().isEmpty());
    EXPECT_TRUE(dialog->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_EQ(CountMessages(kStringNeedAmount), 2);
    EXPECT_TRUE(amount->text().isEmpty());
}

TEST_F(TransactionDlgTest, TabAndShiftTabOnAKnownPayeeFillAndKeepTheFocusOnTheAmount) {
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        SCOPED_TRACE(key == Qt::Key_Tab ? "Tab" : "Shift+Tab");
        auto dialog = Make();
        ASSERT_TRUE(Activate(*dialog));
        auto* payee = Find<QComboBox>(*dialog, kTransPayee);
        auto* amount = Find<QLineEdit>(*dialog, kTransAmount);
        TypeInto(payee, QStringLiteral("grocer"));
        QTest::keyClick(QApplication::focusWidget(), key,
                        key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        EXPECT_EQ(QApplication::focusWidget(), amount);
        EXPECT_EQ(amount->text(), QStringLiteral("42.50"));
        EXPECT_EQ(amount->selectedText(), QStringLiteral("42.50"));
        EXPECT_EQ(Find<QComboBox>(*dialog, kTransCategory)->currentText(),
                  QStringLiteral("Groceries"));
        EXPECT_EQ(Find<QComboBox>(*dialog, kTransClass)->currentText(), QStringLiteral("Business"));
    }
}

TEST_F(TransactionDlgTest, ChoosingAPayeeByKeyFillsButLeavingTheFieldDoesNot) {
    auto dialog = Make();
    ASSERT_TRUE(Activate(*dialog));
    auto* payee = Find<QComboBox>(*dialog, kTransPayee);
    auto* amount = Find<QLineEdit>(*dialog, kTransAmount);
    TypeInto(payee, QStringLiteral("Grocer"));
    Find<QComboBox>(*dialog, kTransClass)->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !payee->hasFocus(); }));
    EXPECT_TRUE(amount->text().isEmpty());

    TypeInto(payee, QString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(payee->currentText(), QStringLiteral("Grocer"));
    EXPECT_EQ(amount->text(), QStringLiteral("42.50"));
    EXPECT_EQ(QApplication::focusWidget(), amount);
}

TEST_F(TransactionDlgTest, TabOnAnUnknownPayeeMovesOn) {
    auto dialog = Make();
    ASSERT_TRUE(Activate(*dialog));
    auto* payee = Find<QComboBox>(*dialog, kTransPayee);
    TypeInto(payee, QStringLiteral("Nobody"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), payee);
    EXPECT_TRUE(Find<QLineEdit>(*dialog, kTransAmount)->text().isEmpty());
}

TEST_F(TransactionDlgTest, ReturnInTheCategoryComboSavesWithoutAPayeeFill) {
    auto dialog = Make();
    ASSERT_TRUE(Activate(*dialog));
    TypeInto(Find<QLineEdit>(*dialog, kTransAmount), QStringLiteral("5.00"));
    TypeInto(Find<QComboBox>(*dialog, kTransCategory), QStringLiteral("Groceries"));
    Find<QLineEdit>(*dialog, kTransMemo)->setText(QStringLiteral("by return"));
    Find<QComboBox>(*dialog, kTransCategory)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog->result(), 1);
    EXPECT_TRUE(services.messages.empty());
    bool found = false;
    for (int i = 0; i < world.checking->CountTransactions(0); ++i) {
        const CTransaction* t = world.checking->GetTransactionAt(0, i);
        if (t->GetMemo() == "by return") {
            found = true;
            EXPECT_EQ(t->GetAmount(), 500);
            EXPECT_EQ(t->GetCategoryId(), world.groceries);
        }
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(host.refreshes, 1);
}

TEST_F(TransactionDlgTest, OpeningAStoredTransactionFiresNothing) {
    CTransaction* transfer = world.InChecking(world.transferId);
    const std::string before = world.File(*world.checking);
    auto dialog = Make(transfer);
    ASSERT_TRUE(Activate(*dialog));
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(Find<QComboBox>(*dialog, kTransCategory)->currentText(), QStringLiteral("[Savings]"));
    EXPECT_EQ(Find<QComboBox>(*dialog, kTransPayee)->currentText(), QStringLiteral("To savings"));
    EXPECT_EQ(Find<QLineEdit>(*dialog, kTransAmount)->text(), QStringLiteral("50.00"));
    EXPECT_TRUE(Find<QPushButton>(*dialog, kTransDelete)->isVisible());
    EXPECT_TRUE(Find<QPushButton>(*dialog, kTransPurge)->isVisible());
    EXPECT_FALSE(Find<QLineEdit>(*dialog, kTransCheckNumber)->isVisible());
    Find<QPushButton>(*dialog, 1)->click();
    EXPECT_EQ(dialog->result(), 1);
    EXPECT_TRUE(world.File(*world.checking) == before);
}

TEST_F(TransactionDlgTest, DeleteAsksWithNoAsTheDefaultAndEndsWith101) {
    auto dialog = Make(world.InChecking(world.transferId));
    ASSERT_TRUE(Activate(*dialog));
    auto* remove = Find<QPushButton>(*dialog, kTransDelete);
    remove->click();  // the default answer, No
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].stringId, kStringAskDelete);
    EXPECT_EQ(services.messages[0].defaultAnswer, Answer::kNo);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(world.InChecking(world.transferId), nullptr);

    services.answers.push_back(Answer::kYes);
    remove->click();
    EXPECT_EQ(dialog->result(), kTransactionGone);
    EXPECT_EQ(world.InChecking(world.transferId), nullptr);
    EXPECT_EQ(world.savings->CountTransactions(0), 0);
    EXPECT_EQ(host.refreshes, 1);
}

TEST_F(TransactionDlgTest, TheCheckTypeShowsTheNumberAndTheStatusTableKeepsItsOrder) {
    auto dialog = Make();
    ASSERT_TRUE(Activate(*dialog));
    auto* type = Find<QComboBox>(*dialog, kTransType);
    auto* check = Find<QLineEdit>(*dialog, kTransCheckNumber);
    EXPECT_FALSE(check->isVisible());
    EXPECT_EQ(type->itemText(0), QStringLiteral("Check "));
    type->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    EXPECT_EQ(type->currentIndex(), 0);
    EXPECT_TRUE(check->isVisible());
    EXPECT_TRUE(Find<QLabel>(*dialog, kTransCheckLabel)->isVisible());
    EXPECT_EQ(check->text(), QStringLiteral("1041"));

    auto* status = Find<QComboBox>(*dialog, kTransStatus);
    ASSERT_EQ(status->count(), 4);
    const char* texts[] = {"Uncleared", "Cleared", "Reconciled", "Void"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(status->itemText(i), QString::fromLatin1(texts[i]));
    EXPECT_FALSE(Find<QPushButton>(*dialog, kTransDelete)->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Transaction Info"));
}

TEST_F(TransactionDlgTest, RecordModeReadsRecordAndOffersNoDelete) {
    CTransaction occurrence;
    occurrence.SetTypeId(WithdrawalTypeId);
    occurrence.SetAmount(1200);
    auto dialog = Make(&occurrence, true);
    ASSERT_TRUE(Activate(*dialog));
    EXPECT_EQ(Find<QPushButton>(*dialog, 1)->text(), QStringLiteral("Record"));
    EXPECT_FALSE(Find<QPushButton>(*dialog, kTransDelete)->isVisible());
    EXPECT_FALSE(Find<QPushButton>(*dialog, kTransPurge)->isVisible());
}

TEST_F(TransactionDlgTest, SplitsAndConversionRunThroughTheServices) {
    auto dialog = Make();
    ASSERT_TRUE(Activate(*dialog));
    TypeInto(Find<QLineEdit>(*dialog, kTransAmount), QStringLiteral("30.00"));
    services.dialogScripts.push_back([](QDialog& d) {
        Find<QComboBox>(d, 1021)->setEditText(QStringLiteral("Groceries"));
        Find<QLineEdit>(d, 1023)->setText(QStringLiteral("10.00"));
        Find<QComboBox>(d, 1024)->setEditText(QStringLiteral("[Savings]"));
        Find<QLineEdit>(d, 1026)->setText(QStringLiteral("20.00"));
        Find<QPushButton>(d, 1)->click();
        return d.result();
    });
    Find<QPushButton>(*dialog, kTransSplit)->click();
    ASSERT_EQ(services.dialogs.size(), 1u);
    EXPECT_EQ(services.dialogs[0], QStringLiteral("id_138"));
    auto* category = Find<QComboBox>(*dialog, kTransCategory);
    EXPECT_EQ(category->currentText(), QStringLiteral("-SPLIT-"));
    EXPECT_FALSE(category->isEnabled());
    EXPECT_FALSE(Find<QComboBox>(*dialog, kTransClass)->isEnabled());

    services.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(Find<QLineEdit>(d, 1142)->text(), QStringLiteral("30.00"));
        d.done(2);
        return 2;
    });
    Find<CIconListButton>(*dialog, kTransCurrencyButton)->click();
    ASSERT_EQ(services.dialogs.size(), 2u);
    EXPECT_EQ(services.dialogs[1], QStringLiteral("id_167"));

    Find<QLineEdit>(*dialog, kTransMemo)->setText(QStringLiteral("split e2e"));
    Find<QPushButton>(*dialog, 1)->click();
    EXPECT_EQ(dialog->result(), 1);

    // On disk: the split with its line's mirror in Savings.
    std::unique_ptr<CAccounts> loaded;
    ASSERT_EQ(CAccounts::LoadInto(loaded, world.set->GetFolder(), {}), 0);
    const CAccount& checking = *loaded->FindAccountByName("Checking");
    const CAccount& savings = *loaded->FindAccountByName("Savings");
    const CTransaction* split = nullptr;
    for (int i = 0; i < checking.CountTransactions(0); ++i) {
        if (checking.GetTransactionAt(0, i)->GetMemo() == "split e2e")
            split = checking.GetTransactionAt(0, i);
    }
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(split->GetCategoryId(), SplitMarkerId);
    EXPECT_EQ(split->GetAmount(), 3000);
    EXPECT_EQ(split->GetSplitAmount(1), 2000);
    const CTransaction* mirror = savings.FindTransactionById(split->GetSplitLinkedId(1));
    ASSERT_NE(mirror, nullptr);
    EXPECT_EQ(mirror->GetAmount(), 2000);
    EXPECT_EQ(savings.CountTransactions(0), 2);  // the old transfer and the new line
}

// Saves the dialog as a picture where TALLOWMERE_SHOTS names a folder, for
// a person to look at.
TEST_F(TransactionDlgTest, Screenshot) {
    const char* folder = std::getenv("TALLOWMERE_SHOTS");
    if (folder == nullptr)
        GTEST_SKIP();
    auto dialog = Make(world.InChecking(world.transferId));
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    EXPECT_TRUE(dialog->grab().save(QString::fromLocal8Bit(folder) + "/transaction_edit.png"));
    auto fresh = Make();
    fresh->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fresh.get()));
    auto* type = Find<QComboBox>(*fresh, kTransType);
    type->setCurrentIndex(0);
    emit type->activated(0);
    EXPECT_TRUE(fresh->grab().save(QString::fromLocal8Bit(folder) + "/transaction_new.png"));
    auto split = Make(world.InChecking(world.splitId));
    split->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(split.get()));
    EXPECT_TRUE(split->grab().save(QString::fromLocal8Bit(folder) + "/transaction_split.png"));
}

}  // namespace
}  // namespace tallowmere::ui
