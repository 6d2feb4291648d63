#include "foundation/CStringFormat.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <limits>

namespace lumo {
namespace {

P<CStringFormat> formatOf(const char* format) { return make<CStringFormat>(String::fromUTF8(format)); }

// Each argument is pushed as its type says: int and int64_t signed, uint64_t unsigned, char32_t a character.
void push(CStringFormat& format, int value) { format.pushInteger(value, true); }
void push(CStringFormat& format, int64_t value) { format.pushInteger(value, true); }
void push(CStringFormat& format, uint64_t value) { format.pushInteger(static_cast<int64_t>(value), false); }
void push(CStringFormat& format, double value) { format.pushDouble(value); }
void push(CStringFormat& format, char32_t value) { format.pushChar(value); }
void push(CStringFormat& format, const char* value) { format.pushString(String::fromUTF8(value)); }

template <class... Values> std::string filled(const char* format, Values... values)
{
    P<CStringFormat> formatter = formatOf(format);
    (push(*formatter, values), ...);
    return formatter->getResult().toUTF8();
}

TEST(CStringFormatTest, CopiesTextAndFillsFieldsInOrder)
{
    EXPECT_EQ(filled("100%% sure, %%d"), "100% sure, %d");
    EXPECT_EQ(filled(u8"\u00e4\u20ac %s!", "x"), u8"\u00e4\u20ac x!");
    P<CStringFormat> format = formatOf("%s has %d items at %.1f each (%c)");
    format->pushString("cart").pushInteger(3, true).pushDouble(2.25).pushChar('!');
    EXPECT_EQ(format->getResult().toUTF8(), "cart has 3 items at 2.2 each (!)");
}

TEST(CStringFormatTest, IntegerFieldsInEveryBaseWithFlagsAndPrecision)
{
    EXPECT_EQ(filled("%d %i %x %X %o", 42, -42, 255, 255, 8), "42 -42 ff FF 10");
    EXPECT_EQ(filled("%d", std::numeric_limits<int64_t>::min()), "-9223372036854775808");
    // Signedness follows the push, except for hexadecimal and octal.
    EXPECT_EQ(filled("%d %u %x %o", ~uint64_t(0), -1, -1, -1),
              "18446744073709551615 -1 ffffffffffffffff 1777777777777777777777");
    EXPECT_EQ(filled("%05d|%#x|%#o|%#06x", 42, 255, 8, 255), "00042|0xff|010|0x00ff");
    EXPECT_EQ(filled("%+d|% d|%.3d|%.0d", 42, 42, 7, 0), "+42| 42|007|");
    // The sign counts towards the width.
    EXPECT_EQ(filled("[%+5d|%+05d|%-+5d|%5d|%05d]", 42, 42, 42, -42, -42), "[  +42|+0042|+42  |  -42|-0042]");
    EXPECT_EQ(filled("%-+0 #d", 1), "+1") << "five flags are allowed";
}

TEST(CStringFormatTest, FloatingFieldsFollowPrintfAndTakeIntegers)
{
    EXPECT_EQ(filled("%.2f|%f|%e", 3.14159, 1.5, 12345.678), "3.14|1.500000|1.234568e+04");
    EXPECT_EQ(filled("%.1f %.0f", -3, ~uint64_t(0)), "-3.0 18446744073709551616");
}

TEST(CStringFormatTest, StringAndCharacterFieldsPadAndCutByCharacters)
{
    EXPECT_EQ(filled("[%-5s|%05s|%3s|%.0s]", "ab", "ab", "abcdef", "abc"), "[ab   |000ab|abcdef|]");
    EXPECT_EQ(filled("[%4s|%.1s]", u8"\u00e4\u20ac", u8"\u00e4\u20ac"), u8"[  \u00e4\u20ac|\u00e4]");
    EXPECT_EQ(filled("%c[%3c][%-3c]%c", U'A', U'\u20AC', U'\U0001F600', 'B'), u8"A[  \u20ac][\U0001F600  ]B");
    EXPECT_EQ(filled("%d %#x", U'A', U'\u20AC'), "65 0x20ac");
}

TEST(CStringFormatTest, EveryMisuseIsAnInvalidArgument)
{
    // Widths and precisions beyond any sane text are refused before anything is allocated for them.
    for (const char* bad : {"%q", "%------d", "ends with %", "%5", "%ll", "%99999999999999999999d", "%.2000000s"})
        EXPECT_THROW(formatOf(bad), CInvalidArgError) << bad;
    const std::function<void()> badPushes[] = {
        [] { filled("%*d", ~uint64_t(0)); }, [] { filled("%s", 1); },    [] { filled("%d", 1.0); },
        [] { filled("%f", "1"); },           [] { filled("%d", 1, 2); }, [] { filled("%*f", 1.0); },
        [] { filled("%.*s", "x"); },
    };
    for (size_t i = 0; i < std::size(badPushes); ++i)
        EXPECT_THROW(badPushes[i](), CInvalidArgError) << "push " << i;
}

// A malformed field throws when reached and can be neither filled nor left out.
TEST(CStringFormatTest, ResultWithAFieldOpenOrMalformedIsAStateError)
{
    P<CStringFormat> malformed = formatOf("%d then %y");
    EXPECT_THROW(malformed->pushInteger(1, true), CInvalidArgError);
    EXPECT_THROW(malformed->pushString("y"), CInvalidArgError);
    EXPECT_THROW(malformed->getResult(), CInvalidObjectStateError);
    P<CStringFormat> format = formatOf("%d and %d");
    format->pushInteger(1, true);
    EXPECT_THROW(format->getResult(), CInvalidObjectStateError);
    EXPECT_EQ(format->pushInteger(2, true).getResult().toUTF8(), "1 and 2");
    EXPECT_THROW(formatOf("%*d")->pushInteger(3, true).getResult(), CInvalidObjectStateError) << "width only";
}

} // namespace
} // namespace lumo
