// The counts of the summaries, the match links (always both sides), the
// candidates a download may be matched with, and the review's accept and
// navigation, on one account with four downloads waiting for review.
#include "ui/logic/download_review_logic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/atomic_file.h"
#include "ui_logic/download_review_fixture.h"

namespace tallowmere::ui {
namespace {

using test::DownloadReviewTest;

bool Contains(const std::vector<CTransaction*>& list, const CTransaction* t) {
    return std::find(list.begin(), list.end(), t) != list.end();
}

TEST_F(DownloadReviewTest, TheFixtureHasTwoRightMatchesOneWrongAndOneUnmatched) {
    EXPECT_EQ(d1_->GetMatchId(), r1_->GetId());
    EXPECT_EQ(d2_->GetMatchId(), r2_->GetId());
    EXPECT_TRUE(d3_->GetMatchId().IsNull());
    EXPECT_EQ(d4_->GetMatchId(), r3_->GetId());  // the first of the two alike entries
    EXPECT_EQ(CountDownloads(*checking_), (DownloadCounts{4, 3, 1}));
}

TEST_F(DownloadReviewTest, MatchAndNoMatchChangeBothSidesAndTheCounter) {
    struct Case {
        const char* what;
        CTransaction* download;
        CTransaction* entry;  // null: No Match
        CTransaction* oldEntry;
        int counter;
    };
    const Case cases[] = {
        {"re-match D4 from R3 to R4", d4_, r4_, r3_, 3},
        {"No Match on matched D1", d1_, nullptr, r1_, 2},
        {"Match unmatched D3 with R5", d3_, r5_, nullptr, 3},
        {"No Match on unmatched D3", d3_, nullptr, nullptr, 2},
    };
    // Each case starts from where the one before left off.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTransaction& d = *c.download;
        CTransaction* old = c.oldEntry;
        if (c.entry != nullptr) {
            CTransaction& r = *c.entry;
            ASSERT_TRUE(MatchDownload(*checking_, d, r));
            EXPECT_EQ(d.GetMatchId(), r.GetId());
            EXPECT_EQ(r.GetMatchId(), d.GetId());
        } else {
            UnmatchDownload(*checking_, d);
            EXPECT_TRUE(d.GetMatchId().IsNull());
        }
        EXPECT_TRUE(d.IsModified());
        if (old != nullptr) {
            EXPECT_TRUE(old->GetMatchId().IsNull()) << "the old entry still names the download";
        }
        EXPECT_EQ(checking_->GetNewDownloadCount(), c.counter);
    }
}

TEST_F(DownloadReviewTest, NoMatchOnAnUnmatchedDownloadNeverTakesTheCounterBelowZero) {
    checking_->SetNewDownloadCount(0);
    UnmatchDownload(*checking_, *d1_);
    EXPECT_EQ(checking_->GetNewDownloadCount(), 0);
    EXPECT_TRUE(r1_->GetMatchId().IsNull());
}

TEST_F(DownloadReviewTest, CandidatesLeaveOutEntriesOfOtherPendingDownloads) {
    const std::vector<CTransaction*> forD3 = MatchCandidates(*checking_, *d3_);
    EXPECT_EQ(forD3, (std::vector<CTransaction*>{r4_, r5_}));
    // A download's own partner is offered, in date order.
    const std::vector<CTransaction*> forD4 = MatchCandidates(*checking_, *d4_);
    EXPECT_EQ(forD4, (std::vector<CTransaction*>{r3_, r4_, r5_}));
    for (CTransaction* d : {d1_, d2_, d3_, d4_}) {
        EXPECT_FALSE(Contains(MatchCandidates(*checking_, *d4_), d)) << "a download is offered";
    }
    // What is not offered cannot be matched.
    EXPECT_FALSE(MatchDownload(*checking_, *d3_, *r1_));
    EXPECT_TRUE(d3_->GetMatchId().IsNull());
    EXPECT_EQ(r1_->GetMatchId(), d1_->GetId());
}

TEST_F(DownloadReviewTest, TwoBankTransactionsNeverMergeIntoOneEntry) {
    ASSERT_TRUE(MatchDownload(*checking_, *d4_, *r4_));
    // R4 is D4's now: D3 cannot have it as well.
    EXPECT_FALSE(Contains(MatchCandidates(*checking_, *d3_), r4_));
    EXPECT_FALSE(MatchDownload(*checking_, *d3_, *r4_));
    ASSERT_EQ(checking_->AcceptAllDownloaded(), 0);
    // The five entries and D3 on its own: every bank id is kept.
    std::vector<std::string> ids;
    for (const auto& t : checking_->Transactions())
        ids.push_back(t->GetOnlineId());
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<std::string>{"", "", "D1", "D2", "D3", "D4"}));
    EXPECT_EQ(checking_->Transactions().size(), 6u);
    EXPECT_EQ(r4_->GetOnlineId(), "D4");
    EXPECT_EQ(r3_->GetOnlineId(), "");
}

TEST_F(DownloadReviewTest, ReviewShowsQuestionCaptionAndPosition) {
    DownloadReview review(*checking_);
    ASSERT_EQ(review.Count(), 4u);
    // Date order: D1 (Jan 6), D2 (Jan 10), D4 (Jan 15), D3 (Jan 18).
    EXPECT_EQ(review.Current(), d1_);
    EXPECT_EQ(review.Match(), r1_);
    EXPECT_EQ(review.QuestionId(), kStrAcceptMatchQuestion);
    EXPECT_EQ(review.AcceptCaptionId(), kStrAcceptMatch);
    EXPECT_EQ(review.PositionText(), "1 of 4");
    EXPECT_FALSE(review.Previous());
    DownloadReview atD3(*checking_, d3_);
    EXPECT_EQ(atD3.Index(), 3);
    EXPECT_EQ(atD3.Match(), nullptr);
    EXPECT_EQ(atD3.QuestionId(), kStrAcceptNewQuestion);
    EXPECT_EQ(atD3.AcceptCaptionId(), kStrAcceptNew);
    EXPECT_FALSE(atD3.Next());
    EXPECT_TRUE(atD3.Previous());
    EXPECT_EQ(atD3.Current(), d4_);
}

