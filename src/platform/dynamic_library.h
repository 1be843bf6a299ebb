#pragma once
// A shared library loaded at run time (dlopen), unloaded when the object goes.
#include <string>

namespace tallowmere::platform {

// ERROR_MOD_NOT_FOUND: the library is missing or does not load.
inline constexpr int kErrorModNotFound = 126;

class DynamicLibrary {
  public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // Loads the library at path (unloading one held before). 0 or
    // kErrorModNotFound; LoadError() then tells why.
    int Load(const std::string& path);
    void Unload();
    bool IsLoaded() const { return handle_ != nullptr; }
    const std::string& LoadError() const { return error_; }

    // The address of an exported symbol, or nullptr.
    void* Symbol(const char* name) const;

    // An exported function as the pointer type F, or nullptr.
    template <class F>
    F Function(const char* name) const {
        return reinterpret_cast<F>(Symbol(name));
    }

  private:
    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace tallowmere::platform
