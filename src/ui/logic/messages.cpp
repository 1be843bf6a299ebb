#include "ui/logic/messages.h"

#include <utility>

namespace tallowmere::ui {

MessageRequest StringMessage(int stringId, std::vector<FormatArg> args, Buttons buttons, Icon icon,
                             Answer defaultAnswer) {
    MessageRequest request;
    request.stringId = stringId;
    request.text = FormatText(LoadString(stringId), args);
    request.args = std::move(args);
    request.buttons = buttons;
    request.icon = icon;
    request.defaultAnswer = defaultAnswer;
    return request;
}

}  // namespace tallowmere::ui
