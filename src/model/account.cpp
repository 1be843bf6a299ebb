#include "model/account.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <vector>

#include "model/string_table.h"
#include "model/transaction_type.h"
#include "platform/file_ops.h"
#include "platform/named_mutex.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere {
namespace {

constexpr int kStringReconcileAdjustment = 240;

// Balances are sums of amounts the user typed or a file held; they wrap
// rather than overflow, so adding and taking away again always cancels.
Cents Add(Cents a, Cents b) {
    return static_cast<Cents>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}
Cents Sub(Cents a, Cents b) {
    return static_cast<Cents>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}
Cents Negate(Cents v) {
    return Sub(0, v);
}

bool IsVoid(const CTransaction& t) {
    return t.GetStatus() >= kStatusVoid;
}

bool IsClearedOrReconciled(const CTransaction& t) {
    return t.GetStatus() >= kStatusCleared && t.GetStatus() < kStatusVoid;
}

Cents SignedSplitAmount(const CTransaction& t, std::size_t line) {
    const Cents a = t.GetSplitAmount(line);
    return t.IsOutflow() ? Negate(a) : a;
}

bool IsUsableRate(double rate) {
    return std::isfinite(rate) && rate > 0;
}

// Half away from zero, clamped to the range of Cents.
Cents RoundToCents(double v) {
    const double r = std::round(v);
    if (r >= 9223372036854775808.0)
        return std::numeric_limits<Cents>::max();
    if (r < -9223372036854775808.0)
        return std::numeric_limits<Cents>::min();
    return static_cast<Cents>(r);
}

void AddChangeBit(AccountHeader& h, std::uint32_t bit) {
    h.SetChangeFlags(h.GetChangeFlags() | bit);
}

}  // namespace

CAccount::CAccount(MOwner* owner) : owner_(owner) {}

void CAccount::ResetHeader() {
    CAccountRoot::ResetHeader();
    autoAdjust_ = false;
    newDownloads_ = 0;
    // A load comes through here: its order and balances are checked on use.
    orderKnown_ = false;
    balancesKnown_ = false;
}

CAccount* CAccount::AccountById(const RecordId& id) const {
    return owner_ ? owner_->FindAccountById(id) : nullptr;
}

CAccount* CAccount::TransferTarget(const RecordId& category) const {
    if (category.IsNull() || category == SplitMarkerId)
        return nullptr;
    return AccountById(category);
}

// ---------------------------------------------------------------- order

namespace {

// The sort keys of one sort, placement or comparison. Category and class
// texts come from the owner once per id, so a sort asks for each text once
// instead of once per row, and the keys view them here.
class SortKeyMaker {
  public:
    SortKeyMaker(const CAccount::MOwner* owner, int mode)
        : owner_(owner),
          categories_(owner && SortModeUsesCategory(mode)),
          classes_(owner && SortModeUsesClass(mode)) {}

    TransactionSortKey KeyOf(const CTransaction& t) {
        TransactionSortKey key = MakeSortKey(t);
        if (categories_ && !key.category.IsNull() && key.category != SplitMarkerId)
            key.categoryText = Text(categoryTexts_, key.category, true);
        if (classes_ && !key.classId.IsNull())
            key.classText = Text(classTexts_, key.classId, false);
        return key;
    }

  private:
    using Texts = std::unordered_map<std::uint64_t, std::string>;

    // Nodes stay where they are, so the views outlive later insertions.
    std::string_view Text(Texts& texts, const RecordId& id, bool category) {
        std::uint64_t k = 0;
        for (std::uint8_t b : id.bytes)
            k = (k << 8) | b;
        auto it = texts.find(k);
        if (it == texts.end()) {
            it = texts
                     .emplace(k, category ? owner_->GetCategoryDisplayText(id)
                                          : owner_->GetClassNameById(id))
                     .first;
        }
        return it->second;
    }

    const CAccount::MOwner* owner_;
    bool categories_;
    bool classes_;
    Texts categoryTexts_;
    Texts classTexts_;
};

// A pass over the rows in register order meets each record cold, and after
// a sort by another key the records lie anywhere in memory; asking for a
// later row's fields early lets those misses overlap.
constexpr std::size_t kPrefetchAhead = 8;

void PrefetchRow(const TransactionArray& list, std::size_t i) {
    if (i >= list.size())
        return;
    const auto* p = reinterpret_cast<const char*>(list[i]->HeadBytes());
    // The fields the keys read lie in the record's first bytes.
    __builtin_prefetch(p);
    __builtin_prefetch(p + 64);
    __builtin_prefetch(p + 128);
}

// Where t stands in list; list.size() when it is not there.
std::size_t IndexOfRow(const TransactionArray& list, const CTransaction& t) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].get() == &t)
            return i;
    }
    return list.size();
}

}  // namespace

