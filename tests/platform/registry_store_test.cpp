#include "platform/registry_store.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/win_error.h"
#include "support/test_env.h"

namespace tallowmere::platform {
namespace {

using test::MakeTempDir;
using test::ReadFileBytes;
using test::WriteFileBytes;

std::vector<std::uint8_t> Bytes(std::string_view s) {
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

class RegistryStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = MakeTempDir("reg") + "/tallowmere";
        path_ = folder_ + "/registry";
        SetRegistryStorePath(path_);
    }
    void TearDown() override { SetRegistryStorePath(""); }

    // Reads a value as text; "" with the code when it does not read.
    static int Query(std::string_view key, std::string_view name, std::string& out,
                     std::uint32_t bufferSize = 64, std::uint32_t* type = nullptr) {
        std::vector<std::uint8_t> buf(bufferSize + 1);  // never null
        std::uint32_t size = bufferSize;
        const int rc = RegStoreQueryValue(key, name, type, buf.data(), &size);
        out = rc == 0 ? std::string(buf.begin(), buf.begin() + size) : std::to_string(size);
        return rc;
    }

    std::string folder_;
    std::string path_;
};

TEST_F(RegistryStoreTest, ReadsAndWritesGiveTheWindowsResults) {
    ASSERT_EQ(0, RegStoreCreateKey("Software\\Brackwater\\Tallowmere Desktop"));
    ASSERT_EQ(0, RegStoreSetValue("Software\\Brackwater", "Bin", kRegBinary, Bytes("0123456789")));
    ASSERT_EQ(0, RegStoreSetValue("Software\\Brackwater", "Empty", kRegBinary, {}));

    struct Case {
        const char* key;
        const char* name;
        std::uint32_t buffer;
        int rc;
        std::string out;  // the bytes, or the reported size after a failure
    };
    const Case cases[] = {
        {"Software\\Missing", "Bin", 64, kErrorFileNotFound, "64"},
        {"Software\\Brackwater", "Missing", 64, kErrorFileNotFound, "64"},
        {"Software\\Brackwater", "Bin", 64, 0, "0123456789"},
        {"Software\\Brackwater", "Bin", 10, 0, "0123456789"},
        {"Software\\Brackwater", "Bin", 9, kErrorMoreData, "10"},
        {"Software\\Brackwater", "Bin", 0, kErrorMoreData, "10"},
        {"Software\\Brackwater", "Empty", 0, 0, ""},
        {"SOFTWARE\\brackwater", "bIN", 64, 0, "0123456789"},
        {"\\Software\\\\Brackwater\\", "Bin", 64, 0, "0123456789"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " / " + c.name + " / " + std::to_string(c.buffer));
        std::string out;
        EXPECT_EQ(c.rc, Query(c.key, c.name, out, c.buffer));
        EXPECT_EQ(c.out, out);
    }

    // A key exists apart from its values, and every parent exists.
    EXPECT_EQ(0, RegStoreKeyExists("software"));
    EXPECT_EQ(0, RegStoreKeyExists("Software\\Brackwater\\TALLOWMERE DESKTOP"));
    EXPECT_EQ(0, RegStoreKeyExists(""));
    EXPECT_EQ(kErrorFileNotFound, RegStoreKeyExists("Software\\Tallowmere Desktop"));

    // Values go only into existing keys.
    EXPECT_EQ(kErrorFileNotFound,
              RegStoreSetValue("Software\\Nowhere", "X", kRegDword, Bytes("\1\0\0\0")));
    EXPECT_EQ(kErrorFileNotFound, RegStoreKeyExists("Software\\Nowhere"));
    EXPECT_EQ(kErrorFileNotFound, RegStoreDeleteValue("Software\\Brackwater", "Missing"));
    EXPECT_EQ(0, RegStoreDeleteValue("Software\\Brackwater", "BIN"));
    std::string out;
    EXPECT_EQ(kErrorFileNotFound, Query("Software\\Brackwater", "Bin", out));
}

TEST_F(RegistryStoreTest, ValuesKeepTypeSizeAndTheFirstSpellingOfTheirNames) {
    ASSERT_EQ(0, RegStoreCreateKey("IPhone - ABC"));
    ASSERT_EQ(0, RegStoreCreateKey("iPhone - abc\\Preferences"));
    ASSERT_EQ(0, RegStoreSetValue("IPHONE - abc", "Name", kRegSz, Bytes("one")));
    ASSERT_EQ(0, RegStoreSetValue("iphone - ABC", "NAME", kRegDword, Bytes("\4\3\2\1")));

    std::string out;
    std::uint32_t type = 0;
    ASSERT_EQ(0, Query("IPhone - ABC", "name", out, 64, &type));
    EXPECT_EQ(kRegDword, type);
    EXPECT_EQ(std::string("\4\3\2\1", 4), out);

    const std::string file = ReadFileBytes(path_);
    EXPECT_NE(std::string::npos, file.find("K \"IPhone%20-%20ABC\"\n"));
    EXPECT_NE(std::string::npos, file.find("K \"IPhone%20-%20ABC\\Preferences\"\n"));
    EXPECT_NE(std::string::npos, file.find("V 4 \"Name\" 04030201\n"));
}

TEST_F(RegistryStoreTest, SurvivesAReopenWithOwnerOnlyModes) {
    const std::string odd("a \"b\" %c\\d\xE9\n", 12);
    ASSERT_EQ(0, RegStoreCreateKey("K" + odd));
    ASSERT_EQ(0, RegStoreSetValue("K" + odd, odd, kRegBinary, Bytes(odd)));
    ASSERT_EQ(0, RegStoreSetValue("K" + odd, "", kRegSz, Bytes(std::string("\0", 1))));

    // A new process would find the same: drop the cached copy.
    SetRegistryStorePath("");
    SetRegistryStorePath(path_);
    std::string out;
    ASSERT_EQ(0, Query("k" + odd, odd, out));
    EXPECT_EQ(odd, out);
    ASSERT_EQ(0, Query("K" + odd, "", out));
    EXPECT_EQ(std::string("\0", 1), out);

    struct stat st {};
    ASSERT_EQ(0, stat(path_.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
    ASSERT_EQ(0, stat(folder_.c_str(), &st));
    EXPECT_EQ(0700u, st.st_mode & 0777);
}

TEST_F(RegistryStoreTest, NewKeysAreMadeOnlyWhenNoneOfThemExists) {
    const std::string known = "Soft\\IPhone - KNOWN-1";
    ASSERT_EQ(0, RegStoreCreateNewKeys(
                     {{known, {{"Name", kRegSz, Bytes("known")}}}, {known + "\\Preferences", {}}}));
    std::string out;
    ASSERT_EQ(0, Query(known, "Name", out));
    EXPECT_EQ("known", out);
    EXPECT_EQ(0, RegStoreKeyExists(known + "\\Preferences"));

    struct Case {
        std::vector<RegStoreKey> keys;
        int rc;
    };
    const Case cases[] = {
        {{{"soft\\iphone - known-1", {{"Name", kRegSz, Bytes("taken over")}}}},
         kErrorAlreadyExists},
        {{{"Soft\\IPhone - Other", {}}, {"SOFT\\IPHONE - Known-1\\Preferences", {}}},
         kErrorAlreadyExists},
        {{{"Soft", {}}}, kErrorAlreadyExists},
        {{{"", {}}}, kErrorAlreadyExists},
    };
    const std::string before = ReadFileBytes(path_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys.front().path);
        EXPECT_EQ(c.rc, RegStoreCreateNewKeys(c.keys));
        EXPECT_EQ(before, ReadFileBytes(path_));
    }
    EXPECT_EQ(kErrorFileNotFound, RegStoreKeyExists("Soft\\IPhone - Other"));

    // Another name, listed twice, and a key below a new one.
    EXPECT_EQ(0, RegStoreCreateNewKeys(
                     {{"Soft\\IPhone - KNOWN:1", {{"Pending", kRegDword, {1, 0, 0, 0}}}},
                      {"soft\\iphone - known:1", {}},
                      {"Soft\\IPhone - KNOWN:1\\Preferences", {}}}));
    ASSERT_EQ(0, Query("Soft\\IPhone - KNOWN:1", "Pending", out));
    EXPECT_EQ(std::string("\1\0\0\0", 4), out);
    ASSERT_EQ(0, Query(known, "Name", out));
    EXPECT_EQ("known", out);
}

TEST_F(RegistryStoreTest, KeyTreesAreListedAndDeletedWhole) {
    for (const char* key :
         {"P\\IPhone - A\\Preferences", "P\\IPhone - A2", "P\\IPhone - A-B", "P\\Other"})
        ASSERT_EQ(0, RegStoreCreateKey(key));
    ASSERT_EQ(0, RegStoreSetValue("P\\IPhone - A", "v", kRegSz, Bytes("x")));

    std::vector<std::string> names;
    ASSERT_EQ(0, RegStoreEnumSubKeys("p", names));
    EXPECT_EQ((std::vector<std::string>{"IPhone - A", "IPhone - A-B", "IPhone - A2", "Other"}),
              names);
    ASSERT_EQ(0, RegStoreEnumSubKeys("", names));
    EXPECT_EQ(std::vector<std::string>{"P"}, names);
    EXPECT_EQ(kErrorFileNotFound, RegStoreEnumSubKeys("Q", names));
    EXPECT_TRUE(names.empty());

    // Only the key and what lies below it goes, not the keys that merely
    // begin with its name.
    EXPECT_EQ(0, RegStoreDeleteKeyTree("p\\iphone - a"));
    EXPECT_EQ(kErrorFileNotFound, RegStoreKeyExists("P\\IPhone - A"));
    EXPECT_EQ(kErrorFileNotFound, RegStoreKeyExists("P\\IPhone - A\\Preferences"));
    ASSERT_EQ(0, RegStoreEnumSubKeys("P", names));
    EXPECT_EQ((std::vector<std::string>{"IPhone - A-B", "IPhone - A2", "Other"}), names);
    EXPECT_EQ(kErrorFileNotFound, RegStoreDeleteKeyTree("P\\IPhone - A"));
    EXPECT_NE(0, RegStoreDeleteKeyTree(""));
    EXPECT_EQ(0, RegStoreKeyExists("P\\Other"));
}

TEST_F(RegistryStoreTest, AStoreThatDoesNotParseIsLeftUntouched) {
    const std::string bad[] = {
        "not a registry\n",
        "Tallowmere registry 1\nK \"a\"\nV 4 \"x\" 0102030",  // cut short
        "Tallowmere registry 1\nK \"a\"\nV 4 \"x\" 0g\n",
        "Tallowmere registry 1\nK a\n",
        "Tallowmere registry 1\nK \"a b\"\n",
        "",
    };
    std::filesystem::create_directories(folder_);
    for (const std::string& text : bad) {
        SCOPED_TRACE(text);
        WriteFileBytes(path_, text);
        std::string out;
        EXPECT_EQ(kErrorFileNotFound, RegStoreKeyExists("a"));
        EXPECT_EQ(kErrorStoreUnreadable, RegStoreCreateKey("a"));
        EXPECT_EQ(kErrorStoreUnreadable, RegStoreSetValue("", "x", kRegSz, Bytes("1")));
        EXPECT_EQ(text, ReadFileBytes(path_));
    }
}

TEST_F(RegistryStoreTest, AFailedWriteKeepsTheOldStore) {
    ASSERT_EQ(0, RegStoreCreateKey("K"));
    ASSERT_EQ(0, RegStoreSetValue("K", "v", kRegSz, Bytes("old")));
    const std::string before = ReadFileBytes(path_);

    SetCrashBeforeRename(true);
    EXPECT_NE(0, RegStoreSetValue("K", "v", kRegSz, Bytes("new")));
    SetCrashBeforeRename(false);
    EXPECT_EQ(before, ReadFileBytes(path_));

    SetWriteFault([](std::size_t, int& err) {
        err = ENOSPC;
        return false;
    });
    EXPECT_EQ(kErrorDiskFull, RegStoreSetValue("K", "v", kRegSz, Bytes("new")));
    SetWriteFault(nullptr);
    EXPECT_EQ(before, ReadFileBytes(path_));
    std::string out;
    ASSERT_EQ(0, Query("K", "v", out));
    EXPECT_EQ("old", out);
}

TEST_F(RegistryStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    ASSERT_EQ(0, RegStoreCreateKey("Shared"));
    constexpr int kEach = 60;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    const char* who = child == 0 ? "child" : "parent";
    int failures = 0;
    for (int i = 0; i < kEach; ++i) {
        const std::string name = std::string(who) + std::to_string(i);
        failures += RegStoreSetValue("Shared", name, kRegSz, Bytes(name)) != 0;
    }
    if (child == 0)
        _exit(failures == 0 ? 0 : 1);
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
    EXPECT_EQ(0, failures);

    SetRegistryStorePath("");
    SetRegistryStorePath(path_);
    for (const char* name : {"child", "parent"}) {
        for (int i = 0; i < kEach; ++i) {
            const std::string value = name + std::to_string(i);
            std::string out;
            EXPECT_EQ(0, Query("Shared", value, out)) << value;
        }
    }
}

TEST_F(RegistryStoreTest, TwoThreadsWritingAtOnceLoseNothing) {
    ASSERT_EQ(0, RegStoreCreateKey("Shared"));
    constexpr int kEach = 100;
    auto writer = [](const char* who) {
        for (int i = 0; i < kEach; ++i) {
            const std::string name = who + std::to_string(i);
            EXPECT_EQ(0, RegStoreSetValue("Shared", name, kRegSz, Bytes(name)));
            std::string out;
            EXPECT_EQ(0, Query("Shared", name, out));
        }
    };
    std::thread a(writer, "a");
    std::thread b(writer, "b");
    a.join();
    b.join();
    std::vector<RegStoreKey> keys;
    ASSERT_TRUE(ParseRegistryStore(ReadFileBytes(path_), keys));
    for (const RegStoreKey& key : keys) {
        if (key.path == "Shared") {
            EXPECT_EQ(2u * kEach, key.values.size());
        }
    }
}

TEST_F(RegistryStoreTest, FormatAndParseRoundTrip) {
    std::vector<RegStoreKey> keys = {
        {"", {{"root", kRegDword, {1, 0, 0, 0}}}},
        {"A", {}},
        {"A\\b c", {{"", kRegBinary, {}}, {"%\"\x7f", 77, {0, 255}}}},
    };
    const std::string text = FormatRegistryStore(keys);
    std::vector<RegStoreKey> back;
    ASSERT_TRUE(ParseRegistryStore(text, back));
    ASSERT_EQ(keys.size(), back.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].path, back[i].path);
        ASSERT_EQ(keys[i].values.size(), back[i].values.size());
        for (std::size_t j = 0; j < keys[i].values.size(); ++j) {
            EXPECT_EQ(keys[i].values[j].name, back[i].values[j].name);
            EXPECT_EQ(keys[i].values[j].type, back[i].values[j].type);
            EXPECT_EQ(keys[i].values[j].data, back[i].values[j].data);
        }
    }
    EXPECT_EQ(text, FormatRegistryStore(back));
}

TEST(RegistryStorePathTest, FollowsXdgConfigHome) {
    const std::string saved = getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", "/x/conf", 1);
    EXPECT_EQ("/x/conf/tallowmere/registry", DefaultRegistryStorePath());
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(std::string(getenv("HOME")) + "/.config/tallowmere/registry",
              DefaultRegistryStorePath());
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

}  // namespace
}  // namespace tallowmere::platform
