#include "ui/preferences_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "model/string_table.h"
#include "ui/small_dialog_parts.h"
#include "ui/ui_services.h"

namespace tallowmere::ui {
namespace {

template <std::size_t N>
void Fill(QComboBox& combo, const std::array<int, N>& entries) {
    for (const int entry : entries)
        combo.addItem(QString::fromStdString(LoadString(entry)));
}

}  // namespace

CPreferencesDlg::CPreferencesDlg(const PreferencesValues& values, QWidget* parent)
    : QDialog(parent),
      values_(values),
      showDecimals_(Named(new QCheckBox(QStringLiteral("Show Decimals"), this), kPrefShowDecimals)),
      dateFormat_(Named(new QComboBox(this), kPrefDateFormat)),
      numberFormat_(Named(new QComboBox(this), kPrefNumberFormat)) {
    setObjectName(QStringLiteral("id_170"));
    setWindowTitle(QStringLiteral("Preferences"));

    Fill(*dateFormat_, kDateFormatEntries);
    Fill(*numberFormat_, kNumberFormatEntries);
    for (QComboBox* combo : {dateFormat_, numberFormat_})
        combo->setMinimumWidth(CharsWide(*combo, 16));

    auto* general = new QGroupBox(QStringLiteral("General"), this);
    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addWidget(showDecimals_, 0, Qt::AlignLeft);

    auto* exchange = new QGroupBox(QStringLiteral("Import/Export"), this);
    auto* exchangeLayout = new QGridLayout(exchange);
    exchangeLayout->setHorizontalSpacing(10);
    exchangeLayout->setVerticalSpacing(8);
    auto* dateLabel = new QLabel(QStringLiteral("Date Format:"), exchange);
    dateLabel->setBuddy(dateFormat_);
    auto* numberLabel = new QLabel(QStringLiteral("Number Format:"), exchange);
    numberLabel->setBuddy(numberFormat_);
    exchangeLayout->addWidget(dateLabel, 0, 0);
    exchangeLayout->addWidget(dateFormat_, 0, 1);
    exchangeLayout->addWidget(numberLabel, 1, 0);
    exchangeLayout->addWidget(numberFormat_, 1, 1);
    exchangeLayout->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    layout->addWidget(general);
    layout->addWidget(exchange);
    layout->addSpacing(4);
    layout->addLayout(ButtonRow(*this, {{1, "OK"}, {2, "Cancel"}}));

    const PreferencesForm form = OpenPreferences(values_);
    showDecimals_->setChecked(form.showDecimals);
    dateFormat_->setCurrentIndex(form.dateFormat);
    numberFormat_->setCurrentIndex(form.numberFormat);
    showDecimals_->setFocus();
}

CPreferencesDlg::~CPreferencesDlg() = default;

void CPreferencesDlg::accept() {
    AcceptPreferences(
        {showDecimals_->isChecked(), dateFormat_->currentIndex(), numberFormat_->currentIndex()},
        values_);
    done(1);
}

void CPreferencesDlg::reject() {
    done(2);
}

int RunPreferencesDialog(QWidget* parent, PreferencesValues& values) {
    CPreferencesDlg dialog(values, parent);
    const int code = Services().RunDialog(dialog);
    if (code == 1)
        values = dialog.Values();
    return code;
}

}  // namespace tallowmere::ui
