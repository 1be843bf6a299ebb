#include "platform/record_pool.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TALLOWMERE_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TALLOWMERE_TEST_ASAN 1
#endif
#endif

namespace tallowmere::platform {
namespace {

constexpr std::size_t kChunk = std::size_t{2} << 20;
constexpr std::array<std::size_t, 2> kSizes = {560, 1980};

// Fills n bytes at p with a pattern of its own seed.
void Stamp(void* p, std::size_t n, std::uint8_t seed) {
    std::memset(p, seed, n);
}

bool HasStamp(const void* p, std::size_t n, std::uint8_t seed) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    for (std::size_t i = 0; i < n; ++i) {
        if (b[i] != seed)
            return false;
    }
    return true;
}

// More records than a chunk holds, of every size the pool serves and one
// it does not: none overlaps another, each is freed where it came from. The
// same when huge pages prove slow and a region turns to plain pages halfway.
class RecordPoolPagesTest : public testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        if (GetParam())
            RecordPool::SetHugeChunkBudget(std::chrono::nanoseconds{0});
    }
    void TearDown() override { RecordPool::SetHugeChunkBudget(std::chrono::milliseconds{1}); }
};

INSTANTIATE_TEST_SUITE_P(HugePages, RecordPoolPagesTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "ProvedSlow" : "AsTheKernelGives";
                         });

TEST_P(RecordPoolPagesTest, RecordsOfEverySizeStayApartAcrossChunks) {
    const std::size_t before = RecordPool::TotalChunkBytes();
    {
        RecordPool pool(kSizes);
        struct Made {
            void* p;
            std::size_t size;
            std::uint8_t seed;
        };
        std::vector<Made> made;
        const std::size_t sizes[] = {1, 560, 561, 1980, 1985, 5000};
        for (int i = 0; i < 9000; ++i) {
            const std::size_t size = sizes[i % std::size(sizes)];
            void* p = pool.Allocate(size);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 16, 0u);
            const auto seed = static_cast<std::uint8_t>(i);
            Stamp(p, size, seed);
            made.push_back({p, size, seed});
        }
        EXPECT_EQ(pool.LiveCount(), 6000u) << "sizes above the largest slot come from the heap";
        EXPECT_GT(pool.ChunkBytes(), kChunk) << "more than one chunk per size";
        EXPECT_EQ(pool.ChunkBytes() % kChunk, 0u);
        for (const Made& m : made)
            EXPECT_TRUE(HasStamp(m.p, m.size, m.seed)) << "overwritten by another record";
        // Every other one back, then as many again: all still apart.
        for (std::size_t i = 0; i < made.size(); i += 2)
            RecordPool::Free(made[i].p);
        for (std::size_t i = 0; i < made.size(); i += 2) {
            made[i].p = pool.Allocate(made[i].size);
            Stamp(made[i].p, made[i].size, static_cast<std::uint8_t>(~made[i].seed));
            made[i].seed = static_cast<std::uint8_t>(~made[i].seed);
        }
        for (const Made& m : made)
            EXPECT_TRUE(HasStamp(m.p, m.size, m.seed));
        for (const Made& m : made)
            RecordPool::Free(m.p);
        EXPECT_EQ(pool.LiveCount(), 0u);
        RecordPool::Free(nullptr);
        if (GetParam()) {
            EXPECT_TRUE(RecordPool::HugePagesProvedSlow());
        }
    }
    EXPECT_EQ(RecordPool::TotalChunkBytes(), before) << "the pool's memory went back";
}

// Records outlive the pool object that made them: its memory goes when the
// last of them is freed, not before.
TEST(RecordPoolTest, MemoryStaysUntilTheLastRecordIsFreed) {
    const std::size_t before = RecordPool::TotalChunkBytes();
    std::vector<void*> kept;
    {
        RecordPool pool(kSizes);
        for (int i = 0; i < 3; ++i) {
            kept.push_back(pool.Allocate(560));
            Stamp(kept.back(), 560, static_cast<std::uint8_t>(i + 1));
        }
        kept.push_back(pool.Allocate(1980));
        Stamp(kept.back(), 1980, 9);
    }
    EXPECT_GT(RecordPool::TotalChunkBytes(), before);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(
            HasStamp(kept[static_cast<std::size_t>(i)], 560, static_cast<std::uint8_t>(i + 1)));
    EXPECT_TRUE(HasStamp(kept[3], 1980, 9));
    for (void* p : kept) {
        EXPECT_GT(RecordPool::TotalChunkBytes(), before);
        RecordPool::Free(p);
    }
    EXPECT_EQ(RecordPool::TotalChunkBytes(), before);
}

TEST(RecordPoolTest, CurrentPoolIsPerThreadAndNests) {
    RecordPool outer(kSizes);
    RecordPool inner(kSizes);
    EXPECT_EQ(RecordPool::Current(), nullptr);
    void* fromHeap = RecordPool::AllocateRecord(560);
    {
        const CurrentRecordPool a(&outer);
        void* p = RecordPool::AllocateRecord(560);
        {
            const CurrentRecordPool b(&inner);
            EXPECT_EQ(RecordPool::Current(), &inner);
            void* q = RecordPool::AllocateRecord(560);
            EXPECT_EQ(inner.LiveCount(), 1u);
            RecordPool* seen = &inner;
            std::thread([&] { seen = RecordPool::Current(); }).join();
            EXPECT_EQ(seen, nullptr) << "another thread has its own current pool";
            RecordPool::Free(q);
        }
        EXPECT_EQ(RecordPool::Current(), &outer);
        EXPECT_EQ(outer.LiveCount(), 1u);
        RecordPool::Free(p);
    }
    EXPECT_EQ(RecordPool::Current(), nullptr);
    EXPECT_EQ(outer.LiveCount() + inner.LiveCount(), 0u);
    RecordPool::Free(fromHeap);
}

// Records freed on another thread than the one that made them.
TEST(RecordPoolTest, RecordsFreedOnOtherThreads) {
    RecordPool pool(kSizes);
    std::vector<void*> made;
    for (int i = 0; i < 4000; ++i)
        made.push_back(pool.Allocate(i % 2 == 0 ? 560 : 1980));
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (std::size_t i = t; i < made.size(); i += 4)
                RecordPool::Free(made[i]);
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(pool.LiveCount(), 0u);
}

using RecordPoolDeathTest = ::testing::Test;

TEST_F(RecordPoolDeathTest, FreeingTwiceStopsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    RecordPool pool(kSizes);
    void* pooled = pool.Allocate(560);
    void* heap = pool.Allocate(4000);
    RecordPool::Free(pooled);
    RecordPool::Free(heap);
    EXPECT_DEATH(RecordPool::Free(pooled), "");
    EXPECT_DEATH(RecordPool::Free(heap), "");
}

#ifdef TALLOWMERE_TEST_ASAN
// The address sanitizer sees a freed slot as freed, even after other
// records have been made since.
TEST_F(RecordPoolDeathTest, UseAfterFreeIsSeenByTheSanitizer) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    RecordPool pool(kSizes);
    auto* p = static_cast<volatile std::uint8_t*>(pool.Allocate(560));
    p[100] = 1;
    RecordPool::Free(const_cast<std::uint8_t*>(p));
    std::vector<void*> since;
    for (int i = 0; i < 100; ++i)
        since.push_back(pool.Allocate(560));
    EXPECT_DEATH(p[100] = 2, "use-after-poison");
    for (void* q : since)
        RecordPool::Free(q);
}
#endif

}  // namespace
}  // namespace tallowmere::platform
