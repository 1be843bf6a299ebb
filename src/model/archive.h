#pragma once
// The object stream of every list and account file: the class library's
// archive format, written and read field by field, little-endian.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

#include "model/object.h"

namespace tallowmere {

// Code returned by loaders for a file that is not a valid stream
// (Windows ERROR_INVALID_DATA).
inline constexpr int kErrorBadFile = 13;

// Thrown inside the core while reading a stream (short data, bad tag, wrong
// class) or by a Serialize that refuses a file; loaders catch it and return
// the code. Never crosses a module border.
struct ArchiveError {
    int code = kErrorBadFile;
};

class CArchive {
  public:
    // Decides whether a newly created object may stand where it is read (an
    // owning list accepts only its own kind of item).
    using ObjectFilter = std::function<bool(const CObject&)>;

    // Where a streaming archive hands its bytes: 0, or an error code that
    // stops the writing (thrown as an ArchiveError of that code).
    using ByteSink = std::function<int(std::span<const std::uint8_t>)>;

    // A storing archive writing into its own buffer.
    CArchive();
    // A storing archive handing its bytes to sink in blocks of kStreamBlock
    // (Flush hands over the rest), so a large file never stands whole in
    // memory.
    explicit CArchive(ByteSink sink);
    static constexpr std::size_t kStreamBlock = std::size_t{1} << 20;
    // A loading archive over data (which must outlive the archive).
    explicit CArchive(std::span<const std::uint8_t> data);

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return storing_; }

    // Set for one load when the file holds records in the old id-first
    // layout; the records' Serialize converts as they read. Decided per load
    // by the caller, never process-wide.
    void SetOldFormatRecords(bool old) { oldFormatRecords_ = old; }
    bool OldFormatRecords() const { return oldFormatRecords_; }
    bool IsLoading() const { return !storing_; }

    // Scheduled items and institutions are written without the 32-bit zero
    // that ends every other item's record, but files holding it exist. A
    // loading archive reads that zero only when told that the file has it
    // (and refuses one that is not zero); storing writes none.
    void SetItemEndZero(bool present) { itemEndZero_ = present; }
    void SerializeItemEndZero();
    std::size_t ItemEndZerosRead() const { return itemEndZerosRead_; }

    // --- storing ---
    void WriteByte(std::uint8_t v);
    void WriteWord(std::uint16_t v);
    void WriteInt32(std::int32_t v);
    void WriteUInt32(std::uint32_t v);
    void WriteInt64(std::int64_t v);
    void WriteDouble(double v);
    void WriteBytes(const void* data, std::size_t size);
    // Length (1, 3 or 7 bytes; 15 beyond 4 GB) and the bytes, no terminator.
    void WriteString(std::string_view s);
    // WORD below 0xFFFF, else WORD 0xFFFF and a DWORD.
    void WriteCount(std::uint32_t count);
    // Tag (new class or class reference), then obj->Serialize. Null writes
    // 0000. Each object is written once: the writer makes no back-references.
    void WriteObject(CObject* obj);

    // A streaming archive: hands over what it holds.
    void Flush();

    // The bytes written (of a streaming archive: those not handed over yet).
    const std::vector<std::uint8_t>& Data() const { return out_; }
    std::vector<std::uint8_t> TakeData() { return std::move(out_); }

    // --- loading (each throws ArchiveError when the data is short) ---
    std::uint8_t ReadByte();
    std::uint16_t ReadWord();
    std::int32_t ReadInt32();
    std::uint32_t ReadUInt32();
    std::int64_t ReadInt64();
    double ReadDouble();
    void ReadBytes(void* data, std::size_t size);
    void Skip(std::size_t size);
    // Reads an archive string; UTF-16 strings are converted to Windows-1252
    // ('?' for characters without a 1252 form).
    std::string ReadString();
    // Reads a string into a fixed text field of fieldSize bytes: at most
    // fieldSize - 1 bytes kept, the rest of the field zero-filled.
    void ReadStringInto(char* field, std::size_t fieldSize);
    // Reads the next string when it is an empty one (a zero length byte) and
    // says so; reads nothing otherwise.
    bool SkipEmptyString() {
        if (pos_ < in_.size() && in_[pos_] == 0) {
            ++pos_;
            return true;
        }
        return false;
    }
    // A count; rejects one that could not fit in the remaining bytes when each
    // element takes at least minElementSize bytes.
    std::uint32_t ReadCount(std::size_t minElementSize = 2);
    // Reads an object that the caller will own: a new object of a registered,
    // buildable class. Null tags give nullptr; back-references, undefined class
    // indexes and unknown classes throw, and so does an object that accept
    // refuses (checked before the object reads its data).
    std::unique_ptr<CObject> ReadOwnedObject();
    std::unique_ptr<CObject> ReadOwnedObject(const ObjectFilter& accept);

