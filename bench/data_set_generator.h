#pragma once
// A realistic data folder for benchmarks, written through the model's own
// classes and their saves: accounts with years of dated register entries
// (transfers with their mirrors, splits), payees, categories and scheduled
// items on top of the default lists. The same options and seed always write the
// same folder, record ids included.
#include <cstdint>
#include <string>

#include "model/money.h"

namespace tallowmere::bench {

struct DataSetOptions {
    // The five default accounts (Checking, Savings, Mastercard, American
    // Express, Visa) come first, then Cash, Brokerage, Car Loan, Money Market,
    // Home Equity Line and numbered extras.
    int accounts = 8;
    // Percent of the plain and split entries that go to the first account,
    // the others sharing the rest by their usual weights; 0 keeps the usual
    // weights for all (the first account then gets about 40 %). A larger
    // share makes one long register from a data set of moderate size.
    int firstAccountPercent = 0;
    // Every register record of every account, transfer mirrors included, so
    // a load reads exactly this many.
    int transactions = 100000;
    // Percent of the records that are transfers from one account to another;
    // each also writes its mirror in the other account (counted above).
    int transferPercent = 10;
    // Percent of the records split over two to four lines.
    int splitPercent = 10;
    // Percent of the splits with one line moving money to another account
    // (that line's mirror counted above).
    int splitTransferPercent = 10;
    // Added to the default lists (which hold no payees).
    int payees = 500;
    int categories = 100;
    int scheduled = 50;
    // The dates spread over this many years, ending on the last day; the
    // scheduled items fall due after it.
    int years = 8;
    int lastYear = 2026;
    int lastMonth = 6;
    int lastDay = 30;
    std::uint32_t seed = 8;
};

struct DataSetSummary {
    int accounts = 0;
    int transactions = 0;
    // Whole-transaction transfers (each has one mirror).
    int transfers = 0;
    int splits = 0;
    // Split lines that name an account (each has one mirror).
    int splitTransfers = 0;
    int payees = 0;
    int categories = 0;
    int scheduled = 0;
    // GetNetWorth(0) of the data set as written.
    Cents netWorth = 0;
    // The size of the folder's files.
    std::uint64_t bytes = 0;
};

// Writes the data set into folder, which must not hold account files yet
// (it is created when missing). 0, −1 for options that cannot be met (no
// account, a negative count, shares above 100 %, dates outside the range), or
// the first load or save error.
// The account files are written under the database lock, like every
// save. A quarter of the scheduled items enter automatically: a load that
// enters due items (the desktop's) posts them once the clock passes their
// due dates, after the last day.
int GenerateDataSet(const std::string& folder, const DataSetOptions& options,
                    DataSetSummary* summary = nullptr);

}  // namespace tallowmere::bench
