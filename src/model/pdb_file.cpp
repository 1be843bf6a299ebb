#include "model/pdb_file.h"

#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include "model/byte_order.h"

namespace tallowmere {

namespace {

constexpr std::size_t kHeaderSize = 78;
constexpr std::uint16_t kResourceAttribute = 0x0001;
constexpr std::uint32_t kResourceEntrySize = 10;
constexpr std::uint32_t kRecordEntrySize = 8;
// Seconds from 1904-01-01 to 1970-01-01: 66 years with 17 leap days.
constexpr std::uint32_t kPalmToUnixSeconds = 2082844800;
// The buffer's first size; it grows to the largest entry read.
constexpr std::size_t kMinBuffer = 65536;

struct Entry {
    std::uint32_t offset = 0;
    std::uint32_t type = 0;
    std::uint16_t id = 0;
};

std::uint32_t UnixDate(std::uint32_t palmDate) {
    return palmDate < kPalmToUnixSeconds ? 0 : palmDate - kPalmToUnixSeconds;
}

// Reads exactly size bytes at offset; false on any failure or short read.
bool ReadAt(std::FILE* file, std::uint64_t offset, std::uint8_t* out, std::size_t size) {
    if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    return std::fread(out, 1, size, file) == size;
}

}  // namespace

class PdbDatabase {
  public:
    std::string deletePath;  // empty unless the file may be deleted on close
    PdbFile file;
    std::uint64_t fileSize = 0;
    PdbHeader header;
    std::vector<Entry> entries;
    int lastError = 0;
    std::vector<std::uint8_t> buffer;

