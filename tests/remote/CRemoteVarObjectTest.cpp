#include "remote/CRemoteVarObject.h"

#include "WireFixture.h"
#include "remote/CRemoteException.h"
#include "streams/CTestRecord.h"

namespace lumo {
namespace {

using RemoteVarObjectTest = WireFixture;

const Bytes marker = wireUInt32(123456);

TEST_F(RemoteVarObjectTest, AnObjectTravelsBehindItsNameAndIsReadIntoTheTarget)
{
    const P<CRemoteVarObject> sent =
        make<CRemoteVarObject>("Result", make<CTestRecord>(std::vector<int32_t>{5, 6}));
    const Bytes wire = wireString("Result") + Bytes{0x00} + wireUInt32(5) + wireUInt32(6) + marker;
    EXPECT_EQ(written(*sent), wire);

    const P<CTestRecord> target = make<CTestRecord>(std::vector<int32_t>{0, 0});
    const P<CRemoteVarObject> received = make<CRemoteVarObject>("Result", target);
    received->read(feed(wire));
    EXPECT_EQ(received->getValue(), target);
    EXPECT_EQ(target->values, (std::vector<int32_t>{5, 6}));
}

TEST_F(RemoteVarObjectTest, ANullObjectIsItsNameAndOneByteAndKeepsTheTarget)
{
    const P<CRemoteVarObject> sent = make<CRemoteVarObject>("Result");
    const Bytes wire = wireString("Result") + Bytes{0x01};
    EXPECT_EQ(written(*sent), wire);

    const P<CTestRecord> target = make<CTestRecord>();
    const P<CRemoteVarObject> received = make<CRemoteVarObject>("Result", target);
    received->read(feed(wire));
    EXPECT_FALSE(received->getValue());
    EXPECT_EQ(received->getTarget(), target);

    // Without any target a null object still reads.
    sent->read(feed(wire));
    EXPECT_FALSE(sent->getValue());
}

TEST_F(RemoteVarObjectTest, TheFirstObjectSetBecomesTheTarget)
{
    const P<CTestRecord> first = make<CTestRecord>();
    const P<CTestRecord> second = make<CTestRecord>();
    const P<CRemoteVarObject> variable = make<CRemoteVarObject>("Result");
    variable->setValue(nullptr);
    EXPECT_FALSE(variable->getTarget());
    variable->setValue(first);
    variable->setValue(second);
    EXPECT_EQ(variable->getValue(), second);
    EXPECT_EQ(variable->getTarget(), first);
    variable->setTarget(second);
    EXPECT_EQ(variable->getTarget(), second);
}

TEST_F(RemoteVarObjectTest, RefusesWhatItCannotRead)
{
    const P<CTestRecord> kept = make<CTestRecord>(std::vector<int32_t>{1});
    const P<CRemoteVarObject> variable = make<CRemoteVarObject>("Result", kept);
    EXPECT_THROW(variable->read(feed(wireString("Other") + Bytes{0x01})), CRemoteException);
    EXPECT_EQ(variable->getValue(), kept);

    const P<CRemoteVarObject> untargeted = make<CRemoteVarObject>("Result");
    EXPECT_THROW(untargeted->read(feed(wireString("Result") + Bytes{0x00} + marker)), CRemoteException);
}

} // namespace
} // namespace lumo
