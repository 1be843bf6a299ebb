#include "ui/sync_pref_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <optional>

#include "model/preferences.h"
#include "model/registry.h"
#include "platform/registry_store.h"
#include "support/test_env.h"
#include "sync/sync_mode.h"
#include "ui/scripted_services.h"

namespace tallowmere::ui {
namespace {

namespace hh = handheld;

std::string Address() {
    return "10.0.0.7";
}

class SyncPrefDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetRegistryStorePath(test::MakeTempDir("prefs") + "/registry");
        CreatePrefsKeys();
        hh::SetCurrentSyncMode(0);
    }
    void TearDown() override { platform::SetRegistryStorePath(""); }

    static void Store(std::uint32_t value) { SetPrefSyncDirec(value); }
    static std::optional<std::uint32_t> Stored() {
        CRegistry key(RegRoot::kCurrentUser, GetPlatformPrefsKeyPath());
        std::uint32_t value = 0;
        if (!key.Open() || !key.QueryDword("SyncDirec", value))
            return std::nullopt;
        return value;
    }
    static QRadioButton* Radio(const QDialog& dialog, int id) {
        return dialog.findChild<QRadioButton*>(QStringLiteral("id_%1").arg(id));
    }
    // The checked radios, in control order.
    static std::vector<int> Checked(const QDialog& dialog) {
        std::vector<int> ids;
        for (int id : {1171, 1172, 1173, 1209, 1210, 1211}) {
            if (Radio(dialog, id) != nullptr && Radio(dialog, id)->isChecked())
                ids.push_back(id);
        }
        return ids;
    }
    static void Click(QDialog& dialog, int id) {
        QAbstractButton* button =
            dialog.findChild<QAbstractButton*>(QStringLiteral("id_%1").arg(id));
        ASSERT_NE(nullptr, button) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

TEST_F(SyncPrefDlgTest, OpensOnTheStoredDefaultWithTheDesktopsAddress) {
    struct Case {
        std::uint32_t stored;
        std::vector<int> checked;
    };
    for (const Case& c :
         {Case{0, {1171, 1209}}, Case{1, {1172, 1211}}, Case{2, {1173, 1210}}, Case{7, {}}}) {
        SCOPED_TRACE(c.stored);
        Store(c.stored);
        CSyncPrefDialog dialog(nullptr, &Address);
        EXPECT_EQ(c.checked, Checked(dialog));
        EXPECT_EQ("Android Sync Preference", dialog.windowTitle());
        const auto* address = dialog.findChild<QLabel*>("id_1217");
        ASSERT_NE(nullptr, address);
        EXPECT_EQ("10.0.0.7", address->text());
    }
}

TEST_F(SyncPrefDlgTest, TheDefaultGroupReadsSynchronizeHandheldThenDesktop) {
    CSyncPrefDialog dialog(nullptr, &Address);
    const std::pair<int, const char*> labels[] = {
        {1171, "Synchronize"},
        {1172, "Desktop overwrites Handheld"},
        {1173, "Handheld overwrites Desktop"},
        {1209, "Synchronize"},
        {1210, "Handheld overwrites Desktop"},
        {1211, "Desktop overwrites Handheld"},
    };
    for (const auto& [id, text] : labels) {
        QRadioButton* radio = Radio(dialog, id);
        ASSERT_NE(nullptr, radio) << id;
        EXPECT_EQ(text, radio->text()) << id;
    }
}

TEST_F(SyncPrefDlgTest, OkAppliesBothGroupsCancelAndEscapeNothing) {
    struct Case {
        const char* name;
        int mode;       // radio clicked in the mode group
        int byDefault;  // radio clicked in the default group
        int closeWith;  // button id, or 0 for Esc
        int code;
        int currentAfter;
        std::uint32_t storedAfter;
    };
    const Case cases[] = {
        {"OK", 1172, 1210, 1, 1, 1, 2},
        {"OK, the third default", 1173, 1211, 1, 1, 2, 1},
        {"Cancel", 1173, 1210, 1213, 2, 0, 0},
        {"Esc", 1172, 1211, 0, 2, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Store(0);
        CSyncPrefDialog dialog(nullptr, &Address);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        ASSERT_NO_FATAL_FAILURE(Click(dialog, c.mode));
        ASSERT_NO_FATAL_FAILURE(Click(dialog, c.byDefault));
        if (c.closeWith == 0)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            ASSERT_NO_FATAL_FAILURE(Click(dialog, c.closeWith));
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(c.code, dialog.result());
        EXPECT_EQ(c.currentAfter, hh::GetCurrentSyncMode());
        EXPECT_EQ(c.storedAfter, Stored());
    }
}

TEST_F(SyncPrefDlgTest, RunsThroughTheServices) {
    test::ScriptedServices services;
    services.dialogScripts.push_back([](QDialog& dialog) {
        dialog.reject();
        return dialog.result();
    });
    EXPECT_EQ(2, RunSyncPrefDialog(nullptr));
    ASSERT_EQ(1u, services.dialogs.size());
    EXPECT_EQ("id_197", services.dialogs[0]);
}

}  // namespace
}  // namespace tallowmere::ui
