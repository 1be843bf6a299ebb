#pragma once
// Which importer a file goes to, and the message and dialog texts of the
// view's import and export commands.
#include <string_view>

namespace tallowmere::ui {

enum class ImportKind { kNone, kCsv, kQif, kOfx };

// By the extension of the file name, compared with case: "csv", "qif",
// "ofx" or "qfx"; anything else (no extension, "CSV", a path ending in
// '/') is none.
ImportKind ImportKindOfFile(std::string_view path);
// The open dialog's filter text for the kind (string 353, 350 or 354); 0
// for none.
int ImportFilterString(ImportKind kind);

inline constexpr int kStringDeleteAccountQuestion = 133;
inline constexpr int kStringDueScheduledQuestion = 153;
inline constexpr int kStringExported = 186;
inline constexpr int kStringNotTallowmereFile = 197;
inline constexpr int kStringExportFailed = 246;
inline constexpr int kStringQifFilter = 350;
inline constexpr int kStringImportTitle = 351;
inline constexpr int kStringExportTitle = 352;
inline constexpr int kStringCsvFilter = 353;
inline constexpr int kStringOfxFilter = 354;

}  // namespace tallowmere::ui
