#include "sync/handheld_values.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "sync/handheld_test_db.h"

namespace tallowmere::handheld {
namespace {

TEST(HandheldAmount, UnitsToHundredths) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double amount;
        std::optional<Cents> cents;
    };
    const Case cases[] = {
        {123.45, 12345},
        {-123.45, -12345},
        {2.675, 268},
        {-2.675, -268},
        {1.005, 100},
        {0.015, 2},
        {0.004, 0},
        {-0.004, 0},
        {0.005, 1},
        {-0.005, -1},
        {0.0, 0},
        {-0.0, 0},
        {0.01, 1},
        {1e15, 100000000000000000},
        {9.2e16, 9200000000000000000},
        {1e17, std::nullopt},
        {-1e17, std::nullopt},
        {nan, std::nullopt},
        {inf, std::nullopt},
        {-inf, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.amount);
        EXPECT_EQ(TryAmountToCents(c.amount), c.cents);
        EXPECT_EQ(AmountToCents(c.amount), c.cents.value_or(0));
    }
}

TEST(HandheldAmount, HundredthsToUnitsAndBack) {
    EXPECT_EQ(CentsToAmount(-12345), -123.45);
    EXPECT_EQ(CentsToAmount(12345), 123.45);
    EXPECT_FALSE(std::signbit(CentsToAmount(0)));
    // Every small amount, and some large ones, survives the round trip.
    for (Cents c = -200000; c <= 200000; ++c)
        ASSERT_EQ(AmountToCents(CentsToAmount(c)), c);
    for (Cents c : {Cents{99999999999}, Cents{-99999999999}, Cents{123456789012345}})
        EXPECT_EQ(AmountToCents(CentsToAmount(c)), c);
}

TEST(HandheldDate, OffsetsAndWrapping) {
    struct Case {
        std::int64_t handheld;
        int bias;
        PalmTime desktop;
    };
    const Case cases[] = {
        {0, 0, 3061152000u},
        {0, -60, 3061155600u},           // one hour east of UTC
        {0, 300, 3061152000u - 18000u},  // New York
        {-86400, 0, 3061152000u - 86400u},
        {1233815296, 0, 0},                             // the desktop's "no date"
        {1233815295, 0, 0xFFFFFFFFu},                   // the last desktop second
        {(std::int64_t{1} << 32) + 5, 0, 3061152005u},  // only the low 32 bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.handheld);
        std::uint32_t offset = DateOffset(c.bias);
        EXPECT_EQ(HandheldToDesktopDate(c.handheld, offset), c.desktop);
        EXPECT_EQ(DesktopToHandheldDate(c.desktop, offset), static_cast<std::int32_t>(c.handheld));
    }
    // A 1990 date lies before the handheld's epoch: a negative value.
    PalmTime d1990 = 2713996800u;
    EXPECT_EQ(DesktopToHandheldDate(d1990, DateOffset(0)), -347155200);
}

