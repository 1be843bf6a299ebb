// The test computes the cipher apart with the low-level interface.
#define OPENSSL_API_COMPAT 0x10100000L
#define OPENSSL_SUPPRESS_DEPRECATED

#include "model/account_root.h"

#include <gtest/gtest.h>
#include <openssl/blowfish.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "model/archive.h"
#include "model/error_sink.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using namespace std::chrono_literals;

std::uint64_t LE(const AccountHeader::Bytes& b, std::size_t off, std::size_t width) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < width; ++i)
        v |= std::uint64_t{b[off + i]} << (8 * i);
    return v;
}

struct RecordingSink : ErrorSink {
    std::vector<ErrorReport> reports;
    void Report(const ErrorReport& r) override { reports.push_back(r); }
};

TEST(AccountHeader, SettersWriteTheirFieldAndBit) {
    struct Case {
        const char* name;
        std::function<void(AccountHeader&)> set;
        std::size_t offset;
        std::size_t width;
        std::uint64_t expected;
        std::uint32_t bit;
    };
    const std::vector<Case> cases = {
        {"name", [](AccountHeader& h) { h.SetName("AB"); }, 4, 3, 0x4241, kChangeName},
        {"type", [](AccountHeader& h) { h.SetType(kAsset); }, 30, 1, 4, kChangeType},
        {"opening", [](AccountHeader& h) { h.SetOpeningBalance(-3); }, 32, 8, ~std::uint64_t{2},
         kChangeOpeningBalance},
        {"include", [](AccountHeader& h) { h.SetIncludeInTotals(true); }, 56, 1, 1,
         kChangeIncludeInTotals},
        {"number", [](AccountHeader& h) { h.SetAccountNumber("12"); }, 57, 3, 0x3231,
         kChangeAccountNumber},
        {"bank", [](AccountHeader& h) { h.SetBankName("B"); }, 78, 2, 0x42, kChangeBankName},
        {"check", [](AccountHeader& h) { h.SetLastCheckNumber(101); }, 112, 4, 101,
         kChangeLastCheck},
        {"icon", [](AccountHeader& h) { h.SetIconIndex(300); }, 130, 2, 300, kChangeIcon},
        {"currency", [](AccountHeader& h) { h.SetCurrencyId(7); }, 133, 1, 7, kChangeCurrency},
        {"online", [](AccountHeader& h) { h.SetOnlineEnabled(true); }, 172, 1, 1,
         kChangeOnlineEnabled},
        {"customer", [](AccountHeader& h) { h.SetCustomerId("C"); }, 174, 2, 0x43,
         kChangeCustomerId},
        {"password", [](AccountHeader& h) { h.SetOnlinePassword("P"); }, 207, 2, 0x50,
         kChangeOnlinePassword},
        {"fi", [](AccountHeader& h) { h.SetFiId(0x01020304); }, 248, 4, 0x01020304, kChangeFiId},
        {"routing", [](AccountHeader& h) { h.SetRoutingNumber("9"); }, 252, 2, 0x39,
         kChangeRoutingNumber},
        {"end date", [](AccountHeader& h) { h.SetDownloadEndDate("2"); }, 262, 2, 0x32,
         kChangeDownloadEndDate},
        {"last rec bal", [](AccountHeader& h) { h.SetLastReconcileBalance(5); }, 328, 8, 5,
         kChangeLastReconcileBalance},
        {"last rec date", [](AccountHeader& h) { h.SetLastReconcileDate(6); }, 336, 4, 6,
         kChangeLastReconcileDate},
        {"rec opening", [](AccountHeader& h) { h.SetReconcileOpening(7); }, 340, 8, 7,
         kChangeReconcileOpening},
        {"rec ending", [](AccountHeader& h) { h.SetReconcileEnding(8); }, 348, 8, 8,
         kChangeReconcileEnding},
        {"rec date", [](AccountHeader& h) { h.SetReconcileDate(9); }, 356, 4, 9,
         kChangeReconcileDate},
    };
    for (const Case& c : cases) {
        AccountHeader h;
        c.set(h);
        const auto& b = h.GetBytes();
        EXPECT_EQ(LE(b, c.offset, c.width), c.expected) << c.name;
        EXPECT_EQ(h.GetChangeFlags(), c.bit) << c.name;
        for (std::size_t i = 0; i < kAccountHeaderSize; ++i) {
            if ((i >= c.offset && i < c.offset + c.width) || (i >= 156 && i < 160))
                continue;
            ASSERT_EQ(b[i], 0) << c.name << " touched byte " << i;
        }
        // The same value again is no change.
        h.SetChangeFlags(0);
        c.set(h);
        EXPECT_EQ(h.GetChangeFlags(), 0u) << c.name << " set again";
    }
}

