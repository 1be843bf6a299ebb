#include "ui/auto_fill_combo.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <vector>

namespace tallowmere::ui {
namespace {

// A window with the payee-like combo ["Acme Bank", "acme", "Beta", "(new)"]
// and an edit after it, the combo focused.
class AutoFillFixture {
  public:
    AutoFillFixture() : window_(std::make_unique<QWidget>()) {
        auto* layout = new QVBoxLayout(window_.get());
        combo = new QComboBox(window_.get());
        combo->setEditable(true);
        combo->addItems({"Acme Bank", "acme", "Beta", "(new)"});
        combo->setCurrentIndex(-1);
        combo->clearEditText();
        next = new QLineEdit(window_.get());
        layout->addWidget(combo);
        layout->addWidget(next);
    }

    // Shows the window and focuses the combo; false when that fails.
    bool Focus() {
        window_->show();
        QApplication::setActiveWindow(window_.get());
        if (!QTest::qWaitForWindowActive(window_.get()))
            return false;
        combo->setFocus();
        return QTest::qWaitFor([this] { return QApplication::focusWidget() == combo; });
    }

    QComboBox* combo = nullptr;
    QLineEdit* next = nullptr;

  private:
    std::unique_ptr<QWidget> window_;
};

// Keys go to the focus widget, as a user's would: '\b' is a backspace.
void Type(const QString& keys) {
    for (const QChar c : keys) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        if (c == '\b')
            QTest::keyClick(target, Qt::Key_Backspace);
        else
            QTest::keyClicks(target, QString(c));
    }
}

TEST(AutoFillComboTest, CompletesFromTheItemsInRange) {
    struct Case {
        const char* name;
        int ignored;
        int first;
        QString keys;
        QString text;
        QString selected;
    };
    const std::vector<Case> cases = {
        {"lower case completes with the item's rest", 1, 0, "acm", "acme Bank", "e Bank"},
        {"typed case is kept", 1, 0, "ACME b", "ACME bank", "ank"},
        {"typing on replaces the added part", 1, 0, "acme", "acme Bank", " Bank"},
        {"the first item long enough", 1, 0, "b", "beta", "eta"},
        {"backspace never completes", 1, 0, "acm\b", "acm", ""},
        {"no item starts so", 1, 0, "acz", "acz", ""},
        {"an item as long as the text is not used", 1, 1, "acme", "acme", ""},
        {"items before the first are not used", 1, 1, "ac", "acme", "me"},
        {"the ignored items are not used", 1, 0, "(n", "(n", ""},
        {"without ignoring, the last item is used", 0, 0, "(n", "(new)", "ew)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AutoFillFixture fixture;
        CAutoFillCombo::Attach(*fixture.combo, c.ignored, c.first);
        ASSERT_TRUE(fixture.Focus());
        Type(c.keys);
        if (::testing::Test::HasFatalFailure())
            return;
        EXPECT_EQ(fixture.combo->currentText(), c.text);
        EXPECT_EQ(fixture.combo->lineEdit()->selectedText(), c.selected);
        EXPECT_EQ(fixture.combo->count(), 4);  // nothing typed became an item
    }
}

TEST(AutoFillComboTest, TabHandlerClaimsTheKeyWhenItAnswersTrue) {
    struct Case {
        bool answer;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool focusStays;
    };
    const Case cases[] = {
        {true, Qt::Key_Tab, Qt::NoModifier, true},
        {false, Qt::Key_Tab, Qt::NoModifier, false},
        {true, Qt::Key_Backtab, Qt::ShiftModifier, true},
        {false, Qt::Key_Backtab, Qt::ShiftModifier, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.answer) + " " + std::to_string(c.key));
        AutoFillFixture fixture;
        CAutoFillCombo* fill = CAutoFillCombo::Attach(*fixture.combo, 1, 0);
        std::vector<int> asked;
        fill->SetKeyHandler(Qt::Key_Tab, [&](int key) {
            asked.push_back(key);
            return c.answer;
        });
        ASSERT_TRUE(fixture.Focus());
        Type("ab");
        QTest::keyClick(QApplication::focusWidget(), c.key, c.modifiers);
        EXPECT_EQ(asked, std::vector<int>{Qt::Key_Tab});  // typing asked nothing
        EXPECT_EQ(QApplication::focusWidget() == fixture.combo, c.focusStays);
    }
}

}  // namespace
}  // namespace tallowmere::ui