    int Fail(int code) {
        lastError = code;
        return code;
    }
    // The data size of entry index, 0 when it is empty.
    std::uint32_t EntrySize(std::size_t index) const {
        const std::uint64_t end = index + 1 < entries.size() ? entries[index + 1].offset : fileSize;
        const std::uint64_t start = entries[index].offset;
        return end > start ? static_cast<std::uint32_t>(std::min<std::uint64_t>(
                                 end - start, std::numeric_limits<std::uint32_t>::max()))
                           : 0;
    }
};

void PdbFileCloser::operator()(std::FILE* file) const {
    if (file != nullptr)
        std::fclose(file);
}

void PdbDatabaseDeleter::operator()(PdbDatabase* db) const {
    delete db;
}

namespace {

PdbHeader ParseHeader(const std::uint8_t* h) {
    PdbHeader header;
    const auto* name = reinterpret_cast<const char*>(h);
    header.name.assign(name, std::find(name, name + 32, '\0'));
    header.attributes = LoadBE16(h + 32);
    header.version = LoadBE16(h + 34);
    header.creationDate = UnixDate(LoadBE32(h + 36));
    header.modificationDate = UnixDate(LoadBE32(h + 40));
    header.backupDate = UnixDate(LoadBE32(h + 44));
    header.modificationNumber = LoadBE32(h + 48);
    header.appInfoOffset = LoadBE32(h + 52);
    header.sortInfoOffset = LoadBE32(h + 56);
    header.type = LoadBE32(h + 60);
    header.creator = LoadBE32(h + 64);
    header.uniqueIdSeed = LoadBE32(h + 68);
    header.entryCount = LoadBE16(h + 76);
    header.kind =
        (header.attributes & kResourceAttribute) != 0 ? PdbKind::kResource : PdbKind::kRecord;
    return header;
}

// Checks the header's fields against the file size; the entry offsets are
// checked while the entries are read.
bool HeaderIsValid(const std::uint8_t* h, const PdbHeader& header, std::uint64_t fileSize,
                   std::uint64_t g) {
    if (LoadBE32(h + 72) != 0)  // next record list
        return false;
    if (std::find(h, h + 32, 0) == h + 32)
        return false;
    if (header.type == 0 || header.creator == 0)
        return false;
    if (fileSize < g)
        return false;
    const std::uint32_t app = header.appInfoOffset;
    const std::uint32_t sort = header.sortInfoOffset;
    if (app != 0 && (app != g || app >= fileSize))
        return false;
    if (sort != 0) {
        if (sort < g || sort >= fileSize || sort <= app)
            return false;
        if (app == 0 && sort != g)
            return false;
    }
    if (app == 0 && sort == 0 && header.entryCount == 0 && fileSize != g)
        return false;
    return true;
}

}  // namespace

int PdbOpen(PdbFile file, PdbHandle& handle, std::string deletePath) {
    handle.reset();
    if (!file)
        return kPdbErrorFile;
    PdbHandle db(new (std::nothrow) PdbDatabase);
    if (!db)
        return kPdbErrorMemory;
    db->file = std::move(file);
    db->deletePath = std::move(deletePath);
    std::FILE* f = db->file.get();

    if (fseeko(f, 0, SEEK_END) != 0)
        return kPdbErrorFile;
    const off_t end = ftello(f);
    if (end < 0)
        return kPdbErrorFile;
    db->fileSize = static_cast<std::uint64_t>(end);
    if (db->fileSize < 80)
        return kPdbErrorInvalid;
    std::array<std::uint8_t, kHeaderSize> h{};
    if (!ReadAt(f, 0, h.data(), h.size()))
        return kPdbErrorFile;
    PdbHeader header = ParseHeader(h.data());
    const std::uint32_t entrySize =
        header.kind == PdbKind::kResource ? kResourceEntrySize : kRecordEntrySize;
    const std::uint64_t g = std::uint64_t{entrySize} * header.entryCount + 80;
    if (!HeaderIsValid(h.data(), header, db->fileSize, g))
        return kPdbErrorInvalid;

    // The entry list lies below g, which the file holds.
    std::vector<std::uint8_t> list;
    try {
        list.resize(std::size_t{entrySize} * header.entryCount);
        db->entries.resize(header.entryCount);
    } catch (const std::bad_alloc&) {
        return kPdbErrorMemory;
    }
    if (!list.empty() && !ReadAt(f, kHeaderSize, list.data(), list.size()))
        return kPdbErrorFile;
    std::uint64_t minimum =
        header.sortInfoOffset != 0 ? header.sortInfoOffset : header.appInfoOffset;
    for (std::size_t i = 0; i < header.entryCount; ++i) {
        const std::uint8_t* e = list.data() + i * entrySize;
        Entry& entry = db->entries[i];
        if (header.kind == PdbKind::kResource) {
            entry.type = LoadBE32(e);
            entry.id = LoadBE16(e + 4);
            entry.offset = LoadBE32(e + 6);
        } else {
            entry.offset = LoadBE32(e);
        }
        const std::uint64_t offset = entry.offset;
        if (offset == 0 || offset <= minimum || offset >= db->fileSize)
            return kPdbErrorInvalid;
        if (offset < g && offset != g - 2)
            return kPdbErrorInvalid;
        minimum = offset;
    }

    db->header = std::move(header);
    handle = std::move(db);
    return 0;
}

int PdbGetHeader(PdbDatabase& db, PdbHeader& header) {
    if (db.lastError != 0)
        return db.lastError;
    header = db.header;
    return 0;
}

int PdbGetRecordInfo(PdbDatabase& db, std::size_t index, PdbRecordInfo& info) {
    if (db.lastError != 0)
        return db.lastError;
    if (index >= db.entries.size())
        return db.Fail(kPdbErrorIndex);
    const std::uint32_t size = db.EntrySize(index);
    if (size == 0)
        return db.Fail(kPdbErrorInvalid);
    info = {size, db.entries[index].type, db.entries[index].id};
    return 0;
}

int PdbGetRecordOffset(PdbDatabase& db, std::size_t index, std::uint32_t& offset) {
    if (db.lastError != 0)
        return db.lastError;
    if (index >= db.entries.size())
        return db.Fail(kPdbErrorIndex);
    offset = db.entries[index].offset;
    return 0;
}

int PdbReadRecord(PdbDatabase& db, std::size_t index, PdbRecordInfo& info,
                  std::span<const std::uint8_t>& data) {
    data = {};
    if (db.lastError != 0)
        return db.lastError;
    if (index >= db.entries.size())
        return db.Fail(kPdbErrorReadIndex);
    const std::uint32_t size = db.EntrySize(index);
    if (size == 0)
        return db.Fail(kPdbErrorInvalid);
    if (size > kPdbMaxRecordSize)
        return db.Fail(kPdbErrorMemory);
    if (db.buffer.size() < size) {
        try {
            db.buffer.resize(std::max<std::size_t>(size, kMinBuffer));
        } catch (const std::bad_alloc&) {
            return db.Fail(kPdbErrorMemory);
        }
    }
    if (!ReadAt(db.file.get(), db.entries[index].offset, db.buffer.data(), size))
        return db.Fail(kPdbErrorFile);
    info = {size, db.entries[index].type, db.entries[index].id};
    data = std::span<const std::uint8_t>(db.buffer.data(), size);
    return 0;
}

int PdbClose(PdbHandle handle, bool deleteFile) {
    if (!handle)
        return 0;
    const int earlier = handle->lastError;
    const bool closed = std::fclose(handle->file.release()) == 0;
    if (earlier != 0)
        return earlier;
    if (!closed)
        return kPdbErrorFile;
    if (deleteFile && !handle->deletePath.empty() && ::unlink(handle->deletePath.c_str()) != 0)
        return kPdbErrorFile;
    return 0;
}

}  // namespace tallowmere
