#include "ui/logic/menu_table.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

#include "model/string_table.h"
#include "ui/logic/command_id.h"

namespace tallowmere::ui {
namespace {

constexpr std::string_view kMainMenu =
#include "menu_128_data.inc"
    ;

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            return fields;
        line.remove_prefix(tab + 1);
    }
}

bool ReadInt(std::string_view text, int& value) {
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && ptr == text.data() + text.size() && value >= 0;
}

// The table's escapes: \t and \\.
std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 't' ? '\t' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string ResolveText(std::string_view field) {
    int id = 0;
    if (field.size() > 1 && field.front() == '@' && ReadInt(field.substr(1), id))
        return LoadString(id);
    return Unescape(field);
}

std::vector<MenuEntry> Fail(std::string* error, int line, const std::string& what) {
    if (error != nullptr)
        *error = "line " + std::to_string(line) + ": " + what;
    return {};
}

}  // namespace

bool MenuEntry::IsPopup() const {
    return id > 0 && id < kFirstCommandNumber;
}

std::vector<MenuEntry> ParseMenuTable(std::string_view table, std::string* error) {
    std::vector<MenuEntry> entries;
    std::vector<int> lines;
    int lineNumber = 0;
    while (!table.empty()) {
        const std::size_t end = table.find('\n');
        std::string_view line = table.substr(0, end);
        table = end == std::string_view::npos ? std::string_view{} : table.substr(end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        const std::vector<std::string_view> fields = SplitTabs(line);
        MenuEntry entry;
        if (fields.size() != 4 || !ReadInt(fields[0], entry.id) ||
            !ReadInt(fields[1], entry.parent) || !ReadInt(fields[2], entry.position)) {
            return Fail(error, lineNumber, "not four fields: id, parent, position, text");
        }
        if (entry.IsSeparator()) {
            if (fields[3] != "-")
                return Fail(error, lineNumber, "a separator's text is \"-\"");
        } else {
            std::string text = ResolveText(fields[3]);
            const std::size_t tab = text.find('\t');
            if (tab != std::string::npos) {
                entry.shortcut = text.substr(tab + 1);
                text.resize(tab);
            }
            if (text.empty())
                return Fail(error, lineNumber, "no text");
            entry.text = std::move(text);
        }
        entries.push_back(std::move(entry));
        lines.push_back(lineNumber);
    }

    std::set<int> popups;
    std::set<int> ids;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& e = entries[i];
        if (e.IsPopup() && !e.shortcut.empty())
            return Fail(error, lines[i], "a pop-up has no shortcut");
        if (!e.IsSeparator() && !ids.insert(e.id).second)
            return Fail(error, lines[i], "id " + std::to_string(e.id) + " twice");
        if (e.IsPopup())
            popups.insert(e.id);
    }
    // Every pop-up hangs from the menu bar, not from a ring of pop-ups.
    std::map<int, int> parentOf;
    for (const MenuEntry& e : entries) {
        if (e.IsPopup())
            parentOf[e.id] = e.parent;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        int at = entries[i].parent;
        for (std::size_t steps = 0; at != 0 && steps <= parentOf.size(); ++steps)
            at = parentOf.count(at) != 0 ? parentOf[at] : 0;
        if (at != 0)
            return Fail(error, lines[i], "pop-ups in a ring");
    }
    std::map<int, std::vector<int>> positions;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& e = entries[i];
        if (e.parent != 0 && popups.count(e.parent) == 0)
            return Fail(error, lines[i], "parent " + std::to_string(e.parent) + " is no pop-up");
        if (e.parent == 0 && !e.IsPopup())
            return Fail(error, lines[i], "the menu bar holds pop-ups only");
        positions[e.parent].push_back(e.position);
    }
    for (auto& [parent, places] : positions) {
        std::sort(places.begin(), places.end());
        for (std::size_t i = 0; i < places.size(); ++i) {
            if (places[i] != static_cast<int>(i)) {
                return Fail(error, 0,
                            "positions in " + std::to_string(parent) + " do not run 0, 1, 2 ...");
            }
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const MenuEntry& a, const MenuEntry& b) {
        return a.parent != b.parent ? a.parent < b.parent : a.position < b.position;
    });
    return entries;
}

std::vector<MenuEntry> MenuChildren(const std::vector<MenuEntry>& table, int parent) {
    std::vector<MenuEntry> children;
    for (const MenuEntry& e : table) {
        if (e.parent == parent)
            children.push_back(e);
    }
    return children;
}

const std::vector<MenuEntry>& MainMenuTable() {
    static const std::vector<MenuEntry> table = ParseMenuTable(kMainMenu);
    return table;
}

}  // namespace tallowmere::ui
