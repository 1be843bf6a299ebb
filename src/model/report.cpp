#include "model/report.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <utility>

#include "model/accounts.h"
#include "model/chart.h"
#include "model/string_table.h"
#include "platform/text_1252.h"

namespace tallowmere {
namespace {

constexpr int kUnassignedString = 222;
constexpr int kTotalString = 225;
constexpr PalmTime kThirtyDays = 2'592'000;
constexpr PalmTime kNinetyDays = 7'776'000;
constexpr char kIndent[] = "    ";

Cents AbsCents(Cents a) {
    return a < 0 ? SaturatingNegate(a) : a;
}

std::string TextOr(int id, std::string_view fallback) {
    std::string s = LoadString(id);
    return s.empty() ? std::string(fallback) : s;
}

// The eight bytes as one number, for hashing and comparing only.
std::uint64_t IdKey(const RecordId& id) {
    return std::bit_cast<std::uint64_t>(id.bytes);
}

int Sign(Cents v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// A split line takes part in a report when it has an amount or a category.
// Lines stand anywhere among the ten: an empty one ends nothing.
bool IsReportedSplitLine(Cents amount, const RecordId& category) {
    return amount != 0 || !category.IsNull();
}

bool IsReportedSplitLine(const CTransaction& t, std::size_t i) {
    return IsReportedSplitLine(t.GetSplitAmount(i), t.GetSplitCategoryId(i));
}

// Refs are compared for every amount; two 64-bit compares, not memcmp.
bool SameRef(const ReportTransactionRef& a, const ReportTransactionRef& b) {
    return IdKey(a.transaction) == IdKey(b.transaction) && IdKey(a.account) == IdKey(b.account);
}

// Fibonacci hashing into a power-of-two table: the top bits of the product,
// which every byte of the id reaches (fixed ids differ only in their last).
std::size_t SlotOf(std::uint64_t key, std::size_t tableSize) {
    const int bits = std::countr_zero(tableSize);
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> (64 - bits));
}

// The register holds its records through pointers, so the hardware cannot
// see the next one coming: the scan asks early for the first two cache lines
// (date, amount, category, status) of the record this many places ahead.
constexpr std::size_t kPrefetchAhead = 16;

void PrefetchRecord(const CTransaction* t) {
    const char* p = reinterpret_cast<const char*>(t);
    __builtin_prefetch(p);
    __builtin_prefetch(p + 64);
}

bool IsVoid(const CTransaction& t) {
    return (t.GetStatus() & kStatusMask) == kStatusVoid;
}

}  // namespace

// ---------------------------------------------------------------- rows

CReportItem::CReportItem(int kind, const CAccounts& data, const RecordId& accountId,
                         const CTransaction& t, std::uint8_t splitIndex, Cents amount)
    : kind_(kind), amount_(amount) {
    const bool line = splitIndex < kSplitLineCount;
    if (kind == kReportByPayee) {
        name_ = t.GetPayeeName();
    } else {
        if (kind == kReportByCategory)
            id_ = line ? t.GetSplitCategoryId(splitIndex) : t.GetCategoryId();
        else
            id_ = line ? t.GetSplitClassId(splitIndex) : t.GetClassId();
        if (data.IsAccountId(id_))
            name_ = data.GetTransferLabelById(id_);
        else if (kind == kReportByCategory)
            name_ = data.Categories().GetIndentedNameById(id_);
        else
            name_ = data.Classes().GetNameById(id_);
    }
    transactions_.push_back({accountId, t.GetId()});
}

CReportItem::CReportItem(int kind, std::string_view name, std::string_view label,
                         const RecordId& id, const RecordId& parentId, Cents amount)
    : kind_(kind), label_(label), id_(id), parentId_(parentId), amount_(amount) {
    if (!parentId.IsNull())
        name_ = kIndent;
    name_ += name;
}

void CReportItem::Add(Cents amount, const ReportTransactionRef& ref, std::uint32_t order) {
    amount_ = SaturatingAdd(amount_, amount);
    AddRef(ref, order);
}

void CReportItem::AddRef(const ReportTransactionRef& ref, std::uint32_t order) {
    // Two lines of one transaction in one row list it once; its lines come
    // one after the other, so only the last entry can repeat it.
    if (transactions_.empty() || !SameRef(transactions_.back(), ref)) {
        transactions_.push_back(ref);
        scanOrder_.push_back(order);
    }
}

// ---------------------------------------------------------------- periods

void ReportDateRange(int periodKind, PalmTime& start, PalmTime& end) {
    const PalmTime now = PalmTimeNow();
    DateFields first = DateFields::FromPalmTime(now);
    DateFields last = first;
    switch (periodKind) {
        case kReportLast30Days:
            start = now >= kThirtyDays ? now - kThirtyDays : 0;
            end = now;
            break;
        case kReportLast90Days:
            start = now >= kNinetyDays ? now - kNinetyDays : 0;
            end = now;
            break;
        case kReportLastMonth:
        case kReportThisMonth:
            first.day = 1;
            if (periodKind == kReportLastMonth)
                first.StepBackMonth();
            last = first;
            last.day = static_cast<std::int16_t>(DaysInMonth(first.month, first.year));
            start = first.ToPalmTime();
            end = last.ToPalmTime();
            break;
        case kReportLastQuarter:
            PreviousQuarterRange(first, last);
            start = first.ToPalmTime();
            end = last.ToPalmTime();
            break;
        case kReportThisQuarter:
            CurrentQuarterRange(first, last);
            start = first.ToPalmTime();
            end = last.ToPalmTime();
            break;
        case kReportLastYear:
        case kReportThisYear:
            if (periodKind == kReportLastYear)
                first.year = static_cast<std::int16_t>(first.year - 1);
            first.month = 1;
            first.day = 1;
            last = first;
            last.month = 12;
            last.day = 31;
            start = first.ToPalmTime();
            end = last.ToPalmTime();
            break;
        default:
            // A picked range: a picker's midnight end still takes in that
            // whole day.
            break;
    }
    start = PalmTimeDayBound(start, 1);
    end = PalmTimeDayBound(end, 2);
}

Cents ScaleBudgetToPeriod(int periodKind, Cents monthly) {
    constexpr Cents kMax = std::numeric_limits<Cents>::max();
    constexpr Cents kMin = std::numeric_limits<Cents>::min();
    Cents factor = 1;
    if (periodKind == kReportLastQuarter || periodKind == kReportThisQuarter)
        factor = 3;
    else if (periodKind == kReportLastYear || periodKind == kReportThisYear)
        factor = 12;
    if (monthly > kMax / factor)
        return kMax;
    if (monthly < kMin / factor)
        return kMin;
    return monthly * factor;
}

// ---------------------------------------------------------------- ordering

// Where a row or an amount's key stands in the row order. Categories: live
// ones in list order, then ids that name nothing (each its own row), then
// "<Unassigned>", then accounts. Classes: live ones in list order, then
// unknown ids, then "<Unassigned>". Payees: by name, ignoring case.
struct CReport::Key {
    int rank = 0;
    int index = 0;
    RecordId id;
    std::string_view name;
};

// The transaction the scan is at, with what the scan took once from its
// account.
struct CReport::Scanned {
    const CTransaction& t;
    ReportTransactionRef ref;
    double rate;  // into the home currency (ConvertAtRate)
    std::uint32_t order;
};

CReport::Key CReport::KeyOf(const RecordId& id, std::string_view name) const {
    Key k;
    k.id = id;
    k.name = name;
    if (groupBy_ == kReportByPayee)
        return k;
    if (id.IsNull()) {
        k.rank = 2;
        return k;
    }
    if (const auto it = order_.find(IdKey(id)); it != order_.end()) {
        k.rank = 0;
        k.index = it->second;
        return k;
    }
    k.rank = (groupBy_ == kReportByCategory && data_->IsAccountId(id)) ? 3 : 1;
    return k;
}

CReport::Key CReport::KeyOfRow(const CReportItem& row) {
    return {row.keyRank_, row.keyIndex_, row.GetId(), row.GetName()};
}

int CReport::CompareKeys(const Key& a, const Key& b, bool byName) {
    if (byName)
        return platform::CompareNoCase1252(a.name, b.name);
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    if (a.rank == 0 && a.index != b.index)
        return a.index < b.index ? -1 : 1;
    return RecordId::Compare(a.id, b.id);
}

// ---------------------------------------------------------------- the report

CReport::CReport(CAccounts& data) : data_(&data) {}

CReport::~CReport() = default;

CReportItem* CReport::GetItem(std::size_t index) const {
    return index < rows_.size() ? rows_[index].get() : nullptr;
}

void CReport::PrefillRows() {
    order_.clear();
    budgetTotal_ = 0;
    if (groupBy_ == kReportByPayee) {
        const CPayeesList& payees = data_->Payees();
        for (std::size_t i = 0, n = payees.GetCount(false); i < n; ++i) {
            if (const auto* p = dynamic_cast<const CPayeeItem*>(payees.GetAt(i, false)))
                budgetTotal_ = SaturatingAdd(budgetTotal_, p->GetBudgetAmount());
        }
        return;
    }
    if (groupBy_ == kReportByCategory) {
        const CCategoryList& list = data_->Categories();
        for (std::size_t i = 0, n = list.GetCount(false); i < n; ++i) {
            const auto* c = dynamic_cast<const CCategoryItem*>(list.GetAt(i, false));
            if (c == nullptr)
                continue;
            order_.emplace(IdKey(c->GetId()), static_cast<int>(i));
            rows_.push_back(std::make_unique<CReportItem>(kReportByCategory, c->NameView(),
                                                          c->GetFullName(list), c->GetId(),
                                                          c->GetParentId(), 0));
            budgetTotal_ = SaturatingAdd(budgetTotal_, c->GetBudget());
        }
    } else {
        const CClassList& list = data_->Classes();
        for (std::size_t i = 0, n = list.GetCount(false); i < n; ++i) {
            const auto* c = dynamic_cast<const CClassItem*>(list.GetAt(i, false));
            if (c == nullptr)
                continue;
            order_.emplace(IdKey(c->GetId()), static_cast<int>(i));
            rows_.push_back(std::make_unique<CReportItem>(kReportByClass, c->GetName(), "",
                                                          c->GetId(), kNoneId, 0));
            budgetTotal_ = SaturatingAdd(budgetTotal_, c->GetBudget());
        }
    }
    auto unassigned = std::make_unique<CReportItem>(
        groupBy_, TextOr(kUnassignedString, "<Unassigned>"), "", kNoneId, kNoneId, 0);
    unassigned->unassigned_ = true;
    rows_.push_back(std::move(unassigned));
}

CReportItem* CReport::FindMappedRow(std::uint64_t key) const {
    if (rowSlots_.empty())
        return nullptr;
    const std::size_t mask = rowSlots_.size() - 1;
    for (std::size_t i = SlotOf(key, rowSlots_.size());; i = (i + 1) & mask) {
        const RowSlot& slot = rowSlots_[i];
        if (slot.row == nullptr || slot.key == key)
            return slot.row;
    }
}

bool CReport::MapRow(std::uint64_t key, CReportItem* row) {
    // At most half full, so that probes stay short.
    if (2 * (mappedRows_ + 1) > rowSlots_.size()) {
        std::vector<RowSlot> old = std::move(rowSlots_);
        rowSlots_.assign(std::max<std::size_t>(64, 2 * old.size()), RowSlot{});
        mappedRows_ = 0;
        for (const RowSlot& slot : old) {
            if (slot.row != nullptr)
                MapRow(slot.key, slot.row);
        }
    }
    const std::size_t mask = rowSlots_.size() - 1;
    for (std::size_t i = SlotOf(key, rowSlots_.size());; i = (i + 1) & mask) {
        RowSlot& slot = rowSlots_[i];
        if (slot.row == nullptr) {
            slot = {key, row};
            ++mappedRows_;
            return true;
        }
        if (slot.key == key)
            return false;
    }
}

void CReport::IndexRows() {
    rowSlots_.clear();
    mappedRows_ = 0;
    useRowMap_ = groupBy_ != kReportByPayee;
    for (const auto& row : rows_) {
        const Key key = KeyOf(row->GetId(), row->GetName());
        row->keyRank_ = key.rank;
        row->keyIndex_ = key.index;
        // A list with an id twice leaves the rows out of key order; the
        // search then decides between them, as it always has.
        if (useRowMap_ && !MapRow(IdKey(row->GetId()), row.get()))
            useRowMap_ = false;
    }
}

int CReport::Compute() {
    rows_.clear();
    total_ = 0;
    if (budgetMode_ != 0) {
        otherBucket_ = 0;
        signFilter_ = 0;
    }

    std::vector<const CAccount*> accounts;
    const bool oneAccount = !accountId_.IsNull();
    if (oneAccount) {
        const CAccount* a = static_cast<const CAccounts&>(*data_).FindAccountById(accountId_);
        if (a == nullptr)
            return -1;
        accounts.push_back(a);
    } else {
        if (data_->GetAccountCount() == 0)
            return -1;
        for (std::size_t i = 0; i < data_->GetAccountCount(); ++i)
            accounts.push_back(data_->GetAccountAt(i));
    }

    PrefillRows();
    IndexRows();
    scanned_ = 0;
    for (const CAccount* account : accounts) {
        const RecordId accountId = account->Header().GetId();
        const double rate = data_->Currencies().GetRateToHome(account->Header().GetCurrencyId());
        const auto& transactions = account->Transactions();
        for (std::size_t n = 0; n < transactions.size(); ++n) {
            if (n + kPrefetchAhead < transactions.size())
                PrefetchRecord(transactions[n + kPrefetchAhead].get());
            const auto& t = transactions[n];
            if (IsVoid(*t) || !t->GetLinkedId().IsNull())
                continue;
            const PalmTime date = t->GetDate();
            if (date < start_ || date > end_)
                continue;
            AddTransaction({*t, {accountId, t->GetId()}, rate, scanned_++}, oneAccount);
        }
    }
    order_.clear();
    rowSlots_.clear();
    mappedRows_ = 0;

    if (groupBy_ == kReportByCategory && budgetMode_ == 0 && otherBucket_ == 0)
        AddSubTotals();
    for (const auto& row : rows_)
        std::vector<std::uint32_t>().swap(row->scanOrder_);
    if (showEmpty_ == 0)
        RemoveEmptyRows();
    if (signFilter_ != kReportAllAmounts)
        ApplySignFilter();
    if (otherBucket_ == 1 && !rows_.empty())
        FoldSmallRows();
    return 0;
}

void CReport::AddTransaction(const Scanned& s, bool oneAccount) {
    const CTransaction& t = s.t;
    if (groupBy_ != kReportByPayee && t.GetCategoryId() == SplitMarkerId) {
        // All ten lines are read before any is added, so that their reads
        // go out to memory together rather than one behind the other.
        const bool byCategory = groupBy_ == kReportByCategory;
        std::array<RecordId, kSplitLineCount> categories;
        std::array<RecordId, kSplitLineCount> classes;
        std::array<Cents, kSplitLineCount> amounts;
        for (std::size_t i = 0; i < kSplitLineCount; ++i) {
            categories[i] = t.GetSplitCategoryId(i);
            amounts[i] = t.GetSplitAmount(i);
            if (!byCategory)
                classes[i] = t.GetSplitClassId(i);
        }
        // Lines the filter skips still count as covered, so they never come
        // back through the remainder.
        Cents covered = 0;
        for (std::size_t i = 0; i < kSplitLineCount; ++i) {
            covered = SaturatingAdd(covered, amounts[i]);
            if (signFilter_ != kReportAllAmounts && oneAccount && data_->IsAccountId(categories[i]))
                continue;
            if (!IsReportedSplitLine(amounts[i], categories[i]))
                continue;
            AddAmount(s, static_cast<std::uint8_t>(i), byCategory ? categories[i] : classes[i],
                      amounts[i]);
        }
        // Worked out in the account's currency and converted once, so that
        // rounding the lines leaves no stray cent behind.
        const Cents remainder = SaturatingAdd(t.GetAmount(), SaturatingNegate(covered));
        if (remainder != 0)
            AddAmount(s, kReportWholeTransaction, kNoneId, remainder);
        total_ = SaturatingAdd(total_, ConvertAtRate(t.GetSignedAmount(), s.rate));
        return;
    }
    if (signFilter_ != kReportAllAmounts && !oneAccount && data_->IsAccountId(t.GetCategoryId()))
        return;
    RecordId key;
    if (groupBy_ == kReportByCategory)
        key = t.GetCategoryId();
    else if (groupBy_ == kReportByClass)
        key = t.GetClassId();
    total_ = SaturatingAdd(total_, AddAmount(s, kReportWholeTransaction, key, t.GetAmount()));
}

Cents CReport::AddAmount(const Scanned& s, std::uint8_t splitIndex, const RecordId& keyId,
                         Cents magnitude) {
    const CTransaction& t = s.t;
    const Cents signedAmount = t.IsOutflow() ? SaturatingNegate(magnitude) : magnitude;
    const Cents amount = ConvertAtRate(signedAmount, s.rate);
    if (signFilter_ == kReportExpensesOnly && amount >= 0)
        return 0;
    if (signFilter_ == kReportIncomeOnly && amount <= 0)
        return 0;

    if (useRowMap_) {
        if (CReportItem* row = FindMappedRow(IdKey(keyId))) {
            row->Add(amount, s.ref, s.order);
            return amount;
        }
    }
    const std::string payee = groupBy_ == kReportByPayee ? t.GetPayeeName() : std::string();
    const Key key = KeyOf(keyId, payee);
    const bool byName = groupBy_ == kReportByPayee;
    std::size_t lo = 0;
    std::size_t hi = rows_.size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        const int c = CompareKeys(KeyOfRow(*rows_[mid]), key, byName);
        if (c == 0) {
            rows_[mid]->Add(amount, s.ref, s.order);
            return amount;
        }
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    auto row =
        std::make_unique<CReportItem>(groupBy_, *data_, s.ref.account, t, splitIndex, amount);
    row->scanOrder_.push_back(s.order);
    row->keyRank_ = key.rank;
    row->keyIndex_ = key.index;
    // A split's remainder is filed under none, not under the split marker.
    if (splitIndex == kReportWholeTransaction && groupBy_ != kReportByPayee)
        row->id_ = keyId;
    if (useRowMap_)
        MapRow(IdKey(keyId), row.get());
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(lo), std::move(row));
    return amount;
}

