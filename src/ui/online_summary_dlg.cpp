#include "ui/online_summary_dlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "model/accounts.h"
#include "platform/text_1252.h"
#include "ui/cell_painter.h"
#include "ui/logic/file_error_message.h"
#include "ui/online_dialog_parts.h"
#include "ui/review_transaction_dlg.h"
#include "ui/small_dialog_parts.h"

namespace tallowmere::ui {
namespace {

constexpr int kStrCaption = 3623;
constexpr int kStrSimpleFormat = 3624;
constexpr int kStrCompleted = 3625;
constexpr int kStrDownloaded = 3626;
constexpr int kStrMatched = 3627;
constexpr int kStrNew = 3628;
constexpr int kStrReview = 3629;
constexpr int kStrAcceptAll = 3630;
constexpr int kStrReviewAccount = 3632;
constexpr int kStrOk = 3612;

constexpr std::uint16_t kColumnAccount = 0;
constexpr std::uint16_t kColumnDownloaded = 1;
constexpr std::uint16_t kColumnMatched = 2;
constexpr std::uint16_t kColumnNew = 3;

QPushButton* Button(int textId, int id, QWidget* parent) {
    auto* button = Named(new QPushButton(StringText(textId), parent), id);
    button->setAutoDefault(false);
    // Room for the text also once the button becomes the default one.
    button->setMinimumWidth(std::max(CharsWide(*button, 12), button->sizeHint().width() + 12));
    return button;
}

}  // namespace

COnlineSummarySimpleDlg::COnlineSummarySimpleDlg(int transactions, int banks, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("id_1597"));
    setWindowTitle(StringText(kStrCaption));
    auto* text = Named(PlainLabel(QString::fromStdString(DownloadSummaryText(
                                      LoadString(kStrSimpleFormat), transactions, banks)),
                                  this),
                       1128);
    text->setMinimumWidth(CharsWide(*text, 36));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addWidget(text);
    layout->addLayout(ButtonRow(*this, {{1, LoadString(kStrOk).c_str()}}));
}

COnlineSummarySimpleDlg::~COnlineSummarySimpleDlg() = default;

void COnlineSummarySimpleDlg::reject() {
    done(2);
}

COnlineSummaryDlg::COnlineSummaryDlg(const DownloadCounts& counts, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("id_159"));
    setWindowTitle(StringText(kStrCaption));
    auto* group = new QGroupBox(StringText(kStrCompleted), this);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(6);
    grid->setContentsMargins(16, 12, 16, 12);
    const std::pair<int, std::pair<int, int>> rows[] = {{kStrDownloaded, {1113, counts.downloaded}},
                                                        {kStrMatched, {1114, counts.matched}},
                                                        {kStrNew, {1115, counts.fresh}}};
    int row = 0;
    for (const auto& [label, value] : rows) {
        grid->addWidget(PlainLabel(StringText(label), group), row, 0);
        auto* number = Named(PlainLabel(QString::number(value.second), group), value.first);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        number->setMinimumWidth(CharsWide(*number, 6));
        grid->addWidget(number, row, 1);
        ++row;
    }
    grid->setColumnStretch(0, 1);
    auto* review = Button(kStrReview, kSummaryReview, this);
    auto* acceptAll = Button(kStrAcceptAll, kSummaryAcceptAll, this);
    auto* later = Button(kStrReviewLater, 1147, this);
    review->setDefault(true);
    connect(review, &QPushButton::clicked, this, [this] { done(kSummaryReview); });
    connect(acceptAll, &QPushButton::clicked, this, [this] { done(kSummaryAcceptAll); });
    connect(later, &QPushButton::clicked, this, &COnlineSummaryDlg::accept);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(review);
    buttons->addWidget(acceptAll);
    buttons->addWidget(later);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);
    review->setFocus();
}

COnlineSummaryDlg::~COnlineSummaryDlg() = default;

void COnlineSummaryDlg::accept() {
    done(kSummaryReviewLater);
}

void COnlineSummaryDlg::reject() {
    done(2);
}

COnlineAccountList::COnlineAccountList(const DownloadSummaryAll& summary, QWidget* parent)
    : COwnerListCtrl(parent), summary_(summary) {
    ApplyStyle(GetCreateStyle());
    InsertColumnById(0, kColumnAccount, 270, 150);
    InsertColumnById(1, kColumnDownloaded, 271, 90);
    InsertColumnById(2, kColumnMatched, 272, 70);
    InsertColumnById(3, kColumnNew, 273, 60);
    SetItemCount(summary_.RowCount());
}

COnlineAccountList::~COnlineAccountList() = default;

ListStyle COnlineAccountList::GetCreateStyle() const {
    return {true, true, true};
}

