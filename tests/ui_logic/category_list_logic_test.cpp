#include "ui/logic/category_list_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/transaction.h"
#include "model/transaction_type.h"
#include "ui_logic/list_editor_fixture.h"

namespace tallowmere::ui {
namespace {

using Edit = EditCategoryLogic;

class CategoryListLogicTest : public test::DataSetTest {
  protected:
    CCategoryList& List() const { return data_->Categories(); }
    RecordId Id(const char* path) const { return List().FindOrCreateByPath(path, false); }
    int Row(const char* path) const { return List().IndexOfId(Id(path)); }
    CCategoryItem& Item(const char* path) const { return *List().FindById(Id(path)); }
    int ParentIndex(const Edit& edit, const char* name) const {
        for (std::size_t i = 0; i < edit.ParentEntries().size(); ++i) {
            if (edit.ParentEntries()[i].text == name)
                return static_cast<int>(i);
        }
        return -1;
    }
    CategoryListLogic Logic(std::function<void(Edit&)> fill) {
        return CategoryListLogic(*data_, messages_, test::Typing<Edit>(std::move(fill)), &view_);
    }

    test::CountingView view_;
};

TEST_F(CategoryListLogicTest, NewCategoriesTakeTheirTreePlaceAndAreSaved) {
    CategoryListLogic top = Logic([](Edit& e) {
        e.Form().name = "  Books ";
        e.OnIconChosen(5);
    });
    const ListStep step = top.New();
    EXPECT_EQ(step, ListStep::Select(Row("Books")));
    EXPECT_EQ(Row("Books"), Row("Auto:Payment") + 1);
    EXPECT_EQ(Item("Books").GetName(), "Books");
    EXPECT_EQ(Item("Books").GetIcon(), 5);

    Item("Auto").SetAttribute(0);
    CategoryListLogic sub = Logic([this](Edit& e) {
        e.Form().name = "Tires";
        e.OnParentChosen(ParentIndex(e, "Auto"));
    });
    const ListStep added = sub.New();
    EXPECT_EQ(added, ListStep::Select(Row("Auto:Tires")));
    EXPECT_EQ(Row("Auto:Tires"), Row("Auto:Payment") + 1);
    EXPECT_EQ(Item("Auto:Tires").GetIcon(), 14);  // the parent's
    EXPECT_NE(Item("Auto").GetAttribute() & CPalmListItem::kModified, 0);
    EXPECT_EQ(sub.ChosenName(Row("Auto:Tires")), "Auto:Tires");
    EXPECT_EQ(sub.ChosenName(-1), "");

    const auto again = Reload();
    EXPECT_EQ(again->Categories().GetFullNameById(Id("Auto:Tires")), "Auto:Tires");
    EXPECT_FALSE(again->Categories().FindOrCreateByPath("Books", false).IsNull());
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(CategoryListLogicTest, TheEditedCategoryIsNoParentOfItself) {
    const Edit misc(List(), &Item("Misc"), messages_);
    EXPECT_EQ(ParentIndex(misc, "Misc"), -1);
    EXPECT_GE(ParentIndex(misc, "Auto"), 1);
    EXPECT_EQ(misc.ParentEntries()[0].text, "<None>");
    EXPECT_EQ(misc.Form().parentIndex, 0);

    const Edit fuel(List(), &Item("Auto:Fuel"), messages_);
    EXPECT_EQ(fuel.ParentEntries()[static_cast<std::size_t>(fuel.Form().parentIndex)].text, "Auto");
    // Subcategories are never offered as parents.
    EXPECT_EQ(ParentIndex(fuel, "Fuel"), -1);
    const Edit fresh(List(), nullptr, messages_);
    EXPECT_GE(ParentIndex(fresh, "Misc"), 1);
}

TEST_F(CategoryListLogicTest, NamesAndPlacesThatCannotBeUsedAreRefused) {
    struct Case {
        const char* name;
        const char* parent;  // nullptr: top level
        int message;
    };
    const Case cases[] = {
        {"", nullptr, 509},
        {"   ", nullptr, 509},
        {"Home:Rent", nullptr, 137},
        {"Rent/Lease", nullptr, 137},
        {"-split-", nullptr, 137},
        {"[Savings", nullptr, 137},
        {"123456789012345678901234567890123", nullptr, 137},
        {"insurance", nullptr, 179},
        {"FUEL", "Auto", 179},
        {"Fuel", "Travel", 0},
        {"12345678901234567890123456789012", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.shown.clear();
        Edit edit(List(), nullptr, messages_);
        edit.Form().name = c.name;
        if (c.parent != nullptr)
            edit.OnParentChosen(ParentIndex(edit, c.parent));
        const DialogStep step = edit.Ok();
        if (c.message == 0) {
            EXPECT_TRUE(step.close);
            EXPECT_TRUE(messages_.shown.empty());
        } else {
            EXPECT_EQ(step, DialogStep::Stay(kCategoryName, true));
            EXPECT_EQ(messages_.Ids(), std::vector<int>{c.message});
        }
    }
}

TEST_F(CategoryListLogicTest, AMoveOntoAnExistingPathIsRefused) {
    // Auto:Insurance to the top level, where Insurance stands already.
    Edit move(List(), &Item("Auto:Insurance"), messages_);
    move.OnParentChosen(0);
    EXPECT_FALSE(move.Ok().close);
    EXPECT_EQ(messages_.Ids(), std::vector<int>{179});

    // A change of case alone passes: the only match is the record itself.
    messages_.shown.clear();
    CategoryListLogic logic = Logic([](Edit& e) { e.Form().name = "fuel"; });
    const RecordId fuel = Id("Auto:Fuel");
    const ListStep step = logic.Edit(Row("Auto:Fuel"));
    EXPECT_EQ(step, ListStep::Select(List().IndexOfId(fuel)));
    EXPECT_EQ(List().FindById(fuel)->GetName(), "fuel");
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(view_.registerRepaints, 1);
}

TEST_F(CategoryListLogicTest, ACategoryWithSubcategoriesStaysAtTheTop) {
    CategoryListLogic move =
        Logic([this](Edit& e) { e.Form().parentIndex = ParentIndex(e, "Travel"); });
    EXPECT_EQ(move.Edit(Row("Auto")), ListStep::Nothing());
    EXPECT_EQ(messages_.Ids(), std::vector<int>{131});
    EXPECT_TRUE(Item("Auto").IsTopLevel());

    messages_.shown.clear();
    const RecordId auto_ = Id("Auto");
    CategoryListLogic rename = Logic([](Edit& e) { e.Form().name = "Car"; });
    const ListStep step = rename.Edit(Row("Auto"));
    EXPECT_EQ(step, ListStep::Select(List().IndexOfId(auto_)));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(List().GetFullNameById(Id("Car:Fuel")), "Car:Fuel");
    EXPECT_EQ(List().IndexOfId(auto_), Row("Car:Fuel") - 1);  // the children came along
}

TEST_F(CategoryListLogicTest, AMoveMarksBothParentsAndResortsTheTree) {
    for (const char* parent : {"Auto", "Travel"})
        Item(parent).SetAttribute(0);
    const RecordId fuel = Id("Auto:Fuel");
    CategoryListLogic logic =
        Logic([this](Edit& e) { e.OnParentChosen(ParentIndex(e, "Travel")); });
    const ListStep step = logic.Edit(Row("Auto:Fuel"));
    EXPECT_EQ(List().GetFullNameById(fuel), "Travel:Fuel");
    EXPECT_EQ(step, ListStep::Select(List().IndexOfId(fuel)));
    EXPECT_EQ(List().IndexOfId(fuel), Row("Travel:Air Transportation") + 1);
    EXPECT_EQ(List().FindById(fuel)->GetIcon(), 21);  // Travel's
    for (const char* parent : {"Auto", "Travel"})
        EXPECT_NE(Item(parent).GetAttribute() & CPalmListItem::kModified, 0) << parent;
    EXPECT_EQ(Reload()->Categories().GetFullNameById(fuel), "Travel:Fuel");
}

TEST_F(CategoryListLogicTest, DeleteGuardsParentsAsksAndLeavesNothingSelected) {
    CategoryListLogic logic = Logic([](Edit&) {});
    EXPECT_EQ(logic.Delete(Row("Auto")), ListStep::Nothing());
    EXPECT_EQ(messages_.Ids(), std::vector<int>{132});

    messages_.shown.clear();
    EXPECT_EQ(logic.Delete(Row("Auto:Fuel")), ListStep::Nothing());  // the default answer: No
    ASSERT_EQ(messages_.Ids(), std::vector<int>{176});
    EXPECT_EQ(messages_.shown[0].buttons, Buttons::kYesNo);
    EXPECT_EQ(messages_.shown[0].icon, Icon::kQuestion);
    EXPECT_EQ(messages_.shown[0].defaultAnswer, Answer::kNo);
    EXPECT_FALSE(Id("Auto:Fuel").IsNull());

    Item("Auto").SetAttribute(0);
    messages_.answers.push_back(Answer::kYes);
    const std::size_t before = List().GetCount(false);
    EXPECT_EQ(logic.Delete(Row("Auto:Fuel")), ListStep::ClearSelection());
    EXPECT_EQ(List().GetCount(false), before - 1);
    EXPECT_TRUE(Id("Auto:Fuel").IsNull());
    EXPECT_NE(Item("Auto").GetAttribute() & CPalmListItem::kModified, 0);
    EXPECT_TRUE(Reload()->Categories().FindOrCreateByPath("Auto:Fuel", false).IsNull());
}

TEST_F(CategoryListLogicTest, CancelAndRowsOutsideTheListChangeNothing) {
    const std::string file = test::ReadFileBytes(folder_ + "/CategoriesList.lst");
    int runs = 0;
    CategoryListLogic cancel(*data_, messages_, [&runs](Edit&) {
        ++runs;
        return false;
    });
    EXPECT_EQ(cancel.New(), ListStep::Nothing());
    EXPECT_EQ(cancel.Edit(Row("Misc")), ListStep::Nothing());
    EXPECT_EQ(runs, 2);
    for (const int row : {-1, cancel.Count()}) {
        EXPECT_EQ(cancel.Edit(row), ListStep::Nothing());
        EXPECT_EQ(cancel.Delete(row), ListStep::Nothing());
    }
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(test::ReadFileBytes(folder_ + "/CategoriesList.lst"), file);
}

TEST_F(CategoryListLogicTest, AFailedSaveIsReportedAndTheCategoryStaysInMemory) {
    test::RecordingSink sink;
    CategoryListLogic logic = Logic([](Edit& e) { e.Form().name = "Books"; });
    {
        test::FullDisk full;
        const ListStep step = logic.New();
        EXPECT_EQ(step, ListStep::Select(Row("Books")));
    }
    EXPECT_EQ(sink.ids, std::vector<int>{185});
    EXPECT_FALSE(Id("Books").IsNull());
    EXPECT_TRUE(Reload()->Categories().FindOrCreateByPath("Books", false).IsNull());
}

TEST_F(CategoryListLogicTest, ARenamePutsARegisterOrderedByCategoryBackInOrder) {
    CAccount& checking = Account("Checking");
    checking.SetSortMode(5);  // by category
    for (const char* path : {"Dining", "Gifts"}) {
        auto t = std::make_unique<CTransaction>();
        t->SetDate(test::At(2012, 3, 1, 12));
        t->SetTypeId(WithdrawalTypeId);
        t->SetAmount(500);
        t->SetCategoryId(Id(path));
        ASSERT_EQ(checking.AddTransaction(std::move(t)), 0);
    }
    ASSERT_EQ(checking.Save(), 0);
    const RecordId dining = Id("Dining");
    ASSERT_EQ(checking.Transactions()[0]->GetCategoryId(), dining);

    CategoryListLogic logic = Logic([](Edit& e) { e.Form().name = "Take-away"; });
    logic.Edit(Row("Dining"));
    EXPECT_TRUE(checking.IsInOrder());
    EXPECT_EQ(checking.Transactions()[1]->GetCategoryId(), dining);
    const auto again = Reload();
    EXPECT_EQ(again->FindAccountByName("Checking")->Transactions()[1]->GetCategoryId(), dining);
    EXPECT_TRUE(messages_.shown.empty());
}

}  // namespace
}  // namespace tallowmere::ui
