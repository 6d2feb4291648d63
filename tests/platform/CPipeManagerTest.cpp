#include "foundation/CInvalidArgError.h"
#include "platform/IPipeManager.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

// That its servers and clients meet, the pipe tests' fixtures show.
TEST(CPipeManagerTest, RefusesNamelessServersAndClients)
{
    P<IPipeManager> manager = createPipeManager();
    EXPECT_THROW(manager->createClient(String()), CInvalidArgError);
    EXPECT_THROW(manager->createServer(String()), CInvalidArgError);
}

} // namespace
} // namespace lumo
