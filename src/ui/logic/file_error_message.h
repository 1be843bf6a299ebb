#pragma once
// The message box of a failed save, by its Windows-style result code (the
// one code space of the model's saves): 2 "not found"; 5, 19, 32 and 33
// "access denied"; 112 and 39 "insufficient disk space"; any other code,
// the model's 8 (out of memory) and -1 (lock time-out) included, the
// general text with the code.
#include "ui/logic/messages.h"

namespace tallowmere::ui {

MessageRequest FileErrorMessage(int code);
void ShowFileErrorMessage(Messages& messages, int code);

}  // namespace tallowmere::ui
