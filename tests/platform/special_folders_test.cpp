#include "platform/special_folders.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "model/paths.h"
#include "support/test_env.h"

namespace tallowmere::platform {
namespace {

class SpecialFoldersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        home_ = test::MakeTempDir("home");
        config_ = test::MakeTempDir("config");
        savedHome_ = getenv("HOME");
        savedConfig_ = getenv("XDG_CONFIG_HOME");
        setenv("HOME", home_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    }
    void TearDown() override {
        setenv("HOME", savedHome_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", savedConfig_.c_str(), 1);
    }
    void UserDirs(const std::string& text) {
        test::WriteFileBytes(config_ + "/user-dirs.dirs", text);
    }

    std::string home_, config_, savedHome_, savedConfig_;
};

TEST_F(SpecialFoldersTest, DocumentsComeFromTheUserDirsFile) {
    struct Case {
        const char* file;
        std::string documents;
    };
    const Case cases[] = {
        {"# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", home_ + "/Dokumente"},
        {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n  XDG_DOCUMENTS_DIR=\"/srv/docs\"\n", "/srv/docs"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/My\\\"Docs\"\n", home_ + "/My\"Docs"},
        {"XDG_DOCUMENTS_DIR=\"$HOME\"\n", home_},
        {"XDG_DOCUMENTS_DIR=\"relative\"\n", home_},
        {"XDG_DOCUMENTS_DIR=\"/a\"\nXDG_DOCUMENTS_DIR=\"/b\"\n", "/b"},
        {"", home_},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        UserDirs(c.file);
        EXPECT_EQ(c.documents, DocumentsFolder());
        std::string path;
        EXPECT_TRUE(GetMyDocumentsFolder(path));
        EXPECT_EQ(c.documents, path);
    }
}

TEST_F(SpecialFoldersTest, WithoutTheFileDocumentsThenHome) {
    EXPECT_EQ(home_, DocumentsFolder());
    std::filesystem::create_directories(home_ + "/Documents");
    EXPECT_EQ(home_ + "/Documents", DocumentsFolder());
    std::string path = "x";
    EXPECT_FALSE(GetSpecialFolder(0x1a, path));
    EXPECT_EQ("", path);
}

}  // namespace
}  // namespace tallowmere::platform
