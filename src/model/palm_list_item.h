#pragma once
// Base records of the list files: CPalmListItem (record number and attribute
// byte), CCommonListItem (a named record with an id) and CListItem (the plain
// variant held by CFileList).
#include <cstdint>
#include <string>
#include <string_view>

#include "model/object.h"
#include "model/record_id.h"

namespace tallowmere {

class CPalmListItem : public CObject {
  public:
    // Attribute bits.
    static constexpr std::uint8_t kDeleted = 0x80;
    static constexpr std::uint8_t kModified = 0x40;

    CPalmListItem() = default;
    explicit CPalmListItem(ForLoad) {}

    std::string_view GetClassName() const override { return "CPalmListItem"; }
    // int32 record number, then the attribute byte.
    void Serialize(CArchive& ar) override;

    // The record's id; none for records without one. Lives here rather than
    // in CCommonListItem so that FindById serves every list.
    virtual RecordId GetId() const { return kNoneId; }

    std::int32_t GetRecordNumber() const { return recordNumber_; }
    void SetRecordNumber(std::int32_t n) { recordNumber_ = n; }
    std::uint8_t GetAttribute() const { return attribute_; }
    void SetAttribute(std::uint8_t a) { attribute_ = a; }
    bool IsDeleted() const { return (attribute_ & kDeleted) != 0; }

  protected:
    std::int32_t recordNumber_ = 0;
    std::uint8_t attribute_ = 0;
};

class CCommonListItem : public CPalmListItem {
  public:
    CCommonListItem() = default;
    explicit CCommonListItem(ForLoad tag) : CPalmListItem(tag) {}

    std::string_view GetClassName() const override { return "CCommonListItem"; }

    // The base keeps no id and no name: each named record adds its own.
    virtual void SetId(const RecordId& /*id*/) {}
    virtual std::string GetName() const { return {}; }
    virtual void SetName(std::string_view /*name*/) {}
};

class CListItem : public CObject {
  public:
    CListItem() = default;
    explicit CListItem(ForLoad) {}

    std::string_view GetClassName() const override { return "CListItem"; }
    // The base has no data of its own.
    void Serialize(CArchive& /*ar*/) override {}

    virtual std::string GetName() const { return {}; }
};

}  // namespace tallowmere
