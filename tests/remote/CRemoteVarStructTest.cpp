#include "remote/CRemoteVarStruct.h"

#include "WireFixture.h"
#include "streams/CEndOfStreamError.h"

namespace lumo {
namespace {

struct SRecord {
    uint32_t size;
    int32_t width, height, flags;
};

using RemoteVarStructTest = WireFixture;
using CRecordVar = CRemoteVarStruct<SRecord>;

const Bytes recordBytes = wireUInt32(16) + wireUInt32(640) + wireUInt32(480) + wireUInt32(0xFFFFFFFF);

TEST_F(RemoteVarStructTest, TheSizeThenTheBytesWithoutTheName)
{
    const Bytes wire = Bytes{0x10, 0x00, 0x00, 0x00} + recordBytes;
    EXPECT_EQ(written(*make<CRecordVar>("pParams", SRecord{16, 640, 480, -1})), wire);
    const P<CRecordVar> received = make<CRecordVar>("pParams");
    received->read(feed(wire));
    EXPECT_EQ(received->getValue().height, 480);
    EXPECT_EQ(received->getValue().flags, -1);
}

TEST_F(RemoteVarStructTest, AnotherSizeOrTooFewBytesLeaveTheOldValue)
{
    const P<CRecordVar> variable = make<CRecordVar>("pParams", SRecord{16, 1, 2, 3});
    expectMessage<CRemoteException>("CRemoveVarStruct: size of struct is different",
                                    [&] { variable->read(feed(wireUInt32(15) + recordBytes)); });
    EXPECT_EQ(stream->getPosition(), 4);
    EXPECT_THROW(variable->read(feed(wireUInt32(16) + Bytes(recordBytes.begin(), recordBytes.end() - 1))),
                 CEndOfStreamError);
    EXPECT_EQ(variable->getValue().flags, 3);
}

} // namespace
} // namespace lumo
