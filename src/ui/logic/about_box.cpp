#include "ui/logic/about_box.h"

#include "model/program_version.h"
#include "model/registry.h"
#include "model/string_table.h"
#include "model/window_text.h"
#include "platform/text_1252.h"

namespace tallowmere::ui {
namespace {

constexpr int kVersionTemplateId = 3251;  // "Tallowmere Desktop version %s"

}  // namespace

AboutForm OpenAboutBox(std::string_view aboutKeyPath) {
    AboutForm form;
    form.promoText = platform::Cp1252ToUtf8(
        RegReadString(RegRoot::kCurrentUser, aboutKeyPath, "Promo Text", ""));
    form.versionText =
        ReplaceFirstStringSpec(LoadString(kVersionTemplateId), ProgramProductVersion());
    return form;
}

// The version and the one-"%s" rule are the core's, shared with every window.
std::string ProgramProductVersion() {
    return ProgramVersionText();
}

std::string ReplaceFirstStringSpec(std::string_view text, std::string_view value) {
    return FormatWindowText(text, value);
}

}  // namespace tallowmere::ui
