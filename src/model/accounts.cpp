#include "model/accounts.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

#include "model/list_file_names.h"
#include "model/old_format.h"
#include "model/paths.h"
#include "model/string_table.h"
#include "model/write_back_journal.h"
#include "platform/file_ops.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere {
namespace {

constexpr int kStringSplit = 317;

bool IsAccountFileName(const std::string& name) {
    const std::string ext = GetFileExtension(name);
    return !ext.empty() && platform::CompareNoCase1252(ext, kAccountFileExtension) == 0;
}

bool IsUsableRate(double rate) {
    return std::isfinite(rate) && rate > 0;
}

// Half away from zero, clamped to the range of Cents.
Cents RoundToCents(double v) {
    const double r = std::round(v);
    if (!(r < 9223372036854775808.0))
        return std::numeric_limits<Cents>::max();
    if (r < -9223372036854775808.0)
        return std::numeric_limits<Cents>::min();
    return static_cast<Cents>(r);
}

// The category of a path text; with create off the list is only read.
RecordId FindCategoryByPath(const CCategoryList& list, std::string_view text) {
    return const_cast<CCategoryList&>(list).FindOrCreateByPath(text, false);
}

}  // namespace

CAccounts::CAccounts() = default;

CAccounts::~CAccounts() = default;

// ---------------------------------------------------------------- loading

int CAccounts::LoadInto(std::unique_ptr<CAccounts>& current, const std::string& folder,
                        const AccountsLoadOptions& options, AccountsLoadFailure* failure) {
    auto fresh = std::make_unique<CAccounts>();
    const int r = fresh->Load(folder, options);
    if (failure)
        *failure = fresh->GetLoadFailure();
    if (r == 0)
        current = std::move(fresh);
    return r;
}

int CAccounts::Fail(int code, const std::string& path) {
    failure_.code = code;
    failure_.path = path;
    return code;
}

int CAccounts::Load(const std::string& folder, const AccountsLoadOptions& options) {
    Clear();
    // Records move between the accounts of a data set (transfers, merges,
    // deleted accounts), so they share one pool.
    const platform::CurrentRecordPool pooled(&records_);
    failure_ = {};
    // Decided afresh from this folder's own category file.
    oldFormat_ = false;
    cipher_ = options.cipher;

    // A sync write-back that a crash cut short is finished before anything
    // of the folder is read or tidied away.
    int r = RecoverDataFolder(folder);
    if (r != 0)
        return Fail(r, folder);
    r = LoadAccountFiles(folder, options.includePlaceholders);
    if (r != 0)
        return r;
    if (accounts_.empty() && options.writeNothing) {
        r = CreateDefaultAccounts(folder, false);
        if (r != 0)
            return r;
    } else if (accounts_.empty()) {
        r = CreateDefaultAccounts(folder);
        if (r != 0)
            return r;
        r = LoadAccountFiles(folder, false);
        if (r != 0)
            return r;
    }

    const std::string categoriesPath = JoinPath(folder, kCategoriesListFile);
    bool idFirst = false;
    r = DetectIdFirstCategoryFile(categoriesPath, idFirst);
    if (r != 0 && r != platform::kErrorFileNotFound)
        return Fail(r, categoriesPath);
    oldFormat_ = r == 0 && idFirst;
    for (CPalmFileList* list :
         std::initializer_list<CPalmFileList*>{&categories_, &payees_, &classes_, &types_,
                                               &payeeLookup_, &currencies_, &scheduled_}) {
        list->SetOldFormatRecords(oldFormat_);
        list->HoldSaves(options.writeNothing);
    }

    // In the order of the folder's layout; each stops the load.
    const auto load = [&](const char* name, const auto& loader) {
        const std::string path = JoinPath(folder, name);
        const int result = loader(path);
        return result == 0 ? 0 : Fail(result, path);
    };
    if ((r = load(kCategoriesListFile,
                  [&](const std::string& p) { return categories_.LoadOrCreate(p); })) != 0 ||
        (r = load(kPayeesListFile,
                  [&](const std::string& p) { return payees_.LoadOrCreate(p); })) != 0 ||
        (r = load(kClassListFile,
                  [&](const std::string& p) { return classes_.LoadOrCreate(p); })) != 0 ||
        (r = load(kCurrenciesListFile,
                  [&](const std::string& p) { return currencies_.LoadOrCreate(p); })) != 0 ||
        (r = load(kTransTypesFile, [&](const std::string& p) { return types_.LoadOrCreate(p); })) !=
            0 ||
        (r = load(kScheduledTransListFile,
                  [&](const std::string& p) { return scheduled_.LoadOrCreate(p); })) != 0)
        return r;
    if (options.makeInstitutionList) {
        institutions_ = options.makeInstitutionList();
        if (institutions_ && (r = load(kFiListFile, [&](const std::string& p) {
                                  return institutions_->LoadOrCreate(p);
                              })) != 0)
            return r;
    }
    if ((r = load(kPayeeLookupListFile,
                  [&](const std::string& p) { return payeeLookup_.LoadOrCreate(p); })) != 0)
        return r;

    folder_ = folder;
    if (options.afterLoad)
        options.afterLoad(folder_);
    return 0;
}

