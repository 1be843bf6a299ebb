#include "ui/list_editor_dlgs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "model/accounts.h"
#include "ui/choose_icon_dlg.h"
#include "ui/edit_record_dlgs.h"
#include "ui/icon_painter.h"
#include "ui/icon_resource_list.h"
#include "ui/list_editor_ctrls.h"
#include "ui/list_test_support.h"
#include "ui/owner_list_model.h"
#include "ui/scripted_services.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

template <typename W>
W* Control(const QWidget& dialog, int id) {
    return dialog.findChild<W*>(QStringLiteral("id_%1").arg(id));
}

class ListEditorDlgsTest : public test::DataSetTest {
  protected:
    void SetUp() override {
        test::DataSetTest::SetUp();
        QApplication::setFont(test::ListTestFont());
    }
    void TearDown() override {
        QApplication::setFont(QFont());
        test::DataSetTest::TearDown();
    }
    void Show(QDialog& dialog) {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    static void Click(const QWidget& dialog, int id) {
        auto* button = Control<QPushButton>(dialog, id);
        ASSERT_NE(button, nullptr) << id;
        ASSERT_TRUE(button->isEnabled()) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static void ClickRow(CRecordListCtrl& list, int row, bool twice = false) {
        list.EnsureVisible(row);
        const QPoint at = list.visualRect(list.Model().index(row, 0)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    }
    static bool Enabled(const QWidget& dialog, int id) {
        return Control<QPushButton>(dialog, id)->isEnabled();
    }
    // The next record dialog: checks its opening, types, renders and OKs.
    void ScriptRecord(std::function<void(QDialog&)> fill, const char* render = nullptr) {
        services_.dialogScripts.push_back([fill, render](QDialog& dialog) {
            dialog.show();
            EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }));
            fill(dialog);
            if (render != nullptr)
                test::SaveRender(dialog, render);
            if (dialog.isVisible())
                QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
            return dialog.result();
        });
    }
    static void Type(const QDialog& dialog, int id, const QString& text) {
        auto* edit = Control<QLineEdit>(dialog, id);
        ASSERT_NE(edit, nullptr) << id;
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    test::ScriptedServices services_;
    CIconResourceList iconSet_;
    IconPainter icons_;
};

TEST_F(ListEditorDlgsTest, EachListShowsItsRecordsColumnsAndButtons) {
    struct Case {
        const char* render;
        std::function<std::unique_ptr<CListEditorDlg>()> make;
        const char* name;
        const char* caption;
        QStringList columns;
        int listId;
        int rows;
        bool setAsBase;
    };
    const Case cases[] = {
        {"categories",
         [&] { return std::make_unique<CCategoryListDlg>(*data_, iconSet_, icons_); },
         "id_1593",
         "Edit Categories",
         {"Category"},
         1084,
         30,
         false},
        {"classes",
         [&] { return std::make_unique<CClassListDlg>(*data_); },
         "id_1594",
         "Edit Classes",
         {"Class"},
         1085,
         2,
         false},
        {"currencies",
         [&] { return std::make_unique<CCurrencyListDlg>(*data_); },
         "id_179",
         "Edit Currencies",
         {"Symbol", "Conversion", "Base"},
         1081,
         32,
         true},
        {"payees",
         [&] { return std::make_unique<CPayeesListDlg>(*data_); },
         "id_1592",
         "Edit Payees",
         {"Payee"},
         1083,
         0,
         false},
        {"types",
         [&] { return std::make_unique<CTransactionTypesDlg>(*data_); },
         "id_1595",
         "Edit Transaction Types",
         {"Name", "Type"},
         1086,
         7,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.render);
        const std::unique_ptr<CListEditorDlg> dialog = c.make();
        Show(*dialog);
        EXPECT_EQ(dialog->objectName(), c.name);
        EXPECT_EQ(dialog->windowTitle(), c.caption);
        CRecordListCtrl* list = Control<CRecordListCtrl>(*dialog, c.listId);
        ASSERT_EQ(list, &dialog->List());
        QStringList titles;
        int total = 0;
        for (int i = 0; i < list->GetColumnCount(); ++i) {
            titles << list->Model().headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
            total += list->header()->sectionSize(i);
        }
        EXPECT_EQ(titles, c.columns);
        EXPECT_EQ(total, list->GetClientWidth());  // the spare width shared out
        EXPECT_EQ(list->GetItemCount(), c.rows);
        const struct {
            int id;
            const char* text;
        } buttons[] = {{1, "Done"}, {1003, "&New..."}, {1004, "&Edit..."}, {101, "&Delete..."}};
        for (const auto& b : buttons)
            EXPECT_EQ(Control<QPushButton>(*dialog, b.id)->text(), b.text) << b.id;
        EXPECT_TRUE(Control<QPushButton>(*dialog, 1)->isDefault());
        EXPECT_EQ(Control<QPushButton>(*dialog, 102) != nullptr, c.setAsBase);
        for (const int id : {1004, 101})
            EXPECT_FALSE(Enabled(*dialog, id)) << id;
        if (c.rows > 0) {
            ClickRow(*list, 1);
            for (const int id : {1004, 101})
                EXPECT_TRUE(Enabled(*dialog, id)) << id;
            if (c.setAsBase) {
                EXPECT_TRUE(Enabled(*dialog, 102));
            }
        }
        test::SaveRender(*dialog, c.render);
    }
}

TEST_F(ListEditorDlgsTest, ANewSubcategoryIsSelectedAndDoneNamesItsPath) {
    CCategoryListDlg dialog(*data_, iconSet_, icons_);
    Show(dialog);
    ScriptRecord(
        [](QDialog& record) {
            EXPECT_EQ(record.objectName(), "id_177");
            EXPECT_EQ(record.windowTitle(), "Edit Category");
            auto* name = Control<QLineEdit>(record, 1000);
            EXPECT_EQ(QApplication::focusWidget(), name);
            EXPECT_EQ(name->maxLength(), 32);
            auto* parent = Control<QComboBox>(record, 1019);
            EXPECT_EQ(parent->itemText(0), "<None>");
            EXPECT_EQ(parent->currentIndex(), 0);
            QTest::keyClicks(name, "Tires");
            parent->setCurrentIndex(parent->findText("Auto"));
            emit parent->activated(parent->currentIndex());
            EXPECT_EQ(Control<CIconFrame>(record, 1017)->Icon(), 14);  // Auto's
        },
        "edit_category");
    Click(dialog, 1003);
    const int row =
        data_->Categories().IndexOfId(data_->Categories().FindOrCreateByPath("Auto:Tires", false));
    ASSERT_GE(row, 0);
    EXPECT_EQ(dialog.List().GetItemCount(), 31);
    EXPECT_EQ(dialog.List().GetFirstSelectedItem(), row);
    EXPECT_TRUE(Enabled(dialog, 1004));
    test::SaveRender(dialog, "categories_added");
    Click(dialog, 1);
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(dialog.ChosenName(), "Auto:Tires");
}

TEST_F(ListEditorDlgsTest, AfterADeleteNothingIsSelectedAndTheButtonsRest) {
    CClassListDlg dialog(*data_);
    Show(dialog);
    ClickRow(dialog.List(), 0);
    services_.answers.push_back(Answer::kYes);
    Click(dialog, 101);
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].stringId, 514);
    EXPECT_EQ(dialog.List().GetItemCount(), 1);
    EXPECT_EQ(dialog.List().GetFirstSelectedItem(), -1);
    EXPECT_FALSE(Enabled(dialog, 101));
    EXPECT_FALSE(Enabled(dialog, 1004));
    Click(dialog, 1);
    EXPECT_EQ(dialog.ChosenName(), "");
}

