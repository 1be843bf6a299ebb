#include "sync/handheld_read.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <utility>

#include "model/preferences.h"
#include "sync/handheld_pass_cache.h"
#include "sync/handheld_statement.h"
#include "sync/handheld_values.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {

namespace {

constexpr char kIdentifierByUid[] = "SELECT identifier FROM %s WHERE uid = ?1 LIMIT 1;";
constexpr char kNameByUid[] = "SELECT name FROM %s WHERE uid = ?1 LIMIT 1;";
constexpr char kAccountCategoryByUid[] = "SELECT category_id FROM Accounts WHERE uid = ?1 LIMIT 1;";
constexpr char kFlagsByUid[] =
    "SELECT modified, deleted, identifier FROM %s WHERE uid = ?1 LIMIT 1;";
constexpr char kUidAndNameByIdentifier[] = "SELECT uid, name FROM %s WHERE identifier = %d;";
constexpr char kSettingLike[] = "SELECT VALUE FROM SETTINGS where NAME LIKE ?1;";
constexpr char kSetUid[] = "UPDATE %s SET uid = ?1 WHERE identifier = %d;";
// The same statements by row number, where the pass knows the table's rows.
constexpr char kColumnsByRowNumber[] = "SELECT %s FROM %s WHERE %s = ?1;";
constexpr char kSetUidByRowNumber[] = "UPDATE %s SET uid = ?2 WHERE %s = ?1;";

// Names read back for look-ups; longer than any record's name field.
constexpr std::size_t kLookupNameChars = 255;
// A category chain longer than this cannot be a tree of the desktop's.
constexpr int kMaxCategoryDepth = 64;

std::string SelectOne(const char* format, Table table) {
    return FormatSql(format, TableName(table));
}

// Runs a look-up bound to the uid; found tells whether a row came.
int StepByUid(Statement& s, const char* format, Table table, const RecordId& id, bool& found) {
    found = false;
    int rc = s.PrepareKept(SelectOne(format, table));
    if (rc != SQLITE_OK)
        return rc;
    BindUid(s.db(), s.get(), 1, id);
    rc = s.Step();
    if (rc == SQLITE_ROW) {
        found = true;
        return SQLITE_OK;
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// The row of a single-row reader; found false leaves the record alone.
int PrepareRow(Statement& s, const std::string& sql, int columns, bool& found) {
    found = false;
    int rc = s.Prepare(sql, columns);
    if (rc != SQLITE_OK)
        return rc;
    rc = s.Step();
    found = rc == SQLITE_ROW;
    return found || rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// Whether byIdentifierSql compares the identifier with a quoted number.
enum class Quoted { kNo, kYes };

// The row with the identifier: by its row number where the pass knows the
// table's rows, else by byIdentifierSql.
int RowByIdentifier(Statement& s, Table table, const char* columns,
                    const std::string& byIdentifierSql, int identifier, int minColumns, bool& found,
                    Quoted quoted = Quoted::kNo) {
    const TableRows* rows = PassRows(s.db(), table);
    if (rows == nullptr || (quoted == Quoted::kYes && !rows->NumericIdentifier()))
        return PrepareRow(s, byIdentifierSql, minColumns, found);
    found = false;
    const PassRow* row = rows->WithIdentifier(identifier);
    if (row == nullptr)
        return SQLITE_OK;
    return StepRowNumber(
        s, FormatSql(kColumnsByRowNumber, columns, TableName(table), rows->RowidName().c_str()),
        row->rowid, minColumns, found);
}

int ClampedInt(Statement& s, int column, int low, int high) {
    return static_cast<int>(ColumnClamped(s, column, low, high));
}

// Record reference: the uid of the referenced row, the zero id for none.
RecordId Reference(CSQLiteDBWrapper& db, int identifier, Table table) {
    RecordId id;
    if (identifier != 0)
        FindUidByIdentifier(db, identifier, table, id);
    return id;
}

// A category reference: a "[name]" row stands for a transfer to the account
// of that name, so the account's id takes the category's place.
RecordId CategoryReference(CSQLiteDBWrapper& db, int identifier) {
    if (identifier == 0)
        return kNoneId;
    Statement s(db);
    bool found = false;
    if (RowByIdentifier(
            s, Table::kCategories, "uid, name",
            FormatSql(kUidAndNameByIdentifier, TableName(Table::kCategories), identifier),
            identifier, 2, found) != SQLITE_OK ||
        !found)
        return kNoneId;
    RecordId id = ColumnUid(db, s.get(), 0);
    std::string name = ColumnModelText(db, s.get(), 1, kLookupNameChars);
    s.Finalize();
    if (!IsAccountCategoryName(name))
        return id;
    std::string account = AccountNameOfCategory(name);
    if (account.empty())
        return kNoneId;
    int row = 0;
    if (FindIdentifierByName(db, account, Table::kAccounts, row) != SQLITE_OK || row == 0)
        return kNoneId;
    return Reference(db, row, Table::kAccounts);
}

// Row ids that need a new uid, written once the row loop has ended.
class UidRepairs {
  public:
    explicit UidRepairs(Table table) : table_(table) {}
    // The row's uid, or a new id when it has none usable or repeats one
    // already taken.
    RecordId Take(Statement& s, int uidColumn, bool taken) {
        RecordId id = ColumnUid(s.db(), s.get(), uidColumn);
        if (IsMatchableUid(id) && !taken && seen_.insert(Key(id)).second)
            return id;
        RecordId fresh = NewRecordId();
        seen_.insert(Key(fresh));
        int identifier = s.Identifier(0);
        if (identifier != 0)
            pending_.emplace_back(identifier, fresh);
        return fresh;
    }
    // An id the caller's records already hold.
    void Note(const RecordId& id) { seen_.insert(Key(id)); }
    int Write(CSQLiteDBWrapper& db) {
        int result = SQLITE_OK;
        for (const auto& [identifier, id] : pending_) {
            int rc = WriteOne(db, identifier, id);
            if (result == SQLITE_OK)
                result = rc;
        }
        pending_.clear();
        return result;
    }

  private:
    int WriteOne(CSQLiteDBWrapper& db, int identifier, const RecordId& id) {
        Statement s(db);
        TableRows* rows = PassRows(db, table_);
        std::int64_t rowid = 0;
        int rc;
        if (rows != nullptr) {
            const PassRow* row = rows->WithIdentifier(identifier);
            if (row == nullptr)
                return SQLITE_OK;
            rowid = row->rowid;
            rc = s.PrepareKept(
                FormatSql(kSetUidByRowNumber, TableName(table_), rows->RowidName().c_str()));
            if (rc == SQLITE_OK)
                db.BindInt64(s.get(), 1, rowid);
        } else {
            rc = s.Prepare(FormatSql(kSetUid, TableName(table_), identifier));
        }
        if (rc != SQLITE_OK)
            return rc;
        BindUid(db, s.get(), rows != nullptr ? 2 : 1, id);
        rc = s.Step();
        if (IsStepError(rc))
            Trace("%s\n\r", db.ErrMsg() ? db.ErrMsg() : "");
        rc = s.Finalize();
        // The first row of the new uid may be another now.
        if (rows != nullptr && rc == SQLITE_OK)
            rows->SetUid(rowid, id);
        else if (rows != nullptr)
            ForgetPassRows(db, table_);
        return rc;
    }

    static std::uint64_t Key(const RecordId& id) {
        std::uint64_t k = 0;
        for (std::uint8_t b : id.bytes)
            k = (k << 8) | b;
        return k;
    }
    Table table_;
    std::set<std::uint64_t> seen_;
    std::vector<std::pair<int, RecordId>> pending_;
};

// Steps through the rows, converting each; the last code, 0 after the end.
template <class F>
int EachRow(Statement& s, F&& convert) {
    for (;;) {
        int rc = s.Step();
        if (rc == SQLITE_DONE)
            return SQLITE_OK;
        if (rc != SQLITE_ROW)
            return rc;
        convert();
    }
}

int RowIdentifierOf(CSQLiteDBWrapper& db, const RecordId& id, Table table, int& identifier) {
    identifier = 0;
    return FindIdentifierByUid(db, id, table, identifier);
}

// --- Transactions -------------------------------------------------------

// Lines the record held before its row was read are gone when the row has
// none.
void ClearSplitLines(CTransaction& t) {
    for (std::size_t line = 0; line < kSplitLineCount; ++line)
        t.ClearSplitLine(line);
}

// The columns every transaction reader takes; bits 1-5 of the status stay.
void FillTransaction(Statement& s, std::uint32_t offset, CTransaction& t) {
    namespace c = transactions;
    CSQLiteDBWrapper& db = s.db();
    sqlite3_stmt* st = s.get();
    t.SetAmount(ColumnCents(db, st, c::kAmount));
    t.SetMemo(ColumnModelText(db, st, c::kMemo, c::kMemoChars));
    t.SetPayeeName(ColumnModelText(db, st, c::kPayeeName, c::kNameChars));
    t.SetDate(ColumnDate(db, st, c::kDate, offset));
    t.SetCheckNumber(static_cast<std::uint32_t>(ColumnClamped(s, c::kSpecific, 0, UINT32_MAX)));
    // Setting the status drops the reconcile mark: pending_reconcile is the
    // handheld's own.
    t.SetStatus(static_cast<std::uint8_t>(StatusFromHandheld(s.Int64(c::kStatus)) |
                                          (t.GetStatus() & 0x3E)));
    t.SetBaseAmount(ColumnCents(db, st, c::kBaseAmount));
    t.SetReviewState(static_cast<std::uint8_t>(ColumnClamped(s, c::kAccepted, 0, 255)));

    RecordId linked = ColumnUid(db, st, c::kTransferUid);
    t.SetLinkedId(linked);
    t.SetOnlineId(ColumnModelText(db, st, c::kFitId, c::kFitIdChars));
    t.SetPayeeLookupId(ColumnUid(db, st, c::kPayeeLookupItemUid));
    t.SetMatchId(ColumnUid(db, st, c::kMatchUid));
    t.SetClassId(Reference(db, s.Identifier(c::kTransactionClassId), Table::kClasses));

    bool split = false;
    int identifier = s.Identifier(c::kIdentifier);
    if (identifier != 0)
        ReadSplits(db, identifier, t, split);
    if (split) {
        t.SetCategoryId(SplitMarkerId);
    } else {
        ClearSplitLines(t);
        t.SetCategoryId(CategoryReference(db, s.Identifier(c::kCategoryId)));
    }
    // Only 0-9 address a split line; any other index is none.
    std::int64_t splitIndex = s.Int64(c::kSplitTransferIndex);
    if (s.Int64(c::kSplitTransfer) == 1 && splitIndex >= 0 &&
        splitIndex < static_cast<std::int64_t>(kSplitLineCount)) {
        t.SetSplitIndex(static_cast<std::uint8_t>(splitIndex));
        t.SetSplitLinkedId(static_cast<std::size_t>(splitIndex), linked);
    } else {
        t.SetSplitIndex(kNoSplitIndex);
    }
    t.SetSourceCurrency(
        static_cast<std::uint8_t>(ColumnClamped(s, c::kOriginalCurrencyId, 0, 255)));
    t.SetTypeId(Reference(db, s.Identifier(c::kTypeId), Table::kTransactionTypes));
    t.SetAttributes(0);
}

// --- Accounts -----------------------------------------------------------

// The value columns into the header; returns the change bits of the
// fields set.
std::uint32_t FillHeader(Statement& s, std::uint32_t offset, AccountHeader& h) {
    namespace c = accounts;
    CSQLiteDBWrapper& db = s.db();
    sqlite3_stmt* st = s.get();
    h.SetName(ColumnModelText(db, st, c::kName, c::kNameChars));
    h.SetType(static_cast<std::uint8_t>(ColumnClamped(s, c::kType, 0, kLineOfCredit)));
    h.SetBankName(ColumnModelText(db, st, c::kBankName, c::kBankNameChars));
    h.SetAccountNumber(ColumnModelText(db, st, c::kAccountNumber, c::kAccountNumberChars));
    h.SetLastCheckNumber(
        static_cast<std::uint32_t>(ColumnClamped(s, c::kNextCheckNumber, 0, UINT32_MAX)));
    h.SetOpeningBalance(ColumnCents(db, st, c::kOpeningBalance));
    h.SetIconIndex(static_cast<std::uint16_t>(ColumnClamped(s, c::kIconIndex, 0, UINT16_MAX)));
    h.SetIncludeInTotals(s.Int64(c::kIncludeInTotals) != 0);
    h.SetOnlineEnabled(s.Int64(c::kOnlineEnabled) != 0);
    h.SetLastReconcileBalance(ColumnCents(db, st, c::kLastStatementBalance));
    h.SetLastReconcileDate(ColumnDate(db, st, c::kLastStatementDate, offset));
    h.SetReconcileOpening(ColumnCents(db, st, c::kReconcileOpeningBalance));
    h.SetReconcileEnding(ColumnCents(db, st, c::kReconcileEndingBalance));
    h.SetReconcileDate(ColumnDate(db, st, c::kReconcileDate, offset));
    // The online block goes in as the header holds it, enciphered or not.
    ColumnBlobBytes(db, st, c::kOnlineBlock, h.MutableBytes().data() + kCipherOffset,
                    c::kOnlineBlockBytes);
    h.SetFiId(static_cast<std::uint32_t>(ColumnClamped(s, c::kInstitutionId, 0, UINT32_MAX)));
    h.SetRoutingNumber(ColumnModelText(db, st, c::kRoutingNumber, c::kRoutingNumberChars));
    h.SetDownloadEndDate(ColumnModelText(db, st, c::kOnlineAccountId, c::kOnlineAccountIdChars));
    h.SetCurrencyId(static_cast<std::uint8_t>(ColumnClamped(s, c::kCurrencyId, 0, 255)));
    // The block holds the online password too.
    std::uint32_t bits = kChangeOnlinePassword;
    for (const accounts::ChangeFlag& f : c::kChangeFlags)
        bits |= f.header_change_bit;
    return bits;
}

// --- Scheduled ----------------------------------------------------------

void FillScheduled(Statement& s, std::uint32_t offset, CScheduledItem& item) {
    namespace c = scheduled;
    CSQLiteDBWrapper& db = s.db();
    CTransaction& t = item.EditTemplate();
    t.SetDate(ColumnDate(db, s.get(), c::kTemplateDate, offset));
    item.SetNextDue(ColumnDate(db, s.get(), c::kNextDueDate, offset));
    item.SetFrequency(ClampedInt(s, c::kFrequency, 0, 255));
    item.SetRepeatCount(static_cast<std::uint16_t>(ColumnClamped(s, c::kRepeatCount, 0, 65535)));
    item.SetDaysInAdvance(static_cast<std::uint16_t>(ColumnClamped(s, c::kDays, 0, 65535)));

    int templateRow = s.Identifier(c::kTemplateIdentifier);
    Statement tr(db);
    bool found = false;
    if (templateRow != 0 &&
        RowByIdentifier(
            tr, Table::kTransactions,
            "account_id, type_id, amount, category_id, transaction_class_id, payee_name",
            FormatSql(sql::kTransactionSummaryRow, templateRow), templateRow, 6,
            found) != SQLITE_OK)
        return;
    if (!found) {
        // No template: none of what an earlier one gave stays.
        t.SetTypeId(kNoneId);
        t.SetPayeeName("");
        item.SetAccountId(kNoneId);
        t.SetAmount(0);
        t.SetClassId(kNoneId);
        t.SetCategoryId(kNoneId);
        ClearSplitLines(t);
        return;
    }
    // account_id, type_id, amount, category_id, transaction_class_id, payee_name
    int accountRow = tr.Identifier(0);
    int typeRow = tr.Identifier(1);
    Cents amount = ColumnCents(db, tr.get(), 2);
    int categoryRow = tr.Identifier(3);
    int classRow = tr.Identifier(4);
    std::string payee = ColumnModelText(db, tr.get(), 5, transactions::kNameChars);
    tr.Finalize();
    t.SetTypeId(Reference(db, typeRow, Table::kTransactionTypes));
    t.SetPayeeName(payee);
    item.SetAccountId(Reference(db, accountRow, Table::kAccounts));
    t.SetAmount(amount);
    t.SetClassId(Reference(db, classRow, Table::kClasses));
    bool split = false;
    ReadSplits(db, templateRow, t, split);
    if (!split)
        ClearSplitLines(t);
    t.SetCategoryId(split ? SplitMarkerId : CategoryReference(db, categoryRow));
}

// --- Payees -------------------------------------------------------------

void FillPayee(Statement& s, CPayeeItem& payee) {
    namespace c = payees;
    CSQLiteDBWrapper& db = s.db();
    std::string name = ColumnModelText(db, s.get(), c::kName, transactions::kNameChars);
    Cents budget = ColumnCents(db, s.get(), c::kBudget);
    int templateRow = s.Identifier(c::kTemplateIdentifier);

    // The memorised fields come from the payee's template transaction.
    CTransaction memo(CTransaction::ForLoad{});
    memo.SetPayeeName(name);
    if (templateRow != 0) {
        Statement tr(db);
        bool found = false;
        if (RowByIdentifier(tr, Table::kTransactions, "*",
                            FormatSql(sql::kTransactionRowQuoted, templateRow), templateRow,
                            transactions::kColumnCount, found, Quoted::kYes) == SQLITE_OK &&
            found) {
            namespace t = transactions;
            memo.SetAmount(ColumnCents(db, tr.get(), t::kAmount));
            memo.SetMemo(ColumnModelText(db, tr.get(), t::kMemo, t::kMemoChars));
            memo.SetClassId(Reference(db, tr.Identifier(t::kTransactionClassId), Table::kClasses));
            memo.SetTypeId(Reference(db, tr.Identifier(t::kTypeId), Table::kTransactionTypes));
            int categoryRow = tr.Identifier(t::kCategoryId);
            tr.Finalize();
            bool split = false;
            ReadSplits(db, templateRow, memo, split);
            memo.SetCategoryId(split ? SplitMarkerId : CategoryReference(db, categoryRow));
        }
    }
    payee.MemorizeTransaction(memo);
    payee.SetBudgetAmount(budget);
}

bool MakesCycle(const CCategoryList* list, const RecordId& self, const RecordId& parent) {
    RecordId at = parent;
    for (int depth = 0; depth < kMaxCategoryDepth && !at.IsNull(); ++depth) {
        if (at == self)
            return true;
        const CCategoryItem* up = list != nullptr ? list->FindById(at) : nullptr;
        if (up == nullptr)
            return false;
        at = up->GetParentId();
    }
    return !at.IsNull();
}

bool HoldsId(const CPalmFileList& list, const RecordId& id) {
    return list.FindById(id, true) != nullptr;
}

}  // namespace

// --- Look-ups -----------------------------------------------------------

int FindIdentifierByUid(CSQLiteDBWrapper& db, const RecordId& id, Table table, int& identifier) {
    identifier = 0;
    if (!IsMatchableUid(id))
        return SQLITE_OK;
    if (const TableRows* rows = PassRows(db, table)) {
        const PassRow* row = rows->FirstWithUid(id);
        identifier = row != nullptr ? IdentifierValue(row->identifier) : 0;
        return SQLITE_OK;
    }
    Statement s(db);
    bool found = false;
    int rc = StepByUid(s, kIdentifierByUid, table, id, found);
    if (found)
        identifier = s.Identifier(0);
    return rc;
}

int FindUidByIdentifier(CSQLiteDBWrapper& db, int identifier, Table table, RecordId& id) {
    id = kNoneId;
    if (const TableRows* rows = PassRows(db, table)) {
        const PassRow* row = rows->WithIdentifier(identifier);
        if (row != nullptr)
            id = row->uid;
        return SQLITE_OK;
    }
    Statement s(db);
    bool found = false;
    int rc =
        PrepareRow(s, FormatSql(sql::kUidByIdentifier, TableName(table), identifier), 1, found);
    if (found)
        id = ColumnUid(db, s.get(), 0);
    return rc;
}

int FindNameByUid(CSQLiteDBWrapper& db, const RecordId& id, Table table, std::string& name) {
    name.clear();
    if (!IsMatchableUid(id))
        return SQLITE_OK;
    Statement s(db);
    bool found = false;
    int rc = StepByUid(s, kNameByUid, table, id, found);
    if (found)
        name = ColumnModelText(db, s.get(), 0, kLookupNameChars);
    return rc;
}

int FindIdentifierByName(CSQLiteDBWrapper& db, std::string_view name, Table table,
                         int& identifier) {
    identifier = 0;
    Statement s(db);
    int rc = s.PrepareKept(FormatSql(sql::kIdentifierByName, TableName(table)), 1);
    if (rc != SQLITE_OK)
        return rc;
    rc = BindModelText(db, s.get(), 1, name);
    if (rc != SQLITE_OK)
        return rc;
    return EachRow(s, [&] { identifier = s.Identifier(0); });
}

int FindAccountCategoryIdentifier(CSQLiteDBWrapper& db, const RecordId& accountId,
                                  int& identifier) {
    identifier = 0;
    if (!IsMatchableUid(accountId))
        return SQLITE_OK;
    Statement s(db);
    bool found = false;
    int rc = StepByUid(s, kAccountCategoryByUid, Table::kAccounts, accountId, found);
    if (found)
        identifier = s.Identifier(0);
    return rc;
}

int GetMaxIdentifier(CSQLiteDBWrapper& db, Table table, int& identifier) {
    identifier = 0;
    if (const TableRows* rows = PassRows(db, table)) {
        std::optional<std::int64_t> max = rows->MaxIdentifier();
        identifier = max ? IdentifierValue(*max) : 0;
        return SQLITE_OK;
    }
    Statement s(db);
    bool found = false;
    int rc = PrepareRow(s, FormatSql(sql::kMaxIdentifier, TableName(table)), 1, found);
    if (found)
        identifier = s.Identifier(0);
    return rc;
}

int GetRowFlags(CSQLiteDBWrapper& db, const RecordId& id, Table table, RowFlags& flags) {
    flags = RowFlags{};
    if (!IsMatchableUid(id))
        return SQLITE_OK;
    Statement s(db);
    bool found = false;
    int rc;
    if (const TableRows* rows = PassRows(db, table)) {
        const PassRow* row = rows->FirstWithUid(id);
        if (row == nullptr)
            return SQLITE_OK;
        rc = StepRowNumber(s,
                           FormatSql(kColumnsByRowNumber, "modified, deleted, identifier",
                                     TableName(table), rows->RowidName().c_str()),
                           row->rowid, 0, found);
    } else {
        rc = StepByUid(s, kFlagsByUid, table, id, found);
    }
    if (found) {
        flags.found = true;
        flags.modified = s.Int64(0) != 0;
        flags.deleted = s.Int64(1) != 0;
        flags.identifier = s.Identifier(2);
    }
    return rc;
}

int GetCurrencyRowFlags(CSQLiteDBWrapper& db, CurrencyId currency, RowFlags& flags) {
    flags = RowFlags{};
    Statement s(db);
    bool found = false;
    int rc = PrepareRow(
        s, FormatSql(sql::kCurrencyRowFlags, TableName(Table::kCurrencies), int{currency}), 2,
        found);
    if (found) {
        flags.found = true;
        flags.modified = s.Int64(0) != 0;
        flags.deleted = s.Int64(1) != 0;
    }
    return rc;
}

namespace {

// Runs read on the first SETTINGS row whose name is like name.
template <typename Read>
int ReadSettingRow(CSQLiteDBWrapper& db, std::string_view name, Read read) {
    Statement s(db);
    int rc = s.PrepareKept(kSettingLike, 1);
    if (rc != SQLITE_OK)
        return rc;
    rc = BindModelText(db, s.get(), 1, name);
    if (rc != SQLITE_OK)
        return rc;
    rc = s.Step();
    if (rc == SQLITE_ROW) {
        read(s);
        return SQLITE_OK;
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// The value's bytes as the database holds them, no conversion, at most
// maxBytes of them.
int GetSettingBytes(CSQLiteDBWrapper& db, std::string_view name, std::size_t maxBytes,
                    std::string& value) {
    value.clear();
    return ReadSettingRow(db, name, [&](Statement& s) {
        const void* data = db.ColumnBlob(s.get(), 0);
        const int bytes = db.ColumnBytes(s.get(), 0);
        if (data != nullptr && bytes > 0)
            value.assign(static_cast<const char*>(data),
                         std::min(static_cast<std::size_t>(bytes), maxBytes));
    });
}

}  // namespace

int GetSetting(CSQLiteDBWrapper& db, std::string_view name, std::string& value) {
    value.clear();
    return ReadSettingRow(
        db, name, [&](Statement& s) { value = ColumnModelText(db, s.get(), 0, kLookupNameChars); });
}

int ReadDeviceSettings(CSQLiteDBWrapper& db, DeviceSettings& settings) {
    int rc = GetSetting(db, kSettingDeviceName, settings.device_name);
    // The serial is checked as it came, never converted into another
    // device's; longer than any acceptable serial is enough to refuse it.
    if (rc == SQLITE_OK)
        rc = GetSettingBytes(db, kSettingDeviceSerial, kLookupNameChars, settings.device_serial);
    // The crib is compared in its stored form: its own bytes, up to a NUL.
    if (rc == SQLITE_OK)
        rc = GetSettingBytes(db, kSettingPasswordCrib, kPasswordCribSize, settings.password_crib);
    if (const std::size_t nul = settings.password_crib.find('\0'); nul != std::string::npos)
        settings.password_crib.resize(nul);
    return rc;
}

// --- Splits -------------------------------------------------------------

int ReadSplits(CSQLiteDBWrapper& db, int transactionIdentifier, CTransaction& t, bool& found) {
    found = false;
    std::size_t line = 0;
    auto convert = [&](Statement& s) {
        namespace c = splits;
        if (s.Int64(c::kDeleted) != 0 || line >= kSplitLineCount)
            return;
        t.ClearSplitLine(line);
        t.SetSplitMemo(line, ColumnModelText(db, s.get(), c::kMemo, transactions::kMemoChars));
        t.SetSplitLinkedId(line, ColumnUid(db, s.get(), c::kTransferUid));
        t.SetSplitClassId(line, Reference(db, s.Identifier(c::kClassId), Table::kClasses));
        t.SetSplitCategoryId(line, CategoryReference(db, s.Identifier(c::kCategoryId)));
        t.SetSplitAmount(line, ColumnCents(db, s.get(), c::kAmount));
        ++line;
    };
    int rc = SQLITE_OK;
    if (const TableRows* rows = PassRows(db, Table::kSplits)) {
        // The rows a scan for the transaction would give, in its order.
        const std::vector<std::int64_t> rowids = rows->SplitRowsOf(transactionIdentifier);
        const std::string sql = FormatSql(kColumnsByRowNumber, "*", TableName(Table::kSplits),
                                          rows->RowidName().c_str());
        for (std::int64_t rowid : rowids) {
            Statement s(db);
            bool row = false;
            rc = StepRowNumber(s, sql, rowid, splits::kColumnCount, row);
            if (rc != SQLITE_OK)
                break;
            if (row)
                convert(s);
        }
    } else {
        Statement s(db);
        rc = s.Prepare(FormatSql(sql::kSplitsOfTransaction, transactionIdentifier),
                       splits::kColumnCount);
        if (rc != SQLITE_OK)
            return rc;
        rc = EachRow(s, [&] { convert(s); });
    }
    found = line > 0;
    if (found)
        for (std::size_t rest = line; rest < kSplitLineCount; ++rest)
            t.ClearSplitLine(rest);
    return rc;
}

// --- Bulk readers -------------------------------------------------------

int ReadChangedAccounts(CSQLiteDBWrapper& db, std::uint32_t dateOffset, AccountArray& accounts) {
    Statement s(db);
    int rc = s.Prepare(sql::kChangedAccounts, accounts::kColumnCount);
    if (rc != SQLITE_OK)
        return rc;
    UidRepairs uids(Table::kAccounts);
    for (const auto& a : accounts)
        if (a)
            uids.Note(a->Header().GetId());
    rc = EachRow(s, [&] {
        AccountHeader h;
        h.SetVersion(kAccountHeaderVersion);
        h.SetId(uids.Take(s, accounts::kUid, false));
        FillHeader(s, dateOffset, h);
        std::uint32_t flags = 0;
        for (const accounts::ChangeFlag& f : accounts::kChangeFlags)
            if (s.Int64(f.flag_column) == 1)
                flags |= f.header_change_bit;
        h.SetChangeFlags(flags);
        auto account = std::make_unique<CAccount>();
        account->Header() = h;
        account->SetOnlineBalance(ColumnCents(db, s.get(), accounts::kOnlineBalance));
        accounts.push_back(std::move(account));
    });
    s.Finalize();
    int repaired = uids.Write(db);
    return rc != SQLITE_OK ? rc : repaired;
}

int ReadChangedCategories(CSQLiteDBWrapper& db, CCategoryList& list) {
    Statement s(db);
    int rc = s.Prepare(sql::kChangedCategories, categories::kColumnCount);
    if (rc != SQLITE_OK)
        return rc;
    UidRepairs uids(Table::kCategories);
    std::vector<CCategoryItem*> added;
    rc = EachRow(s, [&] {
        namespace c = categories;
        std::string name = ColumnModelText(db, s.get(), c::kName, kLookupNameChars);
        if (IsAccountCategoryName(name))
            return;
        RecordId id = ColumnUid(db, s.get(), c::kUid);
        auto item = std::make_unique<CCategoryItem>();
        item->SetId(uids.Take(s, c::kUid, IsMatchableUid(id) && HoldsId(list, id)));
        item->SetName(name);
        item->SetParentId(Reference(db, s.Identifier(c::kParentIdentifier), Table::kCategories));
        item->SetIcon(static_cast<std::uint16_t>(ColumnClamped(s, c::kIconIndex, 0, UINT16_MAX)));
        item->SetBudget(ColumnCents(db, s.get(), c::kBudget));
        item->SetAttribute(0);
        Trace("\n->%s ", name.c_str());
        added.push_back(static_cast<CCategoryItem*>(list.AddItem(std::move(item))));
    });
    s.Finalize();
    for (CCategoryItem* item : added)
        if (item != nullptr && MakesCycle(&list, item->GetId(), item->GetParentId())) {
            item->SetParentId(kNoneId);
            item->SetAttribute(0);
        }
    // The save that comes with re-sorting is the model's to report.
    list.Resort();
    int repaired = uids.Write(db);
    return rc != SQLITE_OK ? rc : repaired;
}

int ReadChangedClasses(CSQLiteDBWrapper& db, CClassList& list) {
    Statement s(db);
    int rc = s.Prepare(sql::kChangedClasses, classes::kColumnCount);
    if (rc != SQLITE_OK)
        return rc;
    UidRepairs uids(Table::kClasses);
    rc = EachRow(s, [&] {
        namespace c = classes;
        RecordId id = ColumnUid(db, s.get(), c::kUid);
        auto item = std::make_unique<CClassItem>(
            ColumnModelText(db, s.get(), c::kName, transactions::kNameChars),
            uids.Take(s, c::kUid, IsMatchableUid(id) && HoldsId(list, id)));
        item->SetBudget(ColumnCents(db, s.get(), c::kAmount));
        item->SetAttribute(0);
        list.AddItem(std::move(item));
    });
    s.Finalize();
    int repaired = uids.Write(db);
    return rc != SQLITE_OK ? rc : repaired;
}

int ReadChangedCurrencies(CSQLiteDBWrapper& db, CCurrencyList& list) {
    std::string home;
    int rc = GetSetting(db, kSettingBaseCurrency, home);
    if (rc != SQLITE_OK)
        return rc;
    long homeId = home.empty() ? -1 : std::strtol(home.c_str(), nullptr, 10);
    Statement s(db);
    rc = s.Prepare(sql::kChangedCurrencies, currencies::kMinColumns);
    if (rc != SQLITE_OK)
        return rc;
    return EachRow(s, [&] {
        namespace c = currencies;
        std::int64_t currency = s.Int64(c::kCurrencyId);
        // Only 1..255 name a desktop currency.
        if (currency < 1 || currency > 255)
            return;
        auto item = std::make_unique<CCurrencyItem>();
        item->SetCurrencyId(static_cast<CurrencyId>(currency));
        item->SetSymbol(ColumnModelText(db, s.get(), c::kSymbol, c::kSymbolChars));
        item->SetRate(s.db().ColumnDouble(s.get(), c::kConversion));
        bool isHome = currency == homeId;
        bool homeChanged = s.Int64(c::kHomeChanged) == 1;
        CCurrencyItem* added = list.AddUnique(item);
        if (isHome && added != nullptr) {
            list.SetHomeCurrency(added);
            if (!homeChanged)
                list.ClearHomeChanged();
        }
    });
}

int ReadChangedPayees(CSQLiteDBWrapper& db, CPayeesList& list) {
    Statement s(db);
    int rc = s.Prepare(sql::kChangedPayees, payees::kColumnCount);
    if (rc != SQLITE_OK)
        return rc;
    UidRepairs uids(Table::kPayees);
    rc = EachRow(s, [&] {
        RecordId id = ColumnUid(db, s.get(), payees::kUid);
        auto item = std::make_unique<CPayeeItem>();
        item->SetId(uids.Take(s, payees::kUid, IsMatchableUid(id) && HoldsId(list, id)));
        FillPayee(s, *item);
        item->SetAttribute(0);
        list.AddItem(std::move(item));
    });
    s.Finalize();
    int repaired = uids.Write(db);
    return rc != SQLITE_OK ? rc : repaired;
}

int ReadChangedPayeeLookups(CSQLiteDBWrapper& db, CPayeeLookupList& list) {
    Statement s(db);
    int rc = s.Prepare(sql::kChangedPayeeLookups, payee_lookups::kColumnCount);
    if (rc != SQLITE_OK)
        return rc;
    UidRepairs uids(Table::kPayeeLookupItems);
    rc = EachRow(s, [&] {
        namespace c = payee_lookups;
        RecordId id = ColumnUid(db, s.get(), c::kUid);
        auto item = std::make_unique<CPayeeLookupItem>(
            ColumnModelText(db, s.get(), c::kName, transactions::kNameChars),
            ColumnModelText(db, s.get(), c::kPayeeName, transactions::kNameChars));
        item->SetId(uids.Take(s, c::kUid, IsMatchableUid(id) && HoldsId(list, id)));
        item->SetAttribute(0);
        list.AddItem(std::move(item));
    });
    s.Finalize();
    int repaired = uids.Write(db);
    return rc != SQLITE_OK ? rc : repaired;
}

int ReadChangedScheduled(CSQLiteDBWrapper& db, std::uint32_t dateOffset, CScheduledList& list) {
    Statement s(db);
    int rc = s.Prepare(sql::kChangedScheduled, scheduled::kColumnCount);
    if (rc != SQLITE_OK)
        return rc;
    UidRepairs uids(Table::kScheduledTransactions);
    rc = EachRow(s, [&] {
        RecordId id = ColumnUid(db, s.get(), scheduled::kUid);
        auto item = std::make_unique<CScheduledItem>();
        item->EditTemplate().SetId(
            uids.Take(s, scheduled::kUid, IsMatchableUid(id) && HoldsId(list, id)));
        FillScheduled(s, dateOffset, *item);
        item->SetEnterMode(0);
        item->EditTemplate().SetAttributes(0);
        item->SetAttribute(0);
        list.AddItem(std::move(item));
    });
    s.Finalize();
    int repaired = uids.Write(db);
    return rc != SQLITE_OK ? rc : repaired;
}

int ReadChangedTransactionTypes(CSQLiteDBWrapper& db, CTransactionTypesList& list) {
    Statement s(db);
    int rc = s.Prepare(sql::kChangedTransactionTypes, transaction_types::kColumnCount);
    if (rc != SQLITE_OK)
        return rc;
    UidRepairs uids(Table::kTransactionTypes);
    rc = EachRow(s, [&] {
        namespace c = transaction_types;
        RecordId id = ColumnUid(db, s.get(), c::kUid);
        auto item = std::make_unique<CTransactionType>(
            ColumnModelText(db, s.get(), c::kName, transactions::kNameChars),
            uids.Take(s, c::kUid, IsMatchableUid(id) && HoldsId(list, id)));
        item->SetAttribute(0);
        list.AddItem(std::move(item));
    });
    s.Finalize();
    int repaired = uids.Write(db);
    return rc != SQLITE_OK ? rc : repaired;
}

int ReadChangedTransactions(CSQLiteDBWrapper& db, std::uint32_t dateOffset,
                            TransactionArray& transactions, int accountIdentifier) {
    Statement s(db);
    int rc = s.Prepare(FormatSql(sql::kChangedTransactionsOfAccount, accountIdentifier),
                       transactions::kColumnCount);
    if (rc != SQLITE_OK)
        return rc;
    UidRepairs uids(Table::kTransactions);
    for (const auto& t : transactions)
        if (t)
            uids.Note(t->GetId());
    rc = EachRow(s, [&] {
        auto t = std::make_unique<CTransaction>(CTransaction::ForLoad{});
        t->SetId(uids.Take(s, transactions::kUid, false));
        FillTransaction(s, dateOffset, *t);
        transactions.push_back(std::move(t));
    });
    s.Finalize();
    int repaired = uids.Write(db);
    return rc != SQLITE_OK ? rc : repaired;
}

// --- Single-row readers -------------------------------------------------

int ReadAccountRow(CSQLiteDBWrapper& db, std::uint32_t dateOffset, CAccount& account) {
    int identifier = 0;
    int rc = RowIdentifierOf(db, account.Header().GetId(), Table::kAccounts, identifier);
    if (rc != SQLITE_OK || identifier == 0)
        return rc;
    Statement s(db);
    bool found = false;
    rc = RowByIdentifier(s, Table::kAccounts, "*", FormatSql(sql::kAccountRow, identifier),
                         identifier, accounts::kColumnCount, found);
    if (!found)
        return rc;
    AccountHeader h = account.Header();
    std::uint32_t before = h.GetChangeFlags();
    std::uint32_t set = FillHeader(s, dateOffset, h);
    h.SetChangeFlags(before & ~set);
    account.Header() = h;
    account.SetOnlineBalance(ColumnCents(db, s.get(), accounts::kOnlineBalance));
    return rc;
}

int ReadCategoryRow(CSQLiteDBWrapper& db, CCategoryItem& category, const CCategoryList* list) {
    int identifier = 0;
    int rc = RowIdentifierOf(db, category.GetId(), Table::kCategories, identifier);
    if (rc != SQLITE_OK || identifier == 0)
        return rc;
    Statement s(db);
    bool found = false;
    rc = RowByIdentifier(s, Table::kCategories, "*", FormatSql(sql::kCategoryRow, identifier),
                         identifier, categories::kColumnCount, found);
    if (!found)
        return rc;
    namespace c = categories;
    category.SetName(ColumnModelText(db, s.get(), c::kName, kLookupNameChars));
    RecordId parent = Reference(db, s.Identifier(c::kParentIdentifier), Table::kCategories);
    category.SetParentId(MakesCycle(list, category.GetId(), parent) ? kNoneId : parent);
    category.SetIcon(static_cast<std::uint16_t>(ColumnClamped(s, c::kIconIndex, 0, UINT16_MAX)));
    category.SetBudget(ColumnCents(db, s.get(), c::kBudget));
    category.SetAttribute(0);
    return rc;
}

int ReadClassRow(CSQLiteDBWrapper& db, CClassItem& item) {
    int identifier = 0;
    int rc = RowIdentifierOf(db, item.GetId(), Table::kClasses, identifier);
    if (rc != SQLITE_OK || identifier == 0)
        return rc;
    Statement s(db);
    bool found = false;
    rc = RowByIdentifier(s, Table::kClasses, "*", FormatSql(sql::kClassRow, identifier), identifier,
                         classes::kColumnCount, found);
    if (!found)
        return rc;
    item.SetName(ColumnModelText(db, s.get(), classes::kName, transactions::kNameChars));
    item.SetBudget(ColumnCents(db, s.get(), classes::kAmount));
    item.SetAttribute(0);
    return rc;
}

int ReadCurrencyRow(CSQLiteDBWrapper& db, CCurrencyItem& currency) {
    Statement s(db);
    bool found = false;
    int rc = PrepareRow(s, FormatSql(sql::kCurrencyRow, int{currency.GetCurrencyId()}),
                        currencies::kMinColumns, found);
    if (!found)
        return rc;
    currency.SetRate(db.ColumnDouble(s.get(), currencies::kConversion));
    currency.SetAttribute(0);
    return rc;
}

int ReadPayeeRow(CSQLiteDBWrapper& db, CPayeeItem& payee) {
    int identifier = 0;
    int rc = RowIdentifierOf(db, payee.GetId(), Table::kPayees, identifier);
    if (rc != SQLITE_OK || identifier == 0)
        return rc;
    Statement s(db);
    bool found = false;
    rc = RowByIdentifier(s, Table::kPayees, "*", FormatSql(sql::kPayeeRow, identifier), identifier,
                         payees::kColumnCount, found);
    if (!found)
        return rc;
    FillPayee(s, payee);
    payee.SetAttribute(0);
    return rc;
}

int ReadPayeeLookupRow(CSQLiteDBWrapper& db, CPayeeLookupItem& item) {
    int identifier = 0;
    int rc = RowIdentifierOf(db, item.GetId(), Table::kPayeeLookupItems, identifier);
    if (rc != SQLITE_OK || identifier == 0)
        return rc;
    Statement s(db);
    bool found = false;
    rc = RowByIdentifier(s, Table::kPayeeLookupItems, "*",
                         FormatSql(sql::kPayeeLookupRow, identifier), identifier,
                         payee_lookups::kColumnCount, found);
    if (!found)
        return rc;
    item.SetName(ColumnModelText(db, s.get(), payee_lookups::kName, transactions::kNameChars));
    item.SetPayee(
        ColumnModelText(db, s.get(), payee_lookups::kPayeeName, transactions::kNameChars));
    item.SetAttribute(0);
    return rc;
}

int ReadScheduledRow(CSQLiteDBWrapper& db, std::uint32_t dateOffset, CScheduledItem& item) {
    int identifier = 0;
    int rc = RowIdentifierOf(db, item.GetId(), Table::kScheduledTransactions, identifier);
    if (rc != SQLITE_OK || identifier == 0)
        return rc;
    Statement s(db);
    bool found = false;
    rc = RowByIdentifier(s, Table::kScheduledTransactions, "*",
                         FormatSql(sql::kScheduledRow, identifier), identifier,
                         scheduled::kColumnCount, found);
    if (!found)
        return rc;
    FillScheduled(s, dateOffset, item);
    item.EditTemplate().SetAttributes(0);
    item.SetAttribute(0);
    return rc;
}

int ReadTransactionRow(CSQLiteDBWrapper& db, std::uint32_t dateOffset, CTransaction& t) {
    int identifier = 0;
    int rc = RowIdentifierOf(db, t.GetId(), Table::kTransactions, identifier);
    if (rc != SQLITE_OK || identifier == 0)
        return rc;
    Statement s(db);
    bool found = false;
    rc = RowByIdentifier(s, Table::kTransactions, "*", FormatSql(sql::kTransactionRow, identifier),
                         identifier, transactions::kColumnCount, found);
    if (!found)
        return rc;
    FillTransaction(s, dateOffset, t);
    return rc;
}

int ReadTransactionTypeRow(CSQLiteDBWrapper& db, int identifier, CTransactionType& type) {
    if (identifier == 0)
        return SQLITE_OK;
    Statement s(db);
    bool found = false;
    int rc = RowByIdentifier(s, Table::kTransactionTypes, "*",
                             FormatSql(sql::kTransactionTypeRow, identifier), identifier,
                             transaction_types::kColumnCount, found);
    if (!found)
        return rc;
    type.SetName(ColumnModelText(db, s.get(), transaction_types::kName, transactions::kNameChars));
    type.SetAttribute(0);
    return rc;
}

}  // namespace tallowmere::handheld