int CAccount::CompareTransactions(const CTransaction& a, const CTransaction& b) const {
    SortKeyMaker keys(owner_, GetSortMode());
    const TransactionSortKey ka = keys.KeyOf(a);
    return CompareForSort(ka, keys.KeyOf(b), GetSortMode(), GetSortAscending());
}

std::size_t CAccount::InsertSorted(std::unique_ptr<CTransaction> t) {
    TransactionArray& list = Transactions();
    const int mode = GetSortMode();
    const bool ascending = GetSortAscending();
    SortKeyMaker keys(owner_, mode);
    const TransactionSortKey key = keys.KeyOf(*t);
    std::size_t lo = 0;
    std::size_t hi = list.size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (CompareForSort(key, keys.KeyOf(*list[mid]), mode, ascending) < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(lo), std::move(t));
    return lo;
}

void CAccount::SortTransactions() {
    TransactionArray& list = Transactions();
    const int mode = GetSortMode();
    const bool ascending = GetSortAscending();
    // Keys are taken once; the sort then moves positions, not records.
    SortKeyMaker maker(owner_, mode);
    std::vector<TransactionSortKey> keys;
    keys.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        PrefetchRow(list, i + kPrefetchAhead);
        keys.push_back(maker.KeyOf(*list[i]));
    }
    std::vector<std::size_t> order(list.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    // The same order as inserting one by one, in n log n.
    StableMergeSort(order, [&](std::size_t a, std::size_t b) {
        return CompareForSort(keys[a], keys[b], mode, ascending);
    });
    TransactionArray sorted;
    sorted.reserve(list.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(list[i]));
    list = std::move(sorted);
    NoteOrder();
}

int CAccount::ResortTransactions() {
    SortTransactions();
    return Save();
}

int CAccount::SaveEdit() {
    if (saveHolds_ > 0) {
        savePending_ = true;
        return 0;
    }
    return Save();
}

int CAccount::ReleaseSaves() {
    if (saveHolds_ > 0 && --saveHolds_ > 0)
        return 0;
    if (!savePending_)
        return 0;
    savePending_ = false;
    return Save();
}

bool CAccount::IsInOrder() const {
    return IsInOrderExcept(Transactions().size());
}

bool CAccount::IsInOrderExcept(std::size_t skip) const {
    const TransactionArray& list = Transactions();
    const int mode = GetSortMode();
    const bool ascending = GetSortAscending();
    SortKeyMaker maker(owner_, mode);
    TransactionSortKey previous;
    bool first = true;
    for (std::size_t i = 0; i < list.size(); ++i) {
        PrefetchRow(list, i + kPrefetchAhead);
        if (i == skip)
            continue;
        TransactionSortKey key = maker.KeyOf(*list[i]);
        if (!first && CompareForSort(previous, key, mode, ascending) > 0)
            return false;
        previous = key;
        first = false;
    }
    return true;
}

bool CAccount::OrderKnown() const {
    return orderKnown_ && orderMode_ == GetSortMode() && orderAscending_ == GetSortAscending();
}

void CAccount::NoteOrder() {
    orderKnown_ = true;
    orderMode_ = GetSortMode();
    orderAscending_ = GetSortAscending();
}

void CAccount::PlaceRow(std::size_t index) {
    TransactionArray& list = Transactions();
    if (index >= list.size())
        return;
    if (!OrderKnown()) {
        // Loaded, or sorted by another mode: the first edit finds out once.
        if (!IsInOrderExcept(index)) {
            SortTransactions();
            return;
        }
        NoteOrder();
    }
    const int mode = GetSortMode();
    const bool ascending = GetSortAscending();
    SortKeyMaker keys(owner_, mode);
    const TransactionSortKey key = keys.KeyOf(*list[index]);
    // Binary search over the other rows, numbered as if the row were out:
    // those numbered below index were before it, the others after it.
    std::size_t lo = 0;
    std::size_t hi = list.size() - 1;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        const std::size_t at = mid < index ? mid : mid + 1;
        const int c = CompareForSort(key, keys.KeyOf(*list[at]), mode, ascending);
        if (c < 0 || (c == 0 && mid >= index))
            hi = mid;
        else
            lo = mid + 1;
    }
    const auto begin = list.begin();
    const auto from = static_cast<std::ptrdiff_t>(index);
    const auto to = static_cast<std::ptrdiff_t>(lo);
    if (to < from)
        std::rotate(begin + to, begin + from, begin + from + 1);
    else if (to > from)
        std::rotate(begin + from, begin + from + 1, begin + to + 1);
}

// ---------------------------------------------------------------- balances

