#pragma once
// Reports: the transactions of one account or of all accounts grouped by
// payee, category or class over a date range, in the home currency, with
// budgets, parent sub-totals, an "Other" row for small rows and the pie
// slices. Rows name their transactions by account and transaction id, so a
// reload of the data set never leaves them pointing at freed records.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/money.h"
#include "model/palm_time.h"
#include "model/record_id.h"

namespace tallowmere {

class CAccount;
class CAccounts;
class CChart;
class CTransaction;

// Group-by values (also the row kinds).
inline constexpr std::uint8_t kReportByPayee = 0;
inline constexpr std::uint8_t kReportByCategory = 1;
inline constexpr std::uint8_t kReportByClass = 2;

// Sign filter values.
inline constexpr std::uint8_t kReportAllAmounts = 0;
inline constexpr std::uint8_t kReportIncomeOnly = 1;
inline constexpr std::uint8_t kReportExpensesOnly = 2;

// Period kinds 0-8; kind 8 is the caller's own range.
inline constexpr std::uint8_t kReportLast30Days = 0;
inline constexpr std::uint8_t kReportLast90Days = 1;
inline constexpr std::uint8_t kReportLastMonth = 2;
inline constexpr std::uint8_t kReportLastQuarter = 3;
inline constexpr std::uint8_t kReportLastYear = 4;
inline constexpr std::uint8_t kReportThisMonth = 5;
inline constexpr std::uint8_t kReportThisQuarter = 6;
inline constexpr std::uint8_t kReportThisYear = 7;
inline constexpr std::uint8_t kReportCustomRange = 8;

// Sort keys of CReport::SortItems.
inline constexpr int kReportSortIcon = 20;
inline constexpr int kReportSortName = 21;
inline constexpr int kReportSortBudget = 22;
inline constexpr int kReportSortAmount = 23;
inline constexpr int kReportSortDifference = 24;

inline constexpr std::uint8_t kReportWholeTransaction = 0xFF;

// A transaction as a row remembers it: stable across reloads.
struct ReportTransactionRef {
    RecordId account;
    RecordId transaction;

    friend bool operator==(const ReportTransactionRef&, const ReportTransactionRef&) = default;
};

class CReportItem {
  public:
    // A row made by the first amount of a transaction (split line splitIndex,
    // or kReportWholeTransaction): its id, name and first transaction.
    CReportItem(int kind, const CAccounts& data, const RecordId& accountId, const CTransaction& t,
                std::uint8_t splitIndex, Cents amount);
    // An explicit row; the name is indented when there is a parent id.
    CReportItem(int kind, std::string_view name, std::string_view label, const RecordId& id,
                const RecordId& parentId, Cents amount);

    int GetKind() const { return kind_; }
    const std::string& GetName() const { return name_; }
    // The label when there is one, else the name.
    const std::string& GetLabel() const { return label_.empty() ? name_ : label_; }
    const RecordId& GetId() const { return id_; }
    const RecordId& GetParentId() const { return parentId_; }
    Cents GetAmount() const { return amount_; }
    const std::vector<ReportTransactionRef>& GetTransactions() const { return transactions_; }
    bool IsSubTotal() const { return subTotal_ != 0; }
    // The "<Unassigned>" and "Other" rows: no list item stands behind them.
    bool IsUnassigned() const { return unassigned_; }
    bool IsOther() const { return other_; }

  private:
    friend class CReport;

    // order: the transaction's place in the scan (see CReport::Compute).
    void Add(Cents amount, const ReportTransactionRef& ref, std::uint32_t order);
    void AddRef(const ReportTransactionRef& ref, std::uint32_t order);

    int kind_;
    std::string name_;
    std::string label_;
    RecordId id_;
    RecordId parentId_;
    Cents amount_ = 0;
    std::vector<ReportTransactionRef> transactions_;
    // While computing: each transaction's place in the scan, beside it in
    // transactions_, so that sub-totals see a transaction of two children
    // once without hashing its ids.
    std::vector<std::uint32_t> scanOrder_;
    // While computing: where the row stands in the row order (CReport::Key).
    int keyRank_ = 0;
    int keyIndex_ = 0;
    int subTotal_ = 0;
    bool unassigned_ = false;
    bool other_ = false;
    // What the row took in from the rows it summed or absorbed: their ids
    // (sub-totals, "Other") and their payee names ("Other").
    std::vector<RecordId> coveredIds_;
    std::vector<std::string> coveredNames_;
};

// The range of a period kind from today's date: the start at 00:00:00 and
// the end at 23:59:59 of their days. Kind 8 keeps the days it is given, and
// so does any unknown kind.
void ReportDateRange(int periodKind, PalmTime& start, PalmTime& end);

// The monthly budget over a period kind: x3 for quarters, x12 for years.
Cents ScaleBudgetToPeriod(int periodKind, Cents monthly);

class CReport {
  public:
    // The data set is not owned and must outlive the report.
    explicit CReport(CAccounts& data);
    ~CReport();
    CReport(const CReport&) = delete;
    CReport& operator=(const CReport&) = delete;

