#include "exchange/ofx_response.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <optional>
#include <string>

#include "exchange/ofx_tags.h"
#include "platform/text_1252.h"

namespace tallowmere::exchange {
namespace {

constexpr std::size_t kHeaderLineKept = 16;
constexpr std::size_t kTypeMax = 11;
constexpr std::size_t kNameMax = 32;

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

bool COfxClient::ParseStatement(Stream& stream, MGetStatementEventHandler& handler) {
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

        static constexpr std::string_view kWrappers[][2] = {
            {"BANKMSGSRSV1", "STMTTRNRS"},
            {"BANKMSGSRSV2", "STMTTRNRS"},
            {"CREDITCARDMSGSRSV1", "CCSTMTTRNRS"},
            {"CREDITCARDMSGSRSV2", "CCSTMTTRNRS"},
        };
        CSgmlElement* wrapper = nullptr;
        for (const auto& path : kWrappers) {
            CSgmlElement* set = document.FindFirstChild(path[0]);
            wrapper = set != nullptr ? set->FindFirstChild(path[1]) : nullptr;
            if (wrapper != nullptr)
                break;
        }
        if (wrapper == nullptr) {
            document.SetError(kSgmlErrorMissing);
            return walk.DocumentError();
        }
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
        if (!walk.Answer(handler.OnStatementAccount(*accountId)))
            return false;

        if (CSgmlElement* list = statement->FindFirstChild("BANKTRANLIST")) {
            std::string name;
            for (CSgmlElement* item = list->FindFirstChild("STMTTRN"); item != nullptr;
                 item = item->FindNextSibling("STMTTRN")) {
                // An empty DTUSER dates nothing; DTPOSTED stands in.
                const std::string* date = nullptr;
                if (CSgmlElement* user = item->FindFirstChild("DTUSER"))
                    date = user->Text();
                if (date == nullptr || date->empty())
                    date = item->GetText({"DTPOSTED"});
                const std::string* amount = date != nullptr ? item->GetText({"TRNAMT"}) : nullptr;
                const std::string* typeText =
                    amount != nullptr ? item->GetText({"TRNTYPE"}) : nullptr;
                if (typeText == nullptr)
                    return walk.DocumentError();
                std::string_view type = Cut(*typeText, kTypeMax);

                // An empty CHECKNUM numbers nothing.
                std::optional<std::string_view> checkNumber;
                if (CSgmlElement* number = item->FindFirstChild("CHECKNUM")) {
                    if (number->Text() != nullptr && !number->Text()->empty())
                        checkNumber = *number->Text();
                }
                if (type == "CHECK" && !checkNumber)
                    type = "DEBIT";

                const std::string* nameText = nullptr;
                if (CSgmlElement* element = item->FindFirstChild("NAME"))
                    nameText = element->Text();
                if (nameText == nullptr) {
                    if (CSgmlElement* payee = item->FindFirstChild("PAYEE")) {
                        if (CSgmlElement* element = payee->FindFirstChild("NAME"))
                            nameText = element->Text();
                    }
                }
                if (nameText != nullptr) {
                    name.assign(Cut(*nameText, kNameMax));
                } else {
                    name.assign(type);
                    if (type == "CHECK") {
                        name += ' ';
                        name += *checkNumber;
                    }
                    name.resize(std::min(name.size(), kNameMax));
                }

                std::optional<std::string_view> memo;
                if (CSgmlElement* element = item->FindFirstChild("MEMO")) {
                    if (element->Text() != nullptr)
                        memo = *element->Text();
                }
                const std::string* fitId = item->GetText({"FITID"});
                if (fitId == nullptr)
                    return walk.DocumentError();
                if (!walk.Answer(handler.OnStatementTransaction(*date, *amount, type, checkNumber,
                                                                name, memo, *fitId)))
                    return false;
            }
            const std::string* end = list->GetText({"DTEND"});
            if (end == nullptr)
                return walk.DocumentError();
            if (!walk.Answer(handler.OnStatementEnd(*end)))
                return false;
        }

        CSgmlElement* ledger = statement->FindFirstChild("LEDGERBAL");
        CSgmlElement* balance = ledger != nullptr ? ledger->FindFirstChild("BALAMT") : nullptr;
        if (balance == nullptr || balance->Text() == nullptr)
            return true;
        return walk.Answer(handler.OnLedgerBalance(*balance->Text()));
    });
}

}  // namespace tallowmere::exchange
