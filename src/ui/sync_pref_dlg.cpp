#include "ui/sync_pref_dlg.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>

#include "model/string_table.h"
#include "platform/local_address.h"
#include "ui/ui_services.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaptionId = 3340;  // "Android Sync Preference"

template <typename W>
W* Named(W* widget, int id) {
    widget->setObjectName(QStringLiteral("id_%1").arg(id));
    return widget;
}

// A group of three radios, top to bottom, each added to the button group
// under its control id.
QGroupBox* RadioGroup(const QString& title, QButtonGroup* group,
                      std::initializer_list<std::pair<int, const char*>> radios, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* column = new QVBoxLayout(box);
    column->setSpacing(6);
    for (const auto& [id, text] : radios) {
        auto* radio = Named(new QRadioButton(QString::fromUtf8(text), box), id);
        group->addButton(radio, id);
        column->addWidget(radio);
    }
    return box;
}

}  // namespace

CSyncPrefDialog::CSyncPrefDialog(QWidget* parent, std::function<std::string()> address)
    : QDialog(parent),
      modes_(new QButtonGroup(this)),
      defaults_(new QButtonGroup(this)),
      address_(Named(new QLabel(QStringLiteral("0.0.0.0"), this), 1217)) {
    setObjectName(QStringLiteral("id_197"));
    setWindowTitle(QString::fromStdString(LoadString(kCaptionId)));

    QGroupBox* modeBox = RadioGroup(QStringLiteral("Sync Mode"), modes_,
                                    {{1171, "Synchronize"},
                                     {1172, "Desktop overwrites Handheld"},
                                     {1173, "Handheld overwrites Desktop"}},
                                    this);
    // The second default is mode 2 and the third mode 1.
    QGroupBox* defaultBox = RadioGroup(QStringLiteral(" Default"), defaults_,
                                       {{1209, "Synchronize"},
                                        {1210, "Handheld overwrites Desktop"},
                                        {1211, "Desktop overwrites Handheld"}},
                                       this);

    auto* addressLabel = new QLabel(QStringLiteral("Desktop IP Address :"), this);
    address_->setTextFormat(Qt::PlainText);
    address_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* reminder = new QLabel(
        QStringLiteral("Reminder: Sync must be started from your Android device."), this);

    auto* ok = Named(new QPushButton(QStringLiteral("OK"), this), 1);
    auto* cancel = Named(new QPushButton(QStringLiteral("Cancel"), this), 1213);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CSyncPrefDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CSyncPrefDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setHorizontalSpacing(14);
    layout->setVerticalSpacing(12);
    layout->addWidget(modeBox, 0, 0);
    layout->addWidget(defaultBox, 0, 1);
    auto* addressRow = new QHBoxLayout;
    addressRow->setSpacing(6);
    addressRow->addWidget(addressLabel);
    addressRow->addWidget(address_);
    addressRow->addStretch();
    layout->addLayout(addressRow, 1, 0, 1, 2);
    layout->addWidget(reminder, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 3, 0, 1, 2);

    Push(OpenSyncPref(address ? address() : platform::GetLocalIpAddress()));
}

CSyncPrefDialog::~CSyncPrefDialog() = default;

void CSyncPrefDialog::Push(const SyncPrefForm& form) {
    // Exclusive groups cannot be cleared by unchecking a button.
    modes_->setExclusive(false);
    defaults_->setExclusive(false);
    for (QAbstractButton* button : modes_->buttons())
        button->setChecked(modes_->id(button) == form.modeRadio);
    for (QAbstractButton* button : defaults_->buttons())
        button->setChecked(defaults_->id(button) == form.defaultRadio);
    modes_->setExclusive(true);
    defaults_->setExclusive(true);
    address_->setText(QString::fromStdString(form.address));
}

SyncPrefForm CSyncPrefDialog::Pull() const {
    SyncPrefForm form;
    form.modeRadio = modes_->checkedId() < 0 ? kNoRadio : modes_->checkedId();
    form.defaultRadio = defaults_->checkedId() < 0 ? kNoRadio : defaults_->checkedId();
    form.address = address_->text().toStdString();
    return form;
}

void CSyncPrefDialog::accept() {
    AcceptSyncPref(Pull());
    done(1);
}

void CSyncPrefDialog::reject() {
    done(2);
}

int RunSyncPrefDialog(QWidget* parent) {
    CSyncPrefDialog dialog(parent);
    return Services().RunDialog(dialog);
}

}  // namespace tallowmere::ui
