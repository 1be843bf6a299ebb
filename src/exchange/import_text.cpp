#include "exchange/import_text.h"

#include <cstdint>
#include <new>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere::exchange {

std::string DecodeImportText(std::string bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    std::string_view view = bytes;
    const bool bom = view.substr(0, kBom.size()) == kBom;
    if (bom)
        view.remove_prefix(kBom.size());
    if (!platform::IsValidUtf8(view))
        return bytes;
    bool ascii = true;
    for (const char c : view) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return bom ? std::string(view) : bytes;
    return platform::Utf8ToCp1252(view);
}

int ReadImportFile(const std::string& path, std::string& text) {
    text.clear();
    try {
        std::vector<std::uint8_t> data;
        const int r = platform::ReadWholeFile(path, data);
        if (r != 0)
            return r;
        text = DecodeImportText(std::string(data.begin(), data.end()));
    } catch (const std::bad_alloc&) {
        text.clear();
        return platform::kErrorNotEnoughMemory;
    }
    return 0;
}

}  // namespace tallowmere::exchange