TEST(AccountHeader, TextRulesAndChangeMasks) {
    AccountHeader h;
    h.SetName(std::string(30, 'n'));
    EXPECT_EQ(h.GetName(), std::string(25, 'n'));
    h.SetChangeFlags(0);
    h.SetName(std::string(30, 'n'));
    EXPECT_EQ(h.GetChangeFlags(), 0u) << "a long text equal after cutting is no change";
    h.SetName("Short");
    EXPECT_EQ(h.GetName(), "Short");
    EXPECT_EQ(h.GetBytes()[4 + 6], 0) << "the old tail is cleared";

    h.SetAccountNumber("123");
    h.SetChangeFlags(0);
    h.ClearAccountNumber();
    EXPECT_EQ(h.GetAccountNumber(), "");
    EXPECT_EQ(h.GetChangeFlags(), 0u) << "the null form sets no bit";

    struct Mask {
        std::uint32_t flags;
        bool modified;
        std::uint32_t afterClear;
    };
    for (Mask m : {Mask{0x100, false, 0x100}, Mask{0x100000, true, 0}, Mask{0x1, true, 0},
                   Mask{0x80000101, true, 0x80000100}, Mask{0x200000, false, 0x200000}}) {
        h.SetChangeFlags(m.flags);
        EXPECT_EQ(h.IsModified(), m.modified) << std::hex << m.flags;
        h.ClearChangeFlags();
        EXPECT_EQ(h.GetChangeFlags(), m.afterClear) << std::hex << m.flags;
    }

    // A header from a file without any NUL reads bounded by each field.
    AccountHeader::Bytes raw;
    raw.fill('z');
    AccountHeader bad(raw);
    EXPECT_EQ(bad.GetName().size(), 25u);
    EXPECT_EQ(bad.GetDownloadEndDate().size(), 64u);
}

TEST(Blowfish, PublishedVectors) {
    struct Vector {
        std::uint64_t key, plain, cipher;
    };
    const Vector vectors[] = {
        {0x0000000000000000, 0x0000000000000000, 0x4EF997456198DD78},
        {0xFFFFFFFFFFFFFFFF, 0xFFFFFFFFFFFFFFFF, 0x51866FD5B85ECB8A},
        {0x3000000000000000, 0x1000000000000001, 0x7D856F9A613063F2},
        {0x0123456789ABCDEF, 0x1111111111111111, 0x61F9C3802281B096},
        {0xFEDCBA9876543210, 0x0123456789ABCDEF, 0x0ACEAB0FC6A0A28D},
    };
    auto bytes = [](std::uint64_t v) {
        std::vector<std::uint8_t> b(8);
        for (int i = 0; i < 8; ++i)
            b[i] = static_cast<std::uint8_t>(v >> (56 - 8 * i));
        return b;
    };
    for (const Vector& v : vectors) {
        CBlowfish bf(std::span<const std::uint8_t>(bytes(v.key)));
        std::vector<std::uint8_t> block = bytes(v.plain);
        bf.Encipher(block);
        EXPECT_EQ(block, bytes(v.cipher)) << std::hex << v.key;
        bf.Decipher(block);
        EXPECT_EQ(block, bytes(v.plain));
    }
}

