#pragma once
// Access to the per-user registry: one key at a time through CRegistry, and
// one-call readers and writers that open a key, move one value and close it.
// Failures show only in the result or in the default being returned.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tallowmere {

// The registry root. Every caller uses the current user's tree.
enum class RegRoot { kNone, kCurrentUser };

class CRegistry {
  public:
    CRegistry() = default;
    CRegistry(RegRoot root, std::string path);
    virtual ~CRegistry();

    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // Opens the existing key.
    bool Open();
    // Opens the key, creating it and its missing parents.
    bool Create();
    bool OpenOrCreate(RegRoot root, std::string path);
    // The key is closed afterwards in any case.
    bool Close();
    bool IsOpen() const { return open_; }
    const std::string& Path() const { return path_; }

    bool DeleteValue(std::string_view name);
    // 0 both when the value is absent and when it is empty.
    std::uint32_t GetValueSize(std::string_view name);
    // RegQueryValueEx as it is: on entry size is the buffer's size, on return
    // the value's; a value larger than the buffer copies nothing and fails.
    // With buffer null only the size and type are given.
    bool QueryValue(std::string_view name, std::uint8_t* buffer, std::uint32_t& size,
                    std::uint32_t& type);
    // Only a 4-byte REG_DWORD (or REG_DWORD_BIG_ENDIAN) value reads; anything
    // else fails and leaves value as it was.
    bool QueryDword(std::string_view name, std::uint32_t& value);
    // A REG_SZ value cut at its first NUL; an empty or missing value, or one
    // of another type, fails and leaves text as it was.
    bool QueryString(std::string_view name, std::string& text);
    // The raw bytes of the value, of whatever type, bounded by size.
    bool QueryBinary(std::string_view name, std::uint8_t* buffer, std::uint32_t& size);

    // REG_SZ with the terminating NUL stored.
    bool SetString(std::string_view name, std::string_view text);
    bool SetDword(std::string_view name, std::uint32_t value, bool littleEndian = true);
    bool SetBinary(std::string_view name, std::span<const std::uint8_t> data);
    // Any type and bytes, as given.
    bool SetValue(std::string_view name, std::uint32_t type, std::span<const std::uint8_t> data);

  private:
    RegRoot root_ = RegRoot::kNone;
    bool open_ = false;
    std::string path_;
};

// A text made fit to be one part of a key path: a '\\' inside would make
// nested keys, so it becomes '-'. Used for names from outside (device serials).
std::string SafeKeyName(std::string_view text);

// The default, replaced by the stored string when the key opens and the
// value is a non-empty string.
std::string RegReadString(RegRoot root, std::string_view path, std::string_view name,
                          std::string_view def);
// The default, replaced by the stored DWORD when it reads.
std::uint32_t RegReadDword(RegRoot root, std::string_view path, std::string_view name,
                           std::uint32_t def);
// False when the key does not open; else the result of the bounded raw read
// (size in and out as for CRegistry::QueryBinary).
bool RegReadBinary(RegRoot root, std::string_view path, std::string_view name, std::uint8_t* buffer,
                   std::uint32_t& size);
// These two write only into a key that exists already.
bool RegWriteString(RegRoot root, std::string_view path, std::string_view name,
                    std::string_view text);
bool RegWriteDword(RegRoot root, std::string_view path, std::string_view name, std::uint32_t value);
// Creates the key (and its parents) when needed.
bool RegWriteBinary(RegRoot root, std::string_view path, std::string_view name,
                    std::span<const std::uint8_t> data);

}  // namespace tallowmere