void* COnlineAccountList::GetItemObject(int row) const {
    return summary_.AccountAt(row);
}

void COnlineAccountList::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                                  void* object, int row) const {
    const auto* account = static_cast<const CAccount*>(object);
    if (account == nullptr)
        return;
    const DownloadCounts counts = summary_.CountsAt(row);
    switch (columnId) {
        case kColumnAccount:
            DrawTextCell(painter, cell,
                         QString::fromStdString(platform::Cp1252ToUtf8(account->GetName())));
            return;
        case kColumnDownloaded:
            DrawTextCell(painter, cell, QString::number(counts.downloaded), true);
            return;
        case kColumnMatched:
            DrawTextCell(painter, cell, QString::number(counts.matched), true);
            return;
        case kColumnNew:
            DrawTextCell(painter, cell, QString::number(counts.fresh), true);
            return;
        default:
            return;
    }
}

void COnlineAccountList::OnItemDoubleClicked(int) {
    emit rowDoubleClicked();
}

COnlineSummaryAllDlg::COnlineSummaryAllDlg(CAccounts& data, MReviewRegister* view,
                                           MTransactionEditor* editor, QWidget* parent)
    : QDialog(parent),
      data_(data),
      view_(view),
      editor_(editor),
      summary_(data),
      messages_(this),
      list_(Named(new COnlineAccountList(summary_, this), 1152)),
      later_(Button(kStrReviewLater, 1147, this)) {
    setObjectName(QStringLiteral("id_183"));
    setWindowTitle(StringText(kStrCaption));
    list_->setMinimumSize(380, 180);
    auto* review = Button(kStrReviewAccount, kSummaryReview, this);
    auto* acceptAll = Button(kStrAcceptAll, kSummaryAcceptAll, this);
    review->setDefault(true);
    connect(review, &QPushButton::clicked, this, &COnlineSummaryAllDlg::OnReview);
    connect(list_, &COnlineAccountList::rowDoubleClicked, this, &COnlineSummaryAllDlg::OnReview);
    connect(acceptAll, &QPushButton::clicked, this, &COnlineSummaryAllDlg::OnAcceptAll);
    connect(later_, &QPushButton::clicked, this, &COnlineSummaryAllDlg::accept);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(review);
    buttons->addWidget(acceptAll);
    buttons->addWidget(later_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    if (summary_.RowCount() > 0)
        list_->SetSelection(0, true);
    Refresh();
    list_->setFocus();
}

COnlineSummaryAllDlg::~COnlineSummaryAllDlg() = default;

void COnlineSummaryAllDlg::Refresh() {
    later_->setText(StringText(summary_.ReviewLaterCaptionId()));
    list_->viewport()->update();
}

void COnlineSummaryAllDlg::OnReview() {
    CAccount* account = summary_.ReviewTarget(list_->GetFirstSelectedItem(), messages_);
    if (account == nullptr)
        return;
    RunReviewTransactionDialog(this, data_, *account, nullptr, view_, editor_);
    summary_.Recount();
    Refresh();
}

void COnlineSummaryAllDlg::OnAcceptAll() {
    const bool ok = summary_.AcceptAll(messages_);
    if (view_ != nullptr)
        view_->RefreshRegister();
    if (ok) {
        done(1);
        return;
    }
    Refresh();
}

void COnlineSummaryAllDlg::accept() {
    done(1);
}

void COnlineSummaryAllDlg::reject() {
    done(2);
}

int RunOnlineSummarySimple(QWidget* parent, int transactions, int banks) {
    COnlineSummarySimpleDlg dialog(transactions, banks, parent);
    return Services().RunDialog(dialog);
}

int RunOnlineSummary(QWidget* parent, CAccounts& data, CAccount& account, MReviewRegister* view,
                     MTransactionEditor* editor) {
    COnlineSummaryDlg dialog(CountDownloads(account), parent);
    const int code = Services().RunDialog(dialog);
    if (code == kSummaryReview) {
        RunReviewTransactionDialog(parent, data, account, nullptr, view, editor);
    } else if (code == kSummaryAcceptAll) {
        const int result = account.AcceptAllDownloaded();
        if (view != nullptr)
            view->RefreshRegister();
        if (result != 0) {
            ServiceMessages messages(parent);
            ShowFileErrorMessage(messages, result);
        }
    }
    return code;
}

int RunOnlineSummaryAll(QWidget* parent, CAccounts& data, MReviewRegister* view,
                        MTransactionEditor* editor) {
    COnlineSummaryAllDlg dialog(data, view, editor, parent);
    return Services().RunDialog(dialog);
}

}  // namespace tallowmere::ui
