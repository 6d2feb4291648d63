#include "foundation/CStringFormat.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace lumo {
namespace {

P<CStringFormat> formatOf(const char* format)
{
    return make<CStringFormat>(String::fromUTF8(format));
}

std::string integer(const char* format, int64_t value, bool bSigned = true)
{
    return formatOf(format)->pushInteger(value, bSigned).getResult().toUTF8();
}

std::string text(const char* format, const char* value)
{
    return formatOf(format)->pushString(String::fromUTF8(value)).getResult().toUTF8();
}

std::string floating(const char* format, double value)
{
    return formatOf(format)->pushDouble(value).getResult().toUTF8();
}

std::string character(const char* format, uint32_t codePoint)
{
    return formatOf(format)->pushChar(codePoint).getResult().toUTF8();
}

// The argument text of the CInvalidArgError that the action throws.
template <class Action> std::string argumentErrorOf(Action action)
{
    try {
        action();
    } catch (const CInvalidArgError& error) {
        return utf8(error.getArgumentText());
    }
    return "nothing thrown";
}

constexpr char tooManyFlags[] = "CStringFormat: too many field flags specified.";
constexpr char invalidFormat[] = "CStringFormat: invalid format string.";
constexpr char mismatch[] = "CStringFormat: argument does not match the field's format specification.";

TEST(CStringFormatTest, TextOutsideFieldsIsCopied)
{
    EXPECT_EQ(formatOf("100%% sure, %%d")->getResult().toUTF8(), "100% sure, %d");
    EXPECT_EQ(formatOf("")->getResult().toUTF8(), "");
    EXPECT_EQ(formatOf(u8"\u00e4\u20ac %s!")->pushString("x").getResult().toUTF8(), u8"\u00e4\u20ac x!");
}

TEST(CStringFormatTest, FieldsAreFilledInOrder)
{
    P<CStringFormat> format = formatOf("%s has %d items at %.1f each (%c)");
    format->pushString("cart").pushInteger(3, true).pushDouble(2.25).pushChar('!');
    EXPECT_EQ(format->getResult().toUTF8(), "cart has 3 items at 2.2 each (!)");
    EXPECT_EQ(utf8(format->toString()), "cart has 3 items at 2.2 each (!)");
}

TEST(CStringFormatTest, StringFieldsPadAndCut)
{
    EXPECT_EQ(text("[%5s]", "ab"), "[   ab]");
    EXPECT_EQ(text("[%-5s]", "ab"), "[ab   ]");
    EXPECT_EQ(text("[%05s]", "ab"), "[000ab]");
    EXPECT_EQ(text("[%3s]", "abcdef"), "[abcdef]");
    EXPECT_EQ(text("[%.2s]", "abcdef"), "[ab]");
    EXPECT_EQ(text("[%.0s]", "abc"), "[]");
    // Characters, not bytes, count.
    EXPECT_EQ(text("[%4s]", u8"\u00e4\u20ac"), u8"[  \u00e4\u20ac]");
    EXPECT_EQ(text("[%.1s]", u8"\u00e4\u20ac"), u8"[\u00e4]");
}

TEST(CStringFormatTest, IntegerFieldsInEveryBase)
{
    EXPECT_EQ(integer("%d", 42), "42");
    EXPECT_EQ(integer("%i", -42), "-42");
    EXPECT_EQ(integer("%x", 255), "ff");
    EXPECT_EQ(integer("%X", 255), "FF");
    EXPECT_EQ(integer("%o", 8), "10");
    EXPECT_EQ(integer("%d", std::numeric_limits<int64_t>::min()), "-9223372036854775808");
}

TEST(CStringFormatTest, SignednessFollowsThePushExceptForHexAndOctal)
{
    EXPECT_EQ(integer("%d", -1, false), "18446744073709551615");
    EXPECT_EQ(integer("%u", -1, true), "-1");
    EXPECT_EQ(integer("%x", -1, true), "ffffffffffffffff");
    EXPECT_EQ(integer("%o", -1, true), "1777777777777777777777");
}

TEST(CStringFormatTest, IntegerFlagsAndPrecision)
{
    EXPECT_EQ(integer("%05d", 42), "00042");
    EXPECT_EQ(integer("%#x", 255), "0xff");
    EXPECT_EQ(integer("%#o", 8), "010");
    EXPECT_EQ(integer("%#06x", 255), "0x00ff");
    EXPECT_EQ(integer("%+d", 42), "+42");
    EXPECT_EQ(integer("% d", 42), " 42");
    EXPECT_EQ(integer("%.3d", 7), "007");
    EXPECT_EQ(integer("%.0d", 0), "");
}

TEST(CStringFormatTest, SignCountsTowardsTheWidth)
{
    EXPECT_EQ(integer("[%+5d]", 42), "[  +42]");
    EXPECT_EQ(integer("[%+05d]", 42), "[+0042]");
    EXPECT_EQ(integer("[%-+5d]", 42), "[+42  ]");
    EXPECT_EQ(integer("[%5d]", -42), "[  -42]");
    EXPECT_EQ(integer("[%05d]", -42), "[-0042]");
}

TEST(CStringFormatTest, LengthModifiersAreSkipped)
{
    P<CStringFormat> format = formatOf("%lld %I64d %hhu %zx %ls %Lf %jd %td %ld");
    format->pushInteger(1, true).pushInteger(2, true).pushInteger(3, false).pushInteger(255, false);
    format->pushString("s").pushDouble(0.5).pushInteger(4, true).pushInteger(5, true).pushInteger(6, true);
    EXPECT_EQ(format->getResult().toUTF8(), "1 2 3 ff s 0.500000 4 5 6");
}

TEST(CStringFormatTest, StarTakesWidthAndPrecisionFromPushes)
{
    EXPECT_EQ(formatOf("[%*d]")->pushInteger(5, true).pushInteger(42, true).getResult().toUTF8(), "[   42]");
    EXPECT_EQ(formatOf("[%-*d]")->pushInteger(5, false).pushInteger(42, true).getResult().toUTF8(), "[42   ]");
    EXPECT_EQ(formatOf("[%*d]")->pushInteger(-5, true).pushInteger(42, true).getResult().toUTF8(), "[42]");
    EXPECT_EQ(formatOf("[%.*s]")->pushInteger(2, true).pushString("abcdef").getResult().toUTF8(), "[ab]");
    EXPECT_EQ(formatOf("[%.*s]")->pushInteger(-2, true).pushString("abc").getResult().toUTF8(), "[]");
    EXPECT_EQ(formatOf("[%*.*f]")->pushInteger(8, true).pushInteger(2, true).pushDouble(3.14159).getResult().toUTF8(),
              "[    3.14]");
    EXPECT_EQ(formatOf("[%*c]")->pushChar(3).pushChar('x').getResult().toUTF8(), "[  x]");
}

TEST(CStringFormatTest, FloatingFieldsFollowPrintf)
{
    EXPECT_EQ(floating("%.2f", 3.14159), "3.14");
    EXPECT_EQ(floating("%f", 1.5), "1.500000");
    EXPECT_EQ(floating("%e", 12345.678), "1.234568e+04");
    EXPECT_EQ(floating("%g", 0.0001), "0.0001");
    EXPECT_EQ(floating("%G", 1e-10), "1E-10");
    EXPECT_EQ(floating("[%+08.3f]", -1.5), "[-001.500]");
    EXPECT_EQ(floating("[%+6.1f]", 2.0), "[  +2.0]");
    EXPECT_EQ(floating("%#.0f", 3.0), "3.");
}

TEST(CStringFormatTest, IntegersIntoFloatingFieldsBecomeDoubles)
{
    EXPECT_EQ(integer("%.1f", -3), "-3.0");
    EXPECT_EQ(integer("%.0f", -1, false), "18446744073709551616");
}

TEST(CStringFormatTest, CharacterFields)
{
    EXPECT_EQ(character("%c", 'A'), "A");
    EXPECT_EQ(character("[%3c]", 'A'), "[  A]");
    EXPECT_EQ(character("[%-3c]", 'A'), "[A  ]");
    EXPECT_EQ(character("[%c]", 0xE4), u8"[\u00e4]");
    EXPECT_EQ(character("[%3c]", 0x20AC), u8"[  \u20ac]");
    EXPECT_EQ(character("[%-3c]", 0x1F600), u8"[\U0001F600  ]");
    EXPECT_EQ(integer("%c", 'B'), "B");
    EXPECT_EQ(character("%d", 'A'), "65");
    EXPECT_EQ(character("%#x", 0x20AC), "0x20ac");
}

TEST(CStringFormatTest, ErrorsAreInvalidArgumentsWithoutMethodOrObject)
{
    try {
        formatOf("%q");
        FAIL() << "no error";
    } catch (const CInvalidArgError& error) {
        EXPECT_EQ(utf8(error.getDescription()),
                  "An invalid argument was passed to method 'unspecified method' of 'unknown object': "
                  "CStringFormat: invalid format string.");
        EXPECT_FALSE(error.getObject());
    }
}

TEST(CStringFormatTest, FlagsAreLimitedToFive)
{
    EXPECT_EQ(integer("%-+0 #d", 1), "+1");
    EXPECT_EQ(argumentErrorOf([] { formatOf("%------d"); }), tooManyFlags);
}

TEST(CStringFormatTest, BadConversionThrowsWhenTheParserReachesIt)
{
    EXPECT_EQ(argumentErrorOf([] { formatOf("%q"); }), invalidFormat);
    EXPECT_EQ(argumentErrorOf([] { formatOf("ends with %"); }), invalidFormat);
    EXPECT_EQ(argumentErrorOf([] { formatOf("%5"); }), invalidFormat);
    EXPECT_EQ(argumentErrorOf([] { formatOf("%ll"); }), invalidFormat);

    P<CStringFormat> format = formatOf("%d then %y");
    EXPECT_EQ(argumentErrorOf([&] { format->pushInteger(1, true); }), invalidFormat);
    // The malformed field can be neither filled nor left out.
    EXPECT_EQ(argumentErrorOf([&] { format->pushString("y"); }), mismatch);
    EXPECT_THROW(format->getResult(), CInvalidObjectStateError);
}

TEST(CStringFormatTest, OversizedWidthsAreRejected)
{
    EXPECT_EQ(argumentErrorOf([] { formatOf("%99999999999999999999d"); }), invalidFormat);
    EXPECT_EQ(argumentErrorOf([] { formatOf("%.2000000s"); }), invalidFormat);
    P<CStringFormat> format = formatOf("%*d");
    EXPECT_EQ(argumentErrorOf([&] { format->pushInteger(-1, false); }), invalidFormat);
}

TEST(CStringFormatTest, ArgumentsMustMatchTheirField)
{
    EXPECT_EQ(argumentErrorOf([] { formatOf("%s")->pushInteger(1, true); }), mismatch);
    EXPECT_EQ(argumentErrorOf([] { formatOf("%s")->pushDouble(1); }), mismatch);
    EXPECT_EQ(argumentErrorOf([] { formatOf("%s")->pushChar('a'); }), mismatch);
    EXPECT_EQ(argumentErrorOf([] { formatOf("%d")->pushString("1"); }), mismatch);
    EXPECT_EQ(argumentErrorOf([] { formatOf("%d")->pushDouble(1); }), mismatch);
    EXPECT_EQ(argumentErrorOf([] { formatOf("%f")->pushString("1"); }), mismatch);
    EXPECT_EQ(argumentErrorOf([] { formatOf("%c")->pushDouble(1); }), mismatch);
}

TEST(CStringFormatTest, ArgumentsBeyondTheFieldsAreRejected)
{
    EXPECT_EQ(argumentErrorOf([] { formatOf("no fields")->pushString("x"); }), mismatch);
    EXPECT_EQ(argumentErrorOf([] { formatOf("%d")->pushInteger(1, true).pushInteger(2, true); }), mismatch);
}

TEST(CStringFormatTest, StarFieldsWantIntegersFirst)
{
    EXPECT_EQ(argumentErrorOf([] { formatOf("%*f")->pushDouble(1); }),
              "CStringFormat: expected integer value (field width).");
    EXPECT_EQ(argumentErrorOf([] { formatOf("%.*f")->pushDouble(1); }),
              "CStringFormat: expected integer value (field precision).");
    EXPECT_EQ(argumentErrorOf([] { formatOf("%.*s")->pushString("x"); }),
              "CStringFormat: expected integer value (field precision).");
}

TEST(CStringFormatTest, ResultWithAFieldOpenIsAStateError)
{
    P<CStringFormat> format = formatOf("%d and %d");
    format->pushInteger(1, true);
    try {
        format->getResult();
        FAIL() << "no error";
    } catch (const CInvalidObjectStateError& error) {
        EXPECT_EQ(utf8(error.getStateMessage()), "CStringFormat: not all parameters have been pushed in yet.");
    }
    EXPECT_THROW(format->toString(), CInvalidObjectStateError);
    EXPECT_EQ(format->pushInteger(2, true).getResult().toUTF8(), "1 and 2");

    P<CStringFormat> pendingWidth = formatOf("%*d");
    pendingWidth->pushInteger(3, true);
    EXPECT_THROW(pendingWidth->getResult(), CInvalidObjectStateError);
}

} // namespace
} // namespace lumo
