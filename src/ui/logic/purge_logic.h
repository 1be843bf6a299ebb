#pragma once
// "Purge Transactions" (dialog 143): which transactions go, by the radio's
// index (0 dated before a day, 1 cleared, 2 reconciled, the kinds the
// account's purge takes), and the day. OK asks first; No keeps the dialog.
#include "model/palm_time.h"
#include "ui/logic/messages.h"
#include "ui/logic/ok_result.h"

namespace tallowmere::ui {

inline constexpr int kPurgeBeforeRadio = 1064;
inline constexpr int kPurgeClearedRadio = 1066;
inline constexpr int kPurgeReconciledRadio = 1065;
inline constexpr int kPurgeDate = 1001;

inline constexpr int kPurgeBefore = 0;
inline constexpr int kPurgeCleared = 1;
inline constexpr int kPurgeReconciled = 2;

struct PurgeForm {
    int mode = kPurgeBefore;  // -1 when no radio is checked
    PalmTime day = 0;         // the picker's day
};

struct PurgeValues {
    int mode = kPurgeBefore;
    // The start of the chosen day: "before" spares the day itself.
    PalmTime date = 0;
};

// Mode 0 and today.
PurgeForm OpenPurge();

// Asks 148 (Yes/No, No the default). Yes fills *values and closes; No stays.
OkResult AcceptPurge(const PurgeForm& form, Messages& messages, PurgeValues& values);

}  // namespace tallowmere::ui
