#pragma once
// The base of every file-backed record list. Deleted items (attribute bit
// 0x80) stay in the list and the file, behind all live items, so that the
// deletion reaches the handheld at the next sync. Every change saves the whole
// file at once; the list owns its items. Items are marked deleted through
// DeleteItem, which keeps that order; setting the bit by hand does not.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/object.h"
#include "model/palm_list_item.h"
#include "model/record_id.h"

namespace tallowmere {

class CPalmFileList : public CObject {
  public:
    // A position is the index of the next item; kNoPosition ends a walk.
    using Position = std::size_t;
    static constexpr Position kNoPosition = static_cast<Position>(-1);

    // An item taken out of the list, handed back, with the save result.
    struct Removed {
        std::unique_ptr<CPalmListItem> item;
        int result = 0;
    };

    CPalmFileList() = default;
    ~CPalmFileList() override;
    CPalmFileList(const CPalmFileList&) = delete;
    CPalmFileList& operator=(const CPalmFileList&) = delete;

    std::string_view GetClassName() const override { return "CPalmFileList"; }
    // The items as an object list. Reading refuses items of another kind and
    // moves deleted items behind the live ones.
    void Serialize(CArchive& ar) override;

    // Live items go before the first deleted item and deleted items at the
    // end, whatever atTail says: appending a live item behind deleted ones
    // would hide it from live-only walks. Does not save. Returns the item.
    CPalmListItem* AddItem(std::unique_ptr<CPalmListItem> item, bool atTail = false);
    // AddItem(item, false), then Save.
    int AddAndSave(std::unique_ptr<CPalmListItem> item);
    // When the item is in the list: sets 0x80 and 0x40 and moves it to the
    // end. Saves in every case.
    virtual int DeleteItem(CPalmListItem* item);
    // Re-files an item of the list (after an edit): clears 0x80 and puts it
    // where a live item belongs, then saves once. An item not in the list
    // changes nothing, but the file is still written.
    virtual int ReplaceItem(CPalmListItem* item);
    // Takes the item out without destroying it and saves; the item is null
    // when it was not in the list.
    [[nodiscard]] virtual Removed RemoveItem(const CPalmListItem* item);
    // The records of a new file (LoadOrCreate); the base makes none.
    virtual void CreateDefaults() {}
    // Destroys every item.
    void DeleteAll();

    // all: every item; otherwise the items before the first deleted one.
    std::size_t GetCount(bool all) const;
    Position GetHeadPosition(bool all) const;
    // The item at pos; pos moves on, and becomes kNoPosition at the end or,
    // without all, when the next item is deleted.
    CPalmListItem* GetNextLive(Position& pos, bool all) const;
    CPalmListItem* GetNextItem(Position& pos, bool all) const;
    // The n-th item from 0 among all or among live items; nullptr out of range.
    CPalmListItem* GetAt(std::size_t n, bool all) const;
    // Index among all items, -1 when absent.
    int IndexOf(const CPalmListItem* item) const;
    // First item (live only unless all) whose GetId equals id; the none id
    // finds nothing.
    CPalmListItem* FindById(const RecordId& id, bool all) const;

    // Stores the path and replaces the items with the file's. Returns 0, the
    // system's code when the file cannot be read (2, 3, ...), the code that
    // a Serialize threw, or kErrorBadFile for a malformed file; on failure
    // the list is empty.
    int Load(const std::string& path);
    // The same over a file image in memory (the path is left alone).
    int LoadData(std::span<const std::uint8_t> data);
    // Load; a missing file (2) gets the defaults, is saved and loaded again.
    // A failed save gives its -1.
    int LoadOrCreate(const std::string& path);
    // Writes the whole list atomically. 0, or -1 after reporting string 185
    // with the error code; the file on disk then stays as it was.
    int Save();

    // While saves are held, Save writes nothing and returns 0, and
    // LoadOrCreate keeps a missing file's defaults in memory: the handheld
    // sync changes its own copy of the lists and writes them as a whole.
    void HoldSaves(bool hold) { savesHeld_ = hold; }
    bool SavesHeld() const { return savesHeld_; }

    // Whether the next loads read old id-first records (the data set decides
    // it per load from the category file).
    void SetOldFormatRecords(bool old) { oldFormatRecords_ = old; }
    bool OldFormatRecords() const { return oldFormatRecords_; }

    const std::string& GetPath() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }

  protected:
    // The kind of item this list holds; a file with another kind fails to
    // load. Lists of a concrete record override it.
    virtual bool AcceptsItem(const CObject& obj) const;
    // Whether the records of this list's files are found both with and
    // without the 32-bit zero at their end (read as
    // LoadObjectDataEitherItemEnd reads them); the base: no.
    virtual bool ItemsEndEitherWay() const { return false; }
    // Where ReplaceItem puts a live item; the base: before the first deleted.
    virtual std::size_t LiveInsertIndex(const CPalmListItem& item) const;

    // The number of live items: the index where the deleted tail begins.
    std::size_t FirstDeletedIndex() const;
    CPalmListItem* InsertAt(std::size_t index, std::unique_ptr<CPalmListItem> item);
    std::unique_ptr<CPalmListItem> TakeAt(std::size_t index);

    std::vector<std::unique_ptr<CPalmListItem>> items_;
    std::string path_;
    bool oldFormatRecords_ = false;
    bool savesHeld_ = false;
};

}  // namespace tallowmere
