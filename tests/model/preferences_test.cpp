#include "model/preferences.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "model/byte_order.h"
#include "model/registry.h"
#include "platform/registry_store.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

namespace store = platform;

int g_platform = 3;
int FakePlatform() {
    return g_platform;
}

const std::string kProduct = "Software\\Brackwater\\Tallowmere Desktop";
const std::string kUserKey = kProduct + "\\IPhone - alice\\Preferences";
const std::string kPlatformKey = kProduct + "\\Preferences - iPhone";

class PreferencesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = test::MakeTempDir("prefs") + "/registry";
        store::SetRegistryStorePath(path_);
        g_platform = 3;
        SetPlatformNumberSource(&FakePlatform);
        CreatePrefsKeys();
        SetPrefCurrentUser("alice");
        CreateUserPrefsKey();
    }
    void TearDown() override {
        SetPlatformNumberSource(nullptr);
        store::SetRegistryStorePath("");
    }

    static void Put(const std::string& key, std::string_view name, std::uint32_t type,
                    const std::string& bytes) {
        ASSERT_EQ(0, store::RegStoreCreateKey(key));
        ASSERT_EQ(
            0, store::RegStoreSetValue(
                   key, name, type,
                   std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())));
    }
    static void PutDword(const std::string& key, std::string_view name, std::uint32_t v) {
        std::string b(4, '\0');
        StoreLE32(reinterpret_cast<std::uint8_t*>(b.data()), v);
        Put(key, name, store::kRegDword, b);
    }
    static bool Has(const std::string& key, std::string_view name) {
        std::uint32_t size = 0;
        return store::RegStoreQueryValue(key, name, nullptr, nullptr, &size) == 0;
    }

    std::string path_;
};

struct DwordPref {
    const char* name;
    const std::string* key;
    std::uint32_t def;
    std::function<std::uint32_t()> get;
    std::function<void(std::uint32_t)> set;
    std::uint32_t stored = 12345;  // a stored value ...
    std::uint32_t read = 12345;    // ... and how it reads
};

std::vector<DwordPref> DwordPrefs() {
    const std::string* U = &kUserKey;
    const std::string* P = &kPlatformKey;
    auto flag = [](bool (*get)(), void (*set)(bool)) {
        return std::make_pair(
            std::function<std::uint32_t()>([get] { return get() ? 1u : 0u; }),
            std::function<void(std::uint32_t)>([set](std::uint32_t v) { set(v != 0); }));
    };
    const auto decimals = flag(GetPrefShowDecimals, SetPrefShowDecimals);
    const auto year = flag(GetPrefShowYear, SetPrefShowYear);
    const auto empty = flag(GetPrefShowEmptyItems, SetPrefShowEmptyItems);
    return {
        {"SyncDirec", P, 0, GetPrefSyncDirec, SetPrefSyncDirec},
        {"Budgets Row Color", U, 0xD3F5FE, GetPrefBudgetsRowColor, SetPrefBudgetsRowColor},
        {"Reports Row Color", U, 0xD3F5FE, GetPrefReportsRowColor, SetPrefReportsRowColor},
        {"Reconcile Row Color", U, 0xEEFFEC, GetPrefReconcileRowColor, SetPrefReconcileRowColor},
        {"Show Decimals", U, 1, decimals.first, decimals.second, 7, 1},
        {"Show Year", U, 1, year.first, year.second, 7, 1},
        {"Show Empty Items", U, 0, empty.first, empty.second, 7, 1},
        {"Transaction Filter", U, 0, GetPrefTransactionFilter, SetPrefTransactionFilter},
        {"Upcoming Through Mode", U, 1, GetPrefUpcomingThroughMode, SetPrefUpcomingThroughMode},
        {"ImportExport Date Format", U, 1, GetPrefImportExportDateFormat,
         SetPrefImportExportDateFormat},
        {"ImportExport Number Format", U, 0, GetPrefImportExportNumberFormat,
         SetPrefImportExportNumberFormat},
        {"BalanceType - 0", U, 0, [] { return GetPrefBalanceType(0); },
         [](std::uint32_t v) { SetPrefBalanceType(0, v); }},
        {"BalanceType - -1", U, 0, [] { return GetPrefBalanceType(-1); },
         [](std::uint32_t v) { SetPrefBalanceType(-1, v); }},
        {"Last Amount Type - 2", U, 0, [] { return GetPrefLastAmountType(2); },
         [](std::uint32_t v) { SetPrefLastAmountType(2, static_cast<std::uint16_t>(v)); }, 0x12345,
         0x2345},
        {"Last Amount Type - -3", U, 0, [] { return GetPrefLastAmountType(-3); },
         [](std::uint32_t v) { SetPrefLastAmountType(-3, static_cast<std::uint16_t>(v)); }, 9, 9},
        {"Last Report Type", U, 0, [] { return GetPrefLastReportType(); },
         [](std::uint32_t v) { SetPrefLastReportType(static_cast<std::uint16_t>(v)); }, 0x10002, 2},
        {"Last Report By", U, 0, GetPrefLastReportBy, SetPrefLastReportBy},
        {"Last Report Period", U, 1, GetPrefLastReportPeriod, SetPrefLastReportPeriod},
        {"Last Budget By", U, 0, GetPrefLastBudgetBy, SetPrefLastBudgetBy},
        {"Last Budget Period", U, 0, GetPrefLastBudgetPeriod, SetPrefLastBudgetPeriod},
        {"Last Start Date", U, 0, GetPrefLastStartDate, SetPrefLastStartDate},
        {"Last End Date", U, 0, GetPrefLastEndDate, SetPrefLastEndDate},
        {"Last Export Date", U, 0, GetPrefLastExportDate, SetPrefLastExportDate},
        {"Last Export Type", U, 0, GetPrefLastExportType, SetPrefLastExportType},
    };
}

