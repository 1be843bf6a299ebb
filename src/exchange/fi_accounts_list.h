#pragma once
// The accounts a bank reports for one customer (the answer to an
// account-information request), held only while the user picks one.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/ofx_client.h"
#include "exchange/online_progress.h"

namespace tallowmere {

// The longest account number and routing id an account header holds.
inline constexpr std::size_t kFiAccountNumberMax = 20;
inline constexpr std::size_t kFiRoutingIdMax = 9;

class CFiAccountInfo {
  public:
    CFiAccountInfo(std::uint8_t type, std::string_view number, std::string_view routingId)
        : type_(type), number_(number), routingId_(routingId) {}

    // An account type (account_header.h): checking, savings, credit card,
    // money market or line of credit.
    std::uint8_t GetType() const { return type_; }
    const std::string& GetAccountNumber() const { return number_; }
    // The bank's routing id; empty for a card.
    const std::string& GetRoutingId() const { return routingId_; }

  private:
    std::uint8_t type_;
    std::string number_;
    std::string routingId_;
};

class CFiAccountsList : public exchange::COfxClient::MGetAccountInfoEventHandler {
  public:
    // With a progress window, each step shows there and Cancel stops the
    // request; without one the request never stops on its own.
    bool Progress(int) override { return OnlineProgressStep(progress_); }
    // Not owned; null = no progress display.
    void SetProgressWindow(COnlineProgressDlg* window) { progress_ = window; }
    COnlineProgressDlg* GetProgressWindow() const { return progress_; }
    // An ACCTTYPE other than the four OFX bank account kinds answers 4 and
    // adds nothing. Every account is kept as the bank reports it, also one
    // whose number or routing id is longer than a header holds: the user
    // sees it, and choosing it is refused (a cut number would name another
    // account).
    std::int32_t OnBankAccount(std::string_view bankId, std::string_view accountId,
                               std::string_view accountType) override;
    std::int32_t OnCreditCardAccount(std::string_view accountId) override;

    std::size_t GetCount() const { return items_.size(); }
    const CFiAccountInfo* GetAt(std::size_t index) const {
        return index < items_.size() ? items_[index].get() : nullptr;
    }
    // The first with exactly this number (bytes compared); nullptr when none.
    const CFiAccountInfo* FindByNumber(std::string_view number) const;
    // Its index; -1 when it is not in this list.
    int IndexOf(const CFiAccountInfo* info) const;
    void RemoveAll() { items_.clear(); }

  private:
    std::int32_t Append(std::uint8_t type, std::string_view number, std::string_view routingId);

    std::vector<std::unique_ptr<CFiAccountInfo>> items_;
    COnlineProgressDlg* progress_ = nullptr;
};

// The OFX ACCTTYPE keyword of an account type: "CHECKING", "SAVINGS",
// "MONEYMRKT", "CREDITLINE"; empty for the types that have none.
std::string_view OfxAccountTypeName(std::uint8_t type);

}  // namespace tallowmere