void CAccount::RecalcBalances() {
    AccountHeader& h = Header();
    Cents current = h.GetOpeningBalance();
    Cents cleared = current;
    for (const auto& t : Transactions()) {
        if (IsVoid(*t))
            continue;
        current = Add(current, t->GetSignedAmount());
        if (IsClearedOrReconciled(*t))
            cleared = Add(cleared, t->GetSignedAmount());
    }
    h.SetCurrentBalance(current);
    h.SetClearedBalance(cleared);
    NoteBalances();
}

CAccount::BalanceShare CAccount::ShareOf(const CTransaction& t) {
    BalanceShare share;
    if (IsVoid(t))
        return share;
    share.current = t.GetSignedAmount();
    if (IsClearedOrReconciled(t))
        share.cleared = share.current;
    return share;
}

bool CAccount::BalancesInStep() const {
    const AccountHeader& h = Header();
    return balancesKnown_ && h.GetOpeningBalance() == knownOpening_ &&
           h.GetCurrentBalance() == knownCurrent_ && h.GetClearedBalance() == knownCleared_;
}

void CAccount::NoteBalances() {
    const AccountHeader& h = Header();
    balancesKnown_ = true;
    knownOpening_ = h.GetOpeningBalance();
    knownCurrent_ = h.GetCurrentBalance();
    knownCleared_ = h.GetClearedBalance();
}

void CAccount::MoveBalances(const BalanceShare& removed, const BalanceShare& added) {
    // Wrapping sums: taking a share away and adding the new one gives what
    // recomputing would, as long as nothing else touched the header.
    if (!BalancesInStep()) {
        RecalcBalances();
        return;
    }
    AccountHeader& h = Header();
    h.SetCurrentBalance(Add(Sub(h.GetCurrentBalance(), removed.current), added.current));
    h.SetClearedBalance(Add(Sub(h.GetClearedBalance(), removed.cleared), added.cleared));
    NoteBalances();
}

Cents CAccount::GetBalance(int kind) const {
    if (kind == 0)
        return Header().GetCurrentBalance();
    if (kind == 1)
        return GetFilteredBalance(3);
    return GetOnlineBalance();
}

Cents CAccount::GetBalanceExcludingTransfers(int kind) const {
    if (kind != 0)
        return GetBalance(kind);
    // Both sides of a transfer leave it out: the linked side whole, a split
    // parent the lines that have a mirror.
    Cents sum = Header().GetOpeningBalance();
    for (const auto& t : Transactions()) {
        if (IsVoid(*t) || !t->GetLinkedId().IsNull())
            continue;
        sum = Add(sum, t->GetSignedAmount());
        if (t->GetCategoryId() != SplitMarkerId)
            continue;
        for (std::size_t line = 0; line < kSplitLineCount; ++line) {
            if (!t->GetSplitLinkedId(line).IsNull())
                sum = Sub(sum, SignedSplitAmount(*t, line));
        }
    }
    return sum;
}

Cents CAccount::GetFilteredBalance(int filter) const {
    if (filter == 0)
        return Header().GetCurrentBalance();
    Cents sum = (filter == 1 || filter == 3) ? Header().GetOpeningBalance() : 0;
    for (const auto& t : Transactions()) {
        if (!IsVoid(*t) && t->MatchesStatus(filter))
            sum = Add(sum, t->GetSignedAmount());
    }
    return sum;
}

Cents CAccount::GetRunningBalance(int filter, int n) const {
    if (n < 0)
        return 0;
    Cents sum = (filter == 0 || filter == 1 || filter == 3) ? Header().GetOpeningBalance() : 0;
    std::vector<const CTransaction*> rows;
    for (const auto& t : Transactions()) {
        if (t->MatchesStatus(filter))
            rows.push_back(t.get());
    }
    const auto add = [&](const CTransaction* t) {
        if (!IsVoid(*t))
            sum = Add(sum, t->GetSignedAmount());
    };
    const std::size_t row = static_cast<std::size_t>(n);
    if (GetSortAscending()) {
        for (std::size_t i = 0; i < rows.size() && i <= row; ++i)
            add(rows[i]);
    } else {
        // Newest on top: a row's balance sums from the bottom row up to it.
        for (std::size_t i = rows.size(); i-- > 0 && i >= row;)
            add(rows[i]);
    }
    return sum;
}

int CAccount::SetBalance(int kind, Cents value) {
    if (kind != 0 && kind != 1)
        return 0;
    AccountHeader& h = Header();
    const Cents diff = Sub(value, kind == 0 ? h.GetCurrentBalance() : h.GetClearedBalance());
    h.SetOpeningBalance(Add(h.GetOpeningBalance(), diff));
    h.SetCurrentBalance(Add(h.GetCurrentBalance(), diff));
    h.SetClearedBalance(Add(h.GetClearedBalance(), diff));
    return Save();
}

