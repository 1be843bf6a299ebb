#include "ui/logic/about_box.h"

#include "model/registry.h"
#include "model/string_table.h"
#include "platform/text_1252.h"

#ifndef TALLOWMERE_PRODUCT_VERSION
#error "the build defines TALLOWMERE_PRODUCT_VERSION"
#endif

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

std::string ProgramProductVersion() {
    return TALLOWMERE_PRODUCT_VERSION;
}

std::string ReplaceFirstStringSpec(std::string_view text, std::string_view value) {
    std::string out;
    out.reserve(text.size() + value.size());
    bool replaced = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            if (text[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (text[i + 1] == 's' && !replaced) {
                out += value;
                replaced = true;
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace tallowmere::ui