int CAccounts::LoadAccountFiles(const std::string& folder, bool includePlaceholders) {
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) {
        // A folder not made yet holds no accounts; the defaults make it.
        if (ec == std::errc::no_such_file_or_directory)
            return 0;
        return Fail(platform::WinErrorFromErrno(ec.value()), folder);
    }
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        std::string name = it->path().filename().string();
        if (IsAccountFileName(name) && (includePlaceholders || !IsPlaceholderFileName(name)))
            names.push_back(std::move(name));
    }
    if (ec)
        return Fail(platform::WinErrorFromErrno(ec.value()), folder);
    // The folder's order is arbitrary; a fixed one reports the same failure
    // every time.
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = JoinPath(folder, name);
        const int r = LoadAccountFile(path);
        if (r != 0)
            return Fail(r, path);
    }
    return 0;
}

int CAccounts::CreateDefaultAccounts(const std::string& folder, bool write) {
    int r = write ? CreateDirectoryPath(folder) : 0;
    if (r != 0)
        return Fail(r, folder);
    for (const DefaultAccount& d : kDefaultAccounts) {
        auto made = std::make_unique<CAccount>(this);
        CAccount& account = *made;
        account.SetCipher(cipher_);
        AccountHeader& h = account.Header();
        h.SetId(RecordId::Fixed(d.code));
        const std::string name = LoadString1252(d.stringId);
        h.SetName(name);
        h.SetType(d.type);
        h.SetIconIndex(d.icon);
        account.SetColor(d.color);
        r = account.MakeFilePath(folder, name);
        if (r == 0 && !write) {
            InsertAccount(std::move(made));
            continue;
        }
        if (r == 0)
            r = account.Save();
        if (r != 0)
            return Fail(r, account.GetPath());
    }
    return 0;
}

int CAccounts::LoadAccountFile(const std::string& path) {
    auto account = std::make_unique<CAccount>(this);
    account->SetCipher(cipher_);
    const int r = account->Load(path);
    if (r != 0)
        return r;
    InsertAccount(std::move(account));
    return 0;
}

CAccount* CAccounts::InsertAccount(std::unique_ptr<CAccount> account) {
    if (!account)
        return nullptr;
    account->SetOwner(this);
    account->SetCipher(cipher_);
    const std::string name = account->GetName();
    const auto at = std::find_if(accounts_.begin(), accounts_.end(), [&](const auto& a) {
        return platform::CompareBytes(a->GetName(), name) >= 0;
    });
    return accounts_.insert(at, std::move(account))->get();
}

std::unique_ptr<CAccount> CAccounts::TakeAccount(const CAccount* account) {
    const auto at = std::find_if(accounts_.begin(), accounts_.end(),
                                 [&](const auto& a) { return a.get() == account; });
    if (at == accounts_.end())
        return nullptr;
    std::unique_ptr<CAccount> taken = std::move(*at);
    accounts_.erase(at);
    return taken;
}

