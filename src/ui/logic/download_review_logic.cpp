#include "ui/logic/download_review_logic.h"

#include <algorithm>
#include <charconv>

#include "model/accounts.h"
#include "model/palm_time.h"
#include "model/string_table.h"
#include "platform/text_1252.h"
#include "ui/logic/cell_text.h"
#include "ui/logic/file_error_message.h"

namespace tallowmere::ui {
namespace {

constexpr int kStrSummaryWithBanks = 196;
constexpr int kStrPosition = 3642;
constexpr std::uint8_t kReviewNone = 0;
constexpr std::uint8_t kReviewPending = 1;

// The download r is the partner of, when that is a pending download other
// than d.
bool PartneredElsewhere(const CAccount& account, const CTransaction& r, const CTransaction& d) {
    const RecordId partnerId = r.GetMatchId();
    if (partnerId.IsNull() || partnerId == d.GetId())
        return false;
    const CTransaction* partner = account.FindTransactionById(partnerId);
    return partner != nullptr && partner != &d && partner->GetReviewState() == kReviewPending;
}

bool IsCandidate(const CAccount& account, const CTransaction& r, const CTransaction& d) {
    return &r != &d && r.GetReviewState() == kReviewNone && r.GetStatus() <= 0x7F &&
           !PartneredElsewhere(account, r, d);
}

// d's partner lets d go.
void ReleasePartner(CAccount& account, const CTransaction& d) {
    if (d.GetMatchId().IsNull())
        return;
    CTransaction* partner = account.FindTransactionById(d.GetMatchId());
    if (partner != nullptr && partner != &d && partner->GetMatchId() == d.GetId())
        partner->SetMatchId(kNoneId);
}

}  // namespace

DownloadCounts CountDownloads(const CAccount& account) {
    DownloadCounts counts;
    counts.downloaded = account.CountTransactions(5);
    counts.matched = std::max(0, static_cast<int>(account.GetNewDownloadCount()));
    counts.fresh = std::max(0, counts.downloaded - counts.matched);
    return counts;
}

std::string DownloadSummaryText(const std::string& format, int transactions, int banks) {
    if (banks < 0)
        return FormatText(format, {std::int64_t{transactions}});
    return FormatText(LoadString(kStrSummaryWithBanks),
                      {std::int64_t{transactions}, std::int64_t{banks}});
}

TransactionBoxText BoxText(const CAccounts& data, const CTransaction* t) {
    TransactionBoxText box;
    if (t == nullptr)
        return box;
    box.none = false;
    box.date = platform::Cp1252ToUtf8(FormatLocaleDate(t->GetDate(), kDateShortDate));
    box.type = RegisterCellText(data, *t, kColumnType, MoneyStyle{}, 0).text;
    box.payee = platform::Cp1252ToUtf8(t->GetPayeeName());
    const Cents amount = t->GetSignedAmount();
    box.amount = FormatMoney(amount, kMoneyFull);
    box.negative = amount < 0;
    return box;
}

std::vector<CTransaction*> MatchCandidates(const CAccount& account, const CTransaction& download) {
    std::vector<CTransaction*> candidates;
    account.CollectRegisterTransactions(candidates);
    std::erase_if(candidates,
                  [&](const CTransaction* r) { return !IsCandidate(account, *r, download); });
    return candidates;
}

bool MatchDownload(CAccount& account, CTransaction& d, CTransaction& r) {
    if (!IsCandidate(account, r, d))
        return false;
    const bool wasMatched = !d.GetMatchId().IsNull();
    if (d.GetMatchId() != r.GetId())
        ReleasePartner(account, d);
    d.SetMatchId(r.GetId());
    r.SetMatchId(d.GetId());
    if (!wasMatched)
        account.SetNewDownloadCount(account.GetNewDownloadCount() + 1);
    return true;
}

void UnmatchDownload(CAccount& account, CTransaction& d) {
    const bool wasMatched = !d.GetMatchId().IsNull();
    ReleasePartner(account, d);
    d.SetMatchId(kNoneId);
    if (wasMatched && account.GetNewDownloadCount() > 0)
        account.SetNewDownloadCount(account.GetNewDownloadCount() - 1);
}

DownloadReview::DownloadReview(CAccount& account, CTransaction* first) : account_(account) {
    Collect();
    const auto found = std::find(pending_.begin(), pending_.end(), first);
    index_ = found != pending_.end() ? static_cast<int>(found - pending_.begin()) : 0;
}

void DownloadReview::Collect() {
    account_.CollectDownloadedTransactions(pending_);
}

CTransaction* DownloadReview::Current() const {
    if (index_ < 0 || static_cast<std::size_t>(index_) >= pending_.size())
        return nullptr;
    return pending_[static_cast<std::size_t>(index_)];
}

CTransaction* DownloadReview::Match() const {
    const CTransaction* d = Current();
    if (d == nullptr || d->GetMatchId().IsNull())
        return nullptr;
    return account_.FindTransactionById(d->GetMatchId());
}

int DownloadReview::QuestionId() const {
    return Match() != nullptr ? kStrAcceptMatchQuestion : kStrAcceptNewQuestion;
}

int DownloadReview::AcceptCaptionId() const {
    return Match() != nullptr ? kStrAcceptMatch : kStrAcceptNew;
}

std::string DownloadReview::PositionText() const {
    return FormatText(LoadString(kStrPosition),
                      {std::int64_t{index_ + 1}, static_cast<std::int64_t>(pending_.size())});
}

bool DownloadReview::Previous() {
    if (index_ <= 0)
        return false;
    --index_;
    return true;
}

bool DownloadReview::Next() {
    if (static_cast<std::size_t>(index_) + 1 >= pending_.size())
        return false;
    ++index_;
    return true;
}

DownloadReview::Outcome DownloadReview::Accept(Messages& messages, MReviewRegister* view) {
    CTransaction* d = Current();
    if (d == nullptr)
        return pending_.empty() ? Outcome::kClose : Outcome::kStay;
    const int result = account_.AcceptDownloaded(*d);
    if (result != 0) {
        // The accept may have happened in memory before the save failed:
        // only what is still pending is offered again.
        Collect();
        index_ = std::clamp(index_, 0, std::max(0, static_cast<int>(pending_.size()) - 1));
        if (view != nullptr)
            view->RefreshRegister();
        ShowFileErrorMessage(messages, result);
        return pending_.empty() ? Outcome::kClose : Outcome::kFailed;
    }
    if (view != nullptr)
        view->RefreshRegister();
    pending_.erase(pending_.begin() + index_);
    if (pending_.empty())
        return Outcome::kClose;
    index_ = std::min(index_, static_cast<int>(pending_.size()) - 1);
    return Outcome::kStay;
}

DownloadReview::Outcome DownloadReview::AcceptAll(Messages& messages, MReviewRegister* view) {
    const int result = account_.AcceptAllDownloaded();
    if (view != nullptr)
        view->RefreshRegister();
    if (result == 0)
        return Outcome::kClose;
    Collect();
    index_ = std::clamp(index_, 0, std::max(0, static_cast<int>(pending_.size()) - 1));
    ShowFileErrorMessage(messages, result);
    return pending_.empty() ? Outcome::kClose : Outcome::kFailed;
}

void DownloadReview::Reload() {
    CTransaction* current = Current();
    Collect();
    const auto found = std::find(pending_.begin(), pending_.end(), current);
    if (found != pending_.end())
        index_ = static_cast<int>(found - pending_.begin());
    else
        index_ = std::clamp(index_, 0, std::max(0, static_cast<int>(pending_.size()) - 1));
}

DownloadSummaryAll::DownloadSummaryAll(CAccounts& data) {
    for (int n = 0; n < data.CountOnlineAccounts(); ++n) {
        if (CAccount* account = data.GetOnlineAccountAt(n))
            rows_.push_back(account);
    }
    Recount();
}

CAccount* DownloadSummaryAll::AccountAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size())
        return nullptr;
    return rows_[static_cast<std::size_t>(row)];
}

