// The view's account and list commands: which are enabled, which dialog
// each runs, and what the files hold afterwards.
#include <gtest/gtest.h>

#include <QDialog>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <memory>

#include "exchange/desktop_load_options.h"
#include "model/preferences.h"
#include "ui/register_list_ctrl.h"
#include "ui/view_fixture.h"

namespace tallowmere::test {
namespace {

using ui::CTallowmereView;

TEST_F(ViewTest, EachCommandRunsItsDialog) {
    CTallowmereView& view = MakeView();
    const struct {
        int command;
        const char* dialog;
    } cases[] = {
        {32791, "id_134"},  {32792, "id_141"},  {32793, "id_143"},  {32795, "id_1592"},
        {32796, "id_1593"}, {32797, "id_1594"}, {32798, "id_179"},  {32799, "id_1595"},
        {32773, "id_136"},  {32826, "id_170"},  {32800, "id_1590"}, {32809, "id_1591"},
        {32835, "id_197"},  {32782, "id_182"},
    };
    for (const auto& c : cases) {
        services_.dialogs.clear();
        ASSERT_TRUE(view.QueryCommand(c.command).has_value()) << c.command;
        EXPECT_TRUE(view.QueryCommand(c.command)->enabled) << c.command;
        view.RunCommand(c.command);
        ASSERT_FALSE(services_.dialogs.empty()) << c.command;
        EXPECT_EQ(QString::fromLatin1(c.dialog), services_.dialogs.front()) << c.command;
    }
    // Cancelled dialogs change no file.
    EXPECT_TRUE(services_.messages.empty());
}

TEST_F(ViewTest, AccountInfoOffersTheOnlineSetup) {
    CTallowmereView& view = MakeView();
    bool enabled = false;
    services_.dialogScripts.push_back([&enabled](QDialog& dialog) {
        const auto* button = dialog.findChild<QPushButton*>(QStringLiteral("id_3"));
        enabled = button != nullptr && button->isEnabled();
        return 2;
    });
    view.RunCommand(32791);
    EXPECT_TRUE(enabled);
}

TEST_F(ViewTest, TheUpdateCheckOpensTheDownloadPage) {
    CTallowmereView& view = MakeView();
    view.RunCommand(32839);
    ASSERT_EQ(1u, services_.urls.size());
    EXPECT_EQ(QUrl(QStringLiteral("https://www.brackwater.com/tallowmere/download")),
              services_.urls[0]);
}

TEST_F(ViewTest, AccountCommandsNeedAnAccount) {
    CTallowmereView& view = MakeView();
    view.ShowAccount(nullptr);
    for (const int id : {32781, 32791, 32792, 32793, 32787, 32788}) {
        ASSERT_TRUE(view.QueryCommand(id).has_value()) << id;
        EXPECT_FALSE(view.QueryCommand(id)->enabled) << id;
        view.RunCommand(id);
    }
    for (const int id : {32780, 32783, 32784, 32785, 32795, 32800, 34000})
        EXPECT_TRUE(view.QueryCommand(id)->enabled) << id;
    EXPECT_TRUE(services_.dialogs.empty());
    EXPECT_TRUE(services_.messages.empty());
}

TEST_F(ViewTest, PurgeSavesTheAccountAndKeepsTheSelection) {
    CTallowmereView& view = MakeView();
    CAccount* account = view.CurrentAccount();
    ASSERT_NE(nullptr, account);
    const int last = view.RegisterList()->GetItemCount() - 1;
    ASSERT_GT(last, 0);
    const RecordId kept = view.RegisterList()->GetTransactionAt(last)->GetId();
    view.RegisterList()->SetSelection(last, true);
    services_.dialogScripts.push_back([](QDialog& dialog) {
        // Reconciled transactions of every date.
        dialog.findChild<QRadioButton*>(QStringLiteral("id_1065"))->click();
        dialog.accept();
        return dialog.result();
    });
    // Yes to the dialog's question.
    services_.answers = {ui::Answer::kYes};
    const std::size_t before = account->Transactions().size();
    view.RunCommand(32793);
    EXPECT_LT(account->Transactions().size(), before);
    std::unique_ptr<CAccounts> fresh;
    ASSERT_EQ(
        0, CAccounts::LoadInto(fresh, fixture_.folder, DesktopLoadOptions(HeaderCipher::None())));
    EXPECT_EQ(account->Transactions().size(),
              fresh->FindAccountByName(account->GetName())->Transactions().size());
    const int row = view.RegisterList()->GetFirstSelectedItem();
    ASSERT_GE(row, 0);
    EXPECT_EQ(kept, view.RegisterList()->GetTransactionAt(row)->GetId());
}

TEST_F(ViewTest, DropsAreImportedAfterTheDropAndOnlyLocalFiles) {
    CTallowmereView& view = MakeView();
    const std::string dir = MakeTempDir("drop_event");
    WriteFileBytes(dir + "/note.txt", "x");
    QMimeData mime;
    mime.setUrls({QUrl(QStringLiteral("https://example.invalid/remote.csv")),
                  QUrl::fromLocalFile(QString::fromStdString(dir + "/note.txt"))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    // Sent as the window system would, past the application filters.
    static_cast<QObject&>(view).event(&drop);
    EXPECT_TRUE(drop.isAccepted());
    // Nothing while the drag source waits.
    EXPECT_TRUE(services_.messages.empty());
    QApplication::processEvents();
    // The remote address is left out; the local text file gets 197.
    ASSERT_EQ(1u, services_.messages.size());
    EXPECT_EQ(197, services_.messages[0].stringId);
}

TEST_F(ViewTest, RowColourAndFontAreKept) {
    CTallowmereView& view = MakeView();
    CAccount* account = view.CurrentAccount();
    ASSERT_NE(nullptr, account);
    // Register: the account's own colour, in its file (COLORREF: red low).
    services_.colors = {QColor(0x10, 0x20, 0x30)};
    view.RunCommand(32774);
    EXPECT_EQ(0x302010u, account->GetColor());
    std::unique_ptr<CAccounts> fresh;
    ASSERT_EQ(
        0, CAccounts::LoadInto(fresh, fixture_.folder, DesktopLoadOptions(HeaderCipher::None())));
    EXPECT_EQ(0x302010u, fresh->FindAccountByName(account->GetName())->GetColor());
    EXPECT_EQ(QColor(0x10, 0x20, 0x30), view.RegisterList()->GetEvenRowColor());
    // Cancelled: nothing changes.
    view.RunCommand(32774);
    EXPECT_EQ(0x302010u, account->GetColor());

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    font.setBold(true);
    services_.fonts = {font};
    view.RunCommand(32775);
    LogFont stored;
    ASSERT_TRUE(GetPrefDisplayFont(stored));
    EXPECT_EQ(-15, stored.height);
    EXPECT_EQ(700, stored.weight);
    EXPECT_STREQ("DejaVu Sans", stored.faceName.data());
    EXPECT_EQ(15, view.RegisterList()->font().pixelSize());
}

}  // namespace
}  // namespace tallowmere::test
