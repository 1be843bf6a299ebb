#include "sync/handheld_write.h"

#include <cstdint>
#include <string>
#include <vector>

#include "sync/handheld_pass_cache.h"
#include "sync/handheld_read.h"
#include "sync/handheld_statement.h"
#include "sync/handheld_values.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {

namespace {

// Statements by row number, where the pass knows the table's rows.
constexpr char kDeleteByRowNumber[] = "DELETE FROM %s WHERE %s = ?1;";
constexpr char kClearModifiedByRowNumber[] = "update %s set modified = 0 where %s = ?1";

const char* ErrText(CSQLiteDBWrapper& db) {
    const char* text = db.ErrMsg();
    return text != nullptr ? text : "";
}

// Whether a statement text is prepared for this use only (it holds a value)
// or kept by the pass for the next use.
enum class Reuse { kOnce, kKeep };

// An insert or update: every parameter starts as 0 (the columns the desktop
// writes 0), then each bind replaces one; the first failing bind is kept.
class RowWriter {
  public:
    RowWriter(CSQLiteDBWrapper& db, int parameters)
        : db_(db), statement_(db), parameters_(parameters) {}

    int Prepare(const std::string& sql, Reuse reuse = Reuse::kKeep) {
        int rc = reuse == Reuse::kKeep ? statement_.PrepareKept(sql) : statement_.Prepare(sql);
        if (rc != SQLITE_OK)
            return rc;
        for (int i = 1; i <= parameters_; ++i)
            Keep(db_.BindInt(statement_.get(), i, 0));
        return SQLITE_OK;
    }
    // Parameters are 1-based: column + 1 for whole-row inserts.
    void Int(int index, std::int64_t v) { Keep(db_.BindInt64(statement_.get(), index, v)); }
    void Flag(int index, bool v) { Int(index, v ? 1 : 0); }
    void Text(int index, std::string_view cp1252) {
        Keep(BindModelText(db_, statement_.get(), index, cp1252));
    }
    void Real(int index, double v) { Keep(db_.BindDouble(statement_.get(), index, v)); }
    void Amount(int index, Cents cents) { Keep(BindCents(db_, statement_.get(), index, cents)); }
    void Date(int index, PalmTime t, std::uint32_t offset) {
        Keep(BindDate(db_, statement_.get(), index, t, offset));
    }
    void Uid(int index, const RecordId& id) { Keep(BindUid(db_, statement_.get(), index, id)); }
    void Blob(int index, const std::uint8_t* data, int bytes) {
        Keep(db_.BindBlob(statement_.get(), index, data, bytes, SQLITE_TRANSIENT));
    }

    // Steps once and finalizes; a failure's error text is traced with
    // errorFormat.
    int Run(const char* errorFormat) {
        int step = bind_ == SQLITE_OK ? statement_.Step() : bind_;
        if (IsStepError(step) || bind_ != SQLITE_OK)
            Trace(errorFormat, ErrText(db_));
        int rc = statement_.Finalize();
        if (bind_ != SQLITE_OK)
            return bind_;
        if (rc == SQLITE_OK && IsStepError(step))
            return step;
        return rc;
    }

