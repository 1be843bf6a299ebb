#pragma once
// Writes one account's transactions as QIF: a type header by the account's
// kind, then one record per transaction of code-letter lines closed by "^",
// each line ending in CR LF, texts in Windows-1252 as the model holds them.
#include <cstdint>

#include "exchange/importer_exporter.h"

namespace tallowmere::exchange {

class CQIFExporter : public CExporter {
  public:
    CQIFExporter() = default;
    ~CQIFExporter() override;

    // "!Type:Cash", "!Type:CCard", "!Type:Oth A", "!Type:Oth L", or
    // "!Type:Bank" for the other kinds. 0 or the write's error.
    int WriteTypeHeader(std::uint8_t accountType);
    int WriteAccountHeader(const CAccount& account) override;
    int WriteTransaction(const CTransaction& t) override;

  private:
    int WriteLine(char code, std::string_view value);
};

}  // namespace tallowmere::exchange
