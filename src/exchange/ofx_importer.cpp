#include "exchange/ofx_importer.h"

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "exchange/fi_list.h"
#include "exchange/stream_memory.h"
#include "model/error_sink.h"
#include "model/paths.h"
#include "platform/atomic_file.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere::exchange {

bool IsOfxFilePath(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return false;
    const std::string_view extension = path.substr(dot + 1);
    return platform::CompareNoCase1252(extension, "ofx") == 0 ||
           platform::CompareNoCase1252(extension, "qfx") == 0;
}

int COFXImporter::Import(const std::string& path) {
    BeginImport(path);
    CAccount* target = GetTargetAccount();
    if (target == nullptr)
        return kInvalidHandle;
    std::vector<std::uint8_t> data;
    int r = 0;
    try {
        // The bytes as they are: the OFX header says how the texts are
        // encoded.
        r = platform::ReadWholeFile(path, data);
    } catch (const std::bad_alloc&) {
        r = platform::kErrorNotEnoughMemory;
    }
    if (r != 0)
        return ReportUnreadable(path, r);
    ReadOnlyMemoryStream stream(data.data(), data.size());
    CFiItem institution;
    institution.SetStatementProgress(GetProgress());
    std::vector<CTransaction*> added;
    std::vector<std::string> further;
    if (institution.ImportStatement(stream, *target, &added, &further) != 0)
        return 0;
    SetImportedCount(added.size());
    if (!further.empty()) {
        std::string accounts;
        for (const std::string& id : further) {
            if (!accounts.empty())
                accounts += ", ";
            accounts += id;
        }
        ReportError(kStringImportMoreStatements,
                    {ImportFileName(), static_cast<std::int64_t>(further.size()), accounts});
    }
    return 0;
}

}  // namespace tallowmere::exchange
