#include "support/test_env.h"

#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tallowmere::test {
namespace {

std::string CreateRoot() {
    const char* base = getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/tallowmere-test-XXXXXX";
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    return tmpl;
}

}  // namespace

void PrepareTestHome() {
    const std::string& root = TestRoot();
    for (const char* sub : {"/home", "/config", "/data", "/runtime", "/tmp"}) {
        std::filesystem::create_directories(root + sub);
    }
    std::filesystem::permissions(root + "/runtime", std::filesystem::perms::owner_all);
    setenv("HOME", (root + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
    setenv("TMPDIR", (root + "/tmp").c_str(), 1);
}

void RemoveTestHome() {
    std::error_code ec;
    std::filesystem::remove_all(TestRoot(), ec);
}

const std::string& TestRoot() {
    static const std::string root = CreateRoot();
    return root;
}

std::string MakeTempDir(const std::string& prefix) {
    static std::atomic<int> counter{0};
    std::string dir = TestRoot() + "/" + prefix + std::to_string(++counter);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tallowmere::test
