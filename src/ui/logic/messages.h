#pragma once
// Message boxes as the dialog and view logic sees them: a string-table text
// with its arguments, the buttons, the icon and the default button. The
// widget layer shows them through UiServices; tests script the answers and
// read back what was asked.
#include <string>
#include <vector>

#include "model/string_table.h"

namespace tallowmere::ui {

// The answers keep the numbers callers compare with.
enum class Answer { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

enum class Buttons { kOk, kOkCancel, kYesNo, kYesNoCancel };

enum class Icon { kNone, kInformation, kWarning, kError, kQuestion };

struct MessageRequest {
    int stringId = 0;  // 0 when the text is not from the string table
    std::vector<FormatArg> args;
    std::string text;  // UTF-8, as shown
    Buttons buttons = Buttons::kOk;
    Icon icon = Icon::kWarning;
    Answer defaultAnswer = Answer::kOk;
};

// Builds the request of a string-table text. String arguments are UTF-8.
MessageRequest StringMessage(int stringId, std::vector<FormatArg> args = {},
                             Buttons buttons = Buttons::kOk, Icon icon = Icon::kWarning,
                             Answer defaultAnswer = Answer::kOk);

class Messages {
  public:
    virtual ~Messages() = default;
    // Shows the box modally and returns the button pressed; closing the box
    // answers Cancel where there is one, else No, else OK.
    virtual Answer Show(const MessageRequest& request) = 0;
};

}  // namespace tallowmere::ui
