#pragma once
// What the dialogs make of a typed category-field text ("Parent:Child", an
// account's "[name]" for a transfer, or empty), and the entries of their
// category and class combos. Resolving creates nothing, so that a dialog can
// check every field before it changes a list; a category that does not
// exist yet is made afterwards, as the importers make theirs.
#include <string>
#include <string_view>
#include <vector>

#include "model/accounts.h"
#include "model/record_id.h"

namespace tallowmere::ui {

inline constexpr int kStringBadCategoryName = 137;
inline constexpr int kStringBadAccountName = 138;
inline constexpr int kStringSameAccount = 145;
inline constexpr int kStringBadClassName = 199;

enum class CategoryTextKind {
    kNone,         // empty text
    kCategory,     // an existing category
    kTransfer,     // another account
    kNewCategory,  // a category (and maybe its parent) still to be made
};

struct CategoryText {
    int refusal = 0;  // 0, or the message that refuses the text: 137, 138, 145
    CategoryTextKind kind = CategoryTextKind::kNone;
    RecordId id;  // the category or account found
};

// Resolves a Windows-1252 text, blanks at both ends ignored. A text that is
// no valid category name, or whose part before the ':' is blank (it would
// name nothing), gives 137; "[name]" naming no account 138, naming target
// (the account the transaction belongs to) 145.
CategoryText ResolveCategoryText(const CAccounts& data, std::string_view text,
                                 const CAccount* target);

// The id of a resolved text; a new category is made now (its list saved,
// *saveResult given that save's result, which reports its own failure).
RecordId ApplyCategoryText(CAccounts& data, std::string_view text, const CategoryText& resolved,
                           int* saveResult = nullptr);

// Every live category's "Parent:Child" in list order, then "[name]" of every
// account but exclude, in the data set's order. UTF-8, as the combo shows.
std::vector<std::string> CategoryComboEntries(const CAccounts& data, const CAccount* exclude);
// Every live class's name in list order, UTF-8.
std::vector<std::string> ClassComboEntries(const CAccounts& data);

}  // namespace tallowmere::ui
