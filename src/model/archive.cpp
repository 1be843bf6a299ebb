#include "model/archive.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "model/byte_order.h"
#include "model/error_sink.h"
#include "platform/atomic_file.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere {

namespace {

constexpr std::uint16_t kNullTag = 0x0000;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;
constexpr std::uint16_t kWideMarker = 0xFFFE;

[[noreturn]] void Fail() {
    throw ArchiveError{kErrorBadFile};
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

CArchive::CArchive() : storing_(true) {}

CArchive::CArchive(ByteSink sink) : storing_(true), sink_(std::move(sink)) {
    out_.reserve(kStreamBlock);
}

CArchive::CArchive(std::span<const std::uint8_t> data) : storing_(false), in_(data) {}

// --- storing ---

void CArchive::Put(const void* data, std::size_t size) {
    if (size == 0)
        return;
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (sink_ && size > kStreamBlock - out_.size()) {
        PutStreamed(p, size);
        return;
    }
    out_.insert(out_.end(), p, p + size);
}

// Fills the block to the brim before handing it over, so the file is
// written in whole blocks.
void CArchive::PutStreamed(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const std::size_t n = std::min(size, kStreamBlock - out_.size());
        out_.insert(out_.end(), data, data + n);
        data += n;
        size -= n;
        if (out_.size() == kStreamBlock)
            Flush();
    }
}

void CArchive::Flush() {
    if (!sink_ || out_.empty())
        return;
    const int rc = sink_(out_);
    out_.clear();
    if (rc != 0)
        throw ArchiveError{rc};
}

void CArchive::WriteByte(std::uint8_t v) {
    if (sink_ && out_.size() == kStreamBlock)
        Flush();
    out_.push_back(v);
}

void CArchive::WriteWord(std::uint16_t v) {
    std::uint8_t b[2];
    StoreLE16(b, v);
    Put(b, sizeof b);
}

void CArchive::WriteUInt32(std::uint32_t v) {
    std::uint8_t b[4];
    StoreLE32(b, v);
    Put(b, sizeof b);
}

void CArchive::WriteInt32(std::int32_t v) {
    WriteUInt32(static_cast<std::uint32_t>(v));
}

void CArchive::WriteInt64(std::int64_t v) {
    std::uint8_t b[8];
    StoreLE64(b, static_cast<std::uint64_t>(v));
    Put(b, sizeof b);
}

void CArchive::WriteDouble(double v) {
    WriteInt64(std::bit_cast<std::int64_t>(v));
}

void CArchive::WriteBytes(const void* data, std::size_t size) {
    Put(data, size);
}

void CArchive::WriteString(std::string_view s) {
    const std::uint64_t n = s.size();
    if (n < 0xFF) {
        WriteByte(static_cast<std::uint8_t>(n));
    } else {
        WriteByte(0xFF);
        if (n < kWideMarker) {
            WriteWord(static_cast<std::uint16_t>(n));
        } else {
            WriteWord(0xFFFF);
            if (n < 0xFFFFFFFFu) {
                WriteUInt32(static_cast<std::uint32_t>(n));
            } else {
                WriteUInt32(0xFFFFFFFFu);
                WriteInt64(static_cast<std::int64_t>(n));
            }
        }
    }
    Put(s.data(), s.size());
}

void CArchive::WriteCount(std::uint32_t count) {
    if (count < 0xFFFF) {
        WriteWord(static_cast<std::uint16_t>(count));
    } else {
        WriteWord(0xFFFF);
        WriteUInt32(count);
    }
}

void CArchive::WriteClassTag(std::string_view name) {
    for (const auto& [known, index] : storedClasses_) {
        if (known == name) {
            // The long form depends on the class's own index, not on the size
            // of the table, so a list's item class stays 8001 at any length.
            if (index < kBigObjectTag) {
                WriteWord(static_cast<std::uint16_t>(kClassTag | index));
            } else {
                WriteWord(kBigObjectTag);
                WriteUInt32(kBigClassTag | index);
            }
            return;
        }
    }
    if (name.size() > 0xFFFF || mapCount_ >= kBigClassTag)
        Fail();
    WriteWord(kNewClassTag);
    WriteWord(0);  // schema
    WriteWord(static_cast<std::uint16_t>(name.size()));
    Put(name.data(), name.size());
    storedClasses_.emplace_back(std::string(name), mapCount_++);
}

void CArchive::WriteObject(CObject* obj) {
    if (obj == nullptr) {
        WriteWord(kNullTag);
        return;
    }
    WriteClassTag(obj->GetClassName());
    if (mapCount_ >= kBigClassTag)
        Fail();
    ++mapCount_;
    obj->Serialize(*this);
}

// --- loading ---

void CArchive::Need(std::size_t n) const {
    if (n > in_.size() - pos_)
        Fail();
}

std::uint8_t CArchive::ReadByte() {
    Need(1);
    return in_[pos_++];
}

std::uint16_t CArchive::ReadWord() {
    Need(2);
    const std::uint16_t v = LoadLE16(&in_[pos_]);
    pos_ += 2;
    return v;
}

std::uint32_t CArchive::ReadUInt32() {
    Need(4);
    const std::uint32_t v = LoadLE32(&in_[pos_]);
    pos_ += 4;
    return v;
}

std::int32_t CArchive::ReadInt32() {
    return static_cast<std::int32_t>(ReadUInt32());
}

std::int64_t CArchive::ReadInt64() {
    Need(8);
    const std::uint64_t v = LoadLE64(&in_[pos_]);
    pos_ += 8;
    return static_cast<std::int64_t>(v);
}

double CArchive::ReadDouble() {
    return std::bit_cast<double>(ReadInt64());
}

void CArchive::ReadBytes(void* data, std::size_t size) {
    Need(size);
    if (size == 0)
        return;
    std::memcpy(data, in_.data() + pos_, size);
    pos_ += size;
}

void CArchive::Skip(std::size_t size) {
    Need(size);
    pos_ += size;
}

std::uint64_t CArchive::ReadStringLength(bool& wide) {
    wide = false;
    std::uint8_t b = ReadByte();
    if (b < 0xFF)
        return b;
    std::uint16_t w = ReadWord();
    if (w == kWideMarker) {
        // UTF-16: the length follows again in the same form, in 16-bit units.
        wide = true;
        b = ReadByte();
        if (b < 0xFF)
            return b;
        w = ReadWord();
    }
    if (w < 0xFFFF)
        return w;
    const std::uint32_t d = ReadUInt32();
    if (d < 0xFFFFFFFFu)
        return d;
    return static_cast<std::uint64_t>(ReadInt64());
}

std::string CArchive::ReadWideChars(std::uint64_t units) {
    if (units > Remaining() / 2)
        Fail();
    const std::size_t n = static_cast<std::size_t>(units);
    const std::uint8_t* p = in_.data() + pos_;
    pos_ += n * 2;
    std::string utf8;
    for (std::size_t i = 0; i < n; ++i) {
        std::uint32_t u = p[2 * i] | (p[2 * i + 1] << 8);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
            const std::uint32_t lo = p[2 * i + 2] | (p[2 * i + 3] << 8);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                ++i;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF)
            u = 0xFFFD;  // unpaired surrogate
        AppendUtf8(utf8, u);
    }
    return platform::Utf8ToCp1252(utf8);
}

