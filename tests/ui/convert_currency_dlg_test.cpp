#include "ui/convert_currency_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <vector>

#include "ui/icon_list.h"
#include "ui/scripted_services.h"
#include "ui_logic/dialog_data_fixture.h"

namespace tallowmere::ui {
namespace {

constexpr CurrencyId kDollar = 1;  // home
constexpr CurrencyId kEuro = 9;

template <typename W>
W* Find(QWidget& dialog, int id) {
    return dialog.findChild<W*>(QStringLiteral("id_%1").arg(id));
}

bool Activate(QDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    return QTest::qWaitForWindowActive(&dialog);
}

std::vector<int> Shown(const test::ScriptedServices& services) {
    std::vector<int> ids;
    for (const MessageRequest& m : services.messages)
        ids.push_back(m.stringId);
    return ids;
}

class ConvertCurrencyDlgTest : public ::testing::Test {
  protected:
    ConvertCurrencyDlgTest() : set(test::LoadDefaultDataSet("convertdlg")) {
        // The program's start-up loads the icon buttons' strip.
        EXPECT_TRUE(SetupIconList(0, 166, 1, 2, 23, 23, 0, QColor(255, 153, 51)));
        set->Currencies().FindById(kEuro)->SetRate(0.8);  // euros per dollar
    }

    std::unique_ptr<CAccounts> set;
    test::ScriptedServices services;
};

TEST_F(ConvertCurrencyDlgTest, ChoosingTheAccountsCurrencyDisablesTheRateSilently) {
    CConvertCurrencyDlg dialog(*set, kDollar, false, {kEuro, "100.00", "110.00"});
    ASSERT_TRUE(Activate(dialog));
    auto* currency = Find<QComboBox>(dialog, 1139);
    auto* rate = Find<QLineEdit>(dialog, 1141);
    ASSERT_NE(currency, nullptr);
    EXPECT_EQ(currency->currentText(), "\u20AC");
    EXPECT_EQ(Find<QLabel>(dialog, 1144)->text(), "$");
    EXPECT_EQ(rate->text(), "1.1000000000");
    EXPECT_TRUE(rate->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), rate);  // an existing conversion

    // The user picks the dollar, the account's own currency, from the list.
    currency->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    EXPECT_EQ(currency->currentText(), "$");
    EXPECT_EQ(rate->text(), "1.0000000000");
    EXPECT_FALSE(rate->isEnabled());
    EXPECT_EQ(Find<QLineEdit>(dialog, 1142)->text(), "100.00");
    EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(dialog, 1142));

    // Down the list to the euro: each step works the amount out again and
    // focuses it, so the user goes back to the list each time.
    for (int i = 0; i < currency->count() && currency->currentData() != kEuro; ++i) {
        currency->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    }
    EXPECT_EQ(rate->text(), "1.2500000000");
    EXPECT_EQ(Find<QLineEdit>(dialog, 1142)->text(), "125.00");
    EXPECT_TRUE(Shown(services).empty());
}

TEST_F(ConvertCurrencyDlgTest, CalculateAsksForTwoFieldsAndFocusesWhatItWorkedOut) {
    CConvertCurrencyDlg dialog(*set, kDollar, true, {kEuro, "", ""});
    ASSERT_TRUE(Activate(dialog));
    auto* calculate = Find<QPushButton>(dialog, 3);
    auto* source = Find<QLineEdit>(dialog, 1140);
    auto* rate = Find<QLineEdit>(dialog, 1141);
    auto* converted = Find<QLineEdit>(dialog, 1142);
    EXPECT_EQ(QApplication::focusWidget(), source);  // a new conversion

    rate->clear();
    QTest::mouseClick(calculate, Qt::LeftButton);
    EXPECT_EQ(Shown(services), std::vector<int>{173});

    source->setText("80.00");
    rate->setText("1.25");
    QTest::mouseClick(calculate, Qt::LeftButton);
    EXPECT_EQ(converted->text(), "100.00");
    EXPECT_EQ(QApplication::focusWidget(), converted);
    EXPECT_EQ(converted->selectedText(), "100.00");
    EXPECT_EQ(Shown(services), std::vector<int>{173});
}

TEST_F(ConvertCurrencyDlgTest, OkHandsBackTheTextsAndLearnsTheRate) {
    ConvertCurrencyData io{kEuro, "80.00", ""};
    int editorRuns = 0;
    services.dialogScripts.push_back([&](QDialog& dialog) {
        EXPECT_TRUE(Activate(dialog));
        QTest::mouseClick(Find<QWidget>(dialog, 1143), Qt::LeftButton);
        Find<QLineEdit>(dialog, 1141)->setText("1.6");
        QTest::mouseClick(Find<QPushButton>(dialog, 3), Qt::LeftButton);
        QTest::mouseClick(Find<QPushButton>(dialog, 1), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        return dialog.result();
    });
    const CurrenciesEditor editor = [&editorRuns](QWidget*) { ++editorRuns; };
    ASSERT_EQ(RunConvertCurrencyDialog(nullptr, *set, kDollar, false, io, editor), 1);
    EXPECT_EQ(editorRuns, 1);
    EXPECT_EQ(io.sourceCurrency, kEuro);
    EXPECT_EQ(io.sourceText, "80.00");
    EXPECT_EQ(io.convertedText, "128.00");
    EXPECT_DOUBLE_EQ(set->Currencies().FindById(kEuro)->GetRate(), 0.625);
    EXPECT_TRUE(Shown(services).empty());

    // Cancel leaves everything as it was.
    const ConvertCurrencyData before = io;
    ASSERT_EQ(RunConvertCurrencyDialog(nullptr, *set, kDollar, false, io), 2);
    EXPECT_EQ(io.sourceText, before.sourceText);
    EXPECT_EQ(io.convertedText, before.convertedText);
}

}  // namespace
}  // namespace tallowmere::ui
