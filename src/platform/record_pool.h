#pragma once
// Pooled storage for many records of a few fixed sizes: slots in 2 MiB-
// aligned chunks, backed by huge pages where the kernel offers them, so that
// loading a hundred thousand records takes a few hundred page faults instead
// of tens of thousands. A pool is made current for a thread while records are
// made (a data set's while it loads); records made with no pool current come
// from the heap. Either kind goes back to where it came from through Free, so
// records move freely between owners. Slots are not scanned by the leak
// checker: what they hold must not be the only pointer to heap memory that
// outlives them.
#include <chrono>
#include <cstddef>
#include <span>

namespace tallowmere::platform {

class RecordPool {
  public:
    // Slots for objects of up to each of these sizes (at most four sizes).
    explicit RecordPool(std::span<const std::size_t> objectSizes);
    // Records still out keep their chunks: the memory goes back to the system
    // when the last of them is freed.
    ~RecordPool();
    RecordPool(const RecordPool&) = delete;
    RecordPool& operator=(const RecordPool&) = delete;

    // Records of this pool not yet freed.
    std::size_t LiveCount() const;
    // Bytes of the chunks that hold or held records.
    std::size_t ChunkBytes() const;

    // Memory for one object from the smallest slot that holds size bytes;
    // from the heap when none does. Throws std::bad_alloc when memory runs
    // out.
    void* Allocate(std::size_t size);

    // The pool that records of this thread come from, or nullptr.
    static RecordPool* Current();
    // Memory from the current pool of this thread, else from the heap.
    static void* AllocateRecord(std::size_t size);
    // Gives back memory from Allocate or AllocateRecord (nullptr is ignored).
    // A pointer freed twice or not from here stops the program.
    static void Free(void* p) noexcept;
    // ChunkBytes of every pool of the process, for the benchmarks.
    static std::size_t TotalChunkBytes();
    // A huge-page chunk that takes longer than the budget to fault in makes
    // the process use plain pages from then on (1 ms unless set; setting it
    // also forgets an earlier verdict).
    static void SetHugeChunkBudget(std::chrono::nanoseconds budget);
    static bool HugePagesProvedSlow();

  private:
    struct Core;
    Core* core_;
};

// Makes pool current for this thread while it lives; the one before comes
// back after.
class CurrentRecordPool {
  public:
    explicit CurrentRecordPool(RecordPool* pool);
    ~CurrentRecordPool();
    CurrentRecordPool(const CurrentRecordPool&) = delete;
    CurrentRecordPool& operator=(const CurrentRecordPool&) = delete;

  private:
    RecordPool* previous_;
};

}  // namespace tallowmere::platform
