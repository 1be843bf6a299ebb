// What the screen's transaction lists add to the shared cell texts: status
// images, register cells of a real data set with the account's symbol and
// the list's settings, the texts widths are measured on, and the
// report-detail amount of a split.
#include "ui/logic/transaction_cells.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/report.h"
#include "ui/ledger_fixture.h"

namespace tallowmere::ui {
namespace {

using test::LedgerFixture;

TEST(TransactionCells, StatusImages) {
    struct Case {
        std::uint8_t status;
        std::uint8_t review;
        int image;
        int mark;
    };
    const std::vector<Case> cases = {
        {0x00, 0, 1, 1}, {0x40, 0, 2, 1}, {0x80, 0, 4, 1}, {0xC0, 0, 5, 1},
        {0x41, 0, 2, 2},  // the reconcile mark does not change the status image
        {0x01, 0, 1, 2}, {0x00, 1, 6, 1}, {0x40, 1, 6, 1}, {0x80, 1, 6, 1},
        {0xC1, 1, 6, 2}, {0x40, 2, 2, 1},  // only review state 1 is "waiting for review"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << std::hex << int{c.status} << " review " << int{c.review});
        CTransaction t;
        t.SetStatus(c.status);
        t.SetReviewState(c.review);
        EXPECT_EQ(StatusImage(t), c.image);
        EXPECT_EQ(ReconcileMarkImage(t), c.mark);
    }
}

class CellsOfALedger : public ::testing::Test {
  protected:
    void SetUp() override { test::InstallFixedDateFormat(); }
    void TearDown() override { SetDateFormatter(nullptr); }

    const CTransaction& Checking(const RecordId& id) const {
        const CTransaction* t = f_.checking->FindTransactionById(id);
        EXPECT_NE(t, nullptr);
        return *t;
    }

    // The first in register order.
    const CTransaction& ByPayee(const char* payee) const {
        for (const auto& t : f_.checking->Transactions()) {
            if (t->GetPayeeName() == payee)
                return *t;
        }
        ADD_FAILURE() << payee;
        return *f_.checking->Transactions().front();
    }

    LedgerFixture f_ = test::BuildLedgerFixture();
};

TEST_F(CellsOfALedger, RegisterCells) {
    const RegisterCellContext context{f_.data.get(), f_.checking, true, true};
    const CTransaction& transfer = ByPayee("Transfer");
    const CTransaction& fuel = ByPayee("Fuel Stop");  // the first: class Personal
    struct Case {
        const char* name;
        const CTransaction& t;
        std::uint16_t column;
        CellText cell;
    };
    const std::vector<Case> cases = {
        {"date", Checking(f_.memoId), 2, {"02/20/24", false, false}},
        {"check number", Checking(f_.checkId), 3, {"1042", false, false}},
        {"type name (the short one)", Checking(f_.cafeId), 3, {"W/D", false, false}},
        {"payee in Windows-1252",
         Checking(f_.cafeId),
         4,
         {"Caf\xC3\xA9 M\xC3\xBCller", false, false}},
        {"parent and child category", fuel, 5, {"Auto:Fuel", false, false}},
        {"split", Checking(f_.splitId), 5, {"-SPLIT-", false, false}},
        {"transfer", transfer, 5, {"[Savings]", false, false}},
        {"no category", Checking(f_.checkId), 5, {"", false, false}},
        {"class", fuel, 6, {"Personal", false, false}},
        // Line breaks stay here; the cell drawing takes them out.
        {"memo", Checking(f_.memoId), 7, {"Meter read on site\r\nsecond line", false, false}},
        {"outflow amount", Checking(f_.memoId), 8, {"$-31.50", true, true}},
        {"void amount", Checking(f_.voidId), 8, {"$-99.00", true, true}},
        {"the status column has no text", Checking(f_.memoId), 0, {}},
        {"nor the icon column", Checking(f_.memoId), 1, {}},
        {"nor an unknown id", Checking(f_.memoId), 21, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ListRegisterCellText(context, c.t, c.column, 0), c.cell);
    }
    EXPECT_EQ(ListRegisterCellText(context, fuel, 9, -55), (CellText{"$-.55", true, true}));

    const RegisterCellContext pounds{f_.data.get(), f_.savings, false, false};
    EXPECT_EQ(ListRegisterCellText(pounds, transfer, 9, 123456), (CellText{"\xC2\xA3"
                                                                           "1235",
                                                                           true, false}));
    EXPECT_EQ(ListRegisterCellText(pounds, Checking(f_.memoId), 2, 0).text, "02/20");
    // Before a data set is loaded a list has nothing to show.
    EXPECT_EQ(ListRegisterCellText({}, Checking(f_.memoId), 4, 0), CellText{});
}

TEST_F(CellsOfALedger, MeasureTexts) {
    const RegisterCellContext noCents{f_.data.get(), f_.checking, false, true};
    const CTransaction& check = Checking(f_.checkId);
    EXPECT_EQ(RegisterMeasureText(noCents, check, 3, 0), "XXXXXX");
    EXPECT_EQ(RegisterMeasureText(noCents, check, 8, 0), "$-120.00");
    EXPECT_EQ(RegisterMeasureText(noCents, check, 9, 98765), "$988");
    EXPECT_EQ(RegisterMeasureText(noCents, check, 4, 0), "Landlord");
    EXPECT_EQ(RegisterMeasureText(noCents, check, 0, 0), "");
}

TEST_F(CellsOfALedger, DetailAmountOfASplit) {
    const RegisterCellContext context{f_.data.get(), f_.checking, true, true};
    const CTransaction& split = Checking(f_.splitId);
    const CTransaction& plain = Checking(f_.cafeId);
    struct Case {
        int kind;
        bool whole;
        RecordId rowId;
        const char* splitText;
    };
    const std::vector<Case> cases = {
        {kReportByPayee, false, kNoneId, "$-200.00"},
        {kReportByPayee, true, kNoneId, "$-200.00"},
        {kReportByCategory, false, test::kGroceriesId, "$-80.00"},
        {kReportByCategory, true, test::kGroceriesId, "$-200.00"},
        {kReportByClass, false, f_.personalClass, "$-80.00"},
        {kReportByClass, true, f_.personalClass, "$-200.00"},
        {kReportByClass, false, f_.businessClass, "$0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " whole " << c.whole);
        const DetailAmountRule rule{c.kind, c.whole, c.rowId};
        EXPECT_EQ(DetailAmountCell(context, rule, split).text, c.splitText);
        EXPECT_EQ(DetailAmountCell(context, rule, plain).text, "$-12.75");
    }
}

}  // namespace
}  // namespace tallowmere::ui
