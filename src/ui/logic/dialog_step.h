#pragma once
// What a dialog does after OK: close with a code, or stay open with the
// focus on one control, its text selected or not.
namespace tallowmere::ui {

struct DialogStep {
    bool close = false;
    int code = 0;     // IDOK 1, IDCANCEL 2 when closing
    int focusId = 0;  // the control to focus when staying
    bool selectAll = false;

    static DialogStep Close(int code) { return {true, code, 0, false}; }
    static DialogStep Stay(int focusId, bool selectAll) { return {false, 0, focusId, selectAll}; }
    bool operator==(const DialogStep&) const = default;
};

}  // namespace tallowmere::ui
