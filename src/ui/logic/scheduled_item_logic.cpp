#include "ui/logic/scheduled_item_logic.h"

#include <cctype>

#include "model/accounts.h"
#include "model/class_item.h"
#include "model/money.h"
#include "model/payee.h"
#include "model/scheduled.h"
#include "model/transaction_type.h"
#include "platform/text_1252.h"
#include "ui/logic/amount_range.h"
#include "ui/logic/category_text.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringSplit = 317;
constexpr std::size_t kPayeeWidth = 32;
constexpr std::size_t kMemoWidth = 160;

std::string To1252(const std::string& utf8) {
    return platform::Utf8ToCp1252(utf8);
}
std::string ToUtf8(const std::string& ansi) {
    return platform::Cp1252ToUtf8(ansi);
}

template <typename T>
bool ValidIndex(int index, const std::vector<T>& entries) {
    return index >= 0 && static_cast<std::size_t>(index) < entries.size();
}

std::vector<std::string> PayeeEntries(const CAccounts& data) {
    std::vector<std::string> entries;
    const CPayeesList& payees = data.Payees();
    auto pos = payees.GetHeadPosition(false);
    while (pos != CPalmFileList::kNoPosition) {
        if (const auto* item = dynamic_cast<const CCommonListItem*>(payees.GetNextLive(pos, false)))
            entries.push_back(ToUtf8(item->GetName()));
    }
    return entries;
}

// The name without the "#" that marks a numbered type.
std::string TypeEntryText(const CTransactionType& type) {
    std::string name = type.GetName();
    if (!name.empty() && name.back() == '#')
        name.pop_back();
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return ToUtf8(name);
}

}  // namespace

std::optional<int> ParseBoundedInteger(const std::string& text, int max) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    if (begin == end || end - begin > 9)
        return std::nullopt;
    int value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (value > max)
        return std::nullopt;
    return value;
}

ScheduledItemLogic::ScheduledItemLogic(CAccounts& data, const CAccount* current,
                                       CScheduledItem* item, Messages& messages,
                                       ScheduledItemSubDialogs& dialogs)
    : data_(data), current_(current), item_(item), messages_(messages), dialogs_(dialogs) {}

ScheduledItemLogic::~ScheduledItemLogic() = default;

const CAccount* ScheduledItemLogic::ChosenAccount(const ScheduledItemForm& form) const {
    if (!ValidIndex(form.accountIndex, form.accountIds))
        return nullptr;
    return data_.FindAccountById(form.accountIds[static_cast<std::size_t>(form.accountIndex)]);
}

void ScheduledItemLogic::FillLists(ScheduledItemForm& form) const {
    form.payeeEntries = PayeeEntries(data_);
    form.categoryEntries = CategoryComboEntries(data_, ChosenAccount(form));
    form.classEntries = ClassComboEntries(data_);
}

