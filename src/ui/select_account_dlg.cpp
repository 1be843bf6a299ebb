#include "ui/select_account_dlg.h"

#include <QVBoxLayout>

#include "exchange/fi_accounts_list.h"
#include "platform/text_1252.h"
#include "ui/cell_painter.h"
#include "ui/online_dialog_parts.h"
#include "ui/small_dialog_parts.h"

namespace tallowmere::ui {
namespace {

constexpr int kStrCaption = 3618;
constexpr int kStrOk = 3612;
constexpr int kStrCancel = 3601;
constexpr std::uint16_t kTypeColumn = 0;
constexpr std::uint16_t kNumberColumn = 1;

}  // namespace

CAccountListCtrl::CAccountListCtrl(const CFiAccountsList& accounts, QWidget* parent)
    : COwnerListCtrl(parent), accounts_(accounts) {
    ApplyStyle(GetCreateStyle());
    InsertColumnWithId(0, kTypeColumn, QString(), 200);
    InsertColumnWithId(1, kNumberColumn, QString(), 200);
    SetItemCount(static_cast<int>(accounts_.GetCount()));
}

CAccountListCtrl::~CAccountListCtrl() = default;

ListStyle CAccountListCtrl::GetCreateStyle() const {
    return {true, true, true};
}

void* CAccountListCtrl::GetItemObject(int row) const {
    return row < 0 ? nullptr
                   : const_cast<CFiAccountInfo*>(accounts_.GetAt(static_cast<std::size_t>(row)));
}

void CAccountListCtrl::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                                void* object, int) const {
    const auto* info = static_cast<const CFiAccountInfo*>(object);
    if (info == nullptr)
        return;
    const std::string text = columnId == kTypeColumn
                                 ? AccountTypeName(info->GetType())
                                 : platform::Cp1252ToUtf8(info->GetAccountNumber());
    DrawTextCell(painter, cell, QString::fromStdString(text));
}

void CAccountListCtrl::OnItemDoubleClicked(int) {
    emit rowDoubleClicked();
}

CSelectAccountDlg::CSelectAccountDlg(const CAccounts& data, const CFiAccountsList& accounts,
                                     int current, QWidget* parent)
    : QDialog(parent),
      data_(data),
      accounts_(accounts),
      current_(current),
      messages_(this),
      list_(Named(new CAccountListCtrl(accounts, this), kSelectAccountList)) {
    setObjectName(QStringLiteral("id_155"));
    setWindowTitle(StringText(kStrCaption));
    list_->setMinimumSize(404, 180);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(14);
    layout->addWidget(list_, 1);
    layout->addLayout(
        ButtonRow(*this, {{1, LoadString(kStrOk).c_str()}, {2, LoadString(kStrCancel).c_str()}}));
    connect(list_, &CAccountListCtrl::rowDoubleClicked, this, &CSelectAccountDlg::accept);
    if (current >= 0) {
        list_->SetSelection(current, true);
        list_->EnsureVisible(current);
    }
    list_->setFocus();
}

CSelectAccountDlg::~CSelectAccountDlg() = default;

void CSelectAccountDlg::accept() {
    const OkResult ok = AcceptSelectedBankAccount(data_, accounts_, list_->GetFirstSelectedItem(),
                                                  current_, messages_, chosen_);
    if (ok.close)
        done(1);
}

void CSelectAccountDlg::reject() {
    done(2);
}

}  // namespace tallowmere::ui
