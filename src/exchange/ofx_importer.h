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

// "%s": the file; "%d": how many more statements; "%s": their ACCTIDs.
inline constexpr int kStringImportMoreStatements = 3104;

class COFXImporter : public CImporter {
  public:
    // The file's first statement into the target account; a file with more
    // says how many more and for which accounts. 0; the Windows error
    // (shown) when the file cannot be read; 0 also after a statement that
    // cannot be read, which the online-banking message has shown (nothing
    // of it was added). kInvalidHandle without a target account.
    // GetImportedCount: the transactions added, not those already there.
    int Import(const std::string& path) override;
};

}  // namespace tallowmere::exchange
