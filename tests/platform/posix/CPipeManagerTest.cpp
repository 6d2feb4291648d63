#include "platform/posix/CPipeManager.h"

#include "CScopedPipeFolder.h"
#include "foundation/CInvalidArgError.h"

#include <gtest/gtest.h>

namespace lumo::posix {
namespace {

TEST(CPipeManagerTest, OneManagerMakesStoppedServersAndUnconnectedClientsThatMeet)
{
    CScopedPipeFolder folder;
    P<IPipeManager> manager = getPipeManager();
    EXPECT_EQ(manager, getPipeManager());
    P<IPipeServer> server = manager->createServer(String("meeting"));
    P<IPipeClient> client = manager->createClient(String("meeting"));
    EXPECT_FALSE(server->isStarted());
    EXPECT_FALSE(client->isConnected());
    EXPECT_TRUE(acceptFrom(*server, client));
    EXPECT_TRUE(client->isConnected());
    EXPECT_THROW(manager->createClient(String("../meeting")), CInvalidArgError);
}

} // namespace
} // namespace lumo::posix
