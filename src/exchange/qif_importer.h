#pragma once
// Reads QIF files into the data set: "!Account" blocks choose the account
// that the following transactions go to, "!Type:Bank" and its kin hold the
// transactions (with split lines and transfers), "!Type:Cat" and
// "!Type:Class" the categories and classes to make. A file without headers
// is one list of transactions for the target account.
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "exchange/importer_exporter.h"
#include "exchange/qif_reader.h"

namespace tallowmere::exchange {

class CQIFImporter : public CImporter {
  public:
    CQIFImporter() = default;
    // Neither is owned; target (may be null when the file names its
    // accounts) must be an account of accounts.
    CQIFImporter(CAccounts* accounts, CAccount* target) {
        SetAccounts(accounts);
        SetTargetAccount(target);
    }
    ~CQIFImporter() override;

    // 0, a Windows error (the file, or a save at the end), or 1. A format
    // error or a cancelled account choice keeps what was read before it. A
    // transfer that the file lists in both of its accounts is booked once:
    // the second copy finds the mirror that the first one made (same day,
    // amount and direction; each mirror once, oldest first) and gives it
    // its status, check number and memo.
    int Import(const std::string& path) override;
    // The same over a text already in memory (Windows-1252); name is used
    // in messages and for the account name.
    int ImportText(std::string_view text, const std::string& name);
    // The account of that name, or the one the chooser gives: 0; -1 when
    // there is none. A balance read from the file becomes the opening
    // balance only of an account that holds no transactions yet: other
    // programs write the statement balance there, which is no opening
    // balance of an account already in use.
    int ChooseTargetAccount(std::string_view accountName, Cents openingBalance) override;
    // True when a line of the file is "!Account" (any case).
    bool NamesOwnAccounts(const std::string& path) override;

  private:
    int ReadAccountBlock(const QifAccountText& block, const std::string& name);
    // 0, -1 for a date that cannot be read (reported), or the error of a
    // category text or of the add.
    int AddRecord(const QifRecordText& text);
    // ParseCategoryText with the ids of texts met before in this import:
    // most records repeat a few categories, and each look-up walks the list.
    int ReadCategory(std::string_view text, RecordId& category, RecordId& classId);
    // Saves the target account, if any; 0 or the reported error.
    int SaveTarget();

    std::unordered_map<std::string, std::pair<RecordId, RecordId>> categoryCache_;
    // The transfer mirrors this import made: a file of several accounts
    // lists each transfer in both.
    ImportMirrors mirrors_;
};

}  // namespace tallowmere::exchange
