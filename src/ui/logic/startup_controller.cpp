#include "ui/logic/startup_controller.h"

#include <cstdint>

#include "model/preferences.h"
#include "model/random.h"
#include "platform/clock.h"

namespace tallowmere::ui {
namespace {

constexpr int kPlatformErrorMessage = 506;

StartupResult Ended(StartupResult::Outcome outcome, int exitCode) {
    StartupResult result;
    result.outcome = outcome;
    result.exitCode = exitCode;
    return result;
}

}  // namespace

StartupResult StartupController::Run() {
    using Outcome = StartupResult::Outcome;
    if (host_.ClaimInstance() == MStartupHost::InstanceRole::kSecond) {
        host_.HandOverToRunningCopy();
        return Ended(Outcome::kHandedOver, 0);
    }
    host_.InstallErrorSink();
    host_.LoadLocaleSeparators();
    host_.LoadLanguageOverride();
    RandomSeed(platform::CurrentClock().TickCount() & 0xFFFF);

    if (const int code = host_.InitializePlatform(); code != 0) {
        messages_.Show(
            StringMessage(kPlatformErrorMessage, {std::int64_t{code}}, Buttons::kOk, Icon::kNone));
        return Ended(Outcome::kPlatformFailed, 1);
    }
    host_.LoadLocaleFormats();
    host_.InstallDateFormatter();
    CreatePrefsKeys();

    host_.RemovePendingUsers();
    host_.EnumerateUsers(app_.GetUsers());
    app_.SetCurrentUser(app_.GetUsers().FindByFolder(GetPrefCurrentUser()));
    if (CUserItem* current = app_.GetCurrentUser())
        app_.FinishPendingPasswordChange(*current);

    const bool firstRun = ReadDisplayUserGuide() == 1;
    if (!firstRun && SignIn() == SignInResult::kCancelled)
        return Ended(Outcome::kCancelled, 0);

    host_.ShowStartupScreen();
    if (CUserItem* current = app_.GetCurrentUser())
        SetPrefCurrentUser(current->GetFolderName());
    if (!host_.CreateMainWindow())
        return Ended(Outcome::kNoMainWindow, 1);

    StartupResult result;
    result.firstRun = firstRun;
    if (firstRun) {
        // The main window stays hidden; its Finish asks for a protected
        // user's password before anything of that user shows.
        host_.StartSetupWizard();
        return result;
    }
    host_.ShowMainWindow();
    return result;
}

StartupController::SignInResult StartupController::SignIn() {
    CUserItem* current = app_.GetCurrentUser();
    if (current == nullptr || !app_.UserHasPassword(*current))
        return SignInResult::kNoPassword;
    CUserItem* chosen = host_.PromptPassword(current);
    if (chosen == nullptr)
        return SignInResult::kCancelled;
    app_.SetCurrentUser(chosen);
    // The user chosen may be another one, with a change of its own cut short.
    if (chosen != current)
        app_.FinishPendingPasswordChange(*chosen);
    return SignInResult::kSignedIn;
}

}  // namespace tallowmere::ui
