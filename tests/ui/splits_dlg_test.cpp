#include "ui/splits_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "ui/money_static.h"
#include "ui/scripted_services.h"
#include "ui_logic/dialog_data_fixture.h"

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

// Any pixel of the static in the colour of its text.
bool HasPixel(CMoneyStatic* field, bool (*test)(QColor)) {
    const QImage image = field->grab().toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (test(image.pixelColor(x, y)))
                return true;
        }
    }
    return false;
}
bool Red(QColor c) {
    return c.red() > 200 && c.green() < 80 && c.blue() < 80;
}
bool Dark(QColor c) {
    return c.red() < 80 && c.green() < 80 && c.blue() < 80;
}

class SplitsDlgTest : public ::testing::Test {
  protected:
    SplitsDlgTest()
        : set(test::LoadDefaultDataSet("splitsdlg")),
          checking(set->FindAccountByName("Checking")) {}

    static SplitsData NoSplits(const char* category, Cents total) {
        SplitsData in;
        in.firstCategoryText = category;
        in.transactionTotal = total;
        return in;
    }

    std::unique_ptr<CAccounts> set;
    CAccount* checking;
    test::ScriptedServices services;
};

TEST_F(SplitsDlgTest, ARefusedRowKeepsTheDialogOpenWithTheFocusInThatRow) {
    struct Case {
        const char* what;
        const char* category;
        const char* classText;
        int message;
        int focusId;
    };
    const Case cases[] = {
        {"a bad category", "Auto:", "", 137, 1027},
        {"a bad class", "Dining", "a/b", 199, 1055},
        {"no such account", "[Nope]", "", 138, 1027},
        {"the transaction's own account", "[Checking]", "", 145, 1027},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        services.messages.clear();
        SplitsData io = NoSplits("Groceries", 20000);
        io.lines[2].linked = RecordId::Fixed(0x4100);
        const SplitsData before = io;
        services.dialogScripts.push_back([&](QDialog& dialog) {
            EXPECT_TRUE(Activate(dialog));
            Find<QComboBox>(dialog, 1021)->setEditText("Pets:Food");  // would be made
            Find<QComboBox>(dialog, 1027)->setEditText(c.category);
            Find<QComboBox>(dialog, 1055)->setEditText(c.classText);
            Find<QLineEdit>(dialog, 1029)->setText("10.00");
            QTest::mouseClick(Find<QPushButton>(dialog, 1), Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            std::vector<int> shown;
            for (const MessageRequest& m : services.messages)
                shown.push_back(m.stringId);
            EXPECT_EQ(shown, std::vector<int>{c.message});
            auto* focused = Find<QComboBox>(dialog, c.focusId);
            EXPECT_EQ(QApplication::focusWidget(), focused);
            EXPECT_EQ(focused->lineEdit()->selectedText(), focused->currentText());
            EXPECT_FALSE(focused->currentText().isEmpty());
            dialog.reject();
            return dialog.result();
        });
        EXPECT_EQ(RunSplitsDialog(nullptr, *set, checking, io), 2);
        EXPECT_EQ(io.lines, before.lines);
        EXPECT_FALSE(io.hasSplits);
        EXPECT_EQ(set->Categories().FindOrCreateByPath("Pets:Food", false), kNoneId);
    }
}

TEST_F(SplitsDlgTest, NegativeTotalsArePaintedRedAndAnEmptyAmountTakesTheRemainder) {
    CSplitsDlg dialog(*set, checking, NoSplits("Groceries", 20000));
    ASSERT_TRUE(Activate(dialog));
    auto* remainder = Find<CMoneyStatic>(dialog, 1052);
    auto* transactionTotal = Find<CMoneyStatic>(dialog, 1054);
    ASSERT_NE(remainder, nullptr);
    EXPECT_EQ(Find<CMoneyStatic>(dialog, 1051)->Text(), "200.00");
    EXPECT_EQ(remainder->Text(), "0");

    TypeInto(Find<QLineEdit>(dialog, 1023), "250.00");
    Find<QLineEdit>(dialog, 1025)->setFocus(Qt::TabFocusReason);  // row 2's memo
    ASSERT_TRUE(QTest::qWaitFor([&] { return remainder->Text() == "-50.00"; }));
    EXPECT_TRUE(remainder->IsNegative());
    EXPECT_TRUE(HasPixel(remainder, Red));
    EXPECT_FALSE(HasPixel(remainder, Dark));
    EXPECT_TRUE(HasPixel(transactionTotal, Dark));
    EXPECT_FALSE(HasPixel(transactionTotal, Red));

    auto* amount = Find<QLineEdit>(dialog, 1026);
    amount->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return amount->selectedText() == "-50.00"; }));
    EXPECT_EQ(amount->text(), "-50.00");
    EXPECT_EQ(remainder->Text(), "0");
    EXPECT_FALSE(remainder->IsNegative());
}

