#include "model/record_id.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "model/crc16.h"
#include "model/machine_id.h"
#include "model/palm_time.h"
#include "platform/adapter_id.h"
#include "platform/clock.h"

namespace tallowmere {
namespace {

RecordId Id(std::initializer_list<std::uint8_t> bytes) {
    RecordId id;
    std::copy(bytes.begin(), bytes.end(), id.bytes.begin());
    return id;
}

std::uint16_t Sequence(const RecordId& id) {
    return static_cast<std::uint16_t>(id.bytes[2] << 8 | id.bytes[3]);
}

std::uint32_t TimeOf(const RecordId& id) {
    return std::uint32_t{id.bytes[4]} << 24 | std::uint32_t{id.bytes[5]} << 16 |
           std::uint32_t{id.bytes[6]} << 8 | id.bytes[7];
}

// A clock whose time advances one second every kIdsPerSecond readings, so that
// many ids can be made without two seconds' worth sharing one time.
class FakeClock : public platform::Clock {
  public:
    static constexpr std::uint32_t kIdsPerSecond = 40000;
    std::uint32_t tick = 12345;
    PalmTime base = 0;
    bool advancing = false;

    platform::LocalTime LocalNow() const override {
        std::uint32_t n = reads_.fetch_add(1);
        DateFields f = DateFields::FromPalmTime(base + (advancing ? n / kIdsPerSecond : 0));
        return {f.year, f.month, f.day, f.hour, f.minute, f.second};
    }
    std::uint32_t TickCount() const override { return tick; }

  private:
    mutable std::atomic<std::uint32_t> reads_{0};
};

platform::AdapterStatus SampleAdapter() {
    platform::AdapterStatus block{};
    const std::uint8_t mac[] = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
    std::copy(std::begin(mac), std::end(mac), block.begin());
    return block;
}

// The first two outputs of MT19937 seeded with the tick count: the starting
// sequence number and, without an adapter, the machine id.
std::pair<std::uint16_t, std::uint16_t> RandomStart(std::uint32_t tick) {
    std::mt19937 reference(tick);
    auto sequence = static_cast<std::uint16_t>(reference() % 0xFFFF);
    auto machine = static_cast<std::uint16_t>(reference() % 0xFFFF);
    return {sequence, machine};
}

class RecordIdTest : public ::testing::Test {
  protected:
    void SetUp() override {
        clock_.base = DateFields{15, 14, 13, 15, 2, 2010}.ToPalmTime();
        platform::SetClock(&clock_);
        UseAdapter(SampleAdapter());
        ResetRecordIdGeneratorForTest();
    }
    void TearDown() override {
        platform::SetClock(nullptr);
        platform::SetAdapterSource(nullptr);
        ResetRecordIdGeneratorForTest();
    }
    void UseAdapter(std::optional<platform::AdapterStatus> block) {
        adapterReads_ = 0;
        platform::SetAdapterSource([this, block] {
            ++adapterReads_;
            return block;
        });
    }

