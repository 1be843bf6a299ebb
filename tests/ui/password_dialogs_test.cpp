#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <map>

#include "ui/get_password_dlg.h"
#include "ui/logic/file_error_message.h"
#include "ui/scripted_services.h"
#include "ui/set_password_dlg.h"

namespace tallowmere::ui {
namespace {

CUserItem MakeUser(const char* folder, const char* name) {
    PlatformUserRecord record;
    std::copy_n(folder, std::strlen(folder), record.folder.begin());
    std::copy_n(name, std::strlen(name), record.name.begin());
    return CUserItem(record);
}

// The application's password operations over a table of passwords.
struct FakeApp : MPasswordApp {
    std::map<const CUserItem*, std::string> passwords;
    CUserList users;
    std::vector<std::string> keyed;

    const CUserList& Users() const override { return users; }
    bool VerifyPassword(CUserItem& user, std::string_view password) override {
        return passwords[&user] == password;
    }
    void SetCipherKey(std::string_view password) override { keyed.emplace_back(password); }
    bool UserHasPassword(CUserItem& user) override { return !passwords[&user].empty(); }
    int ChangePassword(CUserItem& user, std::string_view password, CAccounts*, Messages&) override {
        passwords[&user] = password;
        return 0;
    }
};

template <class T>
T* Find(QWidget& dialog, int id) {
    return dialog.findChild<T*>(QStringLiteral("id_%1").arg(id));
}

void Show(QDialog& dialog) {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), text);
}

// Characters no key of a test keyboard gives, one key press each, as an input
// method sends them.
void TypeCharacters(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() ? 2 : 1;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text.mid(i, n));
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        i += n - 1;
    }
}

class GetPasswordDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        users_.Enumerate("Tallowmere", std::nullopt);  // only the standalone user here
        app_.passwords[&ann_] = "ab";
    }
    test::ScriptedServices services_;
    FakeApp app_;
    CUserList& users_ = app_.users;
    CUserItem ann_ = MakeUser("SER1", "Ann");
};

TEST_F(GetPasswordDlgTest, ControlsOfTheDialog) {
    for (bool fixed : {false, true}) {
        CGetPasswordDlg dialog(app_, users_.GetAt(0), fixed);
        EXPECT_EQ("id_174", dialog.objectName());
        EXPECT_EQ("Get Password", dialog.windowTitle());
        auto* combo = Find<QComboBox>(dialog, 1043);
        ASSERT_NE(nullptr, combo);
        ASSERT_EQ(1, combo->count());
        EXPECT_EQ("<Standalone>", combo->currentText());
        EXPECT_EQ(!fixed, combo->isEnabled());
        auto* edit = Find<QLineEdit>(dialog, 1042);
        ASSERT_NE(nullptr, edit);
        EXPECT_EQ(QLineEdit::Password, edit->echoMode());
        EXPECT_EQ(32, edit->maxLength());
    }
}

TEST_F(GetPasswordDlgTest, AWrongPasswordStaysWithTheTextSelected) {
    CGetPasswordDlg dialog(app_, &ann_, true);
    ASSERT_NO_FATAL_FAILURE(Show(dialog));
    auto* edit = Find<QLineEdit>(dialog, 1042);
    Type(edit, "ba");
    QTest::mouseClick(Find<QPushButton>(dialog, 1), Qt::LeftButton);
    ASSERT_EQ(1u, services_.messages.size());
    EXPECT_EQ(144, services_.messages[0].stringId);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(edit, QApplication::focusWidget());
    EXPECT_EQ("ba", edit->selectedText());
    EXPECT_TRUE(app_.keyed.empty());

    // Typing replaces the selection; the right password closes with 1.
    QTest::keyClicks(QApplication::focusWidget(), "ab");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(1, dialog.result());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(std::vector<std::string>{"ab"}, app_.keyed);
    EXPECT_EQ(&ann_, dialog.GetUser());
    EXPECT_TRUE(edit->text().isEmpty()) << "the password does not stay in the edit";
}

TEST_F(GetPasswordDlgTest, EscapeGivesTwo) {
    CGetPasswordDlg dialog(app_, &ann_, true);
    ASSERT_NO_FATAL_FAILURE(Show(dialog));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(2, dialog.result());
    EXPECT_TRUE(app_.keyed.empty());
}

// Only characters Windows-1252 holds: two passwords never become one.
TEST_F(GetPasswordDlgTest, PasswordEditTakesOnlyWindows1252Characters) {
    CGetPasswordDlg dialog(app_, &ann_, true);
    ASSERT_NO_FATAL_FAILURE(Show(dialog));
    auto* edit = Find<QLineEdit>(dialog, 1042);
    TypeCharacters(edit,
                   QString::fromUtf8("\xC3\xA9\xE2\x82\xAC\xC5\x82\xE4\xB8\xAD\xF0\x9F\x98\x80z"));
    EXPECT_EQ(QString::fromUtf8("\xC3\xA9\xE2\x82\xAC"
                                "z"),
              edit->text());
}

TEST(SetPasswordDlgTest, OldPasswordOnlyForAUserWhoHasOne) {
    test::ScriptedServices services;
    FakeApp app;
    CUserItem ann = MakeUser("SER1", "Ann");
    for (const char* current : {"ab", ""}) {
        app.passwords[&ann] = current;
        CSetPasswordDlg dialog(app, ann, nullptr);
        const bool has = *current != '\0';
        EXPECT_EQ(has ? "id_173" : "id_182", dialog.objectName());
        EXPECT_EQ("Set Password", dialog.windowTitle());
        ASSERT_NO_FATAL_FAILURE(Show(dialog));
        EXPECT_EQ(has, Find<QLineEdit>(dialog, 1041)->isVisible());
        EXPECT_EQ(has, Find<QLabel>(dialog, 1044)->isVisible());
        for (int id : {1041, 1042, 1043}) {
            EXPECT_EQ(QLineEdit::Password, Find<QLineEdit>(dialog, id)->echoMode()) << id;
            EXPECT_EQ(32, Find<QLineEdit>(dialog, id)->maxLength()) << id;
        }
    }
}

TEST(SetPasswordDlgTest, AMismatchStaysOpenThenTheChangeCloses) {
    test::ScriptedServices services;
    FakeApp app;
    CUserItem ann = MakeUser("SER1", "Ann");
    app.passwords[&ann] = "ab";
    CSetPasswordDlg dialog(app, ann, nullptr);
    ASSERT_NO_FATAL_FAILURE(Show(dialog));
    Type(Find<QLineEdit>(dialog, 1041), "ab");
    Type(Find<QLineEdit>(dialog, 1042), "cd");
    Type(Find<QLineEdit>(dialog, 1043), "ce");
    QTest::mouseClick(Find<QPushButton>(dialog, 1), Qt::LeftButton);
    ASSERT_EQ(1u, services.messages.size());
    EXPECT_EQ(141, services.messages[0].stringId);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Find<QLineEdit>(dialog, 1042), QApplication::focusWidget());

    // The texts stay for the user to mend.
    Type(Find<QLineEdit>(dialog, 1043),
         "\b"
         "d");
    QTest::mouseClick(Find<QPushButton>(dialog, 1), Qt::LeftButton);
    EXPECT_EQ(1u, services.messages.size());
    EXPECT_EQ(1, dialog.result());
    EXPECT_EQ("cd", app.passwords[&ann]);
}

}  // namespace
}  // namespace tallowmere::ui