TEST_F(PreferencesTest, EveryDwordValueHasItsKeyNameAndDefault) {
    for (const DwordPref& p : DwordPrefs()) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(p.def, p.get()) << "missing";
        for (const auto& [type, bytes] : std::vector<std::pair<std::uint32_t, std::string>>{
                 {store::kRegDword, std::string("\x05\x00", 2)},
                 {store::kRegDword, std::string("\x05\0\0\0\0", 5)},
                 {store::kRegSz, std::string("5\0", 2)},
                 {store::kRegBinary, std::string("\x05\0\0\0", 4)}}) {
            Put(*p.key, p.name, type, bytes);
            EXPECT_EQ(p.def, p.get()) << "malformed, type " << type << " size " << bytes.size();
        }
        PutDword(*p.key, p.name, p.stored);
        EXPECT_EQ(p.read, p.get()) << "stored";
        p.set(p.def == 0 ? 1 : 0);
        EXPECT_EQ(p.def == 0 ? 1u : 0u, p.get()) << "written";
        EXPECT_EQ(p.def == 0 ? 1u : 0u, RegReadDword(RegRoot::kCurrentUser, *p.key, p.name, 99));
    }
}

TEST_F(PreferencesTest, TextValuesHaveTheirKeysAndEmptyDefaults) {
    const std::string about = kProduct + "\\Preferences";
    EXPECT_EQ("", GetPrefWinPos());
    EXPECT_EQ("", GetPrefLastActiveAccount());
    EXPECT_EQ("", GetPrefPromoText());
    SetPrefWinPos("Maximized");
    SetPrefLastActiveAccount("/data/alice/Checking.wqm");
    EXPECT_EQ("Maximized", GetPrefWinPos());
    EXPECT_EQ("/data/alice/Checking.wqm", GetPrefLastActiveAccount());
    EXPECT_TRUE(Has(kPlatformKey, "WinPos"));
    EXPECT_TRUE(Has(kUserKey, "Last Active Account"));

    // The about key is never created by the program; a text placed there shows.
    EXPECT_NE(0, store::RegStoreKeyExists(about));
    Put(about, "Promo Text", store::kRegSz, std::string("Hello\0", 6));
    EXPECT_EQ("Hello", GetPrefPromoText());
    Put(kPlatformKey, "WinPos", store::kRegBinary, "0001 0002 0003 0004");
    EXPECT_EQ("", GetPrefWinPos());

    EXPECT_EQ("alice", GetPrefCurrentUser());
    SetPrefCurrentUser("bob");
    EXPECT_EQ("", GetPrefLastActiveAccount());  // bob's key does not exist
    EXPECT_EQ(kProduct + "\\IPhone - bob\\Preferences", GetCurrentUserPrefsKeyPath());
}

