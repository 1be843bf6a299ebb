// The transactions pass: the register transactions of every account against
// the TRANSACTIONS rows of kind 0, paired by uid.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "sync/handheld_pass_cache.h"
#include "sync/handheld_read.h"
#include "sync/handheld_statement.h"
#include "sync/handheld_values.h"
#include "sync/handheld_write.h"
#include "sync/merge_passes.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {

namespace {

constexpr char kTransactionRowFlags[] =
    "SELECT uid, modified, deleted, identifier, account_id FROM Transactions;";

struct TransactionRow {
    bool modified = false;
    bool deleted = false;
    int identifier = 0;
    int accountIdentifier = 0;
};

std::uint64_t Key(const RecordId& id) {
    std::uint64_t k = 0;
    for (std::uint8_t b : id.bytes)
        k = (k << 8) | b;
    return k;
}

// The flags of every row, read in one scan: a look-up per transaction
// would scan the table once for each.
class TransactionRows {
  public:
    int Load(CSQLiteDBWrapper& db) {
        rows_.clear();
        Statement s(db);
        int rc = s.Prepare(kTransactionRowFlags, 5);
        if (rc != 0)
            return rc;
        for (;;) {
            rc = s.Step();
            if (rc == SQLITE_DONE)
                return 0;
            if (rc != SQLITE_ROW)
                return rc;
            RecordId id = ColumnUid(db, s.get(), 0);
            if (!IsMatchableUid(id))
                continue;
            TransactionRow row;
            row.modified = s.Int64(1) != 0;
            row.deleted = s.Int64(2) != 0;
            row.identifier = s.Identifier(3);
            row.accountIdentifier = s.Identifier(4);
            // The first row of a uid counts, as in every look-up by uid.
            rows_.emplace(Key(id), row);
        }
    }
    TransactionRow* Find(const RecordId& id) {
        if (!IsMatchableUid(id))
            return nullptr;
        auto it = rows_.find(Key(id));
        return it == rows_.end() ? nullptr : &it->second;
    }
    void Erase(const RecordId& id) { rows_.erase(Key(id)); }

