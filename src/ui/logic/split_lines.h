#pragma once
// The ten split lines of a transaction as plain values, for the dialogs that
// edit them apart from the record: the splits dialog takes and gives them,
// and the caller moves them in and out of its working copy.
#include <array>
#include <string>

#include "model/money.h"
#include "model/record_id.h"
#include "model/transaction.h"

namespace tallowmere::ui {

struct SplitLine {
    RecordId category;  // a category, an account (a transfer) or none
    RecordId classId;
    Cents amount = 0;  // with the direction of the whole transaction
    RecordId linked;   // the transfer made from this line in another account
    std::string memo;  // Windows-1252, at most 160 characters

    friend bool operator==(const SplitLine&, const SplitLine&) = default;
};

using SplitLines = std::array<SplitLine, kSplitLineCount>;

SplitLines ReadSplitLines(const CTransaction& t);
// Writes every field of the ten lines (the transaction's modified bit set).
void WriteSplitLines(const SplitLines& lines, CTransaction& t);

}  // namespace tallowmere::ui
