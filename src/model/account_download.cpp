#include "model/account_download.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <memory>
#include <new>

#include "model/ofx_datetime.h"
#include "model/payee.h"
#include "model/payee_lookup.h"
#include "model/transaction_type.h"
#include "platform/text_1252.h"

namespace tallowmere {
namespace {

constexpr std::int64_t kMatchWindowSeconds = 604800;
constexpr std::uint8_t kReviewNone = 0;
constexpr std::uint8_t kReviewPending = 1;
constexpr std::uint8_t kReviewAccepted = 2;
// Status bits a merged entry keeps of its own: all but the state and the
// reconcile mark.
constexpr std::uint8_t kStatusKeptBits = 0x3E;

bool IsDigit(char c) {
    return platform::IsAsciiDigit(static_cast<unsigned char>(c));
}

// The form in which the record keeps an online id, so that an id longer
// than the field is still recognised the next time.
std::string_view StoredOnlineId(std::string_view id) {
    return id.substr(0, std::min(id.find('\0'), kOnlineIdFieldSize - 1));
}

// A stored amount read from a file may carry a sign.
Cents Magnitude(Cents c) {
    return c < 0 ? static_cast<Cents>(0 - static_cast<std::uint64_t>(c)) : c;
}

bool IsOpenOrCleared(const CTransaction& t) {
    return t.GetStatus() <= 0x7F;
}

void DecrementDownloadCount(CAccount& account) {
    if (account.GetNewDownloadCount() > 0)
        account.SetNewDownloadCount(account.GetNewDownloadCount() - 1);
}

std::size_t IndexOfObject(const TransactionArray& list, const CTransaction* t) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].get() == t)
            return i;
    }
    return list.size();
}

// The other side of a transfer follows the merged entry's new date and
// amount; its account is saved there. Returns the first failure.
int UpdateCounterparts(CAccount& account, const CTransaction& r) {
    CAccount::MOwner* owner = account.GetOwner();
    if (owner == nullptr)
        return 0;
    int first = 0;
    const auto update = [&](const RecordId& category, const RecordId& link, std::uint8_t line) {
        if (category.IsNull() || category == SplitMarkerId || link.IsNull())
            return;
        CAccount* target = owner->FindAccountById(category);
        CTransaction* m = target ? target->FindTransactionById(link) : nullptr;
        if (m == nullptr)
            return;
        const int result = target->UpdateTransferMirror(*m, account, r, line);
        if (first == 0)
            first = result;
    };
    if (r.GetCategoryId() == SplitMarkerId) {
        for (std::size_t line = 0; line < kSplitLineCount; ++line)
            update(r.GetSplitCategoryId(line), r.GetSplitLinkedId(line),
                   static_cast<std::uint8_t>(line));
    } else if (!r.IsSplitTransferCopy()) {
        update(r.GetCategoryId(), r.GetLinkedId(), kNoSplitIndex);
    }
    return first;
}

// Accepts d without saving its account: a match merges d into the entry it
// matched, which goes to its new place in the order, and d leaves the
// register (not folded). −1 when d is not in the register.
int AcceptWithoutSave(CAccount& account, CTransaction& d) {
    TransactionArray& list = account.Transactions();
    if (IndexOfObject(list, &d) == list.size())
        return -1;
    const RecordId matchId = d.GetMatchId();
    std::size_t ri = list.size();
    if (!matchId.IsNull()) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i].get() != &d && list[i]->GetId() == matchId) {
                ri = i;
                break;
            }
        }
    }
    if (ri == list.size()) {
        if (!matchId.IsNull()) {
            // The entry it matched is gone: it stands on its own now.
            d.SetMatchId(kNoneId);
            DecrementDownloadCount(account);
        }
        d.SetReviewState(kReviewAccepted);
        return 0;
    }

    std::unique_ptr<CTransaction> owned = std::move(list[ri]);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(ri));
    CTransaction& r = *owned;
    // A copy of one split line keeps the date of the transaction it belongs
    // to, which has other lines.
    if (!r.IsSplitTransferCopy()) {
        r.SetAmount(d.GetAmount());
        r.SetDate(d.GetDate());
    }
    r.SetStatus(static_cast<std::uint8_t>((r.GetStatus() & kStatusKeptBits) |
                                          (d.GetStatus() & kStatusMask)));
    r.SetReviewState(kReviewAccepted);
    r.SetOnlineId(d.GetOnlineId());
    if (r.IsOutflow() != d.IsOutflow())
        r.SetTypeId(d.GetTypeId());
    if (r.GetMemo().empty())
        r.SetMemo(d.GetMemo());
    account.InsertSorted(std::move(owned));
    DecrementDownloadCount(account);

    const std::size_t di = IndexOfObject(list, &d);
    std::unique_ptr<CTransaction> gone = std::move(list[di]);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(di));
    gone->SetAttributes(kAttrDeleted | kAttrModified);
    account.DeletedTransactions().push_back(std::move(gone));
    account.RecalcBalances();
    return UpdateCounterparts(account, r);
}

