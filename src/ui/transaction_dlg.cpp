#include "ui/transaction_dlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QStringListModel>
#include <QVBoxLayout>
#include <utility>

#include "model/string_table.h"
#include "ui/auto_fill_combo.h"
#include "ui/combo_texts.h"
#include "ui/icon_list_button.h"
#include "ui/palm_date.h"
#include "ui/small_dialog_parts.h"
#include "ui/splits_dlg.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaption = 3471;  // "Transaction Info"
constexpr int kDateLabel = 3472;
constexpr int kPayeeLabel = 3473;
constexpr int kTypeLabel = 3474;
constexpr int kNumberSign = 3475;
constexpr int kAmountLabel = 3476;
constexpr int kCategoryLabel = 3477;
constexpr int kClassLabel = 3478;
constexpr int kMemoLabel = 3479;
constexpr int kStatusLabel = 3480;
constexpr int kFirstStatus = 3481;  // "Uncleared", "Cleared", "Reconciled", "Void"
constexpr int kDeleteText = 3485;
constexpr int kPurgeText = 3486;
constexpr int kSplitText = 3487;
constexpr int kCancelText = 3372;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kMemoChars = 160;

QLabel* BuddyLabel(int stringId, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(Text(stringId), parent);
    label->setBuddy(buddy);
    return label;
}

QComboBox* EditableCombo(int id, QStringListModel* model, QWidget* parent) {
    auto* combo = Named(new QComboBox(parent), id);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setModel(model);
    combo->setMaxVisibleItems(16);
    return combo;
}

CIconListButton* EditorButton(int id, int normal, int pressed, QWidget* parent) {
    auto* button = Named(new CIconListButton(parent), id);
    button->SetIconList(0);
    button->SetImages(normal, pressed);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

}  // namespace

// Area 1017: the icon of the category field.
class CTransactionDlg::IconArea final : public QWidget {
  public:
    IconArea(const IconPainter& icons, QWidget* parent) : QWidget(parent), icons_(icons) {
        setFixedSize(26, 22);
    }
    void SetIcon(int index) {
        if (index == index_)
            return;
        index_ = index;
        update();
    }
    int Icon() const { return index_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        icons_.DrawIcon(painter, rect(), index_);
    }

  private:
    const IconPainter& icons_;
    int index_ = 0;
};

