#include "ui/logic/view_menus.h"

#include <map>
#include <string>
#include <string_view>

namespace tallowmere::ui {
namespace {

constexpr std::string_view kViewMenus =
#include "menu_view_data.inc"
    ;

constexpr std::string_view kSectionMark = "#menu ";

// Each section is a table of its own: two menus may hold the same command.
std::map<int, std::vector<MenuEntry>> ParseSections() {
    std::map<int, std::vector<MenuEntry>> menus;
    std::string_view rest = kViewMenus;
    int current = 0;
    std::string section;
    const auto flush = [&] {
        if (current != 0)
            menus[current] = ParseMenuTable(section);
        section.clear();
    };
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (line.substr(0, kSectionMark.size()) == kSectionMark) {
            flush();
            current = std::stoi(std::string(line.substr(kSectionMark.size())));
            continue;
        }
        section.append(line);
        section += '\n';
    }
    flush();
    return menus;
}

}  // namespace

const std::vector<MenuEntry>& ViewPopupMenu(int menuId) {
    static const std::map<int, std::vector<MenuEntry>> menus = ParseSections();
    static const std::vector<MenuEntry> none;
    const auto it = menus.find(menuId);
    return it != menus.end() ? it->second : none;
}

}  // namespace tallowmere::ui