class AccountFileTest : public ::testing::Test {
  protected:
    void SetUp() override { folder_ = test::MakeTempDir("acct"); }
    void TearDown() override { CAccountRoot::SetLockTimeout(10000ms); }
    std::string folder_;
};

TEST_F(AccountFileTest, ResetGivesTheNewAccountDefaults) {
    CAccountRoot a;
    const AccountHeader& h = a.Header();
    EXPECT_EQ(h.GetVersion(), 10u);
    EXPECT_FALSE(h.GetId().IsNull());
    EXPECT_EQ(h.GetType(), kChecking);
    EXPECT_TRUE(h.GetIncludeInTotals());
    EXPECT_EQ(h.GetCurrencyId(), 1);
    EXPECT_EQ(h.GetIconIndex(), 2);
    EXPECT_EQ(a.GetColor(), 0xFEF3EDu);
    EXPECT_EQ(a.GetSortMode(), 2);
    EXPECT_TRUE(a.GetSortAscending());
}

// The file of an account, assembled from the format: version word, header,
// register settings, online balance, the two transaction arrays.
std::vector<std::uint8_t> ExpectedFile(const CAccountRoot& a, const AccountHeader::Bytes& header) {
    std::vector<std::uint8_t> out(2 + header.size(), 0);
    std::copy(header.begin(), header.end(), out.begin() + 2);
    auto put = [&](std::uint64_t v, int width) {
        for (int i = 0; i < width; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(static_cast<std::uint16_t>(a.GetTopRow()), 2);
    put(0, 2);
    put(0, 4);
    put(0, 4);
    put(0, 4);
    put(a.GetColor(), 4);
    put(static_cast<std::uint16_t>(a.GetSortMode()), 2);
    put(a.GetSortAscending() ? 1 : 0, 1);
    put(static_cast<std::uint64_t>(a.GetOnlineBalance()), 8);
    // Transactions: count, new class record, then class references.
    bool first = true;
    for (const TransactionArray* list : {&a.Transactions(), &a.DeletedTransactions()}) {
        put(list->size(), 2);
        for (const auto& t : *list) {
            if (first) {
                put(0xFFFF, 2);
                put(0, 2);
                put(12, 2);
                const char* name = "CTransaction";
                out.insert(out.end(), name, name + 12);
                first = false;
            } else {
                put(0x8001, 2);
            }
            CArchive body;
            t->Serialize(body);
            out.insert(out.end(), body.Data().begin(), body.Data().end());
        }
    }
    return out;
}

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

TEST_F(AccountFileTest, GoldenFileRoundTrip) {
    CAccountRoot a;
    a.Header().SetName("Everyday");
    a.Header().SetAccountNumber("000123");
    a.SetTopRow(4);
    a.SetColor(0xD2FFFF);
    a.SetSortMode(5);
    a.SetSortAscending(false);
    a.SetOnlineBalance(98765);
    for (int i = 0; i < 3; ++i) {
        auto t = std::make_unique<CTransaction>();
        t->SetAmount(100 * (i + 1));
        t->SetPayeeName("Payee " + std::to_string(i));
        if (i == 1) {
            t->SetCategoryId(SplitMarkerId);
            t->SetSplitAmount(0, 150);
            t->SetSplitAmount(1, 50);
            t->SetSplitMemo(1, "half");
        }
        if (i == 2)
            t->SetLinkedId(NewRecordId());
        a.Transactions().push_back(std::move(t));
    }
    a.DeletedTransactions().push_back(std::make_unique<CTransaction>());
    const std::string path = folder_ + "/Everyday.wqm";
    a.SetPath(path);
    ASSERT_EQ(a.Save(), 0);
    const std::vector<std::uint8_t> expected = ExpectedFile(a, a.Header().GetBytes());
    EXPECT_EQ(Bytes(test::ReadFileBytes(path)), expected);

    CAccountRoot b;
    ASSERT_EQ(b.Load(path), 0);
    EXPECT_EQ(b.Header().GetBytes(), a.Header().GetBytes());
    EXPECT_EQ(b.GetTopRow(), 4);
    EXPECT_EQ(b.GetSortMode(), 5);
    EXPECT_FALSE(b.GetSortAscending());
    EXPECT_EQ(b.GetOnlineBalance(), 98765);
    ASSERT_EQ(b.Transactions().size(), 3u);
    ASSERT_EQ(b.DeletedTransactions().size(), 1u);
    EXPECT_TRUE(b.Transactions()[1]->IsSameRecord(*a.Transactions()[1]));
    ASSERT_EQ(b.Save(), 0);
    EXPECT_EQ(Bytes(test::ReadFileBytes(path)), expected) << "saved back byte for byte";
}

TEST_F(AccountFileTest, OldHeaderVersionGetsTheOnlineBalanceOnSave) {
    CAccountRoot a;
    AccountHeader::Bytes header = a.Header().GetBytes();
    header[0] = 9;
    // A version 9 file has no online balance before the arrays.
    std::vector<std::uint8_t> file = ExpectedFile(a, header);
    file.erase(file.begin() + 2 + 360 + 19, file.begin() + 2 + 360 + 27);
    const std::string path = folder_ + "/Old.wqm";
    test::WriteFileBytes(path, std::string(file.begin(), file.end()));

    CAccountRoot b;
    ASSERT_EQ(b.Load(path), 0);
    EXPECT_EQ(b.Header().GetVersion(), 10u);
    EXPECT_EQ(b.GetOnlineBalance(), 0);
    b.SetOnlineBalance(77);
    ASSERT_EQ(b.Save(), 0);
    CAccountRoot c;
    ASSERT_EQ(c.Load(path), 0);
    EXPECT_EQ(c.GetOnlineBalance(), 77);
}

TEST_F(AccountFileTest, FailedLoadsNeverLeaveASavableReset) {
    // Missing file: a reset, empty account that may be saved.
    CAccountRoot missing;
    EXPECT_EQ(missing.Load(folder_ + "/None.wqm"), 0);
    EXPECT_FALSE(missing.GetDoNotSave());

    // Another file version.
    CAccountRoot a;
    a.Transactions().push_back(std::make_unique<CTransaction>());
    a.SetPath(folder_ + "/Versioned.wqm");
    ASSERT_EQ(a.Save(), 0);
    std::string bytes = test::ReadFileBytes(a.GetPath());
    bytes[0] = 1;
    test::WriteFileBytes(a.GetPath(), bytes);
    CAccountRoot b;
    EXPECT_EQ(b.Load(a.GetPath()), -1);
    EXPECT_TRUE(b.Transactions().empty());
    EXPECT_EQ(b.Save(), -1);
    EXPECT_EQ(test::ReadFileBytes(a.GetPath()), bytes) << "the real file is untouched";

    // A file that exists but cannot be read (a folder here), and a torn file.
    std::filesystem::create_directory(folder_ + "/Folder.wqm");
    CAccountRoot c;
    EXPECT_EQ(c.Load(folder_ + "/Folder.wqm"), 5);
    EXPECT_EQ(c.Save(), -1);
    bytes[0] = 0;
    test::WriteFileBytes(a.GetPath(), bytes.substr(0, bytes.size() - 3));
    CAccountRoot d;
    EXPECT_EQ(d.Load(a.GetPath()), kErrorBadFile);
    EXPECT_TRUE(d.Transactions().empty());
    EXPECT_EQ(d.Save(), -1);
}

TEST_F(AccountFileTest, UnwritableFileReportsAndReturnsTheCode) {
    RecordingSink sink;
    SetErrorSink(&sink);
    CAccountRoot a;
    a.SetPath(folder_ + "/no/such/folder/A.wqm");
    const int r = a.Save();
    SetErrorSink(nullptr);
    EXPECT_EQ(r, 3);
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0].text, "There was an error saving the account (3).");
}

