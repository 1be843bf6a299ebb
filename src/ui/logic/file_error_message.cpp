#include "ui/logic/file_error_message.h"

#include <cstdint>

namespace tallowmere::ui {

MessageRequest FileErrorMessage(int code) {
    switch (code) {
        case 2:
            return StringMessage(182);
        case 5:
        case 11:
        case 12:
            return StringMessage(183);
        case 8:
        case 13:
            return StringMessage(184);
        default:
            return StringMessage(185, {std::int64_t{code}});
    }
}

void ShowFileErrorMessage(Messages& messages, int code) {
    messages.Show(FileErrorMessage(code));
}

}  // namespace tallowmere::ui
