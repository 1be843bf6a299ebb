#include "ui/logic/named_list_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_1252.h"
#include "ui_logic/list_editor_fixture.h"

namespace tallowmere::ui {
namespace {

class NamedListLogicTest : public test::DataSetTest {
  protected:
    NamedListLogic Logic(NameRule kind, const char* typed) {
        return NamedListLogic(
            *data_, kind, messages_,
            test::Typing<EditNameLogic>([typed](EditNameLogic& e) { e.NameText() = typed; }),
            &view_);
    }
    std::vector<std::string> Names(NameRule kind) const {
        const CCommonList& list = kind == NameRule::kClass
                                      ? static_cast<const CCommonList&>(data_->Classes())
                                      : static_cast<const CCommonList&>(data_->Payees());
        std::vector<std::string> names;
        for (std::size_t i = 0; i < list.GetCount(false); ++i)
            names.push_back(dynamic_cast<CCommonListItem*>(list.GetAt(i, false))->GetName());
        return names;
    }

    test::CountingView view_;
};

TEST_F(NamedListLogicTest, NamesAreCheckedByTheRulesOfTheirField) {
    struct Case {
        NameRule kind;
        const char* name;
        int message;  // 0: accepted
    };
    const Case cases[] = {
        {NameRule::kClass, "", 509},          {NameRule::kClass, "  ", 509},
        {NameRule::kClass, "Home:Work", 199}, {NameRule::kClass, "A/B", 199},
        {NameRule::kClass, " Charity ", 0},   {NameRule::kPayee, "", 509},
        {NameRule::kPayee, "A/B: Co", 0},     {NameRule::kPayee, "Grocer", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.shown.clear();
        EditNameLogic edit(c.kind, {}, messages_);
        edit.NameText() = c.name;
        const DialogStep step = edit.Ok();
        if (c.message == 0) {
            EXPECT_TRUE(step.close);
            EXPECT_EQ(edit.Name(), std::string(platform::TrimAsciiSpace(c.name)));
        } else {
            EXPECT_EQ(step, DialogStep::Stay(kRecordName, true));
            EXPECT_EQ(messages_.Ids(), std::vector<int>{c.message});
        }
    }
}

TEST_F(NamedListLogicTest, NewAndEditFileTheRecordInNameOrder) {
    NamedListLogic add = Logic(NameRule::kClass, "Charity");
    EXPECT_EQ(add.New(), ListStep::Select(1));
    EXPECT_EQ(Names(NameRule::kClass),
              (std::vector<std::string>{"Business", "Charity", "Personal"}));

    NamedListLogic rename = Logic(NameRule::kClass, "Zoo");
    EXPECT_EQ(rename.Edit(0), ListStep::Select(2));
    EXPECT_EQ(Names(NameRule::kClass), (std::vector<std::string>{"Charity", "Personal", "Zoo"}));
    EXPECT_EQ(rename.ChosenName(2), "Zoo");
    EXPECT_EQ(view_.registerRepaints, 1);
    EXPECT_EQ(Reload()->Classes().GetNameById(BusinessClassId), "Zoo");

    for (const char* payee : {"Mike's", "Acme", "Grocer"}) {
        NamedListLogic payees = Logic(NameRule::kPayee, payee);
        payees.New();
    }
    EXPECT_EQ(Names(NameRule::kPayee), (std::vector<std::string>{"Acme", "Grocer", "Mike's"}));
    NamedListLogic payees = Logic(NameRule::kPayee, "Baker");
    EXPECT_EQ(payees.Edit(2), ListStep::Select(1));
    EXPECT_EQ(payees.ChosenName(1), "Baker");
    EXPECT_EQ(payees.ChosenName(-1), "");
    EXPECT_NE(Reload()->Payees().FindByName("Baker"), nullptr);
}

TEST_F(NamedListLogicTest, DeleteAsksFirstAndLeavesNothingSelected) {
    NamedListLogic logic = Logic(NameRule::kClass, "unused");
    EXPECT_EQ(logic.Delete(0), ListStep::Nothing());
    ASSERT_EQ(messages_.Ids(), std::vector<int>{514});
    EXPECT_EQ(messages_.shown[0].defaultAnswer, Answer::kNo);
    messages_.shown.clear();
    EXPECT_EQ(logic.Delete(-1), ListStep::Nothing());  // asked before the row is looked at
    EXPECT_EQ(messages_.Ids(), std::vector<int>{514});
    EXPECT_EQ(Names(NameRule::kClass).size(), 2u);

    messages_.answers.push_back(Answer::kYes);
    EXPECT_EQ(logic.Delete(0), ListStep::ClearSelection());
    EXPECT_EQ(Names(NameRule::kClass), std::vector<std::string>{"Personal"});
    EXPECT_EQ(Reload()->Classes().FindClass(BusinessClassId), nullptr);
}

}  // namespace
}  // namespace tallowmere::ui
