// Arbitrary bytes as a category file, read with the layout decided from the
// file and with each layout forced: a load refuses or accepts without fault,
// the id look-ups agree with a walk over the list, and what is accepted
// writes back to a file that reads as the same list.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "model/archive.h"
#include "model/category.h"

namespace tallowmere {
namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

const CCategoryItem& At(const CCategoryList& list, std::size_t i) {
    return static_cast<const CCategoryItem&>(*list.GetAt(i, true));
}

void Exercise(const CCategoryList& list) {
    const std::size_t live = list.GetCount(false);
    const std::size_t all = list.GetCount(true);
    for (std::size_t i = 0; i < all; ++i)
        Check(At(list, i).IsDeleted() == (i >= live));
    for (std::size_t i = 0; i < live; ++i) {
        const CCategoryItem& item = At(list, i);
        const RecordId id = item.GetId();
        if (id.IsNull()) {
            Check(list.FindById(id) == nullptr && list.IndexOfId(id) == -1);
            continue;
        }
        // The first live item with this id, as a walk would find it.
        std::size_t first = 0;
        while (At(list, first).GetId() != id)
            ++first;
        Check(list.IndexOfId(id) == static_cast<int>(first));
        Check(list.FindById(id) == &At(list, first));
        Check(list.CompareIdOrder(id, id) == -1);
        const CCategoryItem& found = At(list, first);
        const std::string full = list.GetFullNameById(id);
        Check(found.IsTopLevel() ? full == found.GetName() : full.empty() || full.find(':') <= 32);
        list.GetIndentedNameById(id);
        list.HasChildren(id);
        list.GetBudgetAmount(id);
        list.NameExists(nullptr, item.GetName());
        list.FindTopLevelByName(item.GetName());
    }
}

void RoundTrip(CCategoryList& list) {
    CArchive out;
    list.Serialize(out);
    CCategoryList again;
    Check(again.LoadData(out.Data()) == 0);
    Check(again.GetCount(true) == list.GetCount(true));
    Check(again.GetCount(false) == list.GetCount(false));
    Check(again.GetListBudget() == list.GetListBudget());
    Check(again.GetListBudgetChanged() == list.GetListBudgetChanged());
    for (std::size_t i = 0; i < list.GetCount(true); ++i) {
        const CCategoryItem& a = At(list, i);
        const CCategoryItem& b = At(again, i);
        Check(a.GetRecord() == b.GetRecord() && a.GetAttribute() == b.GetAttribute() &&
              a.GetRecordNumber() == b.GetRecordNumber());
    }
}

}  // namespace
}  // namespace tallowmere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tallowmere;
    const std::span<const std::uint8_t> bytes(data, size);
    for (int mode = 0; mode < 3; ++mode) {
        CCategoryList list;
        int r;
        if (mode == 0) {
            r = list.LoadDataDetectingLayout(bytes);
        } else {
            list.SetOldFormatRecords(mode == 1);
            r = list.LoadData(bytes);
        }
        if (r != 0) {
            Check(list.GetCount(true) == 0);
            continue;
        }
        Exercise(list);
        RoundTrip(list);
    }
    return 0;
}
