#include "exchange/ofx_response.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "exchange/ofx_tags.h"
#include "model/account_download.h"
#include "model/ofx_datetime.h"
#include "platform/text_1252.h"

namespace tallowmere::exchange {
namespace {

constexpr std::size_t kHeaderLineKept = 16;
constexpr std::size_t kTypeMax = 11;
constexpr std::size_t kNameMax = 32;
// How much of a faulty text a message shows.
constexpr std::size_t kFaultValueMax = 40;

// A status CODE text as a number; empty for anything but an optionally signed
// decimal that fits.
std::optional<std::int32_t> ParseStatusCode(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!platform::IsAsciiDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::string_view Cut(std::string_view text, std::size_t max) {
    return text.substr(0, max);
}

// One walk over a parsed reply; every failure lands on the client.
class ReplyWalk {
  public:
    ReplyWalk(COfxClient& client, CSgmlDocument& document) : client_(client), document_(document) {}

    bool DocumentError() {
        client_.SetError(document_.GetErrorCode(), document_.GetErrorText());
        return false;
    }
    bool Error(std::int32_t code) {
        client_.SetError(code);
        return false;
    }
    // A statement that cannot be taken: code 3 (missing) or 4 (unreadable),
    // with a text that names the place, the element and what it held.
    bool Fault(std::int32_t code, std::string_view where, std::string_view element,
               std::optional<std::string_view> value = std::nullopt) {
        std::string text;
        text.append(where).append(": ").append(element);
        if (value) {
            text += ' ';
            text.append(Cut(*value, kFaultValueMax));
        }
        client_.SetError(code, text);
        return false;
    }
    // A handler's answer: 0 goes on.
    bool Answer(std::int32_t status) { return status == 0 || Error(status); }

    // The CODE of the STATUS inside holder. True for code 0; an OFX error
    // (code and the MESSAGE beside it) or a missing or unreadable CODE fails.
    // A code listed in accepted is handed back in *code and counts as true.
    bool CheckStatus(CSgmlElement& holder, std::int32_t* code = nullptr,
                     std::int32_t accepted = 0) {
        const std::string* text = holder.GetText({"STATUS", "CODE"});
        if (text == nullptr)
            return DocumentError();
        const std::optional<std::int32_t> value = ParseStatusCode(*text);
        if (!value)
            return Error(kOfxErrorMalformed);
        if (code != nullptr)
            *code = *value;
        if (*value == 0 || (accepted != 0 && *value == accepted))
            return true;
        const CSgmlElement* message = holder.FindPath({"STATUS", "MESSAGE"});
        const std::string* messageText = message != nullptr ? message->Text() : nullptr;
        client_.SetError(
            *value, messageText != nullptr ? std::string_view(*messageText) : std::string_view());
        return false;
    }

  private:
    COfxClient& client_;
    CSgmlDocument& document_;
};

// Skips the header and parses the rest into document; false with the client's
// error set.
bool ReadReply(COfxClient& client, Stream& stream, CSgmlDocument& document,
               CSgmlElement::MParseEventHandler& adapter) {
    SgmlTextEncoding encoding = SgmlTextEncoding::kCp1252;
    if (!SkipOfxHeader(stream, encoding)) {
        client.SetError(kOfxErrorMalformed);
        return false;
    }
    document.SetTextEncoding(encoding);
    if (!document.Parse(stream, COfxSgmlTagTable(), &adapter)) {
        client.SetError(document.GetErrorCode(), document.GetErrorText());
        return false;
    }
    return true;
}

template <typename Walk>
bool Guarded(COfxClient& client, Walk&& walk) {
    try {
        return walk();
    } catch (const std::bad_alloc&) {
        client.SetError(kSgmlErrorNoMemory);
        return false;
    }
}

// The statement transaction wrappers, in the order in which the first one
// present is the statement read.
constexpr std::string_view kStatementWrappers[][2] = {
    {"BANKMSGSRSV1", "STMTTRNRS"},
    {"BANKMSGSRSV2", "STMTTRNRS"},
    {"CREDITCARDMSGSRSV1", "CCSTMTTRNRS"},
    {"CREDITCARDMSGSRSV2", "CCSTMTTRNRS"},
};

// The ACCTID of every statement of the reply but the one in read ("?" for
// one without), in wrapper order.
void ListFurtherStatements(const CSgmlDocument& document, const CSgmlElement& read,
                           std::vector<std::string>& accounts) {
    for (const auto& path : kStatementWrappers) {
        for (CSgmlElement* set = document.FindFirstChild(path[0]); set != nullptr;
             set = set->FindNextSibling(path[0])) {
            for (CSgmlElement* wrapper = set->FindFirstChild(path[1]); wrapper != nullptr;
                 wrapper = wrapper->FindNextSibling(path[1])) {
                if (wrapper == &read)
                    continue;
                CSgmlElement* statement = wrapper->FindFirstChild("STMTRS");
                if (statement == nullptr)
                    statement = wrapper->FindFirstChild("CCSTMTRS");
                if (statement == nullptr)
                    continue;
                CSgmlElement* from = statement->FindFirstChild("BANKACCTFROM");
                if (from == nullptr)
                    from = statement->FindFirstChild("CCACCTFROM");
                CSgmlElement* id = from != nullptr ? from->FindFirstChild("ACCTID") : nullptr;
                accounts.emplace_back(id != nullptr && id->Text() != nullptr ? *id->Text() : "?");
            }
        }
    }
}

// One STMTTRN as the handler hears of it; the texts live in the document.
struct StatementItem {
    std::string_view date;
    std::string_view amount;
    std::string_view type;
    std::optional<std::string_view> checkNumber;
    // Null: the name is made from the type (and check number).
    std::optional<std::string_view> name;
    std::optional<std::string_view> memo;
    std::string_view fitId;
};

// Every STMTTRN of the list, each checked as the account will read it: a
// date, an amount, a type and a FITID, the date and the amount readable.
// False at the first fault, which the client's error names.
bool ReadStatementItems(CSgmlElement& list, std::vector<StatementItem>& items, ReplyWalk& walk) {
    std::size_t index = 0;
    const auto fault = [&](std::int32_t code, std::string_view element,
                           std::optional<std::string_view> value = std::nullopt) {
        return walk.Fault(code, "STMTTRN " + std::to_string(index), element, value);
    };
    for (CSgmlElement* element = list.FindFirstChild("STMTTRN"); element != nullptr;
         element = element->FindNextSibling("STMTTRN")) {
        ++index;
        StatementItem item;
        // An empty DTUSER dates nothing; DTPOSTED stands in.
        std::string_view dateTag = "DTUSER";
        const std::string* date = nullptr;
        if (CSgmlElement* user = element->FindFirstChild(dateTag))
            date = user->Text();
        if (date == nullptr || date->empty()) {
            dateTag = "DTPOSTED";
            date = element->GetText({dateTag});
        }
        if (date == nullptr)
            return fault(kOfxErrorMissing, dateTag);
        if (ParseOfxDateTime(*date) == 0)
            return fault(kOfxErrorMalformed, dateTag, *date);
        const std::string* amount = element->GetText({"TRNAMT"});
        if (amount == nullptr)
            return fault(kOfxErrorMissing, "TRNAMT");
        if (!ParseBankAmount(*amount))
            return fault(kOfxErrorMalformed, "TRNAMT", *amount);
        const std::string* type = element->GetText({"TRNTYPE"});
        if (type == nullptr)
            return fault(kOfxErrorMissing, "TRNTYPE");
        item.date = *date;
        item.amount = *amount;
        item.type = Cut(*type, kTypeMax);

        // An empty CHECKNUM numbers nothing.
        if (CSgmlElement* check = element->FindFirstChild("CHECKNUM")) {
            if (check->Text() != nullptr && !check->Text()->empty())
                item.checkNumber = *check->Text();
        }
        if (item.type == "CHECK" && !item.checkNumber)
            item.type = "DEBIT";

        const std::string* nameText = nullptr;
        if (CSgmlElement* name = element->FindFirstChild("NAME"))
            nameText = name->Text();
        if (nameText == nullptr) {
            if (CSgmlElement* payee = element->FindFirstChild("PAYEE")) {
                if (CSgmlElement* name = payee->FindFirstChild("NAME"))
                    nameText = name->Text();
            }
        }
        if (nameText != nullptr)
            item.name = Cut(*nameText, kNameMax);

        if (CSgmlElement* memo = element->FindFirstChild("MEMO")) {
            if (memo->Text() != nullptr)
                item.memo = *memo->Text();
        }
        const std::string* fitId = element->GetText({"FITID"});
        if (fitId == nullptr)
            return fault(kOfxErrorMissing, "FITID");
        item.fitId = *fitId;
        items.push_back(item);
    }
    return true;
}

// When the reply carries a sign-on status, a rejected sign-on is the answer.
bool SignOnAccepted(ReplyWalk& walk, CSgmlDocument& document) {
    CSgmlElement* sonrs = document.FindFirstChild("SIGNONMSGSRSV1");
    sonrs = sonrs != nullptr ? sonrs->FindFirstChild("SONRS") : nullptr;
    if (sonrs == nullptr)
        return true;
    return walk.CheckStatus(*sonrs);
}

}  // namespace

bool SkipOfxHeader(Stream& stream, SgmlTextEncoding& encoding) {
    std::string encodingText;
    std::string charsetText;
    std::string line;
    for (;;) {
        const std::size_t lineStart = stream.Tell();
        line.clear();
        bool sawByte = false;
        std::uint8_t byte = 0;
        while (stream.ReadByte(byte)) {
            sawByte = true;
            if (byte == '\n')
                break;
            if (byte != '\r' && line.size() < kHeaderLineKept)
                line.push_back(static_cast<char>(byte));
        }
        if (!sawByte)
            return false;
        const bool ended = byte == '\n';
        if (line == "<OFX>") {
            encoding = OfxHeaderTextEncoding(encodingText, charsetText);
            return stream.Seek(lineStart);
        }
        if (line.empty() && ended) {
            encoding = OfxHeaderTextEncoding(encodingText, charsetText);
            return true;
        }
        if (!ended)
            return false;
        const std::string_view view(line);
        if (view.starts_with("ENCODING:"))
            encodingText = view.substr(9);
        else if (view.starts_with("CHARSET:"))
            charsetText = view.substr(8);
    }
}

void COfxClient::SetError(std::int32_t code, std::string_view text) {
    lastError_ = code;
    try {
        lastErrorText_.assign(text);
    } catch (const std::bad_alloc&) {
        lastErrorText_.clear();
    }
}

bool COfxClient::ParseProfile(Stream& stream, MGetProfileEventHandler& handler) {
    return Guarded(*this, [&] {
        CSgmlDocument document;
        CGetProfileParseEventHandler adapter(handler);
        if (!ReadReply(*this, stream, document, adapter))
            return false;
        ReplyWalk walk(*this, document);
        if (!SignOnAccepted(walk, document))
            return false;
        CSgmlElement* transaction = document.FindPath({"PROFMSGSRSV1", "PROFTRNRS"});
        if (transaction == nullptr)
            return walk.DocumentError();
        // Code 1: the kept profile is still current.
        std::int32_t code = 0;
        if (!walk.CheckStatus(*transaction, &code, 1))
            return false;
        if (code == 1)
            return true;
        CSgmlElement* profile = transaction->FindPath({"PROFRS"});
        if (profile == nullptr)
            return walk.DocumentError();
        std::string text;
        CGetProfileGenerateEventHandler generateAdapter(handler);
        if (!profile->Generate(text, &generateAdapter))
            return walk.DocumentError();
        if (!walk.Answer(handler.OnProfile(text)))
            return false;
        CSgmlElement* info = profile->FindFirstChild("SIGNONINFOLIST");
        info = info != nullptr ? info->FindFirstChild("SIGNONINFO") : nullptr;
        if (info != nullptr && info->FindFirstChild("CLIENTUIDREQ") != nullptr)
            return walk.Answer(handler.OnClientUidRequired(1));
        return true;
    });
}

bool COfxClient::ParseAccountInfo(Stream& stream, MGetAccountInfoEventHandler& handler) {
    return Guarded(*this, [&] {
        CSgmlDocument document;
        CGetAccountInfoParseEventHandler adapter(handler);
        if (!ReadReply(*this, stream, document, adapter))
            return false;
        ReplyWalk walk(*this, document);
        CSgmlElement* sonrs = document.FindPath({"SIGNONMSGSRSV1", "SONRS"});
        if (sonrs == nullptr)
            return walk.DocumentError();
        if (!walk.CheckStatus(*sonrs))
            return false;
        CSgmlElement* transaction = document.FindPath({"SIGNUPMSGSRSV1", "ACCTINFOTRNRS"});
        if (transaction == nullptr)
            return walk.DocumentError();
        if (!walk.CheckStatus(*transaction))
            return false;
        CSgmlElement* list = transaction->FindPath({"ACCTINFORS"});
        if (list == nullptr)
            return walk.DocumentError();

        // SVCSTATUS and SUPTXDL must be there; an account that is not active
        // or does not allow downloads is passed over.
        enum class Offer { kYes, kNo, kFail };
        auto offered = [&](CSgmlElement& info) {
            const std::string* status = info.GetText({"SVCSTATUS"});
            if (status == nullptr)
                return Offer::kFail;
            if (*status != "ACTIVE")
                return Offer::kNo;
            const std::string* download = info.GetText({"SUPTXDL"});
            if (download == nullptr)
                return Offer::kFail;
            return *download == "Y" ? Offer::kYes : Offer::kNo;
        };

        for (CSgmlElement* account = list->FindFirstChild("ACCTINFO"); account != nullptr;
             account = account->FindNextSibling("ACCTINFO")) {
            if (CSgmlElement* bank = account->FindFirstChild("BANKACCTINFO")) {
                const Offer offer = offered(*bank);
                if (offer == Offer::kFail)
                    return walk.DocumentError();
                if (offer == Offer::kNo)
                    continue;
                const std::string* bankId = bank->GetText({"BANKACCTFROM", "BANKID"});
                const std::string* accountId = bank->GetText({"BANKACCTFROM", "ACCTID"});
                const std::string* type = bank->GetText({"BANKACCTFROM", "ACCTTYPE"});
                if (bankId == nullptr || accountId == nullptr || type == nullptr)
                    return walk.DocumentError();
                if (!walk.Answer(handler.OnBankAccount(*bankId, *accountId, *type)))
                    return false;
            } else if (account->FindFirstChild("BPACCTINFO") != nullptr) {
                continue;
            } else if (CSgmlElement* card = account->FindFirstChild("CCACCTINFO")) {
                const Offer offer = offered(*card);
                if (offer == Offer::kFail)
                    return walk.DocumentError();
                if (offer == Offer::kNo)
                    continue;
                const std::string* accountId = card->GetText({"CCACCTFROM", "ACCTID"});
                if (accountId == nullptr)
                    return walk.DocumentError();
                if (!walk.Answer(handler.OnCreditCardAccount(*accountId)))
                    return false;
            } else if (account->FindFirstChild("PRESACCTINFO") != nullptr) {
                continue;
            } else {
                return walk.Error(kOfxErrorMalformed);
            }
        }
        return true;
    });
}

bool COfxClient::ParseStatement(Stream& stream, MGetStatementEventHandler& handler,
                                std::vector<std::string>* furtherAccounts) {
    if (furtherAccounts != nullptr)
        furtherAccounts->clear();
    return Guarded(*this, [&] {
        CSgmlDocument document;
        CGetStatementParseEventHandler adapter(handler);
        if (!ReadReply(*this, stream, document, adapter))
            return false;
        ReplyWalk walk(*this, document);

        CSgmlElement* sonrs = nullptr;
        for (std::string_view set : {"SIGNONMSGSRSV1", "SIGNONMSGSRSV2"}) {
            CSgmlElement* found = document.FindFirstChild(set);
            sonrs = found != nullptr ? found->FindFirstChild("SONRS") : nullptr;
            if (sonrs != nullptr && sonrs->FindPath({"STATUS", "CODE"}) != nullptr)
                break;
            sonrs = nullptr;
        }
        if (sonrs == nullptr) {
            document.SetError(kSgmlErrorMissing);
            return walk.DocumentError();
        }
        // The MESSAGE is read beside the CODE that was found.
        if (!walk.CheckStatus(*sonrs))
            return false;

        CSgmlElement* wrapper = nullptr;
        for (const auto& path : kStatementWrappers) {
            CSgmlElement* set = document.FindFirstChild(path[0]);
            wrapper = set != nullptr ? set->FindFirstChild(path[1]) : nullptr;
            if (wrapper != nullptr)
                break;
        }
        if (wrapper == nullptr) {
            document.SetError(kSgmlErrorMissing);
            return walk.DocumentError();
        }
        if (furtherAccounts != nullptr)
            ListFurtherStatements(document, *wrapper, *furtherAccounts);
        if (!walk.CheckStatus(*wrapper))
            return false;

        CSgmlElement* statement = wrapper->FindFirstChild("STMTRS");
        if (statement == nullptr)
            statement = wrapper->FindFirstChild("CCSTMTRS");
        CSgmlElement* from = nullptr;
        if (statement != nullptr) {
            from = statement->FindFirstChild("BANKACCTFROM");
            if (from == nullptr)
                from = statement->FindFirstChild("CCACCTFROM");
        }
        if (from == nullptr) {
            document.SetError(kSgmlErrorMissing);
            return walk.DocumentError();
        }
        const std::string* accountId = from->GetText({"ACCTID"});
        if (accountId == nullptr)
            return walk.DocumentError();
        // The whole statement is checked before the handler hears of it, so
        // a fault adds nothing to the account.
        CSgmlElement* list = statement->FindFirstChild("BANKTRANLIST");
        std::vector<StatementItem> items;
        const std::string* end = nullptr;
        if (list != nullptr) {
            if (!ReadStatementItems(*list, items, walk))
                return false;
            end = list->GetText({"DTEND"});
            if (end == nullptr)
                return walk.Fault(kOfxErrorMissing, "BANKTRANLIST", "DTEND");
        }
        // An empty BALAMT is no balance.
        const std::string* balance = nullptr;
        if (CSgmlElement* ledger = statement->FindFirstChild("LEDGERBAL")) {
            if (CSgmlElement* amount = ledger->FindFirstChild("BALAMT"))
                balance = amount->Text();
        }
        if (balance != nullptr && balance->empty())
            balance = nullptr;
        if (balance != nullptr && !ParseBankAmount(*balance))
            return walk.Fault(kOfxErrorMalformed, "LEDGERBAL", "BALAMT", *balance);

        if (!walk.Answer(handler.OnStatementAccount(*accountId)))
            return false;
        if (list != nullptr) {
            std::string name;
            for (const StatementItem& item : items) {
                if (item.name) {
                    name.assign(*item.name);
                } else {
                    name.assign(item.type);
                    if (item.type == "CHECK") {
                        name += ' ';
                        name += *item.checkNumber;
                    }
                    name.resize(std::min(name.size(), kNameMax));
                }
                if (!walk.Answer(handler.OnStatementTransaction(item.date, item.amount, item.type,
                                                                item.checkNumber, name, item.memo,
                                                                item.fitId)))
                    return false;
            }
            if (!walk.Answer(handler.OnStatementEnd(*end)))
                return false;
        }
        if (balance == nullptr)
            return true;
        return walk.Answer(handler.OnLedgerBalance(*balance));
    });
}

}  // namespace tallowmere::exchange