CTransactionDlg::CTransactionDlg(CAccounts& data, CAccount& target, const CTransaction* stored,
                                 bool recordMode, TransactionViewHost* host,
                                 TransactionEditors editors, QWidget* parent)
    : QDialog(parent),
      data_(data),
      messages_(this),
      editors_(std::move(editors)),
      logic_(data, target, stored, messages_, *this, host) {
    setObjectName(QStringLiteral("id_133"));
    setWindowTitle(Text(kCaption));
    logic_.SetRecordMode(recordMode);
    logic_.Open();

    payeeModel_ = new QStringListModel(this);
    categoryModel_ = new QStringListModel(this);
    classModel_ = new QStringListModel(this);

    date_ = Named(new QDateEdit(this), kTransDate);
    SetUpDatePicker(*date_);
    payee_ = EditableCombo(kTransPayee, payeeModel_, this);
    type_ = Named(new QComboBox(this), kTransType);
    checkLabel_ = Named(new QLabel(Text(kNumberSign), this), kTransCheckLabel);
    check_ = Named(new QLineEdit(this), kTransCheckNumber);
    check_->setMaxLength(10);
    amount_ = Named(new QLineEdit(this), kTransAmount);
    amount_->setAlignment(Qt::AlignRight);
    category_ = EditableCombo(kTransCategory, categoryModel_, this);
    class_ = EditableCombo(kTransClass, classModel_, this);
    memo_ = Named(new QLineEdit(this), kTransMemo);
    memo_->setMaxLength(kMemoChars);
    status_ = Named(new QComboBox(this), kTransStatus);
    for (int i = 0; i < 4; ++i)
        status_->addItem(Text(kFirstStatus + i));
    icon_ = Named(new IconArea(icons_, this), kTransIcon);
    payeesButton_ = EditorButton(kTransPayeesButton, 0, 1, this);
    categoriesButton_ = EditorButton(kTransCategoriesButton, 0, 1, this);
    classesButton_ = EditorButton(kTransClassesButton, 0, 1, this);
    currencyButton_ = EditorButton(kTransCurrencyButton, 2, 3, this);
    ok_ = Named(new QPushButton(this), kIdOk);
    cancel_ = Named(new QPushButton(Text(kCancelText), this), kIdCancel);
    delete_ = Named(new QPushButton(Text(kDeleteText), this), kTransDelete);
    purge_ = Named(new QPushButton(Text(kPurgeText), this), kTransPurge);
    split_ = Named(new QPushButton(Text(kSplitText), this), kTransSplit);
    for (QPushButton* button : {ok_, cancel_, delete_, purge_, split_})
        button->setAutoDefault(false);
    ok_->setDefault(true);

    // Completion from the combos' own lists; Tab in the payee field is
    // offered to the payee memory first.
    CAutoFillCombo::Attach(*payee_, 0, 0)->SetKeyHandler(Qt::Key_Tab, [this](int) {
        return OnPayeeTab();
    });
    CAutoFillCombo::Attach(*category_, 0, 0);
    CAutoFillCombo::Attach(*class_, 0, 0);
    // After the auto-fill's filters, so that this one sees Return first.
    for (QComboBox* combo : {payee_, category_, class_})
        combo->installEventFilter(this);

    BuildLayout();

    // activated: the user's choices only, never the filling. Qt also sends
    // it when the payee edit loses the focus on a text that names an entry,
    // which would run the payee memory on leaving the field.
    QObject::disconnect(payee_->lineEdit(), &QLineEdit::editingFinished, payee_, nullptr);
    connect(type_, &QComboBox::activated, this, [this] {
        Pull();
        Apply(logic_.OnTypeChanged());
    });
    connect(payee_, &QComboBox::activated, this, [this](int index) {
        Pull();
        Apply(logic_.OnPayeeChosen(index));
    });
    connect(category_, &QComboBox::editTextChanged, this, [this] {
        Pull();
        icon_->SetIcon(logic_.CategoryIcon());
    });
    const auto forward = [this](QAbstractButton* button,
                                TransactionEvent (TransactionDialogLogic::*event)()) {
        connect(button, &QAbstractButton::clicked, this, [this, event] {
            Pull();
            Apply((logic_.*event)());
        });
    };
    forward(payeesButton_, &TransactionDialogLogic::OnEditPayees);
    forward(categoriesButton_, &TransactionDialogLogic::OnEditCategories);
    forward(classesButton_, &TransactionDialogLogic::OnEditClasses);
    forward(currencyButton_, &TransactionDialogLogic::OnConvertCurrency);
    forward(split_, &TransactionDialogLogic::OnSplits);
    connect(ok_, &QPushButton::clicked, this, [this] {
        Pull();
        Finish(logic_.Ok());
    });
    connect(delete_, &QPushButton::clicked, this, [this] { Finish(logic_.Delete()); });
    connect(purge_, &QPushButton::clicked, this, [this] { Finish(logic_.Purge()); });
    connect(cancel_, &QPushButton::clicked, this, &CTransactionDlg::reject);

    FillCombos();
    Push();
    // Typing starts at the payee of a new transaction.
    if (logic_.IsNew())
        Focus(kTransPayee, true);
    else
        date_->setFocus(Qt::OtherFocusReason);
}

CTransactionDlg::~CTransactionDlg() {
    for (QComboBox* combo : {payee_, category_, class_})
        combo->removeEventFilter(this);
}

