#include "remote/TRemoteVarValue.h"

#include "WireFixture.h"
#include "remote/CRemoteException.h"
#include "remote/CRemoteVarBool.h"
#include "remote/CRemoteVarDouble.h"
#include "remote/CRemoteVarInteger.h"
#include "remote/CRemoteVarString.h"
#include "streams/CEndOfStreamError.h"

namespace lumo {
namespace {

struct RemoteVarValueTest : WireFixture {
    // Writes `value`, compares the bytes, reads them back into a fresh variable.
    template <class Kind, class T> void expectWire(const char* name, T value, const Bytes& wire)
    {
        SCOPED_TRACE(name);
        EXPECT_EQ(written(*make<Kind>(String::fromUTF8(name), value)), wire);
        const P<Kind> received = make<Kind>(String::fromUTF8(name));
        EXPECT_TRUE(received->read(feed(wire)));
        EXPECT_EQ(received->getValue(), value);
        EXPECT_TRUE(stream->isEOF());
    }
};

TEST_F(RemoteVarValueTest, EachKindWritesItsNameAndItsValue)
{
    expectWire<CRemoteVarInteger>("nWidth", 640,
                                  {0x06, 0x00, 0x00, 0x00, 0x6E, 0x57, 0x69, 0x64, 0x74, 0x68, 0x80, 0x02, 0x00, 0x00});
    expectWire<CRemoteVarBool>("Result", true, {0x06, 0x00, 0x00, 0x00, 0x52, 0x65, 0x73, 0x75, 0x6C, 0x74, 0x01});
    expectWire<CRemoteVarDouble>("fTimestamp", 1.5, wireString("fTimestamp") + Bytes{0, 0, 0, 0, 0, 0, 0xF8, 0x3F});
    expectWire<CRemoteVarString>("Result", String::fromUTF8("caf\xC3\xA9"),
                                 wireString("Result") + wireString("caf\xC3\xA9"));
}

TEST_F(RemoteVarValueTest, AnotherNameOrAValueCutShortLeavesTheOldValue)
{
    for (const char* other : {"nheight", "nHeight2", ""}) {
        SCOPED_TRACE(other);
        const P<CRemoteVarInteger> height = make<CRemoteVarInteger>("nHeight", 7);
        expectMessage<CRemoteException>("Parameter not expected", [&] { height->read(feed(wireInt(other, 480))); });
        EXPECT_EQ(height->getValue(), 7);
        EXPECT_EQ(stream->getPosition(), static_cast<int64_t>(wireString(other).size()));
    }
    const P<CRemoteVarDouble> timestamp = make<CRemoteVarDouble>("fTimestamp", 2.0);
    EXPECT_THROW(timestamp->read(feed(wireString("fTimestamp") + Bytes{0, 0, 0})), CEndOfStreamError);
    EXPECT_EQ(timestamp->getValue(), 2.0);
}

} // namespace
} // namespace lumo
