#include "ui/logic/startup_controller.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app_desktop.h"
#include "model/registry.h"
#include "ui/logic/get_password_logic.h"

namespace tallowmere::ui {
namespace {

using test::RecordedMessages;
using Role = MStartupHost::InstanceRole;

// One try at the prompt: the user chosen (empty: the one preselected) and the
// password typed; a try with cancel set leaves the prompt.
struct Try {
    std::string folder;
    std::string password;
    bool cancel = false;
};
const Try kCancel{"", "", true};

// The world outside start-up: each call is written down, the answers are
// the case's, and the prompt runs the real prompt's logic on the case's
// tries.
class ScriptedHost final : public MStartupHost {
  public:
    ScriptedHost(CTallowmereApp& app, Messages& messages) : app_(app), messages_(messages) {}

    Role role = Role::kFirst;
    int platformCode = 0;
    bool mainWindowMade = true;
    std::deque<Try> tries;
    std::vector<std::string> calls;

    Role ClaimInstance() override { return Call("claim"), role; }
    void HandOverToRunningCopy() override { Call("hand over"); }
    void InstallErrorSink() override { Call("error sink"); }
    void LoadLocaleSeparators() override { Call("separators"); }
    void LoadLanguageOverride() override { Call("language"); }
    int InitializePlatform() override { return Call("platform"), platformCode; }
    void LoadLocaleFormats() override { Call("formats"); }
    void InstallDateFormatter() override { Call("date formatter"); }
    void RemovePendingUsers() override { Call("pending users"); }
    void EnumerateUsers(CUserList& users) override {
        Call("users");
        users.Enumerate(kProductWord, std::nullopt);
    }
    CUserItem* PromptPassword(CUserItem* user) override {
        Call("prompt " + user->GetFolderName());
        GetPasswordLogic prompt(app_, messages_);
        prompt.SetUser(user);
        for (; !tries.empty(); tries.pop_front()) {
            const Try t = tries.front();
            if (t.cancel) {
                tries.pop_front();
                return nullptr;
            }
            CUserItem* chosen = t.folder.empty() ? user : app_.GetUsers().FindByFolder(t.folder);
            if (prompt.Ok(chosen, t.password).close) {
                tries.pop_front();
                return prompt.GetUser();
            }
        }
        return nullptr;
    }
    void ShowStartupScreen() override { Call("splash"); }
    bool CreateMainWindow() override { return Call("main window"), mainWindowMade; }
    void ReloadData() override { Call("reload"); }
    void ShowMainWindow() override { Call("show"); }
    void StartSetupWizard() override { Call("wizard"); }

  private:
    void Call(std::string what) { calls.push_back(std::move(what)); }

    CTallowmereApp& app_;
    Messages& messages_;
};

class StartupControllerTest : public test::AppDesktop {
  protected:
    void SetUp() override {
        AppDesktop::SetUp();
        ann_ = AddUserFolder("SER1", "Ann");
        ben_ = AddUserFolder("SER2", "Ben");
        test::WriteAccounts(ann_, HeaderCipher::None());
        test::WriteAccounts(ben_, HeaderCipher::None());
    }
    // A registry of its own for each case: the users' names, a current user
    // whose spelling shows whether start-up wrote it again, Ben's password.
    void FreshRegistry() {
        setenv("XDG_CONFIG_HOME", test::MakeTempDir("config").c_str(), 1);
        platform::SetRegistryStorePath("");
        CreatePrefsKeys();
        AddUserFolder("SER1", "Ann");
        AddUserFolder("SER2", "Ben");
        SetPrefCurrentUser("ser1");
        SetPrefPasswordCrib("SER2", CTallowmereApp::HashPassword("cd"));
    }