  private:
    void Keep(int rc) {
        if (bind_ == SQLITE_OK && rc != SQLITE_OK)
            bind_ = rc;
    }
    CSQLiteDBWrapper& db_;
    Statement statement_;
    int parameters_;
    int bind_ = SQLITE_OK;
};

int ExecFormatted(CSQLiteDBWrapper& db, const std::string& sql) {
    int rc = db.ExecSql(sql.c_str());
    if (rc != SQLITE_OK)
        Trace("%s\n\r", ErrText(db));
    return rc;
}

// A statement whose ?1 is a row number, run once on that row.
int RunOnRowNumber(CSQLiteDBWrapper& db, const char* format, Table table, const TableRows& rows,
                   std::int64_t rowid) {
    RowWriter w(db, 0);
    int rc = w.Prepare(FormatSql(format, TableName(table), rows.RowidName().c_str()));
    if (rc != SQLITE_OK)
        return rc;
    w.Int(1, rowid);
    return w.Run("%s\n\r");
}

// The row just inserted joins the rows the pass knows; a failed insert
// leaves the table to be read again.
void NoteInserted(CSQLiteDBWrapper& db, Table table, int rc, PassRow row) {
    PassCache* cache = PassCache::Of(db);
    TableRows* rows = cache != nullptr ? cache->Loaded(table) : nullptr;
    if (rows == nullptr)
        return;
    row.rowid = db.LastInsertRowid();
    if (rc != SQLITE_OK || !rows->Insert(row))
        cache->Forget(table);
}

void NoteInserted(CSQLiteDBWrapper& db, Table table, int rc, int identifier, const RecordId& uid) {
    PassRow row;
    row.identifier = identifier;
    row.uid = uid;
    row.uidMatches = true;
    NoteInserted(db, table, rc, row);
}

int NewIdentifier(CSQLiteDBWrapper& db, Table table, int& identifier) {
    int max = 0;
    int rc = GetMaxIdentifier(db, table, max);
    identifier = rc == SQLITE_OK && max < INT32_MAX ? max + 1 : 0;
    return identifier == 0 && rc == SQLITE_OK ? SQLITE_FULL : rc;
}

// The identifier of a record's row, 0 for none or a failed look-up.
int RowOf(CSQLiteDBWrapper& db, const RecordId& id, Table table) {
    int identifier = 0;
    FindIdentifierByUid(db, id, table, identifier);
    return identifier;
}

// The "[name]" row that stands for an account, by name.
int AccountCategoryRow(CSQLiteDBWrapper& db, std::string_view accountName) {
    int identifier = 0;
    FindIdentifierByName(db, AccountCategoryName(accountName), Table::kCategories, identifier);
    return identifier;
}

// A category reference: a category row, or for an account the row of its
// "[name]" category; the split marker and unknown ids are 0.
int CategoryRow(CSQLiteDBWrapper& db, const RecordId& id) {
    if (id.IsNull() || id == SplitMarkerId)
        return 0;
    int row = RowOf(db, id, Table::kCategories);
    if (row != 0)
        return row;
    std::string account;
    FindNameByUid(db, id, Table::kAccounts, account);
    return account.empty() ? 0 : AccountCategoryRow(db, account);
}

// The value of an integer column of one row; 0 when there is none.
int IdentifierColumn(CSQLiteDBWrapper& db, const std::string& sql, int column) {
    Statement s(db);
    if (s.Prepare(sql, column + 1) != SQLITE_OK || s.Step() != SQLITE_ROW)
        return 0;
    return s.Identifier(column);
}

// The transaction update with the row named by ?21, its row number.
std::string UpdateTransactionByRowNumber(const std::string& rowidName) {
    std::string text = sql::kUpdateTransaction;
    text.resize(text.rfind("where "));
    return text + "where " + rowidName + " = ?21;";
}

// A template transaction row and its split rows (DeleteRow takes both).
int DeleteTransactionRow(CSQLiteDBWrapper& db, int identifier) {
    return identifier == 0 ? SQLITE_OK : DeleteRow(db, identifier, Table::kTransactions);
}

// The bindings of a transaction row, shared by insert and update: the
// update's parameters are the insert's from amount on, less kind and the
// two trailing zeros.
struct TransactionValues {
    int classRow;
    int categoryRow;
    int typeRow;
    bool splitTransfer;
};

TransactionValues ResolveTransaction(CSQLiteDBWrapper& db, const CTransaction& t) {
    TransactionValues v{};
    v.classRow = RowOf(db, t.GetClassId(), Table::kClasses);
    v.categoryRow = CategoryRow(db, t.GetCategoryId());
    v.typeRow = RowOf(db, t.GetTypeId(), Table::kTransactionTypes);
    v.splitTransfer = !t.GetLinkedId().IsNull() && t.GetSplitIndex() != kNoSplitIndex;
    return v;
}

int WriteTransactionRow(CSQLiteDBWrapper& db, std::uint32_t offset, const CTransaction& t,
                        int accountIdentifier, int identifier, int kind) {
    namespace c = transactions;
    int rc = DeleteSplits(db, identifier);
    if (rc != SQLITE_OK)
        return rc;
    if (t.GetCategoryId() == SplitMarkerId) {
        rc = InsertSplits(db, t, identifier);
        if (rc != SQLITE_OK)
            return rc;
    }
    TransactionValues v = ResolveTransaction(db, t);
    RowWriter w(db, c::kColumnCount);
    rc = w.Prepare(sql::kInsertTransaction);
    if (rc != SQLITE_OK)
        return rc;
    w.Int(c::kIdentifier + 1, identifier);
    w.Uid(c::kUid + 1, t.GetId());
    w.Amount(c::kAmount + 1, t.GetAmount());
    w.Text(c::kMemo + 1, t.GetMemo());
    w.Text(c::kPayeeName + 1, t.GetPayeeName());
    w.Date(c::kDate + 1, t.GetDate(), offset);
    w.Int(c::kSpecific + 1, t.GetCheckNumber());
    w.Int(c::kPendingReconcile + 1, t.GetStatus() & kStatusMarked);
    w.Int(c::kStatus + 1, StatusToHandheld(t.GetStatus()));
    w.Amount(c::kBaseAmount + 1, t.GetBaseAmount());
    w.Int(c::kAccepted + 1, t.GetReviewState());
    w.Int(c::kKind + 1, kind);
    w.Flag(c::kSplitTransfer + 1, v.splitTransfer);
    w.Int(c::kSplitTransferIndex + 1, v.splitTransfer ? t.GetSplitIndex() : 0);
    w.Uid(c::kTransferUid + 1, t.GetLinkedId());
    w.Text(c::kFitId + 1, t.GetOnlineId());
    w.Uid(c::kPayeeLookupItemUid + 1, t.GetPayeeLookupId());
    w.Uid(c::kMatchUid + 1, t.GetMatchId());
    w.Int(c::kTransactionClassId + 1, v.classRow);
    w.Int(c::kCategoryId + 1, v.categoryRow);
    w.Int(c::kOriginalCurrencyId + 1, t.GetSourceCurrency());
    w.Int(c::kTypeId + 1, v.typeRow);
    w.Int(c::kAccountId + 1, accountIdentifier);
    rc = w.Run("%s\n\r");
    NoteInserted(db, Table::kTransactions, rc, identifier, t.GetId());
    Trace("Transaction - NO.%d ACC.%d\n", identifier, accountIdentifier);
    return rc;
}

// The category row of an account: "[name]", no parent.
int WriteAccountCategory(CSQLiteDBWrapper& db, const RecordId& id, std::string_view accountName,
                         int identifier) {
    namespace c = categories;
    RowWriter w(db, c::kColumnCount);
    int rc = w.Prepare(sql::kInsertCategory);
    if (rc != SQLITE_OK)
        return rc;
    w.Int(c::kIdentifier + 1, identifier);
    w.Uid(c::kUid + 1, id);
    w.Text(c::kName + 1, AccountCategoryName(accountName));
    rc = w.Run("%s\n\r");
    NoteInserted(db, Table::kCategories, rc, identifier, id);
    return rc;
}

int RowOfScheduled(CSQLiteDBWrapper& db, const CScheduledItem& item) {
    return RowOf(db, item.Template().GetId(), Table::kScheduledTransactions);
}

}  // namespace

