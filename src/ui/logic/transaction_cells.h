#pragma once
// What the screen's transaction lists show beyond the cell texts they share
// with printing (cell_text.h): the status images, the date without its year,
// the register cell as a list shows it, the texts a column's width is
// measured on, a row's icon, and the report-detail list's amount of a split.
#include <cstdint>
#include <string>

#include "model/money.h"
#include "model/palm_time.h"
#include "model/record_id.h"
#include "ui/logic/cell_text.h"

namespace tallowmere {
class CAccount;
class CAccounts;
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

// The date text: the locale's short date, or without the year the day and
// month in the locale's order and separator.
std::string DateCellText(PalmTime date, bool showYear);

// What a list's register and reconcile rows need beyond the transaction.
struct RegisterCellContext {
    const CAccounts* data = nullptr;    // type names, category and class texts
    const CAccount* account = nullptr;  // the currency symbol ("$" without one)
    bool showDecimals = true;
    bool showYear = true;
};

// RegisterCellText with the account's symbol, cents as the list shows them
// and the date without its year when asked. Empty without a data set.
CellText ListRegisterCellText(const RegisterCellContext& context, const CTransaction& t,
                              int columnId, Cents balance);

// The text a register column's width is measured on: the cell's text,
// except "XXXXXX" for the type column and the amount always with cents.
std::string RegisterMeasureText(const RegisterCellContext& context, const CTransaction& t,
                                int columnId, Cents balance);

// The icon index of a register row's category or transfer account (column 1).
int RegisterIconIndex(const CAccounts& data, const CTransaction& t);

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
