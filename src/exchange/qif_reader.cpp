#include "exchange/qif_reader.h"

#include "exchange/importer_exporter.h"
#include "platform/text_1252.h"

namespace tallowmere::exchange {
namespace {

bool Is(std::string_view line, std::string_view header) {
    return platform::CompareNoCase1252(line, header) == 0;
}

bool IsTransactionHeader(std::string_view line) {
    for (std::string_view h :
         {"!Type:Bank", "!Type:CCard", "!Type:Cash", "!Type:Oth A", "!Type:Oth L"}) {
        if (Is(line, h))
            return true;
    }
    return false;
}

bool IsHeaderLine(std::string_view line) {
    return !line.empty() && line.front() == '!';
}

}  // namespace

QifItem QifReader::Fail(int code, std::size_t line) {
    state_ = State::kDone;
    error_ = code;
    errorLine_ = line;
    return QifItem::kError;
}

QifItem QifReader::Next() {
    std::string_view line;
    QifItem item = QifItem::kEnd;
    for (;;) {
        switch (state_) {
            case State::kDone:
                return error_ != 0 ? QifItem::kError : QifItem::kEnd;

            case State::kStart:
                if (!lines_.Next(line)) {
                    state_ = State::kDone;
                    continue;
                }
                lines_.PutBack();
                // A file without a header is one list of transactions. A
                // first line that is a header of another kind (an option
                // such as "!Option:AutoSwitch") is read as any header.
                state_ = IsHeaderLine(line) ? State::kHeaders : State::kTransactions;
                continue;

            case State::kHeaders:
                if (!lines_.Next(line)) {
                    state_ = State::kDone;
                    continue;
                }
                if (Is(line, "!Account"))
                    return ReadAccount();
                OnHeader(line);
                continue;

            case State::kTransactions:
            case State::kCategories:
            case State::kClasses:
                if (!lines_.Next(line)) {
                    state_ = State::kDone;
                    continue;
                }
                // The header ends the list and is read as a header.
                if (IsHeaderLine(line)) {
                    lines_.PutBack();
                    state_ = State::kHeaders;
                    continue;
                }
                lines_.PutBack();
                if (state_ == State::kTransactions) {
                    if (ReadRecord(item))
                        return item;
                } else if (state_ == State::kCategories) {
                    if (ReadName(kQifCategoryUnclosed, kQifCategoryNameMax, QifItem::kCategory,
                                 item))
                        return item;
                } else if (ReadName(kQifClassUnclosed, kQifClassNameMax, QifItem::kClass, item)) {
                    return item;
                }
                if (item == QifItem::kError)
                    return item;
                continue;
        }
    }
}

void QifReader::OnHeader(std::string_view line) {
    if (IsTransactionHeader(line)) {
        state_ = State::kTransactions;
        std::string_view option;
        if (lines_.Next(option) && !Is(option, "!Option:AllXfr"))
            lines_.PutBack();
    } else if (Is(line, "!Type:Cat")) {
        state_ = State::kCategories;
    } else if (Is(line, "!Type:Class")) {
        state_ = State::kClasses;
    }
    // Other headers (options, memorised transactions, investments, ...)
    // are passed over with the lines that follow them.
}

QifItem QifReader::ReadAccount() {
    account_ = QifAccountText{};
    account_.line = lines_.LineNumber();
    std::string_view line;
    for (;;) {
        if (!lines_.Next(line) || IsHeaderLine(line))
            return Fail(kQifAccountUnclosed, account_.line);
        const std::string_view value = line.substr(1);
        switch (line.front()) {
            case '^':
                return QifItem::kAccount;
            case 'N':
                account_.hasName = true;
                account_.name = value;
                break;
            case 'B':
                account_.hasBalance = true;
                account_.balance = value;
                break;
            default:
                break;
        }
    }
}

bool QifReader::ReadRecord(QifItem& item) {
    record_ = QifRecordText{};
    std::string_view line;
    bool empty = true;
    // The split line that "S" and "E" fill until its "$".
    QifSplitText pending;
    for (;;) {
        if (!lines_.Next(line) || IsHeaderLine(line)) {
            item = Fail(kQifTransactionUnclosed,
                        record_.firstLine ? record_.firstLine : lines_.LineNumber());
            return false;
        }
        if (record_.firstLine == 0)
            record_.firstLine = lines_.LineNumber();
        const std::string_view value = line.substr(1);
        const bool splitsFull = record_.splitCount >= kSplitLineCount;
        switch (line.front()) {
            case '^':
                item = QifItem::kTransaction;
                return !empty;
            case 'D':
                record_.hasDate = true;
                record_.date = value;
                record_.dateLine = lines_.LineNumber();
                break;
            case 'T':
                record_.hasAmount = true;
                record_.amount = value;
                break;
            case 'C':
                record_.status = value;
                break;
            case 'N':
                record_.hasNumber = true;
                record_.number = value;
                break;
            case 'P':
                record_.payee = value;
                break;
            case 'M':
                record_.memo = value;
                break;
            case 'L':
                record_.category = value;
                break;
            case 'S':
                if (!splitsFull)
                    pending.category = value;
                break;
            case 'E':
                if (!splitsFull)
                    pending.memo = value;
                break;
            case '$':
                if (!splitsFull) {
                    pending.amount = value;
                    record_.splits[record_.splitCount++] = std::move(pending);
                    pending = QifSplitText{};
                }
                break;
            default:
                break;
        }
        empty = false;
    }
}

bool QifReader::ReadName(int unclosedCode, std::size_t maxLength, QifItem kind, QifItem& item) {
    name_.clear();
    nameLine_ = 0;
    std::string_view line;
    for (;;) {
        if (!lines_.Next(line) || IsHeaderLine(line)) {
            item = Fail(unclosedCode, nameLine_ ? nameLine_ : lines_.LineNumber());
            return false;
        }
        if (nameLine_ == 0)
            nameLine_ = lines_.LineNumber();
        if (line.front() == '^') {
            item = kind;
            return !name_.empty();
        }
        if (line.front() == 'N')
            name_ = line.substr(1, maxLength);
    }
}

}  // namespace tallowmere::exchange
