#pragma once
// Reading a bank's statement into an account register. The register's own
// download operations are CAccount members (account.h); these are the texts
// they read and the close of a download session.
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/account.h"
#include "model/money.h"

namespace tallowmere {

// What a statement transaction or balance that cannot be read answers to the
// OFX client: its "cannot be read" code, which stops the download.
inline constexpr int kDownloadUnreadable = 4;

// Non-empty, digits only, and not zero (however many digits).
bool IsPositiveNumber(std::string_view text);

// A check number text: digits only, within 32 bits; empty otherwise.
std::optional<std::uint32_t> ParseCheckNumber(std::string_view text);

// An amount as a bank sends it: blanks around it, one optional sign, digits
// with at most one "." or "," as the decimal mark (OFX allows either and no
// grouping) and at most two places after it, further places only zeros.
// Empty for any other text and for magnitudes beyond the range of Cents.
std::optional<Cents> ParseBankAmount(std::string_view text);

// Closes a statement's download: the payee look-up items that its
// transactions added unsaved are put in name order and the look-up list is
// written once. The list's save result; 0 when the data set has no list.
int EndDownloadSession(CAccount& account);

}  // namespace tallowmere
