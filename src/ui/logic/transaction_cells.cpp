#include "ui/logic/transaction_cells.h"

#include <cstdio>

#include "model/accounts.h"
#include "model/transaction.h"
#include "platform/text_1252.h"

namespace tallowmere::ui {

namespace {

std::string TwoDigits(int v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", v);
    return buffer;
}

std::string Symbol(const RegisterCellContext& context) {
    return context.account != nullptr ? context.account->GetCurrencySymbol() : std::string("$");
}

}  // namespace

int StatusImage(const CTransaction& t) {
    if (t.GetReviewState() == 1)
        return kStatusImageDownloaded;
    switch (t.GetStatus() & kStatusMask) {
        case kStatusCleared:
            return kStatusImageCleared;
        case kStatusReconciled:
            return kStatusImageReconciled;
        case kStatusVoid:
            return kStatusImageVoid;
        default:
            return kStatusImageOpen;
    }
}

int ReconcileMarkImage(const CTransaction& t) {
    return (t.GetStatus() & kStatusMarked) != 0 ? kStatusImageCleared : kStatusImageOpen;
}

std::string DateCellText(PalmTime date, bool showYear) {
    if (showYear)
        return platform::Cp1252ToUtf8(FormatLocaleDate(date, kDateShortDate));
    const DateFields f = DateFields::FromPalmTime(date);
    const std::string day = TwoDigits(f.day);
    const std::string month = TwoDigits(f.month);
    const char separator = LocaleDateSeparator();
    return LocaleDateOrder() == 1 ? day + separator + month : month + separator + day;
}

CellText ListRegisterCellText(const RegisterCellContext& context, const CTransaction& t,
                              int columnId, Cents balance) {
    if (context.data == nullptr)
        return {};
    if (columnId == kColumnDate && !context.showYear)
        return CellText{DateCellText(t.GetDate(), false), false, false};
    const std::string symbol = Symbol(context);
    return RegisterCellText(*context.data, t, columnId, MoneyStyle{symbol, context.showDecimals},
                            balance);
}

std::string RegisterMeasureText(const RegisterCellContext& context, const CTransaction& t,
                                int columnId, Cents balance) {
    if (columnId == kColumnType)
        return "XXXXXX";
    if (columnId == kColumnAmount)
        return MoneyCellText(Symbol(context), t.GetSignedAmount(), true).text;
    return ListRegisterCellText(context, t, columnId, balance).text;
}

int RegisterIconIndex(const CAccounts& data, const CTransaction& t) {
    return data.GetIconForId(t.GetCategoryId());
}

CellText DetailAmountCell(const RegisterCellContext& context, const DetailAmountRule& rule,
                          const CTransaction& t) {
    if (rule.kind == 0 || rule.wholeAmounts || t.GetCategoryId() != SplitMarkerId)
        return ListRegisterCellText(context, t, kColumnAmount, 0);
    const Cents sum =
        rule.kind == 1 ? t.SumSplitsByCategory(rule.rowId) : t.SumSplitsByClass(rule.rowId);
    return MoneyCellText(Symbol(context), sum, context.showDecimals);
}

}  // namespace tallowmere::ui
