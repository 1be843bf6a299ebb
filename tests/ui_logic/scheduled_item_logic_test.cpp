#include "ui/logic/scheduled_item_logic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <tuple>

#include "model/accounts.h"
#include "model/category.h"
#include "model/scheduled.h"
#include "model/transaction_type.h"
#include "ui/logic/scheduled_list_logic.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

class ScriptedItemDialogs final : public ScheduledItemSubDialogs {
  public:
    bool RunSplits(const CAccount* target, SplitsData& io) override {
        splitTargets.push_back(target);
        return splits ? splits(io) : false;
    }
    std::optional<std::string> RunListEditor(ListEditorKind kind,
                                             const std::string& current) override {
        editors.push_back({kind, current});
        return chosen;
    }
    std::function<bool(SplitsData&)> splits;
    std::optional<std::string> chosen;
    std::vector<const CAccount*> splitTargets;
    std::vector<std::pair<ListEditorKind, std::string>> editors;
};

// Everything an edit could touch.
using ItemState = std::tuple<TransactionRecord, RecordId, PalmTime, int, std::uint16_t,
                             std::uint8_t, std::uint16_t, std::uint8_t>;
ItemState StateOf(const CScheduledItem& item) {
    return {item.Template().Record(), item.GetAccountId(),   item.GetNextDue(),
            item.GetFrequency(),      item.GetRepeatCount(), item.GetEnterMode(),
            item.GetDaysInAdvance(),  item.GetAttribute()};
}

class ScheduledItemTest : public test::DataSetTest {
  protected:
    void SetUp() override {
        DataSetTest::SetUp();
        rent_ = AddItem("Rent", "Checking", WithdrawalTypeId, 120000, kFrequencyMonthly,
                        kRepeatIndefinitely);
        gym_ = AddItem("Gym", "Savings", DepositTypeId, 2500, kFrequencyWeekly, 3);
        for (CScheduledItem* item : {rent_, gym_})
            item->SetAttribute(0);
        ASSERT_EQ(0, data_->Scheduled().Save());
    }

    CScheduledItem* AddItem(const char* payee, const char* account, const RecordId& type,
                            Cents amount, int frequency, std::uint16_t count) {
        auto item = std::make_unique<CScheduledItem>();
        item->SetPayee(payee);
        item->SetAccountId(Account(account).Header().GetId());
        item->EditTemplate().SetTypeId(type);
        item->EditTemplate().SetAmount(amount);
        item->EditTemplate().SetDate(test::At(2012, 1, 1, 9));
        item->SetNextDue(test::At(2012, 4, 1, 9));
        item->SetFrequency(frequency);
        item->SetRepeatCount(count);
        CScheduledItem* raw = item.get();
        data_->Scheduled().InsertSorted(std::move(item));
        return raw;
    }

    ScheduledItemLogic Logic(CScheduledItem* item, const char* current = "Checking") {
        return ScheduledItemLogic(*data_, current != nullptr ? &Account(current) : nullptr, item,
                                  messages_, dialogs_);
    }
    std::string ListFile() const { return test::ReadFileBytes(data_->Scheduled().GetPath()); }

    ScriptedItemDialogs dialogs_;
    CScheduledItem* rent_ = nullptr;
    CScheduledItem* gym_ = nullptr;
};

TEST_F(ScheduledItemTest, ANewItemOpensMonthlyIndefinitelyManuallyTodayOnTheCurrentAccount) {
    ScheduledItemLogic logic = Logic(nullptr, "Savings");
    const ScheduledItemForm form = logic.Open();
    EXPECT_EQ(test::At(2012, 3, 15, 10, 30), form.nextDate);
    EXPECT_EQ(kFrequencyMonthly, form.frequencyIndex);
    EXPECT_EQ(kRepeatIndefinitelyIndex, form.repeatIndex);
    EXPECT_EQ(0, form.enterIndex);
    ASSERT_LE(0, form.accountIndex);
    EXPECT_EQ("Savings", form.accountNames[static_cast<std::size_t>(form.accountIndex)]);
    ASSERT_LE(0, form.typeIndex);
    EXPECT_EQ(DepositTypeId, form.typeIds[static_cast<std::size_t>(form.typeIndex)]);
    EXPECT_EQ("Check", form.typeNames[0]);  // the numbered type's "#" dropped
    EXPECT_TRUE(form.RepeatShown());
    EXPECT_FALSE(form.CountShown());
    EXPECT_FALSE(form.DaysShown());
}

