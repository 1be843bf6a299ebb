#pragma once
// The serialisable object base and the run-time class registry by name that
// the object stream uses to create objects while reading a file.
#include <memory>
#include <string_view>

namespace tallowmere {

class CArchive;

class CObject {
  public:
    // Tag of the constructors that the class factory uses while reading a
    // file; they make no record id. Shared by every class.
    struct ForLoad {};

    virtual ~CObject() = default;
    // The registered class name written into the object stream.
    virtual std::string_view GetClassName() const = 0;
    // Writes or reads the object's own data (ar.IsStoring() tells which).
    virtual void Serialize(CArchive& ar) = 0;
};

using ObjectFactory = std::unique_ptr<CObject> (*)();

struct CRuntimeClass {
    std::string_view name;
    // Creates an object for loading; constructors used here make no record id.
    // Null for a name that is registered but has no class built yet.
    ObjectFactory create = nullptr;
};

template <class T>
std::unique_ptr<CObject> CreateForLoad() {
    return std::make_unique<T>(typename T::ForLoad{});
}

// The registered class of that name (exact, case-sensitive), or nullptr.
// The record stays valid for the life of the process. Thread-safe.
const CRuntimeClass* FindRuntimeClass(std::string_view name);

// Adds or replaces a class (tests register classes of their own); the name is
// copied. Records handed out earlier stay valid. Thread-safe.
void RegisterRuntimeClass(const CRuntimeClass& rc);

}  // namespace tallowmere