// ---------------------------------------------------------------- access

int CAccount::CountTransactions(int filter) const {
    int n = 0;
    for (const auto& t : Transactions()) {
        if (t->MatchesStatus(filter))
            ++n;
    }
    return n;
}

CTransaction* CAccount::GetTransactionAt(int filter, int n) const {
    if (n < 0)
        return nullptr;
    for (const auto& t : Transactions()) {
        if (t->MatchesStatus(filter) && n-- == 0)
            return t.get();
    }
    return nullptr;
}

int CAccount::IndexOfTransactionId(int filter, const RecordId& id) const {
    int n = 0;
    for (const auto& t : Transactions()) {
        if (!t->MatchesStatus(filter))
            continue;
        if (t->GetId() == id)
            return n;
        ++n;
    }
    return -1;
}

CTransaction* CAccount::FindTransactionById(const RecordId& id) const {
    for (const auto& t : Transactions()) {
        if (t->GetId() == id)
            return t.get();
    }
    return nullptr;
}

// ---------------------------------------------------------------- editing

int CAccount::AddTransaction(std::unique_ptr<CTransaction> t) {
    if (!t)
        return -1;
    // Added to what the header holds, whatever that is.
    const bool inStep = BalancesInStep();
    const BalanceShare share = ShareOf(*t);
    AccountHeader& h = Header();
    h.SetCurrentBalance(Add(h.GetCurrentBalance(), share.current));
    h.SetClearedBalance(Add(h.GetClearedBalance(), share.cleared));
    if (inStep)
        NoteBalances();
    else
        balancesKnown_ = false;
    InsertSorted(std::move(t));
    return 0;
}

int CAccount::AddTransactionWithTransfer(std::unique_ptr<CTransaction> t) {
    if (!t)
        return -1;
    const RecordId category = t->GetCategoryId();
    if (category == SplitMarkerId) {
        const int r = UpdateSplitTransfers(*t);
        if (r != 0)
            return r;
    } else if (CAccount* target = TransferTarget(category)) {
        const int r = target->CreateTransferMirror(*this, *t, kNoSplitIndex);
        if (r != 0)
            return r;
    }
    return AddTransaction(std::move(t));
}

int CAccount::CreateTransferMirror(CAccount& source, CTransaction& s, std::uint8_t splitIndex) {
    const bool whole = splitIndex == kNoSplitIndex;
    if (!whole && splitIndex >= kSplitLineCount)
        return -1;
    std::unique_ptr<CTransaction> m;
    try {
        m = std::make_unique<CTransaction>();
    } catch (const std::bad_alloc&) {
        return 8;
    }
    m->SetDate(s.GetDate());
    m->SetPayeeName(s.GetPayeeName());
    m->SetTypeId(s.IsOutflow() ? DepositTypeId : WithdrawalTypeId);
    m->SetStatus(s.GetStatus() & kStatusMask);
    m->SetCategoryId(source.Header().GetId());
    m->SetLinkedId(s.GetId());
    if (whole) {
        m->SetClassId(s.GetClassId());
        m->SetAmount(source.ConvertAmountTo(*this, s.GetAmount()));
        m->SetMemo(s.GetMemo());
    } else {
        m->SetClassId(s.GetSplitClassId(splitIndex));
        m->SetAmount(source.ConvertAmountTo(*this, s.GetSplitAmount(splitIndex)));
        m->SetMemo(s.GetSplitMemo(splitIndex));
        m->SetSplitIndex(splitIndex);
    }
    const RecordId mirrorId = m->GetId();
    AddTransaction(std::move(m));
    const int r = SaveEdit();
    if (r != 0) {
        // Not on disk, so not in memory either: the source stays unlinked.
        TransactionArray& list = Transactions();
        const auto it = std::find_if(list.begin(), list.end(),
                                     [&](const auto& t) { return t->GetId() == mirrorId; });
        if (it != list.end())
            list.erase(it);
        RecalcBalances();
        return r;
    }
    if (whole)
        s.SetLinkedId(mirrorId);
    else
        s.SetSplitLinkedId(splitIndex, mirrorId);
    return 0;
}

