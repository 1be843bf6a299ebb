#pragma once
// The program's own CSV layout: no header line, eight quoted columns (date,
// check number or type, payee, category, memo, status, split amount,
// amount), CR LF line ends; a split transaction is followed by one row per
// split line and one for the part no line covers.
#include "exchange/importer_exporter.h"

namespace tallowmere::exchange {

inline constexpr std::string_view kCsvVoidPrefix = "**Void**";
inline constexpr std::string_view kCsvSplitText = "--SPLIT--";
inline constexpr std::string_view kCsvCleared = "Cleared";
inline constexpr std::string_view kCsvReconciled = "Reconciled";

class CCSVExporter : public CExporter {
  public:
    CCSVExporter() = default;
    // accounts is not owned.
    explicit CCSVExporter(CAccounts* accounts) { SetAccounts(accounts); }

    // The transaction's row and, for a split transaction that is not void,
    // its split rows. 0 or the Windows error of the write.
    int WriteTransaction(const CTransaction& t) override;

    // The rows of one transaction as WriteTransaction writes them.
    std::string FormatRows(const CTransaction& t) const;
};

}  // namespace tallowmere::exchange