// --- Inserts ------------------------------------------------------------

int InsertAccount(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CAccount& account,
                  int identifier) {
    namespace c = accounts;
    int rc = identifier == 0 ? NewIdentifier(db, Table::kAccounts, identifier) : SQLITE_OK;
    if (rc != SQLITE_OK)
        return rc;
    const AccountHeader& h = account.Header();
    int categoryRow = AccountCategoryRow(db, h.GetName());
    RowWriter w(db, c::kColumnCount);
    rc = w.Prepare(sql::kInsertAccount);
    if (rc != SQLITE_OK)
        return rc;
    w.Int(c::kIdentifier + 1, identifier);
    w.Uid(c::kUid + 1, h.GetId());
    w.Text(c::kName + 1, h.GetName());
    w.Int(c::kType + 1, h.GetType());
    w.Text(c::kBankName + 1, h.GetBankName());
    w.Text(c::kAccountNumber + 1, h.GetAccountNumber());
    w.Text(c::kNextCheckNumber + 1, std::to_string(h.GetLastCheckNumber()));
    w.Amount(c::kOpeningBalance + 1, h.GetOpeningBalance());
    w.Int(c::kIconIndex + 1, h.GetIconIndex());
    w.Flag(c::kIncludeInTotals + 1, h.GetIncludeInTotals());
    w.Flag(c::kOnlineEnabled + 1, h.GetOnlineEnabled());
    w.Amount(c::kLastStatementBalance + 1, h.GetLastReconcileBalance());
    w.Date(c::kLastStatementDate + 1, h.GetLastReconcileDate(), dateOffset);
    w.Amount(c::kReconcileOpeningBalance + 1, h.GetReconcileOpening());
    w.Amount(c::kReconcileEndingBalance + 1, h.GetReconcileEnding());
    w.Date(c::kReconcileDate + 1, h.GetReconcileDate(), dateOffset);
    w.Blob(c::kOnlineBlock + 1, h.GetBytes().data() + kCipherOffset, c::kOnlineBlockBytes);
    w.Int(c::kInstitutionId + 1, h.GetFiId());
    w.Text(c::kRoutingNumber + 1, h.GetRoutingNumber());
    w.Text(c::kOnlineAccountId + 1, h.GetDownloadEndDate());
    w.Int(c::kCurrencyId + 1, h.GetCurrencyId());
    w.Int(c::kCategoryId + 1, categoryRow);
    w.Amount(c::kOnlineBalance + 1, account.GetOnlineBalance());
    rc = w.Run("\r\n %s \r\n");
    NoteInserted(db, Table::kAccounts, rc, identifier, h.GetId());
    return rc;
}