int CAccount::UpdateTransferMirror(CTransaction& m, CAccount& source, const CTransaction& e,
                                   std::uint8_t splitIndex) {
    const std::size_t index = IndexOfRow(Transactions(), m);
    const BalanceShare before = ShareOf(m);
    m.SetDate(e.GetDate());
    if (splitIndex < kSplitLineCount) {
        m.SetClassId(e.GetSplitClassId(splitIndex));
        m.SetAmount(source.ConvertAmountTo(*this, e.GetSplitAmount(splitIndex)));
        m.SetMemo(e.GetSplitMemo(splitIndex));
        m.SetSplitIndex(splitIndex);
    } else {
        m.SetClassId(e.GetClassId());
        m.SetAmount(source.ConvertAmountTo(*this, e.GetAmount()));
        m.SetMemo(e.GetMemo());
    }
    m.SetPayeeName(e.GetPayeeName());
    m.SetStatus(
        static_cast<std::uint8_t>((m.GetStatus() & ~kStatusMask) | (e.GetStatus() & kStatusMask)));
    // The mirror keeps a type of the user's choosing unless it now points
    // the same way as the source.
    if (m.IsOutflow() == e.IsOutflow())
        m.SetTypeId(e.IsOutflow() ? DepositTypeId : WithdrawalTypeId);
    m.SetLinkedId(e.GetId());
    if (index == Transactions().size()) {
        // Not a row of this register: counted and sorted whole, as ever.
        RecalcBalances();
        SortTransactions();
        return SaveEdit();
    }
    MoveBalances(before, ShareOf(m));
    PlaceRow(index);
    return SaveEdit();
}

int CAccount::UpdateSplitTransfers(CTransaction& t) {
    // Links carried over from elsewhere (a memorised payee) name no mirror.
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        if (!t.GetSplitLinkedId(line).IsNull())
            t.SetSplitLinkedId(line, kNoneId);
    }
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        CAccount* target = TransferTarget(t.GetSplitCategoryId(line));
        if (!target)
            continue;
        const int r = target->CreateTransferMirror(*this, t, static_cast<std::uint8_t>(line));
        if (r != 0) {
            DeleteTransferMirrors(t, false);
            for (std::size_t j = 0; j < kSplitLineCount; ++j)
                t.SetSplitLinkedId(j, kNoneId);
            return r;
        }
    }
    return 0;
}

int CAccount::UpdateTransferPair(CTransaction& e, const CTransaction& r) {
    int first = 0;
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        const auto index = static_cast<std::uint8_t>(line);
        CAccount* oldTarget = TransferTarget(r.GetSplitCategoryId(line));
        const RecordId oldLink = r.GetSplitLinkedId(line);
        CTransaction* oldMirror =
            oldTarget && !oldLink.IsNull() ? oldTarget->FindTransactionById(oldLink) : nullptr;
        CAccount* newTarget = TransferTarget(e.GetSplitCategoryId(line));
        int result = 0;
        if (oldMirror && newTarget == oldTarget) {
            e.SetSplitLinkedId(line, oldLink);
            result = oldTarget->UpdateTransferMirror(*oldMirror, *this, e, index);
        } else {
            if (oldMirror)
                result = oldTarget->DeleteTransactionById(oldLink, false);
            e.SetSplitLinkedId(line, kNoneId);
            if (newTarget) {
                const int c = newTarget->CreateTransferMirror(*this, e, index);
                if (result == 0)
                    result = c;
            }
        }
        if (first == 0)
            first = result;
    }
    return first;
}

int CAccount::ModifyTransaction(CTransaction& e, CTransaction& r) {
    return ModifyTransaction(e, r, true);
}

int CAccount::ModifyTransactionUnsorted(CTransaction& e, CTransaction& r) {
    return ModifyTransaction(e, r, false);
}

int CAccount::ModifyTransaction(CTransaction& e, CTransaction& r, bool place) {
    if (r.IsSplitTransferCopy())
        return -1;
    const bool oldSplit = r.GetCategoryId() == SplitMarkerId;
    const bool newSplit = e.GetCategoryId() == SplitMarkerId;
    CAccount* oldTarget = oldSplit ? nullptr : TransferTarget(r.GetCategoryId());
    CAccount* newTarget = newSplit ? nullptr : TransferTarget(e.GetCategoryId());
    const RecordId oldLink = r.GetLinkedId();
    CTransaction* oldMirror =
        oldTarget && !oldLink.IsNull() ? oldTarget->FindTransactionById(oldLink) : nullptr;

    int first = 0;
    const auto note = [&first](int result) {
        if (first == 0)
            first = result;
    };

    // Split lines first: a split turned into anything else leaves no mirror
    // of its lines behind.
    if (oldSplit && newSplit) {
        note(UpdateTransferPair(e, r));
    } else if (oldSplit) {
        note(DeleteTransferMirrors(r, false));
        for (std::size_t line = 0; line < kSplitLineCount; ++line)
            e.SetSplitLinkedId(line, kNoneId);
    }

    if (oldMirror && newTarget == oldTarget) {
        e.SetLinkedId(oldLink);
        note(oldTarget->UpdateTransferMirror(*oldMirror, *this, e, kNoSplitIndex));
    } else {
        if (oldMirror)
            note(oldTarget->DeleteTransactionById(oldLink, false));
        e.SetLinkedId(kNoneId);
        if (newTarget)
            note(newTarget->CreateTransferMirror(*this, e, kNoSplitIndex));
    }

    if (!oldSplit && newSplit)
        note(UpdateSplitTransfers(e));

    // Balances before the save, so the file holds them too.
    const std::size_t index = IndexOfRow(Transactions(), r);
    if (index == Transactions().size()) {
        // Not a row of this register: counted and sorted whole, as ever.
        r.CopyFrom(e);
        RecalcBalances();
        SortTransactions();
        note(SaveEdit());
        return first;
    }
    const BalanceShare before = ShareOf(r);
    r.CopyFrom(e);
    MoveBalances(before, ShareOf(r));
    if (place) {
        PlaceRow(index);
    } else {
        // The row may now stand out of order until the caller sorts: no
        // placement may rely on the order meanwhile.
        orderKnown_ = false;
    }
    note(SaveEdit());
    return first;
}

