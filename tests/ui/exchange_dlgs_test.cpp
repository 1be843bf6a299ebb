// The export-range and import-target dialogs as the user meets them: the
// choice shown on opening, what a date change and the radios do, and the
// import target chosen through the dialog by a QIF import.
#include <gtest/gtest.h>

#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "exchange/qif_importer.h"
#include "model/accounts.h"
#include "model/preferences.h"
#include "ui/export_dlg.h"
#include "ui/list_test_support.h"
#include "ui/palm_date.h"
#include "ui/scripted_services.h"
#include "ui/select_import_account_dlg.h"
#include "ui_logic/upcoming_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

template <typename W>
W* Control(const QWidget& dialog, int id) {
    return dialog.findChild<W*>(QStringLiteral("id_%1").arg(id));
}

class ExchangeDialogsTest : public test::DialogSceneTest {
  protected:
    test::ScriptedServices services_;
};

int Checked(const QDialog& dialog) {
    for (const int id : {kExportAllRadio, kExportSelectedRadio, kExportRangeRadio}) {
        if (Control<QRadioButton>(dialog, id)->isChecked())
            return id;
    }
    return 0;
}

// Showing the last export's dates is no choice of the user's: All stays.
TEST_F(ExchangeDialogsTest, ExportOpensOnTheStoredChoiceWhateverTheDatesShown) {
    struct Case {
        std::uint32_t type;
        bool noSelection;
        int checked;
        bool selectedEnabled;
    };
    const Case cases[] = {
        {0, false, kExportAllRadio, true},
        {1, false, kExportSelectedRadio, true},
        {1, true, kExportAllRadio, false},
        {2, true, kExportRangeRadio, false},
    };
    SetPrefLastExportDate(At(2012, 2, 20, 23, 59, 59));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        SetPrefLastExportType(c.type);
        ExportRange range = ExportRangeFromPrefs(c.noSelection);
        CExportDlg dialog(range);
        EXPECT_EQ("Export Transactions", dialog.windowTitle());
        EXPECT_EQ(c.checked, Checked(dialog));
        EXPECT_EQ(c.selectedEnabled,
                  Control<QRadioButton>(dialog, kExportSelectedRadio)->isEnabled());
        EXPECT_EQ(QDate(2012, 2, 20), Control<QDateEdit>(dialog, kExportFrom)->date());
        EXPECT_EQ(QDate(2012, 3, 15), Control<QDateEdit>(dialog, kExportTo)->date());
    }
}

TEST_F(ExchangeDialogsTest, AUsersDateChangeSelectsDateRangeAndFromAfterToStays) {
    ExportRange range{kExportAll, 0, 0, false};
    CExportDlg dialog(range);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(kExportAllRadio, Checked(dialog));
    EXPECT_EQ("All Transactions", Control<QRadioButton>(dialog, kExportAllRadio)->text());
    EXPECT_EQ("Selected Transactions", Control<QRadioButton>(dialog, kExportSelectedRadio)->text());
    EXPECT_EQ("Date Range", Control<QRadioButton>(dialog, kExportRangeRadio)->text());
    test::SaveRender(dialog, QStringLiteral("export"));

    auto* from = Control<QDateEdit>(dialog, kExportFrom);
    from->setFocus();
    from->setCurrentSection(QDateTimeEdit::YearSection);
    QTest::keyClick(from, Qt::Key_Up);
    ASSERT_EQ(QDate(2013, 2, 14), from->date());
    EXPECT_EQ(kExportRangeRadio, Checked(dialog));

    QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
    ASSERT_EQ(1u, services_.messages.size());
    EXPECT_EQ(259, services_.messages[0].stringId);
    EXPECT_TRUE(dialog.isVisible());

    from->setDate(QDate(2012, 3, 1));
    QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
    EXPECT_EQ(1, dialog.result());
    EXPECT_EQ(kExportDateRange, range.choice);
    EXPECT_EQ(At(2012, 3, 1), range.start);
    EXPECT_EQ(At(2012, 3, 15, 23, 59, 59), range.end);
}

TEST_F(ExchangeDialogsTest, RunExportStoresTheChoiceAndTheEndOnlyOnOk) {
    SetPrefLastExportType(2);
    SetPrefLastExportDate(At(2012, 1, 31, 23, 59, 59));
    ExportRange range;
    EXPECT_EQ(2, RunExportDialog(nullptr, false, range));  // cancelled
    EXPECT_EQ(At(2012, 1, 31, 23, 59, 59), GetPrefLastExportDate());
    services_.dialogScripts.push_back([](QDialog& d) {
        d.findChild<QRadioButton*>("id_1154")->setChecked(true);
        QTest::mouseClick(d.findChild<QPushButton*>("id_1"), Qt::LeftButton);
        return d.result();
    });
    EXPECT_EQ(1, RunExportDialog(nullptr, false, range));
    EXPECT_EQ(kExportAll, range.choice);
    EXPECT_EQ(0u, GetPrefLastExportType());
    EXPECT_EQ(At(2012, 3, 15, 23, 59, 59), GetPrefLastExportDate());
}

