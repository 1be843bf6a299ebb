#include "sync/handheld_db.h"

#include <string>
#include <vector>

#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {

namespace {

struct TableNames {
    const char* upper;
    const char* mixed;
};

constexpr TableNames kTableNames[kTableCount] = {
    {"ACCOUNTS", "Accounts"},
    {"CATEGORIES", "Categories"},
    {"CLASSES", "Classes"},
    {"CURRENCIES", "Currencies"},
    {"PAYEES", "Payees"},
    {"PAYEE_LOOKUP_ITEMS", "Payee_Lookup_Items"},
    {"SCHEDULED_TRANSACTIONS", "Scheduled_transactions"},
    {"TRANSACTION_TYPES", "Transaction_types"},
    {"TRANSACTIONS", "Transactions"},
    {"SPLITS", "Splits"},
    {"SETTINGS", "SETTINGS"},
};

struct NamedColumn {
    int position;  // -1: anywhere in the table
    const char* name;
};

struct TableShape {
    Table table;
    int columns;
    bool exact;  // rows are inserted with one value per column
    std::vector<NamedColumn> named;
};

std::vector<TableShape> ExpectedShapes() {
    const std::vector<NamedColumn> keyed = {
        {0, "identifier"}, {1, "uid"}, {2, "name"}, {-1, "modified"}, {-1, "deleted"}};
    std::vector<NamedColumn> accountColumns = keyed;
    accountColumns.push_back({accounts::kCategoryId, "category_id"});
    const char* transactionNames[transactions::kColumnCount] = {
        "identifier",
        "uid",
        nullptr,
        "amount",
        "memo",
        "payee_name",
        "date",
        "specific",
        "pending_reconcile",
        "status",
        "base_amount",
        "accepted",
        "kind",
        "split_transfer",
        "split_transfer_index",
        "transfer_uid",
        "fit_id",
        "payee_lookup_item_uid",
        "match_uid",
        "transaction_class_id",
        "category_id",
        "original_currency_id",
        "type_id",
        "modified",
        "deleted",
        "account_id",
    };
    std::vector<NamedColumn> transactionColumns;
    for (int i = 0; i < transactions::kColumnCount; ++i) {
        if (transactionNames[i] != nullptr)
            transactionColumns.push_back({i, transactionNames[i]});
    }
    return {
        {Table::kAccounts, accounts::kColumnCount, true, accountColumns},
        {Table::kCategories, categories::kColumnCount, true, keyed},
        {Table::kClasses, classes::kColumnCount, true, keyed},
        {Table::kCurrencies,
         currencies::kMinColumns,
         false,
         {{currencies::kCurrencyId, "currency_id"},
          {currencies::kConversion, "conversion"},
          {-1, "modified"},
          {-1, "deleted"}}},
        {Table::kPayees, payees::kColumnCount, true, keyed},
        {Table::kPayeeLookupItems, payee_lookups::kColumnCount, true, keyed},
        {Table::kScheduledTransactions,
         scheduled::kColumnCount,
         true,
         {{0, "identifier"}, {1, "uid"}, {-1, "modified"}, {-1, "deleted"}}},
        {Table::kTransactionTypes, transaction_types::kColumnCount, true, keyed},
        {Table::kTransactions, transactions::kColumnCount, true, transactionColumns},
        {Table::kSplits,
         splits::kColumnCount,
         true,
         {{0, "identifier"}, {splits::kTransactionId, "transaction_id"}, {-1, "modified"}}},
        {Table::kSettings, 2, false, {{-1, "name"}, {-1, "value"}}},
    };
}

bool EqualsNoCaseAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// Finalizes on every way out.
class Statement {
  public:
    explicit Statement(CSQLiteDBWrapper& db) : db_(db) {}
    ~Statement() {
        if (statement_ != nullptr)
            db_.Finalize(statement_);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int Prepare(const char* sql) { return db_.Prepare(sql, -1, &statement_, nullptr); }
    sqlite3_stmt* get() const { return statement_; }

    std::string Text(int column) {
        const unsigned char* text = db_.ColumnText(statement_, column);
        if (text == nullptr)
            return {};
        int bytes = db_.ColumnBytes(statement_, column);
        return std::string(reinterpret_cast<const char*>(text),
                           static_cast<std::size_t>(bytes > 0 ? bytes : 0));
    }

  private:
    CSQLiteDBWrapper& db_;
    sqlite3_stmt* statement_ = nullptr;
};

int CheckTable(CSQLiteDBWrapper& db, const TableShape& shape) {
    const char* name = UpperTableName(shape.table);
    {
        Statement kind(db);
        int rc =
            kind.Prepare("SELECT type, sql FROM sqlite_master WHERE name = ?1 COLLATE NOCASE;");
        if (rc != SQLITE_OK)
            return rc;
        db.BindText(kind.get(), 1, name, -1, SQLITE_STATIC);
        rc = db.Step(kind.get());
        if (rc == SQLITE_DONE)
            return kSchemaMismatch;
        if (rc != SQLITE_ROW)
            return rc;
        if (kind.Text(0) != "table")
            return kSchemaMismatch;
        // A virtual table would run a module's code on every read.
        std::string create = kind.Text(1);
        if (!EqualsNoCaseAscii(std::string_view(create).substr(0, 12), "CREATE TABLE"))
            return kSchemaMismatch;
    }
    Statement info(db);
    int rc = info.Prepare("SELECT name FROM pragma_table_info(?1);");
    if (rc != SQLITE_OK)
        return rc;
    db.BindText(info.get(), 1, name, -1, SQLITE_STATIC);
    std::vector<std::string> columns;
    while ((rc = db.Step(info.get())) == SQLITE_ROW)
        columns.push_back(info.Text(0));
    if (rc != SQLITE_DONE)
        return rc;
    int count = static_cast<int>(columns.size());
    if (shape.exact ? count != shape.columns : count < shape.columns)
        return kSchemaMismatch;
    for (const NamedColumn& want : shape.named) {
        if (want.position >= 0) {
            if (!EqualsNoCaseAscii(columns[static_cast<std::size_t>(want.position)], want.name))
                return kSchemaMismatch;
            continue;
        }
        bool found = false;
        for (const std::string& column : columns)
            found = found || EqualsNoCaseAscii(column, want.name);
        if (!found)
            return kSchemaMismatch;
    }
    return SQLITE_OK;
}

}  // namespace

const char* UpperTableName(Table table) {
    return kTableNames[static_cast<int>(table)].upper;
}

const char* TableName(Table table) {
    return kTableNames[static_cast<int>(table)].mixed;
}

int CheckSchema(CSQLiteDBWrapper& db) {
    {
        // The handheld's schema has none; one would run its own statements
        // inside every write of the merge.
        Statement triggers(db);
        int rc = triggers.Prepare("SELECT 1 FROM sqlite_master WHERE type = 'trigger' LIMIT 1;");
        if (rc != SQLITE_OK)
            return rc;
        rc = db.Step(triggers.get());
        if (rc == SQLITE_ROW)
            return kSchemaMismatch;
        if (rc != SQLITE_DONE)
            return rc;
    }
    for (const TableShape& shape : ExpectedShapes()) {
        int rc = CheckTable(db, shape);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

}  // namespace tallowmere::handheld