ScheduledItemForm ScheduledItemLogic::Open() {
    ScheduledItemForm form;
    RecordId accountId;
    RecordId typeId;
    if (item_ != nullptr) {
        const CTransaction& t = item_->Template();
        const int frequency = item_->GetFrequency();
        form.frequencyIndex = frequency < kFrequencyCount ? frequency : -1;
        const std::uint16_t count = item_->GetRepeatCount();
        if (count == kRepeatIndefinitely) {
            form.repeatIndex = kRepeatIndefinitelyIndex;
        } else {
            form.repeatIndex = kRepeatTimesIndex;
            form.repeatCountText = std::to_string(count);
        }
        const int mode = item_->GetEnterMode();
        form.enterIndex = mode < kEnterModeCount ? mode : -1;
        if (mode == kEnterDaysInAdvanceIndex)
            form.daysText = std::to_string(item_->GetDaysInAdvance());
        // A used-up item has no next date; the picker offers today.
        form.nextDate = item_->GetNextDue() == kNoDueDate ? TodayBound(0) : item_->GetNextDue();
        form.amountText = FormatMoney(t.GetAmount(), kMoneyFull);
        form.memo = ToUtf8(item_->GetMemo());
        form.payee = ToUtf8(item_->GetPayee());
        form.hasSplits = t.GetCategoryId() == SplitMarkerId;
        if (form.hasSplits)
            form.splitLines = ReadSplitLines(t);
        form.category = form.hasSplits ? ToUtf8(LoadString1252(kStringSplit))
                                       : ToUtf8(data_.GetCategoryDisplayText(t.GetCategoryId()));
        form.classText = ToUtf8(data_.Classes().GetNameById(t.GetClassId()));
        accountId = item_->GetAccountId();
        typeId = t.GetTypeId();
    } else {
        form.nextDate = TodayBound(0);
        form.frequencyIndex = kFrequencyMonthly;
        form.repeatIndex = kRepeatIndefinitelyIndex;
        form.enterIndex = 0;
        if (current_ != nullptr) {
            accountId = current_->Header().GetId();
            typeId = current_->GetDefaultTransactionTypeId();
        }
    }
    shownDate_ = form.nextDate;

    for (std::size_t i = 0; i < data_.GetAccountCount(); ++i) {
        const CAccount* account = data_.GetAccountAt(i);
        form.accountNames.push_back(ToUtf8(account->GetName()));
        form.accountIds.push_back(account->Header().GetId());
        if (account->Header().GetId() == accountId && form.accountIndex < 0)
            form.accountIndex = static_cast<int>(i);
    }
    if (form.accountIndex < 0 && !form.accountIds.empty())
        form.accountIndex = 0;

    const CTransactionTypesList& types = data_.TransactionTypes();
    auto pos = types.GetHeadPosition(false);
    while (pos != CPalmFileList::kNoPosition) {
        const auto* type = dynamic_cast<const CTransactionType*>(types.GetNextLive(pos, false));
        if (type == nullptr)
            continue;
        if (type->GetId() == typeId && form.typeIndex < 0)
            form.typeIndex = static_cast<int>(form.typeIds.size());
        form.typeNames.push_back(TypeEntryText(*type));
        form.typeIds.push_back(type->GetId());
    }
    if (form.typeIndex < 0 && !form.typeIds.empty()) {
        // The usual withdrawal or deposit entry, where the list has one.
        const int fallback = IsOutflowTypeId(typeId) ? 1 : 2;
        form.typeIndex = ValidIndex(fallback, form.typeIds) ? fallback : 0;
    }
    FillLists(form);
    return form;
}

void ScheduledItemLogic::OnAccountChosen(ScheduledItemForm& form) const {
    form.categoryEntries = CategoryComboEntries(data_, ChosenAccount(form));
}

void ScheduledItemLogic::OnSplit(ScheduledItemForm& form) {
    SplitsData io;
    io.hasSplits = form.hasSplits;
    io.lines = form.splitLines;
    io.firstCategoryText = form.hasSplits ? std::string() : form.category;
    const Cents amount = ParseMoney(To1252(form.amountText));
    io.transactionTotal = InAmountRange(amount) ? amount : 0;
    const Cents before = io.transactionTotal;
    if (!dialogs_.RunSplits(ChosenAccount(form), io))
        return;
    // Only the form changes: the item keeps its category until OK.
    form.hasSplits = io.hasSplits;
    form.splitLines = io.hasSplits ? io.lines : SplitLines{};
    form.category = io.hasSplits ? ToUtf8(LoadString1252(kStringSplit)) : std::string();
    if (io.transactionTotal != before)
        form.amountText = FormatMoney(io.transactionTotal, kMoneyFull);
}

void ScheduledItemLogic::OnListButton(ScheduledItemForm& form, ListEditorKind kind) {
    std::string* field = kind == ListEditorKind::kPayees       ? &form.payee
                         : kind == ListEditorKind::kCategories ? &form.category
                                                               : &form.classText;
    if (std::optional<std::string> chosen = dialogs_.RunListEditor(kind, *field))
        *field = *chosen;
    FillLists(form);
}

DialogStep ScheduledItemLogic::Refuse(int stringId, int focusId) {
    messages_.Show(StringMessage(stringId));
    return DialogStep::Stay(focusId, true);
}

DialogStep ScheduledItemLogic::Validate(const ScheduledItemForm& form) {
    // The range checks of the visible edits; a hidden one holds nothing
    // the user could mend.
    if (form.CountShown() && !ParseBoundedInteger(form.repeatCountText, kMaxRepeatCount))
        return Refuse(kStringRepeatCountRange, kScheduledRepeatCount);
    if (form.DaysShown() && !ParseBoundedInteger(form.daysText, kMaxDaysInAdvance))
        return Refuse(kStringDaysInAdvanceRange, kScheduledDays);

    const std::string amountText = To1252(form.amountText);
    if (amountText.find_first_not_of(' ') == std::string::npos)
        return Refuse(kStringScheduleNeedsAmount, kScheduledAmount);
    if (!InAmountRange(ParseMoney(amountText)))
        return Refuse(kStringBadAmount, kScheduledAmount);

    const CAccount* account = ChosenAccount(form);
    if (account == nullptr)
        return Refuse(kStringNoScheduleAccount, kScheduledAccount);
    if (!ValidIndex(form.typeIndex, form.typeIds))
        return Refuse(kStringNoScheduleType, kScheduledType);
    if (!form.hasSplits) {
        const CategoryText resolved = ResolveCategoryText(data_, To1252(form.category), account);
        if (resolved.refusal != 0)
            return Refuse(resolved.refusal, kScheduledCategory);
        if (!IsValidClassName(To1252(form.classText)))
            return Refuse(kStringBadClassName, kScheduledClass);
    }
    return DialogStep::Close(1);
}