TEST_F(ScheduledItemTest, TheRepeatAndDaysControlsShowOnlyWhereTheyMeanSomething) {
    struct Case {
        int frequency, repeat, enter;
        bool repeatShown, countShown, daysShown;
    } const cases[] = {
        {kFrequencyOnce, kRepeatTimesIndex, 0, false, false, false},
        {kFrequencyWeekly, kRepeatIndefinitelyIndex, 0, true, false, false},
        {kFrequencyWeekly, kRepeatTimesIndex, 1, true, true, false},
        {kFrequencyMonthly, kRepeatTimesIndex, 2, true, true, true},
    };
    for (const Case& c : cases) {
        ScheduledItemForm form;
        form.frequencyIndex = c.frequency;
        form.repeatIndex = c.repeat;
        form.enterIndex = c.enter;
        EXPECT_EQ(c.repeatShown, form.RepeatShown());
        EXPECT_EQ(c.countShown, form.CountShown());
        EXPECT_EQ(c.daysShown, form.DaysShown());
    }
}

TEST_F(ScheduledItemTest, ARefusedOkLeavesTheItemAndTheListsAsTheyWere) {
    struct Case {
        const char* label;
        std::function<void(ScheduledItemForm&)> edit;
        int message;
        int focus;
    } const cases[] = {
        {"101 times",
         [](ScheduledItemForm& f) {
             f.repeatIndex = kRepeatTimesIndex;
             f.repeatCountText = "101";
         },
         3723, kScheduledRepeatCount},
        {"times not a number",
         [](ScheduledItemForm& f) {
             f.repeatIndex = kRepeatTimesIndex;
             f.repeatCountText = "3x";
         },
         3723, kScheduledRepeatCount},
        {"501 days",
         [](ScheduledItemForm& f) {
             f.enterIndex = kEnterDaysInAdvanceIndex;
             f.daysText = "501";
         },
         3724, kScheduledDays},
        {"no amount", [](ScheduledItemForm& f) { f.amountText = ""; }, 171, kScheduledAmount},
        {"overflowing amount", [](ScheduledItemForm& f) { f.amountText = "99999999999999999999"; },
         146, kScheduledAmount},
        {"no such account", [](ScheduledItemForm& f) { f.category = "[Nowhere]"; }, 138,
         kScheduledCategory},
        {"to its own account", [](ScheduledItemForm& f) { f.category = "[Checking]"; }, 145,
         kScheduledCategory},
        {"long category",
         [](ScheduledItemForm& f) { f.category = "Travel:" + std::string(33, 'h'); }, 137,
         kScheduledCategory},
        {"bad class",
         [](ScheduledItemForm& f) {
             f.category = "Travel:Hotel";
             f.classText = "a:b";
         },
         199, kScheduledClass},
    };
    const ItemState before = StateOf(*rent_);
    const std::size_t categories = data_->Categories().GetCount(true);
    const std::size_t classes = data_->Classes().GetCount(true);
    const std::string file = ListFile();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (const bool existing : {true, false}) {
            messages_ = {};
            ScheduledItemLogic logic = Logic(existing ? rent_ : nullptr);
            ScheduledItemForm form = logic.Open();
            form.amountText = "10.00";
            c.edit(form);
            EXPECT_EQ(DialogStep::Stay(c.focus, true), logic.Save(form));
            EXPECT_EQ(std::vector<int>{c.message}, messages_.Ids());
            EXPECT_EQ(nullptr, logic.TakeNewItem());
        }
        EXPECT_TRUE(before == StateOf(*rent_));
        EXPECT_EQ(categories, data_->Categories().GetCount(true));
        EXPECT_EQ(classes, data_->Classes().GetCount(true));
        EXPECT_EQ(file, ListFile());
    }
}

