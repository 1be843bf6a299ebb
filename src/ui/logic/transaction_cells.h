#pragma once
// What the transaction lists show in each cell, apart from how it is drawn:
// the texts (UTF-8, converted from the records' Windows-1252), whether a
// cell is a money cell (right-aligned) and whether its amount is negative
// (red), and the status images. The screen lists and the printout share it.
#include <cstdint>
#include <string>
#include <string_view>

#include "model/money.h"
#include "model/palm_time.h"
#include "model/record_id.h"

namespace tallowmere {
class CAccount;
class CAccounts;
class CReport;
class CReportItem;
class CTransaction;
}  // namespace tallowmere

namespace tallowmere::ui {

// Images of the status strip (bitmap 164).
inline constexpr int kStatusImageOpen = 1;
inline constexpr int kStatusImageCleared = 2;  // also "marked" while reconciling
inline constexpr int kStatusImageReconciled = 4;
inline constexpr int kStatusImageVoid = 5;
inline constexpr int kStatusImageDownloaded = 6;
inline constexpr int kSortArrowAscending = 8;
inline constexpr int kSortArrowDescending = 9;

// A downloaded transaction waiting for review shows 6 whatever its status;
// otherwise open 1, cleared 2, reconciled 4, void 5.
int StatusImage(const CTransaction& t);
// The reconcile mark: 2 when marked, else 1.
int ReconcileMarkImage(const CTransaction& t);

struct CellText {
    std::string text;       // UTF-8
    bool money = false;     // right-aligned
    bool negative = false;  // drawn red
    friend bool operator==(const CellText&, const CellText&) = default;
};

// The symbol (Windows-1252) directly followed by the amount, with cents, or
// in whole units when showDecimals is off; negative amounts are flagged.
CellText MoneyCell(std::string_view symbol, Cents value, bool showDecimals);

// The date text: the locale's short date, or without the year the day and
// month in the locale's order and separator.
std::string DateCellText(PalmTime date, bool showYear);

// What the register and reconcile rows need beyond the transaction.
struct RegisterCellContext {
    const CAccounts* data = nullptr;    // type names, category and class texts
    const CAccount* account = nullptr;  // the currency symbol
    bool showDecimals = true;
    bool showYear = true;
};

// The text of a register cell by column id: 2 date, 3 check number or type
// name, 4 payee, 5 category, 6 class, 7 memo, 8 amount (outflows negative),
// 9 the running balance given. Empty for the icon columns 0 and 1 and for
// any other id.
CellText RegisterCellText(const RegisterCellContext& context, const CTransaction& t,
                          std::uint16_t column, Cents balance);

// The text a register column's width is measured on: the cell's text,
// except "XXXXXX" for the type column and the amount always with cents.
std::string RegisterMeasureText(const RegisterCellContext& context, const CTransaction& t,
                                std::uint16_t column, Cents balance);

// The icon index of a register row's category or transfer account (column 1).
int RegisterIconIndex(const CAccounts& data, const CTransaction& t);

// What the report and budget rows need beyond the row.
struct ReportCellContext {
    const CReport* report = nullptr;  // the budgets
    const CAccounts* data = nullptr;  // the home currency
    bool showDecimals = true;
    std::uint16_t sortColumn = 21;
};

// The text of a report cell by column id: 21 the name when the rows are
// sorted by it, else the label; 22 the budget scaled to the period; 23 the
// amount; 24 the amount less the budget. Empty for 20 and any other id.
CellText ReportCellText(const ReportCellContext& context, const CReportItem& row,
                        std::uint16_t column);

// The amount cell (column 8) of the report-detail list: for a split
// transaction in a detail grouped by category (kind 1) or by class (any
// other non-zero kind), with whole amounts not asked for, the sum of the
// lines that belong to the detail's row; otherwise the register's amount.
struct DetailAmountRule {
    int kind = 0;
    bool wholeAmounts = false;
    RecordId rowId;
};
CellText DetailAmountCell(const RegisterCellContext& context, const DetailAmountRule& rule,
                          const CTransaction& t);

}  // namespace tallowmere::ui
