#include "ui/review_transaction_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/match_transaction_dlg.h"
#include "ui/online_dialog_parts.h"
#include "ui/small_dialog_parts.h"
#include "ui/transaction_box.h"

namespace tallowmere::ui {
namespace {

constexpr int kStrCaption = 3633;
constexpr int kStrAcceptAll = 3630;
constexpr int kStrChangeMatch = 3634;
constexpr int kStrEdit = 3635;
constexpr int kStrPrevious = 3636;
constexpr int kStrNext = 3637;
constexpr int kStrBankEntry = 3638;
constexpr int kStrYourEntry = 3639;

QPushButton* Button(int textId, int id, QWidget* parent) {
    auto* button = Named(new QPushButton(StringText(textId), parent), id);
    button->setAutoDefault(false);
    // Room for the text also once the button becomes the default one.
    button->setMinimumWidth(std::max(CharsWide(*button, 12), button->sizeHint().width() + 12));
    return button;
}

}  // namespace

CReviewTransactionDlg::CReviewTransactionDlg(CAccounts& data, CAccount& account,
                                             CTransaction* first, MReviewRegister* view,
                                             MTransactionEditor* editor, QWidget* parent)
    : QDialog(parent),
      data_(data),
      account_(account),
      view_(view),
      editor_(editor),
      review_(account, first),
      messages_(this),
      question_(Named(PlainLabel({}, this), 1128)),
      bankBox_(Named(new CTransactionBox(data, this), 1133)),
      userBox_(Named(new CTransactionBox(data, this), 1134)),
      position_(Named(PlainLabel({}, this), 1126)),
      accept_(Button(kStrAcceptMatch, 1116, this)),
      edit_(Button(kStrEdit, 1004, this)) {
    setObjectName(QStringLiteral("id_160"));
    setWindowTitle(StringText(kStrCaption));
    auto* acceptAll = Button(kStrAcceptAll, 1112, this);
    auto* change = Button(kStrChangeMatch, 1117, this);
    auto* close = Button(kStrCloseCaption, 1, this);
    auto* previous = Named(new QPushButton(StringText(kStrPrevious), this), 1125);
    auto* next = Named(new QPushButton(StringText(kStrNext), this), 1124);
    for (QPushButton* arrow : {previous, next})
        arrow->setAutoDefault(false);
    accept_->setDefault(true);
    bankBox_->setAccessibleName(StringText(3640));
    userBox_->setAccessibleName(StringText(3641));
    bankBox_->setMinimumWidth(440);
    position_->setAlignment(Qt::AlignCenter);
    position_->setMinimumWidth(CharsWide(*position_, 10));
    edit_->setEnabled(editor_ != nullptr);

    connect(accept_, &QPushButton::clicked, this, &CReviewTransactionDlg::OnAccept);
    connect(acceptAll, &QPushButton::clicked, this, &CReviewTransactionDlg::OnAcceptAll);
    connect(change, &QPushButton::clicked, this, &CReviewTransactionDlg::OnChangeMatch);
    connect(edit_, &QPushButton::clicked, this, &CReviewTransactionDlg::OnEdit);
    connect(close, &QPushButton::clicked, this, &CReviewTransactionDlg::accept);
    connect(previous, &QPushButton::clicked, this, &CReviewTransactionDlg::OnPrevious);
    connect(next, &QPushButton::clicked, this, &CReviewTransactionDlg::OnNext);

    auto* boxes = new QGridLayout;
    boxes->setHorizontalSpacing(10);
    boxes->setVerticalSpacing(10);
    boxes->addWidget(PlainLabel(StringText(kStrBankEntry), this), 0, 0);
    boxes->addWidget(bankBox_, 0, 1);
    boxes->addWidget(PlainLabel(StringText(kStrYourEntry), this), 1, 0);
    boxes->addWidget(userBox_, 1, 1);
    boxes->setColumnStretch(1, 1);
    auto* arrows = new QHBoxLayout;
    arrows->addStretch();
    arrows->addWidget(previous);
    arrows->addWidget(position_);
    arrows->addWidget(next);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    for (QPushButton* b : {accept_, acceptAll, change, edit_})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(14);
    layout->addWidget(question_);
    layout->addLayout(boxes);
    layout->addLayout(arrows);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    ShowCurrent();
    accept_->setFocus();
}

CReviewTransactionDlg::~CReviewTransactionDlg() = default;

void CReviewTransactionDlg::ShowCurrent() {
    question_->setText(StringText(review_.QuestionId()));
    accept_->setText(StringText(review_.AcceptCaptionId()));
    position_->setText(QString::fromStdString(review_.PositionText()));
    bankBox_->SetTransaction(review_.Current());
    userBox_->SetTransaction(review_.Match());
}

void CReviewTransactionDlg::OnAccept() {
    const DownloadReview::Outcome outcome = review_.Accept(messages_, view_);
    if (outcome == DownloadReview::Outcome::kClose) {
        done(1);
        return;
    }
    ShowCurrent();
}

void CReviewTransactionDlg::OnAcceptAll() {
    if (review_.AcceptAll(messages_, view_) == DownloadReview::Outcome::kClose) {
        done(1);
        return;
    }
    ShowCurrent();
}

void CReviewTransactionDlg::OnChangeMatch() {
    CTransaction* current = review_.Current();
    if (current == nullptr)
        return;
    CMatchTransactionDlg dialog(data_, account_, *current, this);
    if (Services().RunDialog(dialog) == 1) {
        review_.Reload();
        ShowCurrent();
    }
}

void CReviewTransactionDlg::OnEdit() {
    CTransaction* current = review_.Current();
    if (current == nullptr || editor_ == nullptr)
        return;
    // The transaction dialog replaces and saves the transaction; this
    // dialog only reads it again.
    if (editor_->EditTransaction(this, account_, *current)) {
        review_.Reload();
        if (view_ != nullptr)
            view_->RefreshRegister();
        ShowCurrent();
    }
}

void CReviewTransactionDlg::OnPrevious() {
    if (!review_.Previous()) {
        Services().Beep();
        return;
    }
    ShowCurrent();
}

void CReviewTransactionDlg::OnNext() {
    if (!review_.Next()) {
        Services().Beep();
        return;
    }
    ShowCurrent();
}

void CReviewTransactionDlg::accept() {
    done(1);
}

void CReviewTransactionDlg::reject() {
    done(2);
}

int RunReviewTransactionDialog(QWidget* parent, CAccounts& data, CAccount& account,
                               CTransaction* first, MReviewRegister* view,
                               MTransactionEditor* editor) {
    CReviewTransactionDlg dialog(data, account, first, view, editor, parent);
    return Services().RunDialog(dialog);
}

}  // namespace tallowmere::ui