TEST_F(PreferencesTest, DisplayUserGuideCreatesItsKey) {
    const std::string key = kProduct + "\\iPhoneSyncSettings";
    EXPECT_EQ(1u, ReadDisplayUserGuide());
    EXPECT_NE(0, store::RegStoreKeyExists(key));
    WriteDisplayUserGuide(0);
    EXPECT_EQ(0u, ReadDisplayUserGuide());
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {{0, 0}, {1, 1}, {2, 2},
                                                             {3, 1}, {7, 1}, {0xFFFFFFFF, 1}};
    for (const auto& [stored, read] : cases) {
        PutDword(key, "DisplayUserGuide", stored);
        EXPECT_EQ(read, ReadDisplayUserGuide()) << stored;
    }
    Put(key, "DisplayUserGuide", store::kRegDword, std::string("\0\0", 2));
    EXPECT_EQ(1u, ReadDisplayUserGuide());
}

TEST_F(PreferencesTest, KeyPathsFollowThePlatformNumber) {
    struct Case {
        int platform;
        const char* platformKey;
        const char* userKey;
    };
    const Case cases[] = {
        {-1, "\\Preferences - Standalone", "\\Symbian - u\\Preferences"},
        {0, "\\Preferences - Palm", "\\Palm - u\\Preferences"},
        {1, "\\Preferences - WinCE", "\\WinCE - u\\Preferences"},
        {2, "\\Preferences - Symbian", "\\Symbian - u\\Preferences"},
        {3, "\\Preferences - iPhone", "\\IPhone - u\\Preferences"},
        {4, "\\Preferences - Standalone", "\\Symbian - u\\Preferences"},
        {5, "\\Preferences - Standalone", "\\Symbian - u\\Preferences"},
    };
    for (const Case& c : cases) {
        g_platform = c.platform;
        EXPECT_EQ(kProduct + c.platformKey, GetPlatformPrefsKeyPath()) << c.platform;
        EXPECT_EQ(kProduct + c.userKey, GetUserPrefsKeyPath("u")) << c.platform;
    }
    // A folder name never nests keys.
    EXPECT_EQ(kProduct + "\\Symbian - a-b\\Preferences", GetUserPrefsKeyPath("a\\b"));
}

TEST_F(PreferencesTest, WritersOnAMissingKey) {
    SetPrefCurrentUser("nobody");
    const std::string key = kProduct + "\\IPhone - nobody\\Preferences";
    SetPrefShowYear(false);
    SetPrefLastActiveAccount("x");
    EXPECT_NE(0, store::RegStoreKeyExists(key));
    SaveShowColumnsBudget(CShowColumns(kBudgetColumns));
    EXPECT_EQ(0, store::RegStoreKeyExists(key));
    EXPECT_TRUE(GetPrefShowYear());

    SetPlatformNumberSource(nullptr);  // no library loaded: Standalone
    SetPrefCurrentUser("zed");
    EXPECT_EQ("", GetPrefCurrentUser());  // its platform key was never created
}

TEST_F(PreferencesTest, BinaryValuesNeedTheirExactSize) {
    // Password crib: 40 bytes, of a given user.
    const std::string bobKey = kProduct + "\\IPhone - bob\\Preferences";
    for (const std::size_t size : {39u, 40u, 41u}) {
        Put(bobKey, "Password Crib", store::kRegBinary, std::string(size, '\x5A'));
        std::array<std::uint8_t, 40> crib;
        crib.fill(0xEE);
        EXPECT_EQ(size == 40, GetPrefPasswordCrib("bob", crib)) << size;
        EXPECT_EQ(size == 40 ? 0x5A : 0, crib[0]) << size;
        EXPECT_EQ(size == 40 ? 0x5A : 0, crib[39]) << size;
    }
    std::array<std::uint8_t, 40> crib{};
    crib[7] = 7;
    SetPrefPasswordCrib("carol", crib);  // creates carol's key
    std::array<std::uint8_t, 40> back{};
    EXPECT_TRUE(GetPrefPasswordCrib("CAROL", back));
    EXPECT_EQ(crib, back);

    // Display font: 60 bytes; the face name always ends in a NUL.
    for (const std::size_t size : {59u, 60u, 61u}) {
        Put(kUserKey, "Display Font", store::kRegBinary, std::string(size, 'F'));
        LogFont font;
        font.weight = 400;
        EXPECT_EQ(size == 60, GetPrefDisplayFont(font)) << size;
        EXPECT_EQ(size == 60 ? 0x46464646 : 400, font.weight) << size;
        EXPECT_EQ(size == 60 ? 31u : 0u, std::string(font.faceName.data()).size());
    }
    LogFont font;
    font.height = -13;
    font.italic = 1;
    const char face[] = "Tahoma";
    std::copy(std::begin(face), std::end(face), font.faceName.begin());
    SetPrefDisplayFont(font);
    LogFont read;
    ASSERT_TRUE(GetPrefDisplayFont(read));
    EXPECT_EQ(font.ToBytes(), read.ToBytes());

    // Column sets: 96 bytes.
    CShowColumns wide(kBudgetColumns);
    wide.SetWidth(4, 300);
    for (const std::size_t size : {95u, 96u, 97u}) {
        const auto record = wide.ToRecord();
        std::string bytes(record.begin(), record.end());
        bytes.resize(size, '\0');
        Put(kUserKey, "Show Columns - Budget", store::kRegBinary, bytes);
        EXPECT_EQ(size == 96 ? 300 : 100, LoadShowColumnsBudget().GetWidth(4)) << size;
    }

    // Last report account: the all-zero id overlaid with up to 8 bytes.
    for (std::size_t size = 0; size <= 9; ++size) {
        Put(kUserKey, "Last Report Account", store::kRegBinary, std::string(size, '\x11'));
        std::array<std::uint8_t, 8> id{};
        GetPrefLastReportAccount().ToBytes(id.data());
        for (std::size_t i = 0; i < 8; ++i)
            EXPECT_EQ(i < size && size <= 8 ? 0x11 : 0, id[i]) << size << " " << i;
    }
}