TEST_F(ScheduledItemTest, HiddenFieldsAreNotChecked) {
    // An indefinite item: the count edit is hidden, whatever it holds.
    ScheduledItemLogic logic = Logic(rent_);
    ScheduledItemForm form = logic.Open();
    EXPECT_EQ("0", form.repeatCountText);
    form.repeatCountText = "65535";
    form.daysText = "9999";
    EXPECT_EQ(DialogStep::Close(1), logic.Save(form));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(kRepeatIndefinitely, rent_->GetRepeatCount());
}

TEST_F(ScheduledItemTest, AnUntouchedItemSavesToTheSameBytes) {
    const std::string file = ListFile();
    ScheduledItemLogic logic = Logic(rent_);
    ASSERT_EQ(DialogStep::Close(1), logic.Save(logic.Open()));
    EXPECT_EQ(0, rent_->GetAttribute());
    ASSERT_EQ(0, data_->Scheduled().ReplaceItem(rent_));
    EXPECT_EQ(file, ListFile());
}

TEST_F(ScheduledItemTest, OkWritesEveryEditedField) {
    ScheduledItemLogic logic = Logic(gym_, "Savings");
    ScheduledItemForm form = logic.Open();
    EXPECT_EQ(kRepeatTimesIndex, form.repeatIndex);
    EXPECT_EQ("3", form.repeatCountText);
    EXPECT_EQ("25.00", form.amountText);
    form.nextDate = test::At(2012, 5, 2, 9);
    form.frequencyIndex = kFrequencyQuarterly;
    form.repeatCountText = "100";
    form.enterIndex = kEnterDaysInAdvanceIndex;
    form.daysText = "500";
    form.payee = "Swim club";
    form.amountText = "30.50";
    form.category = "Sport:Swimming";
    form.classText = "Hobby";
    form.memo = "lanes";
    ASSERT_EQ(DialogStep::Close(1), logic.Save(form));
    ASSERT_EQ(0, data_->Scheduled().ReplaceItem(gym_));

    const std::unique_ptr<CAccounts> again = Reload();
    const CScheduledItem* item = nullptr;
    for (std::size_t i = 0; i < again->Scheduled().GetCount(false); ++i) {
        if (again->Scheduled().GetItemAt(i, false)->GetPayee() == "Swim club")
            item = again->Scheduled().GetItemAt(i, false);
    }
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(test::At(2012, 5, 2, 9), item->GetNextDue());
    EXPECT_EQ(test::At(2012, 5, 2, 9), item->GetStartDate());
    EXPECT_EQ(kFrequencyQuarterly, item->GetFrequency());
    EXPECT_EQ(100, item->GetRepeatCount());
    EXPECT_EQ(2, item->GetEnterMode());
    EXPECT_EQ(500, item->GetDaysInAdvance());
    EXPECT_EQ(3050, item->Template().GetAmount());
    EXPECT_EQ("Sport:Swimming", again->GetCategoryDisplayText(item->Template().GetCategoryId()));
    EXPECT_EQ("Hobby", again->Classes().GetNameById(item->Template().GetClassId()));
    EXPECT_EQ("lanes", item->GetMemo());
}

TEST_F(ScheduledItemTest, DaysInAdvanceAreTheTwoBytesAfterTheEnterMode) {
    ScheduledItemLogic logic = Logic(rent_);
    ScheduledItemForm form = logic.Open();
    form.enterIndex = kEnterDaysInAdvanceIndex;
    form.daysText = "300";
    ASSERT_EQ(DialogStep::Close(1), logic.Save(form));
    EXPECT_EQ(300, rent_->GetDaysInAdvance());
    // Opened again, the value shows where it was written.
    ScheduledItemLogic again = Logic(rent_);
    EXPECT_EQ("300", again.Open().daysText);
}

TEST_F(ScheduledItemTest, ATypedCategoryAndClassAreMadeOnlyByASuccessfulOk) {
    ScheduledItemLogic logic = Logic(nullptr);
    ScheduledItemForm form = logic.Open();
    form.amountText = "5";
    form.category = "Travel:Hotel";
    form.classText = "Trips";
    EXPECT_EQ(DialogStep::Close(1), logic.Validate(form));
    EXPECT_EQ(kNoneId, data_->Classes().FindOrCreateByName("Trips", false));
    ASSERT_EQ(DialogStep::Close(1), logic.Save(form));
    std::unique_ptr<CScheduledItem> made = logic.TakeNewItem();
    ASSERT_NE(nullptr, made);
    EXPECT_EQ("Travel:Hotel", data_->GetCategoryDisplayText(made->Template().GetCategoryId()));
    EXPECT_NE(kNoneId, made->Template().GetClassId());
    EXPECT_EQ(made->Template().GetClassId(), data_->Classes().FindOrCreateByName("Trips", false));
}

