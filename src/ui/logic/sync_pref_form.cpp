#include "ui/logic/sync_pref_form.h"

#include <utility>

#include "sync/sync_mode.h"

namespace tallowmere::ui {
namespace {

namespace hh = handheld;

// Index: mode.
constexpr int kModeRadios[] = {1171, 1172, 1173};
constexpr int kDefaultRadios[] = {1209, 1211, 1210};

int RadioOf(const int (&radios)[3], int mode) {
    return mode >= 0 && mode < 3 ? radios[mode] : kNoRadio;
}

int ModeOf(const int (&radios)[3], int radio) {
    for (int mode = 0; mode < 3; ++mode) {
        if (radios[mode] == radio)
            return mode;
    }
    return -1;
}

}  // namespace

int ModeRadioOf(int mode) {
    return RadioOf(kModeRadios, mode);
}

int DefaultRadioOf(int mode) {
    return RadioOf(kDefaultRadios, mode);
}

int ModeOfModeRadio(int radio) {
    return ModeOf(kModeRadios, radio);
}

int ModeOfDefaultRadio(int radio) {
    return ModeOf(kDefaultRadios, radio);
}

SyncPrefForm OpenSyncPref(std::string address) {
    hh::LoadDefaultSyncMode();
    const int mode = hh::GetCurrentSyncMode();
    return {ModeRadioOf(mode), DefaultRadioOf(mode), std::move(address)};
}

void AcceptSyncPref(const SyncPrefForm& form) {
    if (const int mode = ModeOfModeRadio(form.modeRadio); mode >= 0)
        hh::SetCurrentSyncMode(mode);
    if (const int mode = ModeOfDefaultRadio(form.defaultRadio); mode >= 0)
        hh::SaveDefaultSyncMode(mode);
}

}  // namespace tallowmere::ui
