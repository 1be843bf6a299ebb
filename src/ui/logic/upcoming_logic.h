#pragma once
// "Upcoming Transactions" (dialog 1591) apart from its widgets: the due
// occurrences of every scheduled transaction up to the "Thru:" horizon, and
// Record, Record All, Edit (record through the transaction dialog) and
// Skip. Record, Edit and Skip take only the next occurrence of a schedule.
//
// The dialog keeps no pointer into the data set between events: the rows
// are texts and keys (schedule and due date) taken when the list is built,
// and each action builds the occurrences again and finds its row by key, so
// nothing it holds can point into a data set that a reload replaced.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "model/palm_time.h"
#include "model/record_id.h"
#include "model/upcoming.h"
#include "ui/logic/cell_text.h"
#include "ui/logic/data_set_source.h"
#include "ui/logic/messages.h"
#include "ui/logic/transaction_dialog_runner.h"

namespace tallowmere::ui {

inline constexpr int kUpcomingList = 1088;
inline constexpr int kUpcomingThru = 1078;
inline constexpr int kUpcomingDone = 1;
inline constexpr int kUpcomingRecordAll = 1007;
inline constexpr int kUpcomingRecord = 1005;
inline constexpr int kUpcomingEdit = 1004;
inline constexpr int kUpcomingSkip = 1006;

inline constexpr int kStringOutOfOrder = 152;
inline constexpr int kStringUpcomingCaption = 3505;
// "Due" ... "1 Year": the entry's index is the through mode (the window kind).
inline constexpr std::array<int, 9> kThruEntries = {3507, 3508, 3509, 3510, 3511,
                                                    3512, 3513, 3514, 3515};
// The mode shown for a stored value the combo does not hold.
inline constexpr int kDefaultThroughMode = 1;

// Column ids of the upcoming list: date, payee, amount.
inline constexpr int kUpcomingColumnDate = 0;
inline constexpr int kUpcomingColumnPayee = 1;
inline constexpr int kUpcomingColumnAmount = 2;

struct UpcomingColumn {
    int columnId;
    int titleStringId;
    int width;
};
inline constexpr std::array<UpcomingColumn, 3> kUpcomingColumns = {{
    {kUpcomingColumnDate, 200, 80},
    {kUpcomingColumnPayee, 202, 125},
    {kUpcomingColumnAmount, 205, 80},
}};

// What the dialog asks of the view.
class UpcomingViewHost {
  public:
    virtual ~UpcomingViewHost() = default;
    // The account was posted to: its register and balances are redrawn.
    virtual void RefreshForAccount(const RecordId& account) = 0;
};

class UpcomingLogic {
  public:
    UpcomingLogic(DataSetSource data, Messages& messages, TransactionDialogRunner& runner,
                  UpcomingViewHost* host = nullptr);

    // Reads "Upcoming Through Mode" and builds the list.
    void Open();
    int ThroughMode() const { return mode_; }
    // The user chose another "Thru:" entry.
    void ChooseThroughMode(int mode);
    // Done: stores the mode.
    void Done() const;

    // Builds the rows again; the count.
    std::size_t Rebuild();
    std::size_t Count() const { return rows_.size(); }
    // The list's cell: the due date, the payee, the amount signed by the
    // type (red when negative) after the account's currency symbol. Empty
    // out of range.
    CellText CellAt(std::size_t row, int columnId) const;
    // The due date and the schedule (its template's id) of a row.
    PalmTime DueDateAt(std::size_t row) const;
    RecordId ScheduleAt(std::size_t row) const;

    // Edit, Record and Skip need one selected row.
    static bool RowActionsEnabled(int selectedRow) { return selectedRow >= 0; }

    // Each rebuilds the list afterwards. Failures are shown; Record All stops
    // at the first.
    void Record(std::size_t row);
    void RecordAll();
    void Edit(std::size_t row);
    void Skip(std::size_t row);

  private:
    struct Row {
        RecordId item;
        PalmTime due = 0;
        std::string date;  // UTF-8
        std::string payee;
        CellText amount;
    };
    // The occurrence of row in a freshly built list; null when it is gone.
    const CUpcomingTrans* Find(CUpcomingList& list, std::size_t row) const;
    std::size_t Build(CUpcomingList& list) const;
    // Not the item's next occurrence: 152, and true.
    bool RefusedOutOfOrder(const CUpcomingTrans& entry);
    void Refresh(const RecordId& account);

    DataSetSource data_;
    Messages& messages_;
    TransactionDialogRunner& runner_;
    UpcomingViewHost* host_;
    int mode_ = kDefaultThroughMode;
    std::vector<Row> rows_;
};

}  // namespace tallowmere::ui
