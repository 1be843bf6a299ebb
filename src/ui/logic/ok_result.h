#pragma once
// What OK answers in a small dialog's logic: close, or stay open with the
// focus on the control that needs another look (its text selected).
namespace tallowmere::ui {

struct OkResult {
    bool close = false;
    int focusId = 0;  // staying open: the control to focus; 0 for none

    static OkResult Close() { return {true, 0}; }
    static OkResult Stay(int focusId) { return {false, focusId}; }
};

}  // namespace tallowmere::ui