TEST_F(SplitsDlgTest, TheCombosShareTheirEntriesAndCompleteWhatIsTyped) {
    CSplitsDlg dialog(*set, checking, NoSplits("", 0));
    ASSERT_TRUE(Activate(dialog));
    auto* first = Find<QComboBox>(dialog, 1021);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->count(), 34);
    EXPECT_EQ(first->itemText(0), "Auto");
    EXPECT_EQ(first->itemText(1), "Auto:Fuel");
    EXPECT_EQ(first->itemText(33), "[Visa]");
    EXPECT_EQ(first->findText("[Checking]"), -1);
    auto* firstClass = Find<QComboBox>(dialog, 1053);
    ASSERT_EQ(firstClass->count(), 2);
    EXPECT_EQ(firstClass->itemText(0), "Business");
    EXPECT_EQ(firstClass->itemText(1), "Personal");
    for (int row = 0; row < kSplitRows; ++row) {
        SCOPED_TRACE(row);
        auto* category = Find<QComboBox>(dialog, 1021 + 3 * row);
        auto* classCombo = Find<QComboBox>(dialog, 1053 + row);
        ASSERT_NE(category, nullptr);
        ASSERT_NE(classCombo, nullptr);
        EXPECT_EQ(category->model(), first->model());
        EXPECT_EQ(classCombo->model(), firstClass->model());
        EXPECT_TRUE(category->currentText().isEmpty());
        ASSERT_NE(Find<QLineEdit>(dialog, 1022 + 3 * row), nullptr);
        ASSERT_NE(Find<QLineEdit>(dialog, 1023 + 3 * row), nullptr);
    }

    auto* fourth = Find<QComboBox>(dialog, 1030);
    TypeInto(fourth, "gro");
    EXPECT_EQ(fourth->currentText(), "groceries");
    EXPECT_EQ(fourth->lineEdit()->selectedText(), "ceries");
    TypeInto(Find<QComboBox>(dialog, 1056), "p");
    EXPECT_EQ(Find<QComboBox>(dialog, 1056)->currentText(), "personal");
}

TEST_F(SplitsDlgTest, EnterInACategoryComboIsOkAndHandsBackTheLines) {
    SplitsData io = NoSplits("Groceries", 20000);
    services.dialogScripts.push_back([&](QDialog& dialog) {
        EXPECT_TRUE(Activate(dialog));
        auto* category = Find<QComboBox>(dialog, 1021);
        TypeInto(category, "Dining");
        TypeInto(Find<QLineEdit>(dialog, 1023), "120.00");
        TypeInto(Find<QComboBox>(dialog, 1024), "[Sav");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        return dialog.result();
    });
    ASSERT_EQ(RunSplitsDialog(nullptr, *set, checking, io), 1);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(io.hasSplits);
    EXPECT_EQ(io.lines[0].category, set->Categories().FindOrCreateByPath("Dining", false));
    EXPECT_EQ(io.lines[0].amount, 12000);
    EXPECT_EQ(io.lines[1].category, set->FindAccountByName("Savings")->Header().GetId());
    EXPECT_EQ(io.lines[1].amount, 0);
    EXPECT_EQ(io.transactionTotal, 20000);
}

}  // namespace
}  // namespace tallowmere::ui
