#pragma once
// Texts that windows show: a template with one "%s" filled in, and line
// breaks taken out of a text meant for one line. Templates may come from the
// language override file, so they are never used as printf formats.
#include <string>
#include <string_view>

namespace tallowmere {

// The window text with its first "%s" replaced by the argument and every
// "%%" turned into "%"; any other '%' and later "%s" stay as they are.
std::string FormatWindowText(std::string_view windowText, std::string_view argument);
// The same with the program's version as the argument ("version %s").
std::string SetVersionText(std::string_view windowText);

// Each CR becomes the replacement character and each LF is dropped; returns
// the number of CRs.
int ReplaceLineBreaks(std::string& text, char replacement);

}  // namespace tallowmere
