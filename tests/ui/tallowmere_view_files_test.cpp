// Files in and out of the view: dropped files by extension, the import
// and export commands, and the account commands.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "exchange/desktop_load_options.h"
#include "model/preferences.h"
#include "platform/named_mutex.h"
#include "sync/sync_server.h"
#include "ui/register_list_ctrl.h"
#include "ui/view_fixture.h"
#include "ui/work_progress_wnd.h"

namespace tallowmere::test {
namespace {

using ui::Answer;
using ui::CTallowmereView;

constexpr char kCsvRow[] = "\"1/1/26\",\"W/D\",\"Dropped Csv\",\"\",\"\",\"\",\"\",\"-12.34\"\r\n";
constexpr char kQifText[] = "!Type:Bank\r\nD1/15/26\r\nT-7.00\r\nPDropped Qif\r\n^\r\n";
constexpr char kOfxText[] =
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
    "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n"
    "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>"
    "<DTSERVER>20240131<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1>"
    "<CREDITCARDMSGSRSV1><CCSTMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS>"
    "<CCSTMTRS><CURDEF>USD<CCACCTFROM><ACCTID>4111</CCACCTFROM>"
    "<BANKTRANLIST><DTSTART>20240101<DTEND>20240131"
    "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240105<TRNAMT>-5.00<FITID>Q1<NAME>Dropped Ofx</STMTTRN>"
    "</BANKTRANLIST><LEDGERBAL><BALAMT>-5.00<DTASOF>20240131</LEDGERBAL>"
    "</CCSTMTRS></CCSTMTTRNRS></CREDITCARDMSGSRSV1></OFX>";

int CountPayee(const CAccount& account, const std::string& payee) {
    int count = 0;
    for (const auto& t : account.Transactions())
        count += t->GetPayeeName() == payee ? 1 : 0;
    return count;
}

// The data folder as the core reads it.
std::unique_ptr<CAccounts> Reload(const std::string& folder) {
    std::unique_ptr<CAccounts> data;
    EXPECT_EQ(0, CAccounts::LoadInto(data, folder, DesktopLoadOptions(HeaderCipher::None())));
    return data;
}

// Presses OK in the import-target dialog (a new account of the name given).
int AcceptTarget(QDialog& dialog) {
    dialog.accept();
    return dialog.result();
}

TEST_F(ViewTest, DroppedFilesAreImportedByExtensionInOrder) {
    CTallowmereView& view = MakeView();
    CAccount* current = view.CurrentAccount();
    ASSERT_NE(nullptr, current);
    const std::string currentName = current->GetName();
    const std::string dir = MakeTempDir("drops");
    WriteFileBytes(dir + "/a.csv", kCsvRow);
    WriteFileBytes(dir + "/a.CSV", kCsvRow);
    std::filesystem::create_directory(dir + "/dir.csv");
    WriteFileBytes(dir + "/Dropped.qif", kQifText);
    WriteFileBytes(dir + "/c.ofx", kOfxText);
    WriteFileBytes(dir + "/e.txt", kCsvRow);
    services_.dialogScripts.push_back(AcceptTarget);

    view.ImportDroppedFiles({dir + "/a.csv", dir + "/a.CSV", dir + "/dir.csv", dir + "/Dropped.qif",
                             dir + "/c.ofx", dir + "/e.txt", dir + "/gone.csv"});

    // 197 for the upper-case extension, the folder, the text file and the
    // file that is not there; the rest were imported.
    std::vector<int> ids;
    for (const auto& m : services_.messages)
        ids.push_back(m.stringId);
    EXPECT_EQ((std::vector<int>{197, 197, 197, 197}), ids);
    // The QIF file without accounts asked for its target.
    EXPECT_EQ(std::vector<QString>{"id_185"}, services_.dialogs);

    EXPECT_EQ(1, CountPayee(*view.CurrentAccount(), "Dropped Csv"));
    EXPECT_EQ(1, CountPayee(*view.CurrentAccount(), "Dropped Ofx"));
    const CAccount* made = view.Data().FindAccountByName("Dropped");
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(1, CountPayee(*made, "Dropped Qif"));
    EXPECT_EQ(view.GetRegisterItemCount(), view.RegisterList()->GetItemCount());

    // Saved: the files hold it.
    const auto fresh = Reload(fixture_.folder);
    ASSERT_NE(nullptr, fresh->FindAccountByName(currentName));
    EXPECT_EQ(1, CountPayee(*fresh->FindAccountByName(currentName), "Dropped Csv"));
    EXPECT_EQ(1, CountPayee(*fresh->FindAccountByName(currentName), "Dropped Ofx"));
    ASSERT_NE(nullptr, fresh->FindAccountByName("Dropped"));
    EXPECT_EQ(1, CountPayee(*fresh->FindAccountByName("Dropped"), "Dropped Qif"));
}

TEST_F(ViewTest, TheImportCommandAsksForTheFileAndTheTarget) {
    CTallowmereView& view = MakeView();
    const std::string dir = MakeTempDir("menu_import");
    WriteFileBytes(dir + "/Menu Import.csv", kCsvRow);

    // Cancelled file dialog, then a cancelled target: nothing imported.
    services_.fileNames = {QString(), QString::fromStdString(dir + "/Menu Import.csv")};
    view.RunCommand(32785);
    view.RunCommand(32785);
    ASSERT_EQ(2u, services_.fileDialogs.size());
    EXPECT_EQ(QStringLiteral("Import File"), services_.fileDialogs[0].caption);
    EXPECT_EQ(QStringLiteral("CSV Files (*.csv)"), services_.fileDialogs[0].filter);
    EXPECT_EQ(nullptr, view.Data().FindAccountByName("Menu Import"));

    services_.fileNames = {QString::fromStdString(dir + "/Menu Import.csv")};
    services_.dialogScripts.push_back(AcceptTarget);
    view.RunCommand(32785);
    const CAccount* made = view.Data().FindAccountByName("Menu Import");
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(1, CountPayee(*made, "Dropped Csv"));
    EXPECT_TRUE(services_.messages.empty());

    services_.fileNames = {QString()};
    view.RunCommand(32783);
    EXPECT_EQ(QStringLiteral("OFX Files (*.ofx *.qfx)"), services_.fileDialogs.back().filter);
}

// Chooses the export dialog's radio and presses OK.
std::function<int(QDialog&)> ExportChoice(int radioId) {
    return [radioId](QDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("id_%1").arg(radioId))->setChecked(true);
        dialog.accept();
        return dialog.result();
    };
}

TEST_F(ViewTest, ExportWritesTheChosenTransactionsAnew) {
    CTallowmereView& view = MakeView();
    const std::string dir = MakeTempDir("export");
    const std::string path = dir + "/out.csv";
    // An older, longer file is replaced, not added to.
    WriteFileBytes(path, std::string(100000, 'x'));

    // All transactions.
    services_.fileNames = {QString::fromStdString(path)};
    services_.dialogScripts.push_back(ExportChoice(1154));
    view.RunCommand(32788);
    ASSERT_EQ(1u, services_.messages.size());
    EXPECT_EQ(186, services_.messages[0].stringId);
    EXPECT_EQ(QStringLiteral("Export File"), services_.fileDialogs[0].caption);
    EXPECT_EQ(QStringLiteral("CSV Files (*.csv)"), services_.fileDialogs[0].filter);
    const std::string all = ReadFileBytes(path);
    EXPECT_EQ(std::string::npos, all.find('x'));
    const CAccount& account = *view.CurrentAccount();
    EXPECT_NE(std::string::npos, all.find(account.Transactions().front()->GetPayeeName()));
    EXPECT_EQ(0, GetPrefLastExportType());

    // Selected rows only: the one selected row's transaction.
    view.RegisterList()->SetSelection(0, true);
    const CTransaction* first = view.RegisterList()->GetTransactionAt(0);
    ASSERT_NE(nullptr, first);
    services_.fileNames = {QString::fromStdString(dir + "/one.qif")};
    services_.dialogScripts.push_back(ExportChoice(1155));
    view.RunCommand(32787);
    const std::string one = ReadFileBytes(dir + "/one.qif");
    EXPECT_EQ(0u, one.rfind("!Type:", 0)) << "the type header comes first";
    EXPECT_EQ(1, static_cast<int>(std::count(one.begin(), one.end(), '^')));
    EXPECT_EQ(1, GetPrefLastExportType());

    // A file that cannot be made: 246 with the code.
    services_.fileNames = {QString::fromStdString(dir + "/missing/out.csv")};
    services_.dialogScripts.push_back(ExportChoice(1154));
    view.RunCommand(32788);
    EXPECT_EQ(246, services_.messages.back().stringId);
    EXPECT_EQ(std::vector<FormatArg>{std::int64_t{2}}, services_.messages.back().args);
}

TEST_F(ViewTest, NewAndDeleteAccount) {
    CTallowmereView& view = MakeView();
    const std::size_t count = view.Data().GetAccountCount();
    // Cancelled: nothing made.
    view.RunCommand(32780);
    EXPECT_EQ(count, view.Data().GetAccountCount());

    services_.dialogScripts.push_back([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("id_1000"))
            ->setText(QStringLiteral("Brokerage"));
        dialog.accept();
        return dialog.result();
    });
    view.RunCommand(32780);
    CAccount* made = view.Data().FindAccountByName("Brokerage");
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(made, view.CurrentAccount());
    EXPECT_NE(nullptr, Reload(fixture_.folder)->FindAccountByName("Brokerage"));

