#include "exchange/csv_exporter.h"

#include <new>
#include <string>

#include "exchange/csv_fields.h"
#include "platform/win_error.h"

namespace tallowmere::exchange {
namespace {

constexpr int kColumnCount = 8;

void AppendRow(std::string& out, const std::string_view (&columns)[kColumnCount]) {
    for (int c = 0; c < kColumnCount; ++c) {
        AppendCsvField(out, columns[c]);
        out += c + 1 < kColumnCount ? "," : "\r\n";
    }
}

bool IsVoid(const CTransaction& t) {
    return (t.GetStatus() & kStatusMask) == kStatusVoid;
}

}  // namespace

std::string CCSVExporter::FormatRows(const CTransaction& t) const {
    const RecordId type = t.GetTypeId();
    const bool isVoid = IsVoid(t);
    const bool split = t.GetCategoryId() == SplitMarkerId;

    const std::string date = DateText(t.GetDate());
    std::string kind;
    if (IsNumberedTypeId(type))
        kind = std::to_string(t.GetCheckNumber());
    else if (const CAccounts* accounts = GetAccounts())
        kind = accounts->TransactionTypes().GetNameById(type);
    std::string payee = t.GetPayeeName();
    if (isVoid)
        payee.insert(0, kCsvVoidPrefix);
    const std::string category =
        split ? std::string(kCsvSplitText) : CategoryText(t.GetCategoryId(), t.GetClassId());
    const std::string memo = t.GetMemo();
    std::string_view status;
    switch (t.GetStatus() & kStatusMask) {
        case kStatusCleared:
            status = kCsvCleared;
            break;
        case kStatusReconciled:
            status = kCsvReconciled;
            break;
        default:
            break;
    }
    const std::string amount = isVoid ? AmountText(0) : SignedAmountText(t.GetAmount(), type);

    std::string out;
    AppendRow(out, {date, kind, payee, category, memo, status, {}, amount});
    if (isVoid || !split)
        return out;

    Cents sum = 0;
    bool summed = true;
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        const Cents part = t.GetSplitAmount(line);
        if (part == 0)
            continue;
        summed = summed && AddAmounts(sum, part, sum);
        const std::string text = CategoryText(t.GetSplitCategoryId(line), t.GetSplitClassId(line));
        const std::string lineMemo = t.GetSplitMemo(line);
        const std::string lineAmount = SignedAmountText(part, type);
        AppendRow(out, {{}, {}, {}, text, lineMemo, {}, lineAmount, {}});
    }
    Cents remainder = 0;
    if (summed && SubtractAmounts(t.GetAmount(), sum, remainder) && remainder != 0) {
        const std::string rest = SignedAmountText(remainder, type);
        AppendRow(out, {{}, {}, {}, {}, {}, {}, rest, {}});
    }
    return out;
}

int CCSVExporter::WriteTransaction(const CTransaction& t) {
    try {
        return WriteText(FormatRows(t));
    } catch (const std::bad_alloc&) {
        return platform::kErrorNotEnoughMemory;
    }
}

}  // namespace tallowmere::exchange
