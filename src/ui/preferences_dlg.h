#pragma once
// "Preferences" (dialog 170): Show Decimals and the date and number layouts
// of imported and exported files. OK closes with 1 and hands the values
// back; Cancel, Esc and the close box give 2 and change nothing.
#include <QDialog>

#include "ui/logic/preferences_logic.h"

class QCheckBox;
class QComboBox;

namespace tallowmere::ui {

class CPreferencesDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPreferencesDlg)

  public:
    explicit CPreferencesDlg(const PreferencesValues& values, QWidget* parent = nullptr);
    ~CPreferencesDlg() override;

    // The values, taken over from the controls by OK.
    const PreferencesValues& Values() const { return values_; }

    void accept() override;
    void reject() override;

  private:
    PreferencesValues values_;
    QCheckBox* showDecimals_;
    QComboBox* dateFormat_;
    QComboBox* numberFormat_;
};

// The view's Preferences command: values in (ReadPreferenceValues), the
// chosen ones out on OK for the caller to store and apply. The dialog's code.
int RunPreferencesDialog(QWidget* parent, PreferencesValues& values);

}  // namespace tallowmere::ui
