#pragma once
// The items of the users menu: one per user, at most as many as the menu
// has ids, the current user checked (the first when the current user is
// not among them). Each item carries the user's folder, so choosing it
// names the user even if the list changed while the menu was open.
#include <string>
#include <vector>

namespace tallowmere {
class CUserItem;
class CUserList;
}  // namespace tallowmere

namespace tallowmere::ui {

struct UserMenuEntry {
    int id = 0;
    std::string name;    // Windows-1252
    std::string folder;  // the user's data-folder name
    bool checked = false;
};

// The caller holds the users mutex.
std::vector<UserMenuEntry> UsersMenuEntries(CUserList& users, const CUserItem* current,
                                            int firstId);

}  // namespace tallowmere::ui
