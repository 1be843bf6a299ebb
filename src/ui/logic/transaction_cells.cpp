#include "ui/logic/transaction_cells.h"

#include <cstdio>

#include "model/accounts.h"
#include "model/report.h"
#include "model/transaction.h"
#include "model/transaction_type.h"
#include "platform/text_1252.h"

namespace tallowmere::ui {

namespace {

using platform::Cp1252ToUtf8;

CellText Text(std::string_view cp1252) {
    return {Cp1252ToUtf8(cp1252), false, false};
}

std::string TwoDigits(int v) {
    char buffer[8];
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

CellText MoneyCell(std::string_view symbol, Cents value, bool showDecimals) {
    // Whole units are written in 64 bits: amounts past 2^31 units read right.
    const std::string amount = FormatMoney(value, showDecimals ? kMoneyFull : kMoneyWhole);
    return {Cp1252ToUtf8(symbol) + amount, true, value < 0};
}

std::string DateCellText(PalmTime date, bool showYear) {
    if (showYear)
        return Cp1252ToUtf8(FormatLocaleDate(date, kDateShortDate));
    const DateFields f = DateFields::FromPalmTime(date);
    const std::string day = TwoDigits(f.day);
    const std::string month = TwoDigits(f.month);
    const char separator = LocaleDateSeparator();
    return LocaleDateOrder() == 1 ? day + separator + month : month + separator + day;
}

CellText RegisterCellText(const RegisterCellContext& context, const CTransaction& t,
                          std::uint16_t column, Cents balance) {
    const CAccounts* data = context.data;
    switch (column) {
        case 2:
            return {DateCellText(t.GetDate(), context.showYear), false, false};
        case 3:
            if (IsNumberedTypeId(t.GetTypeId()))
                return {std::to_string(t.GetCheckNumber()), false, false};
            return data != nullptr ? Text(data->TransactionTypes().GetNameById(t.GetTypeId()))
                                   : CellText{};
        case 4:
            return Text(t.GetPayeeName());
        case 5:
            return data != nullptr ? Text(data->GetCategoryDisplayText(t.GetCategoryId()))
                                   : CellText{};
        case 6:
            return data != nullptr ? Text(data->GetClassNameById(t.GetClassId())) : CellText{};
        case 7:
            return Text(t.GetMemo());
        case 8:
            return MoneyCell(Symbol(context), t.GetSignedAmount(), context.showDecimals);
        case 9:
            return MoneyCell(Symbol(context), balance, context.showDecimals);
        default:
            return {};
    }
}

std::string RegisterMeasureText(const RegisterCellContext& context, const CTransaction& t,
                                std::uint16_t column, Cents balance) {
    if (column == 3)
        return "XXXXXX";
    if (column == 8)
        return MoneyCell(Symbol(context), t.GetSignedAmount(), true).text;
    return RegisterCellText(context, t, column, balance).text;
}

int RegisterIconIndex(const CAccounts& data, const CTransaction& t) {
    return data.GetIconForId(t.GetCategoryId());
}

CellText ReportCellText(const ReportCellContext& context, const CReportItem& row,
                        std::uint16_t column) {
    const std::string symbol =
        context.data != nullptr ? context.data->GetHomeCurrencySymbol() : std::string("$");
    const auto budget = [&] {
        return context.report != nullptr ? context.report->GetItemBudget(row, true) : Cents{0};
    };
    switch (column) {
        case 21:
            return Text(context.sortColumn == 21 ? row.GetName() : row.GetLabel());
        case 22:
            return MoneyCell(symbol, budget(), context.showDecimals);
        case 23:
            return MoneyCell(symbol, row.GetAmount(), context.showDecimals);
        case 24:
            return MoneyCell(symbol, SaturatingAdd(row.GetAmount(), SaturatingNegate(budget())),
                             context.showDecimals);
        default:
            return {};
    }
}

CellText DetailAmountCell(const RegisterCellContext& context, const DetailAmountRule& rule,
                          const CTransaction& t) {
    if (rule.kind == 0 || rule.wholeAmounts || t.GetCategoryId() != SplitMarkerId)
        return RegisterCellText(context, t, 8, 0);
    const Cents sum =
        rule.kind == 1 ? t.SumSplitsByCategory(rule.rowId) : t.SumSplitsByClass(rule.rowId);
    return MoneyCell(Symbol(context), sum, context.showDecimals);
}

}  // namespace tallowmere::ui
