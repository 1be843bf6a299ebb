#include "model/money.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace tallowmere {
namespace {

constexpr Cents kMax = std::numeric_limits<Cents>::max();
constexpr Cents kMin = std::numeric_limits<Cents>::min();

std::string FormatWith(Cents cents, int mode, char decimal) {
    char buffer[kMoneyBufferSize];
    std::size_t n = FormatMoneyBuffer(cents, buffer, mode, decimal);
    EXPECT_EQ(buffer[n], '\0');
    EXPECT_LE(n, kMoneyTextMax);
    return std::string(buffer, n);
}

// Every test starts from the default separators and leaves them so.
class MoneyTest : public ::testing::Test {
  protected:
    void SetUp() override { SetLocaleSeparators(".", ","); }
    void TearDown() override { SetLocaleSeparators(".", ","); }
};

TEST_F(MoneyTest, FormatsEveryMode) {
    struct Case {
        Cents cents;
        const char* full;
        const char* whole;
        const char* trimmed;
    };
    const Case cases[] = {
        {0, "0", "0", ""},
        {5, ".05", "0", ".05"},
        {-5, "-.05", "0", "-.05"},
        {10, ".10", "0", ".1"},
        {-45, "-.45", "0", "-.45"},
        {100, "1.00", "1", "1"},
        {150, "1.50", "1", "1.5"},
        {151, "1.51", "2", "1.51"},
        {-150, "-1.50", "-1", "-1.5"},
        {-199, "-1.99", "-1", "-1.99"},
        {1050, "10.50", "10", "10.5"},
        {1200, "12.00", "12", "12"},
        {123456, "1234.56", "1235", "1234.56"},
        {214748364801, "2147483648.01", "2147483648", "2147483648.01"},
        {kMax, "92233720368547758.07", "92233720368547758", "92233720368547758.07"},
        {kMin, "-92233720368547758.08", "-92233720368547758", "-92233720368547758.08"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cents);
        EXPECT_EQ(FormatMoney(c.cents, kMoneyFull), c.full);
        EXPECT_EQ(FormatMoney(c.cents, kMoneyWhole), c.whole);
        EXPECT_EQ(FormatMoney(c.cents, kMoneyTrimmed), c.trimmed);
        // Unknown modes act as the full form.
        EXPECT_EQ(FormatMoney(c.cents, 3), c.full);
        EXPECT_EQ(FormatMoney(c.cents, -1), c.full);
    }
}

TEST_F(MoneyTest, FormatUsesTheGivenOrLocaleDecimal) {
    EXPECT_EQ(FormatWith(123456, kMoneyFull, ','), "1234,56");
    EXPECT_EQ(FormatWith(-5, kMoneyFull, ','), "-,05");
    EXPECT_EQ(FormatWith(1250, kMoneyTrimmed, ','), "12,5");
    SetLocaleSeparators(",", ".");
    EXPECT_EQ(FormatMoney(123456, kMoneyFull), "1234,56");
    EXPECT_EQ(FormatMoney(1200, kMoneyTrimmed), "12");
}

TEST_F(MoneyTest, ParsesAsTheReaderDoes) {
    struct Case {
        const char* text;
        char decimal;
        char thousands;
        Cents expected;
    };
    const Case cases[] = {
        {"", '.', ',', 0},
        {"12", '.', ',', 1200},
        {"12.5", '.', ',', 1250},
        {"$1,234.56", '.', ',', 123456},
        {"-.05", '.', ',', -5},
        {"+7", '.', ',', 700},
        {"12.345", '.', ',', 1234},  // a third fraction digit ends the read
        {"1.2.3", '.', ',', 123},    // a repeated decimal takes no position
        {"1.2,3", '.', ',', 12},     // a thousands character in the fraction does
        {"1,2", '.', ',', 1200},     // and none before the decimal character
        {"1.", '.', ',', 100},
        {"1.5x", '.', ',', 150},  // another character ends the read
        {"12abc", '.', ',', 1200},
        {"-$5", '.', ',', 0},  // the "$" must come before the sign
        {"$-5", '.', ',', -500},
        {" 12", '.', ',', 0},  // a leading blank ends the read
        {"+-5", '.', ',', 0},
        {"$", '.', ',', 0},
        {"\24312", '.', ',', 0},  // a byte above 127 ends the read
        {"1.234,56", ',', '.', 123456},
        {"12,5", ',', '.', 1250},
        {"12.5", ',', '.', 12500},
        // Magnitudes beyond 64 bits saturate instead of wrapping.
        {"99999999999999999999", '.', ',', kMax},
        {"-99999999999999999999", '.', ',', kMin},
        {"92233720368547758.07", '.', ',', kMax},
        {"92233720368547758.08", '.', ',', kMax},
        {"-92233720368547758.08", '.', ',', kMin},
        {"-92233720368547758.09", '.', ',', kMin},
        {"92233720368547759", '.', ',', kMax},
        {"184467440737095516160", '.', ',', kMax},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseMoneyWith(c.text, c.decimal, c.thousands), c.expected);
    }
    EXPECT_EQ(ParseMoneyWith(std::string_view(), '.', ','), 0);
}

TEST_F(MoneyTest, ParseMoneyUsesTheLocaleSeparators) {
    EXPECT_EQ(ParseMoney("$1,234.56"), 123456);
    SetLocaleSeparators(",", ".");
    EXPECT_EQ(ParseMoney("1.234,56"), 123456);
}

