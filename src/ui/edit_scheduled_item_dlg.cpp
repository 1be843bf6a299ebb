#include "ui/edit_scheduled_item_dlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cstdint>

#include "model/scheduled.h"
#include "model/string_table.h"
#include "ui/auto_fill_combo.h"
#include "ui/icon_list_button.h"
#include "ui/palm_date.h"
#include "ui/small_dialog_parts.h"
#include "ui/splits_dlg.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaption = 3760;
constexpr int kLabelNextDate = 3761;
constexpr int kLabelFrequency = 3762;
constexpr int kLabelRepeat = 3763;
constexpr int kTextIndefinitely = 3764;
constexpr int kTextTimes = 3765;
constexpr int kLabelEnter = 3766;
constexpr int kTextManually = 3767;
constexpr int kTextRemind = 3768;
constexpr int kTextDaysEntry = 3769;
constexpr int kLabelDays = 3770;
constexpr int kLabelAccount = 3771;
constexpr int kLabelPayee = 3772;
constexpr int kLabelType = 3773;
constexpr int kLabelAmount = 3774;
constexpr int kLabelCategory = 3775;
constexpr int kLabelClass = 3776;
constexpr int kLabelMemo = 3777;
constexpr int kTextSplit = 3778;
constexpr int kTextOk = 3779;
constexpr int kTextCancel = 3780;
constexpr int kStringFrequencies = 380;
constexpr int kPayeeWidth = 32;
constexpr int kMemoWidth = 160;
constexpr std::int64_t kSecondsPerDay = 86400;

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

QLabel* Label(int stringId, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(Text(stringId), parent);
    label->setBuddy(buddy);
    return label;
}

QPushButton* Button(int id, int stringId, QWidget* parent) {
    auto* button = Named(new QPushButton(Text(stringId), parent), id);
    button->setAutoDefault(false);
    button->setMinimumWidth(CharsWide(*button, 10));
    return button;
}

CIconListButton* MakeListButton(int id, QWidget* parent) {
    auto* button = Named(new CIconListButton(parent), id);
    button->SetIconList(0);
    button->SetImages(0, 1);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

// An editable combo whose typed text never becomes an item; completion is
// the program's own.
QComboBox* EditableCombo(int id, QWidget* parent) {
    auto* combo = Named(new QComboBox(parent), id);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    CAutoFillCombo::Attach(*combo, 0, 0);
    return combo;
}

void Refill(QComboBox& combo, const std::vector<std::string>& entries) {
    const QSignalBlocker block(&combo);
    const QString text = combo.currentText();
    combo.clear();
    for (const std::string& entry : entries)
        combo.addItem(FromUtf8(entry));
    if (combo.isEditable())
        combo.setEditText(text);
}

// The picked day at the time of day the item had, kept within the dates
// the files hold.
PalmTime DayAtTimeOf(const QDate& day, PalmTime timeOf) {
    const std::int64_t start = DayToPalmTime(day);
    const std::int64_t t = start + static_cast<std::int64_t>(timeOf) % kSecondsPerDay;
    return t > static_cast<std::int64_t>(kNoDueDate) ? kNoDueDate - 1 : static_cast<PalmTime>(t);
}

}  // namespace

bool WidgetScheduledItemDialogs::RunSplits(const CAccount* target, SplitsData& io) {
    return RunSplitsDialog(parent_, data_, target, io) == 1;
}

std::optional<std::string> WidgetScheduledItemDialogs::RunListEditor(ListEditorKind kind,
                                                                     const std::string& current) {
    if (!listEditors_)
        return std::nullopt;
    return listEditors_(parent_, kind, current);
}

