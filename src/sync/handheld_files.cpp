#include "sync/handheld_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <new>
#include <string_view>
#include <utility>

#include "model/account_root.h"
#include "model/archive.h"
#include "model/error_sink.h"
#include "model/list_file_names.h"
#include "model/paths.h"
#include "model/write_back_journal.h"
#include "platform/atomic_file.h"
#include "platform/file_ops.h"
#include "platform/named_mutex.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"
#include "sync/handheld_db.h"
#include "sync/handheld_write.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {

namespace {

constexpr int kStringAccountSaveError = 507;
constexpr int kStringListSaveError = 185;
constexpr char kFallbackAccountName[] = "Account";

constexpr Table kRecordTables[] = {
    Table::kAccounts,         Table::kCategories,
    Table::kClasses,          Table::kCurrencies,
    Table::kTransactionTypes, Table::kPayees,
    Table::kPayeeLookupItems, Table::kScheduledTransactions,
    Table::kTransactions,
};

bool IsAccountFile(const std::string& name) {
    const std::string ext = GetFileExtension(name);
    return !ext.empty() && platform::CompareNoCase1252(ext, kAccountFileExtension) == 0;
}

bool TakenNoCase(const std::vector<std::string>& taken, const std::string& name) {
    for (const std::string& t : taken)
        if (platform::SameNameNoCase(t, name))
            return true;
    return false;
}

}  // namespace

std::vector<std::string> UniqueAccountFileNames(const std::vector<std::string>& accountNames) {
    std::vector<std::string> names;
    names.reserve(accountNames.size());
    for (const std::string& accountName : accountNames) {
        std::string base = SanitizeAccountFileName(accountName);
        // A file named ".wqm" has no extension and would never load again.
        if (base.empty())
            base = kFallbackAccountName;
        base = platform::Cp1252ToUtf8(base);
        const std::string ext = std::string(".") + kAccountFileExtension;
        std::string name = base + ext;
        for (int n = 2; TakenNoCase(names, name); ++n)
            name = base + "~" + std::to_string(n) + ext;
        names.push_back(std::move(name));
    }
    return names;
}

HandheldFiles::HandheldFiles(std::string dataFolder, std::string databasePath)
    : dataFolder_(std::move(dataFolder)), databasePath_(std::move(databasePath)) {}

HandheldFiles::~HandheldFiles() {
    DropStaged();
}

int HandheldFiles::LoadDataSet(std::unique_ptr<CAccounts>& data) {
    AccountsLoadOptions options;
    options.cipher = HeaderCipher::PassThrough();
    options.includePlaceholders = true;
    options.writeNothing = true;
    // A new device user's folder may not be there yet; the files come with
    // the write-back.
    if (int r = CreateDirectoryPath(dataFolder_); r != 0)
        return r;
    return CAccounts::LoadInto(data, dataFolder_, options);
}

int HandheldFiles::Stage(const std::string& fileName, CObject& object, bool isAccount) {
    std::vector<std::uint8_t> bytes;
    int r = SaveObjectData(object, bytes);
    StagedFile file;
    file.target = fileName;
    file.staged = StagedFileName(fileName);
    file.isAccount = isAccount;
    const std::string path = JoinPath(dataFolder_, file.staged);
    // Whatever stands under the name (left by a refused record) is replaced,
    // never written through.
    if (r == 0 && ::unlink(path.c_str()) != 0 && errno != ENOENT)
        r = platform::WinErrorFromErrno(errno);
    if (r == 0)
        r = platform::WriteFileAtomic(path, bytes, file.lock);
    if (r != 0) {
        ReportError(isAccount ? kStringAccountSaveError : kStringListSaveError,
                    {static_cast<std::int64_t>(r)});
        return r;
    }
    staged_.push_back(std::move(file));
    return 0;
}

int HandheldFiles::WriteAccountFiles(CAccounts& data) {
    std::vector<CAccount*> accounts;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < data.GetAccountCount(); ++i) {
        CAccount* account = data.GetAccountAt(i);
        if (account == nullptr || account->IsPlaceholderFile())
            continue;
        accounts.push_back(account);
        names.push_back(account->Header().GetName());
    }
    const std::vector<std::string> files = UniqueAccountFileNames(names);
    for (std::size_t i = 0; i < accounts.size(); ++i) {
        accounts[i]->SetCipher(HeaderCipher::PassThrough());
        if (int r = Stage(files[i], *accounts[i], true); r != 0)
            return r;
    }
    for (std::size_t i = 0; i < accounts.size(); ++i)
        accounts[i]->SetPath(JoinPath(dataFolder_, files[i]));
    return 0;
}

