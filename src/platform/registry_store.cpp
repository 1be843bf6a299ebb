#include "platform/registry_store.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <set>

#include "platform/atomic_file.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere::platform {
namespace {

constexpr std::string_view kHeader = "Tallowmere registry 1";
constexpr int kErrorInvalidParameter = 87;

// Keyed by the folded canonical path, so lookups ignore case while each key
// keeps the spelling it was created with.
using KeyMap = std::map<std::string, RegStoreKey>;

struct FileStamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};
    bool operator==(const FileStamp& o) const {
        return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec &&
               ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

FileStamp StampOf(const struct stat& st) {
    FileStamp s;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime = st.st_mtim;
    s.ctime = st.st_ctim;
    return s;
}

struct Snapshot {
    KeyMap keys;
    bool unreadable = false;
};

// Painting reads preferences often, so the parsed file is kept and reused
// while the file on disk is the same one. Every write drops it.
struct Cache {
    std::string path;
    bool missing = false;  // the file did not exist when cached
    FileStamp stamp;
    Snapshot snap;
    bool valid = false;
};

std::mutex g_mutex;
std::string g_override_path;
Cache g_cache;

std::string FoldKey(const std::vector<std::string>& parts) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += '\\';
        for (const char c : parts[i])
            out += static_cast<char>(FoldCase1252(static_cast<unsigned char>(c)));
    }
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareNoCase1252(a, b) == 0;
}

// Adds the key and its missing parents; true when anything was added.
bool AddKey(KeyMap& keys, const std::vector<std::string>& parts) {
    bool added = false;
    std::string parentPath;
    std::vector<std::string> prefix;
    keys.try_emplace(std::string());
    for (const std::string& part : parts) {
        prefix.push_back(part);
        auto [it, inserted] = keys.try_emplace(FoldKey(prefix));
        if (inserted) {
            // A new key takes its name as given below its parent's spelling.
            it->second.path = parentPath.empty() ? part : parentPath + '\\' + part;
            added = true;
        }
        parentPath = it->second.path;
    }
    return added;
}

RegStoreKey* FindKey(KeyMap& keys, std::string_view path) {
    const auto it = keys.find(FoldKey(SplitKeyPath(path)));
    return it == keys.end() ? nullptr : &it->second;
}

RegStoreValue* FindValue(RegStoreKey& key, std::string_view name) {
    for (RegStoreValue& v : key.values) {
        if (SameName(v.name, name))
            return &v;
    }
    return nullptr;
}

bool NeedsEscape(unsigned char c) {
    return c < 0x21 || c > 0x7E || c == '"' || c == '%';
}

