#include "platform/special_folders.h"

#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <vector>

namespace tallowmere::platform {
namespace {

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The value of one line NAME="value" as the shell would read it: quotes
// dropped, a backslash taking the next character literally.
std::string Unquote(std::string_view v) {
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const char c = v[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && i + 1 < v.size()) {
            out += v[++i];
        } else if (!quoted && (c == ' ' || c == '\t' || c == '#')) {
            break;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string HomeFolder() {
    if (const char* home = getenv("HOME"); home != nullptr && home[0] != '\0')
        return home;
    const long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr)
        return found->pw_dir;
    return std::string();
}

std::string XdgUserDir(std::string_view name) {
    const std::string home = HomeFolder();
    std::string config;
    if (const char* c = getenv("XDG_CONFIG_HOME"); c != nullptr && c[0] == '/')
        config = c;
    else
        config = home + "/.config";
    std::ifstream in(config + "/user-dirs.dirs", std::ios::binary);
    const std::string wanted = "XDG_" + std::string(name) + "_DIR=";
    std::string line;
    std::string result;
    while (std::getline(in, line)) {
        std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, wanted.size(), wanted) != 0)
            continue;
        std::string value = Unquote(std::string_view(line).substr(start + wanted.size()));
        if (value == "$HOME" || value.rfind("$HOME/", 0) == 0)
            value = home + value.substr(5);
        // The last assignment wins, as when the shell reads the file.
        result = value.empty() || value[0] != '/' ? std::string() : value;
    }
    return result;
}

std::string DocumentsFolder() {
    std::string docs = XdgUserDir("DOCUMENTS");
    if (!docs.empty())
        return docs;
    const std::string home = HomeFolder();
    if (!home.empty() && IsFolder(home + "/Documents"))
        return home + "/Documents";
    return home;
}

}  // namespace tallowmere::platform