DialogStep ScheduledItemLogic::Save(const ScheduledItemForm& form) {
    const DialogStep checked = Validate(form);
    if (!checked.close)
        return checked;
    CScheduledItem* item = item_;
    if (item == nullptr) {
        newItem_ = std::make_unique<CScheduledItem>();
        item = newItem_.get();
    }
    Write(form, *item);
    return DialogStep::Close(1);
}

void ScheduledItemLogic::Write(const ScheduledItemForm& form, CScheduledItem& item) {
    const bool fresh = item_ == nullptr;
    const CTransaction& t = item.Template();

    if (fresh || form.nextDate != shownDate_) {
        item.EditTemplate().SetDate(form.nextDate);
        item.SetNextDue(form.nextDate);
    }
    if (form.frequencyIndex >= 0 && form.frequencyIndex < kFrequencyCount &&
        (fresh || form.frequencyIndex != item.GetFrequency()))
        item.SetFrequency(form.frequencyIndex);

    std::uint16_t count = item.GetRepeatCount();
    if (form.CountShown())
        count =
            static_cast<std::uint16_t>(*ParseBoundedInteger(form.repeatCountText, kMaxRepeatCount));
    else if (form.RepeatShown() || fresh)
        count = kRepeatIndefinitely;  // "Indefinitely"; a hidden count stays as stored
    if (fresh || count != item.GetRepeatCount())
        item.SetRepeatCount(count);

    if (form.enterIndex >= 0 && form.enterIndex < kEnterModeCount &&
        (fresh || form.enterIndex != item.GetEnterMode()))
        item.SetEnterMode(static_cast<std::uint8_t>(form.enterIndex));
    if (form.DaysShown()) {
        const auto days =
            static_cast<std::uint16_t>(*ParseBoundedInteger(form.daysText, kMaxDaysInAdvance));
        if (days != item.GetDaysInAdvance())
            item.SetDaysInAdvance(days);
    }

    const RecordId accountId = form.accountIds[static_cast<std::size_t>(form.accountIndex)];
    if (fresh || accountId != item.GetAccountId())
        item.SetAccountId(accountId);

    std::string payee = To1252(form.payee).substr(0, kPayeeWidth);
    data_.Payees().NormalizeName(payee);
    if (fresh || payee != item.GetPayee())
        item.SetPayee(payee);

    const RecordId typeId = form.typeIds[static_cast<std::size_t>(form.typeIndex)];
    if (typeId != t.GetTypeId())
        item.EditTemplate().SetTypeId(typeId);
    const Cents amount = ParseMoney(To1252(form.amountText));
    if (amount != t.GetAmount())
        item.EditTemplate().SetAmount(amount);

    if (form.hasSplits) {
        if (t.GetCategoryId() != SplitMarkerId)
            item.EditTemplate().SetCategoryId(SplitMarkerId);
        if (ReadSplitLines(t) != form.splitLines)
            WriteSplitLines(form.splitLines, item.EditTemplate());
    } else {
        // Every check has passed: a new category or class is made now.
        const CAccount* account = ChosenAccount(form);
        const std::string categoryText = To1252(form.category);
        const CategoryText resolved = ResolveCategoryText(data_, categoryText, account);
        const RecordId categoryId = ApplyCategoryText(data_, categoryText, resolved);
        if (categoryId != t.GetCategoryId())
            item.EditTemplate().SetCategoryId(categoryId);
        if (ReadSplitLines(t) != SplitLines{})
            WriteSplitLines(SplitLines{}, item.EditTemplate());
        const RecordId classId = data_.Classes().FindOrCreateByName(To1252(form.classText), true);
        if (classId != t.GetClassId())
            item.EditTemplate().SetClassId(classId);
    }

    const std::string memo = To1252(form.memo).substr(0, kMemoWidth);
    if (fresh || memo != item.GetMemo())
        item.SetMemo(memo);
}

}  // namespace tallowmere::ui
