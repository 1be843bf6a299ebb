#include "model/object.h"

#include <map>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "model/category.h"
#include "model/class_item.h"
#include "model/currency.h"
#include "model/palm_list_item.h"
#include "model/payee.h"
#include "model/payee_lookup.h"
#include "model/scheduled.h"
#include "model/transaction.h"
#include "model/transaction_type.h"

namespace tallowmere {

namespace {

// Every class name that the system's files may hold. A name whose class is not
// built in this program has no factory, so a file holding it fails to load.
// The online-banking layer registers the factory of its CFiItem itself.
const CRuntimeClass kBuiltInClasses[] = {
    {"CPalmListItem", &CreateForLoad<CPalmListItem>},
    {"CPalmFileList", nullptr},
    {"CCommonListItem", &CreateForLoad<CCommonListItem>},
    {"CCommonList", nullptr},
    {"CListItem", &CreateForLoad<CListItem>},
    {"CCategoryItem", &CreateForLoad<CCategoryItem>},
    {"CCategoryList", nullptr},
    {"CClassItem", &CreateForLoad<CClassItem>},
    {"CCurrencyItem", &CreateForLoad<CCurrencyItem>},
    {"CFiItem", nullptr},
    {"CPayeeItem", &CreateForLoad<CPayeeItem>},
    {"CPayeeLookupItem", &CreateForLoad<CPayeeLookupItem>},
    {"CScheduledItem", &CreateForLoad<CScheduledItem>},
    {"CTransaction", &CTransaction::CreateForRead},
    {"CTransactionType", &CreateForLoad<CTransactionType>},
};

struct Entry {
    std::string name;
    CRuntimeClass rc;
};

class Registry {
  public:
    Registry() {
        for (const auto& rc : kBuiltInClasses)
            Add(rc);
    }

    const CRuntimeClass* Find(std::string_view name) const {
        std::shared_lock lock(mutex_);
        auto it = byName_.find(name);
        return it == byName_.end() ? nullptr : it->second;
    }

    void Register(const CRuntimeClass& rc) {
        std::unique_lock lock(mutex_);
        Add(rc);
    }

  private:
    // Entries are never freed, so a record handed out stays valid when its
    // name is registered again.
    void Add(const CRuntimeClass& rc) {
        auto entry = std::make_unique<Entry>(Entry{std::string(rc.name), rc});
        entry->rc.name = entry->name;
        byName_[entry->name] = &entry->rc;
        entries_.push_back(std::move(entry));
    }

    mutable std::shared_mutex mutex_;
    std::map<std::string, const CRuntimeClass*, std::less<>> byName_;
    std::vector<std::unique_ptr<Entry>> entries_;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

const CRuntimeClass* FindRuntimeClass(std::string_view name) {
    return TheRegistry().Find(name);
}

void RegisterRuntimeClass(const CRuntimeClass& rc) {
    if (rc.name.empty())
        return;
    TheRegistry().Register(rc);
}

}  // namespace tallowmere
