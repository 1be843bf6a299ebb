#pragma once
// Amounts as a ledger journal writes them, for the journals that ledger and
// hledger read beside our data.
#include <cstdio>
#include <string>

#include "model/money.h"

namespace tallowmere::bench {

inline std::string LedgerAmount(Cents cents) {
    char text[48];
    const bool negative = cents < 0;
    const long long m = negative ? -static_cast<long long>(cents) : static_cast<long long>(cents);
    std::snprintf(text, sizeof text, "%s$%lld.%02lld", negative ? "-" : "", m / 100, m % 100);
    return text;
}

}  // namespace tallowmere::bench
