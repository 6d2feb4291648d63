#include "foundation/CInvalidArgError.h"
#include "platform/IPipeManager.h"
#include "support/CScopedPipePlace.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CPipeManagerTest, MakesServersAndClientsThatMeetAndRefusesNamelessOnes)
{
    CScopedPipePlace place;
    P<IPipeManager> manager = createPipeManager();
    P<IPipeServer> server = manager->createServer(place.nameOf("meeting"));
    P<IPipeClient> client = manager->createClient(place.nameOf("meeting"));
    EXPECT_TRUE(acceptFrom(*server, client));
    EXPECT_THROW(manager->createClient(String()), CInvalidArgError);
    EXPECT_THROW(manager->createServer(String()), CInvalidArgError);
}

} // namespace
} // namespace lumo
