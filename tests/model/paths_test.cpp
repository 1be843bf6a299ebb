#include "model/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "platform/win_error.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::MakeTempDir;
using test::WriteFileBytes;
const std::string S(1, kPathSeparator);

TEST(PathsTest, AppendPathPutsOneSeparatorBetweenParts) {
    struct Case {
        std::string a, b, joined;
    };
    const Case cases[] = {
        {"a", "b", "a" + S + "b"},
        {"a" + S, "b", "a" + S + "b"},
        {"a", S + "b", "a" + S + "b"},
        {"", "b", "b"},
        {"a", "", "a"},
        {"a" + S, S + "b", "a" + S + S + "b"},
        {S, "x", S + "x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.joined, JoinPath(c.a, c.b)) << c.a << " + " << c.b;
        std::string text = c.a;
        AppendPath(text, c.b);
        EXPECT_EQ(c.joined, text);
    }
}

TEST(PathsTest, NamePartsAndExtensions) {
    struct Case {
        std::string path;
        bool stripped;
        std::string afterStrip, extension, name, title, folder;
    };
    const Case cases[] = {
        {"x.wqm", true, "x", "wqm", "x.wqm", "x", ""},
        {"d" + S + "Checking.WQM", true, "d" + S + "Checking", "WQM", "Checking.WQM", "Checking",
         "d"},
        {".bashrc", false, ".bashrc", "", ".bashrc", ".bashrc", ""},
        {"a.b" + S + "c", false, "a.b" + S + "c", "", "c", "c", "a.b"},
        {"", true, "", "", "", "", ""},
        {"abc", false, "abc", "", "abc", "abc", ""},
        {S + "r" + S + "b.c.d", true, S + "r" + S + "b.c", "d", "b.c.d", "b.c", S + "r"},
        {"name.", true, "name", "", "name.", "name", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string text = c.path;
        EXPECT_EQ(c.stripped, StripExtension(text));
        EXPECT_EQ(c.afterStrip, text);
        EXPECT_EQ(c.extension, GetFileExtension(c.path));
        EXPECT_EQ(c.name, GetFileNamePart(c.path));
        EXPECT_EQ(c.title, GetFileTitlePart(c.path));
        EXPECT_EQ(c.folder, GetPathFolder(c.path, false));
        EXPECT_EQ(c.folder.empty() && c.path.find(S) == std::string::npos ? "" : c.folder + S,
                  GetPathFolder(c.path, true));
    }

    std::string path = "a" + S + "b" + S + "c.txt";
    std::string folder = "untouched";
    SplitFileName(path, &folder, true);
    EXPECT_EQ("c.txt", path);
    EXPECT_EQ("a" + S + "b" + S, folder);
    path = "a" + S + "c.txt";
    SplitFileName(path, &folder, false);
    EXPECT_EQ("a", folder);
    path = "c.txt";
    SplitFileName(path, &folder, false);
    EXPECT_EQ("c.txt", path);
    EXPECT_EQ("a", folder);
}

TEST(PathsTest, FileNameRules) {
    EXPECT_TRUE(IsValidFileName("Checking 2024.wqm"));
    for (const char c : std::string("\\/:*?\"<>|"))
        EXPECT_FALSE(IsValidFileName(std::string("a") + c + "b")) << c;
    EXPECT_EQ("a-b-c--d-e-f-g-h", SanitizeFileName("a\\b/c:*d?e\"f<g|h"));
    EXPECT_EQ("-e", SanitizeFileName(">e"));

    char buffer[] = {'a', ':', '\0', ':', 'b', '\0'};
    SanitizeFileNameInPlace(buffer);
    EXPECT_EQ(0, std::memcmp(buffer, "a-\0:b", 6));
    EXPECT_FALSE(IsUncServerPath(S + S + "server"));
}

TEST(PathsTest, DigitsFromTextGivesElevenDigits) {
    struct Case {
        std::string text, digits;
    };
    const Case cases[] = {
        {"12345678901", "90123456789"},  // '1' is 49
        {"123456789012345", "90123456789"},
        {"abc", "78999999999"},       // 97 98 99, then the last repeats
        {"\xE9\xFF", "35555555555"},  // 233 and 255: digits, never a sign
        {"", "00000000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.digits, DigitsFromText(c.text)) << c.text;
}

TEST(PathsTest, CreateDirectoryPathMakesEveryMissingFolder) {
    const std::string root = MakeTempDir("mk");
    const std::string deep = root + S + "a" + S + "b" + S + "c";
    EXPECT_EQ(0, CreateDirectoryPath(deep));
    struct stat st {};
    ASSERT_EQ(0, stat(deep.c_str(), &st));
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(0700u, st.st_mode & 0777);
    EXPECT_EQ(0, CreateDirectoryPath(deep));
    EXPECT_EQ(0, CreateDirectoryPath(root + S + "t" + S));

    WriteFileBytes(root + S + "file", "x");
    EXPECT_EQ(platform::kErrorPathNotFound, CreateDirectoryPath(root + S + "file" + S + "sub"));
    EXPECT_TRUE(FileExists(root + S + "file"));
    EXPECT_FALSE(FileExists(root + S + "nothing"));
    EXPECT_FALSE(FileExists(""));
}

TEST(PathsTest, GetModuleFolderIsTheProgramsFolder) {
    const std::string folder = GetModuleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(kPathSeparator, folder.back());
    EXPECT_EQ(std::filesystem::canonical("/proc/self/exe").parent_path().string() + S, folder);
}

// A tree with hidden files, a name of three dots and links that loop back.
class DirWalkerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = MakeTempDir("walk");
        for (const char* dir : {"sub", "sub/inner", ".hidden-dir", "..."})
            std::filesystem::create_directories(root_ + S + dir);
        for (const char* file : {"a.WQM", "b.wqm", ".c.wqm", "d.txt", "sub/e.wqm",
                                 "sub/inner/f.wqm", ".hidden-dir/g", ".../h"})
            WriteFileBytes(root_ + S + file, "x");
        ASSERT_EQ(0, symlink(root_.c_str(), (root_ + S + "sub" + S + "loop").c_str()));
        ASSERT_EQ(0, symlink("nowhere", (root_ + S + "dangling.wqm").c_str()));
    }

    std::set<std::string> Walk(bool recursive) {
        std::set<std::string> seen;
        CDirWalker walker;
        std::string path;
        std::uint32_t attributes = 0;
        std::int64_t created = 0;
        if (!walker.FindFirst(root_, recursive))
            return seen;
        while (walker.FindNext(path, attributes, &created)) {
            EXPECT_EQ(0u, path.rfind(root_ + S, 0)) << path;
            const std::string rel = path.substr(root_.size() + 1);
            EXPECT_TRUE(seen.insert(rel).second) << rel;
            const std::string name = GetFileNamePart(rel);
            EXPECT_NE(".", name);
            EXPECT_NE("..", name);
            EXPECT_GT(created, 0);
            attributes_[rel] = attributes;
        }
        return seen;
    }

    std::string root_;
    std::map<std::string, std::uint32_t> attributes_;
};

TEST_F(DirWalkerTest, GivesEveryEntryButDotAndDotDotAndEntersNoLink) {
    const std::set<std::string> all = {"sub",      "sub/inner",   "sub/inner/f.wqm", "sub/e.wqm",
                                       "sub/loop", ".hidden-dir", ".hidden-dir/g",   "...",
                                       ".../h",    "a.WQM",       "b.wqm",           ".c.wqm",
                                       "d.txt",    "dangling.wqm"};
    EXPECT_EQ(all, Walk(true));
    EXPECT_EQ(CDirWalker::kAttrDirectory, attributes_["sub"]);
    EXPECT_EQ(CDirWalker::kAttrDirectory | CDirWalker::kAttrReparsePoint, attributes_["sub/loop"]);
    EXPECT_EQ(CDirWalker::kAttrNormal, attributes_["a.WQM"]);

    const std::set<std::string> top = {"sub",   "...",    ".hidden-dir", "a.WQM",
                                       "b.wqm", ".c.wqm", "d.txt",       "dangling.wqm"};
    EXPECT_EQ(top, Walk(false));

    // The folder a walk starts from may itself be a link.
    const std::string link = MakeTempDir("walk") + S + "root";
    ASSERT_EQ(0, symlink(root_.c_str(), link.c_str()));
    CDirWalker walker;
    EXPECT_TRUE(walker.FindFirst(link, false));
}

TEST_F(DirWalkerTest, CountsFilesByExtensionWithoutCase) {
    std::filesystem::create_directories(root_ + S + "folder.wqm");
    EXPECT_EQ(4, CountFilesWithExtension(root_, "wqm"));  // a, b, .c and the dangling link
    EXPECT_EQ(1, CountFilesWithExtension(root_, "TXT"));
    EXPECT_EQ(5, CountFilesWithExtension(root_, ""));
    EXPECT_EQ(0, CountFilesWithExtension(root_ + S + "missing", ""));
}

TEST_F(DirWalkerTest, ADeepTreeEndsAndReadOnlyShows) {
    std::string deep = root_ + S + "deep";
    for (std::size_t i = 0; i < CDirWalker::kMaxDepth + 20; ++i)
        deep += S + "d";
    std::filesystem::create_directories(deep);
    WriteFileBytes(root_ + S + "ro", "x");
    ASSERT_EQ(0, chmod((root_ + S + "ro").c_str(), 0400));
    const std::set<std::string> seen = Walk(true);
    EXPECT_EQ(CDirWalker::kAttrReadOnly, attributes_["ro"]);
    std::size_t deepest = 0;
    for (const std::string& p : seen) {
        if (p.rfind("deep", 0) == 0)
            deepest = std::max(deepest, p.size());
    }
    EXPECT_GE(deepest, 2 * (CDirWalker::kMaxDepth - 1));
}

}  // namespace
}  // namespace tallowmere
