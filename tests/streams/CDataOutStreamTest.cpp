#include "streams/CDataOutStream.h"

#include "CProbeStream.h"
#include "CTestRecord.h"
#include "foundation/CURI.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace lumo {
namespace {

struct DataOutFixture : testing::Test {
    P<CProbeStream> wrapped = make<CProbeStream>();
    P<CDataOutStream> out = make<CDataOutStream>(wrapped);
};

TEST_F(DataOutFixture, EncodesEveryKindOfValueLittleEndian)
{
    // clang-format off
    const struct { const char* name; std::function<void(IDataOutStream&)> write; Bytes expected; } encodings[] = {
        {"int8", [](IDataOutStream& s) { s.writeInt8(-2); }, {0xFE}},
        {"int32", [](IDataOutStream& s) { s.writeInt32(0x01020304); }, {0x04, 0x03, 0x02, 0x01}},
        {"int64", [](IDataOutStream& s) { s.writeInt64(INT64_MIN); }, {0, 0, 0, 0, 0, 0, 0, 0x80}},
        {"uint64", [](IDataOutStream& s) { s.writeUInt64(0x0102030405060708ull); }, {8, 7, 6, 5, 4, 3, 2, 1}},
        {"float 1", [](IDataOutStream& s) { s.writeFloat(1.0f); }, {0x00, 0x00, 0x80, 0x3F}},
        {"double -2", [](IDataOutStream& s) { s.writeDouble(-2.0); }, {0, 0, 0, 0, 0, 0, 0x00, 0xC0}},
        {"true", [](IDataOutStream& s) { s.writeBool(true); }, {0x01}},
        {"empty string", [](IDataOutStream& s) { s.writeString(*String().get()); }, {0, 0, 0, 0}},
        // Latin-1 and UTF-16 text goes out as UTF-8, counted in bytes.
        {"latin-1 e acute", [](IDataOutStream& s) { s.writeString(*String("\xE9").get()); }, {2, 0, 0, 0, 0xC3, 0xA9}},
        {"utf-16 e acute", [](IDataOutStream& s) { s.writeString(*String(u"\u00E9").get()); },
         {2, 0, 0, 0, 0xC3, 0xA9}},
        {"utf-32 emoji", [](IDataOutStream& s) { s.writeString(*String(U"\U0001F600").get()); },
         {4, 0, 0, 0, 0xF0, 0x9F, 0x98, 0x80}},
        {"null object", [](IDataOutStream& s) { s.writeObject(nullptr); }, {0x01}},
        {"object", [](IDataOutStream& s) { s.writeObject(make<CTestRecord>(std::vector<int32_t>{7}).get()); },
         {0x00, 7, 0, 0, 0, 0x40, 0xE2, 0x01, 0x00}},
        {"null uri", [](IDataOutStream& s) { s.writeURI(nullptr); }, {0x01}},
        {"uri", [](IDataOutStream& s) { s.writeURI(make<CURI>(String("a:b%20")).get()); },
         {0x00, 6, 0, 0, 0, 'a', ':', 'b', '%', '2', '0'}},
    };
    // clang-format on
    for (const auto& encoding : encodings) {
        SCOPED_TRACE(encoding.name);
        wrapped->clear();
        encoding.write(*out);
        EXPECT_EQ(wrapped->bytes(), encoding.expected);
    }
}

} // namespace
} // namespace lumo
