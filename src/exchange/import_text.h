#pragma once
// The text of a file to import, in the model's Windows-1252 form: files
// written elsewhere are often UTF-8, ours are 1252.
#include <string>
#include <string_view>

namespace tallowmere::exchange {

// Valid UTF-8 that is not plain ASCII (a leading byte-order mark dropped) is
// converted to Windows-1252; anything else is taken as Windows-1252 already.
std::string DecodeImportText(std::string bytes);

// Reads the whole file and decodes it. 0 (an empty file gives an empty
// text) or the Windows error of the failed read; text is then empty.
int ReadImportFile(const std::string& path, std::string& text);

}  // namespace tallowmere::exchange
