#include "sync/handheld_merge.h"

#include <memory>
#include <utility>

#include "model/accounts.h"
#include "sync/handheld_db.h"
#include "sync/handheld_files.h"
#include "sync/handheld_pass_cache.h"
#include "sync/handheld_values.h"
#include "sync/merge_passes.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {

namespace {

constexpr char kWritingStatus[] = "Writing updated data to desktop";

using Pass = int (*)(MergeContext&);

// Types before scheduled items in two-way mode, after them otherwise.
constexpr Pass kTwoWayPasses[] = {
    MergeAccounts,     MergeCategories,       MergeClasses,   MergeCurrencies,   MergePayees,
    MergePayeeLookups, MergeTransactionTypes, MergeScheduled, MergeTransactions,
};
constexpr Pass kOverwritePasses[] = {
    MergeAccounts,     MergeCategories, MergeClasses,          MergeCurrencies,   MergePayees,
    MergePayeeLookups, MergeScheduled,  MergeTransactionTypes, MergeTransactions,
};

// Every change of the run is one SQLite transaction: a run that fails
// leaves the handheld's file as it came.
class RunTransaction {
  public:
    explicit RunTransaction(CSQLiteDBWrapper& db) : db_(db) {}
    ~RunTransaction() {
        if (open_)
            db_.ExecSql("ROLLBACK;");
    }
    RunTransaction(const RunTransaction&) = delete;
    RunTransaction& operator=(const RunTransaction&) = delete;
    int Begin() {
        int rc = db_.ExecSql("BEGIN IMMEDIATE;");
        open_ = rc == 0;
        return rc;
    }
    int Commit() {
        int rc = db_.ExecSql("COMMIT;");
        if (rc == 0)
            open_ = false;
        return rc;
    }

  private:
    CSQLiteDBWrapper& db_;
    bool open_ = false;
};


}  // namespace

CHandheldMerge::CHandheldMerge(std::string dataFolder, std::string databasePath,
                               MergeRunOptions options)
    : dataFolder_(std::move(dataFolder)),
      databasePath_(std::move(databasePath)),
      options_(std::move(options)),
      biasMinutes_(TimeZoneBiasMinutes()) {}

CHandheldMerge::~CHandheldMerge() = default;

void CHandheldMerge::SetTimeZoneBias(int minutes) {
    biasMinutes_ = minutes;
}

int CHandheldMerge::EffectiveMode() const {
    if (options_.newDeviceUser)
        return 2;
    if (options_.mode < 0 || options_.mode > 2)
        return 0;
    return options_.mode;
}

int CHandheldMerge::Run() {
    const MergeMode mode = static_cast<MergeMode>(EffectiveMode());
    CSQLiteDBWrapper db(databasePath_, kSqliteDefaultOpenFlags, options_.sqliteBudget);
    HandheldFiles files(dataFolder_, databasePath_);
    std::unique_ptr<CAccounts> data;
    int rc = 0;
    // Account files that could not be read are never replaced.
    if ((rc = files.LoadDataSet(data)) != 0)
        return rc;
    RunTransaction transaction(db);
    if ((rc = transaction.Begin()) != 0)
        return rc;
    rc = files.ResetModifiedFlags(db);
    if (rc == 0 && mode == MergeMode::kHandheldOverwrites)
        rc = files.MarkAllRowsModified(db);

    MergeContext context{db, *data, DateOffset(biasMinutes_), mode};
    const auto& passes = mode == MergeMode::kTwoWay ? kTwoWayPasses : kOverwritePasses;
    for (Pass pass : passes) {
        if (rc != 0)
            return rc;
        // What the pass keeps in memory of the handheld's rows goes with it.
        PassCache cache(db);
        rc = pass(context);
    }
    if (rc != 0)
        return rc;

    if (options_.status)
        options_.status(kWritingStatus);
    for (std::size_t i = 0; i < data->GetAccountCount(); ++i) {
        CAccount* account = data->GetAccountAt(i);
        // Copies from handheld rows may have changed dates; the files are
        // written at the end, so this sort saves nothing.
        account->SortTransactions();
        account->RecalcBalances();
    }
    // The handheld's file is settled first: a write-back that fails leaves
    // the desktop folder as it was, and the server sends nothing back.
    if ((rc = transaction.Commit()) != 0)
        return rc;
    return files.WriteDataSet(*data);
}

}  // namespace tallowmere::handheld
