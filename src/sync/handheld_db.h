#pragma once
// The handheld app's database "Tallowmere.wqdb": the tables and column
// positions the desktop reads and writes, and the statement texts. The
// handheld owns the schema; the desktop never creates it, it only checks that
// a received file has it before trusting any row.
#include <cstdint>
#include <string_view>

namespace tallowmere {
class CSQLiteDBWrapper;
}

namespace tallowmere::handheld {

inline constexpr char kDatabaseFileName[] = "Tallowmere.wqdb";

enum class Table {
    kAccounts,
    kCategories,
    kClasses,
    kCurrencies,
    kPayees,
    kPayeeLookupItems,
    kScheduledTransactions,
    kTransactionTypes,
    kTransactions,
    kSplits,
    kSettings,
};
inline constexpr int kTableCount = 11;

// "ACCOUNTS", ... as the fixed statements spell them.
const char* UpperTableName(Table table);
// "Accounts", "Payee_Lookup_Items", ... as substituted for "%s"; "SETTINGS"
// has only the one form.
const char* TableName(Table table);

// Column positions. Every read of whole rows selects all columns and every
// insert gives one value per column, so positions are the contract.
namespace accounts {
enum : int {
    kIdentifier = 0,
    kUid = 1,
    kName = 2,
    kType = 4,
    kBankName = 6,
    kAccountNumber = 8,
    kNextCheckNumber = 10,  // decimal text on write, integer on read
    kOpeningBalance = 12,
    kIconIndex = 14,
    kIncludeInTotals = 16,
    kOnlineEnabled = 18,
    kLastStatementBalance = 20,
    kLastStatementDate = 22,
    kReconcileOpeningBalance = 24,
    kReconcileEndingBalance = 26,
    kReconcileDate = 28,
    kOnlineBlock = 30,  // 80 header bytes from the online customer id on
    kInstitutionId = 32,
    kRoutingNumber = 34,
    kOnlineAccountId = 36,
    kCurrencyId = 38,
    kCategoryId = 40,  // the "[name]" category of the account
    kOnlineBalance = 44,
    kColumnCount = 46,
};
// Each value column from kName to kCurrencyId is followed by its change flag.
struct ChangeFlag {
    int value_column;
    int flag_column;
    std::uint32_t header_change_bit;
};
inline constexpr ChangeFlag kChangeFlags[] = {
    {2, 3, 0x1},      {4, 5, 0x2},       {6, 7, 0x10},       {8, 9, 0x8},       {10, 11, 0x20},
    {12, 13, 0x4},    {14, 15, 0x40},    {16, 17, 0x100000}, {18, 19, 0x80},    {20, 21, 0x4000},
    {22, 23, 0x8000}, {24, 25, 0x10000}, {26, 27, 0x20000},  {28, 29, 0x40000}, {30, 31, 0x200},
    {32, 33, 0x800},  {34, 35, 0x1000},  {36, 37, 0x2000},   {38, 39, 0x80000},
};
inline constexpr int kNameChars = 25;
inline constexpr int kBankNameChars = 32;
inline constexpr int kAccountNumberChars = 20;
inline constexpr int kRoutingNumberChars = 9;
inline constexpr int kOnlineAccountIdChars = 64;
inline constexpr int kOnlineBlockBytes = 80;
}  // namespace accounts

namespace categories {
enum : int {
    kIdentifier = 0,
    kUid = 1,
    kName = 2,  // "[" name "]": the handheld's stand-in for an account
    kParentLastByte = 3,
    kFixedCode = 4,
    kIconIndex = 5,
    kBudget = 6,
    kDeletedBit = 8,  // the record's attribute 0x80
    kParentIdentifier = 10,
    kColumnCount = 11,
};
}  // namespace categories

namespace classes {
enum : int { kIdentifier = 0, kUid = 1, kName = 2, kFixedCode = 3, kAmount = 4, kColumnCount = 8 };
}

namespace currencies {
// Read and updated only; columns 0 and 4 are not used.
enum : int { kSymbol = 1, kCurrencyId = 2, kConversion = 3, kHomeChanged = 5, kMinColumns = 6 };
inline constexpr int kSymbolChars = 4;
}  // namespace currencies

namespace payees {
enum : int {
    kIdentifier = 0,
    kUid = 1,
    kName = 2,
    kBudget = 3,
    kTemplateIdentifier = 5,  // a TRANSACTIONS row of kind 2
    kColumnCount = 8,
};
}

namespace payee_lookups {
enum : int { kIdentifier = 0, kUid = 1, kName = 2, kPayeeName = 3, kColumnCount = 7 };
}

namespace scheduled {
enum : int {
    kIdentifier = 0,
    kUid = 1,  // the record id of the item's transaction
    kTemplateDate = 3,
    kNextDueDate = 4,
    kFrequency = 5,
    kRepeatCount = 6,  // 65535: indefinitely
    kEnterMode = 7,
    kDays = 8,
    kTemplateIdentifier = 9,  // a TRANSACTIONS row of kind 1
    kColumnCount = 12,
};
inline constexpr int kRepeatIndefinitely = 65535;
}  // namespace scheduled

namespace transaction_types {
enum : int {
    kIdentifier = 0,
    kUid = 1,  // byte 6 carries the type flags
    kName = 2,
    kOutflow = 3,
    kNumbered = 4,
    kBuiltIn = 5,  // identifier 7 or less
    kColumnCount = 10,
};
inline constexpr int kLastBuiltInIdentifier = 7;
}  // namespace transaction_types

namespace transactions {
enum : int {
    kIdentifier = 0,
    kUid = 1,
    kAmount = 3,
    kMemo = 4,
    kPayeeName = 5,
    kDate = 6,
    kSpecific = 7,  // check number
    kPendingReconcile = 8,
    kStatus = 9,  // status bits 6-7 as 0-3
    kBaseAmount = 10,
    kAccepted = 11,
    kKind = 12,
    kSplitTransfer = 13,
    kSplitTransferIndex = 14,
    kTransferUid = 15,
    kFitId = 16,
    kPayeeLookupItemUid = 17,
    kMatchUid = 18,
    kTransactionClassId = 19,
    kCategoryId = 20,
    kOriginalCurrencyId = 21,
    kTypeId = 22,
    kModified = 23,
    kDeleted = 24,
    kAccountId = 25,
    kColumnCount = 26,
};
// kind: a register transaction, the template of a scheduled item, the
// memorised transaction of a payee.
inline constexpr int kKindRegister = 0;
inline constexpr int kKindScheduledTemplate = 1;
inline constexpr int kKindPayeeTemplate = 2;
inline constexpr int kNameChars = 32;
inline constexpr int kMemoChars = 160;
inline constexpr int kFitIdChars = 255;
}  // namespace transactions

namespace splits {
enum : int {
    kIdentifier = 0,
    kAmount = 1,
    kMemo = 2,
    kLineIndex = 3,
    kTransferUid = 4,
    kClassId = 5,
    kCategoryId = 6,
    kDeleted = 7,
    kTransactionId = 9,
    kColumnCount = 10,
};
inline constexpr int kMaxLines = 10;
}  // namespace splits

// SETTINGS keys the desktop reads.
inline constexpr char kSettingDeviceName[] = "HHDeviceName";
inline constexpr char kSettingDeviceSerial[] = "HHDeviceUniqueSerial";
inline constexpr char kSettingPasswordCrib[] = "PasswordCribName";
inline constexpr char kSettingBaseCurrency[] = "baseCurrencyIdPlain";

// Statement texts. "%s" takes a table name (TableName), "%d" an identifier;
// the texts go through CSQLiteDBWrapper::MPrintf. "?" are bound parameters.
namespace sql {
// Rows changed on the handheld.
inline constexpr char kChangedAccounts[] =
    "SELECT * FROM ACCOUNTS where modified = 1 AND deleted = 0;";
inline constexpr char kChangedCategories[] =
    "SELECT * FROM CATEGORIES where modified = 1 AND deleted = 0;";
inline constexpr char kChangedClasses[] =
    "SELECT * FROM CLASSES  where modified = 1 AND deleted = 0;";
inline constexpr char kChangedCurrencies[] =
    "SELECT * FROM CURRENCIES  where modified = 1 AND deleted = 0;";
inline constexpr char kChangedPayees[] =
    "SELECT * FROM PAYEES  where modified = 1 AND deleted = 0;";
inline constexpr char kChangedPayeeLookups[] =
    "SELECT * FROM PAYEE_LOOKUP_ITEMS  where modified = 1 AND deleted = 0;";
inline constexpr char kChangedScheduled[] =
    "SELECT * FROM SCHEDULED_TRANSACTIONS  where modified = 1 AND deleted = 0;";
inline constexpr char kChangedTransactionTypes[] =
    "SELECT * FROM TRANSACTION_TYPES  where modified = 1 AND deleted = 0;";
inline constexpr char kChangedTransactionsOfAccount[] =
    "SELECT * FROM TRANSACTIONS where account_id = %d AND kind = 0 AND modified = 1 and deleted = "
    "0;";

// One row.
inline constexpr char kAccountRow[] = "SELECT * FROM ACCOUNTS where identifier = %d;";
inline constexpr char kCategoryRow[] = "SELECT * FROM CATEGORIES where identifier = %d;";
inline constexpr char kClassRow[] = "SELECT * FROM CLASSES   where identifier = %d;";
inline constexpr char kCurrencyRow[] = "SELECT * FROM CURRENCIES where currency_id = %d;";
inline constexpr char kPayeeRow[] = "SELECT * FROM PAYEES where identifier = %d;";
inline constexpr char kPayeeLookupRow[] = "SELECT * FROM PAYEE_LOOKUP_ITEMS where identifier = %d;";
inline constexpr char kScheduledRow[] =
    "SELECT * FROM SCHEDULED_TRANSACTIONS  where identifier = %d;";
inline constexpr char kTransactionTypeRow[] =
    "SELECT * FROM TRANSACTION_TYPES  where identifier = %d;";
inline constexpr char kTransactionRow[] = "SELECT * FROM TRANSACTIONS where Identifier = %d;";
inline constexpr char kTransactionRowQuoted[] =
    "SELECT * FROM TRANSACTIONS where identifier = '%d';";
inline constexpr char kTransactionSummaryRow[] =
    "SELECT account_id, type_id, amount, category_id, transaction_class_id, payee_name  FROM "
    "TRANSACTIONS where identifier = %d;";
inline constexpr char kSplitsOfTransaction[] = "SELECT * FROM SPLITS where transaction_id = %d ;";
inline constexpr char kSettingValue[] = "SELECT VALUE FROM SETTINGS where NAME LIKE '%s';";

// Look-ups. Names are bound, never written into the text, so a name holding
// a quote, or one that equals a column name, is compared as the text it is.
inline constexpr char kAllRowsSpaced[] = "SELECT * FROM %s ;";
inline constexpr char kAllRows[] = "SELECT * FROM %s;";
inline constexpr char kUidsAndNames[] = "SELECT uid, name FROM %s;";
inline constexpr char kIdentifierByName[] = "SELECT identifier FROM %s where name = ?;";
inline constexpr char kUidByIdentifier[] = "SELECT uid FROM %s where identifier = %d;";
inline constexpr char kAccountUidsAndCategories[] = "SELECT uid, category_id FROM Accounts;";
inline constexpr char kRowFlags[] = "SELECT uid, modified, deleted FROM %s ;";
inline constexpr char kCurrencyRowFlags[] =
    "SELECT modified, deleted FROM %s where currency_id = %d ;";
inline constexpr char kMaxIdentifier[] = "SELECT MAX(IDENTIFIER) FROM %s;";

// Inserts: one value per column.
inline constexpr char kInsertAccount[] =
    "INSERT INTO ACCOUNTS VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
    "?,?,?,?,?,?,?,?,?,?,?,?,?,?); ";
inline constexpr char kInsertCategory[] = "INSERT INTO CATEGORIES VALUES(?,?,?,?,?,?,?,?,?,?,?);";
inline constexpr char kInsertClass[] = "INSERT INTO CLASSES VALUES(?,?,?,?,?,?,?,?);";
inline constexpr char kInsertPayee[] = "INSERT INTO PAYEES VALUES(?,?,?,?,?,?,?,?);";
inline constexpr char kInsertPayeeLookup[] =
    "INSERT INTO PAYEE_LOOKUP_ITEMS VALUES(?,?,?,?,?,?,?);";
inline constexpr char kInsertScheduled[] =
    "INSERT INTO SCHEDULED_TRANSACTIONS VALUES(?,?,?,?,?,?,?,?,?,?,?,?);";
inline constexpr char kInsertTransactionType[] =
    "INSERT INTO TRANSACTION_TYPES VALUES(?,?,?,?,?,?,?,?,?,?);";
inline constexpr char kInsertTransaction[] =
    "INSERT INTO TRANSACTIONS VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?);";
inline constexpr char kInsertSplit[] = "INSERT INTO SPLITS VALUES(?,?,?,?,?,?,?,?,?,?);";

// Updates.
inline constexpr char kUpdateTransaction[] =
    "Update TRANSACTIONS set amount = ?, memo = ?, payee_name = ?, date = ?, specific = ?, "
    "pending_reconcile = ?,"
    "\t\t\t\t\t\t\t\t\t\t   "
    "status = ?, base_amount = ?, accepted = ?, split_transfer = ?, split_transfer_index = ?, "
    "transfer_uid = ?, fit_id = ?,"
    "\t\t\t\t\t\t\t\t\t\t   "
    "payee_lookup_item_uid = ?, match_uid = ?, transaction_class_id = ?, category_id = ?, "
    "original_currency_id = ?, "
    "\t\t\t\t\t\t\t\t\t\t   "
    "type_id = ?, deleted = 0, modified = 0, account_id = ? where identifier = %d;";
inline constexpr char kUpdateCurrencyRate[] =
    "update currencies set conversion = ?, modified = 0 where currency_id = ?";
inline constexpr char kUpdateSetting[] = "update settings set value = ? where name = ?";
inline constexpr char kClearModified[] = "update %s set modified = 0 where modified = 1";
inline constexpr char kClearModifiedRow[] = "update %s set modified = 0 where identifier = %d";
inline constexpr char kMarkAllModified[] = "update %s set modified = 1 where modified = 0";
inline constexpr char kMarkTransactionsWithChangedSplits[] =
    "Update transactions set modified = 1 "
    "\t\t\t\t\t\t   "
    "where identifier IN(Select transaction_id from Splits where modified = 1);";
inline constexpr char kClearModifiedSplits[] = "Update splits set modified = 0 where modified = 1";

// Deletes.
inline constexpr char kDeleteAllRows[] = "DELETE FROM %s;";
inline constexpr char kDeleteRegisterTransactions[] = "DELETE FROM Transactions where kind = 0;";
inline constexpr char kDeleteModifiedRows[] = "DELETE FROM %s where modified = 1;";
inline constexpr char kDeleteRow[] = "DELETE FROM %s where identifier  = %d;";
inline constexpr char kDeleteSplitsOfTransaction[] =
    "DELETE FROM SPLITS where transaction_id  = %d;";
inline constexpr char kPurgeDeletedRows[] = "delete from %s where deleted = 1";
// Split rows whose transaction is gone; left alone, an identifier reused for
// a new transaction would inherit them.
inline constexpr char kDeleteOrphanSplits[] =
    "DELETE FROM SPLITS where transaction_id NOT IN(SELECT identifier FROM TRANSACTIONS);";
}  // namespace sql

// The code CheckSchema gives for a file that is a database but not the
// handheld's: a missing table, a view or virtual table in its place, a
// column missing or out of place, a trigger anywhere.
inline constexpr int kSchemaMismatch = 11;  // SQLITE_CORRUPT

// Checks that the file has no trigger and that every table is an ordinary
// table with the column count and the named columns (at their positions)
// that the statements need. The sync session runs it before it reads
// anything else from a received file. 0 when
// the file can be trusted that far, kSchemaMismatch, or the code of the
// failing statement (SQLITE_NOTADB for a file that is no database, -1
// without library or connection). The values in the rows still come from
// the handheld: readers convert each one defensively.
int CheckSchema(CSQLiteDBWrapper& db);

}  // namespace tallowmere::handheld
