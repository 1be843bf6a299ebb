#pragma once
// What the list editor tests share: the default data set (small_dialog
// fixture), record dialogs that type into their form and press OK once
// (a refused OK then counts as Cancel, as a user giving up would), a view
// that counts its repaints, and a sink that records the core's reports.
#include <functional>
#include <vector>

#include "model/error_sink.h"
#include "platform/atomic_file.h"
#include "ui/logic/list_editor.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::test {

template <typename Logic>
ui::RunRecordDialog<Logic> Typing(std::function<void(Logic&)> fill, int* runs = nullptr) {
    return [fill, runs](Logic& logic) {
        if (runs != nullptr)
            ++*runs;
        fill(logic);
        return logic.Ok().close;
    };
}

struct CountingView final : ui::MListEditorView {
    void RepaintRegister() override { ++registerRepaints; }
    void RefreshAccounts() override { ++accountRefreshes; }
    int registerRepaints = 0;
    int accountRefreshes = 0;
};

struct RecordingSink final : ErrorSink {
    RecordingSink() { SetErrorSink(this); }
    ~RecordingSink() override { SetErrorSink(nullptr); }
    RecordingSink(const RecordingSink&) = delete;
    RecordingSink& operator=(const RecordingSink&) = delete;
    void Report(const ErrorReport& report) override { ids.push_back(report.string_id); }
    std::vector<int> ids;
};

// Every file write fails as on a full disk while it lives.
struct FullDisk {
    FullDisk() {
        platform::SetWriteFault([](std::size_t, int& err) {
            err = 28;  // ENOSPC
            return false;
        });
    }
    ~FullDisk() { platform::SetWriteFault(nullptr); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
};

}  // namespace tallowmere::test
