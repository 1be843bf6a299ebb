#pragma once
// What the password dialogs ask of the application object: its users, the
// check of a typed password, the data cipher, and the change of a password.
// Passwords are Windows-1252 bytes, as the crib and the cipher take them.
#include <string_view>

namespace tallowmere {
class CAccounts;
class CUserItem;
class CUserList;
}  // namespace tallowmere

namespace tallowmere::ui {

class Messages;

class MPasswordApp {
  public:
    virtual ~MPasswordApp() = default;
    virtual const CUserList& Users() const = 0;
    // True when the password's crib equals the user's stored one over all
    // 40 bytes (a missing crib reads as 40 zeros, which "" matches).
    virtual bool VerifyPassword(CUserItem& user, std::string_view password) = 0;
    // Keys the data cipher; an empty password clears it.
    virtual void SetCipherKey(std::string_view password) = 0;
    virtual bool UserHasPassword(CUserItem& user) = 0;
    // Gives the user the new password (empty removes it) and rewrites the
    // user's account files with the new key. 0, or the failure's code once
    // its message is shown; a failure changes nothing.
    virtual int ChangePassword(CUserItem& user, std::string_view password, CAccounts* dataSet,
                               Messages& messages) = 0;
};

}  // namespace tallowmere::ui