TEST_F(DownloadReviewTest, AcceptingTheLastEntryMovesToTheNewLastAndTheLastOneCloses) {
    DownloadReview review(*checking_, d3_);
    EXPECT_EQ(review.Accept(messages_, nullptr), DownloadReview::Outcome::kStay);
    EXPECT_EQ(review.Count(), 3u);
    EXPECT_EQ(review.Index(), 2);
    EXPECT_EQ(review.Current(), d4_);
    EXPECT_EQ(review.Accept(messages_, nullptr), DownloadReview::Outcome::kStay);
    EXPECT_EQ(review.Accept(messages_, nullptr), DownloadReview::Outcome::kStay);
    EXPECT_EQ(review.Count(), 1u);
    EXPECT_EQ(review.Accept(messages_, nullptr), DownloadReview::Outcome::kClose);
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(checking_->CountTransactions(5), 0);
    // A plain accept of an unmatched download is no error, and it was saved.
    const std::unique_ptr<CAccounts> again = Reload();
    EXPECT_EQ(again->FindAccountByName("Checking")->CountTransactions(5), 0);
}

TEST_F(DownloadReviewTest, AFailedSaveIsShownAndTheListIsReadAgain) {
    class Register final : public MReviewRegister {
      public:
        void RefreshRegister() override { ++refreshes; }
        int refreshes = 0;
    } view;
    DownloadReview review(*checking_, d2_);
    platform::SetWriteFault([](std::size_t, int& err) {
        err = 28;  // ENOSPC
        return false;
    });
    const DownloadReview::Outcome outcome = review.Accept(messages_, &view);
    platform::SetWriteFault(nullptr);
    EXPECT_EQ(outcome, DownloadReview::Outcome::kFailed);
    EXPECT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(view.refreshes, 1);
    // D2 was merged in memory: it is not offered again.
    EXPECT_EQ(review.Count(), 3u);
    for (std::size_t i = 0; i < review.Count(); ++i) {
        ASSERT_NE(review.Current(), nullptr);
        EXPECT_EQ(review.Current()->GetReviewState(), 1);
        review.Next();
    }
}

TEST_F(DownloadReviewTest, ReloadKeepsTheShownDownload) {
    DownloadReview review(*checking_, d4_);
    ASSERT_TRUE(MatchDownload(*checking_, *d4_, *r4_));
    review.Reload();
    EXPECT_EQ(review.Current(), d4_);
    EXPECT_EQ(review.Match(), r4_);
}

TEST_F(DownloadReviewTest, SummaryOverAllAccountsSaysCloseOnceAllAreReviewed) {
    checking_->Header().SetOnlineEnabled(true);
    Account("Savings").Header().SetOnlineEnabled(true);
    DownloadSummaryAll summary(*data_);
    ASSERT_EQ(summary.RowCount(), 2);
    const int checkingRow = summary.AccountAt(0) == checking_ ? 0 : 1;
    EXPECT_EQ(summary.CountsAt(checkingRow), (DownloadCounts{4, 3, 1}));
    EXPECT_EQ(summary.ReviewLaterCaptionId(), kStrReviewLater);
    EXPECT_EQ(summary.ReviewTarget(1 - checkingRow, messages_), nullptr);
    EXPECT_EQ(messages_.Ids(), (std::vector<int>{kStrNothingToReview}));
    EXPECT_EQ(summary.ReviewTarget(checkingRow, messages_), checking_);
    EXPECT_EQ(summary.ReviewTarget(5, messages_), nullptr);
    ASSERT_EQ(checking_->AcceptAllDownloaded(), 0);
    summary.Recount();
    EXPECT_EQ(summary.ReviewLaterCaptionId(), kStrCloseCaption);
}

TEST(DownloadSummaryText, FillsItsOwnFormatOrTheBanksText) {
    EXPECT_EQ(DownloadSummaryText("%d new transactions were downloaded.", 5, -1),
              "5 new transactions were downloaded.");
    EXPECT_EQ(DownloadSummaryText("%d new transactions were downloaded.", 5, 2),
              "5 transaction(s) were downloaded from 2 bank(s).");
    // A translated text with a stray conversion reads nothing it was not given.
    EXPECT_NE(DownloadSummaryText("%s %d %s", 3, -1).find('3'), std::string::npos);
}

TEST_F(DownloadReviewTest, BoxTextsShowDateTypePayeeAndSignedAmount) {
    SetDateFormatter([](PalmTime, unsigned) { return std::string("06/01/2024"); });
    const TransactionBoxText box = BoxText(*data_, d1_);
    SetDateFormatter({});
    EXPECT_FALSE(box.none);
    EXPECT_EQ(box.date, "06/01/2024");
    EXPECT_EQ(box.type, "W/D");
    EXPECT_EQ(box.payee, "GROCER 0042");
    EXPECT_EQ(box.amount, "-42.50");
    EXPECT_TRUE(box.negative);
    EXPECT_TRUE(BoxText(*data_, nullptr).none);
}

}  // namespace
}  // namespace tallowmere::ui
