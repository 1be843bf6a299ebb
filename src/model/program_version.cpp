#include "model/program_version.h"

#include <cstring>

#include "model/paths.h"
#include "model/string_table.h"

// Set by the build from the project's version.
#ifndef TALLOWMERE_VERSION_MAJOR
#error "the build defines TALLOWMERE_VERSION_MAJOR, _MINOR, _BUILD and _REVISION"
#endif

namespace tallowmere {
namespace {

void CopyIfShorter(char* buffer, std::size_t size, const std::string& text) {
    if (buffer != nullptr && text.size() < size)
        std::memcpy(buffer, text.c_str(), text.size() + 1);
}

}  // namespace

ProgramVersion GetProgramVersion() {
    return ProgramVersion{TALLOWMERE_VERSION_MAJOR, TALLOWMERE_VERSION_MINOR,
                          TALLOWMERE_VERSION_BUILD, TALLOWMERE_VERSION_REVISION};
}

std::string ProgramVersionText() {
    const ProgramVersion v = GetProgramVersion();
    return FormatText("%d.%d.%d.%d", {std::int64_t{v.major}, std::int64_t{v.minor},
                                      std::int64_t{v.build}, std::int64_t{v.revision}});
}

int GetVersionStrings(const std::string& modulePath, std::string* numeric, std::string* file,
                      std::string* product) {
    const std::string self = GetModulePath();
    if (self.empty() || modulePath != self)
        return kEUnexpected;
    const std::string text = ProgramVersionText();
    for (std::string* out : {numeric, file, product}) {
        if (out != nullptr)
            *out = text;
    }
    return 0;
}

void GetProgramTitleAndVersion(char* title, std::size_t titleSize, char* version,
                               std::size_t versionSize) {
    std::string name = GetFileNamePart(GetModulePath());
    StripExtension(name);
    CopyIfShorter(title, titleSize, name);
    CopyIfShorter(version, versionSize, ProgramVersionText());
}

}  // namespace tallowmere
