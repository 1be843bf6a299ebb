#include "ui/match_transaction_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/accounts.h"
#include "ui/cell_painter.h"
#include "ui/logic/cell_text.h"
#include "ui/logic/download_review_logic.h"
#include "ui/logic/transaction_cells.h"
#include "ui/online_dialog_parts.h"
#include "ui/small_dialog_parts.h"
#include "ui/transaction_box.h"

namespace tallowmere::ui {
namespace {

constexpr int kStrCaption = 3643;
constexpr int kStrBankEntry = 3638;
constexpr int kStrYourEntries = 3644;
constexpr int kStrMatch = 3645;
constexpr int kStrNoMatch = 3646;
constexpr int kStrCancel = 3601;

}  // namespace

CMatchListCtrl::CMatchListCtrl(CAccounts& data, const CAccount& account,
                               const std::vector<CTransaction*>& candidates, QWidget* parent)
    : CTransactionListCtrl(&data, parent), account_(account), candidates_(candidates) {
    ApplyStyle(GetCreateStyle());
    InsertColumnById(0, kColumnMatchDate, 200, 80);
    InsertColumnById(1, kColumnMatchType, 201, 70);
    InsertColumnById(2, kColumnMatchPayee, 202, 160);
    InsertColumnById(3, kColumnMatchAmount, 205, 90);
    SetHighlightColors(TransactionBoxColor(), palette().color(QPalette::Text));
    SetItemCount(static_cast<int>(candidates_.size()));
}

CMatchListCtrl::~CMatchListCtrl() = default;

ListStyle CMatchListCtrl::GetCreateStyle() const {
    return {true, true, true};
}

void* CMatchListCtrl::GetItemObject(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= candidates_.size())
        return nullptr;
    return candidates_[static_cast<std::size_t>(row)];
}

void CMatchListCtrl::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                              void* object, int row) const {
    const auto* t = static_cast<const CTransaction*>(object);
    if (t == nullptr || GetDataSet() == nullptr)
        return;
    RegisterCellContext context;
    context.data = GetDataSet();
    context.account = &account_;
    static constexpr std::pair<std::uint16_t, int> kRegisterColumn[] = {
        {kColumnMatchDate, kColumnDate},
        {kColumnMatchType, kColumnType},
        {kColumnMatchPayee, kColumnPayee},
        {kColumnMatchAmount, kColumnAmount}};
    for (const auto& [own, shared] : kRegisterColumn) {
        if (own == columnId) {
            DrawListCell(painter, cell, ListRegisterCellText(context, *t, shared, 0));
            return;
        }
    }
    (void)row;
}

CMatchTransactionDlg::CMatchTransactionDlg(CAccounts& data, CAccount& account,
                                           CTransaction& download, QWidget* parent)
    : QDialog(parent),
      account_(account),
      download_(download),
      candidates_(MatchCandidates(account, download)),
      messages_(this),
      box_(Named(new CTransactionBox(data, this), 1133)),
      list_(Named(new CMatchListCtrl(data, account, candidates_, this), 1129)) {
    setObjectName(QStringLiteral("id_1596"));
    setWindowTitle(StringText(kStrCaption));
    box_->SetTransaction(&download_);
    list_->setMinimumSize(420, 200);

    auto* match = Named(new QPushButton(StringText(kStrMatch), this), 1130);
    auto* noMatch = Named(new QPushButton(StringText(kStrNoMatch), this), 1131);
    auto* cancel = Named(new QPushButton(StringText(kStrCancel), this), 2);
    match->setDefault(true);
    for (QPushButton* b : {match, noMatch, cancel})
        b->setMinimumWidth(CharsWide(*b, 10));
    connect(match, &QPushButton::clicked, this, &CMatchTransactionDlg::OnMatch);
    connect(noMatch, &QPushButton::clicked, this, &CMatchTransactionDlg::OnNoMatch);
    connect(cancel, &QPushButton::clicked, this, &CMatchTransactionDlg::reject);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(10);
    fields->addWidget(PlainLabel(StringText(kStrBankEntry), this), 0, 0, Qt::AlignLeft);
    fields->addWidget(box_, 0, 1);
    fields->addWidget(PlainLabel(StringText(kStrYourEntries), this, list_), 1, 0,
                      Qt::AlignLeft | Qt::AlignTop);
    fields->addWidget(list_, 1, 1);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch();
    buttons->addWidget(match);
    buttons->addWidget(noMatch);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
    if (!candidates_.empty())
        list_->SetSelection(0, true);
    list_->setFocus();
}

CMatchTransactionDlg::~CMatchTransactionDlg() = default;

void CMatchTransactionDlg::OnMatch() {
    auto* entry = static_cast<CTransaction*>(list_->GetItemObject(list_->GetFirstSelectedItem()));
    if (entry == nullptr) {
        messages_.Show(StringMessage(kStrSelectMatch));
        return;
    }
    if (MatchDownload(account_, download_, *entry))
        done(1);
}

void CMatchTransactionDlg::OnNoMatch() {
    UnmatchDownload(account_, download_);
    done(1);
}

void CMatchTransactionDlg::reject() {
    done(2);
}

}  // namespace tallowmere::ui
