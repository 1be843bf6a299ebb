#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <utility>

namespace tallowmere::platform {

DynamicLibrary::~DynamicLibrary() {
    Unload();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
    if (this != &other) {
        Unload();
        handle_ = std::exchange(other.handle_, nullptr);
        error_ = std::move(other.error_);
    }
    return *this;
}

int DynamicLibrary::Load(const std::string& path) {
    Unload();
    error_.clear();
    // RTLD_LOCAL: each library keeps its own symbols; RTLD_NOW: a library
    // with unresolved references fails here, not at some later call.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ != nullptr)
        return 0;
    if (const char* why = dlerror())
        error_ = why;
    return kErrorModNotFound;
}

void DynamicLibrary::Unload() {
    if (handle_ != nullptr)
        dlclose(handle_);
    handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) const {
    if (handle_ == nullptr)
        return nullptr;
    return dlsym(handle_, name);
}

}  // namespace tallowmere::platform
