// The core's layers: platform <- model <- exchange and sync, where exchange
// and sync are siblings. A lower layer that includes a higher one (or sync
// that includes exchange) fails here, naming the file and line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tallowmere {
namespace {

const std::set<std::string, std::less<>> kLayers = {"platform", "model", "exchange", "sync", "ui"};

// What each checked layer may include.
const std::map<std::string, std::set<std::string>> kAllowed = {
    {"platform", {"platform"}},
    {"model", {"platform", "model"}},
    {"sync", {"platform", "model", "sync"}},
};

std::string_view SkipBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

// The layer that an #include line names ("model/x.h" gives "model", also
// behind "../"); empty for other lines and for headers outside the layers.
std::string IncludedLayer(std::string_view line) {
    line = SkipBlanks(line);
    if (line.empty() || line.front() != '#')
        return {};
    line = SkipBlanks(line.substr(1));
    constexpr std::string_view kInclude = "include";
    if (line.substr(0, kInclude.size()) != kInclude)
        return {};
    line = SkipBlanks(line.substr(kInclude.size()));
    if (line.empty() || (line.front() != '"' && line.front() != '<'))
        return {};
    const char close = line.front() == '"' ? '"' : '>';
    line.remove_prefix(1);
    std::string_view path = line.substr(0, line.find(close));
    while (path.substr(0, 3) == "../" || path.substr(0, 2) == "./")
        path.remove_prefix(path.front() == '.' && path[1] == '.' ? 3 : 2);
    const std::size_t slash = path.find('/');
    if (slash == std::string_view::npos)
        return {};
    const std::string_view first = path.substr(0, slash);
    return kLayers.count(first) != 0 ? std::string(first) : std::string();
}

TEST(IncludeLayersTest, EveryFormOfIncludeIsSeen) {
    const struct {
        const char* line;
        const char* layer;
    } cases[] = {
        {"#include \"exchange/fi_list.h\"", "exchange"},
        {"  #  include <sync/sync_server.h>", "sync"},
        {"#include \"../exchange/ofx_datetime.h\"", "exchange"},
        {"#include \"model/payee.h\" // why", "model"},
        {"// #include \"exchange/fi_list.h\"", ""},
        {"#include \"string_table_data.inc\"", ""},
        {"#include <vector>", ""},
        {"#include <sys/socket.h>", ""},
        {"#pragma once", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IncludedLayer(c.line), c.layer) << c.line;
}

TEST(IncludeLayersTest, LowerLayersIncludeNothingAbove) {
    const std::filesystem::path root = TALLOWMERE_SOURCE_ROOT;
    std::vector<std::string> crossings;
    for (const auto& [layer, allowed] : kAllowed) {
        const std::filesystem::path folder = root / layer;
        ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
        bool sawFile = false;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (!entry.is_regular_file())
                continue;
            sawFile = true;
            std::ifstream in(entry.path());
            ASSERT_TRUE(in) << entry.path();
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                const std::string included = IncludedLayer(line);
                if (!included.empty() && allowed.count(included) == 0)
                    crossings.push_back(std::filesystem::relative(entry.path(), root).string() +
                                        ":" + std::to_string(number) + ": " + line);
            }
        }
        EXPECT_TRUE(sawFile) << folder;
    }
    EXPECT_TRUE(crossings.empty()) << [&] {
        std::string all;
        for (const std::string& c : crossings)
            all += c + "\n";
        return all;
    }();
}

}  // namespace
}  // namespace tallowmere
