#pragma once
// "Edit Currencies" (dialog 179) apart from its widgets: the currencies in
// list order with their rates and the home currency, New, Edit and Delete
// through "Edit Currency", and Set as Base.
#include "model/accounts.h"
#include "ui/logic/edit_currency_logic.h"
#include "ui/logic/list_editor.h"

namespace tallowmere::ui {

inline constexpr int kCurrencyListId = 1081;
inline constexpr int kMaxCurrencyRecords = 250;

inline constexpr int kStringDeleteHome = 174;
inline constexpr int kStringTooManyCurrencies = 175;
inline constexpr int kStringSetAsBase = 516;

class CurrencyListLogic final : public ListEditorLogic {
  public:
    // view may be null.
    CurrencyListLogic(CAccounts& data, Messages& messages, RunRecordDialog<EditCurrencyLogic> run,
                      MListEditorView* view = nullptr);

    // Null outside the live rows.
    CCurrencyItem* ItemAt(int row) const;
    bool IsHome(int row) const;

    int Count() const override;
    // 175 once the list holds 250 records, deleted ones counted. The new
    // currency's id: one more than the largest id of any record, past 250
    // the smallest free one.
    ListStep New() override;
    ListStep Edit(int row) override;
    // 174 for the home currency; otherwise asks 514, and the accounts kept
    // in the currency move to the home currency and are saved.
    ListStep Delete(int row) override;
    // Asks 516; the currency becomes the home currency at rate 1. The other
    // rates stay as they are.
    ListStep SetAsBase(int row) override;

  private:
    CAccounts& data_;
    Messages& messages_;
    RunRecordDialog<EditCurrencyLogic> run_;
    MListEditorView* view_;
};

}  // namespace tallowmere::ui
