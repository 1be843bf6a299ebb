#include "exchange/desktop_load_options.h"

#include <memory>
#include <utility>

#include "exchange/fi_list.h"

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
    return options;
}

}  // namespace tallowmere