int InsertCategory(CSQLiteDBWrapper& db, const CCategoryItem& category, int identifier) {
    namespace c = categories;
    int rc = identifier == 0 ? NewIdentifier(db, Table::kCategories, identifier) : SQLITE_OK;
    if (rc != SQLITE_OK)
        return rc;
    RecordId parent = category.GetParentId();
    int parentRow = RowOf(db, parent, Table::kCategories);
    RowWriter w(db, c::kColumnCount);
    rc = w.Prepare(sql::kInsertCategory);
    if (rc != SQLITE_OK)
        return rc;
    w.Int(c::kIdentifier + 1, identifier);
    w.Uid(c::kUid + 1, category.GetId());
    w.Text(c::kName + 1, category.GetName());
    w.Int(c::kParentLastByte + 1, parent.bytes[7]);
    w.Int(c::kFixedCode + 1, FixedCode(category.GetId()));
    w.Int(c::kIconIndex + 1, category.GetIcon());
    w.Amount(c::kBudget + 1, category.GetBudget());
    w.Flag(c::kDeletedBit + 1, category.IsDeleted());
    w.Int(c::kParentIdentifier + 1, parentRow);
    rc = w.Run("%s\n\r");
    NoteInserted(db, Table::kCategories, rc, identifier, category.GetId());
    Trace("Category - %s", category.GetName().c_str());
    return rc;
}

int InsertClass(CSQLiteDBWrapper& db, const CClassItem& item, int identifier) {
    namespace c = classes;
    int rc = identifier == 0 ? NewIdentifier(db, Table::kClasses, identifier) : SQLITE_OK;
    if (rc != SQLITE_OK)
        return rc;
    RowWriter w(db, c::kColumnCount);
    rc = w.Prepare(sql::kInsertClass);
    if (rc != SQLITE_OK)
        return rc;
    w.Int(c::kIdentifier + 1, identifier);
    w.Uid(c::kUid + 1, item.GetId());
    w.Text(c::kName + 1, item.GetName());
    w.Int(c::kFixedCode + 1, FixedCode(item.GetId()));
    w.Amount(c::kAmount + 1, item.GetBudget());
    rc = w.Run("%s\n\r");
    NoteInserted(db, Table::kClasses, rc, identifier, item.GetId());
    return rc;
}

int InsertPayee(CSQLiteDBWrapper& db, const CPayeeItem& payee, int identifier) {
    namespace c = payees;
    int rc = identifier == 0 ? NewIdentifier(db, Table::kPayees, identifier) : SQLITE_OK;
    if (rc != SQLITE_OK)
        return rc;
    CTransaction memorised;
    memorised.SetAmount(payee.GetAmount());
    memorised.SetCategoryId(payee.GetCategoryId());
    memorised.SetClassId(payee.GetClassId());
    memorised.SetMemo(payee.GetMemo());
    memorised.SetTypeId(payee.GetTypeId());
    payee.GetMemorizedSplits(memorised);
    int templateRow = 0;
    rc = InsertTemplateTransaction(db, 0, memorised, 0, transactions::kKindPayeeTemplate,
                                   &templateRow);
    if (rc != SQLITE_OK)
        return rc;
    RowWriter w(db, c::kColumnCount);
    rc = w.Prepare(sql::kInsertPayee);
    if (rc != SQLITE_OK)
        return rc;
    w.Int(c::kIdentifier + 1, identifier);
    w.Uid(c::kUid + 1, payee.GetId());
    w.Text(c::kName + 1, payee.GetName());
    w.Amount(c::kBudget + 1, payee.GetBudgetAmount());
    w.Int(c::kTemplateIdentifier + 1, templateRow);
    rc = w.Run("%s\n\r");
    NoteInserted(db, Table::kPayees, rc, identifier, payee.GetId());
    Trace("Payee - %s", payee.GetName().c_str());
    return rc;
}

