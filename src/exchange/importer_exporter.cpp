#include "exchange/importer_exporter.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>

#include "model/error_sink.h"
#include "model/paths.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere::exchange {
namespace {

std::string CutToAccountName(std::string_view name) {
    return std::string(name.substr(0, kImportAccountNameMax));
}

// The file's name as the user knows it, for messages.
std::string DisplayFileName(const std::string& path) {
    const std::string name = GetFileNamePart(path);
    return platform::IsValidUtf8(name) ? platform::Utf8ToCp1252(name) : name;
}

}  // namespace

RecordId TypeIdOfCode(int code) {
    switch (code) {
        case 1:
            return CheckTypeId;
        case 2:
            return WithdrawalTypeId;
        case 3:
            return DepositTypeId;
        case 4:
            return ChargeTypeId;
        case 5:
            return PaymentTypeId;
        case 6:
            return AtmTypeId;
        case 7:
            return EftTypeId;
        default:
            return RecordId{};
    }
}

// ------------------------------------------------------------ the base

CImporterExporter::~CImporterExporter() = default;

int CImporterExporter::OpenOutputFile(const std::string& path, bool create) {
    return output_.Open(path, create);
}

int CImporterExporter::WriteText(std::string_view text) {
    return output_.Write(text);
}

int CImporterExporter::CloseFileHandle() {
    return output_.Close();
}

std::string CImporterExporter::DateText(PalmTime date) const {
    return FormatDateText(date, dateLayout_);
}

std::optional<PalmTime> CImporterExporter::ParseDate(std::string_view text) const {
    return ParseDateText(text, dateLayout_);
}

std::string CImporterExporter::AmountText(Cents amount) const {
    return FormatAmountText(amount, numberFormat_);
}

std::string CImporterExporter::SignedAmountText(Cents amount, const RecordId& typeId) const {
    // The most negative amount has no positive counterpart; it keeps its sign.
    if (IsOutflowTypeId(typeId) && amount != std::numeric_limits<Cents>::min())
        amount = -amount;
    return AmountText(amount);
}

Cents CImporterExporter::ParseAmount(std::string_view text) const {
    return ParseAmountText(text, numberFormat_);
}

std::string CImporterExporter::CategoryText(const RecordId& category,
                                            const RecordId& classId) const {
    std::string text;
    if (!accounts_)
        return text;
    if (!category.IsNull()) {
        text = accounts_->Categories().GetFullNameById(category);
        if (text.empty())
            text = accounts_->GetTransferLabelById(category);
    }
    if (!classId.IsNull() && accounts_->Classes().FindClass(classId)) {
        text += '/';
        text += accounts_->Classes().GetNameById(classId);
    }
    return text;
}

int CImporterExporter::ParseCategoryText(std::string_view text, RecordId& category,
                                         RecordId* classId) {
    RecordId::Clear(category);
    if (classId)
        RecordId::Clear(*classId);
    if (!accounts_)
        return 0;

    // An account name in brackets may hold a "/" of its own ("[A/B]/Work").
    std::size_t searchFrom = 0;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close != std::string_view::npos)
            searchFrom = close + 1;
    }
    std::string_view categoryPart = text;
    std::string_view classPart;
    bool hasClass = false;
    const std::size_t slash = text.find('/', searchFrom);
    if (slash != std::string_view::npos) {
        categoryPart = text.substr(0, slash);
        classPart = text.substr(slash + 1);
        hasClass = true;
        if (categoryPart.size() > kCategoryPartMax)
            categoryPart = {};
    }

    if (!categoryPart.empty()) {
        if (categoryPart.front() == '[') {
            const int r = ResolveAccountText(categoryPart, category);
            if (r != 0)
                return r;
        } else {
            category = accounts_->Categories().FindOrCreateByPath(categoryPart, true);
        }
    }
    if (classId && hasClass)
        *classId = accounts_->Classes().FindOrCreateByName(TrimBlanks(classPart), true);
    return 0;
}

int CImporterExporter::ResolveAccountText(std::string_view text, RecordId& category) {
    // "[name]"; without the closing bracket the rest is the name.
    std::string_view inner = text.substr(1);
    if (!inner.empty() && inner.back() == ']')
        inner.remove_suffix(1);
    inner = TrimBlanks(inner);
    if (inner.empty())
        return 0;

    // Accounts answer to their file titles, in which file-name characters
    // are replaced: "[A/B]" from another program names the account "A/B".
    const std::string cut = CutToAccountName(inner);
    CAccount* account = accounts_->FindAccountByName(SanitizeAccountFileName(inner));
    if (!account && cut.size() < inner.size())
        account = accounts_->FindAccountByName(SanitizeAccountFileName(cut));
    if (account) {
        if (account != target_)
            category = account->Header().GetId();
        return 0;
    }

    if (accounts_->GetFolder().empty())
        return kAccountFileFailed;
    std::unique_ptr<CAccount> made;
    try {
        made = std::make_unique<CAccount>();
    } catch (const std::bad_alloc&) {
        return platform::kErrorNotEnoughMemory;
    }
    made->Header().SetName(cut);
    if (made->MakeFilePath(accounts_->GetFolder(), cut) != 0)
        return kAccountFileFailed;
    CAccount* inserted = accounts_->InsertAccount(std::move(made));
    category = inserted->Header().GetId();
    OnAccountCreated(*inserted);
    return 0;
}

