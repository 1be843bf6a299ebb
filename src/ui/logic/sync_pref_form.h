#pragma once
// The sync preference dialog's state: the radio of the current sync mode
// (1171-1173), the radio of the stored default (1209-1211) and the desktop's
// address. The default group runs 0, 2, 1 from top to bottom, so each group
// has its own map from radio to mode.
#include <string>

namespace tallowmere::ui {

inline constexpr int kNoRadio = 0;

struct SyncPrefForm {
    int modeRadio = kNoRadio;
    int defaultRadio = kNoRadio;
    std::string address;  // dotted IPv4, empty when there is none
};

// The radios of a mode; kNoRadio for a mode outside 0-2.
int ModeRadioOf(int mode);
int DefaultRadioOf(int mode);
// The mode of a radio; -1 for any other id.
int ModeOfModeRadio(int radio);
int ModeOfDefaultRadio(int radio);

// Opening: the stored default becomes the current mode (a mode chosen for
// one sync and not used is forgotten), and both groups show it.
SyncPrefForm OpenSyncPref(std::string address);

// OK: the checked mode radio sets the current mode and the checked default
// radio is stored; a group with nothing checked changes nothing.
void AcceptSyncPref(const SyncPrefForm& form);

}  // namespace tallowmere::ui
