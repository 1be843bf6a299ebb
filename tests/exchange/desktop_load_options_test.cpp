// The desktop's load of a data set: the client-UID list moves to the folder
// of a load that succeeded, and only the desktop's loads move it.
#include "exchange/desktop_load_options.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/accounts.h"
#include "model/client_uid_list.h"
#include "model/list_file_names.h"
#include "support/test_env.h"
#include "sync/handheld_files.h"

namespace tallowmere {
namespace {

// A user's folder whose client-UID list gives the account "12345" uid.
std::string UserFolder(const std::string& name, const std::string& uid) {
    const std::string folder = test::MakeTempDir(name);
    test::WriteFileBytes(folder + "/" + kClientUidListFile, "1\r\n12345\r\n" + uid + "\r\n");
    return folder;
}

TEST(DesktopLoadOptionsTest, ClientUidListFollowsTheDesktopsLoadsOnly) {
    const std::string b = UserFolder("b", "UID-B");
    const std::string c = UserFolder("c", "UID-C");
    const std::string broken = UserFolder("broken", "UID-BROKEN");
    test::WriteFileBytes(broken + "/" + kCategoriesListFile, "not a list");
    ClientUid::SetDataFolder(test::MakeTempDir("before"));

    std::unique_ptr<CAccounts> desktop;
    ASSERT_EQ(CAccounts::LoadInto(desktop, b, DesktopLoadOptions(HeaderCipher::None())), 0);
    EXPECT_EQ(ClientUid::Lookup("12345"), "UID-B");

    // The sync loads another user's folder on its own thread.
    std::unique_ptr<CAccounts> synced;
    handheld::HandheldFiles files(c, c + "/handheld.db");
    ASSERT_EQ(files.LoadDataSet(synced), 0);
    EXPECT_EQ(ClientUid::Lookup("12345"), "UID-B");

    std::unique_ptr<CAccounts> failed;
    EXPECT_NE(CAccounts::LoadInto(failed, broken, DesktopLoadOptions(HeaderCipher::None())), 0);
    EXPECT_EQ(ClientUid::Lookup("12345"), "UID-B");
    ClientUid::SetDataFolder("");
}

}  // namespace
}  // namespace tallowmere
