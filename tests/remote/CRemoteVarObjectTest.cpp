#include "remote/CRemoteVarObject.h"

#include "WireFixture.h"
#include "remote/CRemoteException.h"
#include "streams/CTestRecord.h"

namespace lumo {
namespace {

using RemoteVarObjectTest = WireFixture;

const Bytes recordWire = wireString("Result") + Bytes{0x00} + wireUInt32(5) + wireUInt32(123456);
const Bytes nullWire = wireString("Result") + Bytes{0x01};

// Reading into a target is checked through the client's object calls.
TEST_F(RemoteVarObjectTest, AnObjectOrNullBehindTheName)
{
    EXPECT_EQ(written(*make<CRemoteVarObject>("Result", make<CTestRecord>(std::vector<int32_t>{5}))), recordWire);
    EXPECT_EQ(written(*make<CRemoteVarObject>("Result")), nullWire);

    // Without a target only a null object can be read.
    const P<CRemoteVarObject> untargeted = make<CRemoteVarObject>("Result");
    untargeted->read(feed(nullWire));
    EXPECT_THROW(untargeted->read(feed(recordWire)), CRemoteException);
    const P<CTestRecord> target = make<CTestRecord>();
    const P<CRemoteVarObject> received = make<CRemoteVarObject>("Result", target);
    EXPECT_THROW(received->read(feed(wireString("Other") + Bytes{0x01})), CRemoteException);
    EXPECT_EQ(received->getValue(), target);
}

} // namespace
} // namespace lumo
