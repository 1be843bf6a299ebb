#pragma once
// Reads the program's own CSV layout (csv_exporter.h) into the target
// account. The file names no accounts: the caller picks the target.
#include <string>
#include <string_view>
#include <vector>

#include "exchange/importer_exporter.h"

namespace tallowmere::exchange {

class CCSVImporter : public CImporter {
  public:
    CCSVImporter() = default;
    // Neither is owned; target must be an account of accounts.
    CCSVImporter(CAccounts* accounts, CAccount* target) {
        SetAccounts(accounts);
        SetTargetAccount(target);
    }
    ~CCSVImporter() override;

    // 0 (also after a malformed row, which is reported with its line and
    // ends the import, keeping the rows before it), the Windows error of an
    // unreadable file or of a failed save of another account, or 1.
    int Import(const std::string& path) override;
    // The same over a text already in memory (Windows-1252); name is used
    // in messages and for the account name.
    int ImportText(std::string_view text, const std::string& name);

  private:
    // Reads the transaction whose row begins the line the reader gave last,
    // with its split rows, and adds it. 0 or the result that ends the import.
    int ReadTransaction(LineReader& lines);
    // Column 2: the type and check number.
    void ReadKind(std::string_view text, ImportRecord& record, bool& malformed) const;

    std::vector<std::string> fields_;
};

}  // namespace tallowmere::exchange
