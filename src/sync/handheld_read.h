#pragma once
// Reading the handheld's rows into desktop records: look-ups between a row's
// identifier and a record id, bulk readers that turn every row the handheld
// changed into a new desktop record, and single-row readers that overwrite
// one desktop record with its row.
//
// Every operation returns a SQLite result code: 0 after a complete read
// (also when nothing was found), otherwise the code of the failing statement,
// kSchemaMismatch for a result with fewer columns than the table has, or -1
// without library or connection. Nothing throws, nothing is shown. The rows
// are untrusted: NULLs read as empty values, a uid that is not 8 bytes is no
// id, identifiers outside 1..INT_MAX are none, and integers are clamped into
// their fields.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/account.h"
#include "model/category.h"
#include "model/class_item.h"
#include "model/currency.h"
#include "model/payee.h"
#include "model/payee_lookup.h"
#include "model/record_id.h"
#include "model/scheduled.h"
#include "model/transaction.h"
#include "model/transaction_type.h"
#include "sync/handheld_db.h"

namespace tallowmere {
class CSQLiteDBWrapper;
}

namespace tallowmere::handheld {

using AccountArray = std::vector<std::unique_ptr<CAccount>>;

// Look-ups. The zero id never matches a row. Where rows share a uid the
// first row (table order) counts.
int FindIdentifierByUid(CSQLiteDBWrapper& db, const RecordId& id, Table table, int& identifier);
// The row's uid; the zero id for no row, a NULL uid or one of another size.
int FindUidByIdentifier(CSQLiteDBWrapper& db, int identifier, Table table, RecordId& id);
// The name of the row with that uid, as model text; empty when none.
int FindNameByUid(CSQLiteDBWrapper& db, const RecordId& id, Table table, std::string& name);
// The identifier of the last row with that name (compared as the text it
// is, bound, never written into the statement); 0 when none.
int FindIdentifierByName(CSQLiteDBWrapper& db, std::string_view name, Table table, int& identifier);
// The category_id of the account's row.
int FindAccountCategoryIdentifier(CSQLiteDBWrapper& db, const RecordId& accountId, int& identifier);
// The largest identifier; 0 for an empty table.
int GetMaxIdentifier(CSQLiteDBWrapper& db, Table table, int& identifier);

struct RowFlags {
    bool found = false;
    bool modified = false;
    bool deleted = false;
    int identifier = 0;
};
int GetRowFlags(CSQLiteDBWrapper& db, const RecordId& id, Table table, RowFlags& flags);
int GetCurrencyRowFlags(CSQLiteDBWrapper& db, CurrencyId currency, RowFlags& flags);

// The value of the first SETTINGS row whose name is like name; empty when
// none.
int GetSetting(CSQLiteDBWrapper& db, std::string_view name, std::string& value);

struct DeviceSettings {
    // Model text, like every other name.
    std::string device_name;
    // The value's bytes as stored, never converted: at most 255 of them.
    std::string device_serial;
    // The value's bytes as stored up to the first NUL, at most 40.
    std::string password_crib;
};
int ReadDeviceSettings(CSQLiteDBWrapper& db, DeviceSettings& settings);

// Bulk readers: the rows with modified = 1 and deleted = 0 become new
// records of the caller's list. A row without a usable uid (NULL, the zero
// id, or one that the list already holds) gets a new record id, which is
// written back into the row so both sides keep the same id.
int ReadChangedAccounts(CSQLiteDBWrapper& db, std::uint32_t dateOffset, AccountArray& accounts);
// Rows named "[...]" stand for accounts and are not read. The list is put
// back in tree order afterwards (which saves it); parents that would make a
// cycle become none.
int ReadChangedCategories(CSQLiteDBWrapper& db, CCategoryList& list);
int ReadChangedClasses(CSQLiteDBWrapper& db, CClassList& list);
// Added unless a live currency has the symbol. The row of the handheld's
// home currency makes that currency the list's home.
int ReadChangedCurrencies(CSQLiteDBWrapper& db, CCurrencyList& list);
int ReadChangedPayees(CSQLiteDBWrapper& db, CPayeesList& list);
int ReadChangedPayeeLookups(CSQLiteDBWrapper& db, CPayeeLookupList& list);
// New items get enter mode 0.
int ReadChangedScheduled(CSQLiteDBWrapper& db, std::uint32_t dateOffset, CScheduledList& list);
int ReadChangedTransactionTypes(CSQLiteDBWrapper& db, CTransactionTypesList& list);
// The register rows (kind 0) of the account row accountIdentifier.
int ReadChangedTransactions(CSQLiteDBWrapper& db, std::uint32_t dateOffset,
                            TransactionArray& transactions, int accountIdentifier);

// Single-row readers: the row with the record's id (found by uid) replaces
// the record's fields; no row leaves the record unchanged.
// The header's change bits of the fields read are cleared; the others stay.
int ReadAccountRow(CSQLiteDBWrapper& db, std::uint32_t dateOffset, CAccount& account);
// A category that the row would make its own ancestor keeps no parent.
int ReadCategoryRow(CSQLiteDBWrapper& db, CCategoryItem& category, const CCategoryList* list);
int ReadClassRow(CSQLiteDBWrapper& db, CClassItem& item);
// By currency id: the rate only.
int ReadCurrencyRow(CSQLiteDBWrapper& db, CCurrencyItem& currency);
int ReadPayeeRow(CSQLiteDBWrapper& db, CPayeeItem& payee);
int ReadPayeeLookupRow(CSQLiteDBWrapper& db, CPayeeLookupItem& item);
// The item keeps its enter mode (the handheld's is not read).
int ReadScheduledRow(CSQLiteDBWrapper& db, std::uint32_t dateOffset, CScheduledItem& item);
int ReadTransactionRow(CSQLiteDBWrapper& db, std::uint32_t dateOffset, CTransaction& t);
// By the identifier the caller found (a built-in type may sit under an id
// with another flag bit).
int ReadTransactionTypeRow(CSQLiteDBWrapper& db, int identifier, CTransactionType& type);

// The live SPLITS rows of a transaction row fill t's ten split lines in the
// order returned (further rows are ignored); the other lines are cleared.
// found tells whether there was at least one.
int ReadSplits(CSQLiteDBWrapper& db, int transactionIdentifier, CTransaction& t, bool& found);

}  // namespace tallowmere::handheld
