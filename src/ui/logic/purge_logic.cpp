#include "ui/logic/purge_logic.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringPurgeQuestion = 148;

}  // namespace

PurgeForm OpenPurge() {
    PurgeForm form;
    form.day = TodayBound(1);
    return form;
}

OkResult AcceptPurge(const PurgeForm& form, Messages& messages, PurgeValues& values) {
    const Answer answer = messages.Show(
        StringMessage(kStringPurgeQuestion, {}, Buttons::kYesNo, Icon::kQuestion, Answer::kNo));
    if (answer != Answer::kYes)
        return OkResult::Stay(0);
    values.mode = form.mode;
    values.date = PalmTimeDayBound(form.day, 1);
    return OkResult::Close();
}

}  // namespace tallowmere::ui
