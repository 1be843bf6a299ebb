#pragma once
// The table passes of one merge run, by sync mode. Each pass stops at the
// first failing statement and returns its code: a failed run is rolled back
// as a whole, so nothing half-merged reaches either side. Desktop records
// are changed in memory only; the run writes the files at its end.
#include <cstdint>
#include <map>

#include "model/accounts.h"

namespace tallowmere {
class CSQLiteDBWrapper;
}

namespace tallowmere::handheld {

enum class MergeMode : int { kTwoWay = 0, kDesktopOverwrites = 1, kHandheldOverwrites = 2 };

struct MergeContext {
    CSQLiteDBWrapper& db;
    CAccounts& data;
    std::uint32_t dateOffset;
    MergeMode mode;
};

int MergeAccounts(MergeContext& m);
int MergeCategories(MergeContext& m);
int MergeClasses(MergeContext& m);
int MergeCurrencies(MergeContext& m);
int MergePayees(MergeContext& m);
int MergePayeeLookups(MergeContext& m);
int MergeTransactionTypes(MergeContext& m);
int MergeScheduled(MergeContext& m);
int MergeTransactions(MergeContext& m);

}  // namespace tallowmere::handheld
