#include "model/registry.h"

#include <vector>

#include "model/byte_order.h"
#include "platform/registry_store.h"

namespace tallowmere {

namespace store = platform;

CRegistry::CRegistry(RegRoot root, std::string path) : root_(root), path_(std::move(path)) {}

CRegistry::~CRegistry() {
    Close();
}

bool CRegistry::Open() {
    open_ = root_ == RegRoot::kCurrentUser && store::RegStoreKeyExists(path_) == 0;
    return open_;
}

bool CRegistry::Create() {
    open_ = root_ == RegRoot::kCurrentUser && store::RegStoreCreateKey(path_) == 0;
    return open_;
}

bool CRegistry::OpenOrCreate(RegRoot root, std::string path) {
    root_ = root;
    path_ = std::move(path);
    return Create();
}

bool CRegistry::Close() {
    const bool wasOpen = open_;
    open_ = false;
    return wasOpen;
}

bool CRegistry::DeleteValue(std::string_view name) {
    return open_ && store::RegStoreDeleteValue(path_, name) == 0;
}

std::uint32_t CRegistry::GetValueSize(std::string_view name) {
    std::uint32_t size = 0;
    if (!open_ || store::RegStoreQueryValue(path_, name, nullptr, nullptr, &size) != 0)
        return 0;
    return size;
}

bool CRegistry::QueryValue(std::string_view name, std::uint8_t* buffer, std::uint32_t& size,
                           std::uint32_t& type) {
    return open_ && store::RegStoreQueryValue(path_, name, &type, buffer, &size) == 0;
}

bool CRegistry::QueryDword(std::string_view name, std::uint32_t& value) {
    std::uint8_t bytes[4];
    std::uint32_t size = sizeof bytes;
    std::uint32_t type = store::kRegNone;
    if (!QueryValue(name, bytes, size, type) || size != 4)
        return false;
    if (type == store::kRegDword) {
        value = LoadLE32(bytes);
        return true;
    }
    if (type == store::kRegDwordBigEndian) {
        value = LoadBE32(bytes);
        return true;
    }
    return false;
}

bool CRegistry::QueryString(std::string_view name, std::string& text) {
    std::uint32_t size = GetValueSize(name);
    if (size == 0)
        return false;
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t type = store::kRegNone;
    if (!QueryValue(name, bytes.data(), size, type) || type != store::kRegSz)
        return false;
    std::string read(reinterpret_cast<const char*>(bytes.data()), size);
    if (const std::size_t nul = read.find('\0'); nul != std::string::npos)
        read.resize(nul);
    text = std::move(read);
    return true;
}

bool CRegistry::QueryBinary(std::string_view name, std::uint8_t* buffer, std::uint32_t& size) {
    std::uint32_t type = store::kRegNone;
    return QueryValue(name, buffer, size, type);
}

bool CRegistry::SetString(std::string_view name, std::string_view text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return SetValue(name, store::kRegSz, bytes);
}

bool CRegistry::SetDword(std::string_view name, std::uint32_t value, bool littleEndian) {
    std::uint8_t bytes[4];
    if (littleEndian)
        StoreLE32(bytes, value);
    else
        StoreBE32(bytes, value);
    return SetValue(name, littleEndian ? store::kRegDword : store::kRegDwordBigEndian, bytes);
}

bool CRegistry::SetBinary(std::string_view name, std::span<const std::uint8_t> data) {
    return SetValue(name, store::kRegBinary, data);
}

bool CRegistry::SetValue(std::string_view name, std::uint32_t type,
                         std::span<const std::uint8_t> data) {
    return open_ && store::RegStoreSetValue(path_, name, type, data) == 0;
}

std::string SafeKeyName(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\\')
            c = '-';
    }
    return out;
}

std::string RegReadString(RegRoot root, std::string_view path, std::string_view name,
                          std::string_view def) {
    std::string text(def);
    CRegistry reg(root, std::string(path));
    if (reg.Open())
        reg.QueryString(name, text);
    return text;
}

std::uint32_t RegReadDword(RegRoot root, std::string_view path, std::string_view name,
                           std::uint32_t def) {
    std::uint32_t value = def;
    CRegistry reg(root, std::string(path));
    if (reg.Open())
        reg.QueryDword(name, value);
    return value;
}

bool RegReadBinary(RegRoot root, std::string_view path, std::string_view name, std::uint8_t* buffer,
                   std::uint32_t& size) {
    CRegistry reg(root, std::string(path));
    return reg.Open() && reg.QueryBinary(name, buffer, size);
}

bool RegWriteString(RegRoot root, std::string_view path, std::string_view name,
                    std::string_view text) {
    CRegistry reg(root, std::string(path));
    return reg.Open() && reg.SetString(name, text);
}

bool RegWriteDword(RegRoot root, std::string_view path, std::string_view name,
                   std::uint32_t value) {
    CRegistry reg(root, std::string(path));
    return reg.Open() && reg.SetDword(name, value);
}

bool RegWriteBinary(RegRoot root, std::string_view path, std::string_view name,
                    std::span<const std::uint8_t> data) {
    CRegistry reg(root, std::string(path));
    return (reg.Open() || reg.Create()) && reg.SetBinary(name, data);
}

}  // namespace tallowmere