std::string CArchive::ReadString() {
    bool wide = false;
    const std::uint64_t n = ReadStringLength(wide);
    if (wide)
        return ReadWideChars(n);
    if (n > Remaining())
        Fail();
    std::string s(reinterpret_cast<const char*>(in_.data() + pos_), static_cast<std::size_t>(n));
    pos_ += static_cast<std::size_t>(n);
    return s;
}

void CArchive::ReadStringInto(char* field, std::size_t fieldSize) {
    bool wide = false;
    const std::uint64_t n = ReadStringLength(wide);
    std::string converted;
    const char* src;
    std::size_t len;
    if (wide) {
        converted = ReadWideChars(n);
        src = converted.data();
        len = converted.size();
    } else {
        if (n > Remaining())
            Fail();
        src = reinterpret_cast<const char*>(in_.data() + pos_);
        len = static_cast<std::size_t>(n);
        pos_ += len;
    }
    if (fieldSize == 0)
        return;
    // A fixed field holds a C text: an embedded NUL ends it, and everything
    // after it is cleared so the field reads and writes back the same.
    const void* nul = std::memchr(src, '\0', len);
    if (nul != nullptr)
        len = static_cast<std::size_t>(static_cast<const char*>(nul) - src);
    const std::size_t keep = std::min(len, fieldSize - 1);
    if (keep > 0)
        std::memcpy(field, src, keep);
    std::memset(field + keep, 0, fieldSize - keep);
}

