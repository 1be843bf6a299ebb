#include "ui/logic/cell_text.h"

#include <cstddef>
#include <vector>

#include "model/accounts.h"
#include "model/palm_time.h"
#include "model/report.h"
#include "model/transaction.h"
#include "model/transaction_type.h"
#include "platform/text_1252.h"

namespace tallowmere::ui {
namespace {

constexpr std::string_view kEllipsis = "...";

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

CellText Plain(std::string_view text1252) {
    return CellText{platform::Cp1252ToUtf8(text1252), false, false};
}

}  // namespace

std::string FlattenLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r')
            out.push_back(' ');
        else if (c != '\n')
            out.push_back(c);
    }
    return out;
}

std::string FitCellText(std::string_view text, std::int64_t width, const CellMeasure& measure,
                        std::int64_t* fittedWidth) {
    const std::int64_t whole = measure(text);
    if (whole <= width) {
        if (fittedWidth != nullptr)
            *fittedWidth = whole;
        return std::string(text);
    }
    // Where each character starts; ends[k] is the length of the first k
    // characters.
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsContinuationByte(text[i]))
            ends.push_back(i);
    }
    ends.push_back(text.size());
    const auto candidate = [&](std::size_t k) {
        std::string s(text.substr(0, ends[k]));
        s.append(kEllipsis);
        return s;
    };
    // A longer start is never narrower, so a bisection finds the cut that
    // taking one character off at a time would reach, in few measures.
    std::size_t lo = 0;
    std::int64_t loWidth = -1;                                // not measured
    std::size_t hi = ends.size() >= 2 ? ends.size() - 2 : 0;  // at least one character goes
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo + 1) / 2;
        const std::int64_t w = measure(candidate(mid));
        if (w <= width) {
            lo = mid;
            loWidth = w;
        } else {
            hi = mid - 1;
        }
    }
    std::string fitted = candidate(lo);
    if (fittedWidth != nullptr)
        *fittedWidth = loWidth >= 0 ? loWidth : measure(fitted);
    return fitted;
}

CellText MoneyCellText(std::string_view symbol, Cents value, bool decimals) {
    std::string text = platform::Cp1252ToUtf8(symbol);
    text += FormatMoney(value, decimals ? kMoneyFull : kMoneyWhole);
    return CellText{std::move(text), true, value < 0};
}

CellText RegisterCellText(const CAccounts& data, const CTransaction& t, int columnId,
                          const MoneyStyle& money, Cents balance) {
    switch (columnId) {
        case kColumnDate:
            return Plain(FormatLocaleDate(t.GetDate(), kDateShortDate));
        case kColumnType:
            if (IsNumberedTypeId(t.GetTypeId()))
                return CellText{std::to_string(t.GetCheckNumber()), false, false};
            return Plain(data.TransactionTypes().GetNameById(t.GetTypeId()));
        case kColumnPayee:
            return Plain(t.GetPayeeName());
        case kColumnCategory:
            return Plain(data.GetCategoryDisplayText(t.GetCategoryId()));
        case kColumnClass:
            return Plain(data.GetClassNameById(t.GetClassId()));
        case kColumnMemo:
            return Plain(t.GetMemo());
        case kColumnAmount:
            return MoneyCellText(money.symbol, t.GetSignedAmount(), money.decimals);
        case kColumnBalance:
            return MoneyCellText(money.symbol, balance, money.decimals);
        default:
            return {};
    }
}

CellText ReportCellText(const CReport& report, const CReportItem& row, int columnId,
                        const MoneyStyle& money, bool showName) {
    switch (columnId) {
        case kColumnReportName:
            return Plain(showName ? row.GetName() : row.GetLabel());
        case kColumnReportBudget:
            return MoneyCellText(money.symbol, report.GetItemBudget(row, true), money.decimals);
        case kColumnReportAmount:
            return MoneyCellText(money.symbol, row.GetAmount(), money.decimals);
        case kColumnReportDifference:
            return MoneyCellText(
                money.symbol,
                SaturatingAdd(row.GetAmount(), SaturatingNegate(report.GetItemBudget(row, true))),
                money.decimals);
        default:
            return {};
    }
}

}  // namespace tallowmere::ui