    std::size_t Remaining() const { return in_.size() - pos_; }
    std::size_t Position() const { return pos_; }

  private:
    void Need(std::size_t n) const;
    void Put(const void* data, std::size_t size);
    void PutStreamed(const std::uint8_t* data, std::size_t size);
    void WriteClassTag(std::string_view name);
    // Length of the next string and whether it is UTF-16 (length in units).
    std::uint64_t ReadStringLength(bool& wide);
    std::string ReadWideChars(std::uint64_t units);
    const CRuntimeClass* ReadClassTag();
    const CRuntimeClass* FindLoadedClass(std::uint32_t index) const;

    bool storing_;
    bool oldFormatRecords_ = false;
    bool itemEndZero_ = false;
    std::size_t itemEndZerosRead_ = 0;
    // Index table shared by classes and objects, counted from 1; each new
    // class and each object takes the next number.
    std::uint32_t mapCount_ = 1;
    // storing: the classes written so far with their indexes (a stream holds
    // few classes, so a short list searched in order is fastest)
    std::vector<std::uint8_t> out_;
    ByteSink sink_;
    std::vector<std::pair<std::string, std::uint32_t>> storedClasses_;
    // loading: the class entries of the index table in rising index order;
    // every other index is an object entry
    std::span<const std::uint8_t> in_;
    std::size_t pos_ = 0;
    std::vector<std::pair<std::uint32_t, const CRuntimeClass*>> loadClasses_;
};

// Writes an object list: the count, then each element as an object.
template <class T>
void WriteObjectList(CArchive& ar, const std::vector<std::unique_ptr<T>>& items) {
    if (items.size() > 0xFFFFFFFFu)
        throw ArchiveError{};
    ar.WriteCount(static_cast<std::uint32_t>(items.size()));
    for (const auto& item : items)
        ar.WriteObject(item.get());
}

// Reads an object list whose elements the caller owns. A null element, an
// element that accept refuses or that is not a T, and short data all throw;
// nothing is reserved from the count read from the file.
template <class T>
std::vector<std::unique_ptr<T>> ReadOwnedObjectList(CArchive& ar,
                                                    const CArchive::ObjectFilter& accept) {
    std::vector<std::unique_ptr<T>> items;
    // Every object of one type gets the same answer, so each type is judged
    // once per list.
    const std::type_info* accepted = nullptr;
    const CArchive::ObjectFilter filter = [&](const CObject& obj) {
        if (accepted != nullptr && typeid(obj) == *accepted)
            return true;
        if (dynamic_cast<const T*>(&obj) == nullptr || (accept && !accept(obj)))
            return false;
        accepted = &typeid(obj);
        return true;
    };
    const std::uint32_t count = ar.ReadCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        std::unique_ptr<CObject> obj = ar.ReadOwnedObject(filter);
        if (!obj)
            throw ArchiveError{};
        // The filter has seen that this object is a T.
        std::unique_ptr<T> owned(static_cast<T*>(obj.release()));
        items.push_back(std::move(owned));
    }
    return items;
}

// Reads a whole file for a load: 0, the system's code when it cannot be read
// (2 not found, 3 path not found, ...), or 8 when memory runs out.
int ReadObjectFile(const std::string& path, std::vector<std::uint8_t>& data);

// Reads the whole file into memory and loads obj from it. Returns 0; the
// system's code when the file cannot be read (2 not found, 3 path not found,
// ...); the code of an ArchiveError thrown while reading; 8 when memory runs
// out; kErrorBadFile for anything else that goes wrong while reading.
int LoadObjectFile(const std::string& path, CObject& obj, bool oldFormatRecords = false);
// The same over a file image already in memory.
int LoadObjectData(std::span<const std::uint8_t> data, CObject& obj, bool oldFormatRecords = false);
// The same for a file whose item records may each end with the 32-bit zero
// or not (CArchive::SetItemEndZero): the image is parsed both ways, and the
// one way that reads exactly to the end of it, every such zero being zero,
// is kept. When neither way or both ways do, the load fails with
// kErrorBadFile and says so for the file named; 8 when memory runs out.
int LoadObjectDataEitherItemEnd(std::span<const std::uint8_t> data, CObject& obj,
                                bool oldFormatRecords, std::string_view fileName);

// Serialises obj into the bytes its file holds. Returns 0 or a Windows error
// code.
int SaveObjectData(CObject& obj, std::vector<std::uint8_t>& out);
// Serialises obj into one buffer and replaces the file atomically. Returns 0
// or a Windows error code; on failure the file on disk is unchanged.
int SaveObjectFile(const std::string& path, CObject& obj);

}  // namespace tallowmere
