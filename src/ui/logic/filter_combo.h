#pragma once
// The register filter combo: "All", "Reconciled", "Unreconciled",
// "Cleared", "Uncleared" and "Downloaded", each followed by " (n)" with the
// number of the account's transactions that are not void and pass that
// filter.
#include <array>
#include <string>

namespace tallowmere {
class CAccount;
}

namespace tallowmere::ui {

inline constexpr int kFilterCount = 6;

// Counts per filter value 0-5; all 0 without an account.
std::array<int, kFilterCount> CountFilterRows(const CAccount* account);
// The entries' texts (Windows-1252, from the string table) with their counts.
std::array<std::string, kFilterCount> FilterComboTexts(const CAccount* account);
// A stored filter outside 0-5 is All.
int ClampFilter(unsigned long long stored);

}  // namespace tallowmere::ui
