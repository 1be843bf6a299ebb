#include "ui/logic/category_text.h"

#include "model/category.h"
#include "model/class_item.h"
#include "platform/text_1252.h"

namespace tallowmere::ui {

CategoryText ResolveCategoryText(const CAccounts& data, std::string_view text,
                                 const CAccount* target) {
    CategoryText result;
    text = platform::TrimAsciiSpace(text);
    if (text.empty())
        return result;
    if (!IsValidCategoryName(text)) {
        result.refusal = kStringBadCategoryName;
        return result;
    }
    if (text.front() == '[') {
        RecordId id;
        if (!data.ResolveTransferText(text, id)) {
            result.refusal = kStringBadAccountName;
            return result;
        }
        // A transfer into the account itself would count twice and link to
        // itself.
        if (target != nullptr && id == target->Header().GetId()) {
            result.refusal = kStringSameAccount;
            return result;
        }
        result.kind = CategoryTextKind::kTransfer;
        result.id = id;
        return result;
    }
    if (platform::TrimAsciiSpace(text.substr(0, text.find(':'))).empty()) {
        result.refusal = kStringBadCategoryName;
        return result;
    }
    RecordId id;
    data.ParseCategoryText(text, id);
    result.kind = id == kNoneId ? CategoryTextKind::kNewCategory : CategoryTextKind::kCategory;
    result.id = id;
    return result;
}

RecordId ApplyCategoryText(CAccounts& data, std::string_view text, const CategoryText& resolved,
                           int* saveResult) {
    if (saveResult != nullptr)
        *saveResult = 0;
    if (resolved.kind != CategoryTextKind::kNewCategory)
        return resolved.id;
    return data.Categories().FindOrCreateByPath(platform::TrimAsciiSpace(text), true, saveResult);
}

std::vector<std::string> CategoryComboEntries(const CAccounts& data, const CAccount* exclude) {
    std::vector<std::string> entries;
    const CCategoryList& categories = data.Categories();
    entries.reserve(categories.GetCount(false) + data.GetAccountCount());
    auto pos = categories.GetHeadPosition(false);
    while (pos != CPalmFileList::kNoPosition) {
        const auto* item = dynamic_cast<const CCategoryItem*>(categories.GetNextLive(pos, false));
        if (item != nullptr)
            entries.push_back(platform::Cp1252ToUtf8(item->GetFullName(categories)));
    }
    for (std::size_t i = 0; i < data.GetAccountCount(); ++i) {
        const CAccount* account = data.GetAccountAt(i);
        if (account != exclude)
            entries.push_back(platform::Cp1252ToUtf8(account->GetTransferLabel()));
    }
    return entries;
}

std::vector<std::string> ClassComboEntries(const CAccounts& data) {
    std::vector<std::string> entries;
    const CClassList& classes = data.Classes();
    entries.reserve(classes.GetCount(false));
    auto pos = classes.GetHeadPosition(false);
    while (pos != CPalmFileList::kNoPosition) {
        const auto* item = dynamic_cast<const CClassItem*>(classes.GetNextLive(pos, false));
        if (item != nullptr)
            entries.push_back(platform::Cp1252ToUtf8(item->GetName()));
    }
    return entries;
}

}  // namespace tallowmere::ui
