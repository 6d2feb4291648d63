#include "remote/CRemoteVarURI.h"

#include "WireFixture.h"
#include "foundation/CURI.h"

namespace lumo {

using RemoteVarURITest = WireFixture;

TEST_F(RemoteVarURITest, OnlyTheURITravelsWithoutItsName)
{
    const P<CRemoteVarURI> variable = make<CRemoteVarURI>("uri", make<CURI>(String("file:///tmp/a%20b.avi")));
    const Bytes wire = Bytes{0x00} + wireString("file:///tmp/a%20b.avi");
    EXPECT_EQ(written(*variable), wire);

    const P<CRemoteVarURI> received = make<CRemoteVarURI>("uri");
    EXPECT_TRUE(received->read(feed(wire)));
    ASSERT_TRUE(received->getValue());
    EXPECT_EQ(received->getValue()->getText(), String("file:///tmp/a%20b.avi"));
}

TEST_F(RemoteVarURITest, ANullURIIsItsFlagAloneAndReplacesTheHeldOne)
{
    const P<CRemoteVarURI> variable = make<CRemoteVarURI>("uri");
    EXPECT_EQ(written(*variable), Bytes{0x01});

    variable->setValue(make<CURI>(String("file:///old")));
    variable->read(feed({0x01}));
    EXPECT_FALSE(variable->getValue());
}

} // namespace lumo
