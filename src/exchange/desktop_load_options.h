#pragma once
// How the desktop loads a user's data set: with the user's cipher policy and
// the institution list, which lives in the online-banking layer.
#include "model/account_root.h"
#include "model/accounts.h"

namespace tallowmere {

// Makes the data set's "FiList.lst" list (a CFiList).
InstitutionListFactory FiListFactory();

// The desktop's options: the given cipher, no placeholders, the institution
// list; a load that succeeds moves the client-UID list to its folder.
AccountsLoadOptions DesktopLoadOptions(HeaderCipher cipher);

}  // namespace tallowmere