int HandheldFiles::WriteListFiles(CAccounts& data) {
    const std::pair<const char*, CPalmFileList*> lists[] = {
        {kCategoriesListFile, &data.Categories()},   {kClassListFile, &data.Classes()},
        {kCurrenciesListFile, &data.Currencies()},   {kPayeesListFile, &data.Payees()},
        {kPayeeLookupListFile, &data.PayeeLookup()}, {kScheduledTransListFile, &data.Scheduled()},
        {kTransTypesFile, &data.TransactionTypes()},
    };
    for (const auto& [name, list] : lists)
        if (int r = Stage(name, *list, false); r != 0)
            return r;
    return 0;
}

int HandheldFiles::ListOldAccountFiles(std::vector<std::string>& names) const {
    names.clear();
    std::error_code ec;
    std::filesystem::directory_iterator it(dataFolder_, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        std::string name = it->path().filename().string();
        bool kept = false;
        for (const StagedFile& f : staged_)
            kept = kept || (f.isAccount && f.target == name);
        if (!kept && IsAccountFile(name))
            names.push_back(std::move(name));
    }
    return ec ? platform::WinErrorFromErrno(ec.value()) : 0;
}

bool HandheldFiles::Stop(StopPoint point, std::size_t index) const {
    return stopHook_ && stopHook_(point, index);
}

int HandheldFiles::Commit() {
    WriteBackRecord record;
    for (const StagedFile& f : staged_)
        record.moves.push_back({f.staged, f.target});
    if (int r = ListOldAccountFiles(record.deletes); r != 0) {
        DropStaged();
        return r;
    }
    if (int r = WriteWriteBackRecord(dataFolder_, record); r != 0) {
        DropStaged();
        return r;
    }
    // From here on the commit is decided: a failure leaves the record and
    // the staged files for the next load to finish.
    bool stopped = Stop(StopPoint::kAfterRecord);
    int r = 0;
    if (!stopped) {
        r = ApplyWriteBackRecord(dataFolder_, record, [&](WriteBackStep step, std::size_t i) {
            stopped = Stop(
                step == WriteBackStep::kRenamed ? StopPoint::kAfterRename : StopPoint::kAfterDelete,
                i);
            return !stopped;
        });
    }
    if (!stopped && r == 0)
        stopped = Stop(StopPoint::kBeforeRemovingRecord);
    if (!stopped && r == 0)
        r = RemoveWriteBackRecord(dataFolder_);
    AbandonStaged();
    return stopped ? platform::kErrorGenFailure : r;
}

void HandheldFiles::DropStaged() {
    for (const StagedFile& f : staged_)
        ::unlink(JoinPath(dataFolder_, f.staged).c_str());
    staged_.clear();
}

void HandheldFiles::AbandonStaged() {
    staged_.clear();
}

int HandheldFiles::RemoveLeftovers() {
    // Left by a run that died: a record is finished first, staged files
    // without one are deleted.
    return RecoverDataFolder(dataFolder_);
}

int HandheldFiles::WriteDataSet(CAccounts& data) {
    DropStaged();
    int r = RemoveLeftovers();
    if (r == 0)
        r = CreateDirectoryPath(dataFolder_);
    if (r == 0)
        r = WriteAccountFiles(data);
    if (r == 0)
        r = WriteListFiles(data);
    if (r != 0) {
        DropStaged();
        return r;
    }
    if (Stop(StopPoint::kBeforeRecord)) {
        AbandonStaged();
        return platform::kErrorGenFailure;
    }
    // The commit touches account files: the desktop reads them, and finishes
    // records, under this lock.
    platform::NamedMutex mutex(kDatabaseMutexName);
    platform::NamedMutexLock lock(mutex, CAccountRoot::GetLockTimeout());
    if (!lock.Held()) {
        DropStaged();
        return -1;
    }
    return Commit();
}

int HandheldFiles::MarkAllRowsModified(CSQLiteDBWrapper& db) {
    for (Table table : kRecordTables)
        if (int rc = MarkAllModified(db, table); rc != 0)
            return rc;
    return 0;
}

int HandheldFiles::ResetModifiedFlags(CSQLiteDBWrapper& db) {
    int rc = db.ExecSql(sql::kMarkTransactionsWithChangedSplits);
    if (rc == 0)
        rc = db.ExecSql(sql::kClearModifiedSplits);
    return rc;
}

}  // namespace tallowmere::handheld
