#include "ui/edit_record_dlgs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "model/string_table.h"
#include "ui/choose_icon_dlg.h"
#include "ui/icon_painter.h"
#include "ui/logic/list_editor.h"
#include "ui/small_dialog_parts.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

constexpr int kTextOk = 3465;
constexpr int kTextCancel = 3468;

// The large icon and two pixels of frame around it.
constexpr int kFrameWidth = 31 + 8;
constexpr int kFrameHeight = 27 + 8;

QLabel* Label(int textId, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(Text(textId), parent);
    label->setBuddy(buddy);
    return label;
}

QGridLayout* Fields() {
    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    fields->setColumnStretch(1, 1);
    return fields;
}

// The fields above, OK and Cancel below on the right.
void LayOut(QDialog& dialog, QLayout* fields) {
    auto* layout = new QVBoxLayout(&dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addLayout(fields);
    const std::string ok = LoadString(kTextOk);
    const std::string cancel = LoadString(kTextCancel);
    layout->addLayout(ButtonRow(dialog, {{1, ok.c_str()}, {2, cancel.c_str()}}));
}

QLineEdit* NameEdit(QWidget* parent, int id, int maxChars) {
    auto* edit = Named(new QLineEdit(parent), id);
    edit->setMaxLength(maxChars);
    edit->setMinimumWidth(CharsWide(*edit, 30));
    return edit;
}

void FocusAll(QLineEdit& edit) {
    edit.setFocus(Qt::OtherFocusReason);
    edit.selectAll();
}

// Closes with OK, or puts the focus where the logic says.
void Finish(QDialog& dialog, const DialogStep& step) {
    if (step.close)
        dialog.done(step.code);
    else
        FocusControl(dialog, step.focusId);
}

}  // namespace

// ------------------------------------------------------------ icon frame

CIconFrame::CIconFrame(const IconPainter& icons, QWidget* parent) : QWidget(parent), icons_(icons) {
    setFixedSize(kFrameWidth, kFrameHeight);
}

CIconFrame::~CIconFrame() = default;

void CIconFrame::SetIcon(int icon) {
    icon_ = icon;
    update();
}

QSize CIconFrame::sizeHint() const {
    return {kFrameWidth, kFrameHeight};
}

void CIconFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = rect();
    frame.lineWidth = 1;
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
    icons_.DrawIcon(painter, rect().adjusted(2, 2, -2, -2), icon_);
}

// ------------------------------------------------------------ category

CEditCategoryDlg::CEditCategoryDlg(EditCategoryLogic& logic, const CIconResourceList& iconSet,
                                   const IconPainter& icons, QWidget* parent)
    : QDialog(parent),
      logic_(logic),
      iconSet_(iconSet),
      icons_(icons),
      name_(NameEdit(this, kCategoryName, kCategoryNameChars)),
      parent_(Named(new QComboBox(this), kCategoryParent)),
      frame_(Named(new CIconFrame(icons, this), kCategoryIconFrame)) {
    setObjectName(QStringLiteral("id_177"));
    setWindowTitle(Text(3450));
    auto* iconButton = Named(new QPushButton(Text(3453), this), kCategoryIconButton);
    iconButton->setAutoDefault(false);

    for (const ParentEntry& entry : logic_.ParentEntries())
        parent_->addItem(QString::fromStdString(entry.text));
    parent_->setMaxVisibleItems(16);

    QGridLayout* fields = Fields();
    fields->addWidget(Label(3451, name_, this), 0, 0);
    fields->addWidget(name_, 0, 1);
    fields->addWidget(Label(3452, parent_, this), 1, 0);
    fields->addWidget(parent_, 1, 1);
    auto* iconRow = new QHBoxLayout;
    iconRow->setSpacing(10);
    iconRow->addWidget(iconButton);
    iconRow->addWidget(frame_);
    iconRow->addStretch();
    fields->addLayout(iconRow, 2, 1);
    LayOut(*this, fields);

    const EditCategoryForm& form = logic_.Form();
    name_->setText(QString::fromStdString(form.name));
    parent_->setCurrentIndex(form.parentIndex);
    frame_->SetIcon(form.icon);
    connect(parent_, &QComboBox::activated, this, &CEditCategoryDlg::OnParentChosen);
    connect(iconButton, &QPushButton::clicked, this, &CEditCategoryDlg::OnIcon);
    FocusAll(*name_);
}

CEditCategoryDlg::~CEditCategoryDlg() = default;

void CEditCategoryDlg::Pull() {
    EditCategoryForm& form = logic_.Form();
    form.name = name_->text().toStdString();
    form.parentIndex = parent_->currentIndex();
    form.icon = static_cast<std::uint16_t>(frame_->Icon());
}

void CEditCategoryDlg::OnParentChosen(int index) {
    Pull();
    logic_.OnParentChosen(index);
    frame_->SetIcon(logic_.Form().icon);
}

void CEditCategoryDlg::OnIcon() {
    const std::optional<int> chosen = RunChooseIconDialog(this, frame_->Icon(), iconSet_, icons_);
    if (!chosen)
        return;
    logic_.OnIconChosen(*chosen);
    frame_->SetIcon(logic_.Form().icon);
}