TEST_F(AccountFileTest, CipherCoversTheCredentialsOnly) {
    auto key = std::make_shared<const CBlowfish>(std::string_view("pw"));
    CAccountRoot a;
    a.SetCipher(HeaderCipher::WithKey(key));
    a.Header().SetCustomerId("customer-7");
    a.Header().SetOnlinePassword("secret");
    a.Header().MutableBytes()[246] = 0xAB;
    a.SetPath(folder_ + "/Online.wqm");
    ASSERT_EQ(a.Save(), 0);
    const AccountHeader::Bytes plain = a.Header().GetBytes();

    // Computed apart, straight with OpenSSL: nine blocks from offset 174.
    AccountHeader::Bytes expected = plain;
    BF_KEY bf;
    BF_set_key(&bf, 2, reinterpret_cast<const unsigned char*>("pw"));
    for (std::size_t i = 174; i < 246; i += 8) {
        BF_ecb_encrypt(&expected[i], &expected[i], &bf, BF_ENCRYPT);
    }
    const std::string file = test::ReadFileBytes(a.GetPath());
    ASSERT_GE(file.size(), 362u);
    EXPECT_EQ(std::memcmp(file.data() + 2, expected.data(), 360), 0);
    EXPECT_EQ(static_cast<std::uint8_t>(file[2 + 246]), 0xAB) << "bytes 246-247 stay plain";
    EXPECT_EQ(a.Header().GetCustomerId(), "customer-7") << "memory stays plain";

    CAccountRoot withKey;
    withKey.SetCipher(HeaderCipher::WithKey(key));
    ASSERT_EQ(withKey.Load(a.GetPath()), 0);
    EXPECT_EQ(withKey.Header().GetOnlinePassword(), "secret");

    // Pass-through keeps the enciphered bytes exactly across a load and save.
    CAccountRoot sync;
    sync.SetCipher(HeaderCipher::PassThrough());
    ASSERT_EQ(sync.Load(a.GetPath()), 0);
    EXPECT_EQ(std::memcmp(sync.Header().GetBytes().data(), expected.data(), 360), 0);
    ASSERT_EQ(sync.Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(a.GetPath()), file);

    // No password: the credentials stand plain in the file.
    CAccountRoot plainAccount;
    plainAccount.Header().SetCustomerId("visible");
    plainAccount.SetPath(folder_ + "/Plain.wqm");
    ASSERT_EQ(plainAccount.Save(), 0);
    EXPECT_NE(test::ReadFileBytes(plainAccount.GetPath()).find("visible"), std::string::npos);
}

