#include "exchange/qif_importer.h"

#include <cstdint>
#include <limits>
#include <new>

#include "exchange/line_breaks.h"
#include "exchange/list_save_batch.h"
#include "model/error_sink.h"
#include "model/paths.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere::exchange {
namespace {

constexpr std::string_view kVoidPrefix = "**Void**";
// A record whose date cannot be read.
constexpr int kRecordMalformed = -1;
// A longer "N" value is no check number (a reference of some kind).
constexpr std::size_t kCheckNumberMax = 9;

// Our exporter writes a line break inside a text as a vertical tab.
std::string TextValue(std::string_view value) {
    std::string out(value);
    DecodeLineBreaks(out);
    return out;
}

std::uint32_t LeadingNumber(std::string_view text) {
    text = TrimBlanks(text);
    std::uint32_t n = 0;
    for (const char c : text) {
        if (!platform::IsAsciiDigit(static_cast<unsigned char>(c)))
            break;
        n = n * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return n;
}

// "N": "DEP", "ATM" and "EFT" name a type; a short number is a check.
void ReadNumber(std::string_view value, ImportRecord& record) {
    if (value.starts_with("DEP")) {
        record.typeId = DepositTypeId;
    } else if (value.starts_with("ATM")) {
        record.typeId = AtmTypeId;
    } else if (value.starts_with("EFT")) {
        record.typeId = EftTypeId;
    } else if (value.size() <= kCheckNumberMax) {
        record.checkNumber = LeadingNumber(value);
        record.typeId = record.checkNumber != 0 ? CheckTypeId : RecordId{};
    }
}

std::uint8_t StatusOf(std::string_view value) {
    value = TrimBlanks(value);
    if (value == "*")
        return 1;
    if (value == "X" || value == "x")
        return 2;
    return 0;
}

// The sign of the amount decides the direction, whatever the "N" line
// named: a deposit written with a negative amount (a reversal) is money
// out, a check with a positive one (a refund) money in. The model keeps
// magnitudes; the lines are negated with the amount.
void ApplyDirection(Cents& amount, ImportRecord& record) {
    if (amount < 0 && (record.typeId.IsNull() || !IsOutflowTypeId(record.typeId)))
        record.typeId = WithdrawalTypeId;
    else if (amount > 0 && (record.typeId.IsNull() || IsOutflowTypeId(record.typeId)))
        record.typeId = DepositTypeId;
    else if (record.typeId.IsNull())
        record.typeId = record.checkNumber != 0 ? CheckTypeId : WithdrawalTypeId;
    if (!IsOutflowTypeId(record.typeId))
        return;
    amount = SaturatingNegate(amount);
    for (ImportSplitLine& line : record.splits)
        line.amount = SaturatingNegate(line.amount);
}

}  // namespace

CQIFImporter::~CQIFImporter() {
    CloseFileHandle();
}

int CQIFImporter::Import(const std::string& path) {
    std::string text;
    const int r = ReadImportFile(path, text);
    if (r != 0)
        return ReportUnreadable(path, r);
    return ImportText(text, path);
}

int CQIFImporter::ImportText(std::string_view text, const std::string& name) {
    BeginImport(name);
    SetDefaultAccountName(name);
    categoryCache_.clear();
    mirrors_ = ImportMirrors{};
    ListSaveBatch lists(GetAccounts());
    int result = 0;
    try {
        QifReader reader(text);
        bool more = true;
        while (more && result == 0) {
            switch (reader.Next()) {
                case QifItem::kEnd:
                    more = false;
                    break;
                case QifItem::kError:
                    StopAt(reader.Error(), reader.ErrorLine());
                    result = reader.Error();
                    break;
                case QifItem::kAccount:
                    result = ReadAccountBlock(reader.Account(), name);
                    // A cancelled choice ends the import; it is no fault of
                    // the file.
                    if (result == -1) {
                        result = 0;
                        more = false;
                    }
                    break;
                case QifItem::kTransaction:
                    result = AddRecord(reader.Record());
                    break;
                case QifItem::kCategory:
                    if (CAccounts* accounts = GetAccounts())
                        accounts->Categories().FindOrCreateByPath(reader.Name(), true);
                    break;
                case QifItem::kClass:
                    if (CAccounts* accounts = GetAccounts())
                        accounts->Classes().FindOrCreateByName(TrimBlanks(reader.Name()), true);
                    break;
            }
        }
    } catch (const std::bad_alloc&) {
        result = platform::kErrorNotEnoughMemory;
    }
    mirrors_ = ImportMirrors{};
    const int listsSaved = lists.Finish();
    const int saved = SaveTarget();
    const int finished = FinishImport(result);
    if (finished != 0)
        return finished;
    if (saved != 0)
        return saved;
    // The list has reported its failure; a refused save is no format error.
    return listsSaved == 0 ? 0 : (listsSaved > 0 ? listsSaved : platform::kErrorGenFailure);
}

int CQIFImporter::ReadAccountBlock(const QifAccountText& block, const std::string& name) {
    const int saved = SaveTarget();
    if (saved != 0)
        return saved;
    SetDefaultAccountName(name);
    ClearOpeningBalance();
    if (block.hasName)
        SetAccountName(TextValue(block.name));
    if (block.hasBalance)
        SetOpeningBalance(ReadAmount(block.balance));
    return ChooseTargetAccount(GetAccountName(), GetOpeningBalance());
}

int CQIFImporter::ChooseTargetAccount(std::string_view accountName, Cents openingBalance) {
    CAccounts* accounts = GetAccounts();
    if (!accounts)
        return -1;
    // Accounts answer to their file titles, in which file-name characters
    // are replaced.
    CAccount* account = accounts->FindAccountByName(SanitizeAccountFileName(accountName));
    if (!account) {
        MTargetChooser* chooser = GetTargetChooser();
        account = chooser ? chooser->ChooseImportAccount(*accounts, accountName) : nullptr;
        if (!account || accounts->IndexOfAccount(account) < 0)
            return -1;
        AccountHeader& header = account->Header();
        if (HasOpeningBalance() && account->Transactions().empty() &&
            header.GetOpeningBalance() != openingBalance) {
            header.SetOpeningBalance(openingBalance);
            account->RecalcBalances();
        }
    }
    SetTargetAccount(account);
    return 0;
}

bool CQIFImporter::NamesOwnAccounts(const std::string& path) {
    std::string text;
    if (ReadImportFile(path, text) != 0)
        return false;
    LineReader lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        if (platform::CompareNoCase1252(line, "!Account") == 0)
            return true;
    }
    return false;
}

