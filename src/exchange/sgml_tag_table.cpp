#include "exchange/sgml_tag_table.h"

namespace tallowmere::exchange {

int CSgmlTagTable::Lookup(std::string_view name) const {
    // string_view compares as unsigned bytes, a shorter prefix first.
    const SgmlTagEntry* entries = GetEntries();
    std::size_t low = 0;
    std::size_t high = GetCount();
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        const int order = entries[mid].name.compare(name);
        if (order == 0)
            return entries[mid].kind;
        if (order < 0)
            low = mid + 1;
        else
            high = mid;
    }
    return kSgmlUnknown;
}

}  // namespace tallowmere::exchange