// The collections of the review and match dialogs: in ascending date order,
// equal dates in register order.
void CollectByDate(const TransactionArray& list, std::vector<CTransaction*>& out,
                   bool (*wanted)(const CTransaction&)) {
    out.clear();
    for (const auto& t : list) {
        if (wanted(*t))
            out.push_back(t.get());
    }
    std::stable_sort(out.begin(), out.end(), [](const CTransaction* a, const CTransaction* b) {
        return a->GetDate() < b->GetDate();
    });
}

}  // namespace

bool IsPositiveNumber(std::string_view text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), IsDigit))
        return false;
    return text.find_first_not_of('0') != std::string_view::npos;
}

std::optional<std::uint32_t> ParseCheckNumber(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<Cents> ParseBankAmount(std::string_view text) {
    text = platform::TrimAsciiSpace(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t mark = text.find_first_of(".,");
    const std::string_view whole = text.substr(0, mark);
    const std::string_view fraction =
        mark == std::string_view::npos ? std::string_view() : text.substr(mark + 1);
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    if (!std::all_of(whole.begin(), whole.end(), IsDigit) ||
        !std::all_of(fraction.begin(), fraction.end(), IsDigit))
        return std::nullopt;
    // Places beyond the cent are accepted only when they change nothing.
    if (fraction.size() > 2 && fraction.find_first_not_of('0', 2) != std::string_view::npos)
        return std::nullopt;
    // The whole units, so that adding the cents cannot overflow either.
    constexpr Cents kMaxUnits = (std::numeric_limits<Cents>::max() - 99) / 100;
    Cents value = 0;
    for (char c : whole) {
        const int digit = c - '0';
        if (value > (kMaxUnits - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    value *= 100;
    if (!fraction.empty())
        value += (fraction[0] - '0') * 10;
    if (fraction.size() > 1)
        value += fraction[1] - '0';
    return negative ? -value : value;
}

int EndDownloadSession(CAccount& account) {
    CAccount::MOwner* owner = account.GetOwner();
    CPayeeLookupList* lookups = owner ? owner->GetPayeeLookupList() : nullptr;
    account.ForgetDownloadSession();
    return lookups ? lookups->Resort() : 0;
}

void CAccount::BeginDownloadSession(DownloadListener* listener) {
    autoAdjust_ = Header().GetOpeningBalance() == 0 && Transactions().empty();
    newDownloads_ = 0;
    downloadListener_ = listener;
    sessionOnlineIds_.clear();
    sessionByAmount_.clear();
    for (const auto& t : Transactions()) {
        const std::string_view id = t->OnlineIdView();
        if (!id.empty())
            sessionOnlineIds_.emplace(id, t.get());
        sessionByAmount_[Magnitude(t->GetAmount())].push_back(t.get());
    }
    sessionActive_ = true;
}

bool CAccount::OwnsTransaction(const CTransaction* t) const {
    for (const auto& owned : Transactions()) {
        if (owned.get() == t)
            return true;
    }
    return false;
}

void CAccount::ForgetDownloadSession() {
    sessionOnlineIds_.clear();
    sessionByAmount_.clear();
    sessionActive_ = false;
}

bool CAccount::HasOnlineId(std::string_view id) const {
    // Ordinary entries have no id: an empty one identifies nothing.
    const std::string_view stored = StoredOnlineId(id);
    if (stored.empty())
        return false;
    // A miss in the session's set is trusted: new rows, the usual case, cost
    // one look-up. A hit is confirmed on the register itself, because an entry
    // may have been deleted since, and skipping a real row would lose it.
    if (sessionActive_) {
        const auto hit = sessionOnlineIds_.find(std::string(stored));
        if (hit == sessionOnlineIds_.end())
            return false;
        if (OwnsTransaction(hit->second) && hit->second->OnlineIdEquals(stored))
            return true;
    }
    for (const auto& t : Transactions()) {
        if (t->OnlineIdEquals(stored))
            return true;
    }
    return false;
}

int CAccount::AddDownloadedTransaction(std::string_view dateText, std::string_view amountText,
                                       std::string_view type, std::string_view checkNumber,
                                       std::string_view name, std::string_view memo,
                                       std::string_view onlineId) {
    if (HasOnlineId(onlineId))
        return 0;
    // A date or amount that cannot be read would be stored as 1904 or as 0.
    const PalmTime date = ParseOfxDateTime(dateText);
    const std::optional<Cents> amount = ParseBankAmount(amountText);
    if (date == 0 || !amount)
        return kDownloadUnreadable;

    std::unique_ptr<CTransaction> t;
    try {
        t = std::make_unique<CTransaction>();
    } catch (const std::bad_alloc&) {
        return 8;
    }
    t->SetDate(date);
    if (*amount < 0) {
        t->SetAmount(-*amount);
        const std::optional<std::uint32_t> number = ParseCheckNumber(checkNumber);
        if (type == "ATM") {
            t->SetTypeId(AtmTypeId);
        } else if (type == "CHECK" ||
                   (type == "DEBIT" && IsPositiveNumber(checkNumber) && number)) {
            t->SetTypeId(CheckTypeId);
            t->SetCheckNumber(number.value_or(0));
        } else {
            t->SetTypeId(WithdrawalTypeId);
        }
    } else {
        t->SetAmount(*amount);
        t->SetTypeId(DepositTypeId);
    }
    t->SetBaseAmount(t->GetAmount());
    t->SetStatus(kStatusCleared);
    t->SetSourceCurrency(Header().GetCurrencyId());
    t->SetReviewState(kReviewPending);

    CPayeeLookupList* lookups = owner_ ? owner_->GetPayeeLookupList() : nullptr;
    if (t->GetTypeId() == CheckTypeId || lookups == nullptr) {
        t->SetPayeeName(name);
    } else {
        CPayeeLookupItem* item = lookups->FindByText(name);
        if (item != nullptr && !item->GetPayee().empty()) {
            t->SetPayeeName(item->GetPayee());
        } else {
            t->SetPayeeName(name);
            if (item == nullptr) {
                // Not saved per transaction: EndDownloadSession files and
                // writes the whole statement's new texts at once.
                item = static_cast<CPayeeLookupItem*>(
                    lookups->AddItem(std::make_unique<CPayeeLookupItem>(name, "")));
            }
        }
        t->SetPayeeLookupId(item->GetId());
    }
    t->SetMemo(memo);
    t->SetOnlineId(onlineId);

    MatchDownloaded(*t);
    ApplyPayeeDefaults(*t);
    const bool matched = !t->GetMatchId().IsNull();
    CTransaction* added = t.get();
    if (sessionActive_ && !added->OnlineIdView().empty())
        sessionOnlineIds_.emplace(added->OnlineIdView(), added);
    AddTransaction(std::move(t));
    if (downloadListener_ != nullptr)
        downloadListener_->push_back(added);
    if (matched)
        ++newDownloads_;
    return 0;
}

int CAccount::MatchDownloaded(CTransaction& d) {
    const Cents amount = Magnitude(d.GetAmount());
    const auto pairs = [&](CTransaction& r) {
        if (Magnitude(r.GetAmount()) != amount)
            return false;
        if (&r == &d || r.GetReviewState() != kReviewNone || !r.GetMatchId().IsNull() ||
            !IsOpenOrCleared(r))
            return false;
        const std::int64_t apart =
            static_cast<std::int64_t>(r.GetDate()) - static_cast<std::int64_t>(d.GetDate());
        if (apart < -kMatchWindowSeconds || apart > kMatchWindowSeconds)
            return false;
        if (r.IsOutflow() != d.IsOutflow())
            return false;
        if (d.IsOutflow()) {
            const bool rNumbered = IsNumberedTypeId(r.GetTypeId());
            if (rNumbered != IsNumberedTypeId(d.GetTypeId()))
                return false;
            if (rNumbered && r.GetCheckNumber() != d.GetCheckNumber())
                return false;
        }
        return true;
    };
    const auto pair = [&](CTransaction& r) {
        d.SetMatchId(r.GetId());
        r.SetMatchId(d.GetId());
    };
    if (sessionActive_) {
        // Downloads are never candidates and inserts keep the relative order
        // of the entries, so the session's lists stand in for the walk.
        const auto found = sessionByAmount_.find(amount);
        if (found == sessionByAmount_.end())
            return 0;
        for (CTransaction* r : found->second) {
            if (OwnsTransaction(r) && pairs(*r)) {
                pair(*r);
                return 0;
            }
        }
        return 0;
    }
    for (const auto& r : Transactions()) {
        if (pairs(*r)) {
            pair(*r);
            return 0;
        }
    }
    return 0;
}

void CAccount::ApplyPayeeDefaults(CTransaction& t) const {
    const CPayeesList* payees = owner_ ? owner_->GetPayeesList() : nullptr;
    const CPayeeItem* m = payees ? payees->FindByName(t.GetPayeeName()) : nullptr;
    if (m == nullptr)
        return;
    const RecordId mType = m->GetTypeId();
    const bool outflow = t.IsOutflow();
    if (outflow != IsOutflowTypeId(mType))
        return;
    bool takeType = true;
    if (outflow) {
        const bool tNumbered = IsNumberedTypeId(t.GetTypeId());
        if (tNumbered != IsNumberedTypeId(mType))
            return;
        takeType = !tNumbered;
    }
    // A payee memorised without a transaction has no type to give.
    if (takeType && !mType.IsNull())
        t.SetTypeId(mType);

    // A pending download never names an account: that would be a transfer
    // without its mirror.
    const RecordId category = m->GetCategoryId();
    if (category == SplitMarkerId) {
        // The lines come whatever the amount: a difference stays as the
        // split's remainder for the user to see and settle.
        CTransaction lines{CTransaction::ForLoad{}};
        m->GetMemorizedSplits(lines);
        for (std::size_t line = 0; line < kSplitLineCount; ++line) {
            if (TransferTarget(lines.GetSplitCategoryId(line)) != nullptr)
                return;
        }
        m->GetMemorizedSplits(t);
        t.SetCategoryId(SplitMarkerId);
        return;
    }
    if (TransferTarget(category) == nullptr)
        t.SetCategoryId(category);
    t.SetClassId(m->GetClassId());
}

int CAccount::SetOnlineBalance(std::string_view amountText) {
    const std::optional<Cents> amount = ParseBankAmount(amountText);
    if (!amount)
        return kDownloadUnreadable;
    // An account that was empty takes the bank's word for its cleared
    // balance, through the opening balance.
    const int result = autoAdjust_ ? SetBalance(1, *amount) : 0;
    CAccountRoot::SetOnlineBalance(*amount);
    return result;
}

int CAccount::AcceptDownloaded(CTransaction& d) {
    const int accepted = AcceptWithoutSave(*this, d);
    if (accepted == -1)
        return -1;
    const int saved = Save();
    return accepted != 0 ? accepted : saved;
}

int CAccount::AcceptAllDownloaded() {
    std::vector<CTransaction*> pending;
    for (const auto& t : Transactions()) {
        if (t->GetReviewState() == kReviewPending)
            pending.push_back(t.get());
    }
    int first = 0;
    for (CTransaction* d : pending) {
        const int r = AcceptWithoutSave(*this, *d);
        if (first == 0)
            first = r;
    }
    newDownloads_ = 0;
    const int saved = Save();
    return first != 0 ? first : saved;
}

void CAccount::CollectDownloadedTransactions(std::vector<CTransaction*>& out) const {
    CollectByDate(Transactions(), out,
                  [](const CTransaction& t) { return t.GetReviewState() == kReviewPending; });
}

void CAccount::CollectRegisterTransactions(std::vector<CTransaction*>& out) const {
    CollectByDate(Transactions(), out, [](const CTransaction& t) {
        return t.GetReviewState() == kReviewNone && IsOpenOrCleared(t);
    });
}

}  // namespace tallowmere