void CTransactionDlg::BuildLayout() {
    payee_->setMinimumWidth(CharsWide(*payee_, 34));
    category_->setMinimumWidth(CharsWide(*category_, 34));
    class_->setMinimumWidth(CharsWide(*class_, 20));
    memo_->setMinimumWidth(CharsWide(*memo_, 40));
    amount_->setMinimumWidth(CharsWide(*amount_, 16));
    check_->setFixedWidth(CharsWide(*check_, 11));
    type_->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->setVerticalSpacing(8);
    int row = 0;
    const auto line = [&](int label, QWidget* buddy, QLayout* field, QWidget* button) {
        fields->addWidget(BuddyLabel(label, buddy, this), row, 0);
        fields->addLayout(field, row, 1);
        if (button != nullptr)
            fields->addWidget(button, row, 2, Qt::AlignLeft | Qt::AlignVCenter);
        ++row;
    };
    const auto box = [](std::initializer_list<QWidget*> widgets, bool stretch) {
        auto* h = new QHBoxLayout;
        h->setSpacing(6);
        for (QWidget* w : widgets)
            h->addWidget(w);
        if (stretch)
            h->addStretch(1);
        return h;
    };
    line(kDateLabel, date_, box({date_}, true), nullptr);
    line(kPayeeLabel, payee_, box({payee_}, false), payeesButton_);
    {
        QHBoxLayout* typeBox = box({type_}, false);
        typeBox->addSpacing(10);
        typeBox->addWidget(checkLabel_);
        typeBox->addWidget(check_);
        typeBox->addStretch(1);
        line(kTypeLabel, type_, typeBox, nullptr);
    }
    line(kAmountLabel, amount_, box({amount_}, true), currencyButton_);
    {
        // The category's icon stands between its label and the field, so that
        // every field starts at one edge.
        auto* label = new QHBoxLayout;
        label->setSpacing(6);
        label->addWidget(BuddyLabel(kCategoryLabel, category_, this));
        label->addStretch(1);
        label->addWidget(icon_);
        fields->addLayout(label, row, 0);
        fields->addLayout(box({category_}, false), row, 1);
        fields->addWidget(categoriesButton_, row, 2, Qt::AlignLeft | Qt::AlignVCenter);
        ++row;
    }
    line(kClassLabel, class_, box({class_}, false), classesButton_);
    line(kMemoLabel, memo_, box({memo_}, false), nullptr);
    line(kStatusLabel, status_, box({status_}, true), nullptr);
    fields->setColumnStretch(1, 1);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addSpacing(12);
    buttons->addWidget(split_);
    buttons->addStretch(1);
    buttons->addWidget(delete_);
    buttons->addWidget(purge_);

    auto* layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(16);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    // The control table's order.
    QWidget* order[] = {date_,
                        payee_,
                        type_,
                        check_,
                        amount_,
                        category_,
                        class_,
                        memo_,
                        status_,
                        payeesButton_,
                        categoriesButton_,
                        classesButton_,
                        currencyButton_,
                        ok_,
                        cancel_,
                        delete_,
                        purge_,
                        split_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void CTransactionDlg::FillCombos() {
    const QSignalBlocker blockType(type_);
    type_->clear();
    for (const TransactionTypeEntry& entry : logic_.TypeEntries())
        type_->addItem(QString::fromStdString(entry.text));
    for (QComboBox* combo : {payee_, category_, class_}) {
        const QSignalBlocker blocker(combo);
        auto* model = static_cast<QStringListModel*>(combo->model());
        const std::vector<std::string>& entries = combo == payee_      ? logic_.PayeeEntries()
                                                  : combo == category_ ? logic_.CategoryEntries()
                                                                       : logic_.ClassEntries();
        model->setStringList(ToStringList(entries));
    }
}

void CTransactionDlg::Push() {
    const TransactionForm& f = logic_.Form();
    QWidget* widgets[] = {date_, payee_, type_, check_, amount_, category_, class_, memo_, status_};
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QWidget* w : widgets)
        blockers.push_back(std::make_unique<QSignalBlocker>(w));
    date_->setDate(ToQDate(f.day));
    SetComboText(*payee_, f.payee);
    type_->setCurrentIndex(f.typeIndex);
    check_->setText(QString::fromStdString(f.checkNumber));
    amount_->setText(QString::fromStdString(f.amount));
    SetComboText(*category_, f.category);
    SetComboText(*class_, f.classText);
    memo_->setText(QString::fromStdString(f.memo));
    status_->setCurrentIndex(f.status);
    checkLabel_->setVisible(f.checkShown);
    check_->setVisible(f.checkShown);
    check_->setEnabled(f.checkShown);
    category_->setEnabled(f.categoryEnabled);
    class_->setEnabled(f.categoryEnabled);
    delete_->setVisible(f.deleteShown);
    delete_->setEnabled(f.deleteShown);
    purge_->setVisible(f.deleteShown);
    purge_->setEnabled(f.deleteShown);
    ok_->setText(QString::fromStdString(f.okText));
    icon_->SetIcon(logic_.CategoryIcon());
}

void CTransactionDlg::Pull() {
    TransactionForm& f = logic_.Form();
    f.day = DayToPalmTime(date_->date());
    f.payee = payee_->currentText().toStdString();
    f.typeIndex = type_->currentIndex();
    f.checkNumber = check_->text().toStdString();
    f.amount = amount_->text().toStdString();
    f.category = category_->currentText().toStdString();
    f.classText = class_->currentText().toStdString();
    f.memo = memo_->text().toStdString();
    f.status = status_->currentIndex();
}

void CTransactionDlg::Apply(const TransactionEvent& event) {
    if (event.refill)
        FillCombos();
    if (event.changed || event.refill)
        Push();
    if (event.focusId != 0)
        Focus(event.focusId, true);
}

void CTransactionDlg::Focus(int controlId, bool selectAll) {
    QWidget* widget = findChild<QWidget*>(QStringLiteral("id_%1").arg(controlId));
    if (widget == nullptr)
        return;
    widget->setFocus(Qt::OtherFocusReason);
    if (!selectAll)
        return;
    QLineEdit* edit = qobject_cast<QLineEdit*>(widget);
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        edit = combo->lineEdit();
    if (edit != nullptr) {
        edit->selectAll();
        edit->end(true);  // the caret's end of the selection in view
        edit->selectAll();
    }
}

bool CTransactionDlg::OnPayeeTab() {
    Pull();
    TransactionEvent event;
    if (!logic_.OnPayeeTab(&event))
        return false;
    Apply(event);
    return true;
}

void CTransactionDlg::Finish(const DialogStep& step) {
    if (step.close)
        done(step.code);
    else if (step.focusId != 0)
        Focus(step.focusId, step.selectAll);
}

bool CTransactionDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // Return and Enter in a combo go straight to the default button: the
        // combo would otherwise take a matching item first, and with it the
        // payee memory.
        const int key = static_cast<const QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && qobject_cast<QComboBox*>(watched)) {
            if (ok_->isEnabled())
                ok_->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CTransactionDlg::reject() {
    done(2);
}

std::string CTransactionDlg::EditPayees() {
    return editors_.payees ? editors_.payees(this) : std::string();
}

std::string CTransactionDlg::EditCategories() {
    return editors_.categories ? editors_.categories(this) : std::string();
}

std::string CTransactionDlg::EditClasses() {
    return editors_.classes ? editors_.classes(this) : std::string();
}

int CTransactionDlg::RunSplits(const CAccount& target, SplitsData& io) {
    return RunSplitsDialog(this, data_, &target, io);
}

int CTransactionDlg::RunConvertCurrency(CurrencyId target, bool newTransaction,
                                        ConvertCurrencyData& io) {
    return RunConvertCurrencyDialog(this, data_, target, newTransaction, io, editors_.currencies);
}

int RunTransactionDialog(QWidget* parent, CAccounts& data, CAccount& target,
                         const CTransaction* stored, bool recordMode, TransactionViewHost* host,
                         TransactionEditors editors) {
    CTransactionDlg dialog(data, target, stored, recordMode, host, std::move(editors), parent);
    return Services().RunDialog(dialog);
}

}  // namespace tallowmere::ui
