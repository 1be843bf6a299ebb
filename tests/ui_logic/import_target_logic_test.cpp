#include "ui/logic/import_target_logic.h"

#include <gtest/gtest.h>

#include "model/accounts.h"
#include "model/string_table.h"
#include "platform/text_1252.h"
#include "support/test_env.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

class CountingPane final : public ImportTargetHost {
  public:
    void AccountsChanged() override { ++changes; }
    int changes = 0;
};

// The five default accounts: "American Express", "Checking", "Mastercard",
// "Savings", "Visa".
class ImportTargetLogicTest : public test::DataSetTest {
  protected:
    CountingPane pane_;
};

TEST_F(ImportTargetLogicTest, OpensWithTheAccountsInOrderAndTheNamePreset) {
    const ImportTargetForm form =
        OpenImportTarget(*data_, "Caf\xE9 Card", &Account("Mastercard"), kImportSelectExisting);
    EXPECT_EQ("Caf\xC3\xA9 Card", form.name);
    EXPECT_EQ(
        (std::vector<std::string>{"American Express", "Checking", "Mastercard", "Savings", "Visa"}),
        form.entries);
    ASSERT_EQ(5u, form.ids.size());
    EXPECT_EQ(Account("Savings").Header().GetId(), form.ids[3]);
    EXPECT_EQ(2, form.listIndex);
    EXPECT_FALSE(ImportNameEnabled(form));
    EXPECT_TRUE(ImportListEnabled(form));

    const ImportTargetForm fresh = OpenImportTarget(*data_, "Brokerage", nullptr);
    EXPECT_EQ(kImportCreateNew, fresh.choice);
    EXPECT_EQ(-1, fresh.listIndex);
    EXPECT_TRUE(ImportNameEnabled(fresh));
    EXPECT_FALSE(ImportListEnabled(fresh));
}

TEST_F(ImportTargetLogicTest, ANewAccountsNameIsChecked) {
    struct Case {
        const char* name;  // UTF-8, as typed
        int message;       // 0: accepted
    };
    const Case cases[] = {
        {"", kStringInvalidAccountName},
        {"A/B", kStringInvalidAccountName},
        {"Joint: savings", kStringInvalidAccountName},
        {"Who?", kStringInvalidAccountName},
        {"12345678901234567890123456", kStringInvalidAccountName},  // 26
        {"checking", kStringAccountNameTaken},
        {"VISA", kStringAccountNameTaken},
        {"\xE2\x82\xAC Account", 0},  // the euro sign is one stored character
        {"Bank.Old", 0},              // a period makes a file name
        {"1234567890123456789012345", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.shown.clear();
        pane_.changes = 0;
        ImportTargetForm form = OpenImportTarget(*data_, "", nullptr);
        form.name = c.name;
        const std::size_t before = data_->GetAccountCount();
        CAccount* chosen = nullptr;
        const OkResult result = AcceptImportTarget(*data_, form, messages_, &pane_, chosen);
        if (c.message != 0) {
            EXPECT_FALSE(result.close);
            EXPECT_EQ(kImportName, result.focusId);
            EXPECT_EQ(std::vector<int>{c.message}, messages_.Ids());
            EXPECT_EQ(nullptr, chosen);
            EXPECT_EQ(before, data_->GetAccountCount());
            EXPECT_EQ(0, pane_.changes);
            continue;
        }
        EXPECT_TRUE(result.close);
        EXPECT_TRUE(messages_.shown.empty());
        ASSERT_NE(nullptr, chosen);
        EXPECT_EQ(before + 1, data_->GetAccountCount());
        EXPECT_EQ(1, pane_.changes);
        EXPECT_EQ(platform::Utf8ToCp1252(c.name), chosen->GetName());
        // The file system's names are UTF-8.
        EXPECT_EQ(folder_ + "/" + c.name + ".wqm", chosen->GetPath());
        // In name order.
        for (std::size_t n = 1; n < data_->GetAccountCount(); ++n)
            EXPECT_LE(platform::CompareNoCase1252(data_->GetAccountAt(n - 1)->GetName(),
                                                  data_->GetAccountAt(n)->GetName()),
                      0);
    }
    EXPECT_EQ(
        "That's not a valid account name. An account name must be between 1 and 25 characters in "
        "length and cannot contain any of the following characters: \\/:*?\"<>|.",
        LoadString(kStringInvalidAccountName));
    EXPECT_EQ("There is already an account with that name.", LoadString(kStringAccountNameTaken));
}

// A stray file of that name in the data folder: the file error, no
// account, and the dialog stays.
TEST_F(ImportTargetLogicTest, AFileInTheWayKeepsTheDialogOpen) {
    test::WriteFileBytes(folder_ + "/Brokerage.wqm", "not an account");
    ImportTargetForm form = OpenImportTarget(*data_, "Brokerage", nullptr);
    CAccount* chosen = nullptr;
    const OkResult result = AcceptImportTarget(*data_, form, messages_, &pane_, chosen);
    EXPECT_FALSE(result.close);
    EXPECT_EQ(nullptr, chosen);
    EXPECT_EQ(5u, data_->GetAccountCount());
    EXPECT_EQ(0, pane_.changes);
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(185, messages_.shown[0].stringId);
    EXPECT_EQ("There was an error saving the file (183).", messages_.shown[0].text);
}

TEST_F(ImportTargetLogicTest, AnExistingAccountIsTakenFromTheList) {
    ImportTargetForm form = OpenImportTarget(*data_, "Ignored", nullptr, kImportSelectExisting);
    CAccount* chosen = nullptr;
    // No row selected: nothing happens.
    EXPECT_FALSE(AcceptImportTarget(*data_, form, messages_, &pane_, chosen).close);
    EXPECT_EQ(nullptr, chosen);
    form.listIndex = 3;
    EXPECT_TRUE(AcceptImportTarget(*data_, form, messages_, &pane_, chosen).close);
    EXPECT_EQ(&Account("Savings"), chosen);
    EXPECT_EQ(5u, data_->GetAccountCount());
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(0, pane_.changes);

    // An account that left the data set since the list was filled.
    std::unique_ptr<CAccount> taken = data_->TakeAccount(&Account("Visa"));
    form.listIndex = 4;
    chosen = nullptr;
    EXPECT_FALSE(AcceptImportTarget(*data_, form, messages_, &pane_, chosen).close);
    EXPECT_EQ(nullptr, chosen);
}

}  // namespace
}  // namespace tallowmere::ui
