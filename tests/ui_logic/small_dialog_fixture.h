#pragma once
// What the tests of the transfer and small dialogs share: the default data
// set in a temporary folder, a pinned clock, and message boxes that are
// recorded and answered from a queue.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "model/accounts.h"
#include "platform/clock.h"
#include "support/test_env.h"
#include "ui/logic/messages.h"

namespace tallowmere::test {

class RecordingMessages final : public ui::Messages {
  public:
    ui::Answer Show(const ui::MessageRequest& request) override {
        shown.push_back(request);
        if (answers.empty())
            return request.defaultAnswer;
        const ui::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const ui::MessageRequest& request : shown)
            ids.push_back(request.stringId);
        return ids;
    }

    std::deque<ui::Answer> answers;
    std::vector<ui::MessageRequest> shown;
};

class PinnedClock final : public platform::Clock {
  public:
    platform::LocalTime LocalNow() const override { return now; }
    std::uint32_t TickCount() const override { return 0; }
    platform::LocalTime now{2012, 3, 15, 10, 30, 0};
};

inline PalmTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    DateFields f;
    f.year = static_cast<std::int16_t>(year);
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    f.hour = static_cast<std::int16_t>(hour);
    f.minute = static_cast<std::int16_t>(minute);
    f.second = static_cast<std::int16_t>(second);
    return f.ToPalmTime();
}

// The five default accounts, listed "American Express", "Checking",
// "Mastercard", "Savings", "Visa".
class DataSetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetClock(&clock_);
        folder_ = MakeTempDir("data");
        ASSERT_EQ(CAccounts::LoadInto(data_, folder_, {}), 0);
    }
    void TearDown() override { platform::SetClock(nullptr); }

    CAccount& Account(const char* name) const {
        CAccount* account = data_->FindAccountByName(name);
        EXPECT_NE(nullptr, account) << name;
        return *account;
    }
    // The folder as a fresh load finds it.
    std::unique_ptr<CAccounts> Reload() const {
        std::unique_ptr<CAccounts> again;
        EXPECT_EQ(CAccounts::LoadInto(again, folder_, {}), 0);
        return again;
    }

    PinnedClock clock_;
    std::string folder_;
    std::unique_ptr<CAccounts> data_;
    RecordingMessages messages_;
};

}  // namespace tallowmere::test
