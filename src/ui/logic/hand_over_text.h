#pragma once
// The text a second start hands to the running copy: its arguments with every
// file argument made absolute here, since the running copy has another
// working folder.
#include <string>
#include <vector>

namespace tallowmere::ui {

// arguments: those after the program's name. An argument not starting with
// '-' is a file and is made absolute against workingFolder; arguments holding
// blanks are quoted; all are joined by one blank. The result is cut to the
// 1023 bytes the running copy keeps, never inside a UTF-8 character.
std::string BuildHandOverText(const std::vector<std::string>& arguments,
                              const std::string& workingFolder);

}  // namespace tallowmere::ui
