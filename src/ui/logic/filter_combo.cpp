#include "ui/logic/filter_combo.h"

#include "model/account.h"
#include "model/string_table.h"
#include "model/transaction.h"

namespace tallowmere::ui {
namespace {

constexpr int kFirstFilterString = 280;

}  // namespace

std::array<int, kFilterCount> CountFilterRows(const CAccount* account) {
    std::array<int, kFilterCount> counts{};
    if (account == nullptr)
        return counts;
    for (const auto& t : account->Transactions()) {
        if ((t->GetStatus() & kStatusMask) == kStatusVoid)
            continue;
        for (int filter = 0; filter < kFilterCount; ++filter) {
            if (t->MatchesStatus(filter))
                ++counts[static_cast<std::size_t>(filter)];
        }
    }
    return counts;
}

std::array<std::string, kFilterCount> FilterComboTexts(const CAccount* account) {
    const std::array<int, kFilterCount> counts = CountFilterRows(account);
    std::array<std::string, kFilterCount> texts;
    for (int filter = 0; filter < kFilterCount; ++filter) {
        const auto i = static_cast<std::size_t>(filter);
        texts[i] = LoadString(kFirstFilterString + filter) +
                   FormatText(" (%d)", {std::int64_t{counts[i]}});
    }
    return texts;
}

int ClampFilter(unsigned long long stored) {
    return stored < kFilterCount ? static_cast<int>(stored) : 0;
}

}  // namespace tallowmere::ui
