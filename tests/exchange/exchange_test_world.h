#pragma once
// A user's data set in a temporary folder for the import and export tests,
// the fixture that fills it by category text, and an error sink that keeps
// what it is told.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/importer_exporter.h"
#include "model/accounts.h"
#include "model/error_sink.h"
#include "model/palm_time.h"
#include "platform/atomic_file.h"
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

// Noon of that day.
inline PalmTime Day(int year, int month, int day) {
    return DateFields{0,
                      0,
                      12,
                      static_cast<std::int16_t>(day),
                      static_cast<std::int16_t>(month),
                      static_cast<std::int16_t>(year)}
        .ToPalmTime();
}

struct Line {
    std::string category;  // a category text as the importer reads it
    Cents amount;
    std::string memo;
};

// Answers the importer's question for a name the data set does not hold.
class FakeChooser : public exchange::CImporter::MTargetChooser {
  public:
    CAccount* ChooseImportAccount(CAccounts& accounts, std::string_view name) override {
        asked.emplace_back(name);
        if (cancel)
            return nullptr;
        return &AddAccount(accounts, std::string(name));
    }
    std::vector<std::string> asked;
    bool cancel = false;
};

// Counts the files written while it lives.
class SaveCounter {
  public:
    SaveCounter() {
        platform::SetWriteFault([this](std::size_t written, int&) {
            if (written == 0)
                ++saves;
            return true;
        });
    }
    ~SaveCounter() { platform::SetWriteFault(nullptr); }
    SaveCounter(const SaveCounter&) = delete;
    SaveCounter& operator=(const SaveCounter&) = delete;
    int saves = 0;
};

// The default data set with its Checking and Savings accounts; Resolver
// reads category texts the way the importer under test does.
template <typename Resolver>
class LedgerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = MakeTempDir("data");
        set_ = LoadDataSet(folder_);
        checking_ = &NamedAccount(*set_, "Checking");
        savings_ = &NamedAccount(*set_, "Savings");
        resolver_.SetAccounts(set_.get());
    }

    RecordId Category(const std::string& text, RecordId* classId = nullptr) {
        RecordId id;
        EXPECT_EQ(resolver_.ParseCategoryText(text, id, classId), 0) << text;
        return id;
    }

    // A transaction in account; category is a category text with class, or
    // with lines only "/class".
    CTransaction& Add(CAccount& account, PalmTime date, const RecordId& type, Cents amount,
                      const std::string& payee, const std::string& category = "",
                      std::uint8_t status = kStatusOpen, const std::string& memo = "",
                      const std::vector<Line>& lines = {}) {
        auto t = std::make_unique<CTransaction>();
        t->SetDate(date);
        t->SetTypeId(type);
        t->SetAmount(amount);
        t->SetPayeeName(payee);
        t->SetMemo(memo);
        t->SetStatus(status);
        RecordId classId;
        if (!lines.empty()) {
            t->SetCategoryId(SplitMarkerId);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                RecordId lineClass;
                t->SetSplitCategoryId(i, Category(lines[i].category, &lineClass));
                t->SetSplitClassId(i, lineClass);
                t->SetSplitAmount(i, lines[i].amount);
                t->SetSplitMemo(i, lines[i].memo);
            }
            if (category.starts_with("/"))
                t->SetClassId(set_->Classes().FindOrCreateByName(category.substr(1), true));
        } else {
            t->SetCategoryId(Category(category, &classId));
            t->SetClassId(classId);
        }
        CTransaction* p = t.get();
        account.AddTransaction(std::move(t));
        return *p;
    }

    std::string folder_;
    std::unique_ptr<CAccounts> set_;
    CAccount* checking_ = nullptr;
    CAccount* savings_ = nullptr;
    Resolver resolver_;
};

}  // namespace tallowmere::test