CEditScheduledItemDlg::CEditScheduledItemDlg(CAccounts& data, const CAccount* current,
                                             CScheduledItem* item, ScheduledItemSubDialogs& dialogs,
                                             bool listEditors, QWidget* parent)
    : QDialog(parent),
      messages_(this),
      logic_(data, current, item, messages_, dialogs),
      date_(Named(new QDateEdit(this), kScheduledNextDate)),
      frequency_(Named(new QComboBox(this), kScheduledFrequency)),
      repeatLabel_(Named(new QLabel(Text(kLabelRepeat), this), kScheduledRepeatLabel)),
      repeat_(Named(new QComboBox(this), kScheduledRepeat)),
      count_(Named(new QLineEdit(this), kScheduledRepeatCount)),
      enter_(Named(new QComboBox(this), kScheduledEnter)),
      days_(Named(new QLineEdit(this), kScheduledDays)),
      daysLabel_(Named(new QLabel(Text(kLabelDays), this), kScheduledDaysLabel)),
      account_(Named(new QComboBox(this), kScheduledAccount)),
      payee_(EditableCombo(kScheduledPayee, this)),
      type_(Named(new QComboBox(this), kScheduledType)),
      amount_(Named(new QLineEdit(this), kScheduledAmount)),
      category_(EditableCombo(kScheduledCategory, this)),
      class_(EditableCombo(kScheduledClass, this)),
      memo_(Named(new QLineEdit(this), kScheduledMemo)) {
    setObjectName(QStringLiteral("id_1589"));
    setWindowTitle(Text(kCaption));
    form_ = logic_.Open();

    SetUpDatePicker(*date_);
    for (int f = 0; f < kFrequencyCount; ++f)
        frequency_->addItem(Text(kStringFrequencies + f));
    repeat_->addItem(Text(kTextIndefinitely));
    repeat_->addItem(Text(kTextTimes));
    enter_->addItem(Text(kTextManually));
    enter_->addItem(Text(kTextRemind));
    enter_->addItem(Text(kTextDaysEntry));
    for (const std::string& name : form_.accountNames)
        account_->addItem(FromUtf8(name));
    for (const std::string& name : form_.typeNames)
        type_->addItem(FromUtf8(name));
    count_->setMaxLength(3);
    days_->setMaxLength(3);
    for (QLineEdit* edit : {count_, days_})
        edit->setFixedWidth(CharsWide(*edit, 6));
    payee_->lineEdit()->setMaxLength(kPayeeWidth);
    memo_->setMaxLength(kMemoWidth);
    amount_->setMinimumWidth(CharsWide(*amount_, 14));
    for (QComboBox* combo : {frequency_, repeat_, enter_})
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (QComboBox* combo : {account_, payee_, category_, class_})
        combo->setMinimumWidth(CharsWide(*combo, 30));

    auto* payeeList = MakeListButton(kScheduledPayeeList, this);
    auto* categoryList = MakeListButton(kScheduledCategoryList, this);
    auto* classList = MakeListButton(kScheduledClassList, this);
    for (CIconListButton* button : {payeeList, categoryList, classList})
        button->setEnabled(listEditors);
    auto* split = Button(kScheduledSplit, kTextSplit, this);
    auto* ok = Button(1, kTextOk, this);
    auto* cancel = Button(2, kTextCancel, this);
    ok->setDefault(true);
    ok->setAutoDefault(true);

    // The repeat details.
    auto* repeatBox = new QGroupBox(this);
    auto* repeatGrid = new QGridLayout(repeatBox);
    repeatGrid->setHorizontalSpacing(10);
    repeatGrid->setVerticalSpacing(8);
    repeatGrid->addWidget(Label(kLabelNextDate, date_, this), 0, 0);
    repeatGrid->addWidget(date_, 0, 1, 1, 3, Qt::AlignLeft);
    repeatGrid->addWidget(Label(kLabelFrequency, frequency_, this), 1, 0);
    repeatGrid->addWidget(frequency_, 1, 1, 1, 3, Qt::AlignLeft);
    repeatLabel_->setBuddy(repeat_);
    repeatGrid->addWidget(repeatLabel_, 2, 0);
    repeatGrid->addWidget(repeat_, 2, 1);
    repeatGrid->addWidget(count_, 2, 2, Qt::AlignLeft);
    repeatGrid->addWidget(Label(kLabelEnter, enter_, this), 3, 0);
    repeatGrid->addWidget(enter_, 3, 1);
    auto* daysRow = new QHBoxLayout;
    daysRow->setSpacing(6);
    daysRow->addWidget(days_);
    daysRow->addWidget(daysLabel_);
    repeatGrid->addLayout(daysRow, 3, 2, Qt::AlignLeft);
    repeatGrid->setColumnStretch(3, 1);
    // Hidden controls keep their room, so nothing jumps as they come and go.
    for (QWidget* w : {static_cast<QWidget*>(repeatLabel_), static_cast<QWidget*>(repeat_),
                       static_cast<QWidget*>(count_), static_cast<QWidget*>(days_),
                       static_cast<QWidget*>(daysLabel_)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }

    // The transaction.
    auto* transactionBox = new QGroupBox(this);
    auto* grid = new QGridLayout(transactionBox);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->addWidget(Label(kLabelAccount, account_, this), 0, 0);
    grid->addWidget(account_, 0, 1);
    grid->addWidget(Label(kLabelPayee, payee_, this), 1, 0);
    grid->addWidget(payee_, 1, 1);
    grid->addWidget(payeeList, 1, 2);
    grid->addWidget(Label(kLabelType, type_, this), 2, 0);
    auto* typeRow = new QHBoxLayout;
    typeRow->setSpacing(10);
    typeRow->addWidget(type_, 1);
    typeRow->addWidget(Label(kLabelAmount, amount_, this));
    typeRow->addWidget(amount_);
    grid->addLayout(typeRow, 2, 1);
    grid->addWidget(Label(kLabelCategory, category_, this), 3, 0);
    grid->addWidget(category_, 3, 1);
    grid->addWidget(categoryList, 3, 2);
    grid->addWidget(Label(kLabelClass, class_, this), 4, 0);
    grid->addWidget(class_, 4, 1);
    grid->addWidget(classList, 4, 2);
    grid->addWidget(Label(kLabelMemo, memo_, this), 5, 0);
    grid->addWidget(memo_, 5, 1);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(split);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    layout->addWidget(repeatBox);
    layout->addWidget(transactionBox);
    layout->addLayout(buttons);

    // User choices: the rules run again on each.
    for (QComboBox* combo : {frequency_, repeat_, enter_}) {
        connect(combo, &QComboBox::activated, this, [this] {
            form_ = Pull();
            PushVisibility(form_);
        });
    }
    connect(account_, &QComboBox::activated, this, &CEditScheduledItemDlg::AccountChosen);
    connect(split, &QPushButton::clicked, this, &CEditScheduledItemDlg::Split);
    connect(payeeList, &QAbstractButton::clicked, this,
            [this] { ListButton(ListEditorKind::kPayees); });
    connect(categoryList, &QAbstractButton::clicked, this,
            [this] { ListButton(ListEditorKind::kCategories); });
    connect(classList, &QAbstractButton::clicked, this,
            [this] { ListButton(ListEditorKind::kClasses); });
    connect(ok, &QPushButton::clicked, this, &CEditScheduledItemDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CEditScheduledItemDlg::reject);

    Push(form_);
    date_->setFocus();
}

CEditScheduledItemDlg::~CEditScheduledItemDlg() = default;

void CEditScheduledItemDlg::PushEntries(const ScheduledItemForm& form) {
    Refill(*payee_, form.payeeEntries);
    Refill(*category_, form.categoryEntries);
    Refill(*class_, form.classEntries);
}

void CEditScheduledItemDlg::PushVisibility(const ScheduledItemForm& form) {
    repeatLabel_->setVisible(form.RepeatShown());
    repeat_->setVisible(form.RepeatShown());
    count_->setVisible(form.CountShown());
    days_->setVisible(form.DaysShown());
    daysLabel_->setVisible(form.DaysShown());
    category_->setEnabled(form.CategoryEditable());
    class_->setEnabled(form.CategoryEditable());
}

void CEditScheduledItemDlg::Push(const ScheduledItemForm& form) {
    const QSignalBlocker blocks[] = {QSignalBlocker(frequency_), QSignalBlocker(repeat_),
                                     QSignalBlocker(enter_), QSignalBlocker(account_),
                                     QSignalBlocker(type_)};
    date_->setDate(ToQDate(form.nextDate));
    frequency_->setCurrentIndex(form.frequencyIndex);
    repeat_->setCurrentIndex(form.repeatIndex);
    count_->setText(FromUtf8(form.repeatCountText));
    enter_->setCurrentIndex(form.enterIndex);
    days_->setText(FromUtf8(form.daysText));
    account_->setCurrentIndex(form.accountIndex);
    type_->setCurrentIndex(form.typeIndex);
    amount_->setText(FromUtf8(form.amountText));
    memo_->setText(FromUtf8(form.memo));
    PushEntries(form);
    payee_->setEditText(FromUtf8(form.payee));
    category_->setEditText(FromUtf8(form.category));
    class_->setEditText(FromUtf8(form.classText));
    PushVisibility(form);
}

ScheduledItemForm CEditScheduledItemDlg::Pull() const {
    ScheduledItemForm form = form_;
    if (date_->date() != ToQDate(form_.nextDate))
        form.nextDate = DayAtTimeOf(date_->date(), form_.nextDate);
    form.frequencyIndex = frequency_->currentIndex();
    form.repeatIndex = repeat_->currentIndex();
    form.repeatCountText = count_->text().toStdString();
    form.enterIndex = enter_->currentIndex();
    form.daysText = days_->text().toStdString();
    form.accountIndex = account_->currentIndex();
    form.payee = payee_->currentText().toStdString();
    form.typeIndex = type_->currentIndex();
    form.amountText = amount_->text().toStdString();
    form.category = category_->currentText().toStdString();
    form.classText = class_->currentText().toStdString();
    form.memo = memo_->text().toStdString();
    return form;
}

void CEditScheduledItemDlg::Focus(const DialogStep& step) {
    auto* control = findChild<QWidget*>(QStringLiteral("id_%1").arg(step.focusId));
    if (control == nullptr)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (!step.selectAll)
        return;
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

void CEditScheduledItemDlg::AccountChosen() {
    form_ = Pull();
    logic_.OnAccountChosen(form_);
    Refill(*category_, form_.categoryEntries);
}

void CEditScheduledItemDlg::Split() {
    form_ = Pull();
    logic_.OnSplit(form_);
    Push(form_);
}

void CEditScheduledItemDlg::ListButton(ListEditorKind kind) {
    form_ = Pull();
    logic_.OnListButton(form_, kind);
    Push(form_);
}

void CEditScheduledItemDlg::accept() {
    form_ = Pull();
    const DialogStep step = logic_.Save(form_);
    if (step.close)
        done(step.code);
    else
        Focus(step);
}

void CEditScheduledItemDlg::reject() {
    done(2);
}

}  // namespace tallowmere::ui
