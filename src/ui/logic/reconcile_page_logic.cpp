#include "ui/logic/reconcile_page_logic.h"

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/account.h"
#include "model/account_header.h"
#include "model/palm_time.h"
#include "model/transaction.h"
#include "platform/text_1252.h"
#include "ui/logic/file_error_message.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringOffBy = 151;
constexpr int kStringReconciled = 181;
// The reconcile list shows the unreconciled rows.
constexpr int kUnreconciledFilter = 2;

// The account as it was before Done, to put back when the save fails: the
// header, and each row in its place with its status and attributes.
class ReconcileSnapshot {
  public:
    explicit ReconcileSnapshot(const CAccount& account) : header_(account.Header()) {
        for (const auto& t : account.Transactions())
            rows_.push_back({t.get(), t->GetStatus(), t->GetAttributes()});
    }

    void Restore(CAccount& account) const {
        TransactionArray& list = account.Transactions();
        std::unordered_map<const CTransaction*, std::unique_ptr<CTransaction>> held;
        held.reserve(list.size());
        for (auto& t : list) {
            const CTransaction* key = t.get();
            held.emplace(key, std::move(t));
        }
        list.clear();
        // Rows added since (the adjustment) stay out: the file never had them.
        for (const Row& row : rows_) {
            auto it = held.find(row.t);
            if (it == held.end())
                continue;
            it->second->SetStatus(row.status);
            it->second->SetAttributes(row.attributes);
            list.push_back(std::move(it->second));
        }
        account.RecalcBalances();
        account.Header() = header_;
    }

  private:
    struct Row {
        const CTransaction* t;
        std::uint8_t status;
        std::uint8_t attributes;
    };
    AccountHeader header_;
    std::vector<Row> rows_;
};

}  // namespace

StatementDetailsValues ReconcileStatementValues(const CAccount& account) {
    Cents opening = 0;
    Cents ending = 0;
    PalmTime date = 0;
    StatementDetailsValues values;
    values.focusMode = account.GetReconcileState(opening, ending, date);
    values.accountType = account.Header().GetType();
    values.closingDate = date;
    values.beginningBalance = FormatMoney(opening, kMoneyFull);
    values.endingBalance = FormatMoney(ending, kMoneyFull);
    return values;
}

int ApplyStatementDetails(CAccount& account, const StatementDetailsValues& values,
                          Messages& messages) {
    AccountHeader& h = account.Header();
    const Cents opening = ParseMoney(values.beginningBalance);
    const Cents ending = ParseMoney(values.endingBalance);
    // Each setter marks its own change bit when the value differs.
    bool changed = false;
    if (h.GetReconcileOpening() != opening) {
        h.SetReconcileOpening(opening);
        changed = true;
    }
    if (h.GetReconcileEnding() != ending) {
        h.SetReconcileEnding(ending);
        changed = true;
    }
    if (h.GetReconcileDate() != values.closingDate) {
        h.SetReconcileDate(values.closingDate);
        changed = true;
    }
    if (!changed)
        return 0;
    const int result = account.Save();
    if (result != 0)
        ShowFileErrorMessage(messages, result);
    return result;
}

ReconcileTexts ReconcileDrawnTexts(const CAccount& account, const MoneyStyle& money) {
    const AccountHeader& h = account.Header();
    ReconcileTexts texts;
    texts.closingDate =
        platform::Cp1252ToUtf8(FormatLocaleDate(h.GetReconcileDate(), kDateShortDate));
    texts.beginning = MoneyCellText(money.symbol, h.GetReconcileOpening(), money.decimals);
    texts.ending = MoneyCellText(money.symbol, h.GetReconcileEnding(), money.decimals);
    texts.difference =
        MoneyCellText(money.symbol, account.GetReconcileDifference(), money.decimals);
    return texts;
}

int MarkAllReconcileRows(CAccount& account, bool mark, Messages& messages) {
    bool changed = false;
    for (const auto& t : account.Transactions()) {
        if (!t->MatchesStatus(kUnreconciledFilter))
            continue;
        const std::uint8_t s = t->GetStatus();
        const std::uint8_t next = mark ? static_cast<std::uint8_t>(s | kStatusMarked)
                                       : static_cast<std::uint8_t>(s & ~kStatusMarked);
        if (next == s)
            continue;
        t->SetStatus(next);  // marks the row modified
        changed = true;
    }
    // The mark is no sort key, so the order stands; one save keeps the file
    // in step with what the page shows.
    if (!changed)
        return 0;
    const int result = account.Save();
    if (result != 0)
        ShowFileErrorMessage(messages, result);
    return result;
}

FinishResult FinishReconcile(CAccount& account, Messages& messages) {
    const ReconcileSnapshot before(account);
    const Cents difference = account.GetReconcileDifference();
    if (difference != 0) {
        const Answer answer =
            messages.Show(StringMessage(kStringOffBy, {FormatMoney(difference, kMoneyFull)},
                                        Buttons::kYesNoCancel, Icon::kQuestion, Answer::kYes));
        if (answer == Answer::kCancel)
            return FinishResult::kCancelled;
        if (answer == Answer::kYes)
            account.AddReconcileAdjustment(difference);
    }
    const int result = account.FinishReconcile();
    if (result != 0) {
        before.Restore(account);
        ShowFileErrorMessage(messages, result);
        return FinishResult::kFailed;
    }
    // Congratulations only once the reconcile is in the file.
    if (difference == 0)
        messages.Show(StringMessage(kStringReconciled, {}, Buttons::kOk, Icon::kInformation));
    return FinishResult::kFinished;
}

}  // namespace tallowmere::ui