int CAccount::DeleteTransactionById(const RecordId& id, bool fold) {
    const int index = IndexOfTransactionId(0, id);
    if (index < 0)
        return -1;
    const CTransaction& t = *Transactions()[static_cast<std::size_t>(index)];
    if (fold && !IsVoid(t)) {
        // The opening balance moves, and both balances with it.
        const bool inStep = BalancesInStep();
        AccountHeader& h = Header();
        h.SetOpeningBalance(Add(h.GetOpeningBalance(), t.GetSignedAmount()));
        if (inStep) {
            h.SetCurrentBalance(Add(h.GetCurrentBalance(), t.GetSignedAmount()));
            h.SetClearedBalance(Add(h.GetClearedBalance(), t.GetSignedAmount()));
            NoteBalances();
        }
    }
    return RemoveTransactionAt(static_cast<std::size_t>(index));
}

int CAccount::DeleteTransaction(const CTransaction& t, bool fold) {
    return DeleteTransactionById(t.GetId(), fold);
}

int CAccount::RemoveTransactionAt(std::size_t index) {
    TransactionArray& list = Transactions();
    if (index >= list.size())
        return -1;
    std::unique_ptr<CTransaction> t = std::move(list[index]);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    MoveBalances(ShareOf(*t), {});
    t->SetAttributes(kAttrDeleted | kAttrModified);
    DeletedTransactions().push_back(std::move(t));
    return SaveEdit();
}

int CAccount::DeleteTransferMirrors(const CTransaction& t, bool fold) {
    int first = 0;
    const auto remove = [&](CAccount* target, const RecordId& link) {
        if (!target || link.IsNull() || !target->FindTransactionById(link))
            return;
        const int r = target->DeleteTransactionById(link, fold);
        if (first == 0)
            first = r;
    };
    if (t.IsSplitTransferCopy()) {
        // The counterpart is a line of the parent, which stays.
        CAccount* parentAccount = TransferTarget(t.GetCategoryId());
        if (parentAccount && parentAccount->UnlinkTransaction(t.GetLinkedId(), t.GetSplitIndex()))
            first = parentAccount->SaveEdit();
    } else if (t.GetCategoryId() == SplitMarkerId) {
        for (std::size_t line = 0; line < kSplitLineCount; ++line)
            remove(TransferTarget(t.GetSplitCategoryId(line)), t.GetSplitLinkedId(line));
    } else {
        remove(TransferTarget(t.GetCategoryId()), t.GetLinkedId());
    }
    return first;
}

bool CAccount::UnlinkTransaction(const RecordId& id, std::uint8_t splitLine) {
    CTransaction* t = FindTransactionById(id);
    if (!t)
        return false;
    if (splitLine < kSplitLineCount) {
        if (t->GetSplitLinkedId(splitLine).IsNull())
            return false;
        t->SetSplitLinkedId(splitLine, kNoneId);
        return true;
    }
    if (t->GetLinkedId().IsNull())
        return false;
    t->SetLinkedId(kNoneId);
    return true;
}

int CAccount::ClearTransferLink(const RecordId& id) {
    UnlinkTransaction(id, kNoSplitIndex);
    return Save();
}

