// The program as a user starts it: the built binary on a real X server
// (the test runs under xvfb-run), with its own home and runtime folders.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "exchange/desktop_load_options.h"
#include "model/accounts.h"
#include "model/password_crib.h"
#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "model/registry.h"
#include "model/users.h"
#include "platform/registry_store.h"
#include "support/test_env.h"

extern char** environ;

namespace tallowmere {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// One user's folders: the program and this test both find the registry and
// the data below HOME.
struct Home {
    std::string home;
    std::string runtime;
    std::string grab;

    static Home Make() {
        Home h{test::MakeTempDir("home"), test::MakeTempDir("runtime"), test::MakeTempDir("grab")};
        chmod(h.runtime.c_str(), 0700);
        return h;
    }
    std::string DataFolder(const std::string& folder) const {
        return home + "/.local/share/Brackwater/Tallowmere/" + folder;
    }
};

// Reads and writes the home's registry as the program does.
class HomeRegistry {
  public:
    explicit HomeRegistry(const Home& home) {
        setenv("HOME", home.home.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
        platform::SetRegistryStorePath("");
        Platform::SetLibraryFolder(fs::path(TALLOWMERE_PROGRAM).parent_path().string());
        EXPECT_EQ(0, Platform::Initialize(1, kProductWord));
    }
    ~HomeRegistry() {
        Platform::Release();
        Platform::SetLibraryFolder("");
    }
};

class Process {
  public:
    Process(const Home& home, std::vector<std::string> extraEnv = {}) {
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string_view entry = *e;
            // The program finds everything of its own below HOME.
            if (entry.starts_with("XDG_") || entry.starts_with("HOME=") ||
                entry.starts_with("QT_QPA_PLATFORM=") || entry.starts_with("TMPDIR="))
                continue;
            env.emplace_back(entry);
        }
        env.push_back("HOME=" + home.home);
        env.push_back("XDG_RUNTIME_DIR=" + home.runtime);
        env.push_back("TALLOWMERE_TEST_GRAB=" + home.grab);
        for (std::string& e : extraEnv)
            env.push_back(std::move(e));
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string program = TALLOWMERE_PROGRAM;
        char* argv[] = {program.data(), nullptr};
        if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
            pid_ = -1;
    }
    ~Process() {
        if (pid_ > 0 && !status_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Started() const { return pid_ > 0; }
    void Signal(int sig) const { kill(pid_, sig); }
    // The exit code once the process has ended within the wait; nothing
    // when it still runs or ended by a signal.
    std::optional<int> WaitExit(std::chrono::milliseconds wait) {
        const auto end = Clock::now() + wait;
        while (!status_) {
            int status = 0;
            const pid_t r = waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                status_ = status;
                break;
            }
            if (Clock::now() >= end)
                return std::nullopt;
            std::this_thread::sleep_for(10ms);
        }
        if (!WIFEXITED(*status_))
            return std::nullopt;
        return WEXITSTATUS(*status_);
    }

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

bool WaitForFile(const std::string& path, Process& process, std::chrono::seconds wait) {
    const auto end = Clock::now() + wait;
    while (Clock::now() < end) {
        if (fs::exists(path))
            return true;
        if (process.WaitExit(0ms))
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = test::ReadFileBytes(entry.path().string());
    return files;
}

// Kept under the build folder for a look.
void KeepScreenshot(const std::string& grab, const std::string& name,
                    const std::string& from = "frame.png") {
    fs::create_directories(TALLOWMERE_SCREENSHOTS);
    std::error_code ec;
    fs::copy_file(grab + "/" + from, std::string(TALLOWMERE_SCREENSHOTS) + "/" + name,
                  fs::copy_options::overwrite_existing, ec);
}

class ProgramStartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (getenv("DISPLAY") == nullptr && getenv("WAYLAND_DISPLAY") == nullptr)
            GTEST_SKIP() << "no X server: run under xvfb-run";
    }
};

TEST_F(ProgramStartTest, AUserStartsSecondCopyHandsOverSigtermEndsIt) {
    const Home home = Home::Make();
    const std::string folder = home.DataFolder("SER1");
    std::map<std::string, std::string> before;
    {
        HomeRegistry registry(home);
        CreatePrefsKeys();
        fs::create_directories(folder);
        const std::string key = PhoneUserKeyPath("SER1");
        ASSERT_EQ(0, platform::RegStoreCreateKey(key));
        RegWriteString(RegRoot::kCurrentUser, key, kUserDisplayNameValue, "Ann");
        // Every file the desktop's load makes is there, the institution list
        // included.
        std::unique_ptr<CAccounts> accounts;
        ASSERT_EQ(0,
                  CAccounts::LoadInto(accounts, folder, DesktopLoadOptions(HeaderCipher::None())));
        SetPrefCurrentUser("SER1");
        WriteDisplayUserGuide(0);
        SetPrefWinPos("0100 0050 0900 0700");
        before = Snapshot(folder);
    }

    Process first(home);
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitForFile(home.grab + "/frame.png", first, 60s)) << "no main window";
    KeepScreenshot(home.grab, "program_start_user.png");
    // The pages were taken before the frame, Register last again.
    for (const char* page : {"page-0.png", "page-1.png", "page-2.png"}) {
        EXPECT_TRUE(fs::exists(home.grab + "/" + page)) << page;
        KeepScreenshot(home.grab, std::string("program_start_") + page, page);
    }

