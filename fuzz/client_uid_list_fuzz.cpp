// "ClientUidList.txt" may come from an old version, another system or a
// damaged disk: any bytes must read in time proportional to their size, and
// what was read must write out and read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/client_uid_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tallowmere::StringMap map;
    tallowmere::ReadStringMap(text, map);
    // Two lines per entry at most, plus the empty pair of a short file.
    if (map.size() > size / 2 + 1)
        std::abort();
    tallowmere::StringMap back;
    tallowmere::ReadStringMap(tallowmere::WriteStringMap(map), back);
    if (back != map)
        std::abort();
    return 0;
}