constexpr char kHex[] = "0123456789abcdef";

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (NeedsEscape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    out += '"';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::string> ParseQuoted(std::string_view field) {
    if (field.size() < 2 || field.front() != '"' || field.back() != '"')
        return std::nullopt;
    field = field.substr(1, field.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '%') {
            if (i + 2 >= field.size())
                return std::nullopt;
            const int hi = HexDigit(field[i + 1]);
            const int lo = HexDigit(field[i + 2]);
            if (hi < 0 || lo < 0)
                return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else if (NeedsEscape(static_cast<unsigned char>(c))) {
            return std::nullopt;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> ParseHex(std::string_view field) {
    if (field.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> out;
    out.reserve(field.size() / 2);
    for (std::size_t i = 0; i < field.size(); i += 2) {
        const int hi = HexDigit(field[i]);
        const int lo = HexDigit(field[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return out;
}

std::optional<std::uint32_t> ParseType(std::string_view field) {
    if (field.empty() || field.size() > 10)
        return std::nullopt;
    std::uint64_t v = 0;
    for (const char c : field) {
        if (!IsAsciiDigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (v > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<std::uint32_t>(v);
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t end = line.find(' ', start);
        if (end == std::string_view::npos) {
            fields.push_back(line.substr(start));
            break;
        }
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

bool ParseToMap(std::string_view text, KeyMap& keys) {
    keys.clear();
    keys.try_emplace(std::string());  // the root
    std::size_t pos = 0;
    bool first = true;
    RegStoreKey* current = nullptr;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        // Every line ends with LF; a missing one means the file was cut short.
        if (end == std::string_view::npos)
            return false;
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (first) {
            if (line != kHeader)
                return false;
            first = false;
            continue;
        }
        const std::vector<std::string_view> f = SplitFields(line);
        if (f.size() == 2 && f[0] == "K") {
            const std::optional<std::string> path = ParseQuoted(f[1]);
            if (!path)
                return false;
            const std::vector<std::string> parts = SplitKeyPath(*path);
            AddKey(keys, parts);
            current = &keys[FoldKey(parts)];
        } else if ((f.size() == 3 || f.size() == 4) && f[0] == "V") {
            const std::optional<std::uint32_t> type = ParseType(f[1]);
            const std::optional<std::string> name = ParseQuoted(f[2]);
            std::optional<std::vector<std::uint8_t>> data =
                f.size() == 4 ? ParseHex(f[3]) : std::vector<std::uint8_t>();
            if (!type || !name || !data || (f.size() == 4 && f[3].empty()))
                return false;
            if (current == nullptr)
                current = &keys[std::string()];
            if (RegStoreValue* v = FindValue(*current, *name)) {
                v->type = *type;
                v->data = std::move(*data);
            } else {
                current->values.push_back(RegStoreValue{*name, *type, std::move(*data)});
            }
        } else {
            return false;
        }
    }
    return !first;
}

std::string FormatMap(const KeyMap& keys) {
    std::vector<RegStoreKey> list;
    list.reserve(keys.size());
    for (const auto& [folded, key] : keys)
        list.push_back(key);
    return FormatRegistryStore(list);
}

std::string ParentFolder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates the store's folder and its parents, owner-only; existing folders
// keep their modes.
int EnsureFolder(const std::string& folder) {
    for (std::size_t i = 1; i <= folder.size(); ++i) {
        if (i < folder.size() && folder[i] != '/')
            continue;
        const std::string part = folder.substr(0, i);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return WinErrorFromErrno(errno);
    }
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0)
        return WinErrorFromErrno(errno);
    return S_ISDIR(st.st_mode) ? 0 : kErrorPathNotFound;
}

class FileLock {
  public:
    explicit FileLock(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            err_ = WinErrorFromErrno(errno);
            return;
        }
        while (flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                err_ = WinErrorFromErrno(errno);
                return;
            }
        }
    }
    ~FileLock() {
        if (fd_ >= 0)
            close(fd_);  // releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    int error() const { return err_; }

  private:
    int fd_ = -1;
    int err_ = 0;
};

std::string CurrentPathLocked() {
    return g_override_path.empty() ? DefaultRegistryStorePath() : g_override_path;
}

// Reads the store into the cache unless the cached copy is still the file
// on disk. Called with g_mutex held.
Snapshot& LoadLocked(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (g_cache.valid && g_cache.path == path && g_cache.missing && err == ENOENT)
            return g_cache.snap;
        g_cache = Cache{};
        g_cache.path = path;
        g_cache.valid = true;
        g_cache.missing = err == ENOENT;
        g_cache.snap.keys.try_emplace(std::string());
        g_cache.snap.unreadable = err != ENOENT;
        return g_cache.snap;
    }
    struct stat st {};
    if (fstat(fd, &st) == 0 && g_cache.valid && g_cache.path == path && !g_cache.missing &&
        g_cache.stamp == StampOf(st)) {
        close(fd);
        return g_cache.snap;
    }
    g_cache = Cache{};
    g_cache.path = path;
    g_cache.valid = true;
    g_cache.stamp = StampOf(st);
    std::string text;
    bool ok = S_ISREG(st.st_mode);
    char buf[16384];
    while (ok) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    if (!ok || !ParseToMap(text, g_cache.snap.keys)) {
        g_cache.snap.keys.clear();
        g_cache.snap.keys.try_emplace(std::string());
        g_cache.snap.unreadable = true;
    }
    return g_cache.snap;
}

// Runs one change under the process and file locks on a fresh copy of the
// store; change returns 0 to write, -1 for "nothing to do", or a code.
template <class Change>
int Modify(Change change) {
    const std::lock_guard guard(g_mutex);
    const std::string path = CurrentPathLocked();
    if (const int err = EnsureFolder(ParentFolder(path)); err != 0)
        return err;
    const FileLock lock(path + ".lock");
    if (lock.error() != 0)
        return lock.error();
    // Another process may have written since the cache was filled.
    g_cache.valid = false;
    Snapshot snap = LoadLocked(path);
    if (snap.unreadable)
        return kErrorStoreUnreadable;
    const int result = change(snap.keys);
    if (result != 0)
        return result < 0 ? 0 : result;
    const std::string text = FormatMap(snap.keys);
    const int err = WriteFileAtomic(
        path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    g_cache.valid = false;
    return err;
}

}  // namespace

std::string DefaultRegistryStorePath() {
    // The XDG rules ignore a relative value.
    const char* config = getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config != nullptr && config[0] == '/') {
        base = config;
    } else {
        const char* home = getenv("HOME");
        base = std::string(home != nullptr ? home : "") + "/.config";
    }
    return base + "/tallowmere/registry";
}

void SetRegistryStorePath(std::string path) {
    const std::lock_guard guard(g_mutex);
    g_override_path = std::move(path);
    g_cache.valid = false;
}

std::string RegistryStorePath() {
    const std::lock_guard guard(g_mutex);
    return CurrentPathLocked();
}

std::vector<std::string> SplitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

int RegStoreKeyExists(std::string_view path) {
    const std::lock_guard guard(g_mutex);
    const Snapshot& snap = LoadLocked(CurrentPathLocked());
    return snap.keys.count(FoldKey(SplitKeyPath(path))) != 0 ? 0 : kErrorFileNotFound;
}

int RegStoreCreateKey(std::string_view path) {
    const std::vector<std::string> parts = SplitKeyPath(path);
    {
        // Most creates find the key there already; they need no rewrite.
        const std::lock_guard guard(g_mutex);
        const Snapshot& snap = LoadLocked(CurrentPathLocked());
        if (!snap.unreadable && snap.keys.count(FoldKey(parts)) != 0)
            return 0;
    }
    return Modify([&](KeyMap& keys) { return AddKey(keys, parts) ? 0 : -1; });
}

int RegStoreQueryValue(std::string_view path, std::string_view name, std::uint32_t* type,
                       std::uint8_t* data, std::uint32_t* size) {
    if (data != nullptr && size == nullptr)
        return kErrorInvalidParameter;
    const std::lock_guard guard(g_mutex);
    Snapshot& snap = LoadLocked(CurrentPathLocked());
    RegStoreKey* key = FindKey(snap.keys, path);
    if (key == nullptr)
        return kErrorFileNotFound;
    const RegStoreValue* v = FindValue(*key, name);
    if (v == nullptr)
        return kErrorFileNotFound;
    if (type != nullptr)
        *type = v->type;
    const auto actual = static_cast<std::uint32_t>(v->data.size());
    if (data != nullptr) {
        if (*size < actual) {
            *size = actual;
            return kErrorMoreData;
        }
        if (actual > 0)
            std::memcpy(data, v->data.data(), actual);
    }
    if (size != nullptr)
        *size = actual;
    return 0;
}

int RegStoreSetValue(std::string_view path, std::string_view name, std::uint32_t type,
                     std::span<const std::uint8_t> data) {
    if (data.size() > 0xFFFFFFFFu)
        return kErrorInvalidParameter;
    return Modify([&](KeyMap& keys) {
        RegStoreKey* key = FindKey(keys, path);
        if (key == nullptr)
            return kErrorFileNotFound;
        std::vector<std::uint8_t> bytes(data.begin(), data.end());
        if (RegStoreValue* v = FindValue(*key, name)) {
            if (v->type == type && v->data == bytes)
                return -1;
            v->type = type;
            v->data = std::move(bytes);
        } else {
            key->values.push_back(RegStoreValue{std::string(name), type, std::move(bytes)});
        }
        return 0;
    });
}

int RegStoreDeleteValue(std::string_view path, std::string_view name) {
    return Modify([&](KeyMap& keys) {
        RegStoreKey* key = FindKey(keys, path);
        if (key == nullptr)
            return kErrorFileNotFound;
        for (auto it = key->values.begin(); it != key->values.end(); ++it) {
            if (SameName(it->name, name)) {
                key->values.erase(it);
                return 0;
            }
        }
        return kErrorFileNotFound;
    });
}

int RegStoreCreateNewKeys(const std::vector<RegStoreKey>& keys) {
    return Modify([&](KeyMap& map) {
        std::set<std::string> listed;
        for (const RegStoreKey& key : keys) {
            const std::string folded = FoldKey(SplitKeyPath(key.path));
            if (listed.insert(folded).second && map.count(folded) != 0)
                return kErrorAlreadyExists;
        }
        for (const RegStoreKey& key : keys) {
            const std::vector<std::string> parts = SplitKeyPath(key.path);
            AddKey(map, parts);
            RegStoreKey& made = map[FoldKey(parts)];
            for (const RegStoreValue& value : key.values) {
                if (RegStoreValue* v = FindValue(made, value.name)) {
                    v->type = value.type;
                    v->data = value.data;
                } else {
                    made.values.push_back(value);
                }
            }
        }
        return listed.empty() ? -1 : 0;
    });
}

int RegStoreDeleteKeyTree(std::string_view path) {
    const std::string folded = FoldKey(SplitKeyPath(path));
    if (folded.empty())
        return kErrorAccessDenied;
    return Modify([&](KeyMap& keys) {
        if (keys.erase(folded) == 0)
            return kErrorFileNotFound;
        // Keys below sort right after their parent's name and a separator.
        const std::string below = folded + '\\';
        auto it = keys.lower_bound(below);
        while (it != keys.end() && it->first.compare(0, below.size(), below) == 0)
            it = keys.erase(it);
        return 0;
    });
}

int RegStoreEnumSubKeys(std::string_view path, std::vector<std::string>& names) {
    names.clear();
    const std::lock_guard guard(g_mutex);
    const Snapshot& snap = LoadLocked(CurrentPathLocked());
    const std::string folded = FoldKey(SplitKeyPath(path));
    if (snap.keys.count(folded) == 0)
        return kErrorFileNotFound;
    const std::string below = folded.empty() ? folded : folded + '\\';
    for (auto it = snap.keys.lower_bound(below);
         it != snap.keys.end() && it->first.compare(0, below.size(), below) == 0; ++it) {
        const std::string_view rest = std::string_view(it->first).substr(below.size());
        if (rest.empty() || rest.find('\\') != std::string_view::npos)
            continue;
        const std::string& spelled = it->second.path;
        const std::size_t cut = spelled.rfind('\\');
        names.push_back(cut == std::string::npos ? spelled : spelled.substr(cut + 1));
    }
    return 0;
}

bool ParseRegistryStore(std::string_view text, std::vector<RegStoreKey>& keys) {
    keys.clear();
    KeyMap map;
    if (!ParseToMap(text, map))
        return false;
    for (auto& [folded, key] : map)
        keys.push_back(std::move(key));
    return true;
}

std::string FormatRegistryStore(const std::vector<RegStoreKey>& keys) {
    std::string out(kHeader);
    out += '\n';
    for (const RegStoreKey& key : keys) {
        // The root needs a line only when it holds values.
        if (key.path.empty() && key.values.empty())
            continue;
        out += "K ";
        AppendQuoted(out, key.path);
        out += '\n';
        for (const RegStoreValue& v : key.values) {
            out += "V ";
            out += std::to_string(v.type);
            out += ' ';
            AppendQuoted(out, v.name);
            if (!v.data.empty()) {
                out += ' ';
                for (const std::uint8_t b : v.data) {
                    out += kHex[b >> 4];
                    out += kHex[b & 15];
                }
            }
            out += '\n';
        }
    }
    return out;
}

}  // namespace tallowmere::platform
