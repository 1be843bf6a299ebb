#include "platform/record_pool.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TALLOWMERE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TALLOWMERE_ASAN 1
#endif
#endif

#ifdef TALLOWMERE_ASAN
#include <sanitizer/asan_interface.h>

#include <deque>
#include <tuple>
#endif

namespace tallowmere::platform {
namespace {

constexpr std::size_t kChunkSize = std::size_t{2} << 20;
// The chunk header, rounded to a cache line.
constexpr std::size_t kHeaderSize = 64;
// Regions grow with the pool up to this many chunks, so a large load maps
// few regions and a small one little address space.
constexpr std::size_t kMaxRegionChunks = 16;
constexpr std::size_t kMaxSizeClasses = 4;

constexpr std::uint64_t kChunkMagic = 0x6b6e756843636552;  // "RecChunk"
constexpr std::uint64_t kPooledLive = 0x4c6c6f6f50636552;  // "RecPoolL"
constexpr std::uint64_t kPooledFree = 0x466c6f6f50636552;  // "RecPoolF"
constexpr std::uint64_t kHeapLive = 0x4c70616548636552;    // "RecHeapL"

// Before every record, pooled or not: where it came from, and the link of
// the free list while the slot is free.
struct alignas(16) Prefix {
    std::uint64_t tag;
    Prefix* next;
};
static_assert(sizeof(Prefix) == 16);

std::atomic<std::size_t> g_chunkBytes{0};
// Huge pages are cleared at about 10 GB/s, a 2 MiB chunk in a quarter of a
// millisecond. Where a guest's free memory was handed back to its host, the
// huge pages the kernel hands out are faulted in again page by page and take
// twenty times that; plain pages, taken from memory in recent use, then cost
// far less. One slow chunk is enough to know, and the rest of the process
// uses plain pages.
std::atomic<std::int64_t> g_hugeChunkBudgetNs{1'000'000};
std::atomic<bool> g_hugePagesSlow{false};
thread_local RecordPool* t_current = nullptr;

#ifdef TALLOWMERE_ASAN
// A freed slot stays poisoned and out of use for a while, so that a use
// after free is still seen when records are made in between.
constexpr std::size_t kQuarantineSlots = 1024;
void Poison(const void* p, std::size_t n) {
    ASAN_POISON_MEMORY_REGION(p, n);
}
void Unpoison(const void* p, std::size_t n) {
    ASAN_UNPOISON_MEMORY_REGION(p, n);
}
#else
void Poison(const void*, std::size_t) {}
void Unpoison(const void*, std::size_t) {}
#endif

std::size_t RoundUp(std::size_t n, std::size_t to) {
    return (n + to - 1) / to * to;
}

void* HeapAllocate(std::size_t size) {
    auto* prefix = static_cast<Prefix*>(::operator new(sizeof(Prefix) + size));
    prefix->tag = kHeapLive;
    prefix->next = nullptr;
    return prefix + 1;
}

}  // namespace

struct RecordPool::Core {
    struct ChunkHeader {
        Core* core;
        std::uint64_t magic;
        std::size_t sizeClass;
    };
    struct Region {
        std::byte* start;
        std::size_t size;
    };
    // The slots of one size, cut from chunks of their own.
    struct SizeClass {
        std::size_t objectSize = 0;
        std::size_t slotSize = 0;
        std::byte* bump = nullptr;
        std::byte* bumpEnd = nullptr;
        Prefix* freeList = nullptr;
    };

    explicit Core(std::span<const std::size_t> objectSizes) {
        if (objectSizes.size() == 0 || objectSizes.size() > kMaxSizeClasses)
            throw std::bad_alloc();
        for (std::size_t size : objectSizes) {
            SizeClass& c = classes[classCount++];
            c.objectSize = RoundUp(size == 0 ? 1 : size, alignof(Prefix));
            c.slotSize = sizeof(Prefix) + c.objectSize;
            if (c.slotSize > kChunkSize - kHeaderSize)
                throw std::bad_alloc();
        }
        std::sort(
            classes.begin(), classes.begin() + static_cast<std::ptrdiff_t>(classCount),
            [](const SizeClass& a, const SizeClass& b) { return a.objectSize < b.objectSize; });
    }

