#pragma once
// The program's string table: ids and texts as the system gives them, compiled
// in from res/strings.txt; the UI may load an override file of the same form.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tallowmere {

// The text of a string id; empty when the id is unknown.
std::string LoadString(int id);
// The same in Windows-1252, the form of a text that goes into a record or
// is compared with one.
std::string LoadString1252(int id);

// Replaces entries with those of a file of the res/strings.txt form. An
// entry is taken only when its id is one of the program's and its
// conversions (everything from a '%' to its conversion character, "%%" left
// out) equal the program's text's, in order; other entries are skipped
// silently. Returns 0 or a Windows error code.
int LoadStringTableOverride(const std::string& path);

using FormatArg = std::variant<std::int64_t, std::string>;

// printf-style formatting of a string-table text with %d %i %u %x %X %s %%
// (flags and widths such as %04d are honoured); missing arguments format as
// empty text, so a bad table entry can never read past the arguments.
std::string FormatText(std::string_view format, const std::vector<FormatArg>& args);

}  // namespace tallowmere
