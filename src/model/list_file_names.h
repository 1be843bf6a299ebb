#pragma once
// The list files of one user's data folder.
#include <array>
#include <string_view>

namespace tallowmere {

inline constexpr char kCategoriesListFile[] = "CategoriesList.lst";
inline constexpr char kPayeesListFile[] = "PayeesList.lst";
inline constexpr char kClassListFile[] = "ClassList.lst";
inline constexpr char kCurrenciesListFile[] = "CurrenciesList.lst";
inline constexpr char kTransTypesFile[] = "TransTypes.lst";
inline constexpr char kScheduledTransListFile[] = "ScheduledTransList.lst";
inline constexpr char kFiListFile[] = "FiList.lst";
inline constexpr char kPayeeLookupListFile[] = "PayeeLookupList.lst";

inline constexpr std::array<std::string_view, 8> kListFileNames = {
    kCategoriesListFile, kPayeesListFile,         kClassListFile, kCurrenciesListFile,
    kTransTypesFile,     kScheduledTransListFile, kFiListFile,    kPayeeLookupListFile,
};

}  // namespace tallowmere
