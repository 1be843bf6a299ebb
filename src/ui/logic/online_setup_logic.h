#pragma once
// "Online Setup" (dialog 153): whether the account is reached online, the
// bank (from the institution directory), the customer id, the stored
// password, the bank account and the client UID. What each row shows,
// OK's checks, and the two exchanges the dialog starts: Select Bank
// (the directory's list) and Select Account (the bank's profile and its
// list of the customer's accounts). Texts are Windows-1252, as the
// account header keeps them; captions are UTF-8.
#include <cstdint>
#include <memory>
#include <string>

#include "exchange/online_progress.h"
#include "ui/logic/messages.h"
#include "ui/logic/ok_result.h"
#include "ui/logic/online_account_logic.h"
#include "ui/logic/online_progress_logic.h"

namespace tallowmere {
class CAccounts;
class CFiAccountsList;
class CFiItem;
class CFiList;
}  // namespace tallowmere

namespace tallowmere::ui {

inline constexpr int kSetupEnable = 1089;
inline constexpr int kSetupSelectBank = 1090;
inline constexpr int kSetupCustomerId = 1093;
inline constexpr int kSetupPassword = 1042;
inline constexpr int kSetupSelectAccount = 1009;
inline constexpr int kSetupClientUid = 1219;
inline constexpr int kSetupNote = 1221;

// The header's customer id holds 32 characters; the client UID list has
// no width of its own.
inline constexpr int kCustomerIdMaxChars = 32;
inline constexpr int kClientUidMaxChars = 50;
// The bank's name on its button is cut to this many characters.
inline constexpr int kBankCaptionChars = 18;

// What the account dialog hands in and reads back after OK.
struct OnlineSetupForm {
    bool enabled = false;
    std::string customerId;
    std::int32_t fiId = 0;  // 0: no bank
    std::string bankName;
    BankAccountIds account;
    std::string password;  // empty: asked at each connection
    std::string clientUid;
    bool operator==(const OnlineSetupForm&) const = default;
};

// What the rows show. Rows hidden are also disabled.
struct OnlineSetupView {
    bool bankEnabled = false;   // "Bank:" and "Select Bank..."
    bool detailsShown = false;  // customer id, password and client UID rows
    bool detailsEnabled = false;
    bool noteShown = false;
    bool accountShown = false;  // "Account:" and "Select Account..."
    bool accountEnabled = false;
    std::string bankCaption;      // UTF-8
    std::string passwordCaption;  // UTF-8
    std::string accountCaption;   // UTF-8
};

// The bank row's caption: the name's first 18 characters (whole
// characters, not bytes) and "..."; "Select Bank..." without a bank.
std::string BankButtonCaption(const std::string& bankName1252, bool hasBank);

OnlineSetupView ComputeOnlineSetupView(const OnlineSetupForm& values, bool hasBank);

// The chosen bank in the list, or nullptr; a bank the list no longer has
// is forgotten (its id cleared).
CFiItem* ResolveSetupBank(CFiList& list, OnlineSetupForm& values);

// OK: with online access on, a bank (169), a customer id (168) and an
// account (170) are needed.
OkResult AcceptOnlineSetup(const OnlineSetupForm& values, bool hasBank, Messages& messages);

// The progress window of one exchange as the setup dialog drives it.
class MOnlineProgressWindow : public COnlineProgressDlg {
  public:
    virtual void SetStatus(int stringId) = 0;
};

// The windows the setup's exchanges open; the dialog implements them.
class MOnlineSetupHost {
  public:
    virtual ~MOnlineSetupHost() = default;
    // Shown at once; closed (its owner usable again) when released.
    virtual std::unique_ptr<MOnlineProgressWindow> OpenProgress(int statusId) = 0;
    // The password for one request; false when cancelled.
    virtual bool AskPassword(std::string& password) = 0;
    // The bank picked from the list (current may be null); false when
    // cancelled or nothing was picked.
    virtual bool ChooseBank(CFiList& list, CFiItem* current, CFiItem*& chosen) = 0;
    // The bank's account picked from its list (current row or -1).
    virtual bool ChooseBankAccount(const CFiAccountsList& accounts, int current,
                                   BankAccountIds& chosen) = 0;
    // The account typed in by hand, starting from ids.
    virtual bool EnterBankAccount(BankAccountIds& ids) = 0;
};

// Select Bank: the directory's list into list (progress 158), a failure
// shown; then the choice. True when a bank was chosen (values then name it).
bool RunSelectBank(CFiList& list, OnlineSetupForm& values, MOnlineSetupHost& host);

// How Select Account ended.
enum class SelectAccountEnd {
    kNoPassword,     // the password prompt was cancelled
    kProfileFailed,  // the bank's profile could not be fetched (said already)
    kChosen,         // an account of the bank's list was chosen
    kEntered,        // an account was typed in
    kCancelled,      // the choice or the entry was cancelled
};

// Select Account: the password (asked unless stored), the bank's profile
// (progress 158), the account list (159) with the client UID the bank
// needs; then the choice among the accounts, or, when the bank reported
// none or the request failed (a failure other than Cancel is shown), the
// entry by hand. The progress window is closed on every path.
SelectAccountEnd RunSelectAccount(CFiItem& bank, OnlineSetupForm& values, MOnlineSetupHost& host);

}  // namespace tallowmere::ui