int CAccount::PurgeTransactions(int kind, PalmTime date, const RecordProgress& progress) {
    const auto purged = [kind, date](const CTransaction& t) {
        const std::uint8_t s = t.GetStatus();
        switch (kind) {
            case 0:
                return t.GetDate() < date;
            case 1:
                return s >= kStatusCleared && s < kStatusVoid;
            case 2:
                return s >= kStatusReconciled && s < kStatusVoid;
            default:
                return false;
        }
    };
    // Each account whose links change is saved once at the end.
    std::vector<CAccount*> touched;
    const auto unlink = [&](const RecordId& category, const RecordId& id, std::uint8_t line) {
        CAccount* target = TransferTarget(category);
        if (!target || id.IsNull() || !target->UnlinkTransaction(id, line))
            return;
        if (target != this && std::find(touched.begin(), touched.end(), target) == touched.end())
            touched.push_back(target);
    };
    TransactionArray& list = Transactions();
    AccountHeader& h = Header();
    // First the links, with the register still whole so that a counterpart
    // in this same account can be found; then the array in one pass.
    std::vector<bool> gone(list.size(), false);
    RecordProgressCounter counter(progress);
    for (std::size_t i = list.size(); i-- > 0;) {
        counter.Count();
        const CTransaction& t = *list[i];
        if (!purged(t))
            continue;
        gone[i] = true;
        if (!IsVoid(t))
            h.SetOpeningBalance(Add(h.GetOpeningBalance(), t.GetSignedAmount()));
        if (t.IsSplitTransferCopy()) {
            // Made from a line of another transaction: that line loses it.
            unlink(t.GetCategoryId(), t.GetLinkedId(), t.GetSplitIndex());
        } else if (t.GetCategoryId() == SplitMarkerId) {
            for (std::size_t line = 0; line < kSplitLineCount; ++line)
                unlink(t.GetSplitCategoryId(line), t.GetSplitLinkedId(line), kNoSplitIndex);
        } else {
            unlink(t.GetCategoryId(), t.GetLinkedId(), kNoSplitIndex);
        }
    }
    TransactionArray kept;
    kept.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!gone[i])
            kept.push_back(std::move(list[i]));
    }
    // The deleted array takes them in the order of the walk, last first.
    for (std::size_t i = list.size(); i-- > 0;) {
        if (!gone[i])
            continue;
        list[i]->SetAttributes(kAttrDeleted | kAttrModified);
        DeletedTransactions().push_back(std::move(list[i]));
    }
    list = std::move(kept);
    RecalcBalances();
    int first = Save();
    for (CAccount* target : touched) {
        const int r = target->Save();
        if (first == 0)
            first = r;
    }
    return first;
}

// ---------------------------------------------------------------- currency

Cents CAccount::ConvertAmountTo(const CAccount& other, Cents amount) const {
    const std::uint8_t from = Header().GetCurrencyId();
    const std::uint8_t to = other.Header().GetCurrencyId();
    if (from == to || !owner_)
        return amount;
    const std::optional<double> fromRate = owner_->GetCurrencyRate(from);
    const std::optional<double> toRate = owner_->GetCurrencyRate(to);
    if (!fromRate || !toRate)
        return amount;
    const std::uint8_t home = owner_->GetHomeCurrencyId();
    // Rates are units per home unit; each side's rate is used only when that
    // side is not the home currency. A rate of 0 converts nothing.
    const bool fromHome = from == home;
    const bool toHome = to == home;
    if ((!fromHome && !IsUsableRate(*fromRate)) || (!toHome && !IsUsableRate(*toRate)))
        return amount;
    double v = static_cast<double>(amount);
    if (!fromHome)
        v /= *fromRate;
    if (!toHome)
        v *= *toRate;
    return RoundToCents(v);
}

std::string CAccount::GetCurrencySymbol() const {
    return owner_ ? owner_->GetCurrencySymbolById(Header().GetCurrencyId()) : std::string("$");
}

// ---------------------------------------------------------------- account

int CAccount::Rename(std::string_view newName) {
    const std::string oldPath = GetPath();
    const std::size_t slash = oldPath.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : oldPath.substr(0, slash);
    const std::string oldFile = slash == std::string::npos ? oldPath : oldPath.substr(slash + 1);
    const std::string file =
        platform::Cp1252ToUtf8(SanitizeAccountFileName(newName)) + "." + kAccountFileExtension;
    const std::string newPath = slash == std::string::npos ? file : folder + "/" + file;

    // The sync thread must not find the file half renamed.
    platform::NamedMutex mutex(kDatabaseMutexName);
    platform::NamedMutexLock lock(mutex, GetLockTimeout());
    if (!lock.Held())
        return -1;
    if (newPath != oldPath) {
        // Another file of that name in any case is a clash; the account's
        // own file is not, so a case-only rename works.
        if (!platform::FindNameNoCase(folder.empty() ? "." : folder, file, oldFile).empty())
            return platform::kErrorAlreadyExists;
        const int r = platform::RenameNoReplace(oldPath, newPath);
        if (r != 0)
            return r;
    }
    SetPath(newPath);
    AddChangeBit(Header(), kChangeName);
    return Save();
}

