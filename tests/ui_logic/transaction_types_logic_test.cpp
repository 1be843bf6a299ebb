#include "ui/logic/transaction_types_logic.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/list_file_names.h"
#include "model/string_table.h"
#include "ui_logic/list_editor_fixture.h"

namespace tallowmere::ui {
namespace {

using Edit = EditTransactionTypeLogic;

class TransactionTypesLogicTest : public test::DataSetTest {
  protected:
    CTransactionTypesList& List() const { return data_->TransactionTypes(); }
    TransactionTypesLogic Logic(std::function<void(Edit&)> fill, int* runs = nullptr) {
        return TransactionTypesLogic(*data_, messages_, test::Typing<Edit>(std::move(fill), runs));
    }
};

TEST_F(TransactionTypesLogicTest, TheSeventhRowIsGuardedAndTheEighthIsNot) {
    TransactionTypesLogic add = Logic([](Edit& e) {
        EXPECT_TRUE(e.Form().directionEnabled);
        e.Form().name = "Transfer out";
        e.Form().direction = kDirectionDebit;
    });
    EXPECT_EQ(add.New(), ListStep::Select(7));
    const CTransactionType* made = add.ItemAt(7);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsDebit());
    EXPECT_FALSE(made->IsNumbered());
    EXPECT_EQ(made->GetName(), "Transfer out");

    int runs = 0;
    TransactionTypesLogic logic = Logic([](Edit&) {}, &runs);
    EXPECT_EQ(logic.Edit(6), ListStep::Nothing());
    EXPECT_EQ(logic.Delete(6), ListStep::Nothing());
    EXPECT_EQ(messages_.Ids(), (std::vector<int>{135, 136}));
    EXPECT_EQ(runs, 0);

    messages_.shown.clear();
    messages_.answers.push_back(Answer::kYes);
    EXPECT_EQ(logic.Delete(7), ListStep::ClearSelection());
    EXPECT_EQ(messages_.Ids(), std::vector<int>{514});
    EXPECT_EQ(List().GetCount(false), 7u);
}

TEST_F(TransactionTypesLogicTest, BuiltInTypesAreKnownByIdWhereverTheFileHasThem) {
    // A file that holds a type of the user's first and the built-in ones
    // after it, as an older program or a sync may leave it.
    CTransactionTypesList crafted;
    crafted.SetPath(folder_ + "/" + kTransTypesFile);
    crafted.AddItem(std::make_unique<CTransactionType>("Mine", false));
    for (const auto& def : kDefaultTransactionTypes)
        crafted.AddItem(std::make_unique<CTransactionType>(LoadString1252(def.stringId), def.id));
    ASSERT_EQ(crafted.Save(), 0);
    data_ = Reload();

    TransactionTypesLogic logic = Logic([](Edit& e) {
        EXPECT_FALSE(e.Form().directionEnabled);
        EXPECT_EQ(e.Form().direction, 0);
        e.Form().name = "Ours";
        e.Form().direction = kDirectionDebit;  // the combo is disabled; ignored
    });
    EXPECT_EQ(logic.ItemAt(0)->GetName(), "Mine");
    EXPECT_EQ(logic.Edit(0), ListStep::Select(0));
    EXPECT_EQ(logic.ItemAt(0)->GetName(), "Ours");
    EXPECT_FALSE(logic.ItemAt(0)->IsDebit());
    EXPECT_EQ(logic.Edit(7), ListStep::Nothing());
    EXPECT_EQ(logic.Delete(7), ListStep::Nothing());
    EXPECT_EQ(messages_.Ids(), (std::vector<int>{135, 136}));
    EXPECT_EQ(Reload()->TransactionTypes().GetAt(0, false)->GetId(), logic.ItemAt(0)->GetId());
}

TEST_F(TransactionTypesLogicTest, AnEmptyNameIsRefusedAndALongStoredNameIsKept) {
    Edit edit(nullptr, messages_);
    edit.Form().name = " ";
    EXPECT_EQ(edit.Ok(), DialogStep::Stay(kTypeName, true));
    EXPECT_EQ(messages_.Ids(), std::vector<int>{509});
    edit.Form().name = " Standing order payments ";
    EXPECT_TRUE(edit.Ok().close);
    EXPECT_EQ(edit.Name(), "Standing order payments");
}

}  // namespace
}  // namespace tallowmere::ui