std::uint32_t CArchive::ReadCount(std::size_t minElementSize) {
    std::uint32_t count = ReadWord();
    if (count == 0xFFFF)
        count = ReadUInt32();
    if (minElementSize > 0 && count > Remaining() / minElementSize)
        Fail();
    return count;
}

const CRuntimeClass* CArchive::FindLoadedClass(std::uint32_t index) const {
    auto it = std::lower_bound(loadClasses_.begin(), loadClasses_.end(), index,
                               [](const auto& entry, std::uint32_t i) { return entry.first < i; });
    // Absent means not defined yet or an object entry: both are refused.
    if (it == loadClasses_.end() || it->first != index)
        Fail();
    return it->second;
}

// The class of the next object, or nullptr for a null tag.
const CRuntimeClass* CArchive::ReadClassTag() {
    const std::uint16_t tag = ReadWord();
    if (tag == kNullTag)
        return nullptr;
    if (tag == kNewClassTag) {
        ReadWord();  // schema: every class here is versionable, so any value goes
        const std::uint16_t len = ReadWord();
        Need(len);
        const std::string_view name(reinterpret_cast<const char*>(in_.data() + pos_), len);
        pos_ += len;
        const CRuntimeClass* rc = FindRuntimeClass(name);
        if (rc == nullptr || mapCount_ >= kBigClassTag)
            Fail();
        loadClasses_.emplace_back(mapCount_++, rc);
        return rc;
    }
    std::uint32_t index;
    if (tag == kBigObjectTag) {
        const std::uint32_t d = ReadUInt32();
        // Without the class bit this is a reference to an earlier object.
        if ((d & kBigClassTag) == 0)
            Fail();
        index = d & ~kBigClassTag;
    } else if (tag & kClassTag) {
        index = tag & ~kClassTag;
    } else {
        Fail();  // a reference to an earlier object
    }
    return FindLoadedClass(index);
}

std::unique_ptr<CObject> CArchive::ReadOwnedObject() {
    return ReadOwnedObject(nullptr);
}

std::unique_ptr<CObject> CArchive::ReadOwnedObject(const ObjectFilter& accept) {
    const CRuntimeClass* rc = ReadClassTag();
    if (rc == nullptr)
        return nullptr;
    if (rc->create == nullptr || mapCount_ >= kBigClassTag)
        Fail();
    std::unique_ptr<CObject> obj = rc->create();
    if (!obj || (accept && !accept(*obj)))
        Fail();
    ++mapCount_;
    obj->Serialize(*this);
    return obj;
}

void CArchive::SerializeItemEndZero() {
    if (storing_ || !itemEndZero_)
        return;
    if (ReadUInt32() != 0)
        Fail();
    ++itemEndZerosRead_;
}

// --- whole files ---

