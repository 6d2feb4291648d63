#include "streams/CDataInStream.h"

#include "CProbeStream.h"
#include "CTestRecord.h"
#include "expectError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CParseError.h"
#include "foundation/CURI.h"
#include "streams/CDataOutStream.h"
#include "streams/CEndOfStreamError.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

namespace lumo {
namespace {

struct DataInFixture : testing::Test {
    P<CProbeStream> wrapped = make<CProbeStream>();
    P<CDataInStream> in = make<CDataInStream>(wrapped);
    P<CDataOutStream> out = make<CDataOutStream>(wrapped);

    // Writes the values, reads them back and compares them bit for bit, so that -0.0 and NaN count too.
    template <class T>
    void expectRoundTrip(void (IDataOutStream::*write)(T), T (IDataInStream::*read)(), std::initializer_list<T> values)
    {
        wrapped->clear();
        for (T value : values)
            (out.get()->*write)(value);
        wrapped->seek(0);
        for (T value : values) {
            const T back = ((*in).*read)();
            EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << +value;
        }
        EXPECT_TRUE(in->isEOF());
    }
};

// What the round trips below cannot show: a true written as another byte than 1, and a null object.
TEST_F(DataInFixture, DecodesAnyByteButZeroAsTrueAndTheNullFlagAsNoObject)
{
    wrapped->fill({0x02});
    EXPECT_TRUE(in->readBool());

    P<CTestRecord> target = make<CTestRecord>(std::vector<int32_t>{9});
    wrapped->fill({0x01});
    EXPECT_EQ(in->readObject(*target), nullptr);
    EXPECT_EQ(target->values, std::vector<int32_t>{9}); // left untouched
}

TEST_F(DataInFixture, RoundTripsEveryTypeAtItsLimits)
{
    using LF = std::numeric_limits<float>;
    using LD = std::numeric_limits<double>;
    expectRoundTrip(&IDataOutStream::writeInt8, &IDataInStream::readInt8,
                    {int8_t(INT8_MIN), int8_t(-1), int8_t(INT8_MAX)});
    expectRoundTrip(&IDataOutStream::writeInt16, &IDataInStream::readInt16, {int16_t(INT16_MIN), int16_t(INT16_MAX)});
    expectRoundTrip(&IDataOutStream::writeInt32, &IDataInStream::readInt32, {INT32_MIN, INT32_MAX});
    expectRoundTrip(&IDataOutStream::writeInt64, &IDataInStream::readInt64, {INT64_MIN, INT64_MAX});
    expectRoundTrip(&IDataOutStream::writeUInt8, &IDataInStream::readUInt8, {uint8_t(0xFF)});
    expectRoundTrip(&IDataOutStream::writeUInt16, &IDataInStream::readUInt16, {uint16_t(0xFFFE)});
    expectRoundTrip(&IDataOutStream::writeUInt32, &IDataInStream::readUInt32, {0xFFFFFFFEu});
    expectRoundTrip(&IDataOutStream::writeUInt64, &IDataInStream::readUInt64, {~uint64_t(1)});
    expectRoundTrip(&IDataOutStream::writeFloat, &IDataInStream::readFloat,
                    {-0.0f, LF::denorm_min(), -LF::infinity(), LF::quiet_NaN()});
    expectRoundTrip(&IDataOutStream::writeDouble, &IDataInStream::readDouble,
                    {-0.0, LD::denorm_min(), LD::lowest(), LD::quiet_NaN()});
    expectRoundTrip(&IDataOutStream::writeBool, &IDataInStream::readBool, {true, false});
}

TEST_F(DataInFixture, RoundTripsStringsObjectsAndURIs)
{
    // Longer than one read chunk, so that the text grows as it arrives.
    std::string longText(200003, 'x');
    for (std::size_t i = 0; i < longText.size(); i += 7)
        longText[i] = static_cast<char>('a' + i % 26);
    const String texts[] = {String(), String("plain"), String("\xE9t\xE9"), String(U"\U0001F600 \u4E2D"),
                            String::fromUTF8(longText)};
    for (const String& text : texts)
        out->writeString(*text.get());
    out->writeObject(make<CTestRecord>(std::vector<int32_t>{1, -2, 3}).get());
    out->writeURI(nullptr);
    out->writeURI(make<CURI>(String("file:///tmp/a%20b.txt?q#f")).get());

    wrapped->seek(0);
    for (const String& text : texts)
        EXPECT_EQ(in->readString(), text);
    P<CTestRecord> record = make<CTestRecord>();
    record->readCount = 3;
    ASSERT_NE(in->readObject(*record), nullptr);
    EXPECT_EQ(record->values, (std::vector<int32_t>{1, -2, 3}));
    EXPECT_EQ(in->readURI(), nullptr);
    P<IURI> uri = in->readURI();
    ASSERT_NE(uri, nullptr);
    EXPECT_EQ(uri->getText(), String("file:///tmp/a%20b.txt?q#f"));
    EXPECT_TRUE(in->isEOF());
}

TEST_F(DataInFixture, MarkerCatchesABodyReadShort)
{
    out->writeObject(make<CTestRecord>(std::vector<int32_t>{1, 2, 3}).get());
    P<CTestRecord> target = make<CTestRecord>();
    target->readCount = 2;
    wrapped->seek(0);
    expectThrow<CException>([&] { in->readObject(*target); },
                            [](const CException& error) {
                                EXPECT_EQ(error.getGeneralDescription()->toUTF8(),
                                          "Error in object serialization.. write/read differ?");
                                EXPECT_TRUE(error.getDescription()->isEmpty());
                            });
    // Past the four bytes taken for the marker, with no attempt to resynchronise.
    EXPECT_EQ(wrapped->getPosition(), 1 + 2 * 4 + 4);
}

TEST_F(DataInFixture, TryReadStringGivesUpOnAShortCount)
{
    wrapped->fill({0x07, 0x00});
    EXPECT_TRUE(in->tryReadString().isEmpty());
    EXPECT_EQ(wrapped->getPosition(), 2);
    // Unlike the count, the bytes must all be there.
    wrapped->fill({2, 0, 0, 0, 'o'});
    EXPECT_THROW(in->tryReadString(), CEndOfStreamError);
}

TEST_F(DataInFixture, AValueCutShortIsAnEndOfStream)
{
    // clang-format off
    const struct { const char* name; Bytes cutShort; std::function<void(IDataInStream&)> read; } cases[] = {
        {"bool", {}, [](IDataInStream& s) { s.readBool(); }},
        {"double", {1, 2, 3, 4, 5, 6, 7}, [](IDataInStream& s) { s.readDouble(); }},
        {"string count", {5, 0, 0}, [](IDataInStream& s) { s.readString(); }},
        {"string bytes", {5, 0, 0, 0, 'a', 'b'}, [](IDataInStream& s) { s.readString(); }},
        {"uri", {0x00, 5, 0, 0, 0, 'a'}, [](IDataInStream& s) { s.readURI(); }},
        {"object marker", {0x00, 1, 0, 0, 0, 0x40, 0xE2},
         [](IDataInStream& s) { s.readObject(*make<CTestRecord>(std::vector<int32_t>{1})); }},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wrapped->fill(c.cutShort);
        EXPECT_THROW(c.read(*in), CEndOfStreamError);
    }
}

TEST_F(DataInFixture, ALyingCountReservesOnlyWhatArrives)
{
    for (uint32_t claimed : {0x7FFFFFFFu, 70000u}) {
        SCOPED_TRACE(claimed);
        wrapped->fill(wireUInt32(claimed) + Bytes{'a', 'b', 'c'});
        wrapped->largestReadFully = 0;
        EXPECT_THROW(in->readString(), CEndOfStreamError);
        EXPECT_LE(wrapped->largestReadFully, 64 * 1024);
    }
}

// A count above the bound fails as a parse error before any byte of the string is asked for.
TEST_F(DataInFixture, AStringAboveItsBoundIsRefusedOnItsCount)
{
    // bound: 0 for the default
    // clang-format off
    struct Case { uint32_t bound, count; bool bRefused; } const cases[] = {
        {10, 10, false}, {10, 11, true}, {1, 0, false}, {0, 0, false}, {0, 0x80000000u, true}, {0, 0xFFFFFFFFu, true},
        {0xFFFFFFFFu, 0x80000000u, true}, // a bound above 2^31 - 1 counts as that
    };
    // clang-format on
    for (auto read : {&IDataInStream::readString, &IDataInStream::tryReadString}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.bound << " " << c.count);
            P<CDataInStream> bounded = make<CDataInStream>(wrapped);
            if (c.bound != 0)
                bounded->setMaxStringBytes(c.bound);
            if (c.bRefused) {
                wrapped->fill(wireUInt32(c.count));
                wrapped->largestReadFully = 0;
                EXPECT_THROW(((*bounded).*read)(), CParseError);
                EXPECT_EQ(wrapped->getPosition(), 4);
                EXPECT_LE(wrapped->largestReadFully, 4);
            } else {
                wrapped->fill(wireUInt32(c.count) + Bytes(c.count, 'x'));
                EXPECT_EQ(((*bounded).*read)(), String::fromUTF8(std::string(c.count, 'x')));
                EXPECT_TRUE(bounded->isEOF());
            }
        }
    }
}

TEST_F(DataInFixture, ItemCountsStayWithinZeroAndTheirBound)
{
    // bound: -1 for the default
    // clang-format off
    struct Case { int32_t bound, count; bool bRefused; } const cases[] = {
        {5, -1, true}, {5, 0, false}, {5, 5, false}, {5, 6, true}, {0, 0, false}, {0, 1, true},
        {-1, std::numeric_limits<int32_t>::max(), false}, {-1, std::numeric_limits<int32_t>::min(), true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bound << " " << c.count);
        P<CDataInStream> bounded = make<CDataInStream>(wrapped);
        if (c.bound >= 0)
            bounded->setMaxItemCount(c.bound);
        wrapped->fill(wireUInt32(static_cast<uint32_t>(c.count)));
        if (c.bRefused)
            EXPECT_THROW(bounded->readItemCount(), CParseError);
        else
            EXPECT_EQ(bounded->readItemCount(), c.count);
        EXPECT_EQ(wrapped->getPosition(), 4);
    }
    EXPECT_THROW(in->setMaxItemCount(-1), CInvalidArgError);
}

} // namespace
} // namespace lumo
