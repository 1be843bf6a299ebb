#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "model/users.h"
#include "ui/logic/file_error_message.h"
#include "ui/logic/get_password_logic.h"
#include "ui/logic/set_password_logic.h"

namespace tallowmere::ui {
namespace {

struct RecordedMessages : Messages {
    std::vector<int> ids;
    Answer Show(const MessageRequest& request) override {
        ids.push_back(request.stringId);
        return request.defaultAnswer;
    }
};

CUserItem MakeUser(const char* folder) {
    PlatformUserRecord record;
    std::copy_n(folder, std::strlen(folder), record.folder.begin());
    std::copy_n(folder, std::strlen(folder), record.name.begin());
    return CUserItem(record);
}

// The application's password operations over a table of passwords.
struct FakeApp : MPasswordApp {
    std::map<const CUserItem*, std::string> passwords;
    CUserList users;
    std::vector<std::string> verified;  // the texts checked, in order
    std::vector<std::string> keyed;
    std::vector<std::string> changed;
    int changeResult = 0;

    const CUserList& Users() const override { return users; }
    bool VerifyPassword(CUserItem& user, std::string_view password) override {
        verified.emplace_back(password);
        return passwords[&user] == password;
    }
    void SetCipherKey(std::string_view password) override { keyed.emplace_back(password); }
    bool UserHasPassword(CUserItem& user) override { return !passwords[&user].empty(); }
    int ChangePassword(CUserItem& user, std::string_view password, CAccounts*,
                       Messages& messages) override {
        changed.emplace_back(password);
        if (changeResult != 0) {
            ShowFileErrorMessage(messages, changeResult);
            return changeResult;
        }
        passwords[&user] = password;
        return 0;
    }
};

TEST(NewPasswordRule, EmptyOrTwoCharactersNotAllTheSame) {
    struct Case {
        const char* password;
        bool accepted;
    };
    const Case cases[] = {
        {"", true},    {"a", false},        {"aa", false},      {"ab", true},  {"aaa", false},
        {"aab", true}, {"\xE9\xE9", false}, {"\xE9\xC9", true}, {"  ", false}, {"a a", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.accepted, IsAcceptableNewPassword(c.password)) << "\"" << c.password << "\"";
}

TEST(SetPasswordLogic, ChecksInOrderAndStaysOpenOnTheFirstFailure) {
    struct Case {
        const char* name;
        const char* current;  // the user's password now; "" none
        SetPasswordForm form;
        int changeResult;
        // Expected.
        int dialogId;
        std::vector<int> messages;
        DialogStep step;
        std::vector<std::string> changed;
        std::vector<std::string> verified;
    };
    const DialogStep ok = DialogStep::Close(1);
    const Case cases[] = {
        {"mismatch before the old password",
         "ab",
         {"wrong", "cd", "cD"},
         0,
         173,
         {141},
         DialogStep::Stay(1042, true),
         {},
         {}},
        {"old password wrong",
         "ab",
         {"AB", "cd", "cd"},
         0,
         173,
         {142},
         DialogStep::Stay(1041, true),
         {},
         {"AB"}},
        {"new password of one repeated character",
         "ab",
         {"ab", "cc", "cc"},
         0,
         173,
         {143},
         DialogStep::Stay(1042, true),
         {},
         {"ab"}},
        {"a change", "ab", {"ab", "cd", "cd"}, 0, 173, {}, ok, {"cd"}, {"ab"}},
        {"removing the password", "ab", {"ab", "", ""}, 0, 173, {}, ok, {""}, {"ab"}},
        {"no old password asked without one",
         "",
         {"anything", "cd", "cd"},
         0,
         182,
         {},
         ok,
         {"cd"},
         {}},
        {"rule before the change without one",
         "",
         {"", "x", "x"},
         0,
         182,
         {143},
         DialogStep::Stay(1042, true),
         {},
         {}},
        {"a failed change keeps the dialog",
         "ab",
         {"ab", "cd", "cd"},
         112,
         173,
         {184},
         DialogStep::Stay(1042, true),
         {"cd"},
         {"ab"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CUserItem user = MakeUser("SER1");
        FakeApp app;
        app.passwords[&user] = c.current;
        app.changeResult = c.changeResult;
        RecordedMessages messages;
        SetPasswordLogic logic(app, messages, nullptr);
        EXPECT_EQ(*c.current != '\0', logic.BindUser(user));
        EXPECT_EQ(c.dialogId, logic.DialogId());
        EXPECT_EQ(c.step, logic.Ok(c.form));
        EXPECT_EQ(c.messages, messages.ids);
        EXPECT_EQ(c.changed, app.changed);
        EXPECT_EQ(c.verified, app.verified);
    }
}

TEST(GetPasswordLogic, RightPasswordKeysTheCipherWrongOneStays) {
    CUserItem ann = MakeUser("SER1");
    CUserItem ben = MakeUser("SER2");
    FakeApp app;
    app.passwords[&ann] = "ab";
    app.passwords[&ben] = "cd";
    RecordedMessages messages;
    GetPasswordLogic logic(app, messages);
    logic.SetUser(&ann);
    EXPECT_TRUE(logic.UserComboEnabled());

    EXPECT_EQ(DialogStep::Stay(1042, true), logic.Ok(&ann, "cd"));
    EXPECT_EQ(std::vector<int>{144}, messages.ids);
    EXPECT_TRUE(app.keyed.empty());
    EXPECT_EQ(&ann, logic.GetUser());

    // Another user chosen in the combo becomes the user.
    EXPECT_EQ(DialogStep::Close(1), logic.Ok(&ben, "cd"));
    EXPECT_EQ(std::vector<std::string>{"cd"}, app.keyed);
    EXPECT_EQ(&ben, logic.GetUser());
    EXPECT_EQ(std::vector<int>{144}, messages.ids);

    EXPECT_EQ(DialogStep::Stay(1042, true), logic.Ok(nullptr, "ab")) << "no user chosen";
}

TEST(GetPasswordLogic, AFixedUserIsTheOneChecked) {
    CUserItem ann = MakeUser("SER1");
    CUserItem ben = MakeUser("SER2");
    FakeApp app;
    app.passwords[&ann] = "ab";
    app.passwords[&ben] = "cd";
    RecordedMessages messages;
    GetPasswordLogic logic(app, messages);
    logic.SetUser(&ann);
    logic.SetUserFixed(true);
    EXPECT_FALSE(logic.UserComboEnabled());
    EXPECT_FALSE(logic.Ok(&ben, "cd").close);
    EXPECT_TRUE(logic.Ok(&ben, "ab").close);
    EXPECT_EQ(&ann, logic.GetUser());
}

TEST(FileErrorMessage, TextByCause) {
    const std::pair<int, const char*> cases[] = {
        {2, "The file was not found."},
        {5, "Error saving file - access denied."},
        {19, "Error saving file - access denied."},
        {32, "Error saving file - access denied."},
        {33, "Error saving file - access denied."},
        {112, "Error saving file - insufficient disk space."},
        {39, "Error saving file - insufficient disk space."},
        // errno values must never be read as Windows codes.
        {13, "There was an error saving the file (13)."},
        {8, "There was an error saving the file (8)."},
        {183, "There was an error saving the file (183)."},
        {-1, "There was an error saving the file (-1)."},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(text, FileErrorMessage(code).text) << code;
}

}  // namespace
}  // namespace tallowmere::ui