void CAccounts::Clear() {
    accounts_.clear();
    posted_.clear();
    payees_.DeleteAll();
    categories_.DeleteAll();
    classes_.DeleteAll();
    currencies_.DeleteAll();
    types_.DeleteAll();
    scheduled_.DeleteAll();
    payeeLookup_.DeleteAll();
    institutions_.reset();
    folder_.clear();
}

int CAccounts::Save() {
    int first = 0;
    const auto note = [&first](int r) {
        if (first == 0)
            first = r;
    };
    for (const auto& account : accounts_)
        note(account->Save());
    for (CPalmFileList* list : std::initializer_list<CPalmFileList*>{
             &categories_, &classes_, &currencies_, &payees_, &payeeLookup_, &scheduled_, &types_})
        note(list->Save());
    return first;
}

void CAccounts::SetCipher(HeaderCipher cipher) {
    cipher_ = std::move(cipher);
    for (const auto& account : accounts_)
        account->SetCipher(cipher_);
}

// ---------------------------------------------------------------- lookups

CAccount* CAccounts::GetAccountAt(std::size_t index) const {
    return index < accounts_.size() ? accounts_[index].get() : nullptr;
}

int CAccounts::IndexOfAccount(const CAccount* account) const {
    for (std::size_t i = 0; i < accounts_.size(); ++i) {
        if (accounts_[i].get() == account)
            return static_cast<int>(i);
    }
    return -1;
}

CAccount* CAccounts::FindAccountById(const RecordId& id) {
    return const_cast<CAccount*>(std::as_const(*this).FindAccountById(id));
}

const CAccount* CAccounts::FindAccountById(const RecordId& id) const {
    for (const auto& account : accounts_) {
        if (account->Header().GetId() == id)
            return account.get();
    }
    return nullptr;
}

CAccount* CAccounts::FindAccountByName(std::string_view name) const {
    for (const auto& account : accounts_) {
        if (platform::CompareNoCase1252(account->GetName(), name) == 0)
            return account.get();
    }
    return nullptr;
}

CAccount* CAccounts::FindAccountByFilePath(std::string_view path) const {
    for (const auto& account : accounts_) {
        if (platform::SameNameNoCase(account->GetPath(), std::string(path)))
            return account.get();
    }
    return nullptr;
}

bool CAccounts::IsAccountId(const RecordId& id) const {
    return FindAccountById(id) != nullptr;
}

bool CAccounts::HasAccountWithBankIds(std::string_view routingNumber,
                                      std::string_view accountNumber) const {
    return std::any_of(accounts_.begin(), accounts_.end(), [&](const auto& a) {
        return a->Header().GetRoutingNumber() == routingNumber &&
               a->Header().GetAccountNumber() == accountNumber;
    });
}

bool CAccounts::HasOnlineAccounts() const {
    return CountOnlineAccounts() > 0;
}

int CAccounts::CountOnlineAccounts() const {
    return static_cast<int>(std::count_if(accounts_.begin(), accounts_.end(), [](const auto& a) {
        return a->Header().GetOnlineEnabled();
    }));
}

CAccount* CAccounts::GetOnlineAccountAt(int n, int* position) const {
    int seen = 0;
    for (std::size_t i = 0; i < accounts_.size(); ++i) {
        if (!accounts_[i]->Header().GetOnlineEnabled())
            continue;
        if (seen++ == n) {
            if (position)
                *position = static_cast<int>(i);
            return accounts_[i].get();
        }
    }
    if (position)
        *position = -1;
    return nullptr;
}

bool CAccounts::HasAccount(const RecordId& accountId) const {
    return IsAccountId(accountId);
}

// ---------------------------------------------------------------- texts

std::string CAccounts::GetTransferLabelById(const RecordId& id) const {
    const CAccount* account = FindAccountById(id);
    return account ? account->GetTransferLabel() : std::string();
}

std::string CAccounts::GetCategoryDisplayText(const RecordId& id) const {
    if (id == SplitMarkerId)
        return LoadString1252(kStringSplit);
    if (const CAccount* account = FindAccountById(id))
        return account->GetTransferLabel();
    return categories_.GetFullNameById(id);
}

