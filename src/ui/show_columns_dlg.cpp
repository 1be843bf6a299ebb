#include "ui/show_columns_dlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <cstddef>

#include "ui/small_dialog_parts.h"
#include "ui/ui_services.h"

namespace tallowmere::ui {

CShowColumnsDlg::CShowColumnsDlg(CShowColumns& columns, QWidget* parent)
    : QDialog(parent), columns_(columns) {
    setObjectName(QStringLiteral("id_136"));
    setWindowTitle(QStringLiteral("Show Columns"));

    auto* boxColumn = new QVBoxLayout;
    boxColumn->setSpacing(6);
    const ShowColumnsForm form = OpenShowColumns(columns_);
    for (std::size_t i = 0; i < kShowColumnBoxes.size(); ++i) {
        const ShowColumnBox& box = kShowColumnBoxes[i];
        boxes_[i] = Named(new QCheckBox(QString::fromUtf8(box.label), this), box.controlId);
        boxes_[i]->setChecked(form[i]);
        boxColumn->addWidget(boxes_[i], 0, Qt::AlignLeft);
    }
    boxColumn->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    auto* boxesRow = new QHBoxLayout;
    boxesRow->addLayout(boxColumn);
    boxesRow->addSpacing(CharsWide(*this, 12));
    layout->addLayout(boxesRow);
    layout->addLayout(ButtonRow(*this, {{1, "OK"}, {2, "Cancel"}}));
    boxes_[0]->setFocus();
}

CShowColumnsDlg::~CShowColumnsDlg() = default;

void CShowColumnsDlg::accept() {
    ShowColumnsForm form{};
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        form[i] = boxes_[i]->isChecked();
    AcceptShowColumns(form, columns_);
    done(1);
}

void CShowColumnsDlg::reject() {
    done(2);
}

int RunShowColumnsDialog(QWidget* parent, CShowColumns& columns) {
    CShowColumnsDlg dialog(columns, parent);
    return Services().RunDialog(dialog);
}

}  // namespace tallowmere::ui
