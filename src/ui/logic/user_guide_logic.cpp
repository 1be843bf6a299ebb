#include "ui/logic/user_guide_logic.h"

#include <optional>
#include <utility>

#include "model/preferences.h"
#include "model/string_table.h"
#include "model/users.h"
#include "platform/text_1252.h"

namespace tallowmere::ui {
namespace {

constexpr int kCongratulationId = 3342;  // "Congratulations! You have created "

// The display name (Windows-1252) of the user with exactly this folder name.
std::optional<std::string> UserName(const CUserList& users, std::mutex* mutex,
                                    const std::string& folderName) {
    std::unique_lock<std::mutex> lock;
    if (mutex != nullptr)
        lock = std::unique_lock(*mutex);
    const CUserItem* user = users.FindByFolderExact(folderName);
    if (user == nullptr)
        return std::nullopt;
    return user->GetName();
}

}  // namespace

CUserGuideLogic::CUserGuideLogic(MUserGuideHost& host, const CUserList& users,
                                 std::mutex* usersMutex)
    : host_(host), users_(users), usersMutex_(usersMutex) {}

void CUserGuideLogic::Start() {
    running_ = true;
    page_ = UserGuidePage::kWelcome;
}

void CUserGuideLogic::OnPageShown(UserGuidePage page) {
    page_ = page;
}

WizardButtons CUserGuideLogic::Buttons() const {
    WizardButtons b;
    switch (page_) {
        case UserGuidePage::kWelcome:
            b.backVisible = b.nextVisible = b.cancelVisible = true;
            b.nextEnabled = true;
            break;
        case UserGuidePage::kCreateUser:
            b.backVisible = b.nextVisible = b.cancelVisible = true;
            b.nextEnabled = CanLeaveCreateUser();
            b.backEnabled = !(b.nextEnabled && enabledOnPage_);
            break;
        case UserGuidePage::kFinish:
            b.finishVisible = b.finishEnabled = true;
            break;
    }
    return b;
}

void CUserGuideLogic::OnUserCreated(std::uint64_t run, const std::string& folderName) {
    pendingRun_ = run;
    pendingFolder_ = folderName;
}

void CUserGuideLogic::OnUserRemoved(const std::string& folderName) {
    if (folderName == pendingFolder_) {
        pendingRun_ = 0;
        pendingFolder_.clear();
    }
    if (folderName == createdFolder_) {
        createdFolder_.clear();
        congratulation_.clear();
        enabledOnPage_ = false;
    }
}

bool CUserGuideLogic::EnableCreateUserNext(std::uint64_t run, bool succeeded) {
    if (run == 0 || run != pendingRun_)
        return false;
    const std::string folder = std::move(pendingFolder_);
    pendingRun_ = 0;
    pendingFolder_.clear();
    if (!running_ || !succeeded || folder.empty())
        return false;
    const std::optional<std::string> name = UserName(users_, usersMutex_, folder);
    if (!name)
        return false;
    createdFolder_ = folder;
    congratulation_ = LoadString(kCongratulationId) + platform::Cp1252ToUtf8(*name);
    enabledOnPage_ = page_ == UserGuidePage::kCreateUser;
    return enabledOnPage_;
}

void CUserGuideLogic::Finish() {
    if (!running_)
        return;
    if (!createdFolder_.empty())
        host_.SwitchUser(createdFolder_);
    host_.ShowMainWindow();
    running_ = false;
    WriteDisplayUserGuide(0);
}

void CUserGuideLogic::Cancel() {
    if (!running_)
        return;
    running_ = false;
    host_.Quit();
}

}  // namespace tallowmere::ui
