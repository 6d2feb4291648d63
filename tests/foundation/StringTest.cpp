#include "foundation/String.h"

#include "expectError.h"
#include "foundation/CParseError.h"
#include "foundation/ICharEncoding.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace lumo {
namespace {

TEST(StringTest, EveryNullIsAnEmptyString)
{
    const char* nothing = nullptr;
    for (const String& text : {String(), String(nothing), String(P<IString>()), String("")})
        EXPECT_TRUE(text->isEmpty());
}

TEST(StringTest, LiteralsAreBorrowedInTheirEncodingAndPointersCopied)
{
    static const char narrow[] = "narrow";
    static const char16_t wide[] = u"wide \u20AC";
    static const wchar_t native[] = L"\U0001F600";
    String a(narrow), b(wide), c(native);
    EXPECT_EQ(a->getData(), static_cast<const void*>(narrow));
    EXPECT_EQ(b->getData(), static_cast<const void*>(wide));
    EXPECT_EQ(c->getData(), static_cast<const void*>(native));
    EXPECT_TRUE(a->hasEncoding(ICharEncoding::latin1Tag) && a->isNullTerminated());
    // Wide literals are UTF-16 or UTF-32 by the width of wchar_t: either way one character.
    EXPECT_TRUE(c->hasEncoding(sizeof(wchar_t) == 2 ? ICharEncoding::utf16Tag : ICharEncoding::utf32Tag));
    EXPECT_EQ(c.getLength(), 1);
    EXPECT_EQ(c.toUTF8(), "\xF0\x9F\x98\x80");

    static const char buffer[16] = "ab";
    EXPECT_EQ(String(buffer).getLength(), 2) << "an array ends at its first zero";

    char changing[] = "mutable";
    char* pointer = changing;
    String fromPointer(pointer);
    changing[0] = 'M';
    EXPECT_EQ(fromPointer.toUTF8(), "mutable");
    EXPECT_EQ(String::fromInt(INT64_MIN).toUTF8(), "-9223372036854775808");
}

TEST(StringTest, CopiesShareChangesRebindAndComparisonsUseCodePoints)
{
    String text = "base", copy = text;
    EXPECT_EQ(copy.get(), text.get());
    copy += String(" plus");
    EXPECT_EQ(text.toUTF8(), "base");
    EXPECT_EQ(copy.toUTF8(), "base plus");

    EXPECT_TRUE(String("a") != String("A"));
    EXPECT_TRUE(String("ab") < String("abc"));
    EXPECT_FALSE(String("x") < String("x"));
}

TEST(StringTest, ParsesTextThatIsWhollyDigitsOfTheBase)
{
    EXPECT_EQ(parseInteger("8080"), 8080);
    EXPECT_EQ(parseInteger("fF", 16), 255);
    EXPECT_EQ(parseInteger(String(u"\u0031\u0032")), 12);
    // 32-bit arithmetic without an overflow check.
    EXPECT_EQ(parseInteger("4294967295"), -1);
    EXPECT_EQ(parseInteger("4294967296"), 0);

    for (const char* text : {"80a", "-1", "", " 1", "1.5"})
        expectError<CParseError>("Error parsing integer.", [&] { parseInteger(String::fromLatin1(text)); });
    EXPECT_THROW(parseInteger("102", 2), CParseError);
    EXPECT_THROW(parseInteger("1", 0), CParseError);
}

} // namespace
} // namespace lumo