TEST_F(AccountFileTest, LockTimeOutReadsAndWritesNothing) {
    CAccountRoot a;
    a.SetPath(folder_ + "/Locked.wqm");
    ASSERT_EQ(a.Save(), 0);
    const std::string before = test::ReadFileBytes(a.GetPath());
    CAccountRoot::SetLockTimeout(100ms);

    std::atomic<bool> held{false}, release{false};
    std::thread holder([&] {
        platform::NamedMutex m(kDatabaseMutexName);
        ASSERT_TRUE(m.Lock(1000ms));
        held = true;
        while (!release)
            std::this_thread::sleep_for(1ms);
        m.Unlock();
    });
    while (!held)
        std::this_thread::sleep_for(1ms);
    a.Header().SetName("Changed");
    EXPECT_EQ(a.Save(), -1);
    CAccountRoot b;
    EXPECT_EQ(b.Load(a.GetPath()), -1);
    release = true;
    holder.join();
    EXPECT_EQ(b.Save(), -1) << "an account that timed out loading never saves";
    EXPECT_EQ(test::ReadFileBytes(a.GetPath()), before);

    // The holder's own thread may take the lock again while saving.
    platform::NamedMutex mine(kDatabaseMutexName);
    ASSERT_TRUE(mine.Lock(0ms));
    EXPECT_EQ(a.Save(), 0);
    mine.Unlock();
}

