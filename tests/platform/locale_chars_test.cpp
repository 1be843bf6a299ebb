#include "platform/locale_chars.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "support/test_env.h"

// glibc's newlocale never frees its copy of LOCPATH, which the tests below
// set; nothing in the program sets it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:__argz_add_sep\n";
}

namespace tallowmere::platform {
namespace {

// Restores the locale variables each test sets.
class LocaleCharsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : kVariables) {
            const char* value = getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
        for (const char* name : kVariables)
            unsetenv(name);
    }
    void TearDown() override {
        for (std::size_t i = 0; i < std::size(kVariables); ++i) {
            if (saved_[i]) {
                setenv(kVariables[i], saved_[i]->c_str(), 1);
            } else {
                unsetenv(kVariables[i]);
            }
        }
    }

    static std::string GlobalNumeric() { return setlocale(LC_NUMERIC, nullptr); }

    static constexpr const char* kVariables[] = {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG",
                                                 "LOCPATH"};
    std::vector<std::optional<std::string>> saved_;
};

TEST_F(LocaleCharsTest, CLocaleGivesAPointAndLeavesTheGlobalLocaleAlone) {
    const std::string global_before = GlobalNumeric();
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        setenv(variable, "C.UTF-8", 1);
        std::string decimal = "x";
        std::string thousands = "y";
        ASSERT_TRUE(ReadLocaleSeparators(decimal, thousands)) << variable;
        EXPECT_EQ(decimal, ".") << variable;
        EXPECT_EQ(thousands, "") << variable;
        unsetenv(variable);
    }
    EXPECT_EQ(GlobalNumeric(), global_before);
}

TEST_F(LocaleCharsTest, UnknownLocaleFailsAndLeavesTheOutputs) {
    setenv("LC_ALL", "xx_NOWHERE.BOGUS", 1);
    std::string decimal = ".";
    std::string thousands = ",";
    EXPECT_FALSE(ReadLocaleSeparators(decimal, thousands));
    EXPECT_EQ(decimal, ".");
    EXPECT_EQ(thousands, ",");
    std::string dateFormat = "%D";
    EXPECT_FALSE(ReadLocaleDateFormat(dateFormat));
    EXPECT_EQ(dateFormat, "%D");
}

// Compiles a locale from the system's sources into the test root; the
// machines that run the tests rarely have any but C installed.
bool BuildLocale(const std::string& folder, const char* source, const char* name) {
    std::filesystem::create_directories(folder);
    const std::string command = std::string("localedef -c -i ") + source + " -f UTF-8 '" + folder +
                                "/" + name + "' >/dev/null 2>&1";
    const int rc = std::system(command.c_str());
    return rc != -1 && WIFEXITED(rc) && WEXITSTATUS(rc) <= 1 &&
           std::filesystem::exists(folder + "/" + name + "/LC_NUMERIC");
}

TEST_F(LocaleCharsTest, ReadsTheEnvironmentsLocaleNotTheGlobalOne) {
    struct Case {
        const char* source;
        const char* name;
        const char* decimal;
        const char* thousands;
        const char* dateFormat;
    };
    const Case cases[] = {
        {"de_DE", "de_DE.UTF-8", ",", ".", "%d.%m.%Y"},
        // A narrow no-break space, whole.
        {"fr_FR", "fr_FR.UTF-8", ",", "\xE2\x80\xAF", "%d/%m/%Y"},
    };
    const std::string folder = test::TestRoot() + "/locales";
    const std::string global_before = GlobalNumeric();
    for (const Case& c : cases) {
        if (!BuildLocale(folder, c.source, c.name)) {
            GTEST_SKIP() << "cannot build " << c.name << " with localedef";
        }
        setenv("LOCPATH", folder.c_str(), 1);
        setenv("LC_NUMERIC", c.name, 1);
        setenv("LC_TIME", c.name, 1);
        std::string decimal;
        std::string thousands;
        ASSERT_TRUE(ReadLocaleSeparators(decimal, thousands)) << c.name;
        EXPECT_EQ(decimal, c.decimal) << c.name;
        EXPECT_EQ(thousands, c.thousands) << c.name;
        std::string dateFormat;
        ASSERT_TRUE(ReadLocaleDateFormat(dateFormat)) << c.name;
        EXPECT_EQ(dateFormat, c.dateFormat) << c.name;
    }
    EXPECT_EQ(GlobalNumeric(), global_before);
}

}  // namespace
}  // namespace tallowmere::platform