TEST_F(ScheduledItemTest, SplitsTakeOverTheCategoryOnlyWhenOkIsPressed) {
    SplitLines lines{};
    lines[0].amount = 1000;
    lines[0].memo = "half";
    lines[1].amount = 1000;
    dialogs_.splits = [&lines](SplitsData& io) {
        io.hasSplits = true;
        io.lines = lines;
        io.transactionTotal = 2000;
        return true;
    };
    const ItemState before = StateOf(*rent_);
    {
        ScheduledItemLogic logic = Logic(rent_);
        ScheduledItemForm form = logic.Open();
        logic.OnSplit(form);
        EXPECT_EQ("-SPLIT-", form.category);
        EXPECT_FALSE(form.CategoryEditable());
        EXPECT_EQ("20.00", form.amountText);
        EXPECT_TRUE(before == StateOf(*rent_));  // cancelled here
        ASSERT_EQ(DialogStep::Close(1), logic.Save(form));
    }
    EXPECT_EQ(SplitMarkerId, rent_->Template().GetCategoryId());
    EXPECT_EQ(lines, ReadSplitLines(rent_->Template()));

    // Opened again: still split; clearing the splits empties the category
    // in the form only.
    ScheduledItemLogic logic = Logic(rent_);
    ScheduledItemForm form = logic.Open();
    EXPECT_TRUE(form.hasSplits);
    EXPECT_EQ("-SPLIT-", form.category);
    dialogs_.splits = [](SplitsData& io) {
        EXPECT_TRUE(io.hasSplits);
        io.hasSplits = false;
        return true;
    };
    logic.OnSplit(form);
    EXPECT_EQ("", form.category);
    EXPECT_TRUE(form.CategoryEditable());
    EXPECT_EQ(SplitMarkerId, rent_->Template().GetCategoryId());
    ASSERT_EQ(DialogStep::Close(1), logic.Save(form));
    EXPECT_EQ(kNoneId, rent_->Template().GetCategoryId());
    EXPECT_EQ(SplitLines{}, ReadSplitLines(rent_->Template()));
}

TEST_F(ScheduledItemTest, TransfersListEveryAccountButTheChosenOne) {
    ScheduledItemLogic logic = Logic(nullptr, "Checking");
    ScheduledItemForm form = logic.Open();
    auto has = [&form](const char* entry) {
        return std::find(form.categoryEntries.begin(), form.categoryEntries.end(), entry) !=
               form.categoryEntries.end();
    };
    EXPECT_FALSE(has("[Checking]"));
    EXPECT_TRUE(has("[Savings]"));
    form.accountIndex = 3;  // Savings
    logic.OnAccountChosen(form);
    EXPECT_TRUE(has("[Checking]"));
    EXPECT_FALSE(has("[Savings]"));
    form.amountText = "1";
    form.category = "[Savings]";
    EXPECT_EQ(DialogStep::Stay(kScheduledCategory, true), logic.Save(form));
    EXPECT_EQ(std::vector<int>{145}, messages_.Ids());
}

TEST_F(ScheduledItemTest, FewTypesFallBackWithinTheList) {
    CTransactionTypesList& types = data_->TransactionTypes();
    while (types.GetCount(false) > 2)
        types.DeleteItem(types.GetAt(types.GetCount(false) - 1, false));
    // The item's type is gone: an outflow takes entry 1, a deposit entry 0.
    rent_->EditTemplate().SetTypeId(AtmTypeId);
    gym_->EditTemplate().SetTypeId(RecordId::Fixed(0x0042));
    EXPECT_EQ(1, Logic(rent_).Open().typeIndex);
    EXPECT_EQ(0, Logic(gym_).Open().typeIndex);

    while (types.GetCount(false) > 0)
        types.DeleteItem(types.GetAt(0, false));
    ScheduledItemLogic logic = Logic(rent_);
    ScheduledItemForm form = logic.Open();
    EXPECT_EQ(-1, form.typeIndex);
    EXPECT_EQ(DialogStep::Stay(kScheduledType, true), logic.Save(form));
    EXPECT_EQ(std::vector<int>{3726}, messages_.Ids());
}

