#include "exchange/csv_importer.h"

#include <limits>
#include <new>

#include "exchange/csv_exporter.h"
#include "exchange/csv_fields.h"
#include "exchange/list_save_batch.h"
#include "model/error_sink.h"
#include "model/paths.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere::exchange {
namespace {

constexpr std::size_t kColumnCount = 8;
// Columns 1-7 of a split row.
constexpr std::size_t kSplitColumnCount = 7;

struct TypeKeyword {
    std::string_view text;
    int code;
};
constexpr TypeKeyword kTypeKeywords[] = {
    {"W/D", 2}, {"Dep", 3}, {"Chrg", 4}, {"Pymt", 5}, {"ATM", 6}, {"EFT", 7},
};

bool IsDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (const char c : text) {
        if (!platform::IsAsciiDigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

Cents Magnitude(Cents amount) {
    return amount >= 0 ? amount : SaturatingNegate(amount);
}

}  // namespace

CCSVImporter::~CCSVImporter() {
    CloseFileHandle();
}

int CCSVImporter::Import(const std::string& path) {
    std::string text;
    const int r = ReadImportFile(path, text);
    if (r != 0)
        return ReportUnreadable(path, r);
    return ImportText(text, path);
}

int CCSVImporter::ImportText(std::string_view text, const std::string& name) {
    BeginImport(name);
    SetDefaultAccountName(name);
    // New categories and classes are written once at the end, not per row.
    ListSaveBatch lists(GetAccounts());
    int result = 0;
    try {
        LineReader lines(text);
        std::string_view line;
        while (result == 0 && lines.Next(line))
            result = ReadTransaction(lines);
    } catch (const std::bad_alloc&) {
        result = platform::kErrorNotEnoughMemory;
    }
    const int listsSaved = lists.Finish();
    const int finished = FinishImport(result);
    if (finished != 0)
        return finished;
    // The list has reported its failure itself.
    return listsSaved == 0 ? 0 : (listsSaved > 0 ? listsSaved : platform::kErrorGenFailure);
}

void CCSVImporter::ReadKind(std::string_view text, ImportRecord& record, bool& malformed) const {
    if (IsDigits(text)) {
        std::uint64_t n = 0;
        for (const char c : text) {
            n = n * 10 + static_cast<unsigned>(c - '0');
            if (n > std::numeric_limits<std::uint32_t>::max()) {
                malformed = true;
                return;
            }
        }
        record.typeId = CheckTypeId;
        record.checkNumber = static_cast<std::uint32_t>(n);
        return;
    }
    for (const TypeKeyword& k : kTypeKeywords) {
        if (text == k.text) {
            record.typeId = TypeIdOfCode(k.code);
            return;
        }
    }
    if (text.empty() || !GetAccounts())
        return;
    const CTransactionTypesList& types = GetAccounts()->TransactionTypes();
    const std::size_t count = types.GetCount(false);
    for (std::size_t i = 0; i < count; ++i) {
        const auto* type = dynamic_cast<const CTransactionType*>(types.GetAt(i, false));
        if (type && type->GetName() == text) {
            record.typeId = type->GetId();
            return;
        }
    }
}

int CCSVImporter::ReadTransaction(LineReader& lines) {
    const std::string_view text = lines.Text();
    const std::size_t line = lines.LineNumber();
    const auto malformed = [&](std::size_t at) {
        StopAt(kCsvRowMalformed, at);
        return kCsvRowMalformed;
    };
    // A row reads on from where its line begins; quoted fields may hold
    // line breaks.
    const auto readRow = [&]() {
        std::size_t pos = lines.LineStart();
        const CsvRowResult r = ReadCsvRow(text, pos, fields_);
        lines.SkipTo(pos);
        return r == CsvRowResult::kOk;
    };

    if (!readRow() || fields_.size() < kColumnCount)
        return malformed(line);

    ImportRecord record;
    const std::optional<PalmTime> date = ParseDate(fields_[0]);
    if (!date)
        return malformed(line);
    record.date = *date;

    bool badKind = false;
    ReadKind(fields_[1], record, badKind);
    if (badKind)
        return malformed(line);

    std::string_view payee = fields_[2];
    bool isVoid = false;
    if (payee.substr(0, kCsvVoidPrefix.size()) == kCsvVoidPrefix) {
        payee.remove_prefix(kCsvVoidPrefix.size());
        isVoid = true;
    }
    record.payee = std::string(payee.substr(0, kPayeeFieldSize - 1));

    const bool split = fields_[3] == kCsvSplitText;
    if (split) {
        record.categoryId = SplitMarkerId;
    } else {
        const int r = ParseCategoryText(fields_[3], record.categoryId, &record.classId);
        if (r != 0) {
            StopAt(r, line);
            return r;
        }
    }
    record.memo = fields_[4].substr(0, kMemoFieldSize - 1);

    const std::string& status = fields_[5];
    if (status.empty())
        record.status = 0;
    else if (status == kCsvCleared)
        record.status = 1;
    else if (status == kCsvReconciled)
        record.status = 2;
    else
        return malformed(line);
    if (isVoid)
        record.status = 3;

    if (fields_[7].empty())
        return malformed(line);
    const Cents amount = ReadAmount(fields_[7]);
    // A void row carries 0: its own type says what it was.
    const bool keepType = isVoid && amount == 0 && !record.typeId.IsNull();
    if (amount < 0) {
        if (record.typeId.IsNull() || !IsOutflowTypeId(record.typeId))
            record.typeId = WithdrawalTypeId;
    } else if (!keepType) {
        if (record.typeId.IsNull() || IsOutflowTypeId(record.typeId))
            record.typeId = DepositTypeId;
    }
    record.amount = Magnitude(amount);

    if (split) {
        const bool outflow = IsOutflowTypeId(record.typeId);
        Cents remaining = record.amount;
        bool mixedSigns = false;
        // Ten split lines and one row for the part that no line covers:
        // never more, whatever the amounts say.
        for (std::size_t n = 0; remaining != 0; ++n) {
            std::string_view next;
            if (!lines.Next(next))
                return malformed(lines.LineNumber() + 1);
            const std::size_t at = lines.LineNumber();
            if (!readRow() || fields_.size() < kSplitColumnCount || fields_[6].empty())
                return malformed(at);
            Cents part = ReadAmount(fields_[6]);
            if (outflow)
                part = SaturatingNegate(part);
            if (part < 0)
                mixedSigns = true;
            if (!SubtractAmounts(remaining, part, remaining))
                return malformed(at);
            if (n == kSplitLineCount) {
                // Only the remainder row may follow ten lines; it names no
                // category, and no line holds it.
                if (remaining != 0 || !TrimBlanks(fields_[3]).empty())
                    return malformed(at);
                break;
            }
            if (remaining < 0 && !mixedSigns)
                return malformed(at);
            ImportSplitLine& s = record.splits[n];
            const int r = ParseCategoryText(fields_[3], s.categoryId, &s.classId);
            if (r != 0) {
                StopAt(r, at);
                return r;
            }
            s.amount = part;
            s.memo = fields_[4].substr(0, kMemoFieldSize - 1);
        }
    }
    return AddTransaction(record);
}

}  // namespace tallowmere::exchange
