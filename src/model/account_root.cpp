#include "model/account_root.h"

#include <atomic>
#include <cstdio>
#include <optional>
#include <span>

#include "model/archive.h"
#include "model/error_sink.h"
#include "platform/atomic_file.h"
#include "platform/file_ops.h"
#include "platform/record_pool.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere {
namespace {

constexpr int kStringAccountSaveError = 507;

std::atomic<long long> g_lockTimeoutMs{10000};

std::span<std::uint8_t> CipherSpan(AccountHeader::Bytes& header) {
    return std::span<std::uint8_t>(header).subspan(kCipherOffset, kCipherSize);
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The last component of a path and its title without the extension.
std::string FileNameOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TitleOf(const std::string& path) {
    std::string name = FileNameOf(path);
    std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

void HeaderCipher::Encipher(AccountHeader::Bytes& header) const {
    if (key_ && !passThrough_)
        key_->Encipher(CipherSpan(header));
}

void HeaderCipher::Decipher(AccountHeader::Bytes& header) const {
    if (key_ && !passThrough_)
        key_->Decipher(CipherSpan(header));
}

CAccountRoot::CAccountRoot() {
    ResetHeader();
}

CAccountRoot::~CAccountRoot() = default;

void CAccountRoot::SetLockTimeout(std::chrono::milliseconds timeout) {
    g_lockTimeoutMs.store(timeout.count());
}

std::chrono::milliseconds CAccountRoot::GetLockTimeout() {
    return std::chrono::milliseconds(g_lockTimeoutMs.load());
}

void CAccountRoot::DestroyTransactions() {
    transactions_.clear();
    deleted_.clear();
}

void CAccountRoot::ResetHeader() {
    fileVersion_ = 0;
    ownFile_.clear();
    header_ = AccountHeader();
    header_.SetVersion(kAccountHeaderVersion);
    header_.SetId(NewRecordId());
    header_.SetType(kChecking);
    header_.SetIncludeInTotals(true);
    header_.SetCurrencyId(1);
    header_.SetIconIndex(2);
    // A fresh header has nothing to pass on to the handheld yet.
    header_.SetChangeFlags(0);
    onlineBalance_ = 0;
    DestroyTransactions();
    topRow_ = 0;
    color_ = kNewAccountColor;
    sortMode_ = kDefaultSortMode;
    ascending_ = true;
}

void CAccountRoot::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteWord(static_cast<std::uint16_t>(fileVersion_));
        // Encipher a copy: the header in memory stays plain.
        AccountHeader::Bytes header = header_.GetBytes();
        cipher_.Encipher(header);
        ar.WriteBytes(header.data(), header.size());
        ar.WriteWord(static_cast<std::uint16_t>(topRow_));
        ar.WriteWord(0);
        ar.WriteInt32(0);
        ar.WriteInt32(0);
        ar.WriteInt32(0);
        ar.WriteUInt32(color_);
        ar.WriteWord(static_cast<std::uint16_t>(sortMode_));
        ar.WriteByte(ascending_ ? 1 : 0);
        ar.WriteInt64(onlineBalance_);
        WriteObjectList(ar, transactions_);
        WriteObjectList(ar, deleted_);
        return;
    }
    fileVersion_ = static_cast<std::int16_t>(ar.ReadWord());
    if (fileVersion_ != 0)
        throw ArchiveError{-1};
    AccountHeader::Bytes header;
    ar.ReadBytes(header.data(), header.size());
    header_ = AccountHeader(header);
    topRow_ = static_cast<std::int16_t>(ar.ReadWord());
    ar.ReadWord();
    ar.ReadInt32();
    ar.ReadInt32();
    ar.ReadInt32();
    color_ = ar.ReadUInt32();
    sortMode_ = static_cast<std::int16_t>(ar.ReadWord());
    if (sortMode_ < 0 || sortMode_ > 8)
        sortMode_ = kDefaultSortMode;
    ascending_ = ar.ReadByte() != 0;
    if (header_.GetVersion() < kAccountHeaderVersion) {
        onlineBalance_ = 0;
        header_.SetVersion(kAccountHeaderVersion);
    } else {
        onlineBalance_ = ar.ReadInt64();
    }
    const auto isTransaction = [](const CObject&) { return true; };
    transactions_ = ReadOwnedObjectList<CTransaction>(ar, isTransaction);
    deleted_ = ReadOwnedObjectList<CTransaction>(ar, isTransaction);
    cipher_.Decipher(header_.MutableBytes());
}

int CAccountRoot::Load(const std::string& path) {
    ResetHeader();
    doNotSave_ = false;
    platform::NamedMutexLock lock(mutex_, GetLockTimeout());
    if (!lock.Held()) {
        // Nothing was read: this empty account must not stand in for the file.
        path_ = path;
        doNotSave_ = true;
        return -1;
    }
    path_ = path;
    // An account loaded on its own keeps its records in a pool of its own;
    // the pool goes when the last of them does.
    std::optional<platform::RecordPool> ownPool;
    std::optional<platform::CurrentRecordPool> pooled;
    if (platform::RecordPool::Current() == nullptr) {
        ownPool.emplace(kTransactionPoolSizes);
        pooled.emplace(&*ownPool);
    }
    platform::FileImage file;
    int r = platform::MapWholeFile(path, file);
    if (r == platform::kErrorFileNotFound)
        return 0;
    if (r == 0)
        r = LoadObjectData(file.Bytes(), *this);
    if (r == 0)
        ownFile_ = path;
    if (r != 0) {
        // Whatever was read is dropped, and the reset account must never
        // replace the real file.
        const std::string keep = path_;
        ResetHeader();
        path_ = keep;
        doNotSave_ = true;
    }
    return r;
}

int CAccountRoot::Save() {
    if (doNotSave_)
        return -1;
    if (skipSaves_)
        return 0;
    platform::NamedMutexLock lock(mutex_, GetLockTimeout());
    if (!lock.Held())
        return -1;
    int r = SaveObjectFile(path_, *this);
    if (r != 0) {
        ReportError(kStringAccountSaveError, {static_cast<std::int64_t>(r)});
    } else {
        ownFile_ = path_;
    }
    return r;
}

void CAccountRoot::SetDefaultColorForType(std::uint8_t type) {
    static constexpr std::uint32_t kColors[8] = {
        0xD2FFFF,  // Checking
        0xFFFFD9,  // Savings
        0xC4FFEC,  // Cash
        0xFFE6FF,  // Credit Card
        0xDFFFDF,  // Asset
        0xCAE4FF,  // Liability
        0xFFE6FF,  // Money Market
        0xCAE4FF,  // Line of Credit
    };
    if (type < 8)
        color_ = kColors[type];
}

int CAccountRoot::MakeFilePath(const std::string& folder, std::string_view name) {
    // File names on this system are UTF-8; the account name is 1252 text.
    const std::string file =
        platform::Cp1252ToUtf8(SanitizeAccountFileName(name)) + "." + kAccountFileExtension;
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += file;
    // The account's own file may be renamed to a case-only variant of itself.
    std::string ignore;
    const std::string ownFile = FileNameOf(ownFile_);
    if (!ownFile_.empty() &&
        ownFile_.substr(0, ownFile_.size() - ownFile.size()) ==
            path.substr(0, path.size() - file.size()) &&
        ownFile != file && platform::SameNameNoCase(ownFile, file)) {
        ignore = ownFile;
    }
    path_ = path;
    return platform::FindNameNoCase(folder, file, ignore).empty() ? 0
                                                                  : platform::kErrorAlreadyExists;
}

std::string CAccountRoot::GetName() const {
    return platform::Utf8ToCp1252(TitleOf(path_));
}

std::string CAccountRoot::GetDisplayName() const {
    std::string title = GetName();
    if (title.size() < 26)
        return SanitizeAccountFileName(header_.GetName());
    return title;
}

bool CAccountRoot::IsPlaceholderFile() const {
    return IsPlaceholderFileName(GetDisplayName() + "." + kAccountFileExtension);
}

std::string SanitizeAccountFileName(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        switch (c) {
            case '\\':
            case '/':
            case ':':
            case '*':
            case '?':
            case '"':
            case '<':
            case '>':
            case '|':
                c = '-';
                break;
            default:
                break;
        }
    }
    return out;
}

bool IsPlaceholderFileName(std::string_view fileName) {
    if (fileName.size() != 30)
        return false;
    for (std::size_t i = 0; i < 22; ++i) {
        if (fileName[i] != 'X' && fileName[i] != 'x')
            return false;
    }
    for (std::size_t i = 22; i < 26; ++i) {
        if (!IsHexDigit(fileName[i]))
            return false;
    }
    return fileName[26] == '.' && platform::CompareNoCase1252(fileName.substr(27), "wqm") == 0;
}

std::string MakePlaceholderFileName(unsigned n) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "XXXXXXXXXXXXXXXXXXXXXX%04X.%s", n & 0xFFFFu,
                  kAccountFileExtension);
    return buffer;
}

}  // namespace tallowmere