void CReport::AddSubTotals() {
    const CCategoryList& list = data_->Categories();
    const std::string format = TextOr(kTotalString, "Total %s");
    std::vector<std::uint32_t> stamps(scanned_, 0);
    std::uint32_t stampValue = 0;
    std::size_t i = 0;
    while (i < rows_.size()) {
        const CReportItem& parent = *rows_[i];
        if (parent.GetId().IsNull() || !list.HasChildren(parent.GetId())) {
            ++i;
            continue;
        }
        std::string parentName = parent.GetName();
        auto total = std::make_unique<CReportItem>(
            kReportByCategory, FormatText(format, {parentName}), "", kNoneId, parent.GetId(), 0);
        total->subTotal_ = 1;
        // A split with lines under two children is listed once, where it
        // is first seen: each transaction is stamped with the number of
        // the sub-total that took it.
        ++stampValue;
        std::size_t j = i;
        do {
            const CReportItem& r = *rows_[j];
            total->amount_ = SaturatingAdd(total->amount_, r.GetAmount());
            total->coveredIds_.push_back(r.GetId());
            for (std::size_t k = 0; k < r.transactions_.size(); ++k) {
                std::uint32_t& stamp = stamps[r.scanOrder_[k]];
                if (stamp != stampValue) {
                    stamp = stampValue;
                    total->transactions_.push_back(r.transactions_[k]);
                }
            }
            ++j;
        } while (j < rows_.size() && !rows_[j]->GetParentId().IsNull());
        rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(j), std::move(total));
        i = j + 1;
    }
}