TEST_F(PreferencesTest, ColumnSetsKeepTheirDefaultsUnlessWellFormed) {
    EXPECT_EQ(CShowColumns(kRegisterColumns).ToRecord(), LoadShowColumnsRegister().ToRecord());
    EXPECT_EQ(CShowColumns(kReconcileColumns).ToRecord(), LoadShowColumnsReconcile().ToRecord());
    EXPECT_EQ(CShowColumns(kReportColumns).ToRecord(), LoadShowColumnsReport().ToRecord());
    EXPECT_EQ(CShowColumns(kBudgetColumns).ToRecord(), LoadShowColumnsBudget().ToRecord());

    // Stored register widths below 24 are raised, for columns 0..9 only.
    CShowColumns::Record r = CShowColumns(kRegisterColumns).ToRecord();
    StoreLE32(r.data(), 4);
    const std::uint16_t stored[][2] = {{0, 10}, {1, 24}, {2, 0xFFFF}, {10, 10}};
    for (std::size_t i = 0; i < 4; ++i) {
        StoreLE16(r.data() + 4 + 6 * i, stored[i][0]);
        StoreLE16(r.data() + 6 + 6 * i, stored[i][1]);
    }
    Put(kUserKey, "Show Columns - Register", store::kRegBinary, std::string(r.begin(), r.end()));
    const CShowColumns reg = LoadShowColumnsRegister();
    EXPECT_EQ(4, reg.GetCount());
    EXPECT_EQ(24, reg.GetWidth(0));
    EXPECT_EQ(24, reg.GetWidth(1));
    EXPECT_EQ(0xFFFF, reg.GetWidth(2));
    EXPECT_EQ(10, reg.GetWidth(3));

    for (const std::int32_t count : {16, -1}) {
        StoreLE32(r.data(), static_cast<std::uint32_t>(count));
        Put(kUserKey, "Show Columns - Register", store::kRegBinary,
            std::string(r.begin(), r.end()));
        EXPECT_EQ(CShowColumns(kRegisterColumns).ToRecord(), LoadShowColumnsRegister().ToRecord())
            << count;
    }

    CShowColumns report(kReportColumns);
    report.SetVisible(2, false);
    SaveShowColumnsReport(report);
    EXPECT_EQ(report.ToRecord(), LoadShowColumnsReport().ToRecord());
}

TEST_F(PreferencesTest, TwoThreadsWritingLoseNoValue) {
    constexpr std::uint32_t kEach = 150;
    std::thread ui([] {
        CShowColumns columns(kRegisterColumns);
        for (std::uint32_t i = 0; i < kEach; ++i) {
            columns.SetWidth(4, static_cast<std::uint16_t>(100 + i));
            SaveShowColumnsRegister(columns);
        }
    });
    std::thread sync([] {
        for (std::uint32_t i = 0; i < kEach; ++i)
            SetPrefSyncDirec(i);
    });
    ui.join();
    sync.join();
    EXPECT_EQ(100 + kEach - 1, LoadShowColumnsRegister().GetWidth(4));
    EXPECT_EQ(kEach - 1, GetPrefSyncDirec());
    std::vector<store::RegStoreKey> keys;
    EXPECT_TRUE(store::ParseRegistryStore(test::ReadFileBytes(path_), keys));
}

}  // namespace
}  // namespace tallowmere
