#pragma once
// The data set the dialog tests work on: a new folder loaded by the model,
// which gives the default accounts, categories, classes and currencies; and a
// Messages that records what was shown.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/accounts.h"
#include "support/test_env.h"
#include "ui/logic/messages.h"

namespace tallowmere::test {

inline std::unique_ptr<CAccounts> LoadDefaultDataSet(const std::string& prefix) {
    std::unique_ptr<CAccounts> set;
    AccountsLoadFailure failure;
    EXPECT_EQ(CAccounts::LoadInto(set, MakeTempDir(prefix), {}, &failure), 0) << failure.path;
    return set;
}

class RecordingMessages final : public ui::Messages {
  public:
    ui::Answer Show(const ui::MessageRequest& request) override {
        ids.push_back(request.stringId);
        return ui::Answer::kOk;
    }
    std::vector<int> ids;
};

}  // namespace tallowmere::test