int InsertPayeeLookup(CSQLiteDBWrapper& db, const CPayeeLookupItem& item, int identifier) {
    namespace c = payee_lookups;
    int rc = identifier == 0 ? NewIdentifier(db, Table::kPayeeLookupItems, identifier) : SQLITE_OK;
    if (rc != SQLITE_OK)
        return rc;
    RowWriter w(db, c::kColumnCount);
    rc = w.Prepare(sql::kInsertPayeeLookup);
    if (rc != SQLITE_OK)
        return rc;
    w.Int(c::kIdentifier + 1, identifier);
    w.Uid(c::kUid + 1, item.GetId());
    w.Text(c::kName + 1, item.GetName());
    w.Text(c::kPayeeName + 1, item.GetPayee());
    rc = w.Run("%s\n\r");
    NoteInserted(db, Table::kPayeeLookupItems, rc, identifier, item.GetId());
    return rc;
}

int InsertScheduled(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CScheduledItem& item,
                    int identifier) {
    namespace c = scheduled;
    int rc =
        identifier == 0 ? NewIdentifier(db, Table::kScheduledTransactions, identifier) : SQLITE_OK;
    if (rc != SQLITE_OK)
        return rc;
    // The template row gets an id of its own: the item's id is its uid here.
    CTransaction copy(item.Template());
    copy.SetId(NewRecordId());
    copy.SetDate(item.GetStartDate());
    int templateRow = 0;
    rc = InsertTemplateTransaction(db, dateOffset, copy,
                                   RowOf(db, item.GetAccountId(), Table::kAccounts),
                                   transactions::kKindScheduledTemplate, &templateRow);
    if (rc != SQLITE_OK)
        return rc;
    RowWriter w(db, c::kColumnCount);
    rc = w.Prepare(sql::kInsertScheduled);
    if (rc != SQLITE_OK)
        return rc;
    w.Int(c::kIdentifier + 1, identifier);
    w.Uid(c::kUid + 1, item.Template().GetId());
    w.Date(c::kTemplateDate + 1, item.GetStartDate(), dateOffset);
    w.Date(c::kNextDueDate + 1, item.GetNextDue(), dateOffset);
    w.Int(c::kFrequency + 1, item.GetFrequency());
    w.Int(c::kRepeatCount + 1, item.GetRepeatCount());
    w.Int(c::kEnterMode + 1, item.GetEnterMode());
    w.Int(c::kDays + 1, item.GetDaysInAdvance());
    w.Int(c::kTemplateIdentifier + 1, templateRow);
    rc = w.Run("%s\n\r");
    NoteInserted(db, Table::kScheduledTransactions, rc, identifier, item.Template().GetId());
    return rc;
}

int InsertTransactionType(CSQLiteDBWrapper& db, const CTransactionType& type, int identifier) {
    namespace c = transaction_types;
    int rc = identifier == 0 ? NewIdentifier(db, Table::kTransactionTypes, identifier) : SQLITE_OK;
    if (rc != SQLITE_OK)
        return rc;
    RowWriter w(db, c::kColumnCount);
    rc = w.Prepare(sql::kInsertTransactionType);
    if (rc != SQLITE_OK)
        return rc;
    w.Int(c::kIdentifier + 1, identifier);
    w.Uid(c::kUid + 1, type.GetId());
    w.Text(c::kName + 1, type.GetName());
    w.Flag(c::kOutflow + 1, type.IsDebit());
    w.Flag(c::kNumbered + 1, type.IsNumbered());
    w.Flag(c::kBuiltIn + 1, identifier <= c::kLastBuiltInIdentifier);
    rc = w.Run("%s\n\r");
    NoteInserted(db, Table::kTransactionTypes, rc, identifier, type.GetId());
    return rc;
}

int InsertTransaction(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CTransaction& t,
                      int accountIdentifier, int identifier) {
    int rc = identifier == 0 ? NewIdentifier(db, Table::kTransactions, identifier) : SQLITE_OK;
    if (rc != SQLITE_OK)
        return rc;
    return WriteTransactionRow(db, dateOffset, t, accountIdentifier, identifier,
                               transactions::kKindRegister);
}

int InsertTemplateTransaction(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CTransaction& t,
                              int accountIdentifier, int kind, int* identifier) {
    int row = 0;
    int rc = NewIdentifier(db, Table::kTransactions, row);
    if (rc != SQLITE_OK)
        return rc;
    rc = WriteTransactionRow(db, dateOffset, t, accountIdentifier, row, kind);
    if (identifier != nullptr)
        *identifier = rc == SQLITE_OK ? row : 0;
    return rc;
}

