#include "model/string_table.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <shared_mutex>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/text_1252.h"

namespace tallowmere {
namespace {

constexpr std::string_view kBuiltinTable =
#include "string_table_data.inc"
    ;

std::string Unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[++i];
            out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Parses "id<TAB>text" lines; comment and malformed lines are skipped.
void ParseTable(std::string_view text, std::map<int, std::string>& into) {
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            continue;
        int id = 0;
        auto [ptr, ec] = std::from_chars(line.data(), line.data() + tab, id);
        if (ec != std::errc{} || ptr != line.data() + tab)
            continue;
        into[id] = Unescape(line.substr(tab + 1));
    }
}

struct Table {
    std::shared_mutex mutex;
    std::map<int, std::string> entries;
    // The program's own texts, which an override is checked against.
    std::map<int, std::string> builtin;
    Table() {
        ParseTable(kBuiltinTable, builtin);
        entries = builtin;
    }
};

// The length of the conversion that starts at format[i] == '%': flags,
// width, length modifiers and the conversion character, as FormatText reads
// them; 0 when the text ends first.
std::size_t ConversionLength(std::string_view format, std::size_t i) {
    std::size_t j = i + 1;
    while (j < format.size() &&
           std::string_view("-0+ #0123456789").find(format[j]) != std::string_view::npos) {
        ++j;
    }
    while (j < format.size() && (format[j] == 'l' || format[j] == 'h' || format[j] == 'I'))
        ++j;
    return j < format.size() ? j - i + 1 : 0;
}

// Every conversion of the text in order, "%%" left out, a dangling '%' kept.
std::vector<std::string_view> Conversions(std::string_view text) {
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        const std::size_t n = ConversionLength(text, i);
        if (n == 0) {
            out.push_back(text.substr(i));
            break;
        }
        if (text[i + n - 1] != '%')
            out.push_back(text.substr(i, n));
        i += n - 1;
    }
    return out;
}

Table& TheTable() {
    static Table table;
    return table;
}

std::string FormatOne(std::string_view conversion, char conv, const FormatArg* arg) {
    // conversion holds the flags and width between '%' and the conversion.
    bool left = false, zero = false, plus = false;
    std::size_t i = 0;
    for (; i < conversion.size() &&
           (conversion[i] == '-' || conversion[i] == '0' || conversion[i] == '+' ||
            conversion[i] == ' ' || conversion[i] == '#');
         ++i) {
        left |= conversion[i] == '-';
        zero |= conversion[i] == '0';
        plus |= conversion[i] == '+';
    }
    std::size_t width = 0;
    for (; i < conversion.size() && conversion[i] >= '0' && conversion[i] <= '9'; ++i) {
        width = width * 10 + static_cast<std::size_t>(conversion[i] - '0');
        if (width > 256)
            width = 256;
    }
    std::string body;
    bool numeric = conv != 's';
    if (arg) {
        if (const auto* n = std::get_if<std::int64_t>(arg)) {
            if (conv == 's') {
                body = std::to_string(*n);
            } else if (conv == 'x' || conv == 'X') {
                // Hex of the 32-bit value, as a Windows result code prints.
                char buf[32];
                auto v = static_cast<std::uint32_t>(*n);
                auto res = std::to_chars(buf, buf + sizeof buf, v, 16);
                body.assign(buf, res.ptr);
                if (conv == 'X') {
                    for (char& c : body) {
                        if (c >= 'a' && c <= 'f')
                            c = static_cast<char>(c - 'a' + 'A');
                    }
                }
            } else if (conv == 'u') {
                body = std::to_string(static_cast<std::uint32_t>(*n));
            } else {
                body = std::to_string(*n);
                if (plus && *n >= 0)
                    body.insert(body.begin(), '+');
            }
        } else {
            body = std::get<std::string>(*arg);
            numeric = false;
        }
    }
    if (body.size() >= width)
        return body;
    std::size_t pad = width - body.size();
    if (left)
        return body + std::string(pad, ' ');
    if (zero && numeric) {
        std::size_t at = (!body.empty() && (body[0] == '-' || body[0] == '+')) ? 1 : 0;
        body.insert(at, pad, '0');
        return body;
    }
    return std::string(pad, ' ') + body;
}

}  // namespace

std::string LoadString(int id) {
    Table& t = TheTable();
    std::shared_lock lock(t.mutex);
    auto it = t.entries.find(id);
    return it == t.entries.end() ? std::string{} : it->second;
}

std::string LoadString1252(int id) {
    return platform::Utf8ToCp1252(LoadString(id));
}

int LoadStringTableOverride(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (int rc = platform::ReadWholeFile(path, bytes); rc != 0)
        return rc;
    std::map<int, std::string> parsed;
    ParseTable(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), parsed);
    Table& t = TheTable();
    std::unique_lock lock(t.mutex);
    for (auto& [id, text] : parsed) {
        // A text that would be formatted with other arguments than the
        // program passes is not taken.
        const auto own = t.builtin.find(id);
        if (own == t.builtin.end() || Conversions(text) != Conversions(own->second))
            continue;
        t.entries[id] = std::move(text);
    }
    return 0;
}

std::string FormatText(std::string_view format, const std::vector<FormatArg>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        // Length modifiers carry no meaning here.
        const std::size_t n = ConversionLength(format, i);
        if (n == 0) {
            out.append(format.substr(i));
            break;
        }
        const std::size_t j = i + n - 1;
        char conv = format[j];
        if (conv == '%') {
            out += '%';
        } else if (std::string_view("diuxXs").find(conv) != std::string_view::npos) {
            const FormatArg* arg = next < args.size() ? &args[next] : nullptr;
            ++next;
            out += FormatOne(format.substr(i + 1, j - i - 1), conv, arg);
        } else {
            out.append(format.substr(i, j - i + 1));
        }
        i = j;
    }
    return out;
}

}  // namespace tallowmere