TEST_F(ScheduledItemTest, WithoutAccountsNothingCanBeScheduled) {
    while (data_->GetAccountCount() > 0)
        data_->TakeAccount(data_->GetAccountAt(0));
    ScheduledItemLogic logic = Logic(nullptr, nullptr);
    ScheduledItemForm form = logic.Open();
    EXPECT_EQ(-1, form.accountIndex);
    form.amountText = "1";
    EXPECT_EQ(DialogStep::Stay(kScheduledAccount, true), logic.Save(form));
    EXPECT_EQ(std::vector<int>{3725}, messages_.Ids());
    EXPECT_EQ(nullptr, logic.TakeNewItem());
}

TEST_F(ScheduledItemTest, UnknownStoredValuesShowNothingAndAreKept) {
    rent_->SetFrequency(12);
    rent_->SetEnterMode(7);
    ScheduledItemLogic logic = Logic(rent_);
    const ScheduledItemForm form = logic.Open();
    EXPECT_EQ(-1, form.frequencyIndex);
    EXPECT_EQ(-1, form.enterIndex);
    ASSERT_EQ(DialogStep::Close(1), logic.Save(form));
    EXPECT_EQ(12, rent_->GetFrequency());
    EXPECT_EQ(7, rent_->GetEnterMode());
}

TEST_F(ScheduledItemTest, AUsedUpItemShowsTodayAndKeepsHavingNoDate) {
    rent_->SetNextDue(kNoDueDate);
    ScheduledItemLogic logic = Logic(rent_);
    ScheduledItemForm form = logic.Open();
    EXPECT_EQ(test::At(2012, 3, 15, 10, 30), form.nextDate);
    ASSERT_EQ(DialogStep::Close(1), logic.Save(form));
    EXPECT_EQ(kNoDueDate, rent_->GetNextDue());
    form.nextDate = test::At(2012, 6, 1);
    ASSERT_EQ(DialogStep::Close(1), logic.Save(form));
    EXPECT_EQ(test::At(2012, 6, 1), rent_->GetNextDue());
}

TEST_F(ScheduledItemTest, OnlyTheSecondEnterEntryIsPostedWhenTheDataSetLoads) {
    for (const int enter : {0, 1}) {
        SCOPED_TRACE(enter);
        ScheduledItemLogic logic = Logic(rent_);
        ScheduledItemForm form = logic.Open();
        form.nextDate = test::At(2012, 3, 15, 8);
        form.enterIndex = enter;
        ASSERT_EQ(DialogStep::Close(1), logic.Save(form));
        ASSERT_EQ(0, data_->Scheduled().ReplaceItem(rent_));
        std::unique_ptr<CAccounts> again = Reload();
        ASSERT_EQ(0, again->EnterDueScheduled());
        EXPECT_EQ(enter == 1 ? 1 : 0, again->FindAccountByName("Checking")->CountTransactions(0));
    }
}

TEST_F(ScheduledItemTest, AListButtonPutsTheChosenNameInItsField) {
    ScheduledItemLogic logic = Logic(rent_);
    ScheduledItemForm form = logic.Open();
    dialogs_.chosen = "Landlord";
    logic.OnListButton(form, ListEditorKind::kPayees);
    EXPECT_EQ("Landlord", form.payee);
    dialogs_.chosen = std::nullopt;
    logic.OnListButton(form, ListEditorKind::kClasses);
    EXPECT_EQ("", form.classText);
    ASSERT_EQ(2u, dialogs_.editors.size());
    EXPECT_EQ(ListEditorKind::kPayees, dialogs_.editors[0].first);
    EXPECT_EQ("Rent", dialogs_.editors[0].second);
}

TEST(BoundedIntegerTest, TakesDigitsWithinTheBound) {
    struct Case {
        const char* text;
        std::optional<int> value;
    } const cases[] = {{"0", 0},
                       {"100", 100},
                       {" 42 ", 42},
                       {"101", std::nullopt},
                       {"", std::nullopt},
                       {"-1", std::nullopt},
                       {"1e2", std::nullopt},
                       {"99999999999", std::nullopt}};
    for (const Case& c : cases)
        EXPECT_EQ(c.value, ParseBoundedInteger(c.text, 100)) << c.text;
}