  private:
    std::unordered_map<std::uint64_t, TransactionRow> rows_;
};

struct AccountRows {
    std::vector<std::pair<CAccount*, int>> byOrder;
    std::map<int, CAccount*> byIdentifier;
};

int LoadAccountRows(MergeContext& m, AccountRows& rows) {
    for (std::size_t i = 0; i < m.data.GetAccountCount(); ++i) {
        CAccount* account = m.data.GetAccountAt(i);
        int identifier = 0;
        int rc = FindIdentifierByUid(m.db, account->Header().GetId(), Table::kAccounts, identifier);
        if (rc != 0)
            return rc;
        rows.byOrder.emplace_back(account, identifier);
        if (identifier != 0)
            rows.byIdentifier.emplace(identifier, account);
    }
    return 0;
}

std::vector<CTransaction*> Snapshot(const TransactionArray& array) {
    std::vector<CTransaction*> out;
    out.reserve(array.size());
    for (const auto& t : array)
        out.push_back(t.get());
    return out;
}

void RemoveAll(TransactionArray& array, const std::set<const CTransaction*>& gone) {
    array.erase(std::remove_if(array.begin(), array.end(),
                               [&](const auto& t) { return gone.count(t.get()) != 0; }),
                array.end());
}

std::unique_ptr<CTransaction> Take(TransactionArray& array, const CTransaction* t) {
    auto it = std::find_if(array.begin(), array.end(), [&](const auto& p) { return p.get() == t; });
    if (it == array.end())
        return nullptr;
    std::unique_ptr<CTransaction> taken = std::move(*it);
    array.erase(it);
    return taken;
}

int ImportChanged(MergeContext& m, CAccount& account, int identifier) {
    TransactionArray added;
    int rc = ReadChangedTransactions(m.db, m.dateOffset, added, identifier);
    for (auto& t : added)
        account.AddTransaction(std::move(t));
    return rc;
}

int TableEnd(MergeContext& m) {
    int rc = ClearModified(m.db, Table::kTransactions, 0);
    if (rc == 0)
        rc = PurgeDeletedRows(m.db, Table::kTransactions);
    return rc;
}

struct Move {
    CAccount* from;
    CAccount* to;
    CTransaction* t;
};

int TwoWayAccount(MergeContext& m, TransactionRows& index, const AccountRows& rows,
                  CAccount& account, int identifier, std::vector<Move>& moves) {
    std::set<const CTransaction*> gone;
    for (int pass = 0; pass < 2; ++pass) {
        const bool inDeleted = pass == 1;
        TransactionArray& array =
            inDeleted ? account.DeletedTransactions() : account.Transactions();
        for (CTransaction* t : Snapshot(array)) {
            TransactionRow* h = index.Find(t->GetId());
            const bool deleted = inDeleted || t->IsDeleted();
            int rc = 0;
            if (h != nullptr && (h->deleted || deleted)) {
                rc = DeleteRow(m.db, h->identifier, Table::kTransactions);
                index.Erase(t->GetId());
                gone.insert(t);
            } else if (h != nullptr && h->modified) {
                rc = ClearModified(m.db, Table::kTransactions, h->identifier);
                h->modified = false;
                if (rc == 0)
                    rc = ReadTransactionRow(m.db, m.dateOffset, *t);
                // Moved to another account on the handheld: it goes there.
                auto to = rows.byIdentifier.find(h->accountIdentifier);
                if (rc == 0 && h->accountIdentifier != identifier && to != rows.byIdentifier.end())
                    moves.push_back({&account, to->second, t});
            } else if (h != nullptr && t->IsModified()) {
                t->SetAttributes(0);
                rc = UpdateTransaction(m.db, m.dateOffset, *t, identifier);
            } else if (h == nullptr && deleted) {
                gone.insert(t);
            } else if (h == nullptr) {
                rc = InsertTransaction(m.db, m.dateOffset, *t, identifier, 0);
                t->SetAttributes(0);
            }
            if (rc != 0)
                return rc;
        }
    }
    RemoveAll(account.Transactions(), gone);
    RemoveAll(account.DeletedTransactions(), gone);
    return 0;
}

int TwoWay(MergeContext& m, const AccountRows& rows) {
    TransactionRows index;
    int rc = index.Load(m.db);
    std::vector<Move> moves;
    for (auto [account, identifier] : rows.byOrder) {
        if (rc != 0)
            return rc;
        rc = TwoWayAccount(m, index, rows, *account, identifier, moves);
    }
    for (const Move& move : moves)
        if (auto t = Take(move.from->Transactions(), move.t))
            move.to->AddTransaction(std::move(t));
    // New rows are taken in once every account has been walked, so a row
    // moved to an account walked earlier is not taken in twice.
    for (auto [account, identifier] : rows.byOrder) {
        if (rc != 0)
            return rc;
        rc = ImportChanged(m, *account, identifier);
    }
    return rc != 0 ? rc : TableEnd(m);
}

int DesktopOverwrites(MergeContext& m, const AccountRows& rows) {
    int rc = DeleteRegisterTransactions(m.db);
    // Their split rows go with them.
    if (rc == 0)
        rc = m.db.ExecSql(sql::kDeleteOrphanSplits);
    ForgetPassRows(m.db, Table::kSplits);
    for (auto [account, identifier] : rows.byOrder) {
        for (const auto& t : account->Transactions()) {
            if (rc != 0)
                return rc;
            if (!t->IsDeleted())
                rc = InsertTransaction(m.db, m.dateOffset, *t, identifier, 0);
        }
    }
    return rc != 0 ? rc : TableEnd(m);
}

int HandheldOverwrites(MergeContext& m, const AccountRows& rows) {
    int rc = 0;
    for (auto [account, identifier] : rows.byOrder) {
        if (rc != 0)
            return rc;
        account->Transactions().clear();
        account->DeletedTransactions().clear();
        rc = ImportChanged(m, *account, identifier);
    }
    return rc != 0 ? rc : TableEnd(m);
}

}  // namespace

int MergeTransactions(MergeContext& m) {
    AccountRows rows;
    int rc = LoadAccountRows(m, rows);
    if (rc != 0)
        return rc;
    switch (m.mode) {
        case MergeMode::kTwoWay:
            return TwoWay(m, rows);
        case MergeMode::kDesktopOverwrites:
            return DesktopOverwrites(m, rows);
        case MergeMode::kHandheldOverwrites:
            return HandheldOverwrites(m, rows);
    }
    return TwoWay(m, rows);
}

}  // namespace tallowmere::handheld