    const auto started = Clock::now();
    Process second(home);
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(0, second.WaitExit(2s)) << "the second copy must hand over and end";
    EXPECT_LT(Clock::now() - started, 2s);
    EXPECT_EQ(std::nullopt, first.WaitExit(0ms)) << "the first copy keeps running";

    first.Signal(SIGTERM);
    EXPECT_EQ(0, first.WaitExit(30s));

    HomeRegistry registry(home);
    EXPECT_EQ("0100 0050 0900 0700", GetPrefWinPos());
    EXPECT_EQ("SER1", GetPrefCurrentUser());
    EXPECT_EQ(0u, ReadDisplayUserGuide());
    EXPECT_EQ(before, Snapshot(folder)) << "the user's files as they were";
}

// A logout while the password is asked ends the program as Cancel would.
TEST_F(ProgramStartTest, SigtermAtThePasswordPromptEndsTheProgram) {
    const Home home = Home::Make();
    {
        HomeRegistry registry(home);
        CreatePrefsKeys();
        const std::string folder = home.DataFolder("SER1");
        fs::create_directories(folder);
        std::unique_ptr<CAccounts> accounts;
        ASSERT_EQ(0, CAccounts::LoadInto(accounts, folder, {}));
        SetPrefCurrentUser("SER1");
        WriteDisplayUserGuide(0);
        SetPrefPasswordCrib("SER1", ComputePasswordCrib("ab"));
    }
    Process program(home);
    ASSERT_TRUE(program.Started());
    // The socket is there once the program listens, just before it asks.
    ASSERT_TRUE(WaitForFile(home.runtime + "/tallowmere/Tallowmere Class", program, 60s));
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(std::nullopt, program.WaitExit(0ms)) << "it waits for the password";
    program.Signal(SIGTERM);
    EXPECT_EQ(0, program.WaitExit(30s));
    EXPECT_FALSE(fs::exists(home.grab + "/frame.png")) << "no window without the password";

    HomeRegistry registry(home);
    EXPECT_EQ("", GetPrefWinPos());
}

// A first run shows the setup wizard and keeps the main window hidden; a
// logout during the wizard ends the program as its Cancel would.
TEST_F(ProgramStartTest, AnEmptyHomeShowsTheSetupWizard) {
    const Home home = Home::Make();
    Process program(home);
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(WaitForFile(home.grab + "/wizard.png", program, 60s)) << "no wizard";
    KeepScreenshot(home.grab, "program_start_first_run.png", "wizard.png");
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(fs::exists(home.grab + "/frame.png")) << "the main window stays hidden";
    program.Signal(SIGTERM);
    EXPECT_EQ(0, program.WaitExit(30s));

    HomeRegistry registry(home);
    EXPECT_EQ(kStandaloneFolder, GetPrefCurrentUser());
    EXPECT_TRUE(GetPrefWinPos().empty()) << "a window never shown keeps no place";
    EXPECT_EQ(std::uint32_t{99},
              RegReadDword(RegRoot::kCurrentUser, kPhoneSyncKeyPath, "DisplayUserGuide", 99))
        << "only the wizard's Finish writes DisplayUserGuide";
}

}  // namespace
}  // namespace tallowmere
