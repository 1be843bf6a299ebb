#pragma once
// The program's settings in the registry, each read and written by its own
// pair of functions on every use. A reader gives its default when the key or
// the value is missing, has another type or size, or does not read. DWORD and
// text writers write only into an existing key (CreatePrefsKeys and
// CreateUserPrefsKey make them); binary writers create their key.
//
// Keys (below the current user's root):
//   product key        "Software\Brackwater\Tallowmere Desktop"
//   platform key   P   product + "\Preferences - " + platform word
//   user key       U   product + "\" + platform form + " - <folder>\Preferences"
//                      for the folder named by "CurrentUser" (Uu: a given user)
//   about key      A   product + "\Preferences"
//   phone sync key S   product + "\iPhoneSyncSettings"
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/record_id.h"
#include "model/show_columns.h"

namespace tallowmere {

inline constexpr char kMakerKeyPath[] = "Software\\Brackwater";
inline constexpr char kProductKeyPath[] = "Software\\Brackwater\\Tallowmere Desktop";
inline constexpr char kAboutKeyPath[] = "Software\\Brackwater\\Tallowmere Desktop\\Preferences";
inline constexpr char kPhoneSyncKeyPath[] =
    "Software\\Brackwater\\Tallowmere Desktop\\iPhoneSyncSettings";

// Where the key paths take the platform number from: the platform-manager
// library unless set (tests). Null restores the library.
using PlatformNumberSource = int (*)();
void SetPlatformNumberSource(PlatformNumberSource source);

// "Palm", "WinCE", "Symbian", "iPhone", "Standalone"; a number outside 0..4
// counts as Standalone.
std::string_view PlatformWord(int platform);
// The user key's form: "Palm", "WinCE", "Symbian", "IPhone", and "Symbian"
// for standalone users.
std::string_view PlatformUserForm(int platform);

std::string GetPlatformPrefsKeyPath();
std::string GetUserPrefsKeyPath(std::string_view userFolder);
std::string GetCurrentUserPrefsKeyPath();

// The maker, product and platform keys, each made when missing.
void CreatePrefsKeys();
// The current user's key.
void CreateUserPrefsKey();

// LOGFONT: the list font, a 60-byte little-endian record.
struct LogFont {
    static constexpr std::size_t kSize = 60;
    static constexpr std::size_t kFaceSize = 32;
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::array<char, kFaceSize> faceName{};  // always NUL-terminated

