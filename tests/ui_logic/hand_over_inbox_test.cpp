#include "ui/logic/hand_over_inbox.h"

#include <gtest/gtest.h>

#include <string>

namespace tallowmere::ui {
namespace {

InstanceRequest Text(std::string text) {
    InstanceRequest request;
    request.commandLine = std::move(text);
    return request;
}

TEST(HandOverInbox, WaitsUntilOpenThenPassesStraightThrough) {
    HandOverInbox inbox;
    EXPECT_FALSE(inbox.Add(Text("a")).has_value());
    InstanceRequest notify;
    notify.kind = InstanceRequest::Kind::kDatabaseNotify;
    notify.wParam = 1;
    EXPECT_FALSE(inbox.Add(notify).has_value());
    EXPECT_FALSE(inbox.Add(Text("b")).has_value());

    EXPECT_EQ(inbox.Open(), (std::vector<InstanceRequest>{Text("a"), notify, Text("b")}));
    EXPECT_EQ(inbox.Add(Text("c")), Text("c"));
    EXPECT_TRUE(inbox.Open().empty());
}

TEST(HandOverInbox, AFloodKeepsTheNewest) {
    HandOverInbox inbox;
    for (std::size_t i = 0; i < HandOverInbox::kMaxWaiting + 5; ++i)
        inbox.Add(Text(std::to_string(i)));
    const std::vector<InstanceRequest> waited = inbox.Open();
    ASSERT_EQ(waited.size(), HandOverInbox::kMaxWaiting);
    EXPECT_EQ(waited.front().commandLine, "5");
    EXPECT_EQ(waited.back().commandLine, std::to_string(HandOverInbox::kMaxWaiting + 4));
}

}  // namespace
}  // namespace tallowmere::ui