    // After a reload the report reads the new data set; the rows keep their
    // transaction references, which resolve in it.
    void SetData(CAccounts& data) { data_ = &data; }

    // The account to report on by its record id; none for every account.
    void SetAccountId(const RecordId& id) { accountId_ = id; }
    const RecordId& GetAccountId() const { return accountId_; }

    void SetBudgetMode(std::uint8_t on) { budgetMode_ = on; }
    std::uint8_t GetBudgetMode() const { return budgetMode_; }
    void SetGroupBy(std::uint8_t groupBy) { groupBy_ = groupBy; }
    std::uint8_t GetGroupBy() const { return groupBy_; }
    void SetPeriodKind(std::uint8_t kind) { periodKind_ = kind; }
    std::uint8_t GetPeriodKind() const { return periodKind_; }
    void SetRange(PalmTime start, PalmTime end) {
        start_ = start;
        end_ = end;
    }
    PalmTime GetStart() const { return start_; }
    PalmTime GetEnd() const { return end_; }
    void SetOtherBucket(std::uint8_t on) { otherBucket_ = on; }
    std::uint8_t GetOtherBucket() const { return otherBucket_; }
    void SetSignFilter(std::uint8_t filter) { signFilter_ = filter; }
    std::uint8_t GetSignFilter() const { return signFilter_; }
    void SetShowEmptyRows(int on) { showEmpty_ = on; }
    int GetShowEmptyRows() const { return showEmpty_; }

    Cents GetTotal() const { return total_; }
    Cents GetBudgetTotal() const { return budgetTotal_; }

    std::size_t GetItemCount() const { return rows_.size(); }
    // nullptr out of range.
    CReportItem* GetItem(std::size_t index) const;

    // Rebuilds every row over [start, end]. 0; -1 (no rows) when the report
    // is on all accounts and there are none, or its account is not in the
    // data set.
    int Compute();
    int Recompute() { return Compute(); }

    // Orders the rows by key 20-24 (stable); other keys leave them as they are.
    void SortItems(int key, bool ascending);

    // Fills the chart's slices from the rows; the number of slices.
    int BuildSlices(CChart& chart) const;

    // The row's monthly budget from the list of its kind, with scale the
    // budget over the period kind; 0 for rows without a list item behind them.
    Cents GetItemBudget(const CReportItem& row, bool scale) const;
    // Stores the budget in the row's list, which saves itself. The list's
    // result; -1 for a row without a list item behind it.
    int SetItemBudget(const CReportItem& row, Cents amount);

    // Whether the transaction (of the account with accountId) still belongs
    // to the row; when it no longer does, the row forgets it.
    bool IncludesTransaction(CReportItem& row, const RecordId& accountId, const CTransaction& t);

    // The transaction a row remembers, in the data set as it is now; nullptr
    // when it is gone.
    CTransaction* ResolveTransaction(const ReportTransactionRef& ref) const;

  private:
    struct Key;
    struct Scanned;
    static int CompareKeys(const Key& a, const Key& b, bool byName);

    void PrefillRows();
    // Gives every pre-filled row its key and maps its id to it.
    void IndexRows();
    // The id -> row map: open addressing in a power-of-two table.
    struct RowSlot {
        std::uint64_t key = 0;
        CReportItem* row = nullptr;  // null: a free slot
    };
    CReportItem* FindMappedRow(std::uint64_t key) const;
    // False when the key is mapped already.
    bool MapRow(std::uint64_t key, CReportItem* row);
    void AddTransaction(const Scanned& s, bool oneAccount);
    // Adds one signed-by-type amount under the key; the converted amount, or
    // 0 when the filter keeps it out.
    Cents AddAmount(const Scanned& s, std::uint8_t splitIndex, const RecordId& keyId,
                    Cents magnitude);
    Key KeyOf(const RecordId& id, std::string_view name) const;
    static Key KeyOfRow(const CReportItem& row);
    void AddSubTotals();
    void RemoveEmptyRows();
    void ApplySignFilter();
    void FoldSmallRows();
    bool RowMatches(const CReportItem& row, const CTransaction& t) const;
    bool MatchesId(const CReportItem& row, const RecordId& lineId) const;

    CAccounts* data_;
    std::vector<std::unique_ptr<CReportItem>> rows_;
    RecordId accountId_;
    std::uint8_t budgetMode_ = 0;
    std::uint8_t groupBy_ = 0;
    std::uint8_t periodKind_ = 0;
    PalmTime start_ = 0;
    PalmTime end_ = 0;
    std::uint8_t otherBucket_ = 0;
    std::uint8_t signFilter_ = 0;
    Cents total_ = 0;
    Cents budgetTotal_ = 0;
    int showEmpty_ = 1;
    // While computing: list positions of the live categories or classes,
    // and the row of each id, looked up once per amount; without a map (a
    // payee report, or an id on two rows) the rows are searched.
    std::unordered_map<std::uint64_t, int> order_;
    std::vector<RowSlot> rowSlots_;
    std::size_t mappedRows_ = 0;
    bool useRowMap_ = false;
    std::uint32_t scanned_ = 0;
};

}  // namespace tallowmere
