#pragma once
// After a statement download: the counts the summaries show, the review of
// the pending downloads one by one (dialog 160), and the choice of the
// register entry a download matches (dialog 1596). A match always links
// both sides, so an entry is never the partner of two downloads and two
// bank transactions can never be merged into one entry.
#include <cstddef>
#include <string>
#include <vector>

#include "model/money.h"
#include "ui/logic/messages.h"

namespace tallowmere {
class CAccount;
class CAccounts;
class CTransaction;
}  // namespace tallowmere

namespace tallowmere::ui {

// Captions and questions of the review.
inline constexpr int kStrAcceptNewQuestion = 162;
inline constexpr int kStrAcceptMatchQuestion = 163;
inline constexpr int kStrAcceptNew = 165;
inline constexpr int kStrAcceptMatch = 166;
inline constexpr int kStrNothingToReview = 247;
inline constexpr int kStrCloseCaption = 248;
inline constexpr int kStrReviewLater = 3631;
inline constexpr int kStrSelectMatch = 164;

// Results of the summary dialogs.
inline constexpr int kSummaryReview = 1111;
inline constexpr int kSummaryAcceptAll = 1112;
inline constexpr int kSummaryReviewLater = 1;

// An account's downloads waiting for review, those of them matched in the
// last download, and the rest (never below 0).
struct DownloadCounts {
    int downloaded = 0;
    int matched = 0;
    int fresh = 0;
    bool operator==(const DownloadCounts&) const = default;
};
DownloadCounts CountDownloads(const CAccount& account);

// The simple summary's text: "%d new transactions were downloaded." from
// its own format, or 196 with the number of banks (>= 0).
std::string DownloadSummaryText(const std::string& format, int transactions, int banks);

// What the boxes of the review and match dialogs show of a transaction
// (UTF-8): the short date, the check number or the type's name, the payee
// and the signed amount.
struct TransactionBoxText {
    bool none = true;  // "(no match)"
    std::string date;
    std::string type;
    std::string payee;
    std::string amount;
    bool negative = false;
};
TransactionBoxText BoxText(const CAccounts& data, const CTransaction* t);

// The register entries a download may be matched with, in date order:
// ordinary open or cleared entries that are not already the partner of
// another pending download (its own partner is one).
std::vector<CTransaction*> MatchCandidates(const CAccount& account, const CTransaction& download);

// Match: d and r name each other; d's previous partner is let go. An
// unmatched d counts as one more matched download. False (nothing
// changed) when r is not a candidate for d.
bool MatchDownload(CAccount& account, CTransaction& d, CTransaction& r);
// No Match: d and its partner let each other go; a matched d counts one
// fewer matched download.
void UnmatchDownload(CAccount& account, CTransaction& d);

// The summary over every online account (dialog 183): one row per account
// with online banking on, its counts taken when the dialog opens and after
// each review rather than at every repaint.
class DownloadSummaryAll {
  public:
    explicit DownloadSummaryAll(CAccounts& data);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    CAccount* AccountAt(int row) const;
    DownloadCounts CountsAt(int row) const;
    void Recount();
    // Whether any account still has downloads to review.
    bool AnyToReview() const;
    // "Review Later", or "Close" once nothing is left to review.
    int ReviewLaterCaptionId() const;
    // The account to review; nullptr without a row, or after 247 for an
    // account with nothing to review.
    CAccount* ReviewTarget(int row, Messages& messages) const;
    // Accepts every account's downloads in row order; the first failure is
    // shown and ends it (false: the dialog stays).
    bool AcceptAll(Messages& messages);

  private:
    std::vector<CAccount*> rows_;
    std::vector<DownloadCounts> counts_;
};

// The register of the view, repainted after an accept.
class MReviewRegister {
  public:
    virtual ~MReviewRegister() = default;
    virtual void RefreshRegister() = 0;
};

// The review of one account's pending downloads.
class DownloadReview {
  public:
    // The pending downloads in date order; shown is first, or the first
    // of them.
    DownloadReview(CAccount& account, CTransaction* first = nullptr);

    std::size_t Count() const { return pending_.size(); }
    int Index() const { return index_; }
    CTransaction* Current() const;
    // The entry the current download matches; nullptr for none.
    CTransaction* Match() const;
    int QuestionId() const;
    int AcceptCaptionId() const;
    // "%d of %d".
    std::string PositionText() const;

    // False (only a beep) at either end.
    bool Previous();
    bool Next();

    // How an accept ended.
    enum class Outcome { kStay, kClose, kFailed };
    // Accepts the current download and saves the account. On success it
    // leaves the list (the index stays, or moves to the new last entry)
    // and the dialog closes when none is left. A failed save is shown and
    // the list is read again from the account, which may already hold the
    // accept in memory.
    Outcome Accept(Messages& messages, MReviewRegister* view);
    // Accepts every pending download and saves; a failure is shown.
    Outcome AcceptAll(Messages& messages, MReviewRegister* view);
    // Reads the pending downloads again after a change of match or an
    // edit, keeping the current one when it is still pending.
    void Reload();

  private:
    void Collect();

    CAccount& account_;
    std::vector<CTransaction*> pending_;
    int index_ = 0;
};

}  // namespace tallowmere::ui