std::string CAccount::GetTransferLabel() const {
    // Built by appends: g++ 12 at -O3 warns falsely on "[" + text.
    std::string label = "[";
    label += GetName();
    label += ']';
    return label;
}

RecordId CAccount::GetDefaultTransactionTypeId() const {
    switch (Header().GetType()) {
        case kSavings:
            return DepositTypeId;
        case kCreditCard:
            return ChargeTypeId;
        case kAsset:
        case kLiability:
        case kLineOfCredit:
            return PaymentTypeId;
        case kMoneyMarket:
            return EftTypeId;
        default:
            return WithdrawalTypeId;
    }
}

int CAccount::DisableOnlineBanking() {
    AccountHeader& h = Header();
    h.SetOnlineEnabled(false);
    h.SetCustomerId("");
    h.SetOnlinePassword("");
    h.SetFiId(0);
    AddChangeBit(h, kChangeFiId);
    h.SetAccountNumber("");
    h.SetRoutingNumber("");
    h.SetDownloadEndDate("");
    for (const auto& t : Transactions()) {
        if (t->GetReviewState() == 0 && t->GetMatchId().IsNull())
            continue;
        t->SetReviewState(0);
        t->SetMatchId(kNoneId);
        t->SetPayeeLookupId(kNoneId);
        t->SetOnlineId("");
    }
    return Save();
}

// ---------------------------------------------------------------- reconcile

int CAccount::GetReconcileState(Cents& opening, Cents& ending, PalmTime& date) const {
    const AccountHeader& h = Header();
    if (h.GetReconcileDate() != 0) {
        opening = h.GetReconcileOpening();
        ending = h.GetReconcileEnding();
        date = h.GetReconcileDate();
        return 1;
    }
    ending = 0;
    date = GetNextStatementDate();
    if (h.GetLastReconcileDate() != 0) {
        opening = h.GetLastReconcileBalance();
        return 2;
    }
    opening = h.GetOpeningBalance();
    return 0;
}

PalmTime CAccount::GetNextStatementDate() const {
    const PalmTime last = Header().GetLastReconcileDate();
    if (last == 0)
        return TodayBound(0);
    DateFields f = DateFields::FromPalmTime(last);
    if (++f.month > 12) {
        f.month = 1;
        ++f.year;
    }
    f.day = static_cast<std::int16_t>(std::min<int>(f.day, DaysInMonth(f.month, f.year)));
    return f.ToPalmTime();
}

Cents CAccount::GetReconcileDifference() const {
    Cents sum = Header().GetReconcileOpening();
    for (const auto& t : Transactions()) {
        if (!IsVoid(*t) && (t->GetStatus() & kStatusMarked) != 0)
            sum = Add(sum, t->GetSignedAmount());
    }
    return Sub(sum, Header().GetReconcileEnding());
}

int CAccount::AddReconcileAdjustment(Cents amount) {
    auto t = std::make_unique<CTransaction>();
    t->SetDate(TodayBound(0));
    t->SetPayeeName(LoadString1252(kStringReconcileAdjustment));
    t->SetAmount(amount < 0 ? Negate(amount) : amount);
    t->SetTypeId(amount <= 0 ? DepositTypeId : WithdrawalTypeId);
    t->SetCategoryId(kNoneId);
    t->SetStatus(kStatusReconciled);
    return AddTransaction(std::move(t));
}

int CAccount::FinishReconcile() {
    for (const auto& t : Transactions()) {
        const std::uint8_t s = t->GetStatus();
        if ((s & kStatusMarked) == 0)
            continue;
        t->SetStatus(
            static_cast<std::uint8_t>((s & ~(kStatusMask | kStatusMarked)) | kStatusReconciled));
        t->SetAttributes(kAttrModified);
    }
    AccountHeader& h = Header();
    h.SetLastReconcileBalance(h.GetReconcileEnding());
    h.SetLastReconcileDate(h.GetReconcileDate());
    AddChangeBit(h, kChangeLastReconcileDate);
    h.SetReconcileOpening(0);
    h.SetReconcileEnding(0);
    h.SetReconcileDate(0);
    // Marked open rows are now reconciled: the cleared balance and the
    // status key of the order both moved.
    RecalcBalances();
    return ResortTransactions();
}

std::uint16_t AccountTypeDefaultIcon(std::uint8_t type) {
    static constexpr std::uint16_t kIcons[8] = {2, 12, 1, 3, 13, 14, 12, 14};
    return type < 8 ? kIcons[type] : 14;
}

}  // namespace tallowmere