DownloadCounts DownloadSummaryAll::CountsAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= counts_.size())
        return {};
    return counts_[static_cast<std::size_t>(row)];
}

void DownloadSummaryAll::Recount() {
    counts_.clear();
    for (const CAccount* account : rows_)
        counts_.push_back(CountDownloads(*account));
}

bool DownloadSummaryAll::AnyToReview() const {
    return std::any_of(counts_.begin(), counts_.end(),
                       [](const DownloadCounts& c) { return c.downloaded > 0; });
}

int DownloadSummaryAll::ReviewLaterCaptionId() const {
    return AnyToReview() ? kStrReviewLater : kStrCloseCaption;
}

CAccount* DownloadSummaryAll::ReviewTarget(int row, Messages& messages) const {
    CAccount* account = AccountAt(row);
    if (account == nullptr)
        return nullptr;
    if (CountsAt(row).downloaded == 0) {
        messages.Show(StringMessage(kStrNothingToReview));
        return nullptr;
    }
    return account;
}

bool DownloadSummaryAll::AcceptAll(Messages& messages) {
    for (CAccount* account : rows_) {
        const int result = account->AcceptAllDownloaded();
        if (result != 0) {
            Recount();
            ShowFileErrorMessage(messages, result);
            return false;
        }
    }
    Recount();
    return true;
}

}  // namespace tallowmere::ui
