#include "foundation/CString.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/String.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace lumo {
namespace {

P<IString> utf8(const std::string& text) { return String::fromUTF8(text).get(); }
P<IString> latin1(const std::string& text) { return String::fromLatin1(text).get(); }
P<IString> utf16(const std::u16string& text) { return String::fromUTF16(text).get(); }
P<IString> utf32(const std::u32string& text) { return String::fromUTF32(text).get(); }

std::string bytesOf(const P<IString>& text)
{
    return std::string(static_cast<const char*>(text->getData()), text->getByteLength());
}

TEST(CStringTest, CopiesBorrowsOrAdoptsAndRefusesBadArguments)
{
    static const char text[] = "hello";
    P<IString> copied = make<CString>(text, 3, -1, false, getLatin1Encoding(), CString::Mode::copy);
    EXPECT_NE(copied->getData(), static_cast<const void*>(text));
    EXPECT_TRUE(copied->isNullTerminated());
    EXPECT_EQ(std::string(static_cast<const char*>(copied->getData())), "hel");

    P<IString> borrowed = make<CString>(text, 3, 2, false, getLatin1Encoding(), CString::Mode::borrow);
    EXPECT_EQ(borrowed->getData(), static_cast<const void*>(text));
    EXPECT_FALSE(borrowed->isNullTerminated());

    // Measured to its terminator; freed with the string, or the leak checker complains.
    auto* block = static_cast<char16_t*>(std::malloc(10));
    std::memcpy(block, u"h\u00E9\U0001F600", 10);
    P<IString> adopted = make<CString>(block, -1, -1, false, getUTF16Encoding(), CString::Mode::adopt);
    EXPECT_EQ(adopted->getData(), static_cast<const void*>(block));
    EXPECT_TRUE(adopted->isNullTerminated());
    EXPECT_EQ(adopted->getByteLength(), 8);
    EXPECT_EQ(adopted->getLength(), 3);

    P<IString> empty = make<CString>(nullptr, 5, -1, false, getUTF16Encoding(), CString::Mode::adopt);
    EXPECT_TRUE(empty->isEmpty() && empty->getByteLength() == 0 && empty->isNullTerminated());
    EXPECT_THROW(make<CString>("a", -2, -1, false, getLatin1Encoding(), CString::Mode::copy), CInvalidArgError);
    EXPECT_THROW(make<CString>("a", 1, -1, false, nullptr, CString::Mode::copy), CInvalidArgError);
    EXPECT_THROW(utf8("a")->compare(nullptr), CInvalidArgError);
}

TEST(CStringTest, ComparesAndEqualsCodePointsExactly)
{
    EXPECT_EQ(latin1("abc")->compare(latin1("abd").get()), -1);
    EXPECT_EQ(latin1("abc")->compare(latin1("ab").get()), 1);
    EXPECT_EQ(latin1("abc")->compare(utf16(u"abc").get()), 0);
    // Above the Basic Multilingual Plane the code point decides, not the units.
    EXPECT_EQ(utf16(u"\U0001F600")->compare(utf16(u"\uFFFD").get()), 1);

    // From a start for a count.
    P<IString> text = latin1("xxabcd");
    EXPECT_EQ(text->compare(latin1("abcd").get(), 2), 0);
    EXPECT_EQ(text->compare(latin1("abzz").get(), 2, 2), 0);
    EXPECT_EQ(text->compare(latin1("ab").get(), 2, 10), 1);
    EXPECT_EQ(text->compare(latin1("a").get(), 99), -1);

    // Ordered before or after other objects, but never equal to them.
    EXPECT_NE(text->compareTo(make<CObject>().get()), 0);
    EXPECT_EQ(text->compareTo(nullptr), 1);

    P<IString> accented = latin1("h\xE9llo");
    EXPECT_TRUE(accented->equals(utf8("h\xC3\xA9llo").get()));
    EXPECT_TRUE(accented->equals(latin1("lla").get(), 2, 2));
    EXPECT_FALSE(accented->equals(latin1("ll").get(), 2));
    // Invalid bytes are not part of the text.
    EXPECT_TRUE(utf8("a\x80" + std::string("b"))->equals(latin1("ab").get()));
}

TEST(CStringTest, ReplacesEveryOccurrenceWithoutRescanningKeepingTheEncodingWhenShared)
{
    auto replaced = [](const char* text, const char* search, const char* replacement) {
        return latin1(text)->replace(latin1(search).get(), latin1(replacement).get())->toUTF8();
    };
    EXPECT_EQ(replaced("abcabc", "bc", "X"), "aXaX");
    EXPECT_EQ(replaced("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(replaced("aabaaab", "aab", "X"), "XaX");
    EXPECT_EQ(replaced("xaba", "abab", "Y"), "xaba");

    P<IString> text = latin1("price: %P%");
    EXPECT_TRUE(text->replace(latin1("%P%").get(), latin1("5").get())->hasEncoding(ICharEncoding::latin1Tag));
    P<IString> other = text->replace(latin1("%P%").get(), utf16(u"5\u20AC").get());
    EXPECT_TRUE(other->hasEncoding(ICharEncoding::utf8Tag));
    EXPECT_EQ(other->toUTF8(), "price: 5\xE2\x82\xAC");
    EXPECT_EQ(text->replace(latin1("").get(), latin1("x").get()), text);
}

TEST(CStringTest, MapsAndComparesCaseInTheSameEncodingWhenItCan)
{
    P<IString> lower = latin1("\xC0 Bient\xF4t")->toLowerCase();
    EXPECT_TRUE(lower->hasEncoding(ICharEncoding::latin1Tag));
    EXPECT_EQ(lower->toUTF8(), "\xC3\xA0 bient\xC3\xB4t");
    // The capital of y with diaeresis is not Latin-1.
    P<IString> upper = latin1("\xFF")->toUpperCase();
    EXPECT_TRUE(upper->hasEncoding(ICharEncoding::utf8Tag));
    EXPECT_EQ(upper->toUTF8(), "\xC5\xB8");

    EXPECT_TRUE(utf8("\xCE\xA3\xCE\x8A\xCE\xA3\xCE\xA5\xCE\xA6\xCE\x9F\xCE\xA3")
                    ->equalsIgnoringCase(utf8("\xCF\x83\xCE\xAF\xCF\x83\xCF\x85\xCF\x86\xCE\xBF\xCF\x82").get()));
    EXPECT_FALSE(latin1("stra\xDF" + std::string("e"))->equalsIgnoringCase(latin1("STRASSE").get()));
}

TEST(CStringTest, FindsCharactersTextsPrefixesAndSuffixes)
{
    P<IString> text = utf8("a\xC3\xA9" + std::string("bc\xC3\xA9") + "bc");
    EXPECT_EQ(text->getCharAt(1), 0xE9u);
    EXPECT_EQ(text->getCharAt(-1), 0u);
    EXPECT_EQ(text->getCharAt(7), 0u);
    EXPECT_EQ(text->indexOf(latin1("\xE9" + std::string("b")).get(), 2), 4);
    EXPECT_EQ(text->indexOf(latin1("bd").get()), -1);
    EXPECT_EQ(text->indexOfChar(0xE9, 2), 4);
    EXPECT_EQ(text->indexOf(latin1("").get(), 3), 3);
    EXPECT_EQ(text->lastIndexOf(latin1("").get()), 7);
    EXPECT_EQ(latin1("aaa")->lastIndexOf(latin1("aa").get()), 1);

    P<IString> file = latin1("file.txt");
    EXPECT_TRUE(file->startsWith(latin1("file").get()));
    EXPECT_FALSE(file->startsWith(latin1("file.txt2").get()));
    EXPECT_TRUE(file->endsWith(utf16(u".txt").get()));
    EXPECT_FALSE(latin1("t")->endsWith(latin1("txt").get()));

    // Longer than the chunks in which characters are read.
    std::u32string wide(300, U'x');
    wide.replace(62, 3, U"\U0001F600yz");
    wide.replace(250, 2, U"yz");
    P<IString> long8 = utf8(utf32(wide)->toUTF8());
    EXPECT_EQ(long8->getLength(), 300);
    EXPECT_EQ(long8->indexOf(utf32(U"\U0001F600yz").get()), 62);
    EXPECT_EQ(long8->lastIndexOf(latin1("yz").get()), 250);
    EXPECT_EQ(long8->compare(utf32(wide).get()), 0);
}

TEST(CStringTest, ConvertsAndConcatenatesInTheSharedEncodingElseInUTF8)
{
    P<IString> euro = utf16(u"5 \u20AC")->convert(ICharEncoding::latin1Tag);
    EXPECT_TRUE(euro->hasEncoding(ICharEncoding::latin1Tag));
    EXPECT_EQ(bytesOf(euro), "5 ?");
    P<IString> wide = utf8("\xF0\x9F\x98\x80!")->convert(ICharEncoding::utf16Tag);
    EXPECT_EQ(wide->getByteLength(), 6);
    EXPECT_TRUE(wide->isNullTerminated());
    // What UTF-8 cannot hold is dropped.
    P<IString> dropped = utf32(std::u32string{U'a', 0x110000, U'b'})->convert(ICharEncoding::utf8Tag);
    EXPECT_EQ(bytesOf(dropped), "ab");
    EXPECT_THROW(utf8("x")->convert(0x12345678), CInvalidArgError);

    P<IString> joined = latin1("ab")->concat(latin1("c\xE9").get());
    EXPECT_TRUE(joined->hasEncoding(ICharEncoding::latin1Tag));
    EXPECT_EQ(bytesOf(joined), "abc\xE9");
    P<IString> mixed = latin1("\xE9")->concat(utf16(u"\u20AC").get());
    EXPECT_TRUE(mixed->hasEncoding(ICharEncoding::utf8Tag));
    EXPECT_EQ(bytesOf(mixed), "\xC3\xA9\xE2\x82\xAC");
    // Joined bytes may make one character of two invalid halves.
    P<IString> healed = utf8("a\xC3")->concat(utf8("\xA9").get());
    EXPECT_EQ(healed->getLength(), 2);
}

TEST(CStringTest, SlicesShareTheBytes)
{
    P<IString> text = utf8("h\xC3\xA9llo w\xC3\xB6rld"), world = text->slice(6);
    EXPECT_EQ(world->getData(), static_cast<const char*>(text->getData()) + 7);
    EXPECT_TRUE(world->isNullTerminated()) << "runs to the source's terminator";
    P<IString> hello = text->slice(0, 5);
    EXPECT_EQ(bytesOf(hello), "h\xC3\xA9llo");
    EXPECT_FALSE(hello->isNullTerminated());
    EXPECT_EQ(text->slice(-3, 2)->toUTF8(), "h\xC3\xA9");
    EXPECT_TRUE(text->slice(20)->isEmpty());
    EXPECT_EQ(text->slice(0, 99), text);

    P<IString> terminated = hello->toNullTerminated();
    EXPECT_EQ(std::string(static_cast<const char*>(terminated->getData())), "h\xC3\xA9llo");
}

TEST(CStringTest, TrimsWhiteSpaceAndCopiesOutSkippingInvalidBytes)
{
    EXPECT_EQ(latin1("  a b \t\n")->trim()->toUTF8(), "a b");
    EXPECT_EQ(utf8("\xC2\xA0\xE3\x80\x80x\xE2\x80\x83")->trim()->toUTF8(), "x");
    EXPECT_TRUE(latin1(" \r\n ")->trim()->isEmpty());

    P<IString> text = utf8("a\x80\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(text->toUTF8(), "a\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(text->toUTF16(), u"a\u00E9\U0001F600");
    EXPECT_EQ(text->toUTF32(), U"a\u00E9\U0001F600");
}

} // namespace
} // namespace lumo
