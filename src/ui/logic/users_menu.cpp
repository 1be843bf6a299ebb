#include "ui/logic/users_menu.h"

#include "model/users.h"

namespace tallowmere::ui {
namespace {

class EntryMenu final : public CUserList::MMenu {
  public:
    explicit EntryMenu(std::vector<UserMenuEntry>& entries) : entries_(entries) {}
    void RemoveAll() override { entries_.clear(); }
    void AppendItem(int commandId, const std::string& text, bool checked) override {
        entries_.push_back({commandId, text, std::string(), checked});
    }

  private:
    std::vector<UserMenuEntry>& entries_;
};

}  // namespace

std::vector<UserMenuEntry> UsersMenuEntries(CUserList& users, const CUserItem* current,
                                            int firstId) {
    std::vector<UserMenuEntry> entries;
    EntryMenu menu(entries);
    users.BuildMenu(menu, firstId, current);
    // The list gives the items in its order from firstId on.
    for (UserMenuEntry& entry : entries) {
        const auto index = static_cast<std::size_t>(entry.id - firstId);
        if (index < users.GetCount())
            entry.folder = users.GetAt(index)->GetFolderName();
    }
    return entries;
}

}  // namespace tallowmere::ui
