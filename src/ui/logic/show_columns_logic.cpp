#include "ui/logic/show_columns_logic.h"

#include <cstddef>

#include "model/show_columns.h"

namespace tallowmere::ui {

ShowColumnsForm OpenShowColumns(const CShowColumns& columns) {
    ShowColumnsForm form{};
    for (std::size_t i = 0; i < kShowColumnBoxes.size(); ++i)
        form[i] = columns.IsVisible(kShowColumnBoxes[i].entry);
    return form;
}

void AcceptShowColumns(const ShowColumnsForm& form, CShowColumns& columns) {
    for (std::size_t i = 0; i < kShowColumnBoxes.size(); ++i)
        columns.SetVisible(kShowColumnBoxes[i].entry, form[i]);
}

}  // namespace tallowmere::ui
