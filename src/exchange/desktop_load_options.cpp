#include "exchange/desktop_load_options.h"

#include <memory>
#include <utility>

#include "exchange/fi_list.h"
#include "model/client_uid_list.h"

namespace tallowmere {

InstitutionListFactory FiListFactory() {
    RegisterFiItemClass();
    return [] { return std::unique_ptr<CFileList>(std::make_unique<CFiList>()); };
}

AccountsLoadOptions DesktopLoadOptions(HeaderCipher cipher) {
    AccountsLoadOptions options;
    options.cipher = std::move(cipher);
    options.includePlaceholders = false;
    options.makeInstitutionList = FiListFactory();
    // The client-UID list follows the desktop's user; the sync loads other
    // users' folders on its own thread and must not move it.
    options.afterLoad = [](const std::string& folder) { ClientUid::SetDataFolder(folder); };
    return options;
}

}  // namespace tallowmere
