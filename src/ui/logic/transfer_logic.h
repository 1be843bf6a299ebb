#pragma once
// "Transfer Funds" (dialog 140): the day, the account the money leaves, the
// amount, the account it goes to and whether it has cleared. Both combos
// list every account by name in the data set's order; the form holds the
// accounts by id, so a list that no longer names an account refuses OK
// rather than booking against another one.
#include <string>
#include <vector>

#include "model/money.h"
#include "model/palm_time.h"
#include "model/record_id.h"
#include "ui/logic/messages.h"
#include "ui/logic/ok_result.h"

namespace tallowmere {
class CAccount;
class CAccounts;
class CTransaction;
}  // namespace tallowmere

namespace tallowmere::ui {

inline constexpr int kTransferDate = 1001;
inline constexpr int kTransferFrom = 1056;
inline constexpr int kTransferAmount = 1006;
inline constexpr int kTransferTo = 1057;
inline constexpr int kTransferCleared = 1135;

struct TransferForm {
    std::vector<std::string> accountNames;  // UTF-8, the entries of both combos
    std::vector<RecordId> accountIds;       // the same accounts
    PalmTime day = 0;                       // the chosen day at 00:00:00
    int fromIndex = -1;                     // -1: nothing chosen
    int toIndex = -1;
    std::string amountText;  // as typed
    bool cleared = false;
};

// What the caller books after OK.
struct TransferValues {
    PalmTime date = 0;  // the day, no time of day added
    CAccount* from = nullptr;
    CAccount* to = nullptr;
    Cents amount = 0;
    bool cleared = false;
};

// Today; From on the current account, To on the first other one (the first
// account when there is no other).
TransferForm OpenTransfer(const CAccounts& data, const CAccount* current);

// OK: both accounts chosen and still in the data set (else 3410), not the
// same account (145), an amount within the dialogs' range (146). An empty
// amount is 0; zero and negative amounts pass as typed. Fills *values when
// it closes.
OkResult AcceptTransfer(CAccounts& data, const TransferForm& form, Messages& messages,
                        TransferValues& values);

// The caller's step after OK: the data set books both sides and saves both
// accounts; a failure is shown as the file error of its code. *created gets
// the side in current, if either. CreateTransfer's result.
int BookTransfer(CAccounts& data, const TransferValues& values, const CAccount* current,
                 Messages& messages, CTransaction** created = nullptr);

}  // namespace tallowmere::ui