bool CAccounts::ParseCategoryText(std::string_view text, RecordId& id) const {
    RecordId::Clear(id);
    if (text.empty())
        return true;
    if (text.front() == '[')
        return ResolveTransferText(text, id);
    id = FindCategoryByPath(categories_, text);
    return true;
}

bool CAccounts::ResolveTransferText(std::string_view text, RecordId& id) const {
    RecordId::Clear(id);
    if (!text.empty() && text.front() == '[')
        text.remove_prefix(1);
    if (!text.empty() && text.back() == ']')
        text.remove_suffix(1);
    const CAccount* account = FindAccountByName(text);
    if (!account)
        return false;
    id = account->Header().GetId();
    return true;
}

std::uint16_t CAccounts::GetIconForId(const RecordId& id) const {
    if (const CCategoryItem* category = categories_.FindById(id))
        return category->GetIcon();
    if (const CAccount* account = FindAccountById(id))
        return account->Header().GetIconIndex();
    if (id == SplitMarkerId)
        return kSplitIcon;
    return 0;
}

std::uint16_t CAccounts::GetIconForCategoryText(std::string_view text) const {
    text = platform::TrimAsciiSpace(text);
    if (text.empty())
        return 0;
    // The class part after "/" does not choose the icon.
    const std::size_t slash = text.find('/');
    if (slash != std::string_view::npos && slash > 0)
        text = text.substr(0, slash);
    RecordId id;
    if (text.front() == '[') {
        if (!ResolveTransferText(text, id))
            return 0;
        const CAccount* account = FindAccountById(id);
        return account ? account->Header().GetIconIndex() : 0;
    }
    id = FindCategoryByPath(categories_, text);
    return id.IsNull() ? 0 : GetIconForId(id);
}

// ---------------------------------------------------------------- currency

std::string CAccounts::GetHomeCurrencySymbol() const {
    return GetCurrencySymbolById(currencies_.GetHomeCurrencyId());
}

std::string CAccounts::GetCurrencySymbolById(std::uint8_t currency) const {
    const CCurrencyItem* item = currencies_.FindById(currency);
    return item ? item->GetSymbol() : std::string("$");
}

std::uint8_t CAccounts::GetHomeCurrencyId() const {
    return currencies_.GetHomeCurrencyId();
}

std::optional<double> CAccounts::GetCurrencyRate(std::uint8_t currency) const {
    const CCurrencyItem* item = currencies_.FindById(currency);
    if (!item)
        return std::nullopt;
    return item->GetRate();
}

std::string CAccounts::GetClassNameById(const RecordId& id) const {
    return classes_.GetNameById(id);
}

Cents CAccounts::ConvertToHomeCurrency(Cents amount, std::uint8_t currency) const {
    return currencies_.ConvertToHomeCurrency(amount, currency);
}

int CAccounts::ReplaceCurrency(std::uint8_t currency) {
    const std::uint8_t home = GetHomeCurrencyId();
    int first = 0;
    for (const auto& account : accounts_) {
        if (account->Header().GetCurrencyId() != currency)
            continue;
        account->Header().SetCurrencyId(home);
        const int r = account->Save();
        if (first == 0)
            first = r;
    }
    return first;
}

Cents CAccounts::GetNetWorth(int kind) const {
    const std::uint8_t home = GetHomeCurrencyId();
    double sum = 0;
    for (const auto& account : accounts_) {
        if (!account->Header().GetIncludeInTotals())
            continue;
        double value = static_cast<double>(account->GetBalanceExcludingTransfers(kind));
        const std::uint8_t currency = account->Header().GetCurrencyId();
        if (currency != home) {
            // An unlisted currency or an unusable rate counts as it stands.
            const CCurrencyItem* item = currencies_.FindById(currency);
            if (item && IsUsableRate(item->GetRate()))
                value /= item->GetRate();
        }
        sum += value;
    }
    return RoundToCents(sum);
}

}  // namespace tallowmere