void CReport::RemoveEmptyRows() {
    for (std::size_t k = rows_.size(); k-- > 0;) {
        const CReportItem& row = *rows_[k];
        if (row.GetAmount() != 0)
            continue;
        if (budgetMode_ != 0 && GetItemBudget(row, false) != 0)
            continue;
        if (row.GetParentId().IsNull() && k + 1 < rows_.size()) {
            const CReportItem& next = *rows_[k + 1];
            if (!next.IsSubTotal() && next.GetParentId() == row.GetId())
                continue;
        }
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(k));
    }
}

void CReport::ApplySignFilter() {
    total_ = 0;
    for (std::size_t k = rows_.size(); k-- > 0;) {
        const CReportItem& row = *rows_[k];
        if (row.IsSubTotal())
            continue;
        const Cents a = row.GetAmount();
        if ((signFilter_ == kReportIncomeOnly && a >= 0) ||
            (signFilter_ == kReportExpensesOnly && a <= 0)) {
            total_ = SaturatingAdd(total_, a);
        } else {
            rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(k));
        }
    }
}

void CReport::FoldSmallRows() {
    const double share = std::fabs(static_cast<double>(total_) * 0.005);
    const Cents threshold = static_cast<Cents>(
        std::min(share, static_cast<double>(std::numeric_limits<Cents>::max() / 2)));
    auto other = std::make_unique<CReportItem>(groupBy_, "Other", "", kNoneId, kNoneId, 0);
    other->other_ = true;
    for (std::size_t k = rows_.size(); k-- > 0;) {
        CReportItem& row = *rows_[k];
        if (AbsCents(row.GetAmount()) >= threshold)
            continue;
        other->amount_ = SaturatingAdd(other->amount_, row.GetAmount());
        other->transactions_.insert(other->transactions_.end(), row.transactions_.begin(),
                                    row.transactions_.end());
        if (groupBy_ == kReportByPayee)
            other->coveredNames_.push_back(row.GetName());
        else
            other->coveredIds_.push_back(row.GetId());
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(k));
    }
    rows_.push_back(std::move(other));
}

