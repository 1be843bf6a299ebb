#pragma once
// Reader of Palm databases (PDB), the format of the icon database that the
// handheld side shares. All numbers in the file are big-endian:
//   0   char[32] name, NUL-terminated
//   32  u16  attributes, 0x0001 = resource database
//   34  u16  version
//   36  u32  creation, modification and last backup dates (1904 seconds)
//   48  u32  modification number
//   52  u32  application-info offset, 0 = none
//   56  u32  sort-info offset, 0 = none
//   60  u32  type, 64 u32 creator (neither 0)
//   68  u32  unique-id seed
//   72  u32  next record list id (must be 0)
//   76  u16  entry count n
//   78  entries: resource {type u32, id u16, offset u32} or record {offset
//       u32, attributes u8, unique id u24}
// Data may begin at g = entry size x n + 80. An entry's data runs to the next
// entry's offset, the last one's to the end of the file.
//
// The file comes from elsewhere: every offset is checked when the database is
// opened, and a single read is capped, so no file can make the reader read
// outside it or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace tallowmere {

inline constexpr int kPdbErrorIndex = 1025;      // entry index out of range (offset, info)
inline constexpr int kPdbErrorReadIndex = 1026;  // entry index out of range (read)
inline constexpr int kPdbErrorMemory = 1029;     // out of memory, or an entry over the cap
inline constexpr int kPdbErrorInvalid = 1032;    // not a valid database, or an empty entry
inline constexpr int kPdbErrorFile = 1035;       // a seek, read, size query or close failed

// The largest entry PdbReadRecord reads; icons are a few kilobytes.
inline constexpr std::uint32_t kPdbMaxRecordSize = 1024 * 1024;

enum class PdbKind { kResource = 1, kRecord = 2 };

struct PdbHeader {
    std::string name;
    std::uint16_t attributes = 0;
    std::uint16_t version = 0;
    // Seconds since 1970-01-01; 0 for a stored date before that.
    std::uint32_t creationDate = 0;
    std::uint32_t modificationDate = 0;
    std::uint32_t backupDate = 0;
    std::uint32_t modificationNumber = 0;
    std::uint32_t appInfoOffset = 0;
    std::uint32_t sortInfoOffset = 0;
    std::uint32_t type = 0;
    std::uint32_t creator = 0;
    std::uint32_t uniqueIdSeed = 0;
    std::uint16_t entryCount = 0;
    PdbKind kind = PdbKind::kRecord;
};

// An entry: its data size and, in a resource database, its type and id (both
// 0 in a record database).
struct PdbRecordInfo {
    std::uint32_t size = 0;
    std::uint32_t type = 0;
    std::uint16_t id = 0;
};

struct PdbFileCloser {
    void operator()(std::FILE* file) const;
};
using PdbFile = std::unique_ptr<std::FILE, PdbFileCloser>;

// The open database. Once an operation on it fails, every later one returns
// that error without doing anything.
class PdbDatabase;
struct PdbDatabaseDeleter {
    void operator()(PdbDatabase* db) const;
};
using PdbHandle = std::unique_ptr<PdbDatabase, PdbDatabaseDeleter>;

// Validates the open file and reads its header and entry list; the handle
// then owns the file. When deletePath is given, PdbClose can delete that file.
// 0, 1032 for a file that is not a valid database, 1035 for a failed read.
int PdbOpen(PdbFile file, PdbHandle& handle, std::string deletePath = {});

int PdbGetHeader(PdbDatabase& db, PdbHeader& header);
int PdbGetRecordInfo(PdbDatabase& db, std::size_t index, PdbRecordInfo& info);
int PdbGetRecordOffset(PdbDatabase& db, std::size_t index, std::uint32_t& offset);

// Reads entry index into the handle's buffer; data stays valid until the next
// read on the handle. 1032 for an empty entry, 1029 for one over the cap.
int PdbReadRecord(PdbDatabase& db, std::size_t index, PdbRecordInfo& info,
                  std::span<const std::uint8_t>& data);

// Closes the file (1035 when that fails), deletes it when asked and a name
// was given to PdbOpen, and frees the handle. A handle's earlier error is
// returned in place of a close error.
int PdbClose(PdbHandle handle, bool deleteFile);

}  // namespace tallowmere
