#include "ui/logic/list_editor.h"

#include "platform/text_1252.h"

namespace tallowmere::ui {

bool AskYesNo(Messages& messages, int stringId) {
    return messages.Show(StringMessage(stringId, {}, Buttons::kYesNo, Icon::kQuestion,
                                       Answer::kNo)) == Answer::kYes;
}

std::string TrimmedName(const std::string& utf8) {
    return std::string(platform::TrimAsciiSpace(utf8));
}

}  // namespace tallowmere::ui
