#include "ui/logic/splits_dialog_logic.h"

#include "model/class_item.h"
#include "platform/text_1252.h"
#include "ui/logic/category_text.h"

namespace tallowmere::ui {
namespace {

using platform::Cp1252ToUtf8;
using platform::TrimAsciiSpace;
using platform::Utf8ToCp1252;

bool IsBlank(const std::string& text) {
    return TrimAsciiSpace(text).empty();
}

// What one row will become once every row has passed.
struct PlannedRow {
    std::string category;  // Windows-1252, as resolved
    CategoryText resolved;
    std::string classText;
    std::string memo;
    Cents amount = 0;
};

}  // namespace

SplitsDialogLogic::SplitsDialogLogic(CAccounts& data, const CAccount* target, Messages& messages)
    : data_(data), target_(target), messages_(messages) {}

void SplitsDialogLogic::Open(const SplitsData& in) {
    input_ = in;
    result_ = in;
    categoryEntries_ = CategoryComboEntries(data_, target_);
    classEntries_ = ClassComboEntries(data_);
    rows_ = {};
    if (in.hasSplits) {
        for (int i = 0; i < kSplitRows; ++i) {
            const SplitLine& line = in.lines[i];
            SplitsRow& row = rows_[i];
            row.category = Cp1252ToUtf8(data_.GetCategoryDisplayText(line.category));
            row.classText = Cp1252ToUtf8(data_.Classes().GetNameById(line.classId));
            row.memo = Cp1252ToUtf8(line.memo);
            row.amount = line.amount == 0 ? std::string() : FormatMoney(line.amount, kMoneyFull);
        }
    } else {
        rows_[0].category = in.firstCategoryText;
        rows_[0].amount = FormatMoney(in.transactionTotal, kMoneyFull);
    }
    totals_.transaction = in.transactionTotal;
    Recompute();
}

void SplitsDialogLogic::Recompute() {
    WideCents sum = 0;
    for (const SplitsRow& row : rows_)
        sum += ParseMoney(row.amount);  // an empty text reads 0
    totals_.splits = sum;
    totals_.remainder = totals_.transaction - sum;
}

bool SplitsDialogLogic::OnAmountFocus(int row) {
    if (row < 0 || row >= kSplitRows)
        return false;
    Recompute();
    if (!IsBlank(rows_[row].amount) || totals_.remainder == 0)
        return false;
    rows_[row].amount = FormatWideMoney(totals_.remainder);
    Recompute();
    return true;
}

void SplitsDialogLogic::Adjust() {
    Recompute();
    if (!InAmountRange(totals_.splits)) {
        messages_.Show(StringMessage(kStringBadAmount));
        return;
    }
    totals_.transaction = totals_.splits;
    Recompute();
}

void SplitsDialogLogic::Clear() {
    rows_ = {};
    Recompute();
}

bool SplitsDialogLogic::Refuse(int stringId, int row, SplitsField field, SplitsFocus* focus) {
    messages_.Show(StringMessage(stringId));
    if (focus != nullptr)
        *focus = {row, field};
    return false;
}

bool SplitsDialogLogic::Ok(SplitsFocus* focus) {
    Recompute();
    // Every row is checked before anything is made, so a refusal in a later
    // row leaves no category or class behind.
    std::array<PlannedRow, kSplitLineCount> planned;
    int lastAmountRow = 0;
    for (int i = 0; i < kSplitRows; ++i) {
        const SplitsRow& row = rows_[i];
        PlannedRow& plan = planned[i];
        plan.category = std::string(TrimAsciiSpace(Utf8ToCp1252(row.category)));
        plan.resolved = ResolveCategoryText(data_, plan.category, target_);
        if (plan.resolved.refusal != 0)
            return Refuse(plan.resolved.refusal, i, SplitsField::kCategory, focus);
        plan.classText = std::string(TrimAsciiSpace(Utf8ToCp1252(row.classText)));
        if (!IsValidClassName(plan.classText))
            return Refuse(kStringBadClassName, i, SplitsField::kClass, focus);
        plan.memo = Utf8ToCp1252(row.memo);
        if (plan.memo.size() > kMemoFieldSize - 1)
            return Refuse(kStringLongMemo, i, SplitsField::kMemo, focus);
        plan.amount = ParseMoney(row.amount);
        if (!InAmountRange(plan.amount))
            return Refuse(kStringBadAmount, i, SplitsField::kAmount, focus);
        if (plan.amount != 0)
            lastAmountRow = i;
    }
    if (!InAmountRange(totals_.splits))
        return Refuse(kStringBadAmount, lastAmountRow, SplitsField::kAmount, focus);

    // The lists report a failed save themselves; the ids stand in memory.
    SplitsData out = input_;
    out.hasSplits = false;
    for (int i = 0; i < kSplitRows; ++i) {
        const PlannedRow& plan = planned[i];
        SplitLine& line = out.lines[i];  // its link to a transfer stays
        line.category = ApplyCategoryText(data_, plan.category, plan.resolved);
        line.classId = data_.Classes().FindOrCreateByName(plan.classText, true);
        line.memo = plan.memo;
        line.amount = plan.amount;
        if (!plan.category.empty() || (i > 0 && plan.amount != 0))
            out.hasSplits = true;
    }
    out.transactionTotal = static_cast<Cents>(totals_.transaction);
    result_ = std::move(out);
    return true;
}

}  // namespace tallowmere::ui
