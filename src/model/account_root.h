#pragma once
// One account register's file: the header record, the transactions and the
// deleted transactions, loaded and saved under the system-wide database
// mutex so the desktop and the sync never touch an account file at once.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/account_header.h"
#include "model/blowfish.h"
#include "model/object.h"
#include "model/transaction.h"
#include "platform/named_mutex.h"

namespace tallowmere {

inline constexpr const char* kDatabaseMutexName = "LockwrenDatabaseMutex";
inline constexpr const char* kAccountFileExtension = "wqm";
inline constexpr std::uint32_t kNewAccountColor = 0xFEF3ED;
inline constexpr std::int16_t kDefaultSortMode = 2;

// How the online customer id and password in the header are stored. Chosen
// by whoever loads and saves: the desktop uses the user's key (or none when
// the user has no password); the handheld sync passes the stored bytes
// through unchanged.
class HeaderCipher {
  public:
    // No password: the bytes are stored plain.
    static HeaderCipher None() { return HeaderCipher(nullptr, false); }
    // The bytes stay exactly as stored, enciphered or not.
    static HeaderCipher PassThrough() { return HeaderCipher(nullptr, true); }
    static HeaderCipher WithKey(std::shared_ptr<const CBlowfish> key) {
        return HeaderCipher(std::move(key), false);
    }

    bool IsPassThrough() const { return passThrough_; }
    bool HasKey() const { return key_ != nullptr; }
    void Encipher(AccountHeader::Bytes& header) const;
    void Decipher(AccountHeader::Bytes& header) const;

  private:
    HeaderCipher(std::shared_ptr<const CBlowfish> key, bool passThrough)
        : key_(std::move(key)), passThrough_(passThrough) {}
    std::shared_ptr<const CBlowfish> key_;
    bool passThrough_;
};

using TransactionArray = std::vector<std::unique_ptr<CTransaction>>;

class CAccountRoot : public CObject {
  public:
    CAccountRoot();
    ~CAccountRoot() override;
    CAccountRoot(const CAccountRoot&) = delete;
    CAccountRoot& operator=(const CAccountRoot&) = delete;

    std::string_view GetClassName() const override { return "CAccountRoot"; }
    void Serialize(CArchive& ar) override;

    // A new, empty Checking account with a new id.
    virtual void ResetHeader();

    // 0; 0 with a reset, empty account when the file does not exist; −1 on a
    // lock time-out (nothing read) or a file of another version; the system's
    // code when the file exists but cannot be read; 13 for a malformed file.
    // After a failed load the account is reset and refuses to save, so it can
    // never be written over the real file.
    int Load(const std::string& path);
    // 0; −1 when saving is switched off or the lock times out; otherwise the
    // system's error code, reported with string 507. The file is replaced
    // atomically: on failure it stays as it was.
    int Save();

    AccountHeader& Header() { return header_; }
    const AccountHeader& Header() const { return header_; }
    TransactionArray& Transactions() { return transactions_; }
    const TransactionArray& Transactions() const { return transactions_; }
    TransactionArray& DeletedTransactions() { return deleted_; }
    const TransactionArray& DeletedTransactions() const { return deleted_; }

    const std::string& GetPath() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }
    bool GetDoNotSave() const { return doNotSave_; }
    void SetDoNotSave(bool on) { doNotSave_ = on; }
    // While set, Save writes nothing and reports success, so a benchmark can
    // time an edit without the disk. The program never sets it.
    void SetSkipSaves(bool on) { skipSaves_ = on; }
    Cents GetOnlineBalance() const { return onlineBalance_; }
    void SetOnlineBalance(Cents v) { onlineBalance_ = v; }
    const HeaderCipher& GetCipher() const { return cipher_; }
    void SetCipher(HeaderCipher cipher) { cipher_ = std::move(cipher); }

    // Register settings kept in the file.
    std::int16_t GetTopRow() const { return topRow_; }
    void SetTopRow(std::int16_t row) { topRow_ = row; }
    std::uint32_t GetColor() const { return color_; }
    void SetColor(std::uint32_t color) { color_ = color; }
    std::int16_t GetSortMode() const { return sortMode_; }
    void SetSortMode(std::int16_t mode) { sortMode_ = mode; }
    bool GetSortAscending() const { return ascending_; }
    void SetSortAscending(bool on) { ascending_ = on; }
    // The register colour of an account type; a type above 7 keeps the colour.
    void SetDefaultColorForType(std::uint8_t type);

    // Path from the data folder and the account name (file-name characters
    // replaced by '-'); stored as the account's path. 183 when another file
    // or folder of that name exists (ignoring case, as Windows does), else 0.
    int MakeFilePath(const std::string& folder, std::string_view name);
    // The title of the account's file (no folder, no extension).
    std::string GetName() const;
    // The account name with file-name characters replaced, or the file title
    // when that has 26 characters or more (so a placeholder shows its title).
    std::string GetDisplayName() const;
    bool IsPlaceholderFile() const;

    // Wait for the database mutex; tests shorten it.
    static void SetLockTimeout(std::chrono::milliseconds timeout);
    static std::chrono::milliseconds GetLockTimeout();

  private:
    void DestroyTransactions();

    AccountHeader header_;
    TransactionArray transactions_;
    TransactionArray deleted_;
    std::int16_t fileVersion_ = 0;
    std::string path_;
    // The file this account was read from or last written to: the one file
    // that may be renamed to a case-only variant of its name.
    std::string ownFile_;
    bool doNotSave_ = false;
    bool skipSaves_ = false;
    platform::NamedMutex mutex_{kDatabaseMutexName};
    Cents onlineBalance_ = 0;
    HeaderCipher cipher_ = HeaderCipher::None();

    std::int16_t topRow_ = 0;
    std::uint32_t color_ = kNewAccountColor;
    std::int16_t sortMode_ = kDefaultSortMode;
    bool ascending_ = true;
};

// The name with each of \ / : * ? " < > | replaced by '-'.
std::string SanitizeAccountFileName(std::string_view name);

// 22 'X' (either case), 4 hex digits (either case), ".wqm" (either case).
bool IsPlaceholderFileName(std::string_view fileName);

// The placeholder name of number n (0-0xFFFF): 22 'X', %04X, ".wqm".
std::string MakePlaceholderFileName(unsigned n);

}  // namespace tallowmere
