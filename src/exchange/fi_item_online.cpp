// CFiItem's part in online banking: the directory's details, the bank's
// profile, the account list, statement downloads and OFX file imports.
#include <string>
#include <vector>

#include "exchange/fi_accounts_list.h"
#include "exchange/fi_list.h"
#include "exchange/online_banking_error.h"
#include "exchange/server_url.h"
#include "model/account.h"
#include "model/account_download.h"
#include "model/client_uid_list.h"
#include "model/error_sink.h"

namespace tallowmere {
namespace {

// The header keeps at most this much of the statement's end date.
constexpr std::size_t kStatementEndMax = 64;

// A day old, or stamped in the future (the clock was set back).
bool IsDue(PalmTime last, PalmTime now) {
    return now < last || now - last > CFiItem::kRefreshAge;
}

bool IsFresh(PalmTime last, PalmTime now) {
    return last != 0 && now >= last && now - last < CFiItem::kRefreshAge;
}

std::string TextOrEmpty(const std::string* text) {
    return text != nullptr ? *text : std::string();
}

}  // namespace

bool CFiItem::Progress(int) {
    return OnlineProgressStep(progress_);
}

std::int32_t CFiItem::OnInstitutionDetails(std::int32_t id, std::uint32_t stamp,
                                           const std::string* url, const std::string* org,
                                           const std::string* fid, const std::string* appId,
                                           const std::string* appVersion) {
    if (id != fiId_)
        return exchange::kOfxErrorMalformed;
    if (detailsStamp_ >= stamp)
        return 0;
    if (url == nullptr)
        return exchange::kOfxErrorMissing;
    // The customer's password goes to this address.
    if (!exchange::IsAcceptedServerUrl(*url)) {
        ReportError(exchange::kStrOnlineInsecureUrl, {*url});
        return exchange::kOfxErrorMalformed;
    }
    SetDetails(*url, TextOrEmpty(org), TextOrEmpty(fid), TextOrEmpty(appId),
               TextOrEmpty(appVersion));
    detailsStamp_ = stamp;
    return 0;
}

std::int32_t CFiItem::OnProfile(std::string_view profileText) {
    profileText_ = std::string(profileText);
    return 0;
}

std::int32_t CFiItem::OnClientUidRequired(int value) {
    clientUidRequired_ = value;
    return 0;
}

std::int32_t CFiItem::OnStatementAccount(std::string_view) {
    return 0;
}

std::int32_t CFiItem::OnStatementTransaction(std::string_view date, std::string_view amount,
                                             std::string_view type,
                                             std::optional<std::string_view> checkNumber,
                                             std::string_view name,
                                             std::optional<std::string_view> memo,
                                             std::string_view fitId) {
    if (targetAccount_ == nullptr)
        return exchange::kOfxErrorMissing;
    ++statementTransactions_;
    const std::int32_t r = targetAccount_->AddDownloadedTransaction(
        date, amount, type, checkNumber.value_or(""), name, memo.value_or(""), fitId);
    statementProgress_.Count();
    return r;
}

std::int32_t CFiItem::OnStatementEnd(std::string_view dtEnd) {
    if (targetAccount_ == nullptr)
        return exchange::kOfxErrorMissing;
    AccountHeader& header = targetAccount_->Header();
    // Compared as it would be stored, so a long date does not count as a
    // change every time.
    const std::string_view stored = dtEnd.substr(0, kStatementEndMax);
    if (header.GetDownloadEndDate() == stored)
        return 0;
    header.ClearDownloadEndDate();
    header.SetDownloadEndDate(stored);
    // Also when the new end is empty, which the setter alone would not mark.
    header.SetChangeFlags(header.GetChangeFlags() | kChangeDownloadEndDate);
    return 0;
}

std::int32_t CFiItem::OnLedgerBalance(std::string_view balanceAmount) {
    if (targetAccount_ == nullptr)
        return exchange::kOfxErrorMissing;
    return targetAccount_->SetOnlineBalance(balanceAmount);
}

exchange::OfxServerLogin CFiItem::Login(std::string_view userId, std::string_view password) const {
    exchange::OfxServerLogin login;
    login.userId = userId;
    login.password = password;
    login.url = url_;
    login.org = org_;
    login.fid = fid_;
    login.appId = appId_;
    login.appVersion = appVer_;
    login.cachedProfile = profileText_;
    return login;
}

bool CFiItem::CheckServerUrl() const {
    if (exchange::IsAcceptedServerUrl(url_))
        return true;
    ReportError(exchange::kStrOnlineInsecureUrl, {url_});
    return false;
}

int CFiItem::UpdateProfile(bool force) {
    const PalmTime now = PalmTimeNow();
    if (force || IsDue(lastDetailsRefresh_, now)) {
        exchange::CFidbClient directory;
        if (!directory.UpdateFiItem(fiId_, *this))
            return -1;
        lastDetailsRefresh_ = now;
        if (!force && IsFresh(lastProfileFetch_, now))
            return 0;
    } else if (IsFresh(lastProfileFetch_, now)) {
        return 0;
    }
    if (!CheckServerUrl())
        return -1;
    exchange::COfxClient client;
    if (!client.GetProfile(Login(kAnonymousLogin, kAnonymousLogin), *this, force)) {
        exchange::ShowOnlineBankingError(client.GetLastError(), client.GetLastErrorText());
        return -1;
    }
    lastProfileFetch_ = now;
    return 0;
}

bool CFiItem::GetAccountList(std::string_view userId, std::string_view password,
                             CFiAccountsList& accounts, bool useClientUid,
                             std::string_view clientUid, std::int32_t* errorCode,
                             std::string* errorText) {
    if (errorCode != nullptr)
        *errorCode = 0;
    if (errorText != nullptr)
        errorText->clear();
    // The refusal was said already: error 0 shows nothing more.
    if (!CheckServerUrl())
        return false;
    exchange::COfxClient client;
    const bool ok =
        client.GetAccountInfo(Login(userId, password), accounts, useClientUid, clientUid);
    if (!ok && errorCode != nullptr)
        *errorCode = client.GetLastError();
    if (!ok && errorText != nullptr)
        *errorText = client.GetLastErrorText();
    return ok;
}

int CFiItem::DownloadStatement(COnlineProgressDlg* progress, CAccount& account,
                               std::string_view password, std::vector<CTransaction*>* collection) {
    progress_ = progress;
    targetAccount_ = &account;
    const AccountHeader& header = account.Header();
    const std::uint8_t type = header.GetType();
    const bool card = type == kCreditCard;
    const std::string_view accountType = OfxAccountTypeName(type);
    // A routed account needs its OFX kind; the other types have no request.
    if (!card && accountType.empty()) {
        exchange::ShowOnlineBankingError(2003, {});
        return -1;
    }
    const int refreshed = UpdateProfile(true);
    if (refreshed != 0)
        return refreshed;
    if (!CheckServerUrl())
        return -1;
    const std::string userId = header.GetCustomerId();
    const std::string bankId = card ? std::string() : header.GetRoutingNumber();
    const std::string accountId = header.GetAccountNumber();
    const std::string start = header.GetDownloadEndDate();
    const std::string clientUid = ClientUid::Lookup(accountId);

    BeginStatement(account, collection);
    exchange::COfxClient client;
    const bool ok = client.GetStatement(Login(userId, password), bankId, accountId, accountType,
                                        start, *this, !clientUid.empty(), clientUid);
    EndStatement(account, ok);
    if (!ok) {
        exchange::ShowOnlineBankingError(client.GetLastError(), client.GetLastErrorText());
        return -1;
    }
    return 0;
}

void CFiItem::BeginStatement(CAccount& account, std::vector<CTransaction*>* collection) {
    statementTransactions_ = 0;
    statementProgress_.Reset();
    account.BeginDownloadSession(collection);
}

void CFiItem::EndStatement(CAccount& account, bool ok) {
    // A statement refused before any of its transactions reached the
    // account has nothing to file: the look-up list is not written.
    if (ok || statementTransactions_ > 0)
        EndDownloadSession(account);
    else
        account.ForgetDownloadSession();
}

int CFiItem::ImportStatement(exchange::Stream& stream, CAccount& account,
                             std::vector<CTransaction*>* collection,
                             std::vector<std::string>* furtherAccounts) {
    targetAccount_ = &account;
    progress_ = nullptr;
    BeginStatement(account, collection);
    exchange::COfxClient client;
    const bool ok = client.ParseStatement(stream, *this, furtherAccounts);
    EndStatement(account, ok);
    if (!ok) {
        exchange::ShowOnlineBankingError(client.GetLastError(), client.GetLastErrorText());
        return -1;
    }
    return 0;
}

}  // namespace tallowmere
