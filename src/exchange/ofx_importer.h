#pragma once
// OFX and QFX statement files: the statement goes into the target account
// the same way as an online download, through a temporary institution.
#include <string>
#include <string_view>

#include "exchange/importer_exporter.h"

namespace tallowmere::exchange {

// Whether the file is one for COFXImporter: extension "ofx" or "qfx", in any
// case.
bool IsOfxFilePath(std::string_view path);

class COFXImporter : public CImporter {
  public:
    // The file's statement into the target account. 0; the Windows error
    // (shown) when the file cannot be read; 0 also after a statement that
    // cannot be read, which the online-banking message has shown (nothing
    // of it was added). kInvalidHandle without a target account.
    // GetImportedCount: the transactions added, not those already there.
    int Import(const std::string& path) override;
};

}  // namespace tallowmere::exchange