int CQIFImporter::AddRecord(const QifRecordText& text) {
    ImportRecord record;
    const std::optional<PalmTime> date =
        text.hasDate ? ParseDate(text.date) : std::optional<PalmTime>();
    if (!date) {
        StopAt(kRecordMalformed, text.hasDate ? text.dateLine : text.firstLine);
        return kRecordMalformed;
    }
    record.date = *date;
    Cents amount = text.hasAmount ? ReadAmount(text.amount) : 0;
    record.status = StatusOf(text.status);
    if (text.hasNumber)
        ReadNumber(text.number, record);
    record.payee = TextValue(text.payee);
    if (record.payee.starts_with(kVoidPrefix)) {
        record.payee.erase(0, kVoidPrefix.size());
        record.status = 3;
    }
    record.memo = TextValue(text.memo);
    int r = ReadCategory(text.category, record.categoryId, record.classId);
    for (std::size_t i = 0; r == 0 && i < text.splitCount; ++i) {
        const QifSplitText& split = text.splits[i];
        ImportSplitLine& line = record.splits[i];
        r = ReadCategory(split.category, line.categoryId, line.classId);
        line.amount = ReadAmount(split.amount);
        line.memo = TextValue(split.memo);
    }
    if (r != 0)
        return r;
    if (text.splitCount > 0)
        record.categoryId = SplitMarkerId;
    ApplyDirection(amount, record);
    record.amount = amount;
    return AddTransaction(record, &mirrors_);
}

int CQIFImporter::ReadCategory(std::string_view text, RecordId& category, RecordId& classId) {
    // Account names depend on the target (which changes between blocks) and
    // may fail to get a file; they are resolved each time.
    if (!text.empty() && text.front() == '[')
        return ParseCategoryText(text, category, &classId);
    const std::string key(text);
    if (const auto found = categoryCache_.find(key); found != categoryCache_.end()) {
        category = found->second.first;
        classId = found->second.second;
        return 0;
    }
    const int r = ParseCategoryText(text, category, &classId);
    if (r == 0)
        categoryCache_.emplace(key, std::make_pair(category, classId));
    return r;
}

int CQIFImporter::SaveTarget() {
    CAccount* target = GetTargetAccount();
    CAccounts* accounts = GetAccounts();
    if (!target || !accounts || accounts->IndexOfAccount(target) < 0)
        return 0;
    int r = target->Save();
    // A refused save (lock time-out) is no format error of the file.
    if (r < 0)
        r = platform::kErrorGenFailure;
    if (r != 0)
        ReportError(kStringImportSaveFailed, {target->GetName(), static_cast<std::int64_t>(r)});
    return r;
}

}  // namespace tallowmere::exchange