TEST_F(ExchangeDialogsTest, TheRadiosSwitchBetweenTheNameAndTheList) {
    int paneRefreshes = 0;
    CSelectImportAccountDlg dialog([&] { ++paneRefreshes; });
    dialog.Load(*data_, "Brokerage");
    EXPECT_EQ("Select Account", dialog.windowTitle());
    auto* name = Control<QLineEdit>(dialog, kImportName);
    auto* list = Control<QListWidget>(dialog, kImportList);
    EXPECT_EQ("Brokerage", name->text());
    EXPECT_EQ(5, list->count());
    EXPECT_EQ("American Express", list->item(0)->text());
    EXPECT_TRUE(Control<QRadioButton>(dialog, kImportNewRadio)->isChecked());
    EXPECT_TRUE(name->isEnabled());
    EXPECT_FALSE(list->isEnabled());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    test::SaveRender(dialog, QStringLiteral("select_import_account"));

    QTest::mouseClick(Control<QRadioButton>(dialog, kImportExistingRadio), Qt::LeftButton);
    EXPECT_FALSE(name->isEnabled());
    EXPECT_TRUE(list->isEnabled());
    QTest::mouseClick(Control<QRadioButton>(dialog, kImportNewRadio), Qt::LeftButton);
    EXPECT_TRUE(name->isEnabled());
    EXPECT_FALSE(list->isEnabled());
    EXPECT_EQ(name, QApplication::focusWidget());

    // A double click in the list picks that account and confirms.
    QTest::mouseClick(Control<QRadioButton>(dialog, kImportExistingRadio), Qt::LeftButton);
    const QRect savings = list->visualItemRect(list->item(3));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, savings.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, savings.center());
    EXPECT_EQ(1, dialog.result());
    EXPECT_EQ(&Account("Savings"), dialog.Chosen());
    EXPECT_EQ(0, paneRefreshes);
    EXPECT_TRUE(services_.messages.empty());
}

// A QIF file naming an account the data set does not hold asks the dialog;
// Cancel gives the import up.
TEST_F(ExchangeDialogsTest, AQifImportAsksForItsTargetThroughTheDialog) {
    const std::string path = test::MakeTempDir("qif") + "/file.qif";
    test::WriteFileBytes(path,
                         "!Account\nNBrokerage\nTBank\n^\n!Type:Bank\nD3/7/2012\nT-10.00\n"
                         "PShop\n^\n");
    int paneRefreshes = 0;
    CSelectImportAccountDlg chooser([&] { ++paneRefreshes; });
    {
        exchange::CQIFImporter importer(data_.get(), nullptr);
        importer.SetTargetChooser(&chooser);
        // Nowhere to go: the import ends there, as a format error would.
        EXPECT_EQ(0, importer.Import(path));
        EXPECT_EQ(0u, importer.GetImportedCount());
        EXPECT_EQ(5u, data_->GetAccountCount());
        EXPECT_EQ(0, paneRefreshes);
    }
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ("Brokerage", d.findChild<QLineEdit*>("id_1000")->text());
        QTest::mouseClick(d.findChild<QPushButton*>("id_1"), Qt::LeftButton);
        return d.result();
    });
    exchange::CQIFImporter importer(data_.get(), nullptr);
    importer.SetTargetChooser(&chooser);
    EXPECT_EQ(0, importer.Import(path));
    CAccount* brokerage = data_->FindAccountByName("Brokerage");
    ASSERT_NE(nullptr, brokerage);
    EXPECT_EQ(brokerage, chooser.Chosen());
    EXPECT_EQ(1u, brokerage->Transactions().size());
    EXPECT_EQ(1, paneRefreshes);
    EXPECT_EQ(2u, services_.dialogs.size());
}

TEST_F(ExchangeDialogsTest, ARefusedNameKeepsTheDialogWithTheNameSelected) {
    CSelectImportAccountDlg dialog;
    dialog.Load(*data_, "checking");
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
    ASSERT_EQ(1u, services_.messages.size());
    EXPECT_EQ(266, services_.messages[0].stringId);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(nullptr, dialog.Chosen());
    auto* name = Control<QLineEdit>(dialog, kImportName);
    EXPECT_EQ(name, QApplication::focusWidget());
    EXPECT_EQ("checking", name->selectedText());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(2, dialog.result());
}

}  // namespace
}  // namespace tallowmere::ui
