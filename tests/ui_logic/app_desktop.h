#pragma once
// A desktop for the application object's tests: fresh registry and data
// folders, the program's own platform library, and users made the way the
// sync makes them (a folder below the platform root and a display name).
#include <stdlib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/accounts.h"
#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "model/registry.h"
#include "model/users.h"
#include "platform/registry_store.h"
#include "support/test_env.h"
#include "ui/logic/messages.h"

namespace tallowmere::test {

class AppDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", MakeTempDir("config").c_str(), 1);
        dataHome_ = MakeTempDir("data");
        setenv("XDG_DATA_HOME", dataHome_.c_str(), 1);
        platform::SetRegistryStorePath("");
        Platform::SetLibraryFolder(TALLOWMERE_PLATFORMLIB_DIR);
        ASSERT_EQ(0, Platform::Initialize(1, kProductWord));
        CreatePrefsKeys();
    }
    void TearDown() override {
        Platform::Release();
        Platform::SetLibraryFolder("");
    }

    // A phone user's data folder with its display name; the users appear in
    // the order of their folder names, the standalone user last.
    std::string AddUserFolder(const std::string& folder, const std::string& name) {
        const std::string path = Root() + "/" + folder;
        std::filesystem::create_directories(path);
        const std::string key = PhoneUserKeyPath(folder);
        EXPECT_EQ(0, platform::RegStoreCreateKey(key));
        EXPECT_TRUE(RegWriteString(RegRoot::kCurrentUser, key, kUserDisplayNameValue, name));
        return path;
    }
    std::string Root() const { return dataHome_ + "/Brackwater/Tallowmere"; }

    std::string dataHome_;
};

// The account files of a folder made through the model: the default
// accounts, each with the customer id "customer <its name>", saved under the
// given cipher.
inline void WriteAccounts(const std::string& folder, const HeaderCipher& cipher) {
    std::unique_ptr<CAccounts> data;
    AccountsLoadOptions options;
    options.cipher = cipher;
    ASSERT_EQ(0, CAccounts::LoadInto(data, folder, options));
    for (std::size_t i = 0; i < data->GetAccountCount(); ++i) {
        CAccount* account = data->GetAccountAt(i);
        account->Header().SetCustomerId("customer " + account->GetName());
        ASSERT_EQ(0, account->Save());
    }
}

// Each account's customer id as the folder reads with the cipher.
inline std::map<std::string, std::string> ReadCustomerIds(const std::string& folder,
                                                          const HeaderCipher& cipher) {
    std::map<std::string, std::string> ids;
    CAccounts data;
    data.SetCipher(cipher);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".wqm") {
            EXPECT_EQ(0, data.LoadAccountFile(entry.path().string())) << entry.path();
        }
    }
    for (std::size_t i = 0; i < data.GetAccountCount(); ++i)
        ids[data.GetAccountAt(i)->GetName()] = data.GetAccountAt(i)->Header().GetCustomerId();
    return ids;
}

inline HeaderCipher KeyOf(const std::string& password) {
    return HeaderCipher::WithKey(std::make_shared<const CBlowfish>(password));
}

// Message boxes, recorded; each answered with its default.
struct RecordedMessages : ui::Messages {
    std::vector<ui::MessageRequest> shown;
    ui::Answer Show(const ui::MessageRequest& request) override {
        shown.push_back(request);
        return request.defaultAnswer;
    }
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const auto& m : shown)
            ids.push_back(m.stringId);
        return ids;
    }
};

}  // namespace tallowmere::test
