#pragma once
// The main view over the ledger fixture's folder: a registry of its own, a
// user whose "User Directory" is the fixture's folder, the application
// object with that user current, and scripted UI services.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <string>

#include "model/preferences.h"
#include "model/registry.h"
#include "model/users.h"
#include "platform/registry_store.h"
#include "support/test_env.h"
#include "ui/ledger_fixture.h"
#include "ui/list_test_support.h"
#include "ui/logic/tallowmere_app.h"
#include "ui/scripted_services.h"
#include "ui/tallowmere_view.h"

namespace tallowmere::test {

inline constexpr char kViewUserPrefix[] = "Software\\Brackwater\\Tallowmere Desktop\\ViewTest - ";

// A user whose data folder is the given one ("User Directory").
inline std::unique_ptr<CUserItem> MakeFolderUser(const std::string& name,
                                                 const std::string& folderName,
                                                 const std::string& dataFolder) {
    PlatformUserRecord record;
    std::copy_n(name.begin(), std::min(name.size(), record.name.size() - 1), record.name.begin());
    std::copy_n(folderName.begin(), std::min(folderName.size(), record.folder.size() - 1),
                record.folder.begin());
    auto user = std::make_unique<CUserItem>(record);
    user->SetKeyPath(kViewUserPrefix);
    EXPECT_EQ(0, platform::RegStoreCreateKey(user->GetKeyPath()));
    EXPECT_TRUE(
        RegWriteString(RegRoot::kCurrentUser, user->GetKeyPath(), kUserDirectoryValue, dataFolder));
    return user;
}

class ViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", MakeTempDir("config").c_str(), 1);
        platform::SetRegistryStorePath("");
        CreatePrefsKeys();
        InstallFixedDateFormat();
        QApplication::setFont(ListTestFont());
        fixture_ = BuildLedgerFixture();
        // The view reads the files itself.
        fixture_.data.reset();
        user_ = MakeFolderUser("Ann Example", "ann", fixture_.folder);
        SetPrefCurrentUser(user_->GetFolderName());
        CreateUserPrefsKey();
        app_.SetCurrentUser(user_.get());
    }
    void TearDown() override {
        view_.reset();
        app_.SetCurrentUser(nullptr);
        SetDateFormatter({});
    }

    ui::CTallowmereView& MakeView(int width = 1000, int height = 700) {
        view_ = std::make_unique<ui::CTallowmereView>(app_);
        view_->resize(width, height);
        view_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view_.get()));
        QApplication::processEvents();
        return *view_;
    }

    ScriptedServices services_;
    LedgerFixture fixture_;
    std::unique_ptr<CUserItem> user_;
    ui::CTallowmereApp app_;
    std::unique_ptr<ui::CTallowmereView> view_;
};

}  // namespace tallowmere::test