void CImporterExporter::OnAccountCreated(CAccount&) {}

// ------------------------------------------------------------ export

int CExporter::WriteAccountHeader(const CAccount&) {
    return 0;
}

int CExporter::ExportTransactions(const std::string& path, const CAccount& account,
                                  std::span<const CTransaction* const> transactions) {
    int r = OpenOutputFile(path, true);
    if (r != 0)
        return r;
    ResetRecordCount();
    r = WriteAccountHeader(account);
    for (std::size_t i = 0; r == 0 && i < transactions.size(); ++i) {
        if (transactions[i]) {
            r = WriteTransaction(*transactions[i]);
            CountRecord();
        }
    }
    const int closed = CloseFileHandle();
    return r != 0 ? r : closed;
}

int CExporter::ExportAccount(const std::string& path, const CAccount& account) {
    std::vector<const CTransaction*> list;
    try {
        list.reserve(account.Transactions().size());
        for (const auto& t : account.Transactions())
            list.push_back(t.get());
    } catch (const std::bad_alloc&) {
        return platform::kErrorNotEnoughMemory;
    }
    return ExportTransactions(path, account, list);
}

// ------------------------------------------------------------ import

int CImporter::ChooseTargetAccount(std::string_view, Cents) {
    return 0;
}

bool CImporter::NamesOwnAccounts(const std::string&) {
    return false;
}

void CImporter::SetAccountName(std::string_view name) {
    accountName_ = CutToAccountName(name);
}

void CImporter::SetDefaultAccountName(const std::string& path) {
    // File names are UTF-8 here; the account name is model text.
    SetAccountName(DisplayFileName(GetFileTitlePart(path)));
}

void CImporter::BeginImport(const std::string& path) {
    path_ = path;
    formatError_ = 0;
    stopLine_ = 0;
    imported_ = 0;
    unreadAmounts_ = 0;
    pending_.clear();
    ResetRecordCount();
}

int CImporter::AddTransaction(const ImportRecord& record, ImportMirrors* mirrors) {
    CAccounts* accounts = GetAccounts();
    CAccount* target = GetTargetAccount();
    if (!accounts || !target || accounts->IndexOfAccount(target) < 0)
        return kNoImportTarget;
    const std::size_t matched = mirrors ? mirrors->Matched() : 0;
    const int r = accounts->AddImportedTransaction(*target, record, &pending_, mirrors);
    CountRecord();
    if (r < 0)
        return kNoImportTarget;
    if (r == 0 && (!mirrors || mirrors->Matched() == matched))
        ++imported_;
    return r;
}

std::string CImporter::ImportFileName() const {
    return DisplayFileName(path_);
}

Cents CImporter::ReadAmount(std::string_view text) {
    if (!IsAmountText(text, GetNumberFormat()))
        ++unreadAmounts_;
    return ParseAmount(text);
}

int CImporter::ReportUnreadable(const std::string& path, int code) {
    BeginImport(path);
    ReportError(kStringImportUnreadable, {DisplayFileName(path), static_cast<std::int64_t>(code)});
    return code;
}

void CImporter::StopAt(int code, std::size_t line) {
    if (formatError_ != 0)
        return;
    formatError_ = code;
    stopLine_ = line;
    ReportError(kStringImportStopped, {DisplayFileName(path_), static_cast<std::int64_t>(line)});
}

void CImporter::NotePending(CAccount* account) {
    if (std::find(pending_.begin(), pending_.end(), account) == pending_.end())
        pending_.push_back(account);
}

void CImporter::OnAccountCreated(CAccount& account) {
    NotePending(&account);
    if (chooser_)
        chooser_->AccountsChanged();
}

int CImporter::SavePendingAccounts() {
    int first = 0;
    CAccounts* accounts = GetAccounts();
    for (CAccount* account : pending_) {
        if (!accounts || accounts->IndexOfAccount(account) < 0 || account == GetTargetAccount())
            continue;
        int r = account->Save();
        // A refused save (lock time-out) is no format error of the file.
        if (r < 0)
            r = platform::kErrorGenFailure;
        if (r != 0) {
            ReportError(kStringImportSaveFailed,
                        {account->GetName(), static_cast<std::int64_t>(r)});
            if (first == 0)
                first = r;
        }
    }
    pending_.clear();
    return first;
}

int CImporter::FinishImport(int result) {
    if (result < 0 && formatError_ == 0)
        StopAt(result, 0);
    const int saved = SavePendingAccounts();
    if (unreadAmounts_ > 0)
        ReportError(kStringImportBadAmounts,
                    {static_cast<std::int64_t>(unreadAmounts_), DisplayFileName(path_)});
    if (result > 0)
        return result;
    return saved;
}

}  // namespace tallowmere::exchange