void CReport::SortItems(int key, bool ascending) {
    if (groupBy_ == kReportByCategory && key == kReportSortName) {
        Compute();
        if (!ascending)
            std::reverse(rows_.begin(), rows_.end());
        return;
    }
    if (key < kReportSortIcon || key > kReportSortDifference)
        return;
    const auto icon = [this](const CReportItem& r) {
        return (static_cast<int>(data_->GetIconForId(r.GetId())) - 1) & 0x11;
    };
    const auto compare = [&](const CReportItem& a, const CReportItem& b) {
        switch (key) {
            case kReportSortIcon:
                return Sign(icon(b) - icon(a));
            case kReportSortName:
                return platform::CompareNoCase1252(a.GetName(), b.GetName());
            case kReportSortBudget:
                return Sign(SaturatingAdd(GetItemBudget(a, true),
                                          SaturatingNegate(GetItemBudget(b, true))));
            case kReportSortAmount:
                return a.GetAmount() < b.GetAmount() ? -1 : (a.GetAmount() > b.GetAmount() ? 1 : 0);
            default: {
                const Cents da =
                    SaturatingAdd(a.GetAmount(), SaturatingNegate(GetItemBudget(a, true)));
                const Cents db =
                    SaturatingAdd(b.GetAmount(), SaturatingNegate(GetItemBudget(b, true)));
                return da < db ? -1 : (da > db ? 1 : 0);
            }
        }
    };
    const int direction = ascending ? 1 : -1;
    std::stable_sort(
        rows_.begin(), rows_.end(),
        [&](const std::unique_ptr<CReportItem>& a, const std::unique_ptr<CReportItem>& b) {
            return compare(*a, *b) * direction < 0;
        });
}

