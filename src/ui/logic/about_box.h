#pragma once
// What the about box shows: the promo text of the about key (empty when
// there is none) and the version line, both UTF-8.
#include <string>
#include <string_view>

#include "model/preferences.h"

namespace tallowmere::ui {

struct AboutForm {
    std::string promoText;
    std::string versionText;
};

// Reads "Promo Text" (Windows-1252 like every stored text) from the key and
// fills the version line's template with the program's version.
AboutForm OpenAboutBox(std::string_view aboutKeyPath = kAboutKeyPath);

// The program's product version ("1.0.0.0"), compiled in from the build.
std::string ProgramProductVersion();

// The text with its first "%s" replaced by value and every "%%" by "%";
// nothing else is read as a conversion, so a translated template with stray
// "%s%s" or "%n" stays harmless text.
std::string ReplaceFirstStringSpec(std::string_view text, std::string_view value);

}  // namespace tallowmere::ui
