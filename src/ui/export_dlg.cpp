#include "ui/export_dlg.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "model/string_table.h"
#include "ui/palm_date.h"
#include "ui/small_dialog_parts.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {}  // namespace

CExportDlg::CExportDlg(ExportRange& range, QWidget* parent)
    : QDialog(parent),
      messages_(this),
      range_(range),
      choice_(new QButtonGroup(this)),
      from_(Named(new QDateEdit(this), kExportFrom)),
      to_(Named(new QDateEdit(this), kExportTo)) {
    setObjectName(QStringLiteral("id_184"));
    setWindowTitle(Text(kStringExportCaption));

    auto* all = Named(new QRadioButton(Text(3522), this), kExportAllRadio);
    auto* selected = Named(new QRadioButton(Text(3523), this), kExportSelectedRadio);
    auto* dates = Named(new QRadioButton(Text(3524), this), kExportRangeRadio);
    choice_->addButton(all, kExportAll);
    choice_->addButton(selected, kExportSelected);
    choice_->addButton(dates, kExportDateRange);
    SetUpDatePicker(*from_);
    SetUpDatePicker(*to_);
    auto* fromLabel = new QLabel(Text(3525), this);
    auto* toLabel = new QLabel(Text(3526), this);
    fromLabel->setBuddy(from_);
    toLabel->setBuddy(to_);

    // The pickers under Date Range, indented as its text is.
    auto* pickers = new QGridLayout;
    pickers->setContentsMargins(24, 0, 0, 0);
    pickers->setHorizontalSpacing(8);
    pickers->setVerticalSpacing(6);
    pickers->addWidget(fromLabel, 0, 0);
    pickers->addWidget(from_, 0, 1, Qt::AlignLeft);
    pickers->addWidget(toLabel, 1, 0);
    pickers->addWidget(to_, 1, 1, Qt::AlignLeft);
    pickers->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(8);
    layout->addWidget(all, 0, Qt::AlignLeft);
    layout->addWidget(selected, 0, Qt::AlignLeft);
    layout->addWidget(dates, 0, Qt::AlignLeft);
    layout->addLayout(pickers);
    layout->addSpacing(8);
    layout->addLayout(ButtonRow(*this, {{1, "OK"}, {2, "Cancel"}}));

    const ExportForm form = OpenExport(range_);
    {
        // Showing the dates is no choice of the user's.
        const QSignalBlocker blockFrom(from_);
        const QSignalBlocker blockTo(to_);
        from_->setDate(ToQDate(form.fromDay));
        to_->setDate(ToQDate(form.toDay));
    }
    if (QAbstractButton* button = choice_->button(form.choice))
        button->setChecked(true);
    selected->setEnabled(form.selectedEnabled);
    connect(from_, &QDateEdit::dateChanged, this, &CExportDlg::OnDateEdited);
    connect(to_, &QDateEdit::dateChanged, this, &CExportDlg::OnDateEdited);
    if (QAbstractButton* checked = choice_->checkedButton())
        checked->setFocus();
    else
        all->setFocus();
}

CExportDlg::~CExportDlg() = default;

void CExportDlg::OnDateEdited() {
    choice_->button(kExportDateRange)->setChecked(true);
}

void CExportDlg::accept() {
    const ExportForm form{choice_->checkedId(), DayToPalmTime(from_->date()),
                          DayToPalmTime(to_->date()), range_.noSelection == false};
    const OkResult result = AcceptExport(form, messages_, range_);
    if (result.close)
        done(1);
    else
        FocusControl(*this, result.focusId);
}

void CExportDlg::reject() {
    done(2);
}

int RunExportDialog(QWidget* parent, bool noSelection, ExportRange& range) {
    range = ExportRangeFromPrefs(noSelection);
    CExportDlg dialog(range, parent);
    const int code = Services().RunDialog(dialog);
    if (code == 1)
        StoreExportRange(range);
    return code;
}

}  // namespace tallowmere::ui