    FakeClock clock_;
    std::atomic<int> adapterReads_{0};
};

TEST(RecordIdBytesTest, CompareIsByteWiseFromByteZero) {
    struct Case {
        RecordId a, b;
        int expected;
    };
    const Case cases[] = {
        {Id({0x01, 0x00}), Id({0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), 1},
        {Id({0x00, 0xFF}), Id({0x01, 0x00}), -1},
        {Id({0x80}), Id({0x7F, 0xFF}), 1},  // unsigned bytes
        {Id({0, 0, 0, 0, 0, 0, 0, 1}), Id({0, 0, 0, 0, 0, 0, 0, 2}), -1},
        {Id({1, 2, 3, 4, 5, 6, 7, 8}), Id({1, 2, 3, 4, 5, 6, 7, 8}), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RecordId::Compare(c.a, c.b), c.expected) << RecordIdToHex(c.a);
    }
    EXPECT_TRUE(RecordId::IsLowZero(SplitMarkerId));
    EXPECT_FALSE(RecordId::IsNull(SplitMarkerId));
    EXPECT_FALSE(RecordId::IsLowZero(Id({0, 0, 0, 0, 0, 0, 1, 0})));
}

TEST(RecordIdBytesTest, HexIsUpperCaseByteZeroFirst) {
    struct Case {
        RecordId id;
        const char* hex;
    };
    const Case cases[] = {
        {Id({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}), "0123456789ABCDEF"},
        {kNoneId, "0000000000000000"},
        {SplitMarkerId, "0000000000000001"},
        {Id({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), "FFFFFFFFFFFFFFFF"},
        {Id({0xA0, 0x0B}), "A00B000000000000"},
    };
    for (const Case& c : cases) {
        char buffer[20];
        std::fill(std::begin(buffer), std::end(buffer), 'z');
        char* end = RecordIdToHex(c.id, buffer);
        EXPECT_EQ(end, buffer + 16);
        EXPECT_EQ(*end, '\0');
        EXPECT_STREQ(buffer, c.hex);
        EXPECT_EQ(RecordIdToHex(c.id), c.hex);
    }
}

TEST_F(RecordIdTest, FirstIdsCarryMachineSequenceAndTime) {
    const platform::AdapterStatus block = SampleAdapter();
    const std::uint16_t machine = Crc16(block.data(), block.size(), 0x0DE5);
    const std::uint16_t start = RandomStart(clock_.tick).first;
    const PalmTime now = clock_.base;

    RecordId first = NewRecordId();
    RecordId second = NewRecordId();
    auto seq = static_cast<std::uint16_t>(start + 1);
    EXPECT_EQ(first,
              Id({static_cast<std::uint8_t>(machine >> 8), static_cast<std::uint8_t>(machine),
                  static_cast<std::uint8_t>(seq >> 8), static_cast<std::uint8_t>(seq),
                  static_cast<std::uint8_t>(now >> 24), static_cast<std::uint8_t>(now >> 16),
                  static_cast<std::uint8_t>(now >> 8), static_cast<std::uint8_t>(now)}));
    // Same second, same machine: only the sequence tells them apart.
    EXPECT_EQ(Sequence(second), static_cast<std::uint16_t>(seq + 1));
    EXPECT_TRUE(std::equal(first.bytes.begin(), first.bytes.begin() + 2, second.bytes.begin()));
    EXPECT_EQ(TimeOf(second), now);
    EXPECT_EQ(RecordId::Compare(first, second), -1);

    // The machine id is read once and then kept, whatever the adapter says.
    UseAdapter(std::nullopt);
    for (int i = 0; i < 10; ++i)
        NewRecordId();
    EXPECT_EQ(GetMachineId(), machine);
    EXPECT_EQ(adapterReads_.load(), 0);
}

TEST_F(RecordIdTest, MachineIdFallsBackToRandom) {
    const platform::AdapterStatus sample = SampleAdapter();
    // A block whose CRC is 0: its CRC appended big-endian zeroes the register.
    platform::AdapterStatus zeroCrc = sample;
    std::uint16_t crc = Crc16(zeroCrc.data(), zeroCrc.size() - 2, 0x0DE5);
    zeroCrc[598] = static_cast<std::uint8_t>(crc >> 8);
    zeroCrc[599] = static_cast<std::uint8_t>(crc);
    ASSERT_EQ(Crc16(zeroCrc.data(), zeroCrc.size(), 0x0DE5), 0);

    for (const auto& block : {std::optional<platform::AdapterStatus>(),
                              std::optional<platform::AdapterStatus>(zeroCrc)}) {
        UseAdapter(block);
        ResetRecordIdGeneratorForTest();
        RecordId id = NewRecordId();
        std::uint16_t expected = RandomStart(clock_.tick).second;
        EXPECT_EQ(id.bytes[0] << 8 | id.bytes[1], expected);
        EXPECT_EQ(GetMachineId(), expected);
    }
}

TEST_F(RecordIdTest, RandomMachineIdOfZeroIsMappedOnce) {
    clock_.tick = 31336;
    ASSERT_EQ(RandomStart(clock_.tick).second, 0);
    UseAdapter(std::nullopt);
    RecordId first = NewRecordId();
    RecordId later = NewRecordId();
    EXPECT_EQ(GetMachineId(), 0xFFFF);
    EXPECT_EQ(first.bytes[0], 0xFF);
    EXPECT_EQ(first.bytes[1], 0xFF);
    EXPECT_TRUE(std::equal(first.bytes.begin(), first.bytes.begin() + 2, later.bytes.begin()));
    EXPECT_EQ(adapterReads_.load(), 1);
}

TEST_F(RecordIdTest, SequenceIsConsecutiveAndWraps) {
    clock_.tick = 6239;
    ASSERT_EQ(RandomStart(clock_.tick).first, 65530);
    std::vector<std::uint16_t> seen;
    for (int i = 0; i < 8; ++i)
        seen.push_back(Sequence(NewRecordId()));
    EXPECT_EQ(seen, (std::vector<std::uint16_t>{65531, 65532, 65533, 65534, 65535, 0, 1, 2}));
}

TEST_F(RecordIdTest, TwoThreadsMakeDistinctConsecutiveIds) {
    constexpr int kPerThread = 50000;
    clock_.advancing = true;
    const std::uint16_t start = RandomStart(clock_.tick).first;
    std::vector<RecordId> a(kPerThread);
    std::vector<RecordId> b(kPerThread);
    std::thread t1([&] {
        for (auto& id : a)
            NewRecordId(id);
    });
    std::thread t2([&] {
        for (auto& id : b)
            NewRecordId(id);
    });
    t1.join();
    t2.join();

    // Id number n (in the order made) carries the time base + n / kIdsPerSecond
    // and the sequence start + 1 + n modulo 2^16; within one second that pair
    // gives n back. The ids made must be exactly numbers 0 .. 2 * kPerThread - 1.
    std::vector<std::uint32_t> numbers;
    std::set<RecordId, bool (*)(const RecordId&, const RecordId&)> distinct(
        [](const RecordId& x, const RecordId& y) { return RecordId::Compare(x, y) < 0; });
    for (const auto* ids : {&a, &b}) {
        for (const RecordId& id : *ids) {
            distinct.insert(id);
            std::uint32_t second = TimeOf(id) - clock_.base;
            std::uint32_t first = second * FakeClock::kIdsPerSecond;
            auto offset = static_cast<std::uint16_t>(Sequence(id) - start - 1 - first);
            numbers.push_back(first + offset);
            ASSERT_LT(offset, FakeClock::kIdsPerSecond) << RecordIdToHex(id);
        }
    }
    EXPECT_EQ(distinct.size(), 2u * kPerThread);
    std::sort(numbers.begin(), numbers.end());
    for (std::uint32_t n = 0; n < numbers.size(); ++n)
        ASSERT_EQ(numbers[n], n);
}

}  // namespace
}  // namespace tallowmere