    // No keeps it; Yes deletes it and shows the first account.
    services_.answers = {Answer::kNo, Answer::kYes};
    view.RunCommand(32781);
    EXPECT_EQ(133, services_.messages.back().stringId);
    EXPECT_EQ(Answer::kNo, services_.messages.back().defaultAnswer);
    EXPECT_NE(nullptr, view.Data().FindAccountByName("Brokerage"));
    view.RunCommand(32781);
    EXPECT_EQ(nullptr, view.Data().FindAccountByName("Brokerage"));
    EXPECT_EQ(view.Data().GetAccountAt(0), view.CurrentAccount());
    EXPECT_EQ(nullptr, Reload(fixture_.folder)->FindAccountByName("Brokerage"));
}

TEST_F(ViewTest, WithTheBusyLockHeldElsewhereFileCommandsDoNothing) {
    CTallowmereView& view = MakeView();
    const std::string dir = MakeTempDir("busy");
    WriteFileBytes(dir + "/a.csv", kCsvRow);
    const std::size_t accounts = view.Data().GetAccountCount();
    const std::size_t rows = view.CurrentAccount()->Transactions().size();
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::thread other([&] {
        platform::NamedMutex mutex(handheld::kDesktopBusyMutexName);
        ASSERT_TRUE(mutex.Lock(std::chrono::seconds(5)));
        held = true;
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        mutex.Unlock();
    });
    while (!held)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // Each waits out the lock and gives up without a word.
    view.ImportDroppedFiles({dir + "/a.csv", dir + "/none.txt"});
    view.RunCommand(32781);
    release = true;
    other.join();
    EXPECT_TRUE(services_.messages.empty());
    EXPECT_TRUE(services_.dialogs.empty());
    EXPECT_EQ(accounts, view.Data().GetAccountCount());
    EXPECT_EQ(rows, view.CurrentAccount()->Transactions().size());
}

}  // namespace
}  // namespace tallowmere::test
