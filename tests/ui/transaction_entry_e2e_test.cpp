// A transaction entered and edited end to end: the program's main window
// and view over a data folder, the transaction dialog opened on the view's
// current account as the register's commands open it, and its splits and
// currency conversion driven through their widgets. The account and
// currency files are then read back with a fresh load.
//
// Set TALLOWMERE_SHOTS to a folder to keep pictures of the dialogs as they
// were filled.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <array>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "model/accounts.h"
#include "model/currency.h"
#include "ui/app_windows.h"
#include "ui/icon_list.h"
#include "ui/list_editor_ctrls.h"
#include "ui/list_editor_dlgs.h"
#include "ui/list_editor_hooks.h"
#include "ui/logic/transaction_dialog_logic.h"
#include "ui/view_fixture.h"

namespace tallowmere::ui {
namespace {

template <typename W>
W* Find(QWidget& dialog, int id) {
    W* widget = dialog.findChild<W*>(QStringLiteral("id_%1").arg(id));
    EXPECT_NE(nullptr, widget) << id;
    return widget;
}

// On X the window must be mapped before it can take the input focus.
bool Activate(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

// Focuses the field and types over its text: keys go to the focus widget.
void TypeInto(QWidget* widget, const QString& text) {
    ASSERT_NE(nullptr, widget);
    // A sub-dialog that closed may have left no window active.
    if (QApplication::activeWindow() != widget->window()) {
        ASSERT_TRUE(Activate(*widget->window()));
    }
    widget->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([widget] { return QApplication::focusWidget() == widget; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

void Click(QWidget* button) {
    ASSERT_NE(nullptr, button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void Shoot(QWidget& widget, const char* name) {
    const char* folder = std::getenv("TALLOWMERE_SHOTS");
    if (folder == nullptr || *folder == '\0')
        return;
    const QString platform = QGuiApplication::platformName();
    widget.grab().save(QStringLiteral("%1/%2-%3.png").arg(folder, name, platform));
}

// The splits dialog: category and amount of each given row, then OK.
struct SplitRow {
    int row;
    const char* category;  // null: left as it is
    const char* amount;
};
std::function<int(QDialog&)> FillSplits(std::vector<SplitRow> rows, const char* shot) {
    return [rows, shot](QDialog& d) {
        EXPECT_EQ("id_138", d.objectName());
        EXPECT_TRUE(Activate(d));
        for (const SplitRow& r : rows) {
            if (r.category != nullptr)
                TypeInto(Find<QComboBox>(d, 1021 + 3 * r.row), QString::fromUtf8(r.category));
            TypeInto(Find<QLineEdit>(d, 1023 + 3 * r.row), QString::fromUtf8(r.amount));
        }
        // Leaving the last amount shows the totals.
        TypeInto(Find<QLineEdit>(d, 1022), Find<QLineEdit>(d, 1022)->text());
        Shoot(d, shot);
        Click(Find<QPushButton>(d, 1));
        return d.result();
    };
}

// The conversion: the pound chosen by key, 250.00 at 0.4, Calculate, OK.
std::function<int(QDialog&)> ConvertFromPounds() {
    return [](QDialog& d) {
        EXPECT_EQ("id_167", d.objectName());
        EXPECT_TRUE(Activate(d));
        auto* currency = Find<QComboBox>(d, 1139);
        currency->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        for (int i = 0; i < currency->count() && currency->currentText() != QStringLiteral("£");
             ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        EXPECT_EQ(QStringLiteral("£"), currency->currentText());
        // The pound's stored rate of 2 per dollar, as dollars per pound.
        EXPECT_EQ(QStringLiteral("0.5000000000"), Find<QLineEdit>(d, 1141)->text());
        TypeInto(Find<QLineEdit>(d, 1140), QStringLiteral("250.00"));
        TypeInto(Find<QLineEdit>(d, 1141), QStringLiteral("0.4"));
        TypeInto(Find<QLineEdit>(d, 1142), QString());
        Click(Find<QPushButton>(d, 3));
        EXPECT_EQ(QStringLiteral("100.00"), Find<QLineEdit>(d, 1142)->text());
        Shoot(d, "convert");
        Click(Find<QPushButton>(d, 1));
        return d.result();
    };
}

// What the register does after a save: the panes show the new state.
class RegisterHost final : public TransactionViewHost {
  public:
    explicit RegisterHost(CTallowmereView& view) : view_(view) {}
    void RefreshPanes() override {
        ++refreshes;
        view_.RefreshAccountsPane();
        if (CAccount* current = view_.CurrentAccount())
            view_.RefreshForAccount(current->Header().GetId());
    }
    int refreshes = 0;

  private:
    CTallowmereView& view_;
};

class TransactionEntryTest : public test::ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        // Strip 0 of the dialogs' icon buttons, as the program loads it.
        ASSERT_TRUE(SetupIconList(0, 166, 1, 2, 23, 23, 0, QColor(255, 153, 51)));
        windows_ = std::make_unique<AppWindows>(app_, test::MakeTempDir("lock"));
        windows_->SetSyncServer(nullptr, {});
        ASSERT_TRUE(windows_->CreateMainWindow());
        windows_->MainFrame()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(windows_->MainFrame()));
        view_ = windows_->MainFrame()->findChild<CTallowmereView*>();
        ASSERT_NE(nullptr, view_);
        view_->ShowAccount(view_->Data().FindAccountByName("Checking"));
        ASSERT_NE(nullptr, view_->CurrentAccount());
        ASSERT_EQ("Checking", view_->CurrentAccount()->Header().GetName());
        host_ = std::make_unique<RegisterHost>(*view_);
    }
    void TearDown() override {
        windows_.reset();
        ViewTest::TearDown();
    }

    // The transaction dialog on the view's current account, under the busy
    // lock, its buttons opening the list editors.
    int RunOnCurrent(const CTransaction* stored) {
        CBusyLock lock(*view_);
        EXPECT_TRUE(lock.Held());
        CAccounts& data = view_->Data();
        return RunTransactionDialog(view_, data, *view_->CurrentAccount(), stored, false,
                                    host_.get(), ListEditorHooks(data));
    }
    std::unique_ptr<CAccounts> Reload() const {
        std::unique_ptr<CAccounts> data;
        EXPECT_EQ(0, CAccounts::LoadInto(data, fixture_.folder, {}));
        return data;
    }
    static const CTransaction* ByPayee(const CAccount& account, const std::string& payee) {
        for (const auto& t : account.Transactions()) {
            if (t->GetPayeeName() == payee)
                return t.get();
        }
        return nullptr;
    }
    static std::vector<const CTransaction*> LinkedTo(const CAccount& account, const RecordId& id) {
        std::vector<const CTransaction*> found;
        for (const auto& t : account.Transactions()) {
            if (t->GetLinkedId() == id)
                found.push_back(t.get());
        }
        return found;
    }
    static CurrencyId PoundId(const CAccounts& data) {
        return data.FindAccountByName("Savings")->Header().GetCurrencyId();
    }

    std::unique_ptr<AppWindows> windows_;
    CTallowmereView* view_ = nullptr;
    std::unique_ptr<RegisterHost> host_;
};

TEST_F(TransactionEntryTest, SplitsATransferAndAConversionReachTheAccountFiles) {
    const int rowsBefore = view_->GetRegisterItemCount();

    // New: a payee, the amount from pounds, then two split lines of which
    // one goes to Savings.
    services_.dialogScripts.push_back([this](QDialog& d) {
        EXPECT_EQ("id_133", d.objectName());
        EXPECT_TRUE(Activate(d));
        EXPECT_EQ(QApplication::focusWidget(), Find<QComboBox>(d, kTransPayee));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Hardware Store"));
        services_.dialogScripts.push_back(ConvertFromPounds());
        Click(Find<QWidget>(d, kTransCurrencyButton));
        EXPECT_EQ(QStringLiteral("100.00"), Find<QLineEdit>(d, kTransAmount)->text());
        services_.dialogScripts.push_back(
            FillSplits({{0, "Groceries", "60.00"}, {1, "[Savings]", "40.00"}}, "splits"));
        Click(Find<QPushButton>(d, kTransSplit));
        TypeInto(Find<QLineEdit>(d, kTransMemo), QStringLiteral("Shelves"));
        Shoot(d, "transaction");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        return d.result();
    });
    ASSERT_EQ(1, RunOnCurrent(nullptr));
    EXPECT_TRUE(services_.messages.empty());
    EXPECT_EQ((std::vector<QString>{"id_133", "id_167", "id_138"}), services_.dialogs);
    EXPECT_EQ(rowsBefore + 1, view_->GetRegisterItemCount());

    {
        std::unique_ptr<CAccounts> files = Reload();
        const CAccount& checking = *files->FindAccountByName("Checking");
        const CAccount& savings = *files->FindAccountByName("Savings");
        const CTransaction* t = ByPayee(checking, "Hardware Store");
        ASSERT_NE(nullptr, t);
        EXPECT_EQ(10000, t->GetAmount());
        EXPECT_EQ(SplitMarkerId, t->GetCategoryId());
        EXPECT_EQ("Shelves", t->GetMemo());
        EXPECT_EQ(25000, t->GetBaseAmount());
        EXPECT_EQ(PoundId(*files), t->GetSourceCurrency());
        EXPECT_EQ(test::kGroceriesId, t->GetSplitCategoryId(0));
        EXPECT_EQ(6000, t->GetSplitAmount(0));
        EXPECT_EQ(savings.Header().GetId(), t->GetSplitCategoryId(1));
        EXPECT_EQ(4000, t->GetSplitAmount(1));
        // Dollars per pound 0.4: 2.5 pounds per dollar.
        EXPECT_DOUBLE_EQ(2.5, files->Currencies().FindById(PoundId(*files))->GetRate());
        const std::vector<const CTransaction*> mirrors = LinkedTo(savings, t->GetId());
        ASSERT_EQ(1u, mirrors.size());
        EXPECT_EQ(t->GetSplitLinkedId(1), mirrors[0]->GetId());
        EXPECT_EQ(10000, mirrors[0]->GetAmount());  // 40.00 dollars in pounds
    }

    // Edit: the split lines change twice, each time through OK; the
    // transfer line keeps one mirror in Savings.
    const std::array<std::array<const char*, 2>, 2> edits = {
        {{"70.00", "30.00"}, {"75.00", "25.00"}}};
    for (const auto& amounts : edits) {
        const CTransaction* live = ByPayee(*view_->CurrentAccount(), "Hardware Store");
        ASSERT_NE(nullptr, live);
        const std::string first = amounts[0];
        const std::string second = amounts[1];
        services_.dialogScripts.push_back([this, first, second](QDialog& d) {
            EXPECT_TRUE(Activate(d));
            EXPECT_EQ(QStringLiteral("100.00"), Find<QLineEdit>(d, kTransAmount)->text());
            // The conversion opens from what was entered before it.
            services_.dialogScripts.push_back([](QDialog& convert) {
                EXPECT_TRUE(Activate(convert));
                EXPECT_EQ(QStringLiteral("£"), Find<QComboBox>(convert, 1139)->currentText());
                EXPECT_EQ(QStringLiteral("250.00"), Find<QLineEdit>(convert, 1140)->text());
                EXPECT_EQ(QStringLiteral("0.4000000000"), Find<QLineEdit>(convert, 1141)->text());
                EXPECT_EQ(QStringLiteral("100.00"), Find<QLineEdit>(convert, 1142)->text());
                Click(Find<QPushButton>(convert, 2));
                return convert.result();
            });
            Click(Find<QWidget>(d, kTransCurrencyButton));
            services_.dialogScripts.push_back(FillSplits(
                {{0, nullptr, first.c_str()}, {1, nullptr, second.c_str()}}, "splits-edit"));
            Click(Find<QPushButton>(d, kTransSplit));
            Click(Find<QPushButton>(d, 1));
            return d.result();
        });
        services_.dialogs.clear();
        ASSERT_EQ(1, RunOnCurrent(live));
        EXPECT_TRUE(services_.messages.empty());
        EXPECT_EQ((std::vector<QString>{"id_133", "id_167", "id_138"}), services_.dialogs);

        std::unique_ptr<CAccounts> files = Reload();
        const CTransaction* t = ByPayee(*files->FindAccountByName("Checking"), "Hardware Store");
        ASSERT_NE(nullptr, t);
        const std::vector<const CTransaction*> mirrors =
            LinkedTo(*files->FindAccountByName("Savings"), t->GetId());
        ASSERT_EQ(1u, mirrors.size());
        EXPECT_EQ(t->GetSplitLinkedId(1), mirrors[0]->GetId());
        EXPECT_EQ(std::stoi(second) * 250, mirrors[0]->GetAmount());
        EXPECT_EQ(std::stoi(first) * 100, t->GetSplitAmount(0));
    }
}

TEST_F(TransactionEntryTest, ATypedTransferToSavingsMakesItsMirror) {
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_TRUE(Activate(d));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("To the rainy day"));
        TypeInto(Find<QLineEdit>(d, kTransAmount), QStringLiteral("25.00"));
        TypeInto(Find<QComboBox>(d, kTransCategory), QStringLiteral("[Savings]"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        return d.result();
    });
    ASSERT_EQ(1, RunOnCurrent(nullptr));
    EXPECT_TRUE(services_.messages.empty());
    EXPECT_EQ(1, host_->refreshes);
    std::unique_ptr<CAccounts> files = Reload();
    const CAccount& savings = *files->FindAccountByName("Savings");
    const CTransaction* t = ByPayee(*files->FindAccountByName("Checking"), "To the rainy day");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(savings.Header().GetId(), t->GetCategoryId());
    const std::vector<const CTransaction*> mirrors = LinkedTo(savings, t->GetId());
    ASSERT_EQ(1u, mirrors.size());
    EXPECT_EQ(t->GetLinkedId(), mirrors[0]->GetId());
    EXPECT_EQ(5000, mirrors[0]->GetAmount());  // at 2 pounds per dollar
}

// A list editor that picks the given row and closes with Done; its chosen
// name is kept.
std::function<int(QDialog&)> PickRow(const char* id, int row, QString* chosen) {
    return [id, row, chosen](QDialog& d) {
        EXPECT_EQ(id, d.objectName());
        EXPECT_TRUE(Activate(d));
        auto& editor = dynamic_cast<CListEditorDlg&>(d);
        editor.List().SetSelection(row, true);
        Shoot(d, id);
        Click(Find<QPushButton>(d, 1));
        *chosen = editor.ChosenName();
        return d.result();
    };
}

TEST_F(TransactionEntryTest, TheFieldButtonsOpenTheListEditors) {
    CAccounts& data = view_->Data();
    const int groceries = data.Categories().IndexOfId(test::kGroceriesId);
    const int business = data.Classes().IndexOfLiveId(fixture_.businessClass);
    ASSERT_GE(groceries, 0);
    ASSERT_GE(business, 0);
    QString payee;
    QString category;
    QString classText;
    services_.dialogScripts.push_back([&](QDialog& d) {
        EXPECT_TRUE(Activate(d));
        services_.dialogScripts.push_back(PickRow("id_1592", 0, &payee));
        Click(Find<QWidget>(d, kTransPayeesButton));
        EXPECT_FALSE(payee.isEmpty());
        EXPECT_EQ(payee, Find<QComboBox>(d, kTransPayee)->currentText());
        services_.dialogScripts.push_back(PickRow("id_1593", groceries, &category));
        Click(Find<QWidget>(d, kTransCategoriesButton));
        EXPECT_EQ(QStringLiteral("Groceries"), category);
        EXPECT_EQ(category, Find<QComboBox>(d, kTransCategory)->currentText());
        services_.dialogScripts.push_back(PickRow("id_1594", business, &classText));
        Click(Find<QWidget>(d, kTransClassesButton));
        EXPECT_EQ(QStringLiteral("Business"), classText);
        EXPECT_EQ(classText, Find<QComboBox>(d, kTransClass)->currentText());
        // The conversion's own button reaches the currencies.
        services_.dialogScripts.push_back([this](QDialog& convert) {
            EXPECT_TRUE(Activate(convert));
            services_.dialogScripts.push_back([](QDialog& currencies) {
                EXPECT_EQ("id_179", currencies.objectName());
                Click(Find<QPushButton>(currencies, 1));
                return currencies.result();
            });
            Click(Find<QWidget>(convert, 1143));
            Click(Find<QPushButton>(convert, 2));
            return convert.result();
        });
        Click(Find<QWidget>(d, kTransCurrencyButton));
        Click(Find<QPushButton>(d, 2));
        return d.result();
    });
    EXPECT_EQ(2, RunOnCurrent(nullptr));
    EXPECT_EQ((std::vector<QString>{"id_133", "id_1592", "id_1593", "id_1594", "id_167", "id_179"}),
              services_.dialogs);
    EXPECT_TRUE(services_.messages.empty());
}

}  // namespace
}  // namespace tallowmere::ui