    ~Core() {
        for (const Region& r : regions) {
            Unpoison(r.start, r.size);
            munmap(r.start, r.size);
        }
        g_chunkBytes -= chunkBytes;
    }

    Core(const Core&) = delete;
    Core& operator=(const Core&) = delete;

    // A 2 MiB-aligned region of chunks. Once the pool has outgrown its first
    // chunk it asks for huge pages, and each chunk is faulted in at once.
    void MapRegion() {
        const std::size_t chunks =
            std::min(kMaxRegionChunks, std::max<std::size_t>(1, reserved / kChunkSize));
        const std::size_t size = chunks * kChunkSize;
        void* raw = mmap(nullptr, size + kChunkSize, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED)
            throw std::bad_alloc();
        auto* base = static_cast<std::byte*>(raw);
        const auto address = reinterpret_cast<std::uintptr_t>(base);
        const std::size_t head = RoundUp(address, kChunkSize) - address;
        if (head > 0)
            munmap(base, head);
        munmap(base + head + size, kChunkSize - head);
        std::byte* start = base + head;
        try {
            regions.push_back({start, size});
        } catch (...) {
            munmap(start, size);
            throw;
        }
        populate = reserved > 0;
        // Where the kernel offers no huge pages this fails, and plain pages
        // serve. Where they have proved slow, none are taken even when the
        // kernel hands them out unasked.
        hugeRegion = populate && !g_hugePagesSlow.load(std::memory_order_relaxed);
        if (hugeRegion)
            madvise(start, size, MADV_HUGEPAGE);
        else if (populate)
            madvise(start, size, MADV_NOHUGEPAGE);
        Poison(start, size);
        reserved += size;
        nextChunk = start;
        regionEnd = start + size;
    }

