#pragma once
// The register's sort orders: nine key sequences over the transaction fields,
// and a stable merge sort that stays within its array whatever the comparison
// says. The "type and number" key is not transitive, so no sort that relies
// on a strict weak order may be used on it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/transaction.h"

namespace tallowmere {

inline constexpr int kSortModeCount = 9;

// The fields the keys look at, taken out of a transaction once so that a
// sort compares compact keys instead of whole records. The payee and memo
// are views into the record, which must outlive the key; the category and
// class texts come from the owner's lists, are filled only for the modes
// that need them, and view storage that the maker of the key keeps.
struct TransactionSortKey {
    int statusRank = 0;
    PalmTime date = 0;
    RecordId type;
    std::uint32_t checkNumber = 0;
    Cents amount = 0;
    RecordId category;
    RecordId classId;
    std::string_view payee;
    std::string_view memo;
    std::string_view categoryText;
    std::string_view classText;
};

TransactionSortKey MakeSortKey(const CTransaction& t);

bool SortModeUsesCategory(int mode);
bool SortModeUsesClass(int mode);

// Reconciled 0, cleared 1, open 2, void 3.
int StatusRank(std::uint8_t status);

// <0, 0 or >0 by the key sequence of mode (an unknown mode sorts as mode 2);
// negated when ascending is false.
int CompareForSort(const TransactionSortKey& a, const TransactionSortKey& b, int mode,
                   bool ascending);

// Stable bottom-up merge sort: an element moves before an earlier one only
// when compare(later, earlier) < 0, so equal elements keep their order. The
// loops are bounded by the array alone, so an intransitive comparison gives
// some order but never reads outside it.
template <class T, class Compare>
void StableMergeSort(std::vector<T>& items, Compare compare) {
    const std::size_t n = items.size();
    if (n < 2)
        return;
    std::vector<T> buffer(n);
    std::vector<T>* from = &items;
    std::vector<T>* to = &buffer;
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            std::size_t i = lo;
            std::size_t j = mid;
            std::size_t k = lo;
            while (i < mid && j < hi) {
                if (compare((*from)[j], (*from)[i]) < 0)
                    (*to)[k++] = std::move((*from)[j++]);
                else
                    (*to)[k++] = std::move((*from)[i++]);
            }
            while (i < mid)
                (*to)[k++] = std::move((*from)[i++]);
            while (j < hi)
                (*to)[k++] = std::move((*from)[j++]);
        }
        std::swap(from, to);
    }
    if (from != &items)
        items = std::move(*from);
}

}  // namespace tallowmere
