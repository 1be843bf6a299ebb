#pragma once
// The program's version: four numbers from the build's project version,
// compiled in, since a Linux program file carries no version resource. It
// appears in the main window's title and the About box.
#include <cstddef>
#include <string>

namespace tallowmere {

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int build = 0;
    int revision = 0;
};

// The Windows code for a module without a readable version.
inline constexpr int kEUnexpected = static_cast<int>(0x8000FFFFu);

ProgramVersion GetProgramVersion();
// "%d.%d.%d.%d"; the numeric, file and product versions are all this text.
std::string ProgramVersionText();

// The version texts of a module file. Only the program file itself has them
// (0); any other path gives kEUnexpected and leaves the texts alone.
int GetVersionStrings(const std::string& modulePath, std::string* numeric, std::string* file,
                      std::string* product);

// The program file's name without folder and extension, and the version
// text, each copied with its NUL only when it is shorter than its buffer;
// otherwise that buffer is left as it was.
void GetProgramTitleAndVersion(char* title, std::size_t titleSize, char* version,
                               std::size_t versionSize);

}  // namespace tallowmere