TEST_F(AccountFileTest, FilePathsAndNames) {
    CAccountRoot a;
    EXPECT_EQ(a.MakeFilePath(folder_, "A/B"), 0);
    EXPECT_EQ(a.GetPath(), folder_ + "/A-B.wqm");
    EXPECT_EQ(SanitizeAccountFileName("a\\b/c:d*e?f\"g<h>i|j"), "a-b-c-d-e-f-g-h-i-j");
    ASSERT_EQ(a.Save(), 0);
    CAccountRoot other;
    EXPECT_EQ(other.MakeFilePath(folder_ + "/", "A/B"), 183);
    EXPECT_EQ(other.MakeFilePath(folder_, "a-b"), 183) << "names that differ in case clash";
    EXPECT_EQ(a.MakeFilePath(folder_, "a-b"), 0) << "the account's own file may change case";
    EXPECT_EQ(a.GetName(), "a-b");

    // Non-ASCII account names become UTF-8 file names and read back as 1252.
    CAccountRoot euro;
    EXPECT_EQ(euro.MakeFilePath(folder_, "Caf\xE9 \x80"), 0);
    EXPECT_EQ(euro.GetPath(), folder_ + "/Caf\xC3\xA9 \xE2\x82\xAC.wqm");
    EXPECT_EQ(euro.GetName(), "Caf\xE9 \x80");

    a.Header().SetName("Vis?a");
    EXPECT_EQ(a.GetDisplayName(), "Vis-a");
    CAccountRoot placeholder;
    placeholder.SetPath(folder_ + "/" + MakePlaceholderFileName(0xA1));
    EXPECT_EQ(placeholder.GetDisplayName(), "XXXXXXXXXXXXXXXXXXXXXX00A1");
    EXPECT_TRUE(placeholder.IsPlaceholderFile());
    EXPECT_FALSE(a.IsPlaceholderFile());
}

TEST(PlaceholderNames, Table) {
    struct Case {
        const char* name;
        bool placeholder;
    };
    const Case cases[] = {
        {"XXXXXXXXXXXXXXXXXXXXXX0000.wqm", true},
        {"xxxxxxxxxxxxxxxxxxxxxx00a1.WQM", true},
        {"xXxXxXxXxXxXxXxXxXxXxXFFFF.Wqm", true},
        {"XXXXXXXXXXXXXXXXXXXXXX00001.wqm", false},  // 31 characters
        {"XXXXXXXXXXXXXXXXXXXXXX00G1.wqm", false},
        {"XXXXXXXXXXXXXXXXXXXXXX0001.lst", false},
        {"XXXXXXXXXXXXXXXXXXXXXY0001.wqm", false},
        {"XXXXXXXXXXXXXXXXXXXXXX0001_wqm", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsPlaceholderFileName(c.name), c.placeholder) << c.name;
    EXPECT_EQ(MakePlaceholderFileName(0x2B), "XXXXXXXXXXXXXXXXXXXXXX002B.wqm");
}

TEST(AccountColors, DefaultsByType) {
    CAccountRoot a;
    const std::uint32_t expected[] = {0xD2FFFF, 0xFFFFD9, 0xC4FFEC, 0xFFE6FF,
                                      0xDFFFDF, 0xCAE4FF, 0xFFE6FF, 0xCAE4FF};
    for (std::uint8_t type = 0; type < 8; ++type) {
        a.SetDefaultColorForType(type);
        EXPECT_EQ(a.GetColor(), expected[type]) << int(type);
    }
    a.SetDefaultColorForType(8);
    EXPECT_EQ(a.GetColor(), 0xCAE4FFu);
}

}  // namespace
}  // namespace tallowmere
