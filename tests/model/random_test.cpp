#include "model/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

namespace tallowmere {
namespace {

TEST(RandomTest, UnseededStartsFrom5489) {
    // The generator is process-wide; a fresh process shows the unseeded state.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(RandomNext() == 3499211612u ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST(RandomTest, IsThePublishedMt19937) {
    RandomSeed(5489);
    std::uint32_t value = 0;
    for (int i = 0; i < 10000; ++i)
        value = RandomNext();
    EXPECT_EQ(value, 4123659995u);

    RandomSeed(12345);
    std::mt19937 reference(12345);
    for (int i = 0; i < 1300; ++i)
        ASSERT_EQ(RandomNext(), reference()) << i;
}

TEST(RandomTest, ThreadsShareOneSequence) {
    constexpr int kPerThread = 20000;
    RandomSeed(77);
    std::vector<std::uint32_t> a(kPerThread);
    std::vector<std::uint32_t> b(kPerThread);
    std::thread t1([&] {
        for (auto& v : a)
            v = RandomNext();
    });
    std::thread t2([&] {
        for (auto& v : b)
            v = RandomNext();
    });
    t1.join();
    t2.join();
    // Together the two threads drew exactly the first outputs of the sequence.
    std::vector<std::uint32_t> drawn(a);
    drawn.insert(drawn.end(), b.begin(), b.end());
    std::mt19937 reference(77);
    std::vector<std::uint32_t> expected(2 * kPerThread);
    for (auto& v : expected)
        v = static_cast<std::uint32_t>(reference());
    std::sort(drawn.begin(), drawn.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(drawn, expected);
}

}  // namespace
}  // namespace tallowmere
