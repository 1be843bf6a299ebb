#pragma once
// "Edit Scheduled Transactions" (dialog 1590) apart from its widgets: the
// live scheduled items in payee order, and New, Edit and Delete over them.
// The list file is saved after each change; the list reports a failed save
// itself.
#include <memory>
#include <string>

#include "model/scheduled.h"
#include "ui/logic/cell_text.h"
#include "ui/logic/messages.h"

namespace tallowmere {
class CAccount;
class CAccounts;
}  // namespace tallowmere

namespace tallowmere::ui {

inline constexpr int kScheduledList = 1087;
inline constexpr int kScheduledNew = 1003;
inline constexpr int kScheduledEdit = 1004;
inline constexpr int kScheduledDelete = 101;
inline constexpr int kStringDeleteScheduled = 514;
inline constexpr int kStringFrequencyBase = 380;

// Column ids of the list.
inline constexpr int kScheduledColumnPayee = 0;
inline constexpr int kScheduledColumnFrequency = 1;
inline constexpr int kScheduledColumnAmount = 2;
inline constexpr int kScheduledColumnEmpty = 3;

// Runs the edit dialog; tests script it.
class ScheduledItemEditor {
  public:
    virtual ~ScheduledItemEditor() = default;
    // item null: a new one, given back in *created on OK. True on OK.
    virtual bool Edit(CScheduledItem* item, std::unique_ptr<CScheduledItem>* created) = 0;
};

class ScheduledListLogic {
  public:
    ScheduledListLogic(CAccounts& data, Messages& messages, ScheduledItemEditor& editor);

    // The live items; deleted ones stay behind them in the file.
    int Count() const;
    CScheduledItem* ItemAt(int row) const;
    int RowOf(const CScheduledItem* item) const;

    // New: the row of the inserted item, or -1 (cancelled, or no account to
    // schedule for, which is said).
    int New();
    // Edit of the row: the row it moved to in payee order, or -1.
    int Edit(int row);
    // Delete after asking (No is the default); true when deleted.
    bool Delete(int row);

  private:
    CAccounts& data_;
    Messages& messages_;
    ScheduledItemEditor& editor_;
};

// What a row shows: 0 the payee, 1 the frequency's name (empty for one the
// program does not know), 2 the amount, negative for an outflow type, after
// the account's currency symbol.
CellText ScheduledCellText(const CAccounts& data, const CScheduledItem& item, int columnId,
                           bool decimals);

}  // namespace tallowmere::ui
