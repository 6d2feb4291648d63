#include "foundation/CUTF16CharEncoding.h"
#include "foundation/CUTF32CharEncoding.h"
#include "foundation/CUTF8CharEncoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace lumo {
namespace {

// The units written for one code point: none for one the encoding cannot hold.
template <class Unit> std::basic_string<Unit> encoded(ICharEncoding& encoding, uint32_t codePoint)
{
    Unit buffer[8 / sizeof(Unit)] = {};
    return std::basic_string<Unit>(buffer, encoding.encode(codePoint, buffer, sizeof buffer, 0) / sizeof(Unit));
}

// The code points from the end back to the start, ending in 0xFFFFFFFF where one cannot be read.
std::vector<uint32_t> walkedBack(ICharEncoding& encoding, const void* text, int32_t size)
{
    std::vector<uint32_t> codePoints;
    uint32_t codePoint = 0;
    for (int32_t end = size; end > 0; codePoints.push_back(end < 0 ? 0xFFFFFFFF : codePoint))
        end = encoding.decodePrevious(codePoint, text, size, end);
    return codePoints;
}

// "a", a stray continuation byte, "é", a cut-off lead, "€".
const std::string mixed = "a\x80\xC3\xA9\xE2\xE2\x82\xAC";
const int32_t mixedSize = static_cast<int32_t>(mixed.size());

TEST(TCharEncodingTest, ScanningSkippingAndWalkingBackStepOverInvalidBytes)
{
    ICharEncoding& encoding = *getUTF8Encoding();
    EXPECT_EQ(encoding.findValid(mixed.data(), mixedSize, 4), 5);
    EXPECT_EQ(encoding.findValid("\x80\x80", 2, 0), -1);
    uint32_t codePoint = 0;
    EXPECT_EQ(encoding.decodeSkipping(codePoint, mixed.data(), mixedSize, 4), 8);
    EXPECT_EQ(codePoint, 0x20ACu);
    EXPECT_EQ(encoding.decodeSkipping(codePoint, mixed.data(), mixedSize, 8), -1);
    EXPECT_EQ(encoding.countChars(mixed.data(), mixedSize, -5), 3);
    EXPECT_EQ(encoding.skipChars(mixed.data(), mixedSize, 0, 9), mixedSize);
    std::vector<int32_t> starts;
    for (int32_t start = mixedSize; (start = encoding.findPrevious(mixed.data(), mixedSize, start)) >= 0;)
        starts.push_back(start);
    EXPECT_EQ(starts, (std::vector<int32_t>{5, 2, 0}));
}

TEST(TCharEncodingTest, DecodesManyWithTheirStartsAndEncodesManyDroppingWhatCannotBeWritten)
{
    uint32_t codePoints[8];
    int32_t starts[8];
    int32_t position = 0;
    ICharEncoding& encoding = *getUTF8Encoding();
    EXPECT_EQ(encoding.decodeMany(codePoints, 2, mixed.data(), mixedSize, position, starts), 2);
    EXPECT_EQ(position, 4);
    EXPECT_EQ((std::vector<uint32_t>(codePoints, codePoints + 2)), (std::vector<uint32_t>{'a', 0xE9}));
    EXPECT_EQ((std::vector<int32_t>(starts, starts + 2)), (std::vector<int32_t>{0, 2}));

    EXPECT_EQ(encoding.decodeMany(codePoints, 8, mixed.data(), mixedSize, position, starts), 1);
    EXPECT_EQ(starts[0], 5);
    EXPECT_EQ(position, mixedSize);

    // What cannot be written is dropped; what does not fit stops the writing.
    const uint32_t toWrite[] = {'a', 0xD800, 0x1F600, 'b'};
    char16_t buffer[4] = {};
    int32_t ends[4] = {-1, -1, -1, -1};
    position = 0;
    EXPECT_EQ(getUTF16Encoding()->encodeMany(toWrite, 4, buffer, 7, position, ends), 3);
    EXPECT_EQ(position, 6);
    EXPECT_EQ((std::vector<int32_t>(ends, ends + 4)), (std::vector<int32_t>{2, 2, 6, -1}));
    EXPECT_EQ(std::u16string(buffer, 3), (std::u16string{u'a', 0xD83D, 0xDE00}));
}

TEST(TCharEncodingTest, MeasuresUpToTheFirstZeroUnit)
{
    EXPECT_EQ(getUTF8Encoding()->getTerminatedLength("h\xC3\xA9"), 3);
    EXPECT_EQ(getUTF8Encoding()->getTerminatedLength(nullptr), 0);
    const char16_t text[] = {0x0100, 0x0041, 0}; // zero bytes inside units
    EXPECT_EQ(getUTF16Encoding()->getTerminatedLength(text), 4);
}

TEST(CUTF8CharEncodingTest, EncodesEachLengthAndSurrogatesButNothingBeyondUnicode)
{
    ICharEncoding& encoding = *getUTF8Encoding();
    const std::pair<uint32_t, const char*> cases[] = {
        {0x7F, "\x7F"},         {0x80, "\xC2\x80"},         {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"}, {0xD800, "\xED\xA0\x80"}, {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"}, {0x10FFFF, "\xF4\x8F\xBF\xBF"}, {0x110000, ""},
    };
    for (const auto& [codePoint, bytes] : cases)
        EXPECT_EQ(encoded<char>(encoding, codePoint), bytes) << std::hex << codePoint;
    EXPECT_EQ(encoding.getEncodedLength(0x110000), 0);

    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(encoding.encode(0x110000, buffer, 4, 2), 2);
    EXPECT_EQ(encoding.encode(0x800, buffer, 3, 1), 1) << "does not fit";
    EXPECT_EQ(std::string(buffer, 4), "xxxx");
}

TEST(CUTF8CharEncodingTest, DecodesEveryLengthRejectsBrokenSequencesAndSkipsInvalidBytesOneAtATime)
{
    ICharEncoding& encoding = *getUTF8Encoding();
    uint32_t decoded = 0;
    for (uint32_t codePoint : {0x41u, 0x80u, 0x7FFu, 0x800u, 0xD800u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
        const std::string bytes = encoded<char>(encoding, codePoint);
        const int32_t size = static_cast<int32_t>(bytes.size());
        EXPECT_EQ(encoding.decode(decoded, bytes.data(), size, 0), size) << std::hex << codePoint;
        EXPECT_EQ(decoded, codePoint);
    }

    const char* invalid[] = {
        "\xC0\x80",         "\xC1\x80",         "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", // overlong
        "\xF4\x90\x80\x80", "\xF7\xBF\xBF\xBF",                                     // 0x110000 and up
        "\xF8\x88\x80\x80\x80", "\xFF",         "\x80",         "\xBF",             // no lead byte
        "\xC3\x41",         "\xE0\xA0\x41",     "\xC3",         "\xF0\x9F\x98",     // broken or cut off
    };
    for (const char* bytes : invalid)
        EXPECT_EQ(encoding.decode(decoded, bytes, static_cast<int32_t>(std::strlen(bytes)), 0), -1) << bytes;

    const std::string bytes = "a\x80" "b\xE0\xA0" "c\xC3\xA9";
    EXPECT_EQ(encoding.countChars(bytes.data(), static_cast<int32_t>(bytes.size()), 0), 4);
}

TEST(CUTF8CharEncodingTest, WalksBackwardsOverEveryLength)
{
    ICharEncoding& encoding = *getUTF8Encoding();
    const std::string bytes = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(walkedBack(encoding, bytes.data(), static_cast<int32_t>(bytes.size())),
              (std::vector<uint32_t>{0x1F600, 0x20AC, 0xE9, 'a'}));

    // Ends inside a character, and more continuation bytes than any character has.
    uint32_t codePoint;
    EXPECT_EQ(encoding.decodePrevious(codePoint, "\xC3\xA9", 2, 1), -1);
    EXPECT_EQ(encoding.decodePrevious(codePoint, "\xF0\x9F\x98\x80\x80", 5, 5), -1);
}

TEST(CUTF16CharEncodingTest, WritesOneUnitOrAPairButNoSurrogate)
{
    ICharEncoding& encoding = *getUTF16Encoding();
    EXPECT_EQ(encoded<char16_t>(encoding, 0xFFFF), std::u16string(1, 0xFFFF));
    EXPECT_EQ(encoded<char16_t>(encoding, 0x10000), (std::u16string{0xD800, 0xDC00}));
    EXPECT_EQ(encoded<char16_t>(encoding, 0x10FFFF), (std::u16string{0xDBFF, 0xDFFF}));
    for (uint32_t codePoint : {0xD800u, 0xDFFFu, 0x110000u}) {
        EXPECT_EQ(encoded<char16_t>(encoding, codePoint), u"");
        EXPECT_EQ(encoding.getEncodedLength(codePoint), 0);
    }
}

TEST(CUTF16CharEncodingTest, DecodesPairsBothWaysAndRejectsLoneSurrogates)
{
    ICharEncoding& encoding = *getUTF16Encoding();
    std::u16string text = {u'a', 0xD83D, 0xDE00, 0xDC00, u'b', 0xD800, u'c', 0xD800};
    const int32_t size = static_cast<int32_t>(text.size() * 2);
    uint32_t codePoint = 0;
    EXPECT_EQ(encoding.decode(codePoint, text.data(), size, 2), 6);
    EXPECT_EQ(codePoint, 0x1F600u);
    EXPECT_EQ(encoding.decode(codePoint, text.data(), size, 6), -1);  // lone low
    EXPECT_EQ(encoding.decode(codePoint, text.data(), size, 10), -1); // high before 'c'
    EXPECT_EQ(encoding.decode(codePoint, text.data(), size, 14), -1); // high at the end
    EXPECT_EQ(encoding.countChars(text.data(), size, 0), 4);
    EXPECT_EQ(encoding.countChars(text.data(), 3, 0), 1) << "a cut-off unit is not counted";
    EXPECT_EQ(walkedBack(encoding, text.data(), 6), (std::vector<uint32_t>{0x1F600, 'a'}));

    std::u16string lone = {u'a', 0xDE00};
    EXPECT_EQ(encoding.decodePrevious(codePoint, lone.data(), 4, 4), -1);
    EXPECT_EQ(encoding.findPrevious(lone.data(), 4, 4), 0);
    EXPECT_EQ(encoding.findPrevious(text.data(), 7, 7), 2) << "from a cut-off unit";
}

TEST(ICharEncodingTest, EachEncodingIsOneInstanceFoundByItsTag)
{
    const std::pair<P<ICharEncoding> (*)(), const char*> encodings[] = {
        {&getLatin1Encoding, "LAT1"}, {&getUTF8Encoding, "UTF8"},       {&getUTF16Encoding, "UF16"},
        {&getUTF32Encoding, "UF32"},  {&getCodePageEncoding, "CDPG"},
    };
    for (const auto& [get, tagText] : encodings) {
        uint32_t tag;
        std::memcpy(&tag, tagText, 4);
        EXPECT_EQ(get()->getTag(), tag) << tagText;
        EXPECT_EQ(getCharEncoding(tag), get());
    }
    EXPECT_EQ(getCharEncoding(0x12345678), nullptr);
}

TEST(TFixedWidthCharEncodingTest, ReadsAndWalksBackOverWholeUnitsOnly)
{
    // Nine bytes: two whole units and one byte of a cut-off third.
    const char32_t units[3] = {U'a', 0x1F600, U'c'};
    const int32_t size = 9;
    ICharEncoding& encoding = *getUTF32Encoding();
    EXPECT_EQ(encoding.countChars(units, size, 0), 2);
    EXPECT_EQ(encoding.countChars(units, size, 20), 0);
    EXPECT_EQ(encoding.skipChars(units, size, 0, 2), 8);
    EXPECT_EQ(encoding.skipChars(units, size, 0, 3), size);
    EXPECT_EQ(encoding.skipChars(units, size, -4, 1), 4);
    uint32_t codePoint;
    EXPECT_EQ(encoding.decode(codePoint, units, size, 8), -1);
    EXPECT_EQ(encoding.decode(codePoint, units, size, 4), 8);
    EXPECT_EQ(codePoint, 0x1F600u);
    EXPECT_EQ(encoding.decodePrevious(codePoint, units, size, size), -1);
    EXPECT_EQ(encoding.findPrevious(units, size, size), 4);
    EXPECT_EQ(encoding.decodePrevious(codePoint, units, size, 4), 0);
    EXPECT_EQ(codePoint, U'a');
    EXPECT_EQ(encoding.findPrevious(units, size, 0), -1);
}

} // namespace
} // namespace lumo
