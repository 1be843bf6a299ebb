// The accounts pass: account rows against the data set's accounts, deleted
// accounts (their placeholders) passed on, new handheld accounts taken in.
#include <string>
#include <utility>
#include <vector>

#include "model/record_id.h"
#include "sync/handheld_pass_cache.h"
#include "sync/handheld_read.h"
#include "sync/handheld_statement.h"
#include "sync/handheld_values.h"
#include "sync/handheld_write.h"
#include "sync/merge_passes.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {

namespace {

// Register rows and templates of an account that is gone on both sides; an
// identifier used again must not find them.
constexpr char kDeleteAccountTransactions[] =
    "DELETE FROM TRANSACTIONS where account_id = %d AND kind IN(0, 1);";

std::vector<CAccount*> Snapshot(const CAccounts& data) {
    std::vector<CAccount*> accounts;
    for (std::size_t i = 0; i < data.GetAccountCount(); ++i)
        accounts.push_back(data.GetAccountAt(i));
    return accounts;
}

void Drop(CAccounts& data, CAccount& account) {
    data.TakeAccount(&account);
}

// The account's "[name]" category row, made when the handheld has none, so
// transfers to the account have a category to name.
int EnsureAccountCategory(CSQLiteDBWrapper& db, const std::string& accountName) {
    const std::string name = AccountCategoryName(accountName);
    int row = 0;
    int rc = FindIdentifierByName(db, name, Table::kCategories, row);
    if (rc != 0 || row != 0)
        return rc;
    CCategoryItem category(name);
    category.SetId(NewRecordId());
    category.SetAttribute(0);
    return InsertCategory(db, category, 0);
}

int InsertWithCategory(MergeContext& m, CAccount& account, int identifier) {
    account.ClearChangeFlags();
    int rc = EnsureAccountCategory(m.db, account.Header().GetName());
    return rc != 0 ? rc : InsertAccount(m.db, m.dateOffset, account, identifier);
}

// The account is gone on both sides: its row, its register rows and
// templates with their split lines, and its "[name]" category row.
int DeleteAccountRows(MergeContext& m, const CAccount& account, int identifier) {
    int rc = m.db.ExecSql(FormatSql(kDeleteAccountTransactions, identifier).c_str());
    if (rc == 0)
        rc = m.db.ExecSql(sql::kDeleteOrphanSplits);
    ForgetPassRows(m.db, Table::kTransactions);
    ForgetPassRows(m.db, Table::kSplits);
    if (rc == 0)
        rc = DeleteRow(m.db, identifier, Table::kAccounts);
    int category = 0;
    if (rc == 0)
        rc = FindIdentifierByName(m.db, AccountCategoryName(account.Header().GetName()),
                                  Table::kCategories, category);
    if (rc == 0 && category != 0)
        rc = DeleteRow(m.db, category, Table::kCategories);
    return rc;
}

int ImportChangedAccounts(MergeContext& m) {
    AccountArray added;
    int rc = ReadChangedAccounts(m.db, m.dateOffset, added);
    if (rc != 0)
        return rc;
    for (auto& account : added) {
        // A row paired with a desktop account is never a new one.
        if (m.data.FindAccountById(account->Header().GetId()) != nullptr)
            continue;
        m.data.InsertAccount(std::move(account));
    }
    rc = ClearModified(m.db, Table::kAccounts, 0);
    if (rc == 0)
        rc = PurgeDeletedRows(m.db, Table::kAccounts);
    return rc;
}

int TwoWay(MergeContext& m) {
    for (CAccount* account : Snapshot(m.data)) {
        RowFlags h;
        int rc = GetRowFlags(m.db, account->Header().GetId(), Table::kAccounts, h);
        const bool placeholder = account->IsPlaceholderFile();
        if (rc == 0 && !h.found) {
            // A deletion the handheld never knew of needs no passing on.
            if (placeholder)
                Drop(m.data, *account);
            else
                rc = InsertWithCategory(m, *account, 0);
        } else if (rc == 0 && (h.deleted || placeholder)) {
            rc = DeleteAccountRows(m, *account, h.identifier);
            Drop(m.data, *account);
        } else if (rc == 0 && h.modified) {
            rc = ClearModified(m.db, Table::kAccounts, h.identifier);
            if (rc == 0)
                rc = ReadAccountRow(m.db, m.dateOffset, *account);
            account->ClearChangeFlags();
        } else if (rc == 0 && account->IsModified()) {
            account->ClearChangeFlags();
            rc = ReplaceAccount(m.db, m.dateOffset, *account);
        }
        if (rc != 0)
            return rc;
    }
    return ImportChangedAccounts(m);
}

int DesktopOverwrites(MergeContext& m) {
    // Each account goes back under its own row number, so templates and
    // scheduled rows that name it keep naming it.
    std::vector<std::pair<CAccount*, int>> rows;
    for (CAccount* account : Snapshot(m.data)) {
        int identifier = 0;
        int rc = FindIdentifierByUid(m.db, account->Header().GetId(), Table::kAccounts, identifier);
        if (rc != 0)
            return rc;
        rows.emplace_back(account, identifier);
    }
    int rc = DeleteAllRows(m.db, Table::kAccounts);
    // Accounts new to the handheld come last, so the row numbers they take
    // are none that a known account comes back under.
    for (bool known : {true, false}) {
        for (auto [account, identifier] : rows) {
            if (rc != 0)
                return rc;
            if ((identifier != 0) != known)
                continue;
            if (account->IsPlaceholderFile())
                Drop(m.data, *account);
            else
                rc = InsertWithCategory(m, *account, identifier);
        }
    }
    if (rc == 0)
        rc = DeleteModifiedRows(m.db, Table::kAccounts);
    if (rc == 0)
        rc = ClearModified(m.db, Table::kAccounts, 0);
    if (rc == 0)
        rc = PurgeDeletedRows(m.db, Table::kAccounts);
    return rc;
}

int HandheldOverwrites(MergeContext& m) {
    for (CAccount* account : Snapshot(m.data)) {
        RowFlags h;
        int rc = GetRowFlags(m.db, account->Header().GetId(), Table::kAccounts, h);
        const bool placeholder = account->IsPlaceholderFile();
        if (rc == 0 && (!h.found || h.deleted)) {
            Drop(m.data, *account);
        } else if (rc == 0 && (h.modified || account->IsModified() || placeholder)) {
            rc = ReadAccountRow(m.db, m.dateOffset, *account);
            if (rc == 0)
                rc = ClearModified(m.db, Table::kAccounts, h.identifier);
            // The handheld still has it, so it lives again under its name.
            if (placeholder)
                account->SetPath(std::string());
        }
        if (rc != 0)
            return rc;
    }
    return ImportChangedAccounts(m);
}

}  // namespace

int MergeAccounts(MergeContext& m) {
    switch (m.mode) {
        case MergeMode::kTwoWay:
            return TwoWay(m);
        case MergeMode::kDesktopOverwrites:
            return DesktopOverwrites(m);
        case MergeMode::kHandheldOverwrites:
            return HandheldOverwrites(m);
    }
    return TwoWay(m);
}

}  // namespace tallowmere::handheld
