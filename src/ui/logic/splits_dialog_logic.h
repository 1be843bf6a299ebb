#pragma once
// The splits dialog apart from its widgets: up to ten lines, each with a
// category or transfer account, a class, a memo and an amount, and the three
// totals (splits, remainder, transaction). OK checks every row before it
// makes a category or class or writes a line, so a refused OK leaves the
// lists and the caller's lines as they were. The dialog changes no stored
// transaction: the caller copies the lines back.
#include <array>
#include <string>
#include <vector>

#include "model/accounts.h"
#include "ui/logic/amount_range.h"
#include "ui/logic/messages.h"
#include "ui/logic/split_lines.h"

namespace tallowmere::ui {

inline constexpr int kSplitRows = static_cast<int>(kSplitLineCount);
inline constexpr int kStringLongMemo = 139;
inline constexpr int kStringBadAmount = 146;

// What the caller hands in and, after OK, takes back.
struct SplitsData {
    bool hasSplits = false;
    SplitLines lines{};
    // The first row's category when there are no split lines (UTF-8, as the
    // caller's category combo shows it).
    std::string firstCategoryText;
    Cents transactionTotal = 0;  // Adjust may change it
};

// One row's texts, UTF-8 as the widgets hold them.
struct SplitsRow {
    std::string category;
    std::string classText;
    std::string memo;
    std::string amount;
};

struct SplitsTotals {
    WideCents splits = 0;
    WideCents remainder = 0;
    WideCents transaction = 0;
};

enum class SplitsField { kCategory, kClass, kMemo, kAmount };

// Where a refused OK puts the focus, the field's text selected.
struct SplitsFocus {
    int row = 0;
    SplitsField field = SplitsField::kCategory;
};

class SplitsDialogLogic {
  public:
    // target: the account of the transaction, left out of the category
    // entries and refused as a transfer.
    SplitsDialogLogic(CAccounts& data, const CAccount* target, Messages& messages);

    // The combo entries, the rows from the caller's lines (or its category
    // and total in the first row), the totals.
    void Open(const SplitsData& in);

    const std::vector<std::string>& CategoryEntries() const { return categoryEntries_; }
    const std::vector<std::string>& ClassEntries() const { return classEntries_; }

    // The shell pulls the widgets into the rows before each event and pushes
    // them back after one that changed them.
    std::array<SplitsRow, kSplitLineCount>& Rows() { return rows_; }
    const std::array<SplitsRow, kSplitLineCount>& Rows() const { return rows_; }
    const SplitsTotals& Totals() const { return totals_; }

    // An edit gained or lost the focus.
    void Recompute();
    // The amount edit of row gained the focus: when it is empty and the
    // remainder is not 0 it takes the remainder, and the answer is true (the
    // shell selects the text).
    bool OnAmountFocus(int row);
    // The transaction total becomes the splits total; 146 when that lies
    // outside the range of amounts.
    void Adjust();
    // Empties every row.
    void Clear();
    // True: close with OK; Result() holds the lines. False: a message was
    // shown, nothing was made or written, and *focus names the field.
    bool Ok(SplitsFocus* focus);
    const SplitsData& Result() const { return result_; }

  private:
    bool Refuse(int stringId, int row, SplitsField field, SplitsFocus* focus);

    CAccounts& data_;
    const CAccount* target_;
    Messages& messages_;
    SplitsData input_;
    SplitsData result_;
    std::vector<std::string> categoryEntries_;
    std::vector<std::string> classEntries_;
    std::array<SplitsRow, kSplitLineCount> rows_;
    SplitsTotals totals_;
};

}  // namespace tallowmere::ui
