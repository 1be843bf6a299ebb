#pragma once
// Writing desktop records into the handheld's database after a merge: one
// insert per table, a replace per table (the row deleted and inserted again
// under the same identifier), the update of a transaction row in place, the
// currency rate and settings updates, and the bulk statements that reset
// flags or delete rows.
//
// Every operation returns a SQLite result code: 0 on success, the code of
// the failing prepare, bind or step, or -1 without library or connection. A
// replace returns the OR of its steps. Errors go to the sync trace only.
// Identifier 0 asks for a new row number, MAX(identifier) + 1.
#include <cstdint>
#include <string_view>

#include "model/account.h"
#include "model/category.h"
#include "model/class_item.h"
#include "model/currency.h"
#include "model/payee.h"
#include "model/payee_lookup.h"
#include "model/scheduled.h"
#include "model/transaction.h"
#include "model/transaction_type.h"
#include "sync/handheld_db.h"

namespace tallowmere {
class CSQLiteDBWrapper;
}

namespace tallowmere::handheld {

// Column 40 refers to the account's "[name]" category row.
int InsertAccount(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CAccount& account,
                  int identifier);
int InsertCategory(CSQLiteDBWrapper& db, const CCategoryItem& category, int identifier);
int InsertClass(CSQLiteDBWrapper& db, const CClassItem& item, int identifier);
// Also inserts the payee's memorised transaction (kind 2).
int InsertPayee(CSQLiteDBWrapper& db, const CPayeeItem& payee, int identifier);
int InsertPayeeLookup(CSQLiteDBWrapper& db, const CPayeeLookupItem& item, int identifier);
// Also inserts the item's template transaction (kind 1), which carries the
// split lines.
int InsertScheduled(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CScheduledItem& item,
                    int identifier);
int InsertTransactionType(CSQLiteDBWrapper& db, const CTransactionType& type, int identifier);
// A register transaction (kind 0) of the account row accountIdentifier. Split
// rows left under the identifier are removed first; a split transaction
// writes its lines before its own row.
int InsertTransaction(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CTransaction& t,
                      int accountIdentifier, int identifier);
// Always under a new identifier, given back in *identifier when asked.
int InsertTemplateTransaction(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CTransaction& t,
                              int accountIdentifier, int kind, int* identifier = nullptr);
// Replaces the transaction's split rows with its lines, up to the first
// empty line (no category, no class, amount 0).
int InsertSplits(CSQLiteDBWrapper& db, const CTransaction& t, int transactionIdentifier);

// The row with the transaction's uid, split rows included (an un-split
// transaction loses them). SQLITE_NOTFOUND when there is no such row:
// nothing is written then.
int UpdateTransaction(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CTransaction& t,
                      int accountIdentifier);
int UpdateCurrencyRate(CSQLiteDBWrapper& db, const CCurrencyItem& currency);
int SetSetting(CSQLiteDBWrapper& db, std::string_view name, std::string_view value);

// Delete and insert under the row's identifier (a new one when there is no
// row). A payee's and a scheduled item's old template transaction goes too.
int ReplaceCategory(CSQLiteDBWrapper& db, const CCategoryItem& category);
int ReplaceClass(CSQLiteDBWrapper& db, const CClassItem& item);
int ReplacePayee(CSQLiteDBWrapper& db, const CPayeeItem& payee);
int ReplacePayeeLookup(CSQLiteDBWrapper& db, const CPayeeLookupItem& item);
int ReplaceScheduled(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CScheduledItem& item);
int ReplaceTransactionType(CSQLiteDBWrapper& db, const CTransactionType& type);
// Also renames the account's "[name]" category row in place, so a rename
// never leaves a second one.
int ReplaceAccount(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CAccount& account);
int ReplaceCurrency(CSQLiteDBWrapper& db, const CCurrencyItem& currency);

// identifier 0: every modified row.
int ClearModified(CSQLiteDBWrapper& db, Table table, int identifier);
int MarkAllModified(CSQLiteDBWrapper& db, Table table);
// Also drops the split rows whose transaction is gone.
int PurgeDeletedRows(CSQLiteDBWrapper& db, Table table);
int DeleteAllRows(CSQLiteDBWrapper& db, Table table);
int DeleteRegisterTransactions(CSQLiteDBWrapper& db);
int DeleteModifiedRows(CSQLiteDBWrapper& db, Table table);
// Deleting a transaction row removes its split rows with it.
int DeleteRow(CSQLiteDBWrapper& db, int identifier, Table table);
int DeleteSplits(CSQLiteDBWrapper& db, int transactionIdentifier);

}  // namespace tallowmere::handheld
