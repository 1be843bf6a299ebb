#include "ui/logic/file_commands.h"

namespace tallowmere::ui {

ImportKind ImportKindOfFile(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos)
        return ImportKind::kNone;
    const std::string_view extension = name.substr(dot + 1);
    if (extension == "csv")
        return ImportKind::kCsv;
    if (extension == "qif")
        return ImportKind::kQif;
    if (extension == "ofx" || extension == "qfx")
        return ImportKind::kOfx;
    return ImportKind::kNone;
}

int ImportFilterString(ImportKind kind) {
    switch (kind) {
        case ImportKind::kCsv:
            return kStringCsvFilter;
        case ImportKind::kQif:
            return kStringQifFilter;
        case ImportKind::kOfx:
            return kStringOfxFilter;
        case ImportKind::kNone:
            break;
    }
    return 0;
}

}  // namespace tallowmere::ui
