// Arbitrary bytes as list files: a file that does not load must leave the list
// empty, and one that loads must save and load back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "model/archive.h"
#include "model/common_list.h"
#include "model/file_list.h"
#include "model/palm_file_list.h"
#include "model/palm_list_item.h"

namespace tallowmere {
namespace {

// A named record with the field kinds the real records use.
class FuzzNamedItem : public CCommonListItem {
  public:
    FuzzNamedItem() = default;
    explicit FuzzNamedItem(ForLoad tag) : CCommonListItem(tag) {}
    std::string_view GetClassName() const override { return "CFuzzNamedItem"; }
    void Serialize(CArchive& ar) override {
        CPalmListItem::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteBytes(id_.bytes.data(), id_.bytes.size());
            ar.WriteString(name_);
            ar.WriteString(std::string_view(memo_, strnlen(memo_, sizeof memo_)));
            ar.WriteInt64(amount_);
            ar.WriteDouble(rate_);
            ar.WriteInt32(0);
        } else {
            ar.ReadBytes(id_.bytes.data(), id_.bytes.size());
            name_ = ar.ReadString();
            ar.ReadStringInto(memo_, sizeof memo_);
            amount_ = ar.ReadInt64();
            rate_ = ar.ReadDouble();
            ar.ReadInt32();
        }
    }
    RecordId GetId() const override { return id_; }
    std::string GetName() const override { return name_; }

  private:
    RecordId id_;
    std::string name_;
    char memo_[16] = {};
    std::int64_t amount_ = 0;
    double rate_ = 0;
};

class FuzzPlainItem : public CListItem {
  public:
    FuzzPlainItem() = default;
    explicit FuzzPlainItem(ForLoad tag) : CListItem(tag) {}
    std::string_view GetClassName() const override { return "CFuzzPlainItem"; }
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar.WriteString(name_);
        } else {
            name_ = ar.ReadString();
        }
    }
    std::string GetName() const override { return name_; }

  private:
    std::string name_;
};

bool RegisterOnce() {
    RegisterRuntimeClass({"CFuzzNamedItem", &CreateForLoad<FuzzNamedItem>});
    RegisterRuntimeClass({"CFuzzPlainItem", &CreateForLoad<FuzzPlainItem>});
    return true;
}

std::size_t CountOf(const CPalmFileList& list) {
    return list.GetCount(true);
}
std::size_t CountOf(const CFileList& list) {
    return list.GetCount();
}

std::vector<std::uint8_t> Store(CObject& list) {
    CArchive out;
    list.Serialize(out);
    return out.TakeData();
}

template <class List>
void Check(std::span<const std::uint8_t> data) {
    List list;
    if (list.LoadData(data) != 0) {
        if (CountOf(list) != 0)
            std::abort();
        return;
    }
    const std::vector<std::uint8_t> saved = Store(list);
    List again;
    if (again.LoadData(saved) != 0)
        std::abort();
    if (CountOf(again) != CountOf(list))
        std::abort();
    if (Store(again) != saved)
        std::abort();
}

}  // namespace
}  // namespace tallowmere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool registered = tallowmere::RegisterOnce();
    (void)registered;
    const std::span<const std::uint8_t> bytes(data, size);
    tallowmere::Check<tallowmere::CPalmFileList>(bytes);
    tallowmere::Check<tallowmere::CCommonList>(bytes);
    tallowmere::Check<tallowmere::CFileList>(bytes);
    return 0;
}