    void Populate(std::byte* chunk) {
        if (!hugeRegion) {
            madvise(chunk, kChunkSize, MADV_POPULATE_WRITE);
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        madvise(chunk, kChunkSize, MADV_POPULATE_WRITE);
        const auto spent = std::chrono::steady_clock::now() - start;
        if (std::chrono::duration_cast<std::chrono::nanoseconds>(spent).count() <=
            g_hugeChunkBudgetNs.load(std::memory_order_relaxed))
            return;
        g_hugePagesSlow.store(true, std::memory_order_relaxed);
        hugeRegion = false;
        if (nextChunk < regionEnd)
            madvise(nextChunk, static_cast<std::size_t>(regionEnd - nextChunk), MADV_NOHUGEPAGE);
    }

    void NewChunk(std::size_t sizeClass) {
        if (nextChunk == regionEnd)
            MapRegion();
        std::byte* chunk = nextChunk;
        nextChunk += kChunkSize;
        // One call instead of a fault per page where huge pages are off.
        if (populate)
            Populate(chunk);
        chunkBytes += kChunkSize;
        g_chunkBytes += kChunkSize;
        Unpoison(chunk, sizeof(ChunkHeader));
        auto* header = reinterpret_cast<ChunkHeader*>(chunk);
        header->core = this;
        header->magic = kChunkMagic;
        header->sizeClass = sizeClass;
        classes[sizeClass].bump = chunk + kHeaderSize;
        classes[sizeClass].bumpEnd = chunk + kChunkSize;
    }

    // The smallest class that holds size, or classCount.
    std::size_t ClassFor(std::size_t size) const {
        std::size_t i = 0;
        while (i < classCount && classes[i].objectSize < size)
            ++i;
        return i;
    }

    // Under the lock.
    void* Take(std::size_t sizeClass) {
        SizeClass& c = classes[sizeClass];
        Prefix* slot = c.freeList;
        if (slot != nullptr) {
            Unpoison(slot, sizeof(Prefix));
            c.freeList = slot->next;
        } else {
            if (static_cast<std::size_t>(c.bumpEnd - c.bump) < c.slotSize)
                NewChunk(sizeClass);
            slot = reinterpret_cast<Prefix*>(c.bump);
            c.bump += c.slotSize;
        }
        Unpoison(slot, c.slotSize);
        slot->tag = kPooledLive;
        slot->next = nullptr;
        ++live;
        return slot + 1;
    }

    // Under the lock.
    void Give(Prefix* slot, std::size_t sizeClass) {
        slot->tag = kPooledFree;
        --live;
#ifdef TALLOWMERE_ASAN
        Poison(slot, classes[sizeClass].slotSize);
        quarantine.push_back({slot, sizeClass});
        if (quarantine.size() <= kQuarantineSlots)
            return;
        std::tie(slot, sizeClass) = quarantine.front();
        quarantine.pop_front();
        Unpoison(slot, sizeof(Prefix));
#endif
        SizeClass& c = classes[sizeClass];
        slot->next = c.freeList;
        Poison(slot, c.slotSize);
        c.freeList = slot;
    }

    static const ChunkHeader& HeaderOf(const Prefix* slot) {
        const auto address = reinterpret_cast<std::uintptr_t>(slot);
        const auto* header = reinterpret_cast<const ChunkHeader*>(address & ~(kChunkSize - 1));
        if (header->magic != kChunkMagic)
            std::abort();
        return *header;
    }

    mutable std::mutex mutex;
    std::array<SizeClass, kMaxSizeClasses> classes;
    std::size_t classCount = 0;
    std::vector<Region> regions;
    std::byte* nextChunk = nullptr;
    std::byte* regionEnd = nullptr;
    bool populate = false;
    bool hugeRegion = false;
    std::size_t live = 0;
    std::size_t reserved = 0;
    std::size_t chunkBytes = 0;
    // The pool object is gone; the last record freed takes the core with it.
    bool orphaned = false;
#ifdef TALLOWMERE_ASAN
    std::deque<std::pair<Prefix*, std::size_t>> quarantine;
#endif
};

RecordPool::RecordPool(std::span<const std::size_t> objectSizes) : core_(new Core(objectSizes)) {}

RecordPool::~RecordPool() {
    bool last;
    {
        const std::lock_guard lock(core_->mutex);
        core_->orphaned = true;
        last = core_->live == 0;
    }
    if (last)
        delete core_;
}

std::size_t RecordPool::LiveCount() const {
    const std::lock_guard lock(core_->mutex);
    return core_->live;
}

std::size_t RecordPool::ChunkBytes() const {
    const std::lock_guard lock(core_->mutex);
    return core_->chunkBytes;
}

void* RecordPool::Allocate(std::size_t size) {
    const std::size_t sizeClass = core_->ClassFor(size);
    if (sizeClass == core_->classCount)
        return HeapAllocate(size);
    const std::lock_guard lock(core_->mutex);
    return core_->Take(sizeClass);
}

RecordPool* RecordPool::Current() {
    return t_current;
}

void* RecordPool::AllocateRecord(std::size_t size) {
    RecordPool* pool = t_current;
    return pool != nullptr ? pool->Allocate(size) : HeapAllocate(size);
}

void RecordPool::Free(void* p) noexcept {
    if (p == nullptr)
        return;
    Prefix* prefix = static_cast<Prefix*>(p) - 1;
    if (prefix->tag == kHeapLive) {
        prefix->tag = 0;
        ::operator delete(prefix);
        return;
    }
    if (prefix->tag != kPooledLive)
        std::abort();
    const Core::ChunkHeader& header = Core::HeaderOf(prefix);
    Core* core = header.core;
    bool last;
    {
        const std::lock_guard lock(core->mutex);
        core->Give(prefix, header.sizeClass);
        last = core->orphaned && core->live == 0;
    }
    if (last)
        delete core;
}

std::size_t RecordPool::TotalChunkBytes() {
    return g_chunkBytes.load();
}

CurrentRecordPool::CurrentRecordPool(RecordPool* pool) : previous_(t_current) {
    t_current = pool;
}

CurrentRecordPool::~CurrentRecordPool() {
    t_current = previous_;
}

void RecordPool::SetHugeChunkBudget(std::chrono::nanoseconds budget) {
    g_hugeChunkBudgetNs.store(budget.count(), std::memory_order_relaxed);
    g_hugePagesSlow.store(false, std::memory_order_relaxed);
}

bool RecordPool::HugePagesProvedSlow() {
    return g_hugePagesSlow.load(std::memory_order_relaxed);
}

}  // namespace tallowmere::platform
