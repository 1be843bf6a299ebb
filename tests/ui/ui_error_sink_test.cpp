#include "ui/ui_error_sink.h"

#include <gtest/gtest.h>

#include <thread>

#include "ui/scripted_services.h"

namespace tallowmere::ui {
namespace {

TEST(UiErrorSinkTest, BoxOnTheWindowThreadOnlyTheLogFromAnother) {
    test::ScriptedServices services;
    UiErrorSink sink;
    SetErrorSink(&sink);
    ReportError(3101, {std::string("Ch\xE8que.qif"), std::int64_t{13}});
    ASSERT_EQ(1u, services.messages.size());
    EXPECT_EQ(3101, services.messages[0].stringId);
    EXPECT_EQ("The file Ch\xC3\xA8que.qif could not be read (13).", services.messages[0].text);

    // A sync thread never waits for a box.
    std::thread sync([] { ReportError(3101, {std::string("x.qif"), std::int64_t{2}}); });
    sync.join();
    SetErrorSink(nullptr);
    EXPECT_EQ(1u, services.messages.size());
}

}  // namespace
}  // namespace tallowmere::ui
