// Arbitrary bytes as the list files of transaction types, classes and
// currencies. The first byte picks the list (0 types, 1 classes, 2
// currencies, modulo 3) and, with bit 7, the old id-first record layout; the
// rest is the file. A file that does not load must leave the list empty; one
// that loads must answer its id look-ups as a walk over the list would, and
// save to bytes that load back (in the new layout) and save the same again.
// The currencies' rates go through the home-currency conversion, so the
// sanitizer build checks it on every rate a file can hold.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "model/archive.h"
#include "model/class_item.h"
#include "model/currency.h"
#include "model/transaction_type.h"

namespace tallowmere {
namespace {

std::vector<std::uint8_t> Store(CObject& list) {
    CArchive out;
    list.Serialize(out);
    return out.TakeData();
}

// The first live item with the id, found the slow way.
const CPalmListItem* Walk(const CPalmFileList& list, const RecordId& id) {
    for (std::size_t i = 0; i < list.GetCount(false); ++i) {
        if (!id.IsNull() && list.GetAt(i, false)->GetId() == id)
            return list.GetAt(i, false);
    }
    return nullptr;
}

void CheckIds(const CIdIndexedList& list) {
    for (std::size_t i = 0; i < list.GetCount(true); ++i) {
        const RecordId id = list.GetAt(i, true)->GetId();
        if (list.FindLiveById(id) != Walk(list, id))
            std::abort();
    }
}

void CheckLookUps(const CTransactionTypesList& list) {
    CheckIds(list);
    for (std::size_t i = 0; i < list.GetCount(false); ++i) {
        const auto* type = dynamic_cast<const CTransactionType*>(list.GetAt(i, false));
        const auto* first = dynamic_cast<const CTransactionType*>(Walk(list, type->GetId()));
        if (first && list.GetNameById(type->GetId()) != first->GetShortName())
            std::abort();
    }
}

void CheckLookUps(const CClassList& list) {
    CheckIds(list);
    for (std::size_t i = 0; i < list.GetCount(false); ++i) {
        const auto* item = dynamic_cast<const CClassItem*>(list.GetAt(i, false));
        RecordId id;
        // A class is found by its own name (maybe as an earlier namesake).
        if (!item->GetName().empty() && !list.FindIdByName(item->GetName(), id))
            std::abort();
        (void)list.GetAmountById(item->GetId());
    }
}

void CheckLookUps(const CCurrencyList& list) {
    const Cents amounts[] = {0, 1, -1, 5, -5, 1000, -1000, INT64_MAX, INT64_MIN};
    for (std::size_t i = 0; i < list.GetCount(false); ++i) {
        const auto* c = dynamic_cast<const CCurrencyItem*>(list.GetAt(i, false));
        // Live ids are unique after a load.
        if (list.FindById(c->GetCurrencyId()) != c)
            std::abort();
        for (Cents a : amounts)
            (void)list.ConvertToHomeCurrency(a, c->GetCurrencyId());
    }
    (void)list.GetHomeCurrencyId();
}

template <class List>
void Check(std::span<const std::uint8_t> data, bool oldLayout) {
    List list;
    list.SetOldFormatRecords(oldLayout);
    if (list.LoadData(data) != 0) {
        if (list.GetCount(true) != 0)
            std::abort();
        return;
    }
    CheckLookUps(list);
    const std::vector<std::uint8_t> saved = Store(list);
    List again;
    if (again.LoadData(saved) != 0 || again.GetCount(true) != list.GetCount(true))
        std::abort();
    CheckLookUps(again);
    if (Store(again) != saved)
        std::abort();
}

}  // namespace
}  // namespace tallowmere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tallowmere;
    if (size == 0)
        return 0;
    const bool oldLayout = (data[0] & 0x80) != 0;
    const std::span<const std::uint8_t> file(data + 1, size - 1);
    switch ((data[0] & 0x7F) % 3) {
        case 0:
            Check<CTransactionTypesList>(file, oldLayout);
            break;
        case 1:
            Check<CClassList>(file, oldLayout);
            break;
        default:
            Check<CCurrencyList>(file, oldLayout);
            break;
    }
    return 0;
}
