#pragma once
// The message box of a failed save, by its cause code: 2 "not found"; 5, 11
// and 12 "access denied"; 8 and 13 "insufficient disk space"; any other code
// the general text with the code.
#include "ui/logic/messages.h"

namespace tallowmere::ui {

MessageRequest FileErrorMessage(int code);
void ShowFileErrorMessage(Messages& messages, int code);

}  // namespace tallowmere::ui