// The list dialog over the same data.
class ScriptedEditor final : public ScheduledItemEditor {
  public:
    bool Edit(CScheduledItem* item, std::unique_ptr<CScheduledItem>* created) override {
        edited.push_back(item);
        return run ? run(item, created) : false;
    }
    std::function<bool(CScheduledItem*, std::unique_ptr<CScheduledItem>*)> run;
    std::vector<CScheduledItem*> edited;
};

class ScheduledListTest : public ScheduledItemTest {
  protected:
    ScriptedEditor editor_;
};

TEST_F(ScheduledListTest, RowsShowPayeeFrequencyAndSignedAmount) {
    ScheduledListLogic list(*data_, messages_, editor_);
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ(gym_, list.ItemAt(0));
    EXPECT_EQ("Gym", ScheduledCellText(*data_, *gym_, kScheduledColumnPayee, true).text);
    EXPECT_EQ("Weekly", ScheduledCellText(*data_, *gym_, kScheduledColumnFrequency, true).text);
    const CellText rent = ScheduledCellText(*data_, *rent_, kScheduledColumnAmount, true);
    EXPECT_TRUE(rent.money);
    EXPECT_TRUE(rent.negative);
    EXPECT_EQ("$-1200.00", rent.text);
    EXPECT_FALSE(ScheduledCellText(*data_, *gym_, kScheduledColumnAmount, true).negative);
    rent_->SetFrequency(12);
    EXPECT_EQ("", ScheduledCellText(*data_, *rent_, kScheduledColumnFrequency, true).text);
}

TEST_F(ScheduledListTest, DeleteAsksWithNoAsTheDefault) {
    ScheduledListLogic list(*data_, messages_, editor_);
    const std::string file = ListFile();
    messages_.answers = {Answer::kNo};
    EXPECT_FALSE(list.Delete(0));
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(514, messages_.shown[0].stringId);
    EXPECT_EQ(Answer::kNo, messages_.shown[0].defaultAnswer);
    EXPECT_EQ(Buttons::kYesNo, messages_.shown[0].buttons);
    EXPECT_EQ(2, list.Count());
    EXPECT_EQ(file, ListFile());

    messages_.answers = {Answer::kYes};
    EXPECT_TRUE(list.Delete(0));
    EXPECT_EQ(1, list.Count());
    EXPECT_EQ(1u, Reload()->Scheduled().GetCount(false));
}

TEST_F(ScheduledListTest, NewAndEditKeepThePayeeOrder) {
    ScheduledListLogic list(*data_, messages_, editor_);
    editor_.run = [this](CScheduledItem*, std::unique_ptr<CScheduledItem>* created) {
        *created = std::make_unique<CScheduledItem>();
        (*created)->SetPayee("Insurance");
        (*created)->SetAccountId(Account("Checking").Header().GetId());
        return true;
    };
    EXPECT_EQ(1, list.New());  // Gym, Insurance, Rent
    editor_.run = [](CScheduledItem* item, std::unique_ptr<CScheduledItem>*) {
        item->SetPayee("Zoo");
        return true;
    };
    EXPECT_EQ(2, list.Edit(0));  // Insurance, Rent, Zoo
    EXPECT_EQ("Zoo", list.ItemAt(2)->GetPayee());
    EXPECT_EQ(3u, Reload()->Scheduled().GetCount(false));
    editor_.run = nullptr;
    EXPECT_EQ(-1, list.Edit(0));
    EXPECT_EQ(-1, list.Edit(7));
}

TEST_F(ScheduledListTest, NewWithoutAccountsSaysWhyAndOpensNothing) {
    while (data_->GetAccountCount() > 0)
        data_->TakeAccount(data_->GetAccountAt(0));
    ScheduledListLogic list(*data_, messages_, editor_);
    EXPECT_EQ(-1, list.New());
    EXPECT_TRUE(editor_.edited.empty());
    EXPECT_EQ(std::vector<int>{3725}, messages_.Ids());
}

}  // namespace
}  // namespace tallowmere::ui