TEST_F(ListEditorDlgsTest, ADoubleClickEditsAndARefusedNameKeepsTheRecordDialogOpen) {
    CPayeesListDlg dialog(*data_);
    ASSERT_EQ(data_->Payees().AddSorted(std::make_unique<CPayeeItem>("Grocer")), 0);
    dialog.List().SetItemCount(1);
    Show(dialog);
    ScriptRecord(
        [this](QDialog& record) {
            EXPECT_EQ(record.objectName(), "id_131");
            EXPECT_EQ(record.windowTitle(), "Edit Payee");
            auto* name = Control<QLineEdit>(record, 1000);
            EXPECT_EQ(QApplication::focusWidget(), name);
            EXPECT_EQ(name->selectedText(), "Grocer");
            name->clear();
            QTest::mouseClick(Control<QPushButton>(record, 1), Qt::LeftButton);
            EXPECT_TRUE(record.isVisible());
            ASSERT_EQ(services_.messages.size(), 1u);
            EXPECT_EQ(services_.messages[0].stringId, 509);
            EXPECT_EQ(services_.messages[0].text, "That is not a valid name. ");
            EXPECT_EQ(QApplication::focusWidget(), name);
            QTest::keyClicks(name, "Baker & Sons");
        },
        "edit_payee");
    ClickRow(dialog.List(), 0, true);
    EXPECT_EQ(services_.dialogs, std::vector<QString>{"id_131"});
    EXPECT_NE(Reload()->Payees().FindByName("Baker & Sons"), nullptr);
    EXPECT_EQ(dialog.List().GetFirstSelectedItem(), 0);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), 2);
    EXPECT_EQ(dialog.ChosenName(), "");
}