int InsertSplits(CSQLiteDBWrapper& db, const CTransaction& t, int transactionIdentifier) {
    namespace c = splits;
    int rc = DeleteSplits(db, transactionIdentifier);
    if (rc != SQLITE_OK)
        return rc;
    int next = 0;
    rc = GetMaxIdentifier(db, Table::kSplits, next);
    if (rc != SQLITE_OK)
        return rc;
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        if (t.GetSplitCategoryId(line).IsNull() && t.GetSplitClassId(line).IsNull() &&
            t.GetSplitAmount(line) == 0)
            break;
        if (next >= INT32_MAX)
            return SQLITE_FULL;
        RowWriter w(db, c::kColumnCount);
        rc = w.Prepare(sql::kInsertSplit);
        if (rc != SQLITE_OK)
            return rc;
        w.Int(c::kIdentifier + 1, ++next);
        w.Amount(c::kAmount + 1, t.GetSplitAmount(line));
        w.Text(c::kMemo + 1, t.GetSplitMemo(line));
        w.Int(c::kLineIndex + 1, static_cast<std::int64_t>(line));
        w.Uid(c::kTransferUid + 1, t.GetSplitLinkedId(line));
        w.Int(c::kClassId + 1, RowOf(db, t.GetSplitClassId(line), Table::kClasses));
        w.Int(c::kCategoryId + 1, CategoryRow(db, t.GetSplitCategoryId(line)));
        w.Int(c::kTransactionId + 1, transactionIdentifier);
        rc = w.Run("%s\n\r");
        PassRow row;
        row.identifier = next;
        row.transactionId = transactionIdentifier;
        NoteInserted(db, Table::kSplits, rc, row);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

// --- Updates ------------------------------------------------------------

int UpdateTransaction(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CTransaction& t,
                      int accountIdentifier) {
    int identifier = 0;
    int rc = FindIdentifierByUid(db, t.GetId(), Table::kTransactions, identifier);
    if (rc != SQLITE_OK)
        return rc;
    if (identifier == 0)
        return SQLITE_NOTFOUND;
    // Old lines go first, so that an un-split transaction keeps none.
    rc = DeleteSplits(db, identifier);
    if (rc == SQLITE_OK && t.GetCategoryId() == SplitMarkerId)
        rc = InsertSplits(db, t, identifier);
    if (rc != SQLITE_OK)
        return rc;
    TransactionValues v = ResolveTransaction(db, t);
    // By row number where the pass knows the rows: the same row.
    const TableRows* rows = PassRows(db, Table::kTransactions);
    const PassRow* row = rows != nullptr ? rows->WithIdentifier(identifier) : nullptr;
    RowWriter w(db, row != nullptr ? 21 : 20);
    rc = row != nullptr ? w.Prepare(UpdateTransactionByRowNumber(rows->RowidName()))
                        : w.Prepare(FormatSql(sql::kUpdateTransaction, identifier), Reuse::kOnce);
    if (rc != SQLITE_OK)
        return rc;
    if (row != nullptr)
        w.Int(21, row->rowid);
    w.Amount(1, t.GetAmount());
    w.Text(2, t.GetMemo());
    w.Text(3, t.GetPayeeName());
    w.Date(4, t.GetDate(), dateOffset);
    w.Int(5, t.GetCheckNumber());
    w.Int(6, t.GetStatus() & kStatusMarked);
    w.Int(7, StatusToHandheld(t.GetStatus()));
    w.Amount(8, t.GetBaseAmount());
    w.Int(9, t.GetReviewState());
    w.Flag(10, v.splitTransfer);
    w.Int(11, v.splitTransfer ? t.GetSplitIndex() : 0);
    w.Uid(12, t.GetLinkedId());
    w.Text(13, t.GetOnlineId());
    w.Uid(14, t.GetPayeeLookupId());
    w.Uid(15, t.GetMatchId());
    w.Int(16, v.classRow);
    w.Int(17, v.categoryRow);
    w.Int(18, t.GetSourceCurrency());
    w.Int(19, v.typeRow);
    w.Int(20, accountIdentifier);
    rc = w.Run("%s\n\r");
    Trace("Transaction - NO.%d ACC.%d\n", identifier, accountIdentifier);
    return rc;
}

int UpdateCurrencyRate(CSQLiteDBWrapper& db, const CCurrencyItem& currency) {
    RowWriter w(db, 2);
    int rc = w.Prepare(sql::kUpdateCurrencyRate);
    if (rc != SQLITE_OK)
        return rc;
    w.Real(1, currency.GetRate());
    w.Int(2, currency.GetCurrencyId());
    return w.Run("%s\n\r");
}

int SetSetting(CSQLiteDBWrapper& db, std::string_view name, std::string_view value) {
    RowWriter w(db, 2);
    int rc = w.Prepare(sql::kUpdateSetting);
    if (rc != SQLITE_OK)
        return rc;
    w.Text(1, value);
    w.Text(2, name);
    return w.Run("%s\n\r");
}

// --- Replaces -----------------------------------------------------------

int ReplaceCategory(CSQLiteDBWrapper& db, const CCategoryItem& category) {
    int identifier = RowOf(db, category.GetId(), Table::kCategories);
    int rc = identifier != 0 ? DeleteRow(db, identifier, Table::kCategories) : SQLITE_OK;
    return rc | InsertCategory(db, category, identifier);
}

int ReplaceClass(CSQLiteDBWrapper& db, const CClassItem& item) {
    int identifier = RowOf(db, item.GetId(), Table::kClasses);
    int rc = identifier != 0 ? DeleteRow(db, identifier, Table::kClasses) : SQLITE_OK;
    return rc | InsertClass(db, item, identifier);
}

int ReplacePayee(CSQLiteDBWrapper& db, const CPayeeItem& payee) {
    int identifier = RowOf(db, payee.GetId(), Table::kPayees);
    int rc = SQLITE_OK;
    if (identifier != 0) {
        // The old memorised transaction would be left behind otherwise.
        int templateRow = IdentifierColumn(db, FormatSql(sql::kPayeeRow, identifier),
                                           payees::kTemplateIdentifier);
        rc |= DeleteTransactionRow(db, templateRow);
        rc |= DeleteRow(db, identifier, Table::kPayees);
    }
    return rc | InsertPayee(db, payee, identifier);
}

int ReplacePayeeLookup(CSQLiteDBWrapper& db, const CPayeeLookupItem& item) {
    int identifier = RowOf(db, item.GetId(), Table::kPayeeLookupItems);
    int rc = identifier != 0 ? DeleteRow(db, identifier, Table::kPayeeLookupItems) : SQLITE_OK;
    return rc | InsertPayeeLookup(db, item, identifier);
}

int ReplaceScheduled(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CScheduledItem& item) {
    int identifier = RowOfScheduled(db, item);
    int rc = SQLITE_OK;
    if (identifier != 0) {
        int templateRow = IdentifierColumn(db, FormatSql(sql::kScheduledRow, identifier),
                                           scheduled::kTemplateIdentifier);
        rc |= DeleteTransactionRow(db, templateRow);
        rc |= DeleteRow(db, identifier, Table::kScheduledTransactions);
    }
    return rc | InsertScheduled(db, dateOffset, item, identifier);
}

int ReplaceTransactionType(CSQLiteDBWrapper& db, const CTransactionType& type) {
    int identifier = RowOf(db, type.GetId(), Table::kTransactionTypes);
    int rc = identifier != 0 ? DeleteRow(db, identifier, Table::kTransactionTypes) : SQLITE_OK;
    return rc | InsertTransactionType(db, type, identifier);
}

int ReplaceAccount(CSQLiteDBWrapper& db, std::uint32_t dateOffset, const CAccount& account) {
    const AccountHeader& h = account.Header();
    int identifier = RowOf(db, h.GetId(), Table::kAccounts);
    int rc = SQLITE_OK;

    // The account's category row: the one its row names, else the "[name]"
    // row of its name on the handheld. It keeps its identifier and uid, so
    // transactions that refer to it follow the rename.
    int categoryRow = 0;
    if (identifier != 0) {
        rc |= FindAccountCategoryIdentifier(db, h.GetId(), categoryRow);
        if (categoryRow == 0) {
            std::string oldName;
            rc |= FindNameByUid(db, h.GetId(), Table::kAccounts, oldName);
            if (!oldName.empty())
                categoryRow = AccountCategoryRow(db, oldName);
        }
    }
    if (categoryRow == 0)
        categoryRow = AccountCategoryRow(db, h.GetName());
    RecordId categoryId;
    if (categoryRow != 0) {
        rc |= FindUidByIdentifier(db, categoryRow, Table::kCategories, categoryId);
        rc |= DeleteRow(db, categoryRow, Table::kCategories);
    }
    if (!IsMatchableUid(categoryId))
        categoryId = NewRecordId();
    if (categoryRow == 0)
        rc |= NewIdentifier(db, Table::kCategories, categoryRow);
    rc |= WriteAccountCategory(db, categoryId, h.GetName(), categoryRow);

    if (identifier != 0)
        rc |= DeleteRow(db, identifier, Table::kAccounts);
    return rc | InsertAccount(db, dateOffset, account, identifier);
}

int ReplaceCurrency(CSQLiteDBWrapper& db, const CCurrencyItem& currency) {
    return UpdateCurrencyRate(db, currency);
}

// --- Bulk statements ----------------------------------------------------

int ClearModified(CSQLiteDBWrapper& db, Table table, int identifier) {
    if (identifier != 0) {
        if (const TableRows* rows = PassRows(db, table)) {
            const PassRow* row = rows->WithIdentifier(identifier);
            return row == nullptr
                       ? SQLITE_OK
                       : RunOnRowNumber(db, kClearModifiedByRowNumber, table, *rows, row->rowid);
        }
    }
    RowWriter w(db, 0);
    int rc = identifier == 0
                 ? w.Prepare(FormatSql(sql::kClearModified, TableName(table)))
                 : w.Prepare(FormatSql(sql::kClearModifiedRow, TableName(table), identifier),
                             Reuse::kOnce);
    return rc != SQLITE_OK ? rc : w.Run("%s\n\r");
}

int MarkAllModified(CSQLiteDBWrapper& db, Table table) {
    RowWriter w(db, 0);
    int rc = w.Prepare(FormatSql(sql::kMarkAllModified, TableName(table)));
    return rc != SQLITE_OK ? rc : w.Run("%s\n\r");
}

namespace {
// After rows of TRANSACTIONS went: their split rows go too.
int DropOrphanSplits(CSQLiteDBWrapper& db, Table table, int rc) {
    // Rows went in bulk: the pass reads the table again when it needs it.
    ForgetPassRows(db, table);
    if (rc != SQLITE_OK || table != Table::kTransactions)
        return rc;
    ForgetPassRows(db, Table::kSplits);
    return ExecFormatted(db, sql::kDeleteOrphanSplits);
}
}  // namespace

int PurgeDeletedRows(CSQLiteDBWrapper& db, Table table) {
    RowWriter w(db, 0);
    int rc = w.Prepare(FormatSql(sql::kPurgeDeletedRows, TableName(table)));
    if (rc == SQLITE_OK)
        rc = w.Run("%s\n\r");
    return DropOrphanSplits(db, table, rc);
}

int DeleteAllRows(CSQLiteDBWrapper& db, Table table) {
    int rc = ExecFormatted(db, FormatSql(sql::kDeleteAllRows, TableName(table)));
    return DropOrphanSplits(db, table, rc);
}

int DeleteRegisterTransactions(CSQLiteDBWrapper& db) {
    int rc = ExecFormatted(db, sql::kDeleteRegisterTransactions);
    return DropOrphanSplits(db, Table::kTransactions, rc);
}

int DeleteModifiedRows(CSQLiteDBWrapper& db, Table table) {
    int rc = ExecFormatted(db, FormatSql(sql::kDeleteModifiedRows, TableName(table)));
    return DropOrphanSplits(db, table, rc);
}

int DeleteRow(CSQLiteDBWrapper& db, int identifier, Table table) {
    int rc = SQLITE_OK;
    if (table == Table::kTransactions)
        rc = DeleteSplits(db, identifier);
    if (TableRows* rows = PassRows(db, table)) {
        const PassRow* row = rows->WithIdentifier(identifier);
        if (row == nullptr)
            return rc;
        const std::int64_t rowid = row->rowid;
        int deleted = RunOnRowNumber(db, kDeleteByRowNumber, table, *rows, rowid);
        if (deleted == SQLITE_OK)
            rows->Erase(rowid);
        else
            ForgetPassRows(db, table);
        return rc | deleted;
    }
    return rc | ExecFormatted(db, FormatSql(sql::kDeleteRow, TableName(table), identifier));
}

int DeleteSplits(CSQLiteDBWrapper& db, int transactionIdentifier) {
    TableRows* rows = PassRows(db, Table::kSplits);
    if (rows == nullptr)
        return ExecFormatted(db, FormatSql(sql::kDeleteSplitsOfTransaction, transactionIdentifier));
    // Most transactions have none: then there is nothing to run.
    const std::vector<std::int64_t> rowids = rows->SplitRowsOf(transactionIdentifier);
    for (std::int64_t rowid : rowids) {
        int rc = RunOnRowNumber(db, kDeleteByRowNumber, Table::kSplits, *rows, rowid);
        if (rc != SQLITE_OK) {
            ForgetPassRows(db, Table::kSplits);
            return rc;
        }
        rows->Erase(rowid);
    }
    return SQLITE_OK;
}

}  // namespace tallowmere::handheld
