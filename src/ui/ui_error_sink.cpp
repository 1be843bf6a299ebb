#include "ui/ui_error_sink.h"

#include <QApplication>
#include <QThread>
#include <cstdio>
#include <mutex>

#include "platform/text_1252.h"
#include "ui/logic/error_report_message.h"
#include "ui/ui_services.h"

namespace tallowmere::ui {

void UiErrorSink::Report(const ErrorReport& report) {
    const QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && QThread::currentThread() == app->thread()) {
        Services().ShowMessage(QApplication::activeWindow(), ErrorReportMessage(report));
        return;
    }
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    std::fprintf(stderr, "tallowmere: %s\n", platform::Cp1252ToUtf8(report.text).c_str());
}

}  // namespace tallowmere::ui