TEST_F(MoneyTest, ParseReadsBackWhatFormatWrites) {
    std::vector<Cents> values = {
        0,      1,   -1,   9,    -9,   10,       -10,      99,           100,          -100,
        123456, -45, 1050, kMax, kMin, kMax - 1, kMin + 1, 214748364801, -214748364801};
    std::mt19937_64 gen(20100215);
    for (int i = 0; i < 2000; ++i) {
        auto v = static_cast<Cents>(gen());
        values.push_back(v);
        values.push_back(v >> (i % 60));  // small magnitudes too
    }
    for (auto [decimal, thousands] : {std::pair{'.', ','}, std::pair{',', '.'}}) {
        for (Cents v : values) {
            SCOPED_TRACE(v);
            ASSERT_EQ(ParseMoneyWith(FormatWith(v, kMoneyFull, decimal), decimal, thousands), v);
            ASSERT_EQ(ParseMoneyWith(FormatWith(v, kMoneyTrimmed, decimal), decimal, thousands), v);
        }
    }
}

TEST_F(MoneyTest, NumericText) {
    struct Case {
        const char* text;
        bool numeric;
    };
    const Case cases[] = {
        {"", true},    {"123", true},   {"-1,234.5", true}, {"+5", true},
        {"-", true},   {"1.2.3", true}, {"--5", false},     {"12a", false},
        {"$5", false}, {" 5", false},   {"5-", false},      {"\xE9", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IsNumericText(c.text), c.numeric);
    }
    EXPECT_TRUE(IsNumericTextWith("1.234,5", ',', '.'));
    EXPECT_FALSE(IsNumericTextWith("1 234", ',', '.'));
}

TEST_F(MoneyTest, SeparatorsAdoptOnlyUsableCharacters) {
    struct Case {
        const char* decimal;
        const char* thousands;
        char wantDecimal;
        char wantThousands;
    };
    const Case cases[] = {
        {",", ".", ',', '.'},
        {".", "'", '.', '\''},
        {".", "", '.', ','},              // C locale: no grouping, keep ","
        {".", "\xE2\x80\xAF", '.', ' '},  // multi-byte: a blank, never its first byte
        {".", "\xC2\xA0", '.', ' '},
        {".", ".", '.', ','},  // same as the decimal character
        {"", "", '.', ','},
        {"ab", ",", '.', ','},
        {"5", "-", '.', ','},
        // fr_FR: a comma and a narrow no-break space.
        {",", "\xE2\x80\xAF", ',', ' '},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.decimal) + "|" + c.thousands);
        SetLocaleSeparators(".", ",");
        SetLocaleSeparators(c.decimal, c.thousands);
        EXPECT_EQ(LocaleDecimalChar(), c.wantDecimal);
        EXPECT_EQ(LocaleThousandsChar(), c.wantThousands);
    }
    // The Arabic separators are not ASCII: a point and a blank, whatever was
    // there before.
    SetLocaleSeparators(",", ".");
    SetLocaleSeparators("\xD9\xAB", "\xD9\xAC");
    EXPECT_EQ(LocaleDecimalChar(), '.');
    EXPECT_EQ(LocaleThousandsChar(), ' ');
}

TEST(DateFormatTest, OrderAndSeparatorOfALocaleDateFormat) {
    struct Case {
        const char* format;
        int order;
        char separator;
    };
    const Case cases[] = {
        {"%m/%d/%Y", 0, '/'},  // en_US
        {"%m/%d/%y", 0, '/'},  // C
        {"%d.%m.%Y", 1, '.'},  // de_DE
        {"%d/%m/%Y", 1, '/'},  // en_GB
        {"%Y-%m-%d", 2, '-'},  // sv_SE
        {"%F", 2, '-'},
        {"%D", 0, '/'},
        {"%-d.%-m.%Y", 1, '.'},  // glibc flags
        {"%d. %m. %Y", 1, '.'},  // the first character after the first field
        {"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", 2, '/'},  // ja_JP: not ASCII
        {"%Y%m%d", 2, '/'},
        {"%y.%d.%m", 0, '.'},  // an order that is not one of the three
        {"%d/%m", 0, '/'},
        {"", 0, '/'},
        {"garbage", 0, '/'},
        {"%", 0, '/'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        const DateFormatChars chars = ParseDateFormat(c.format);
        EXPECT_EQ(chars.order, c.order);
        EXPECT_EQ(chars.separator, c.separator);
    }
}

TEST_F(MoneyTest, LoadFromTheCLocaleKeepsTheThousandsCharacter) {
    const char* old = getenv("LC_ALL");
    std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    setenv("LC_ALL", "C", 1);
    SetLocaleSeparators(",", ".");
    SetLocaleDateFormat("%Y-%m-%d");
    LoadLocaleSeparators();
    EXPECT_EQ(LocaleDecimalChar(), '.');
    EXPECT_EQ(LocaleThousandsChar(), ',');  // "." would now clash; C has no grouping
    EXPECT_EQ(LocaleDateOrder(), 0);        // "%m/%d/%y"
    EXPECT_EQ(LocaleDateSeparator(), '/');
    if (saved) {
        setenv("LC_ALL", saved->c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}

}  // namespace
}  // namespace tallowmere