void CEditCategoryDlg::accept() {
    Pull();
    Finish(*this, logic_.Ok());
}

void CEditCategoryDlg::reject() {
    done(2);
}

// ------------------------------------------------------------ class, payee

CEditNameDlg::CEditNameDlg(EditNameLogic& logic, int dialogId, int captionId, int labelId,
                           QWidget* parent)
    : QDialog(parent), logic_(logic), name_(NameEdit(this, kRecordName, kNameChars)) {
    setObjectName(QStringLiteral("id_%1").arg(dialogId));
    setWindowTitle(Text(captionId));
    QGridLayout* fields = Fields();
    fields->addWidget(Label(labelId, name_, this), 0, 0);
    fields->addWidget(name_, 0, 1);
    LayOut(*this, fields);
    name_->setText(QString::fromStdString(logic_.NameText()));
    FocusAll(*name_);
}

CEditNameDlg::~CEditNameDlg() = default;

void CEditNameDlg::accept() {
    logic_.NameText() = name_->text().toStdString();
    Finish(*this, logic_.Ok());
}

void CEditNameDlg::reject() {
    done(2);
}

CEditClassDlg::CEditClassDlg(EditNameLogic& logic, QWidget* parent)
    : CEditNameDlg(logic, 176, 3454, 3455, parent) {}

CEditClassDlg::~CEditClassDlg() = default;

CEditPayeeDlg::CEditPayeeDlg(EditNameLogic& logic, QWidget* parent)
    : CEditNameDlg(logic, 131, 3460, 3461, parent) {}

CEditPayeeDlg::~CEditPayeeDlg() = default;

// ------------------------------------------------------------ currency

CEditCurrencyDlg::CEditCurrencyDlg(EditCurrencyLogic& logic, QWidget* parent)
    : QDialog(parent),
      logic_(logic),
      symbol_(Named(new QLineEdit(this), kCurrencySymbol)),
      rate_(Named(new QLineEdit(this), kCurrencyRate)) {
    setObjectName(QStringLiteral("id_178"));
    setWindowTitle(Text(3456));
    symbol_->setMaxLength(kCurrencySymbolChars);
    symbol_->setMinimumWidth(CharsWide(*symbol_, 8));
    rate_->setMinimumWidth(CharsWide(*rate_, 18));
    QGridLayout* fields = Fields();
    fields->addWidget(Label(3457, symbol_, this), 0, 0);
    fields->addWidget(symbol_, 0, 1, Qt::AlignLeft);
    fields->addWidget(Label(3458, rate_, this), 1, 0);
    fields->addWidget(rate_, 1, 1, Qt::AlignLeft);
    LayOut(*this, fields);
    symbol_->setText(QString::fromStdString(logic_.Form().symbol));
    rate_->setText(QString::fromStdString(logic_.Form().rateText));
    FocusAll(*symbol_);
}

CEditCurrencyDlg::~CEditCurrencyDlg() = default;

void CEditCurrencyDlg::accept() {
    logic_.Form().symbol = symbol_->text().toStdString();
    logic_.Form().rateText = rate_->text().toStdString();
    Finish(*this, logic_.Ok());
}

void CEditCurrencyDlg::reject() {
    done(2);
}

// ------------------------------------------------------------ transaction type

CEditTransactionTypeDlg::CEditTransactionTypeDlg(EditTransactionTypeLogic& logic, QWidget* parent)
    : QDialog(parent),
      logic_(logic),
      name_(NameEdit(this, kTypeName, kTypeNameChars)),
      direction_(Named(new QComboBox(this), kTypeDirection)) {
    setObjectName(QStringLiteral("id_180"));
    setWindowTitle(Text(3462));
    name_->setMinimumWidth(CharsWide(*name_, 20));
    for (const int id : kTypeDirectionEntries)
        direction_->addItem(Text(id));
    QGridLayout* fields = Fields();
    fields->addWidget(Label(3463, name_, this), 0, 0);
    fields->addWidget(name_, 0, 1);
    fields->addWidget(Label(3464, direction_, this), 1, 0);
    fields->addWidget(direction_, 1, 1, Qt::AlignLeft);
    LayOut(*this, fields);
    const EditTypeForm& form = logic_.Form();
    // The limit is for typing: a longer name made elsewhere (the handheld)
    // must not be cut just by opening it.
    const QString name = QString::fromStdString(form.name);
    name_->setMaxLength(std::max(kTypeNameChars, static_cast<int>(name.size())));
    name_->setText(name);
    direction_->setCurrentIndex(form.direction);
    direction_->setEnabled(form.directionEnabled);
    FocusAll(*name_);
}

CEditTransactionTypeDlg::~CEditTransactionTypeDlg() = default;

void CEditTransactionTypeDlg::accept() {
    EditTypeForm& form = logic_.Form();
    form.name = name_->text().toStdString();
    if (form.directionEnabled)
        form.direction = direction_->currentIndex();
    Finish(*this, logic_.Ok());
}

void CEditTransactionTypeDlg::reject() {
    done(2);
}

}  // namespace tallowmere::ui
