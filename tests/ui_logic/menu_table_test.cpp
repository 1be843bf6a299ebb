#include "ui/logic/menu_table.h"

#include <gtest/gtest.h>

#include <string>

#include "model/string_table.h"

namespace tallowmere::ui {
namespace {

// The menu as an outline: one line an entry, indented by depth, with the id
// of each command and its shortcut after a tab.
void Outline(const std::vector<MenuEntry>& table, int parent, int depth, std::string& out) {
    for (const MenuEntry& e : MenuChildren(table, parent)) {
        out += std::string(2 * depth, ' ');
        if (e.IsSeparator()) {
            out += "---\n";
            continue;
        }
        out += e.text;
        if (!e.IsPopup())
            out += " [" + std::to_string(e.id) + "]";
        if (!e.shortcut.empty())
            out += "\t" + e.shortcut;
        out += "\n";
        if (e.IsPopup())
            Outline(table, e.id, depth + 1, out);
    }
}

TEST(MainMenu, IsLaidOutOnce) {
    const char* const expect =
        "&File\n"
        "  New Account... [32780]\n"
        "  Delete Account... [32781]\n"
        "  Account Info... [32791]\n"
        "  ---\n"
        "  Go Online... [32805]\n"
        "  Adjust Ending Balance... [32792]\n"
        "  Purge Transactions... [32793]\n"
        "  ---\n"
        "  &Import\n"
        "    OFX File... [32783]\n"
        "    QIF File... [32784]\n"
        "    CSV File... [32785]\n"
        "  &Export\n"
        "    QIF File... [32787]\n"
        "    CSV File... [32788]\n"
        "  ---\n"
        "  Android Sync... [32835]\n"
        "  ---\n"
        "  &Print... [57607]\tCtrl+P\n"
        "  Print Pre&view [57609]\n"
        "  P&rint Setup... [57606]\n"
        "  ---\n"
        "  E&xit [57665]\n"
        "&Edit\n"
        "  Cut [57635]\n"
        "  Copy [57634]\n"
        "  Paste [57637]\n"
        "  ---\n"
        "  Select All [32828]\tCtrl+A\n"
        "&Transaction\n"
        "  New... [32789]\tCtrl+N\n"
        "  Edit... [32771]\n"
        "  Delete... [32772]\tDEL\n"
        "  ---\n"
        "  Transfer... [32790]\n"
        "  ---\n"
        "  Upcoming Transactions... [32809]\n"
        "&Lists\n"
        "  Edit Payees... [32795]\n"
        "  Edit Categories... [32796]\n"
        "  Edit Classes... [32797]\n"
        "  Edit Currencies... [32798]\n"
        "  Edit Transaction Types... [32799]\n"
        "  ---\n"
        "  Edit Scheduled Transactions... [32800]\n"
        "&View\n"
        "  Show Columns... [32773]\n"
        "  Row Color... [32774]\n"
        "  Set Font... [32775]\n"
        "  ---\n"
        "  Preferences... [32826]\n"
        "&User\n"
        "  Users [34000]\n"
        "  ---\n"
        "  Set Password... [32782]\n"
        "&Help\n"
        "  User Guide... [32776]\n"
        "  Check f&or Updates... [32839]\n"
        "  ---\n"
        "  &About Tallowmere Desktop... [57664]\n";
    std::string outline;
    Outline(MainMenuTable(), 0, 0, outline);
    EXPECT_EQ(outline, expect);

    // Every command has its status-bar prompt under its own number.
    for (const MenuEntry& e : MainMenuTable()) {
        if (!e.IsSeparator() && !e.IsPopup()) {
            EXPECT_FALSE(LoadString(e.id).empty()) << e.id;
        }
    }
}

TEST(MenuTable, ReadsFieldsEscapesAndStringsInPositionOrder) {
    std::string error;
    const std::vector<MenuEntry> table = ParseMenuTable(
        "# comment\n"
        "7\t0\t0\t&Menu\r\n"
        "33002\t7\t2\tDelete...\\tDEL\n"
        "0\t7\t1\t-\n"
        "33001\t7\t0\t@57344\n"
        "\n"
        "8\t7\t3\tSub\n"
        "33003\t8\t0\tA \\\\ B\n",
        &error);
    EXPECT_EQ(error, "");
    const std::vector<MenuEntry> expect = {
        {7, 0, 0, "&Menu", ""}, {33001, 7, 0, "Tallowmere Desktop", ""},
        {0, 7, 1, "", ""},      {33002, 7, 2, "Delete...", "DEL"},
        {8, 7, 3, "Sub", ""},   {33003, 8, 0, "A \\ B", ""},
    };
    EXPECT_EQ(table, expect);
}

TEST(MenuTable, BrokenTablesGiveNothing) {
    struct Case {
        const char* table;
        const char* error;
    };
    const Case cases[] = {
        {"7\t0\t0\tMenu\n33001\t7\t0\n", "line 2: not four fields: id, parent, position, text"},
        {"7\t0\t0\tMenu\n33001\t7\tx\tA\n", "line 2: not four fields: id, parent, position, text"},
        {"7\t0\t0\tMenu\n33001\t7\t-1\tA\n", "line 2: not four fields: id, parent, position, text"},
        {"7\t0\t0\tMenu\n33001\t9\t0\tA\n", "line 2: parent 9 is no pop-up"},
        {"7\t0\t0\tMenu\n33001\t33001\t0\tA\n", "line 2: parent 33001 is no pop-up"},
        {"33001\t0\t0\tA\n", "line 1: the menu bar holds pop-ups only"},
        {"7\t0\t0\tMenu\n33001\t7\t0\tA\n33001\t7\t1\tB\n", "line 3: id 33001 twice"},
        {"7\t0\t0\tMenu\n33001\t7\t1\tA\n", "line 0: positions in 7 do not run 0, 1, 2 ..."},
        {"7\t0\t0\tMenu\n33001\t7\t0\tA\n33002\t7\t0\tB\n",
         "line 0: positions in 7 do not run 0, 1, 2 ..."},
        {"7\t0\t0\tMenu\n0\t7\t0\tA\n", "line 2: a separator's text is \"-\""},
        {"7\t0\t0\tMenu\n33001\t7\t0\t\\tCtrl+N\n", "line 2: no text"},
        {"7\t0\t0\tMenu\n33001\t7\t0\t@99999\n", "line 2: no text"},
        {"7\t0\t0\tMenu\\tCtrl+M\n", "line 1: a pop-up has no shortcut"},
        {"7\t0\t0\tMenu\n8\t9\t0\tA\n9\t8\t0\tB\n", "line 2: pop-ups in a ring"},
        {"7\t0\t0\tMenu\n8\t8\t0\tA\n", "line 2: pop-ups in a ring"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_TRUE(ParseMenuTable(c.table, &error).empty()) << c.table;
        EXPECT_EQ(error, c.error) << c.table;
    }
}

}  // namespace
}  // namespace tallowmere::ui
