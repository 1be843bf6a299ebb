// Arbitrary bytes as a payee list file (first byte even) or a payee look-up
// list file (odd); bit 1 of the first byte reads the records as the old
// id-first layout. What the loader accepts must write back to a file that
// loads as the same records, and every accepted payee must have an id.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <type_traits>

#include "model/archive.h"
#include "model/payee.h"
#include "model/payee_lookup.h"

namespace tallowmere {
namespace {

struct Key {
    std::int32_t number;
    std::uint8_t attribute;
    std::span<const std::uint8_t> record;
};

template <class Item>
Key KeyOf(const CPalmFileList& list, std::size_t i) {
    const auto* item = dynamic_cast<const Item*>(list.GetAt(i, true));
    if (item == nullptr)
        std::abort();
    return {item->GetRecordNumber(), item->GetAttribute(), item->Record()};
}

template <class List, class Item>
void RoundTrip(std::span<const std::uint8_t> data, bool oldLayout) {
    List first;
    first.SetOldFormatRecords(oldLayout);
    if (first.LoadData(data) != 0)
        return;
    CArchive out;
    first.Serialize(out);
    List second;
    if (second.LoadData(out.Data()) != 0 || second.GetCount(true) != first.GetCount(true))
        std::abort();
    for (std::size_t i = 0; i < first.GetCount(true); ++i) {
        const Key a = KeyOf<Item>(first, i);
        const Key b = KeyOf<Item>(second, i);
        if (a.number != b.number || a.attribute != b.attribute ||
            !std::equal(a.record.begin(), a.record.end(), b.record.begin())) {
            std::abort();
        }
    }
    // Live items come first; live look-ups find each live item's name.
    for (std::size_t i = 0; i < first.GetCount(false); ++i) {
        const auto* item = dynamic_cast<const Item*>(first.GetAt(i, false));
        if (item->IsDeleted())
            std::abort();
        if constexpr (std::is_same_v<Item, CPayeeItem>) {
            if (item->GetId().IsNull() || first.FindByName(item->GetName()) == nullptr ||
                first.FindById(item->GetId()) == nullptr) {
                std::abort();
            }
        } else {
            if (first.FindByText(item->GetName()) == nullptr)
                std::abort();
        }
    }
}

}  // namespace
}  // namespace tallowmere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tallowmere;
    if (size == 0)
        return 0;
    const bool oldLayout = (data[0] & 2) != 0;
    const std::span<const std::uint8_t> file(data + 1, size - 1);
    if ((data[0] & 1) == 0) {
        RoundTrip<CPayeesList, CPayeeItem>(file, oldLayout);
    } else {
        RoundTrip<CPayeeLookupList, CPayeeLookupItem>(file, oldLayout);
    }
    return 0;
}
