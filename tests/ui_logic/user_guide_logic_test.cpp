#include "ui/logic/user_guide_logic.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "model/preferences.h"
#include "model/users.h"
#include "sync/sync_server_support.h"

namespace tallowmere::ui {
namespace {

using Page = UserGuidePage;

struct RecordingHost final : MUserGuideHost {
    bool SwitchUser(const std::string& folderName) override {
        calls.push_back("switch:" + folderName);
        return true;
    }
    void ShowMainWindow() override { calls.push_back("show"); }
    void Quit() override { calls.push_back("quit"); }
    std::vector<std::string> calls;
};

// Buttons as "back next finish cancel", each "-" hidden, "o" shown
// disabled, "X" shown enabled.
std::string Shown(const WizardButtons& b) {
    auto one = [](bool visible, bool enabled) { return !visible ? '-' : enabled ? 'X' : 'o'; };
    return {one(b.backVisible, b.backEnabled), one(b.nextVisible, b.nextEnabled),
            one(b.finishVisible, b.finishEnabled), one(b.cancelVisible, b.cancelVisible)};
}

class UserGuideLogicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(test::StartFreshDesktop(users_, data_));
        // A phone user with a name outside ASCII, as a device may send.
        ASSERT_NE(nullptr, users_.AddPhoneUser("Caf\xE9 phone", "CAFE-1"));
        logic_.Start();
    }
    void TearDown() override { test::StopDesktop(); }

    // A run that found or made CAFE-1 and ended as told.
    bool Sync(std::uint64_t run, bool succeeded, const std::string& folder = "CAFE-1") {
        logic_.OnUserCreated(run, folder);
        return logic_.EnableCreateUserNext(run, succeeded);
    }

    CUserList users_;
    std::string data_;
    std::mutex usersMutex_;
    RecordingHost host_;
    CUserGuideLogic logic_{host_, users_, &usersMutex_};
};

TEST_F(UserGuideLogicTest, EachPageShowsItsButtons) {
    EXPECT_EQ(Page::kWelcome, logic_.Page());
    EXPECT_EQ("oX-X", Shown(logic_.Buttons()));  // Next only
    logic_.OnPageShown(Page::kCreateUser);
    EXPECT_EQ("Xo-X", Shown(logic_.Buttons()));  // Back only
    EXPECT_FALSE(logic_.CanLeaveCreateUser());
    logic_.OnPageShown(Page::kFinish);
    EXPECT_EQ("--X-", Shown(logic_.Buttons()));  // Finish only
}

TEST_F(UserGuideLogicTest, AGoodSyncEnablesNextAsThePageWasWhenItEnded) {
    struct Case {
        const char* name;
        Page pageAtEnd;
        bool succeeded;
        bool takesFocus;
        std::string page2;  // the buttons on page 2 afterwards
    };
    const Case cases[] = {
        {"ended well on page 2: Next only", Page::kCreateUser, true, true, "oX-X"},
        {"ended well on page 1: Back and Next", Page::kWelcome, true, false, "XX-X"},
        {"failed on page 2: Back only", Page::kCreateUser, false, false, "Xo-X"},
        {"failed on page 1: Back only", Page::kWelcome, false, false, "Xo-X"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CUserGuideLogic logic(host_, users_, &usersMutex_);
        logic.Start();
        logic.OnPageShown(c.pageAtEnd);
        logic.OnUserCreated(1, "CAFE-1");
        EXPECT_EQ(c.takesFocus, logic.EnableCreateUserNext(1, c.succeeded));
        logic.OnPageShown(Page::kCreateUser);
        EXPECT_EQ(c.page2, Shown(logic.Buttons()));
        EXPECT_EQ(c.succeeded, logic.CanLeaveCreateUser());
        EXPECT_EQ(c.succeeded ? "Congratulations! You have created Caf\xC3\xA9 phone" : "",
                  logic.CongratulationText());
    }
}

TEST_F(UserGuideLogicTest, OnlyTheUserOfTheRunThatEndedWellCounts) {
    // The end of another run, a run with no user, a user nobody has.
    logic_.OnUserCreated(1, "CAFE-1");
    EXPECT_FALSE(logic_.EnableCreateUserNext(2, true));
    EXPECT_FALSE(logic_.EnableCreateUserNext(3, true));
    EXPECT_FALSE(Sync(4, true, "NOBODY"));
    // The exact folder name only.
    EXPECT_FALSE(Sync(5, true, "cafe-1"));
    EXPECT_FALSE(logic_.CanLeaveCreateUser());

    // A failed run after a good one keeps the good one's user.
    logic_.OnPageShown(Page::kCreateUser);
    EXPECT_TRUE(Sync(6, true));
    EXPECT_FALSE(Sync(7, false, "OTHER"));
    EXPECT_EQ("CAFE-1", logic_.CreatedFolder());
    EXPECT_EQ("oX-X", Shown(logic_.Buttons()));
    // The same end twice changes nothing.
    EXPECT_FALSE(logic_.EnableCreateUserNext(6, true));
    EXPECT_EQ("CAFE-1", logic_.CreatedFolder());
}

TEST_F(UserGuideLogicTest, AUserThatIsRemovedAgainIsForgotten) {
    logic_.OnPageShown(Page::kCreateUser);
    EXPECT_TRUE(Sync(1, true));
    logic_.OnUserRemoved("OTHER");
    EXPECT_TRUE(logic_.CanLeaveCreateUser());
    logic_.OnUserRemoved("CAFE-1");
    EXPECT_FALSE(logic_.CanLeaveCreateUser());
    EXPECT_EQ("", logic_.CongratulationText());
    EXPECT_EQ("Xo-X", Shown(logic_.Buttons()));

    // Removed before its run ended: that end enables nothing.
    logic_.OnUserCreated(2, "CAFE-1");
    logic_.OnUserRemoved("CAFE-1");
    EXPECT_FALSE(logic_.EnableCreateUserNext(2, true));
}

TEST_F(UserGuideLogicTest, FinishSwitchesShowsTheMainWindowAndIsNotShownAgain) {
    EXPECT_EQ(1u, ReadDisplayUserGuide());
    logic_.OnPageShown(Page::kCreateUser);
    Sync(1, true);
    logic_.OnPageShown(Page::kFinish);
    logic_.Finish();
    EXPECT_EQ((std::vector<std::string>{"switch:CAFE-1", "show"}), host_.calls);
    EXPECT_FALSE(logic_.IsRunning());
    EXPECT_EQ(0u, ReadDisplayUserGuide());
    // Once only.
    logic_.Finish();
    logic_.Cancel();
    EXPECT_EQ(2u, host_.calls.size());
}

TEST_F(UserGuideLogicTest, FinishWithoutAUserOpensTheCurrentOne) {
    logic_.Finish();
    EXPECT_EQ((std::vector<std::string>{"show"}), host_.calls);
    EXPECT_EQ(0u, ReadDisplayUserGuide());
}

TEST_F(UserGuideLogicTest, CancelEndsTheProgramAndTheWizardComesBack) {
    logic_.OnPageShown(Page::kCreateUser);
    logic_.Cancel();
    EXPECT_EQ((std::vector<std::string>{"quit"}), host_.calls);
    EXPECT_FALSE(logic_.IsRunning());
    EXPECT_EQ(1u, ReadDisplayUserGuide());
    // A sync ending after Cancel changes nothing.
    EXPECT_FALSE(Sync(1, true));
    EXPECT_FALSE(logic_.CanLeaveCreateUser());
}

}  // namespace
}  // namespace tallowmere::ui
