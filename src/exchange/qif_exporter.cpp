#include "exchange/qif_exporter.h"

#include <limits>
#include <string>

#include "exchange/line_breaks.h"
#include "model/account_header.h"

namespace tallowmere::exchange {
namespace {

constexpr std::string_view kVoidPrefix = "**Void**";

Cents SaturatingSubtract(Cents a, Cents b) {
    if (b == std::numeric_limits<Cents>::min())
        return a >= 0 ? std::numeric_limits<Cents>::max() : a - b;
    return SaturatingAdd(a, -b);
}

}  // namespace

CQIFExporter::~CQIFExporter() = default;

int CQIFExporter::WriteLine(char code, std::string_view value) {
    std::string line;
    line.reserve(value.size() + 3);
    line += code;
    line += EncodeLineBreaks(value);
    line += "\r\n";
    return WriteText(line);
}

int CQIFExporter::WriteTypeHeader(std::uint8_t accountType) {
    std::string_view header = "!Type:Bank\r\n";
    switch (accountType) {
        case kCash:
            header = "!Type:Cash\r\n";
            break;
        case kCreditCard:
            header = "!Type:CCard\r\n";
            break;
        case kAsset:
            header = "!Type:Oth A\r\n";
            break;
        case kLiability:
            header = "!Type:Oth L\r\n";
            break;
        default:
            break;
    }
    return WriteText(header);
}

int CQIFExporter::WriteAccountHeader(const CAccount& account) {
    return WriteTypeHeader(account.Header().GetType());
}

int CQIFExporter::WriteTransaction(const CTransaction& t) {
    const RecordId type = t.GetTypeId();
    const bool isVoid = (t.GetStatus() & kStatusMask) == kStatusVoid;
    const Cents amount = t.GetAmount();

    int r = WriteLine('D', DateText(t.GetDate()));
    if (r == 0)
        r = WriteLine('T', isVoid ? AmountText(0) : SignedAmountText(amount, type));
    if (r == 0 && (t.GetStatus() & kStatusMask) == kStatusCleared)
        r = WriteLine('C', "*");
    if (r == 0 && (t.GetStatus() & kStatusMask) == kStatusReconciled)
        r = WriteLine('C', "X");
    if (r == 0) {
        if (IsNumberedTypeId(type))
            r = WriteLine('N', std::to_string(t.GetCheckNumber()));
        else if (!IsOutflowTypeId(type))
            r = WriteLine('N', "DEP");
        else if (type == AtmTypeId)
            r = WriteLine('N', "ATM");
        else if (type == EftTypeId)
            r = WriteLine('N', "EFT");
    }
    if (r == 0)
        r = WriteLine('P', isVoid ? std::string(kVoidPrefix) + t.GetPayeeName() : t.GetPayeeName());
    if (r == 0 && !t.GetMemo().empty())
        r = WriteLine('M', t.GetMemo());
    if (r == 0)
        r = WriteLine('L', CategoryText(t.GetCategoryId(), t.GetClassId()));

    if (r == 0 && !isVoid && t.GetCategoryId() == SplitMarkerId) {
        Cents written = 0;
        for (std::size_t line = 0; r == 0 && line < kSplitLineCount; ++line) {
            const Cents part = t.GetSplitAmount(line);
            if (part == 0)
                continue;
            r = WriteLine('S', CategoryText(t.GetSplitCategoryId(line), t.GetSplitClassId(line)));
            if (r == 0)
                r = WriteLine('E', t.GetSplitMemo(line));
            if (r == 0)
                r = WriteLine('$', SignedAmountText(part, type));
            written = SaturatingAdd(written, part);
        }
        // What no split line covers, so that the lines add up to the amount.
        if (r == 0 && written != amount) {
            r = WriteLine('S', "");
            if (r == 0)
                r = WriteLine('$', SignedAmountText(SaturatingSubtract(amount, written), type));
        }
    }
    if (r == 0)
        r = WriteText("^\r\n");
    return r;
}

}  // namespace tallowmere::exchange
