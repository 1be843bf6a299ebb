#include "ui/logic/file_error_message.h"

#include <cstdint>

namespace tallowmere::ui {

MessageRequest FileErrorMessage(int code) {
    switch (code) {
        case 2:
            return StringMessage(182);
        // The saves give Windows codes (errno is mapped to them): access
        // denied, write-protected, sharing and lock violations.
        case 5:
        case 19:
        case 32:
        case 33:
            return StringMessage(183);
        // Disk full, handle end of file.
        case 112:
        case 39:
            return StringMessage(184);
        default:
            return StringMessage(185, {std::int64_t{code}});
    }
}

void ShowFileErrorMessage(Messages& messages, int code) {
    messages.Show(FileErrorMessage(code));
}

}  // namespace tallowmere::ui
