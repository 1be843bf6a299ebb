#include "ui/splits_dlg.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QStringListModel>
#include <QVBoxLayout>

#include "model/string_table.h"
#include "ui/auto_fill_combo.h"
#include "ui/combo_texts.h"
#include "ui/money_static.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaption = 3360;  // "Splits"
constexpr int kHeading = 3361;
constexpr int kColumnCategory = 3362;
constexpr int kColumnClass = 3363;
constexpr int kColumnMemo = 3364;
constexpr int kColumnAmount = 3365;
constexpr int kSplitsTotalLabel = 3366;
constexpr int kRemainderLabel = 3367;
constexpr int kTransactionTotalLabel = 3368;
constexpr int kAdjustText = 3369;
constexpr int kClearText = 3370;
constexpr int kOkText = 3371;
constexpr int kCancelText = 3372;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAdjust = 3;
constexpr int kIdClear = 4;
constexpr int kIdSplitsTotal = 1051;
constexpr int kIdRemainder = 1052;
constexpr int kIdTransactionTotal = 1054;

int CategoryId(int row) {
    return 1021 + 3 * row;
}
int MemoId(int row) {
    return 1022 + 3 * row;
}
int AmountId(int row) {
    return 1023 + 3 * row;
}
int ClassId(int row) {
    return 1053 + row;
}

template <typename W>
W* Named(W* widget, int id) {
    widget->setObjectName(QStringLiteral("id_%1").arg(id));
    return widget;
}

QLabel* PlainLabel(int stringId, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(Text(stringId));
    return label;
}

}  // namespace

CSplitsDlg::CSplitsDlg(CAccounts& data, const CAccount* target, const SplitsData& in,
                       QWidget* parent)
    : QDialog(parent), messages_(this), logic_(data, target, messages_) {
    setObjectName(QStringLiteral("id_138"));
    setWindowTitle(Text(kCaption));
    logic_.Open(in);

    // One model for the ten category combos and one for the ten class combos.
    categoryModel_ = new QStringListModel(ToStringList(logic_.CategoryEntries()), this);
    classModel_ = new QStringListModel(ToStringList(logic_.ClassEntries()), this);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(10);

    QLabel* heading = PlainLabel(kHeading, this);
    heading->setObjectName(QStringLiteral("heading"));
    layout->addWidget(heading);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->addWidget(PlainLabel(kColumnCategory, this), 0, 0);
    grid->addWidget(PlainLabel(kColumnClass, this), 0, 1);
    grid->addWidget(PlainLabel(kColumnMemo, this), 0, 2);
    QLabel* amountLabel = PlainLabel(kColumnAmount, this);
    amountLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(amountLabel, 0, 3);
    BuildRows(*grid, 1);

    // The totals stand under the amounts.
    const struct {
        int label;
        int id;
        CMoneyStatic** field;
    } totals[] = {
        {kSplitsTotalLabel, kIdSplitsTotal, &splitsTotal_},
        {kRemainderLabel, kIdRemainder, &remainder_},
        {kTransactionTotalLabel, kIdTransactionTotal, &transactionTotal_},
    };
    int gridRow = 1 + kSplitRows;
    grid->setRowMinimumHeight(gridRow++, 8);
    for (const auto& total : totals) {
        QLabel* label = PlainLabel(total.label, this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, gridRow, 2);
        *total.field = Named(new CMoneyStatic(this), total.id);
        grid->addWidget(*total.field, gridRow, 3);
        ++gridRow;
    }
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    auto* adjust = Named(new QPushButton(Text(kAdjustText), this), kIdAdjust);
    auto* clear = Named(new QPushButton(Text(kClearText), this), kIdClear);
    ok_ = Named(new QPushButton(Text(kOkText), this), kIdOk);
    auto* cancel = Named(new QPushButton(Text(kCancelText), this), kIdCancel);
    ok_->setDefault(true);
    for (QPushButton* button : {adjust, clear, ok_, cancel})
        button->setAutoDefault(false);
    ok_->setDefault(true);
    buttons->addWidget(adjust);
    buttons->addWidget(clear);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    // The control table's order: the rows, then OK, Cancel, Adjust, Clear.
    QWidget* previous = nullptr;
    const auto chain = [&previous](QWidget* next) {
        if (previous != nullptr)
            setTabOrder(previous, next);
        previous = next;
    };
    for (const RowWidgets& row : rows_) {
        chain(row.category);
        chain(row.classCombo);
        chain(row.memo);
        chain(row.amount);
    }
    for (QWidget* button : {static_cast<QWidget*>(ok_), static_cast<QWidget*>(cancel),
                            static_cast<QWidget*>(adjust), static_cast<QWidget*>(clear)})
        chain(button);

    connect(ok_, &QPushButton::clicked, this, &CSplitsDlg::OnOk);
    connect(cancel, &QPushButton::clicked, this, &CSplitsDlg::reject);
    connect(adjust, &QPushButton::clicked, this, &CSplitsDlg::OnAdjust);
    connect(clear, &QPushButton::clicked, this, &CSplitsDlg::OnClear);

    Push();
    ShowTotals();
    rows_[0].category->setFocus();
}

CSplitsDlg::~CSplitsDlg() {
    // The fields outlive this part of the dialog while Qt takes them down.
    for (const RowWidgets& row : rows_) {
        for (QWidget* w :
             {static_cast<QWidget*>(row.category), static_cast<QWidget*>(row.classCombo),
              static_cast<QWidget*>(row.memo), static_cast<QWidget*>(row.amount)})
            w->removeEventFilter(this);
    }
}

