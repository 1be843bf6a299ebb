#pragma once
// The plain file-backed list: owned CListItem records in a file of their own,
// without the deleted-item rule of CPalmFileList.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/object.h"
#include "model/palm_list_item.h"

namespace tallowmere {

class CFileList : public CObject {
  public:
    CFileList() = default;
    ~CFileList() override;
    CFileList(const CFileList&) = delete;
    CFileList& operator=(const CFileList&) = delete;

    std::string_view GetClassName() const override { return "CFileList"; }
    // The items as an object list; reading refuses items of another kind.
    void Serialize(CArchive& ar) override;

    // The records of a new file (LoadOrCreate); the base makes none.
    virtual void CreateDefaults() {}

    // Stores the path and replaces the items with the file's. Returns 0, the
    // system's code when the file cannot be read (2, 3, ...), or -1 for any
    // failure while reading, except that a list whose records end either way
    // gives the result of LoadObjectDataEitherItemEnd; on failure the list is
    // empty.
    int Load(const std::string& path);
    // The same over a file image in memory (the path is left alone).
    int LoadData(std::span<const std::uint8_t> data);
    // Load; a missing file (2) gets the defaults, is saved and loaded again.
    int LoadOrCreate(const std::string& path);
    // Writes the whole list atomically. 0, or -1 after reporting string 185
    // with the error code; the file on disk then stays as it was.
    int Save();

    // Inserts before the first item whose name is greater than or equal, at
    // the end when there is none, then saves.
    int AddSorted(std::unique_ptr<CListItem> item);
    // Appends without saving; returns the item.
    CListItem* AddTail(std::unique_ptr<CListItem> item);
    void DeleteAll();

    std::size_t GetCount() const { return items_.size(); }
    // nullptr out of range.
    CListItem* GetAt(std::size_t n) const { return n < items_.size() ? items_[n].get() : nullptr; }
    // -1 when absent.
    int IndexOf(const CListItem* item) const;

    const std::string& GetPath() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }

  protected:
    // The kind of item this list holds; a file with another kind fails to
    // load.
    virtual bool AcceptsItem(const CObject& obj) const;
    // Whether the records of this list's files are found both with and
    // without the 32-bit zero at their end; the base: no.
    virtual bool ItemsEndEitherWay() const { return false; }

    std::vector<std::unique_ptr<CListItem>> items_;
    std::string path_;
};

}  // namespace tallowmere