class HandheldTimeZone : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        saved_ = tz != nullptr ? std::optional<std::string>(tz) : std::nullopt;
    }
    void TearDown() override {
        if (saved_)
            setenv("TZ", saved_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    std::optional<std::string> saved_;
};

TEST_F(HandheldTimeZone, StandardBiasHoldsAcrossDaylightSaving) {
    struct Case {
        const char* tz;
        int bias;
    };
    for (const Case& c : {Case{"UTC", 0}, Case{"Europe/Berlin", -60}, Case{"America/New_York", 300},
                          Case{"Asia/Kolkata", -330}}) {
        SCOPED_TRACE(c.tz);
        setenv("TZ", c.tz, 1);
        EXPECT_EQ(TimeZoneBiasMinutes(), c.bias);
    }
    // Winter and summer dates move by the same offset, so intervals and the
    // round trip stay exact.
    setenv("TZ", "Europe/Berlin", 1);
    std::uint32_t offset = DateOffset(TimeZoneBiasMinutes());
    DateFields winter;
    winter.year = 2024;
    winter.month = 1;
    winter.day = 15;
    winter.hour = 12;
    DateFields summer = winter;
    summer.month = 7;
    PalmTime w = winter.ToPalmTime();
    PalmTime s = summer.ToPalmTime();
    std::int32_t hw = DesktopToHandheldDate(w, offset);
    std::int32_t hs = DesktopToHandheldDate(s, offset);
    EXPECT_EQ(static_cast<PalmTime>(hs - hw), s - w);
    EXPECT_EQ(HandheldToDesktopDate(hw, offset), w);
    EXPECT_EQ(HandheldToDesktopDate(hs, offset), s);
    // 2024-01-15 12:00 in Berlin is 11:00 UTC.
    EXPECT_EQ(hw, 727009200);
}

TEST(HandheldUid, BlobsOfEightBytesOnly) {
    const std::uint8_t bytes[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    RecordId id = UidFromBlob(bytes, 8);
    EXPECT_EQ(id, RecordId::FromBytes(bytes));
    EXPECT_TRUE(IsMatchableUid(id));
    for (int n : {0, 7, 9}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(UidFromBlob(bytes, n), kNoneId);
    }
    EXPECT_EQ(UidFromBlob(nullptr, 8), kNoneId);
    EXPECT_FALSE(IsMatchableUid(kNoneId));
}

TEST(HandheldFixedCode, OnlyBuiltInIdsHaveOne) {
    EXPECT_EQ(FixedCode(RecordId::Fixed(5)), 5);
    EXPECT_EQ(FixedCode(RecordId::Fixed(0x0105)), 0);
    EXPECT_EQ(FixedCode(kNoneId), 0);
    const std::uint8_t bytes[8] = {0x12, 0, 0, 0, 0, 0, 0, 3};
    EXPECT_EQ(FixedCode(RecordId::FromBytes(bytes)), 0);
}

TEST(HandheldStatus, CodeIsStatusBitsSixAndSeven) {
    for (int code = 0; code < 4; ++code) {
        std::uint8_t bits = static_cast<std::uint8_t>(code << 6);
        EXPECT_EQ(StatusToHandheld(bits), code);
        EXPECT_EQ(StatusToHandheld(static_cast<std::uint8_t>(bits | 0x01)), code);
        EXPECT_EQ(StatusFromHandheld(code), bits);
    }
    // Out-of-range codes from the handheld keep to the two bits.
    EXPECT_EQ(StatusFromHandheld(5), 0x40);
    EXPECT_EQ(StatusFromHandheld(-1), 0xC0);
}

TEST(HandheldText, ConvertsThenCuts) {
    struct Case {
        std::string utf8;
        std::size_t max;
        std::string model;
    };
    const Case cases[] = {
        {"Caf\xC3\xA9", 32, "Caf\xE9"},
        {"\xE2\x82\xAC 5", 32, "\x80 5"},        // the euro sign
        {"\xE6\x97\xA5\xE6\x9C\xAC", 32, "??"},  // nothing in 1252
        {"a\xFF"
         "b",
         32, "a?b"},  // malformed
        {std::string("ab\0cd", 5), 32, "ab"},
        {std::string(40, 'x'), 32, std::string(32, 'x')},
        {"", 32, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(TextFromHandheld(reinterpret_cast<const unsigned char*>(c.utf8.data()),
                                   static_cast<int>(c.utf8.size()), c.max),
                  c.model);
    }
    // 40 accented letters are 80 UTF-8 bytes; the cut counts characters.
    std::string accents;
    for (int i = 0; i < 40; ++i)
        accents += "\xC3\xA9";
    EXPECT_EQ(TextFromHandheld(reinterpret_cast<const unsigned char*>(accents.data()),
                               static_cast<int>(accents.size()), 32),
              std::string(32, '\xE9'));
    EXPECT_EQ(TextFromHandheld(nullptr, 4, 32), "");
    EXPECT_EQ(TextToHandheld("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(HandheldAccountCategory, BracketedNamesStandForAccounts) {
    EXPECT_EQ(AccountCategoryName("Checking"), "[Checking]");
    struct Case {
        std::string category;
        bool isAccount;
        std::string account;
    };
    const Case cases[] = {
        {"[Checking]", true, "Checking"},
        {"[Savings [old]]", true, "Savings [old]"},
        {"[a", true, "a"},  // no closing bracket
        {"[", true, ""},
        {"[]", true, ""},
        {"Food", false, ""},
        {"Food [x]", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.category);
        EXPECT_EQ(IsAccountCategoryName(c.category), c.isAccount);
        EXPECT_EQ(AccountNameOfCategory(c.category), c.account);
    }
    EXPECT_EQ(AccountNameOfCategory(AccountCategoryName("Caf\xE9")), "Caf\xE9");
}

// The column helpers against a real table.
class HandheldColumns : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(db_.ExecSql("CREATE TABLE t (v);"), SQLITE_OK); }
    // Binds one value with bind, reads it back with read.
    template <class Bind, class Read>
    void RoundTrip(Bind bind, Read read) {
        ASSERT_EQ(db_.ExecSql("DELETE FROM t;"), SQLITE_OK);
        sqlite3_stmt* insert = nullptr;
        ASSERT_EQ(db_.Prepare("INSERT INTO t VALUES(?);", -1, &insert, nullptr), SQLITE_OK);
        EXPECT_EQ(bind(insert), SQLITE_OK);
        EXPECT_EQ(db_.Step(insert), SQLITE_DONE);
        db_.Finalize(insert);
        sqlite3_stmt* select = nullptr;
        ASSERT_EQ(db_.Prepare("SELECT v FROM t;", -1, &select, nullptr), SQLITE_OK);
        ASSERT_EQ(db_.Step(select), SQLITE_ROW);
        read(select);
        db_.Finalize(select);
    }
    CSQLiteDBWrapper db_{test::MakeTempDir("values") + "/v.wqdb"};
};

TEST_F(HandheldColumns, ValuesRoundTripThroughTheDatabase) {
    const std::uint8_t bytes[8] = {0xDE, 0xAD, 0, 0xBE, 0xEF, 0, 1, 2};
    RecordId id = RecordId::FromBytes(bytes);
    RoundTrip([&](sqlite3_stmt* s) { return BindUid(db_, s, 1, id); },
              [&](sqlite3_stmt* s) { EXPECT_EQ(ColumnUid(db_, s, 0), id); });
    RoundTrip([&](sqlite3_stmt* s) { return BindModelText(db_, s, 1, std::string("Caf\xE9")); },
              [&](sqlite3_stmt* s) {
                  EXPECT_EQ(test::QueryText(db_, "SELECT hex(v) FROM t;"), "436166C3A9");
                  EXPECT_EQ(ColumnModelText(db_, s, 0, 32), "Caf\xE9");
                  EXPECT_EQ(ColumnModelText(db_, s, 0, 2), "Ca");
              });
    RoundTrip([&](sqlite3_stmt* s) { return BindCents(db_, s, 1, -12345); },
              [&](sqlite3_stmt* s) {
                  EXPECT_EQ(db_.ColumnDouble(s, 0), -123.45);
                  EXPECT_EQ(ColumnCents(db_, s, 0), -12345);
              });
    std::uint32_t offset = DateOffset(-60);
    RoundTrip([&](sqlite3_stmt* s) { return BindDate(db_, s, 1, 0, offset); },
              [&](sqlite3_stmt* s) {
                  EXPECT_EQ(db_.ColumnInt64(s, 0), 1233811696);
                  EXPECT_EQ(ColumnDate(db_, s, 0, offset), 0u);
              });
}

TEST_F(HandheldColumns, NullsAndOddBlobsReadAsEmpty) {
    auto bindNull = [&](sqlite3_stmt* s) { return db_.BindNull(s, 1); };
    RoundTrip(bindNull, [&](sqlite3_stmt* s) {
        EXPECT_EQ(ColumnUid(db_, s, 0), kNoneId);
        EXPECT_EQ(ColumnModelText(db_, s, 0, 32), "");
        EXPECT_EQ(ColumnCents(db_, s, 0), 0);
        std::uint8_t out[4] = {9, 9, 9, 9};
        EXPECT_EQ(ColumnBlobBytes(db_, s, 0, out, 4), 0);
        EXPECT_EQ(out[0], 9);
    });
    for (int n : {7, 9, 100}) {
        SCOPED_TRACE(n);
        std::string blob(static_cast<std::size_t>(n), '\x5A');
        RoundTrip(
            [&](sqlite3_stmt* s) { return db_.BindBlob(s, 1, blob.data(), n, SQLITE_TRANSIENT); },
            [&](sqlite3_stmt* s) {
                EXPECT_EQ(ColumnUid(db_, s, 0), kNoneId);
                std::uint8_t out[80] = {};
                EXPECT_EQ(ColumnBlobBytes(db_, s, 0, out, 80), n < 80 ? n : 80);
                EXPECT_EQ(out[n < 80 ? n - 1 : 79], 0x5A);
            });
    }
    // A text where a number belongs reads through the library's conversion;
    // one that overflows reads as 0.
    RoundTrip([&](sqlite3_stmt* s) { return db_.BindText(s, 1, "1e300", 5, SQLITE_STATIC); },
              [&](sqlite3_stmt* s) { EXPECT_EQ(ColumnCents(db_, s, 0), 0); });
}

}  // namespace
}  // namespace tallowmere::handheld
