#pragma once
// Record and list classes that exist only in the tests, registered at run time
// beside the system's own, and a byte builder for streams assembled by hand.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/archive.h"
#include "model/common_list.h"
#include "model/error_sink.h"
#include "model/file_list.h"
#include "model/object.h"
#include "model/palm_file_list.h"
#include "model/palm_list_item.h"
#include "model/record_id.h"

namespace tallowmere::test {

inline constexpr char kNamedItemClass[] = "CTestNamedItem";
inline constexpr char kPlainItemClass[] = "CTestPlainItem";
inline constexpr char kNoFactoryClass[] = "CTestNoFactory";

// A named record: the base fields, an 8-byte id, the name, a trailing int32 0.
class TestNamedItem : public CCommonListItem {
  public:
    static inline int liveCount = 0;

    explicit TestNamedItem(std::string name = {}, RecordId id = {})
        : id_(id), name_(std::move(name)) {
        ++liveCount;
    }
    explicit TestNamedItem(ForLoad tag) : CCommonListItem(tag) { ++liveCount; }
    ~TestNamedItem() override { --liveCount; }

    std::string_view GetClassName() const override { return kNamedItemClass; }
    void Serialize(CArchive& ar) override {
        CPalmListItem::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteBytes(id_.bytes.data(), id_.bytes.size());
            ar.WriteString(name_);
            ar.WriteInt32(0);
        } else {
            ar.ReadBytes(id_.bytes.data(), id_.bytes.size());
            name_ = ar.ReadString();
            ar.ReadInt32();
        }
    }
    RecordId GetId() const override { return id_; }
    void SetId(const RecordId& id) override { id_ = id; }
    std::string GetName() const override { return name_; }
    void SetName(std::string_view name) override { name_ = name; }

  private:
    RecordId id_;
    std::string name_;
};

// A plain record with a name.
class TestPlainItem : public CListItem {
  public:
    explicit TestPlainItem(std::string name = {}) : name_(std::move(name)) {}
    explicit TestPlainItem(ForLoad tag) : CListItem(tag) {}

    std::string_view GetClassName() const override { return kPlainItemClass; }
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

inline void RegisterTestClasses() {
    RegisterRuntimeClass({kNamedItemClass, &CreateForLoad<TestNamedItem>});
    RegisterRuntimeClass({kPlainItemClass, &CreateForLoad<TestPlainItem>});
    RegisterRuntimeClass({kNoFactoryClass, nullptr});
}

// A named list that holds only TestNamedItem, with two default records.
class TestNamedList : public CCommonList {
  public:
    void CreateDefaults() override {
        AddItem(std::make_unique<TestNamedItem>("Bank", RecordId::Fixed(1)));
        AddItem(std::make_unique<TestNamedItem>("Car", RecordId::Fixed(2)));
    }

  protected:
    bool AcceptsItem(const CObject& obj) const override {
        return dynamic_cast<const TestNamedItem*>(&obj) != nullptr;
    }
};

// A plain list with one default record.
class TestPlainList : public CFileList {
  public:
    void CreateDefaults() override { AddTail(std::make_unique<TestPlainItem>("Default")); }
};

inline std::vector<std::string> Names(const CPalmFileList& list, bool all = true) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < list.GetCount(all); ++i) {
        const auto* item = dynamic_cast<const CCommonListItem*>(list.GetAt(i, all));
        names.push_back(item ? item->GetName() : "?");
    }
    return names;
}

// An id from its leading bytes (the rest zero).
inline RecordId IdOf(std::initializer_list<std::uint8_t> bytes) {
    RecordId id;
    std::copy(bytes.begin(), bytes.end(), id.bytes.begin());
    return id;
}

// A text as it stands in a fixed field: NUL-padded to width.
inline std::string Field(std::string_view text, std::size_t width) {
    std::string s(text);
    s.resize(width, '\0');
    return s;
}

// Little-endian stream bytes written out by hand, independent of CArchive.
class Bytes {
  public:
    Bytes& B(std::uint8_t v) {
        s_.push_back(static_cast<char>(v));
        return *this;
    }
    Bytes& W(std::uint16_t v) { return B(v & 0xFF).B(v >> 8); }
    Bytes& D(std::uint32_t v) { return W(v & 0xFFFF).W(v >> 16); }
    Bytes& Q(std::uint64_t v) { return D(static_cast<std::uint32_t>(v)).D(v >> 32); }
    Bytes& Raw(std::string_view text) {
        s_.append(text);
        return *this;
    }
    // A new-class record: FFFF, schema 0, name length, name.
    Bytes& NewClass(std::string_view name) {
        return W(0xFFFF).W(0).W(static_cast<std::uint16_t>(name.size())).Raw(name);
    }
    // The object tag of the n-th item (from 0) of a list of one class.
    Bytes& ItemTag(std::string_view className, std::size_t n) {
        return n == 0 ? NewClass(className) : W(0x8001);
    }
    // An archive string in its shortest length form.
    Bytes& Str(std::string_view text) {
        if (text.size() < 0xFF) {
            B(static_cast<std::uint8_t>(text.size()));
        } else if (text.size() < 0xFFFE) {
            B(0xFF).W(static_cast<std::uint16_t>(text.size()));
        } else {
            B(0xFF).W(0xFFFF).D(static_cast<std::uint32_t>(text.size()));
        }
        return Raw(text);
    }
    // The data of a TestNamedItem.
    Bytes& NamedItem(std::int32_t number, std::uint8_t attribute, const RecordId& id,
                     std::string_view name) {
        D(static_cast<std::uint32_t>(number)).B(attribute);
        for (auto b : id.bytes)
            B(b);
        return Str(name).D(0);
    }

    const std::string& str() const { return s_; }
    std::vector<std::uint8_t> vec() const { return {s_.begin(), s_.end()}; }
    std::size_t size() const { return s_.size(); }

  private:
    std::string s_;
};

// One item of a list file: its record number, attribute and record bytes.
struct ListFileRecord {
    std::int32_t number;
    std::uint8_t attribute;
    std::string record;
};

// A list file of items of one class: the count, then each item's tag,
// number, attribute, record and the int32 0.
inline std::string ListFileBytes(std::string_view className,
                                 const std::vector<ListFileRecord>& records) {
    Bytes b;
    b.W(static_cast<std::uint16_t>(records.size()));
    for (std::size_t i = 0; i < records.size(); ++i) {
        b.ItemTag(className, i);
        b.D(static_cast<std::uint32_t>(records[i].number)).B(records[i].attribute);
        b.Raw(records[i].record).D(0);
    }
    return b.str();
}

// Collects reports in place of the UI.
class CapturingSink : public ErrorSink {
  public:
    CapturingSink() { SetErrorSink(this); }
    ~CapturingSink() override { SetErrorSink(nullptr); }
    void Report(const ErrorReport& report) override { reports.push_back(report); }
    std::vector<ErrorReport> reports;
};

}  // namespace tallowmere::test
