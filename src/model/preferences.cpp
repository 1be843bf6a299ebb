#include "model/preferences.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "model/byte_order.h"
#include "model/platform_mgr.h"
#include "model/registry.h"
#include "platform/registry_store.h"

namespace tallowmere {
namespace {

constexpr RegRoot kRoot = RegRoot::kCurrentUser;

std::atomic<PlatformNumberSource> g_platform_source{nullptr};

int PlatformNumber() {
    const PlatformNumberSource source = g_platform_source.load();
    return source != nullptr ? source() : Platform::GetPlatform();
}

int KnownPlatform(int platform) {
    return platform >= 0 && platform <= 4 ? platform : 4;
}

// The bytes of a REG_BINARY value of at most maxSize bytes.
bool ReadBinary(const std::string& key, std::string_view name, std::size_t maxSize,
                std::vector<std::uint8_t>& out) {
    CRegistry reg(kRoot, key);
    if (!reg.Open())
        return false;
    std::vector<std::uint8_t> buf(maxSize + 1);  // never a null buffer
    auto size = static_cast<std::uint32_t>(maxSize);
    std::uint32_t type = platform::kRegNone;
    if (!reg.QueryValue(name, buf.data(), size, type) || type != platform::kRegBinary)
        return false;
    buf.resize(size);
    out = std::move(buf);
    return true;
}

bool ReadExactBinary(const std::string& key, std::string_view name, std::span<std::uint8_t> out) {
    std::vector<std::uint8_t> bytes;
    if (!ReadBinary(key, name, out.size(), bytes) || bytes.size() != out.size())
        return false;
    std::copy(bytes.begin(), bytes.end(), out.begin());
    return true;
}

std::uint32_t UserDword(std::string_view name, std::uint32_t def) {
    return RegReadDword(kRoot, GetCurrentUserPrefsKeyPath(), name, def);
}
void SetUserDword(std::string_view name, std::uint32_t value) {
    RegWriteDword(kRoot, GetCurrentUserPrefsKeyPath(), name, value);
}
bool UserBool(std::string_view name, bool def) {
    return UserDword(name, def ? 1 : 0) != 0;
}
void SetUserBool(std::string_view name, bool value) {
    SetUserDword(name, value ? 1 : 0);
}

CShowColumns LoadColumns(std::string_view name, std::span<const ShowColumnEntry> defaults) {
    CShowColumns columns(defaults);
    ReadShowColumnsPref(name, columns);
    return columns;
}

}  // namespace

void SetPlatformNumberSource(PlatformNumberSource source) {
    g_platform_source.store(source);
}

std::string_view PlatformWord(int platform) {
    static constexpr std::string_view kWords[] = {"Palm", "WinCE", "Symbian", "iPhone",
                                                  "Standalone"};
    return kWords[KnownPlatform(platform)];
}

std::string_view PlatformUserForm(int platform) {
    static constexpr std::string_view kForms[] = {"Palm", "WinCE", "Symbian", "IPhone", "Symbian"};
    return kForms[KnownPlatform(platform)];
}

std::string GetPlatformPrefsKeyPath() {
    return std::string(kProductKeyPath) + "\\Preferences - " +
           std::string(PlatformWord(PlatformNumber()));
}

std::string GetUserPrefsKeyPath(std::string_view userFolder) {
    return std::string(kProductKeyPath) + "\\" + std::string(PlatformUserForm(PlatformNumber())) +
           " - " + SafeKeyName(userFolder) + "\\Preferences";
}

std::string GetCurrentUserPrefsKeyPath() {
    return GetUserPrefsKeyPath(GetPrefCurrentUser());
}

void CreatePrefsKeys() {
    for (const std::string& key :
         {std::string(kMakerKeyPath), std::string(kProductKeyPath), GetPlatformPrefsKeyPath()}) {
        CRegistry reg(kRoot, key);
        reg.Create();
    }
}

void CreateUserPrefsKey() {
    CRegistry reg(kRoot, GetCurrentUserPrefsKeyPath());
    reg.Create();
}

std::array<std::uint8_t, LogFont::kSize> LogFont::ToBytes() const {
    std::array<std::uint8_t, kSize> b{};
    const std::int32_t ints[] = {height, width, escapement, orientation, weight};
    for (std::size_t i = 0; i < 5; ++i)
        StoreLE32(b.data() + 4 * i, static_cast<std::uint32_t>(ints[i]));
    const std::uint8_t bytes[] = {italic,       underline,     strikeOut, charSet,
                                  outPrecision, clipPrecision, quality,   pitchAndFamily};
    std::copy(std::begin(bytes), std::end(bytes), b.begin() + 20);
    std::copy(faceName.begin(), faceName.end(), b.begin() + 28);
    b[kSize - 1] = 0;
    return b;
}

LogFont LogFont::FromBytes(std::span<const std::uint8_t, kSize> b) {
    LogFont f;
    f.height = static_cast<std::int32_t>(LoadLE32(b.data()));
    f.width = static_cast<std::int32_t>(LoadLE32(b.data() + 4));
    f.escapement = static_cast<std::int32_t>(LoadLE32(b.data() + 8));
    f.orientation = static_cast<std::int32_t>(LoadLE32(b.data() + 12));
    f.weight = static_cast<std::int32_t>(LoadLE32(b.data() + 16));
    f.italic = b[20];
    f.underline = b[21];
    f.strikeOut = b[22];
    f.charSet = b[23];
    f.outPrecision = b[24];
    f.clipPrecision = b[25];
    f.quality = b[26];
    f.pitchAndFamily = b[27];
    std::copy(b.begin() + 28, b.end(), f.faceName.begin());
    // A stored face name may lack its NUL.
    f.faceName.back() = '\0';
    return f;
}

// --- platform key ---

std::string GetPrefCurrentUser() {
    return RegReadString(kRoot, GetPlatformPrefsKeyPath(), "CurrentUser", "");
}
void SetPrefCurrentUser(std::string_view folder) {
    RegWriteString(kRoot, GetPlatformPrefsKeyPath(), "CurrentUser", folder);
}
std::string GetPrefWinPos() {
    return RegReadString(kRoot, GetPlatformPrefsKeyPath(), "WinPos", "");
}
void SetPrefWinPos(std::string_view placement) {
    RegWriteString(kRoot, GetPlatformPrefsKeyPath(), "WinPos", placement);
}
std::uint32_t GetPrefSyncDirec() {
    return RegReadDword(kRoot, GetPlatformPrefsKeyPath(), "SyncDirec", 0);
}
void SetPrefSyncDirec(std::uint32_t mode) {
    RegWriteDword(kRoot, GetPlatformPrefsKeyPath(), "SyncDirec", mode);
}

// --- phone sync key ---

std::uint32_t ReadDisplayUserGuide() {
    const std::uint32_t v = RegReadDword(kRoot, kPhoneSyncKeyPath, "DisplayUserGuide", 1);
    return v <= 2 ? v : 1;
}
void WriteDisplayUserGuide(std::uint32_t value) {
    // Unlike the other DWORD writers, this one makes its key: nothing else
    // creates the phone sync key.
    CRegistry reg(kRoot, kPhoneSyncKeyPath);
    if (reg.Create())
        reg.SetDword("DisplayUserGuide", value);
}

// --- about key ---

std::string GetPrefPromoText() {
    return RegReadString(kRoot, kAboutKeyPath, "Promo Text", "");
}

// --- product key ---

std::string GetPrefFiDirectoryUrl() {
    std::string url =
        RegReadString(kRoot, kProductKeyPath, "Institution Directory URL", kDefaultFiDirectoryUrl);
    return url.empty() ? std::string(kDefaultFiDirectoryUrl) : url;
}
void SetPrefFiDirectoryUrl(std::string_view url) {
    RegWriteString(kRoot, kProductKeyPath, "Institution Directory URL", url);
}

// --- a given user's key ---

bool GetPrefPasswordCrib(std::string_view userFolder,
                         std::span<std::uint8_t, kPasswordCribSize> crib) {
    std::fill(crib.begin(), crib.end(), 0);
    return ReadExactBinary(GetUserPrefsKeyPath(userFolder), "Password Crib", crib);
}
void SetPrefPasswordCrib(std::string_view userFolder,
                         std::span<const std::uint8_t, kPasswordCribSize> crib) {
    RegWriteBinary(kRoot, GetUserPrefsKeyPath(userFolder), "Password Crib", crib);
}

// --- the current user's key ---

bool GetPrefDisplayFont(LogFont& font) {
    std::array<std::uint8_t, LogFont::kSize> bytes{};
    if (!ReadExactBinary(GetCurrentUserPrefsKeyPath(), "Display Font", bytes))
        return false;
    font = LogFont::FromBytes(bytes);
    return true;
}
void SetPrefDisplayFont(const LogFont& font) {
    const auto bytes = font.ToBytes();
    RegWriteBinary(kRoot, GetCurrentUserPrefsKeyPath(), "Display Font", bytes);
}

bool ReadShowColumnsPref(std::string_view valueName, CShowColumns& columns) {
    CShowColumns::Record bytes{};
    return ReadExactBinary(GetCurrentUserPrefsKeyPath(), valueName, bytes) &&
           columns.FromRecord(bytes);
}
void WriteShowColumnsPref(std::string_view valueName, const CShowColumns& columns) {
    const CShowColumns::Record bytes = columns.ToRecord();
    RegWriteBinary(kRoot, GetCurrentUserPrefsKeyPath(), valueName, bytes);
}

CShowColumns LoadShowColumnsRegister() {
    CShowColumns columns = LoadColumns("Show Columns - Register", kRegisterColumns);
    for (int i = 0; i < columns.GetCount(); ++i) {
        if (columns.GetId(i) <= 9 && columns.GetWidth(i) < kMinColumnWidth)
            columns.SetWidth(i, kMinColumnWidth);
    }
    return columns;
}
void SaveShowColumnsRegister(const CShowColumns& columns) {
    WriteShowColumnsPref("Show Columns - Register", columns);
}
CShowColumns LoadShowColumnsReconcile() {
    return LoadColumns("Show Columns - Reconcile", kReconcileColumns);
}
void SaveShowColumnsReconcile(const CShowColumns& columns) {
    WriteShowColumnsPref("Show Columns - Reconcile", columns);
}
CShowColumns LoadShowColumnsReport() {
    return LoadColumns("Show Columns - Report", kReportColumns);
}
void SaveShowColumnsReport(const CShowColumns& columns) {
    WriteShowColumnsPref("Show Columns - Report", columns);
}
CShowColumns LoadShowColumnsBudget() {
    return LoadColumns("Show Columns - Budget", kBudgetColumns);
}
void SaveShowColumnsBudget(const CShowColumns& columns) {
    WriteShowColumnsPref("Show Columns - Budget", columns);
}

RecordId GetPrefLastReportAccount() {
    std::array<std::uint8_t, 8> id{};
    std::vector<std::uint8_t> bytes;
    if (ReadBinary(GetCurrentUserPrefsKeyPath(), "Last Report Account", id.size(), bytes))
        std::copy(bytes.begin(), bytes.end(), id.begin());
    return RecordId::FromBytes(id.data());
}
void SetPrefLastReportAccount(const RecordId& account) {
    std::array<std::uint8_t, 8> id{};
    account.ToBytes(id.data());
    RegWriteBinary(kRoot, GetCurrentUserPrefsKeyPath(), "Last Report Account", id);
}

std::uint32_t GetPrefBudgetsRowColor() {
    return UserDword("Budgets Row Color", 0xD3F5FE);
}
void SetPrefBudgetsRowColor(std::uint32_t color) {
    SetUserDword("Budgets Row Color", color);
}
std::uint32_t GetPrefReportsRowColor() {
    return UserDword("Reports Row Color", 0xD3F5FE);
}
void SetPrefReportsRowColor(std::uint32_t color) {
    SetUserDword("Reports Row Color", color);
}
std::uint32_t GetPrefReconcileRowColor() {
    return UserDword("Reconcile Row Color", 0xEEFFEC);
}
void SetPrefReconcileRowColor(std::uint32_t color) {
    SetUserDword("Reconcile Row Color", color);
}

bool GetPrefShowDecimals() {
    return UserBool("Show Decimals", true);
}
void SetPrefShowDecimals(bool show) {
    SetUserBool("Show Decimals", show);
}
bool GetPrefShowYear() {
    return UserBool("Show Year", true);
}
void SetPrefShowYear(bool show) {
    SetUserBool("Show Year", show);
}
bool GetPrefShowEmptyItems() {
    return UserBool("Show Empty Items", false);
}
void SetPrefShowEmptyItems(bool show) {
    SetUserBool("Show Empty Items", show);
}

std::uint32_t GetPrefTransactionFilter() {
    return UserDword("Transaction Filter", 0);
}
void SetPrefTransactionFilter(std::uint32_t filter) {
    SetUserDword("Transaction Filter", filter);
}
std::uint32_t GetPrefUpcomingThroughMode() {
    return UserDword("Upcoming Through Mode", 1);
}
void SetPrefUpcomingThroughMode(std::uint32_t mode) {
    SetUserDword("Upcoming Through Mode", mode);
}
std::uint32_t GetPrefImportExportDateFormat() {
    return UserDword("ImportExport Date Format", 1);
}
void SetPrefImportExportDateFormat(std::uint32_t format) {
    SetUserDword("ImportExport Date Format", format);
}
std::uint32_t GetPrefImportExportNumberFormat() {
    return UserDword("ImportExport Number Format", 0);
}
void SetPrefImportExportNumberFormat(std::uint32_t format) {
    SetUserDword("ImportExport Number Format", format);
}

std::string GetPrefLastActiveAccount() {
    return RegReadString(kRoot, GetCurrentUserPrefsKeyPath(), "Last Active Account", "");
}
void SetPrefLastActiveAccount(std::string_view accountPath) {
    RegWriteString(kRoot, GetCurrentUserPrefsKeyPath(), "Last Active Account", accountPath);
}

std::uint32_t GetPrefBalanceType(int index) {
    return UserDword("BalanceType - " + std::to_string(index), 0);
}
void SetPrefBalanceType(int index, std::uint32_t type) {
    SetUserDword("BalanceType - " + std::to_string(index), type);
}
std::uint16_t GetPrefLastAmountType(std::int16_t index) {
    return static_cast<std::uint16_t>(UserDword("Last Amount Type - " + std::to_string(index), 0));
}
void SetPrefLastAmountType(std::int16_t index, std::uint16_t type) {
    SetUserDword("Last Amount Type - " + std::to_string(index), type);
}
std::uint16_t GetPrefLastReportType() {
    return static_cast<std::uint16_t>(UserDword("Last Report Type", 0));
}
void SetPrefLastReportType(std::uint16_t type) {
    SetUserDword("Last Report Type", type);
}
std::uint32_t GetPrefLastReportBy() {
    return UserDword("Last Report By", 0);
}
void SetPrefLastReportBy(std::uint32_t by) {
    SetUserDword("Last Report By", by);
}
std::uint32_t GetPrefLastReportPeriod() {
    return UserDword("Last Report Period", 1);
}
void SetPrefLastReportPeriod(std::uint32_t period) {
    SetUserDword("Last Report Period", period);
}
std::uint32_t GetPrefLastBudgetBy() {
    return UserDword("Last Budget By", 0);
}
void SetPrefLastBudgetBy(std::uint32_t by) {
    SetUserDword("Last Budget By", by);
}
std::uint32_t GetPrefLastBudgetPeriod() {
    return UserDword("Last Budget Period", 0);
}
void SetPrefLastBudgetPeriod(std::uint32_t period) {
    SetUserDword("Last Budget Period", period);
}
std::uint32_t GetPrefLastStartDate() {
    return UserDword("Last Start Date", 0);
}
void SetPrefLastStartDate(std::uint32_t date) {
    SetUserDword("Last Start Date", date);
}
std::uint32_t GetPrefLastEndDate() {
    return UserDword("Last End Date", 0);
}
void SetPrefLastEndDate(std::uint32_t date) {
    SetUserDword("Last End Date", date);
}
std::uint32_t GetPrefLastExportDate() {
    return UserDword("Last Export Date", 0);
}
void SetPrefLastExportDate(std::uint32_t date) {
    SetUserDword("Last Export Date", date);
}
std::uint32_t GetPrefLastExportType() {
    return UserDword("Last Export Type", 0);
}
void SetPrefLastExportType(std::uint32_t type) {
    SetUserDword("Last Export Type", type);
}

}  // namespace tallowmere