    std::array<std::uint8_t, kSize> ToBytes() const;
    static LogFont FromBytes(std::span<const std::uint8_t, kSize> bytes);
};

inline constexpr std::size_t kPasswordCribSize = 40;

// --- platform key ---
std::string GetPrefCurrentUser();
void SetPrefCurrentUser(std::string_view folder);
std::string GetPrefWinPos();
void SetPrefWinPos(std::string_view placement);
std::uint32_t GetPrefSyncDirec();
void SetPrefSyncDirec(std::uint32_t mode);

// --- phone sync key ---
// 1 when missing or unreadable; a stored value above 2 reads as 1.
std::uint32_t ReadDisplayUserGuide();
// Creates the key when needed.
void WriteDisplayUserGuide(std::uint32_t value);

// --- about key ---
std::string GetPrefPromoText();

// --- product key ---
// The institution directory's base address ("https://host[:port]"), value
// "Institution Directory URL"; kDefaultFiDirectoryUrl when missing or empty.
inline constexpr char kDefaultFiDirectoryUrl[] = "https://fidb.brackwater.com";
std::string GetPrefFiDirectoryUrl();
void SetPrefFiDirectoryUrl(std::string_view url);

// --- a given user's key ---
// Zero-fills crib, then true only when exactly 40 bytes were read.
bool GetPrefPasswordCrib(std::string_view userFolder,
                         std::span<std::uint8_t, kPasswordCribSize> crib);
void SetPrefPasswordCrib(std::string_view userFolder,
                         std::span<const std::uint8_t, kPasswordCribSize> crib);

// --- the current user's key ---
// True (and font set) only for exactly 60 bytes; otherwise font is unchanged.
bool GetPrefDisplayFont(LogFont& font);
void SetPrefDisplayFont(const LogFont& font);

// Copies the stored set into columns only for exactly 96 bytes with a count
// of 0..15; otherwise columns keeps what it holds.
bool ReadShowColumnsPref(std::string_view valueName, CShowColumns& columns);
void WriteShowColumnsPref(std::string_view valueName, const CShowColumns& columns);
// The page's defaults overlaid with the stored set. The register's columns
// 0..9 are at least 24 pixels wide.
CShowColumns LoadShowColumnsRegister();
void SaveShowColumnsRegister(const CShowColumns& columns);
CShowColumns LoadShowColumnsReconcile();
void SaveShowColumnsReconcile(const CShowColumns& columns);
CShowColumns LoadShowColumnsReport();
void SaveShowColumnsReport(const CShowColumns& columns);
CShowColumns LoadShowColumnsBudget();
void SaveShowColumnsBudget(const CShowColumns& columns);

// The all-zero id overlaid with the stored bytes (at most 8).
RecordId GetPrefLastReportAccount();
void SetPrefLastReportAccount(const RecordId& account);

std::uint32_t GetPrefBudgetsRowColor();
void SetPrefBudgetsRowColor(std::uint32_t color);
std::uint32_t GetPrefReportsRowColor();
void SetPrefReportsRowColor(std::uint32_t color);
std::uint32_t GetPrefReconcileRowColor();
void SetPrefReconcileRowColor(std::uint32_t color);

bool GetPrefShowDecimals();
void SetPrefShowDecimals(bool show);
bool GetPrefShowYear();
void SetPrefShowYear(bool show);
bool GetPrefShowEmptyItems();
void SetPrefShowEmptyItems(bool show);

std::uint32_t GetPrefTransactionFilter();
void SetPrefTransactionFilter(std::uint32_t filter);
std::uint32_t GetPrefUpcomingThroughMode();
void SetPrefUpcomingThroughMode(std::uint32_t mode);
std::uint32_t GetPrefImportExportDateFormat();
void SetPrefImportExportDateFormat(std::uint32_t format);
std::uint32_t GetPrefImportExportNumberFormat();
void SetPrefImportExportNumberFormat(std::uint32_t format);

// The file path of the account last shown in the register.
std::string GetPrefLastActiveAccount();
void SetPrefLastActiveAccount(std::string_view accountPath);

std::uint32_t GetPrefBalanceType(int index);
void SetPrefBalanceType(int index, std::uint32_t type);
std::uint16_t GetPrefLastAmountType(std::int16_t index);
void SetPrefLastAmountType(std::int16_t index, std::uint16_t type);
std::uint16_t GetPrefLastReportType();
void SetPrefLastReportType(std::uint16_t type);
std::uint32_t GetPrefLastReportBy();
void SetPrefLastReportBy(std::uint32_t by);
std::uint32_t GetPrefLastReportPeriod();
void SetPrefLastReportPeriod(std::uint32_t period);
std::uint32_t GetPrefLastBudgetBy();
void SetPrefLastBudgetBy(std::uint32_t by);
std::uint32_t GetPrefLastBudgetPeriod();
void SetPrefLastBudgetPeriod(std::uint32_t period);
std::uint32_t GetPrefLastStartDate();
void SetPrefLastStartDate(std::uint32_t date);
std::uint32_t GetPrefLastEndDate();
void SetPrefLastEndDate(std::uint32_t date);
std::uint32_t GetPrefLastExportDate();
void SetPrefLastExportDate(std::uint32_t date);
std::uint32_t GetPrefLastExportType();
void SetPrefLastExportType(std::uint32_t type);

}  // namespace tallowmere
