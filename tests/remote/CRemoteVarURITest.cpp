#include "remote/CRemoteVarURI.h"

#include "WireFixture.h"
#include "foundation/CURI.h"

namespace lumo {

using RemoteVarURITest = WireFixture;

TEST_F(RemoteVarURITest, OnlyTheURITravelsAndReplacesTheHeldOne)
{
    const P<CRemoteVarURI> variable = make<CRemoteVarURI>("uri", make<CURI>(String("file:///a%20b.avi")));
    const Bytes wire = Bytes{0x00} + wireString("file:///a%20b.avi");
    EXPECT_EQ(written(*variable), wire);
    variable->read(feed({0x01}));
    EXPECT_FALSE(variable->getValue());
    EXPECT_EQ(written(*variable), Bytes{0x01});
    variable->read(feed(wire));
    ASSERT_TRUE(variable->getValue());
    EXPECT_EQ(variable->getValue()->getText(), String("file:///a%20b.avi"));
}

} // namespace lumo
