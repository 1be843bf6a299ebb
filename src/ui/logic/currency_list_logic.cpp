#include "ui/logic/currency_list_logic.h"

#include <memory>
#include <utility>

#include "ui/logic/file_error_message.h"

namespace tallowmere::ui {

CurrencyListLogic::CurrencyListLogic(CAccounts& data, Messages& messages,
                                     RunRecordDialog<EditCurrencyLogic> run, MListEditorView* view)
    : data_(data), messages_(messages), run_(std::move(run)), view_(view) {}

CCurrencyItem* CurrencyListLogic::ItemAt(int row) const {
    if (row < 0)
        return nullptr;
    return dynamic_cast<CCurrencyItem*>(
        data_.Currencies().GetAt(static_cast<std::size_t>(row), false));
}

bool CurrencyListLogic::IsHome(int row) const {
    const CCurrencyItem* item = ItemAt(row);
    return item != nullptr && data_.Currencies().IsHomeCurrency(item);
}

int CurrencyListLogic::Count() const {
    return static_cast<int>(data_.Currencies().GetCount(false));
}

ListStep CurrencyListLogic::New() {
    CCurrencyList& list = data_.Currencies();
    if (list.GetCount(true) >= static_cast<std::size_t>(kMaxCurrencyRecords)) {
        messages_.Show(StringMessage(kStringTooManyCurrencies));
        return ListStep::Nothing();
    }
    EditCurrencyLogic edit(list, nullptr, messages_);
    if (!run_ || !run_(edit))
        return ListStep::Nothing();
    const CurrencyId id = list.NewCurrencyId();
    if (id == 0) {  // every id is taken; the limit above normally comes first
        messages_.Show(StringMessage(kStringTooManyCurrencies));
        return ListStep::Nothing();
    }
    auto item = std::make_unique<CCurrencyItem>(edit.Symbol());
    item->SetRate(edit.Rate());
    item->SetCurrencyId(id);
    const CCurrencyItem* added = item.get();
    list.AddUniqueAndSave(item);  // a failed save reports itself
    if (item)                     // the symbol was taken after all
        return ListStep::Nothing();
    return ListStep::Select(list.IndexOf(added));
}

ListStep CurrencyListLogic::Edit(int row) {
    CCurrencyItem* item = ItemAt(row);
    if (item == nullptr)
        return ListStep::Nothing();
    CCurrencyList& list = data_.Currencies();
    EditCurrencyLogic edit(list, item, messages_);
    if (!run_ || !run_(edit))
        return ListStep::Nothing();
    item->SetSymbol(edit.Symbol());
    if (edit.Rate() != item->GetRate())
        item->SetRate(edit.Rate());
    list.Save();  // a failed save reports itself
    return ListStep::Select(row);
}

ListStep CurrencyListLogic::Delete(int row) {
    CCurrencyItem* item = ItemAt(row);
    if (item == nullptr)
        return ListStep::Nothing();
    CCurrencyList& list = data_.Currencies();
    if (list.IsHomeCurrency(item)) {
        messages_.Show(StringMessage(kStringDeleteHome));
        return ListStep::Nothing();
    }
    if (!AskYesNo(messages_, kStringDeleteItem))
        return ListStep::Nothing();
    const CurrencyId id = item->GetCurrencyId();
    list.DeleteItem(item);  // a failed save reports itself
    const int r = data_.ReplaceCurrency(id);
    if (r != 0)
        ShowFileErrorMessage(messages_, r);
    if (view_ != nullptr)
        view_->RefreshAccounts();
    return ListStep::ClearSelection();
}

ListStep CurrencyListLogic::SetAsBase(int row) {
    CCurrencyItem* item = ItemAt(row);
    if (item == nullptr)
        return ListStep::Nothing();
    if (!AskYesNo(messages_, kStringSetAsBase))
        return ListStep::Nothing();
    CCurrencyList& list = data_.Currencies();
    list.SetHomeCurrency(item);
    item->SetRate(1.0);
    list.Save();  // a failed save reports itself
    if (view_ != nullptr)
        view_->RefreshAccounts();
    return ListStep::Repaint();
}

}  // namespace tallowmere::ui