TEST_F(ListEditorDlgsTest, TheRecordDialogsOfClassesCurrenciesAndTypes) {
    CClassListDlg classes(*data_);
    Show(classes);
    ScriptRecord(
        [](QDialog& record) {
            EXPECT_EQ(record.objectName(), "id_176");
            EXPECT_EQ(record.windowTitle(), "Edit Class");
            QTest::keyClicks(Control<QLineEdit>(record, 1000), "Charity");
        },
        "edit_class");
    Click(classes, 1003);
    EXPECT_EQ(classes.List().GetFirstSelectedItem(), 1);

    CCurrencyListDlg currencies(*data_);
    Show(currencies);
    ScriptRecord(
        [](QDialog& record) {
            EXPECT_EQ(record.objectName(), "id_178");
            EXPECT_EQ(record.windowTitle(), "Edit Currency");
            EXPECT_EQ(Control<QLineEdit>(record, 1018)->maxLength(), 4);
            EXPECT_EQ(Control<QLineEdit>(record, 1001)->text(), "1");
            EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(record, 1018));
            QTest::keyClicks(Control<QLineEdit>(record, 1018), "Zl");
            Type(record, 1001, "-4");
        },
        "edit_currency");
    Click(currencies, 1003);  // the rate is refused: the script gives up
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text, "Please enter a number.");
    EXPECT_EQ(currencies.List().GetItemCount(), 32);

    CTransactionTypesDlg types(*data_);
    Show(types);
    ScriptRecord(
        [](QDialog& record) {
            EXPECT_EQ(record.objectName(), "id_180");
            EXPECT_EQ(record.windowTitle(), "Edit Transaction Type");
            auto* direction = Control<QComboBox>(record, 1020);
            ASSERT_EQ(direction->count(), 2);
            EXPECT_EQ(direction->itemText(0), "Deposit");
            EXPECT_EQ(direction->itemText(1), "Withdrawal");
            EXPECT_TRUE(direction->isEnabled());
            EXPECT_EQ(Control<QLineEdit>(record, 1000)->maxLength(), 15);
            QTest::keyClicks(Control<QLineEdit>(record, 1000), "Standing order");
            direction->setCurrentIndex(1);
        },
        "edit_type");
    Click(types, 1003);
    ASSERT_EQ(types.List().GetFirstSelectedItem(), 7);
    const auto* made = dynamic_cast<CTransactionType*>(data_->TransactionTypes().GetAt(7, false));
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsDebit());
    ScriptRecord([](QDialog& record) {
        EXPECT_FALSE(Control<QComboBox>(record, 1020)->isEnabled());
        EXPECT_EQ(Control<QComboBox>(record, 1020)->currentIndex(), 1);
    });
    Click(types, 1004);
    EXPECT_EQ(services_.dialogs.size(), 4u);

    // A name longer than can be typed, as the handheld may bring one.
    auto* longer = dynamic_cast<CTransactionType*>(data_->TransactionTypes().GetAt(7, false));
    longer->SetName("Standing order payments");
    ScriptRecord([](QDialog& record) {
        EXPECT_EQ(Control<QLineEdit>(record, 1000)->text(), "Standing order payments");
    });
    Click(types, 1004);
    EXPECT_EQ(longer->GetName(), "Standing order payments");
    test::SaveRender(types, "types_added");
}