void CSplitsDlg::BuildRows(QGridLayout& grid, int firstGridRow) {
    for (int i = 0; i < kSplitRows; ++i) {
        RowWidgets& row = rows_[i];
        row.category = Named(new QComboBox(this), CategoryId(i));
        row.classCombo = Named(new QComboBox(this), ClassId(i));
        for (QComboBox* combo : {row.category, row.classCombo}) {
            combo->setEditable(true);
            combo->setModel(combo == row.category ? categoryModel_ : classModel_);
            combo->setMaxVisibleItems(16);
            CAutoFillCombo::Attach(*combo, 0, 0);
            // After the auto-fill's filter, so that this one sees keys first.
            combo->installEventFilter(this);
        }
        row.category->setMinimumWidth(200);
        row.classCombo->setMinimumWidth(120);
        row.memo = Named(new QLineEdit(this), MemoId(i));
        row.memo->setMinimumWidth(220);
        row.amount = Named(new QLineEdit(this), AmountId(i));
        row.amount->setAlignment(Qt::AlignRight);
        row.amount->setMinimumWidth(110);
        row.memo->installEventFilter(this);
        row.amount->installEventFilter(this);

        const int gridRow = firstGridRow + i;
        grid.addWidget(row.category, gridRow, 0);
        grid.addWidget(row.classCombo, gridRow, 1);
        grid.addWidget(row.memo, gridRow, 2);
        grid.addWidget(row.amount, gridRow, 3);
    }
}

void CSplitsDlg::Push() {
    for (int i = 0; i < kSplitRows; ++i) {
        const SplitsRow& from = logic_.Rows()[i];
        RowWidgets& row = rows_[i];
        SetComboText(*row.category, from.category);
        SetComboText(*row.classCombo, from.classText);
        row.memo->setText(QString::fromStdString(from.memo));
        row.amount->setText(QString::fromStdString(from.amount));
    }
}

void CSplitsDlg::Pull() {
    for (int i = 0; i < kSplitRows; ++i) {
        SplitsRow& to = logic_.Rows()[i];
        const RowWidgets& row = rows_[i];
        to.category = row.category->currentText().toStdString();
        to.classText = row.classCombo->currentText().toStdString();
        to.memo = row.memo->text().toStdString();
        to.amount = row.amount->text().toStdString();
    }
}

void CSplitsDlg::ShowTotals() {
    const SplitsTotals& totals = logic_.Totals();
    const auto show = [](CMoneyStatic* field, WideCents value) {
        field->SetAmount(QString::fromStdString(FormatWideMoney(value)), value < 0);
    };
    show(splitsTotal_, totals.splits);
    show(remainder_, totals.remainder);
    show(transactionTotal_, totals.transaction);
}

void CSplitsDlg::Focus(const SplitsFocus& focus) {
    if (focus.row < 0 || focus.row >= kSplitRows)
        return;
    const RowWidgets& row = rows_[focus.row];
    QLineEdit* edit = nullptr;
    QWidget* widget = nullptr;
    switch (focus.field) {
        case SplitsField::kCategory:
            widget = row.category;
            edit = row.category->lineEdit();
            break;
        case SplitsField::kClass:
            widget = row.classCombo;
            edit = row.classCombo->lineEdit();
            break;
        case SplitsField::kMemo:
            widget = edit = row.memo;
            break;
        case SplitsField::kAmount:
            widget = edit = row.amount;
            break;
    }
    widget->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

bool CSplitsDlg::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress) {
        // Return and Enter in a combo go straight to OK: the combo would
        // otherwise take a matching item first.
        const int key = static_cast<const QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && qobject_cast<QComboBox*>(watched)) {
            if (ok_->isEnabled())
                ok_->click();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (type != QEvent::FocusIn && type != QEvent::FocusOut)
        return QDialog::eventFilter(watched, event);

    Pull();
    logic_.Recompute();
    if (type == QEvent::FocusIn) {
        for (int i = 0; i < kSplitRows; ++i) {
            QLineEdit* amount = rows_[i].amount;
            if (watched != amount || !logic_.OnAmountFocus(i))
                continue;
            amount->setText(QString::fromStdString(logic_.Rows()[i].amount));
            // After the edit has taken the focus, which places the caret.
            QMetaObject::invokeMethod(amount, &QLineEdit::selectAll, Qt::QueuedConnection);
        }
    }
    ShowTotals();
    return QDialog::eventFilter(watched, event);
}

void CSplitsDlg::OnAdjust() {
    Pull();
    logic_.Adjust();
    ShowTotals();
}

void CSplitsDlg::OnClear() {
    logic_.Clear();
    Push();
    ShowTotals();
}

void CSplitsDlg::OnOk() {
    Pull();
    SplitsFocus focus;
    if (logic_.Ok(&focus))
        done(1);
    else
        Focus(focus);
}

void CSplitsDlg::reject() {
    done(2);
}

int RunSplitsDialog(QWidget* parent, CAccounts& data, const CAccount* target, SplitsData& io) {
    CSplitsDlg dialog(data, target, io, parent);
    const int result = Services().RunDialog(dialog);
    if (result == 1)
        io = dialog.Result();
    return result;
}

}  // namespace tallowmere::ui