    std::string ann_, ben_;
};

const std::vector<std::string> kBefore = {"claim",          "error sink",    "separators",
                                          "language",       "platform",      "formats",
                                          "date formatter", "pending users", "users"};

std::vector<std::string> Calls(std::vector<std::string> tail) {
    std::vector<std::string> calls = kBefore;
    calls.insert(calls.end(), tail.begin(), tail.end());
    return calls;
}

constexpr std::uint32_t kMissing = 99;

TEST_F(StartupControllerTest, StartsInOrderAndAsksForPasswordsWhereTheyAreSet) {
    using Outcome = StartupResult::Outcome;
    struct Case {
        const char* name;
        Role role = Role::kFirst;
        int platformCode = 0;
        std::uint32_t displayUserGuide = 0;  // kMissing: no value
        const char* annPassword = "";
        std::vector<Try> tries = {};
        bool mainWindowMade = true;
        // Expected.
        std::vector<std::string> calls = {};
        Outcome outcome = Outcome::kRunning;
        int exitCode = 0;
        const char* currentUser = "SER1";  // "ser1": not written
        std::vector<int> messages = {};
        bool keyed = false;
    };
    const std::vector<Case> cases = {
        {.name = "a copy already runs",
         .role = Role::kSecond,
         .calls = {"claim", "hand over"},
         .outcome = Outcome::kHandedOver,
         .currentUser = "ser1"},
        {.name = "the platform library fails",
         .platformCode = 0x7e,
         .calls = {"claim", "error sink", "separators", "language", "platform"},
         .outcome = Outcome::kPlatformFailed,
         .exitCode = 1,
         .currentUser = "ser1",
         .messages = {506}},
        {.name = "no password", .calls = Calls({"splash", "main window", "show"})},
        {.name = "the right password",
         .annPassword = "ab",
         .tries = {{"", "ab"}},
         .calls = Calls({"prompt SER1", "splash", "main window", "show"}),
         .keyed = true},
        {.name = "a wrong password, then the right one",
         .annPassword = "ab",
         .tries = {{"", "AB"}, {"", "ab"}},
         .calls = Calls({"prompt SER1", "splash", "main window", "show"}),
         .messages = {144},
         .keyed = true},
        {.name = "a wrong password, then cancel",
         .annPassword = "ab",
         .tries = {{"", "ba"}, kCancel},
         .calls = Calls({"prompt SER1"}),
         .outcome = Outcome::kCancelled,
         .currentUser = "ser1",
         .messages = {144}},
        {.name = "another user chosen at the prompt",
         .annPassword = "ab",
         .tries = {{"SER2", "ab"}, {"SER2", "cd"}},
         .calls = Calls({"prompt SER1", "splash", "main window", "show"}),
         .currentUser = "SER2",
         .messages = {144},
         .keyed = true},
        {.name = "DisplayUserGuide 2 is not a first run",
         .displayUserGuide = 2,
         .annPassword = "ab",
         .tries = {{"", "ab"}},
         .calls = Calls({"prompt SER1", "splash", "main window", "show"}),
         .keyed = true},
        // A first run shows the wizard and keeps the main window hidden; no
        // password is asked before the wizard's Finish.
        {.name = "first run without a password",
         .displayUserGuide = 1,
         .calls = Calls({"splash", "main window", "wizard"})},
        {.name = "first run with a password",
         .displayUserGuide = kMissing,
         .annPassword = "ab",
         .calls = Calls({"splash", "main window", "wizard"})},
        {.name = "DisplayUserGuide 7 is a first run",
         .displayUserGuide = 7,
         .annPassword = "ab",
         .calls = Calls({"splash", "main window", "wizard"})},
        {.name = "the main window cannot be made",
         .mainWindowMade = false,
         .calls = Calls({"splash", "main window"}),
         .outcome = Outcome::kNoMainWindow,
         .exitCode = 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshRegistry();
        if (c.displayUserGuide != kMissing)
            WriteDisplayUserGuide(c.displayUserGuide);
        SetPrefPasswordCrib("SER1", CTallowmereApp::HashPassword(c.annPassword));

        CTallowmereApp app;
        RecordedMessages messages;
        ScriptedHost host(app, messages);
        host.role = c.role;
        host.platformCode = c.platformCode;
        host.mainWindowMade = c.mainWindowMade;
        host.tries.assign(c.tries.begin(), c.tries.end());

        const StartupResult result = StartupController(app, host, messages).Run();
        EXPECT_EQ(c.calls, host.calls);
        EXPECT_EQ(c.outcome, result.outcome);
        EXPECT_EQ(c.exitCode, result.exitCode);
        EXPECT_EQ(c.currentUser, GetPrefCurrentUser());
        EXPECT_EQ(c.messages, messages.Ids());
        EXPECT_EQ(c.keyed, app.HasCipherKey());
        EXPECT_TRUE(host.tries.empty()) << "every try was asked for";
        // Only the wizard's Finish writes it.
        EXPECT_EQ(c.displayUserGuide, RegReadDword(RegRoot::kCurrentUser, kPhoneSyncKeyPath,
                                                   "DisplayUserGuide", kMissing));
    }
}

TEST_F(StartupControllerTest, PlatformFailureSaysTheCodeInHexadecimal) {
    FreshRegistry();
    CTallowmereApp app;
    RecordedMessages messages;
    ScriptedHost host(app, messages);
    host.platformCode = 0x7e;
    EXPECT_EQ(1, StartupController(app, host, messages).Run().exitCode);
    ASSERT_EQ(1u, messages.shown.size());
    const std::string& text = messages.shown[0].text;
    EXPECT_EQ(
        "There was an error initializing the platform manager. Try reinstalling "
        "Tallowmere Desktop. (7e)",
        text);
    EXPECT_EQ(Buttons::kOk, messages.shown[0].buttons);
    EXPECT_EQ(Icon::kNone, messages.shown[0].icon);
}

TEST_F(StartupControllerTest, AChangeCutShortIsSettledAtStartUp) {
    FreshRegistry();
    WriteDisplayUserGuide(0);
    // The crib is the new one; one file still waits for its new key.
    SetPrefPasswordCrib("SER1", CTallowmereApp::HashPassword("new"));
    test::WriteFileBytes(ann_ + "/password.pending", [] {
        const PasswordCrib crib = CTallowmereApp::HashPassword("new");
        return std::string(crib.begin(), crib.end());
    }());
    const std::string waiting = test::ReadFileBytes(ann_ + "/Checking.wqm");
    test::WriteFileBytes(ann_ + "/Checking.wqm.new", waiting);

    CTallowmereApp app;
    RecordedMessages messages;
    ScriptedHost host(app, messages);
    host.tries = {{"", "new"}};
    EXPECT_EQ(StartupResult::Outcome::kRunning,
              StartupController(app, host, messages).Run().outcome);
    EXPECT_FALSE(std::filesystem::exists(ann_ + "/password.pending"));
    EXPECT_FALSE(std::filesystem::exists(ann_ + "/Checking.wqm.new"));
}

}  // namespace
}  // namespace tallowmere::ui
