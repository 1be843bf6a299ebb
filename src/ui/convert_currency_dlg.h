#pragma once
// CConvertCurrencyDlg: an amount in another currency, the rate and the amount
// in the account's currency; Calculate works out the missing one and OK
// teaches the currency list the rate used. The logic lives in
// ConvertCurrencyLogic; this shell builds the controls, pulls and pushes
// their texts and passes the events on. OK gives 1; Esc, Cancel and the
// close box give 2.
#include <QDialog>
#include <functional>

#include "ui/logic/convert_currency_logic.h"
#include "ui/ui_services.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tallowmere::ui {

// Runs the currencies editor over the dialog; the list editors supply it.
using CurrenciesEditor = std::function<void(QWidget* parent)>;

class CConvertCurrencyDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CConvertCurrencyDlg)

  public:
    // target: the account's currency. Without an editor the currencies
    // button does nothing but refill the list.
    CConvertCurrencyDlg(CAccounts& data, CurrencyId target, bool newTransaction,
                        const ConvertCurrencyData& in, CurrenciesEditor editCurrencies = {},
                        QWidget* parent = nullptr);
    ~CConvertCurrencyDlg() override;

    const ConvertCurrencyData& Result() const { return result_; }

    void reject() override;

  private:
    void FillCombo();
    void Push();
    void Pull();
    void Focus(ConvertField field);
    void OnCurrencyChosen(int index);
    void OnCalculate();
    void OnCurrencies();
    void OnOk();

    ServiceMessages messages_;
    ConvertCurrencyLogic logic_;
    CurrenciesEditor editCurrencies_;
    ConvertCurrencyData result_;
    QComboBox* currency_ = nullptr;
    QLineEdit* source_ = nullptr;
    QLineEdit* rate_ = nullptr;
    QLineEdit* converted_ = nullptr;
    QLabel* targetText_ = nullptr;
};

// Runs the dialog over parent through the UI services. On OK (1) io takes
// the chosen source currency and the two amount texts; otherwise (2) io
// stays as it was.
int RunConvertCurrencyDialog(QWidget* parent, CAccounts& data, CurrencyId target,
                             bool newTransaction, ConvertCurrencyData& io,
                             CurrenciesEditor editCurrencies = {});

}  // namespace tallowmere::ui
