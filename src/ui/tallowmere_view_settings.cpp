// The view's settings commands: the register's columns, the page's row
// colour, the display font and the preferences.
#include <QColor>
#include <QFont>
#include <algorithm>

#include "model/preferences.h"
#include "platform/text_1252.h"
#include "ui/accounts_list_ctrl.h"
#include "ui/logic/preferences_logic.h"
#include "ui/preferences_dlg.h"
#include "ui/register_list_ctrl.h"
#include "ui/show_columns_dlg.h"
#include "ui/tallowmere_view.h"
#include "ui/ui_services.h"

namespace tallowmere::ui {
namespace {

std::uint32_t ToColorRef(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

// The font as the stored record holds it: a negative height is the
// character height in pixels.
LogFont ToLogFont(const QFont& font) {
    LogFont record;
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSize();
    record.height = -std::clamp(pixels, 1, 200);
    record.weight = font.bold() ? 700 : 400;
    record.italic = font.italic() ? 1 : 0;
    record.underline = font.underline() ? 1 : 0;
    record.strikeOut = font.strikeOut() ? 1 : 0;
    const std::string face = platform::Utf8ToCp1252(font.family().toStdString());
    std::copy_n(face.begin(), std::min(face.size(), LogFont::kFaceSize - 1),
                record.faceName.begin());
    return record;
}

}  // namespace

void CTallowmereView::OnShowColumns() {
    CShowColumns columns = LoadShowColumnsRegister();
    if (RunShowColumnsDialog(this, columns) != 1)
        return;
    SaveShowColumnsRegister(columns);
    if (page_ == 0)
        ApplyRegisterColumns(page_);
    update();
}

void CTallowmereView::OnRowColor() {
    if (page_ == 0 && current_ == nullptr)
        return;
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    const QColor initial = list_->GetEvenRowColor();
    const std::optional<QColor> chosen = Services().ChooseColor(this, initial);
    if (!chosen || !chosen->isValid())
        return;
    const std::uint32_t color = ToColorRef(*chosen);
    switch (page_) {
        case 0:
            current_->SetColor(color);
            if (const int code = current_->Save(); code != 0)
                ShowFileErrorMessage(code);
            break;
        case 1:
            SetPrefReportsRowColor(color);
            break;
        case 2:
            SetPrefBudgetsRowColor(color);
            break;
        case 3:
            SetPrefReconcileRowColor(color);
            break;
        default:
            return;
    }
    ApplyRowColor();
    list_->viewport()->update();
}

void CTallowmereView::OnSetFont() {
    const std::optional<QFont> chosen = Services().ChooseFont(this, displayFont_);
    if (!chosen)
        return;
    SetPrefDisplayFont(ToLogFont(*chosen));
    displayFont_ = *chosen;
    list_->setFont(displayFont_);
    list_->viewport()->update();
}

void CTallowmereView::OnPreferences() {
    PreferencesValues values = ReadPreferenceValues(showDecimals_);
    if (RunPreferencesDialog(this, values) != 1)
        return;
    WritePreferenceValues(values);
    showDecimals_ = values.showDecimals;
    pane_->SetShowDecimals(showDecimals_);
    list_->SetShowDecimals(showDecimals_);
    list_->SetShowYear(values.showYear);
    pane_->viewport()->update();
    list_->viewport()->update();
    update();
}

}  // namespace tallowmere::ui
