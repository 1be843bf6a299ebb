#pragma once
// A user's data set in a temporary folder for the import and export tests,
// and an error sink that keeps what it is told.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "model/accounts.h"
#include "model/error_sink.h"
#include "support/test_env.h"

namespace tallowmere::test {

// The folder loaded with its default accounts and lists.
inline std::unique_ptr<CAccounts> LoadDataSet(const std::string& folder) {
    std::unique_ptr<CAccounts> set;
    AccountsLoadFailure failure;
    EXPECT_EQ(CAccounts::LoadInto(set, folder, AccountsLoadOptions{}, &failure), 0) << failure.path;
    return set;
}

// A new empty account of that name in the data set, saved.
inline CAccount& AddAccount(CAccounts& set, const std::string& name) {
    auto account = std::make_unique<CAccount>();
    account->Header().SetName(name);
    EXPECT_EQ(account->MakeFilePath(set.GetFolder(), name), 0) << name;
    CAccount* a = set.InsertAccount(std::move(account));
    EXPECT_EQ(a->Save(), 0);
    return *a;
}

inline CAccount& NamedAccount(CAccounts& set, const std::string& name) {
    CAccount* a = set.FindAccountByName(name);
    EXPECT_NE(a, nullptr) << name;
    return *a;
}

class RecordingSink : public ErrorSink {
  public:
    RecordingSink() { SetErrorSink(this); }
    ~RecordingSink() override { SetErrorSink(nullptr); }
    RecordingSink(const RecordingSink&) = delete;
    RecordingSink& operator=(const RecordingSink&) = delete;

    void Report(const ErrorReport& report) override {
        std::lock_guard<std::mutex> lock(mutex_);
        reports.push_back(report);
    }
    bool Has(int stringId) const {
        for (const ErrorReport& r : reports) {
            if (r.string_id == stringId)
                return true;
        }
        return false;
    }

    std::vector<ErrorReport> reports;

  private:
    std::mutex mutex_;
};

}  // namespace tallowmere::test
