#include "ui/report_details_dlg.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/string_table.h"
#include "ui/report_detail_ctrl.h"
#include "ui/small_dialog_parts.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

QPushButton* Button(QDialog& dialog, int stringId, int id) {
    auto* button = Named(new QPushButton(Text(stringId), &dialog), id);
    button->setMinimumWidth(CharsWide(*button, 10));
    return button;
}

}  // namespace

CReportDetailsDlg::CReportDetailsDlg(DataSetSource data, CReport& report, const CReportItem& row,
                                     bool payeeColumn, TransactionDialogRunner& runner,
                                     QWidget* parent)
    : QDialog(parent),
      data_(data),
      logic_(std::move(data), report, row, runner),
      heading_(Named(new QLabel(this), kDetailHeading)),
      list_(new CReportDetailCtrl(data_ ? data_() : nullptr, this)),
      edit_(Button(*this, 3502, kDetailEdit)) {
    setObjectName(QStringLiteral("id_144"));
    setWindowTitle(Text(kStringDetailCaption));
    heading_->setText(QString::fromStdString(logic_.HeadingText()));
    heading_->setTextFormat(Qt::PlainText);

    list_->Create(QRect(), this, kDetailList);
    int width = 0;
    int position = 0;
    for (const DetailColumn& column : ReportDetailColumns(payeeColumn)) {
        list_->InsertColumnById(position++, column.columnId, column.titleStringId, column.width);
        width += column.width;
    }
    list_->SetDetail(&report, &logic_.Refs(), DetailAmountRuleFor(row));
    // The rows keep the report's order: no column shows a sort arrow.
    list_->SetSort(kNoColumnId, 0);
    list_->setMinimumSize(width + list_->frameWidth() * 2 + 24, 220);

    auto* ok = Button(*this, 3503, 1);
    auto* cancel = Button(*this, 3504, 2);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(edit_);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(heading_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(edit_, &QPushButton::clicked, this, &CReportDetailsDlg::OnEdit);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CReportDetailsDlg::UpdateEdit);
    connect(list_, &QAbstractItemView::doubleClicked, this, &CReportDetailsDlg::OnEdit);
    connect(list_, &CReportDetailCtrl::staleRowSeen, this, &CReportDetailsDlg::RefreshRows);

    RefreshRows();
    list_->setFocus();
}

CReportDetailsDlg::~CReportDetailsDlg() = default;

void CReportDetailsDlg::RefreshRows() {
    CAccounts* data = data_ ? data_() : nullptr;
    if (list_->GetDataSet() != data)
        list_->SetDataSet(data);
    logic_.Prune();
    list_->ResetItemCount();
    list_->viewport()->update();
    UpdateEdit();
}

void CReportDetailsDlg::UpdateEdit() {
    edit_->setEnabled(ReportDetailsLogic::EditEnabled(list_->GetFirstSelectedItem()));
}

void CReportDetailsDlg::OnEdit() {
    const int row = list_->GetFirstSelectedItem();
    if (!ReportDetailsLogic::EditEnabled(row))
        return;
    logic_.Edit(static_cast<std::size_t>(row));
    // The count follows the rows either way; the cells were edited.
    RefreshRows();
}

void CReportDetailsDlg::accept() {
    done(1);
}

void CReportDetailsDlg::reject() {
    done(2);
}

int RunReportDetailsDialog(QWidget* parent, DataSetSource data, CReport& report,
                           const CReportItem& row, bool payeeColumn,
                           TransactionDialogRunner& runner) {
    CReportDetailsDlg dialog(std::move(data), report, row, payeeColumn, runner, parent);
    return Services().RunDialog(dialog);
}

}  // namespace tallowmere::ui
