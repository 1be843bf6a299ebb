#pragma once
// The program's commands with the numbers they have always had: menus,
// shortcuts and tests name a command by its number, and each command's
// action is "cmd_<number>".
namespace tallowmere::ui {

enum class CommandId : int {
    // File
    kNewAccount = 32780,
    kDeleteAccount = 32781,
    kAccountInfo = 32791,
    kGoOnline = 32805,
    kAdjustEndingBalance = 32792,
    kPurgeTransactions = 32793,
    kImportOfx = 32783,
    kImportQif = 32784,
    kImportCsv = 32785,
    kExportQif = 32787,
    kExportCsv = 32788,
    kAndroidSync = 32835,
    kFilePrint = 57607,
    kFilePrintPreview = 57609,
    kFilePrintSetup = 57606,
    kAppExit = 57665,
    // Edit
    kEditCut = 57635,
    kEditCopy = 57634,
    kEditPaste = 57637,
    kSelectAll = 32828,
    // Transaction
    kNewTransaction = 32789,
    kEditTransaction = 32771,
    kDeleteTransaction = 32772,
    kTransfer = 32790,
    kUpcomingTransactions = 32809,
    // Lists
    kEditPayees = 32795,
    kEditCategories = 32796,
    kEditClasses = 32797,
    kEditCurrencies = 32798,
    kEditTransactionTypes = 32799,
    kEditScheduled = 32800,
    // View
    kShowColumns = 32773,
    kRowColor = 32774,
    kSetFont = 32775,
    kPreferences = 32826,
    // User: the users menu takes 34000 to 34030, one id a user.
    kFirstUser = 34000,
    kLastUser = 34030,
    kSetPassword = 32782,
    // Help; the three web pages are on no menu.
    kHelpUserGuide = 32776,
    kHelpQuestions = 32777,
    kHelpSupport = 32778,
    kHelpDownload = 32779,
    kCheckForUpdates = 32839,
    kAppAbout = 57664,
};

constexpr int ToInt(CommandId id) {
    return static_cast<int>(id);
}

// Command numbers start here; smaller numbers in a menu table name pop-ups.
inline constexpr int kFirstCommandNumber = 0x8000;

}  // namespace tallowmere::ui
