#pragma once
// The per-user registry: a tree of keys with typed values, kept in one text
// file under the user's configuration folder. It keeps the semantics that the
// preference and user code depend on: key and value names compare without
// case, a key exists apart from its values, values keep their type and exact
// bytes, and binary reads never copy more than the caller's buffer holds.
//
// File format ("$XDG_CONFIG_HOME/tallowmere/registry", mode 0600):
//   line 1:   "Tallowmere registry 1"
//   K <key>                 a key (the full path, parts joined by '\')
//   V <type> <name> <hex>   a value of the key above it; type decimal, the
//                           data as lower-case hex (nothing when empty)
// <key> and <name> are written between double quotes; the bytes '"', '%',
// and those outside 0x21..0x7E are written as %XX, so a field holds no blank.
// Every line ends with LF. Parents of a key are listed before it.
//
// Every call is safe from any thread; writes are also serialised with other
// processes by flock on "<store>.lock", and each rewrites the file atomically.
// A store file that cannot be read or parsed reads as empty and is never
// overwritten: writes fail with kErrorStoreUnreadable until it is repaired.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tallowmere::platform {

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegDwordBigEndian = 5;

// ERROR_MORE_DATA: the caller's buffer is smaller than the value.
inline constexpr int kErrorMoreData = 234;
// ERROR_INVALID_DATA: the store file exists but cannot be read or parsed.
inline constexpr int kErrorStoreUnreadable = 13;

// "$XDG_CONFIG_HOME/tallowmere/registry", else "$HOME/.config/tallowmere/registry".
std::string DefaultRegistryStorePath();

// Points the process at another store file (tests); empty restores the
// default, which is worked out again at every call.
void SetRegistryStorePath(std::string path);
std::string RegistryStorePath();

// A key path in canonical form: its parts split at '\', empty parts dropped.
std::vector<std::string> SplitKeyPath(std::string_view path);

// 0 when the key exists (the empty path, the root, always does), else 2.
int RegStoreKeyExists(std::string_view path);

// Creates the key and every missing parent. 0 or a Windows error code.
int RegStoreCreateKey(std::string_view path);

// RegQueryValueEx: type (when not null) and *size get the value's type and
// byte size. With data null only those are given. With data set, *size is
// the buffer's size on entry: a value that fits is copied and 0 returned; a
// larger one copies nothing and returns kErrorMoreData. 2 when the key or the
// value is missing.
int RegStoreQueryValue(std::string_view path, std::string_view name, std::uint32_t* type,
                       std::uint8_t* data, std::uint32_t* size);

// Sets a value of an existing key: 0, 2 when the key is missing, or a code.
int RegStoreSetValue(std::string_view path, std::string_view name, std::uint32_t type,
                     std::span<const std::uint8_t> data);

// Removes a value: 0, 2 when the key or value is missing, or a code.
int RegStoreDeleteValue(std::string_view path, std::string_view name);

struct RegStoreValue {
    std::string name;
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;
};

struct RegStoreKey {
    std::string path;  // canonical, original case
    std::vector<RegStoreValue> values;
};

// Creates the keys (with their missing parents) and their values in one
// write, but only when none of them exists yet: 0, kErrorAlreadyExists (183)
// with nothing written, or a code. A key listed twice counts once.
int RegStoreCreateNewKeys(const std::vector<RegStoreKey>& keys);

// Deletes the key with its values and every key below it: 0, 2 when it is
// missing, or a code. The root is never deleted.
int RegStoreDeleteKeyTree(std::string_view path);

// The names of the key's direct subkeys, spelled as they were created: 0, or
// 2 when the key is missing (names then empty).
int RegStoreEnumSubKeys(std::string_view path, std::vector<std::string>& names);

// --- the file format, exposed for tests and the fuzz target ---

// Parses a store file image. False for anything not in the format above
// (then keys is left empty).
bool ParseRegistryStore(std::string_view text, std::vector<RegStoreKey>& keys);

// The file image of the keys, in the order given.
std::string FormatRegistryStore(const std::vector<RegStoreKey>& keys);

}  // namespace tallowmere::platform