int CReport::BuildSlices(CChart& chart) const {
    std::vector<ChartRow> rows;
    rows.reserve(rows_.size());
    for (const auto& r : rows_)
        rows.push_back({r->GetAmount(), r->GetLabel(), r.get()});
    const std::string symbol = data_->GetHomeCurrencySymbol();
    return chart.BuildSlices(rows, symbol);
}

// ---------------------------------------------------------------- budgets

Cents CReport::GetItemBudget(const CReportItem& row, bool scale) const {
    if (row.IsSubTotal() || row.IsOther() || row.IsUnassigned())
        return 0;
    Cents budget = 0;
    switch (row.GetKind()) {
        case kReportByPayee:
            budget = data_->Payees().GetBudgetAmount(row.GetName());
            break;
        case kReportByCategory:
            if (row.GetId() != SplitMarkerId)
                budget = data_->Categories().GetBudgetAmount(row.GetId());
            break;
        case kReportByClass:
            budget = data_->Classes().GetAmountById(row.GetId());
            break;
        default:
            break;
    }
    return scale ? ScaleBudgetToPeriod(periodKind_, budget) : budget;
}

int CReport::SetItemBudget(const CReportItem& row, Cents amount) {
    if (row.IsSubTotal() || row.IsOther() || row.IsUnassigned())
        return -1;
    switch (row.GetKind()) {
        case kReportByPayee:
            return data_->Payees().SetBudgetAmount(row.GetName(), amount);
        case kReportByCategory:
            if (row.GetId().IsNull() || row.GetId() == SplitMarkerId ||
                data_->Categories().FindById(row.GetId()) == nullptr)
                return -1;
            return data_->Categories().SetBudgetAmount(row.GetId(), amount);
        case kReportByClass:
            if (data_->Classes().FindClass(row.GetId()) == nullptr)
                return -1;
            return data_->Classes().SetAmountById(row.GetId(), amount);
        default:
            return -1;
    }
}

