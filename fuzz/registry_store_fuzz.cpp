// The registry store file is read at every start and may have been edited by
// hand or cut short: parsing any bytes must be safe, and whatever parses must
// come back the same after being written out again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/registry_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tallowmere::platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<RegStoreKey> keys;
    if (!ParseRegistryStore(text, keys))
        return 0;
    const std::string once = FormatRegistryStore(keys);
    std::vector<RegStoreKey> again;
    if (!ParseRegistryStore(once, again) || FormatRegistryStore(again) != once)
        std::abort();
    return 0;
}
