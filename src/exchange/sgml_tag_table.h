#pragma once
// What the SGML reader knows of each tag: an aggregate (holds elements, ends
// with an end tag) or a data element (holds text up to the next tag).
#include <cstddef>
#include <span>
#include <string_view>

namespace tallowmere::exchange {

inline constexpr int kSgmlUnknown = 0;
inline constexpr int kSgmlAggregate = 1;
inline constexpr int kSgmlData = 2;
// Read and written exactly like kSgmlData.
inline constexpr int kSgmlDataAlt = 3;

struct SgmlTagEntry {
    std::string_view name;
    int kind;
};

// True when the names ascend strictly by unsigned byte value, as the lookup's
// binary search needs.
constexpr bool IsStrictlySortedTags(std::span<const SgmlTagEntry> entries) {
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (!(entries[i - 1].name < entries[i].name))
            return false;
    }
    return true;
}

class CSgmlTagTable {
  public:
    virtual ~CSgmlTagTable() = default;
    virtual std::size_t GetCount() const = 0;
    // Sorted ascending by unsigned byte value.
    virtual const SgmlTagEntry* GetEntries() const = 0;

    // The kind of a tag name, kSgmlUnknown when absent; case-sensitive.
    int Lookup(std::string_view name) const;
};

}  // namespace tallowmere::exchange