// ---------------------------------------------------------------- membership

bool CReport::MatchesId(const CReportItem& row, const RecordId& lineId) const {
    if (row.IsSubTotal() || row.IsOther())
        return std::find(row.coveredIds_.begin(), row.coveredIds_.end(), lineId) !=
               row.coveredIds_.end();
    return row.GetId() == lineId;
}

bool CReport::RowMatches(const CReportItem& row, const CTransaction& t) const {
    if (row.GetKind() == kReportByPayee) {
        const std::string payee = t.GetPayeeName();
        if (row.IsOther()) {
            for (const std::string& name : row.coveredNames_) {
                if (platform::CompareNoCase1252(name, payee) == 0)
                    return true;
            }
            return false;
        }
        return platform::CompareNoCase1252(row.GetName(), payee) == 0;
    }
    const bool byCategory = row.GetKind() == kReportByCategory;
    if (t.GetCategoryId() != SplitMarkerId)
        return MatchesId(row, byCategory ? t.GetCategoryId() : t.GetClassId());
    Cents covered = 0;
    for (std::size_t i = 0; i < kSplitLineCount; ++i) {
        covered = SaturatingAdd(covered, t.GetSplitAmount(i));
        if (IsReportedSplitLine(t, i) &&
            MatchesId(row, byCategory ? t.GetSplitCategoryId(i) : t.GetSplitClassId(i)))
            return true;
    }
    // The uncovered rest of a split is filed under none.
    return covered != t.GetAmount() && MatchesId(row, kNoneId);
}

bool CReport::IncludesTransaction(CReportItem& row, const RecordId& accountId,
                                  const CTransaction& t) {
    const PalmTime date = t.GetDate();
    if (date >= start_ && date <= end_ && RowMatches(row, t))
        return true;
    const ReportTransactionRef ref{accountId, t.GetId()};
    auto& list = row.transactions_;
    list.erase(std::remove(list.begin(), list.end(), ref), list.end());
    return false;
}

CTransaction* CReport::ResolveTransaction(const ReportTransactionRef& ref) const {
    CAccount* account = data_->FindAccountById(ref.account);
    return account == nullptr ? nullptr : account->FindTransactionById(ref.transaction);
}

}  // namespace tallowmere
