#pragma once
// The texts that list cells and printed cells show, shared by the lists and
// printing: a text fitted to its cell with "...", line breaks flattened, the
// money text after its currency symbol, and what each register and report
// column shows. Texts here are UTF-8; the model's Windows-1252 texts are
// converted on the way in.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/money.h"

namespace tallowmere {
class CAccounts;
class CReport;
class CReportItem;
class CTransaction;
}  // namespace tallowmere

namespace tallowmere::ui {

// Column ids of register and reconcile rows.
inline constexpr int kColumnStatus = 0;
inline constexpr int kColumnIcon = 1;
inline constexpr int kColumnDate = 2;
inline constexpr int kColumnType = 3;
inline constexpr int kColumnPayee = 4;
inline constexpr int kColumnCategory = 5;
inline constexpr int kColumnClass = 6;
inline constexpr int kColumnMemo = 7;
inline constexpr int kColumnAmount = 8;
inline constexpr int kColumnBalance = 9;
// Column ids of report and budget rows.
inline constexpr int kColumnReportIcon = 20;
inline constexpr int kColumnReportName = 21;
inline constexpr int kColumnReportBudget = 22;
inline constexpr int kColumnReportAmount = 23;
inline constexpr int kColumnReportDifference = 24;

// The width of a UTF-8 text, in the units of the cell it goes into.
using CellMeasure = std::function<std::int64_t(std::string_view)>;

// Each CR becomes a blank and each LF is dropped: a cell shows one line.
std::string FlattenLineBreaks(std::string_view text);

// The text itself when it is at most width wide. Otherwise whole characters
// come off its end until what is left, followed by "...", fits; when nothing
// is left the text is "..." alone. *fittedWidth, when given, gets the
// result's width.
std::string FitCellText(std::string_view text, std::int64_t width, const CellMeasure& measure,
                        std::int64_t* fittedWidth = nullptr);

// A cell's text; an amount is right-aligned and, when negative, red.
struct CellText {
    std::string text;
    bool money = false;
    bool negative = false;
    friend bool operator==(const CellText&, const CellText&) = default;
};

// The currency symbol (Windows-1252) followed by the money text, with cents
// unless decimals is false (then whole units).
CellText MoneyCellText(std::string_view symbol, Cents value, bool decimals);

// How money cells are written: the symbol (Windows-1252) and whether cents
// show.
struct MoneyStyle {
    std::string_view symbol;
    bool decimals = true;
};

// What a register or reconcile row shows in column id: 2 the date, 3 the
// check number when the type is numbered else the type's name, 4 payee, 5
// category text, 6 class, 7 memo, 8 the signed amount, 9 balance (the row's
// running balance, which the caller knows). Empty for the icon columns 0
// and 1 and for any other id.
CellText RegisterCellText(const CAccounts& data, const CTransaction& t, int columnId,
                          const MoneyStyle& money, Cents balance);

// What a report or budget row shows in column id: 21 the row's name (or its
// label unless showName), 22 its budget scaled to the period, 23 its amount,
// 24 the amount less the budget. Empty for the icon column 20 and any
// other id.
CellText ReportCellText(const CReport& report, const CReportItem& row, int columnId,
                        const MoneyStyle& money, bool showName);

}  // namespace tallowmere::ui
