#include "model/client_uid_list.h"

#include <mutex>
#include <span>
#include <vector>

#include "model/paths.h"
#include "platform/atomic_file.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere {
namespace {

// Like atoi: leading blanks, a sign, digits; 0 when no number starts there.
// Large values are capped: reading stops at the end of the data anyway.
long long ParseCount(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && platform::IsAsciiSpace(static_cast<unsigned char>(line[i])))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '-' || line[i] == '+'))
        negative = line[i++] == '-';
    long long v = 0;
    while (i < line.size() && platform::IsAsciiDigit(static_cast<unsigned char>(line[i]))) {
        if (v < 1000000000000LL)
            v = v * 10 + (line[i] - '0');
        ++i;
    }
    return negative ? -v : v;
}

class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}
    // The next line without its CR LF or LF; false at the end of the data.
    bool Next(std::string& line) {
        if (pos_ >= text_.size())
            return false;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos)
            end = text_.size();
        std::string_view l = text_.substr(pos_, end - pos_);
        if (!l.empty() && l.back() == '\r')
            l.remove_suffix(1);
        line.assign(l);
        pos_ = end + 1;
        return true;
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::string WithoutLineBreaks(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c != '\r' && c != '\n')
            out += c;
    }
    return out;
}

struct ClientUidState {
    std::mutex mutex;
    std::string folder;
    StringMap map;
    bool loaded = false;
};

ClientUidState& State() {
    static ClientUidState state;
    return state;
}

std::string ListPath(const ClientUidState& s) {
    return JoinPath(s.folder, kClientUidListFile);
}

int LoadLocked(ClientUidState& s) {
    s.map.clear();
    s.loaded = true;
    if (s.folder.empty())
        return 0;
    std::vector<std::uint8_t> bytes;
    const int err = platform::ReadWholeFile(ListPath(s), bytes);
    if (err == platform::kErrorFileNotFound || err == platform::kErrorPathNotFound)
        return 0;
    if (err != 0)
        return err;
    ReadStringMap(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                  s.map);
    return 0;
}

void EnsureLoaded(ClientUidState& s) {
    if (!s.loaded)
        LoadLocked(s);
}

}  // namespace

void ReadStringMap(std::string_view text, StringMap& map) {
    map.clear();
    LineReader reader(text);
    std::string line;
    long long count = reader.Next(line) ? ParseCount(line) : 0;
    for (; count > 0; --count) {
        std::string key;
        std::string value;
        const bool atEnd = !reader.Next(key);
        if (!atEnd)
            reader.Next(value);
        map.emplace(std::move(key), std::move(value));
        // Past the end every further entry would be the same empty pair,
        // so a huge count read from the file costs nothing.
        if (atEnd)
            break;
    }
}

std::string WriteStringMap(const StringMap& map) {
    std::string out = std::to_string(map.size()) + "\r\n";
    for (const auto& [key, value] : map) {
        out += key;
        out += "\r\n";
        out += value;
        out += "\r\n";
    }
    return out;
}

namespace ClientUid {

void SetDataFolder(std::string folder) {
    ClientUidState& s = State();
    const std::lock_guard lock(s.mutex);
    if (folder == s.folder)
        return;
    s.folder = std::move(folder);
    s.map.clear();
    s.loaded = false;
}

std::string Lookup(std::string_view accountNumber) {
    ClientUidState& s = State();
    const std::lock_guard lock(s.mutex);
    EnsureLoaded(s);
    return s.map.try_emplace(WithoutLineBreaks(accountNumber)).first->second;
}

void Set(std::string_view accountNumber, std::string_view clientUid) {
    ClientUidState& s = State();
    const std::lock_guard lock(s.mutex);
    EnsureLoaded(s);
    s.map.insert_or_assign(WithoutLineBreaks(accountNumber), WithoutLineBreaks(clientUid));
}

int Load() {
    ClientUidState& s = State();
    const std::lock_guard lock(s.mutex);
    return LoadLocked(s);
}

int Save() {
    ClientUidState& s = State();
    const std::lock_guard lock(s.mutex);
    if (s.folder.empty())
        return platform::kErrorPathNotFound;
    EnsureLoaded(s);
    const std::string text = WriteStringMap(s.map);
    return platform::WriteFileAtomic(
        ListPath(s), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace ClientUid
}  // namespace tallowmere