TEST_F(ListEditorDlgsTest, TheIconButtonTakesTheChosenIcon) {
    CCategoryListDlg dialog(*data_, iconSet_, icons_);
    Show(dialog);
    ScriptRecord([this](QDialog& record) {
        EXPECT_EQ(Control<CIconFrame>(record, 1017)->Icon(), 46);  // Misc's own
        services_.dialogScripts.push_back([](QDialog& chooser) {
            EXPECT_EQ(chooser.objectName(), "id_137");
            auto& choose = dynamic_cast<CChooseIconDlg&>(chooser);
            EXPECT_EQ(choose.GetSelection(), 46);
            choose.SetSelection(12);
            choose.accept();
            return chooser.result();
        });
        Click(record, 4);
        EXPECT_EQ(Control<CIconFrame>(record, 1017)->Icon(), 12);
    });
    const RecordId misc = data_->Categories().FindOrCreateByPath("Misc", false);
    ClickRow(dialog.List(), data_->Categories().IndexOfId(misc));
    Click(dialog, 1004);
    EXPECT_EQ(data_->Categories().FindById(misc)->GetIcon(), 12);
    EXPECT_EQ(Reload()->Categories().FindById(misc)->GetIcon(), 12);
}

TEST_F(ListEditorDlgsTest, SubcategoriesAreDrawnIndentedBehindTheirIcon) {
    CCategoryListCtrl list(*data_, icons_, nullptr);
    const auto firstInk = [&](const char* path) {
        QImage image(200, 23, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        const int row =
            data_->Categories().IndexOfId(data_->Categories().FindOrCreateByPath(path, false));
        list.DrawCell(painter, image.rect(), kListColumnCategory, list.GetItemObject(row), row);
        painter.end();
        for (int x = 0; x < image.width(); ++x) {
            for (int y = 0; y < image.height(); ++y) {
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    return x;
            }
        }
        return -1;
    };
    const int top = firstInk("Auto");
    ASSERT_GE(top, 0);
    EXPECT_EQ(firstInk("Auto:Fuel"), top + 20);  // the same icon, 20 pixels in
    EXPECT_EQ(list.GetItemText(list.GetItemObject(1), kListColumnCategory), "Fuel");
}

TEST_F(ListEditorDlgsTest, TheEntryPointsGiveTheChosenNameOnDoneOnly) {
    services_.dialogScripts.push_back([](QDialog& dialog) {
        auto& editor = dynamic_cast<CListEditorDlg&>(dialog);
        editor.List().SetSelection(1, true);
        QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
        return dialog.result();
    });
    const ListEditorResult chosen = RunCategoryListDialog(nullptr, *data_);
    EXPECT_EQ(chosen.code, 1);
    EXPECT_EQ(chosen.chosenName, "Auto:Fuel");

    services_.dialogScripts.push_back([](QDialog& dialog) {
        dynamic_cast<CListEditorDlg&>(dialog).List().SetSelection(0, true);
        dialog.reject();
        return dialog.result();
    });
    const ListEditorResult cancelled = RunClassListDialog(nullptr, *data_);
    EXPECT_EQ(cancelled.code, 2);
    EXPECT_EQ(cancelled.chosenName, "");

    services_.dialogScripts.push_back([](QDialog& dialog) {
        QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
        return dialog.result();
    });
    EXPECT_EQ(RunPayeesListDialog(nullptr, *data_).chosenName, "");  // nothing selected
    RunCurrencyListDialog(nullptr, *data_);
    RunTransactionTypesDialog(nullptr, *data_);
    EXPECT_EQ(services_.dialogs,
              (std::vector<QString>{"id_1593", "id_1594", "id_1592", "id_179", "id_1595"}));
}

}  // namespace
}  // namespace tallowmere::ui