namespace {

// One parse of a file image, and how it ended.
struct Parse {
    int code = 0;
    bool toTheEnd = false;
    std::size_t itemEndZeros = 0;
};

Parse ParseObjectData(std::span<const std::uint8_t> data, CObject& obj, bool oldFormatRecords,
                      bool itemEndZero) {
    Parse p;
    try {
        CArchive ar(data);
        ar.SetOldFormatRecords(oldFormatRecords);
        ar.SetItemEndZero(itemEndZero);
        obj.Serialize(ar);
        p.toTheEnd = ar.Remaining() == 0;
        p.itemEndZeros = ar.ItemEndZerosRead();
    } catch (const ArchiveError& e) {
        p.code = e.code != 0 ? e.code : kErrorBadFile;
    } catch (const std::bad_alloc&) {
        p.code = platform::kErrorNotEnoughMemory;
    } catch (...) {
        p.code = kErrorBadFile;
    }
    return p;
}

constexpr int kStringItemFormsUnclear = 3150;

}  // namespace

int LoadObjectData(std::span<const std::uint8_t> data, CObject& obj, bool oldFormatRecords) {
    return ParseObjectData(data, obj, oldFormatRecords, false).code;
}

int LoadObjectDataEitherItemEnd(std::span<const std::uint8_t> data, CObject& obj,
                                bool oldFormatRecords, std::string_view fileName) {
    // Each parse refills obj; the form written today is parsed last, so that
    // in the usual case obj already holds the form that fits.
    const Parse withZero = ParseObjectData(data, obj, oldFormatRecords, true);
    if (withZero.code == platform::kErrorNotEnoughMemory)
        return withZero.code;
    // A file without such records reads the same both ways: that is one form.
    const bool zeroFits = withZero.code == 0 && withZero.toTheEnd && withZero.itemEndZeros > 0;
    const Parse without = ParseObjectData(data, obj, oldFormatRecords, false);
    if (without.code == platform::kErrorNotEnoughMemory)
        return without.code;
    const bool withoutFits = without.code == 0 && without.toTheEnd;
    if (withoutFits && !zeroFits)
        return 0;
    if (zeroFits && !withoutFits)
        return ParseObjectData(data, obj, oldFormatRecords, true).code;
    try {
        ReportError(kStringItemFormsUnclear,
                    {std::string(fileName), static_cast<std::int64_t>(kErrorBadFile)});
    } catch (...) {
        // The caller still learns of the failure from the result.
    }
    return kErrorBadFile;
}

int ReadObjectFile(const std::string& path, std::vector<std::uint8_t>& data) {
    try {
        return platform::ReadWholeFile(path, data);
    } catch (const std::bad_alloc&) {
        return platform::kErrorNotEnoughMemory;
    } catch (...) {
        return platform::kErrorGenFailure;
    }
}

int LoadObjectFile(const std::string& path, CObject& obj, bool oldFormatRecords) {
    std::vector<std::uint8_t> data;
    const int r = ReadObjectFile(path, data);
    if (r != 0)
        return r;
    return LoadObjectData(data, obj, oldFormatRecords);
}

namespace {

// Runs one store: 0 or the code of what stopped it.
template <class Store>
int GuardedStore(const Store& store) {
    try {
        store();
        return 0;
    } catch (const ArchiveError& e) {
        return e.code != 0 ? e.code : platform::kErrorGenFailure;
    } catch (const std::bad_alloc&) {
        return platform::kErrorNotEnoughMemory;
    } catch (...) {
        return platform::kErrorGenFailure;
    }
}

}  // namespace

int SaveObjectData(CObject& obj, std::vector<std::uint8_t>& out) {
    return GuardedStore([&] {
        CArchive ar;
        obj.Serialize(ar);
        out = ar.TakeData();
    });
}

int SaveObjectFile(const std::string& path, CObject& obj) {
    // Streamed into the temporary file: the disk works while the rest is
    // made, and no file-sized buffer is ever faulted in.
    platform::AtomicFileWriter file;
    if (const int r = file.Open(path); r != 0)
        return r;
    const int r = GuardedStore([&] {
        CArchive ar([&file](std::span<const std::uint8_t> bytes) { return file.Write(bytes); });
        obj.Serialize(ar);
        ar.Flush();
    });
    return r != 0 ? r : file.Commit();
}

}  // namespace tallowmere
