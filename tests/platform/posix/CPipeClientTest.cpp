#include "platform/posix/CPipeClient.h"

#include "CScopedPipeFolder.h"
#include "foundation/castObject.h"
#include "platform/ISharedMemoryChannel.h"
#include "platform/posix/CPipeServer.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumo::posix {
namespace {

// A peer that does not accept regions sees the bytes alone; one that does keeps no more than the bound.
TEST(CPipeClientSharedMemoryTest, SharedMemoryRidesWithTheNextWriteToAPeerThatAcceptsIt)
{
    CScopedPipeFolder folder;
    const P<CPipeServer> server = make<CPipeServer>(String("pipe"));
    const P<CPipeClient> client = make<CPipeClient>(String("pipe"));
    const P<IPipeClient> connection = acceptFrom(*server, client);
    ASSERT_TRUE(connection);
    const P<ISharedMemoryChannel> peer = castObject<ISharedMemoryChannel>(connection);
    const auto sendRegions = [&](size_t count, const char* bytes) {
        std::vector<P<ISharedMemory>> regions;
        for (size_t i = 0; i < count; ++i)
            regions.push_back(createSharedMemory(4096));
        regions.front()->getData()[0] = 42;
        client->sendWithNextWrite(regions);
        client->writeFully(bytes, 2);
        client->writeFully(bytes + 2, 2);
        return regions;
    };
    const auto receive = [&] {
        char bytes[4] = {};
        connection->readFully(bytes, 4);
        return std::string(bytes, 4);
    };

    sendRegions(1, "abcd");
    EXPECT_EQ(receive(), "abcd");
    EXPECT_TRUE(peer->takeSharedMemory().empty());

    peer->acceptSharedMemory();
    const std::vector<P<ISharedMemory>> sent = sendRegions(3, "efgh");
    EXPECT_EQ(receive(), "efgh");
    const std::vector<P<ISharedMemory>> received = peer->takeSharedMemory();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0]->getSize(), 4096);
    EXPECT_EQ(received[0]->getData()[0], 42);
    // The same memory, not a copy of it.
    received[2]->getData()[4095] = 7;
    EXPECT_EQ(sent[2]->getData()[4095], 7);
    EXPECT_TRUE(peer->takeSharedMemory().empty());

    sendRegions(ISharedMemoryChannel::maxRegions, "ijkl");
    sendRegions(1, "mnop");
    EXPECT_EQ(receive(), "ijkl");
    EXPECT_EQ(receive(), "mnop");
    EXPECT_EQ(peer->takeSharedMemory().size(), size_t(ISharedMemoryChannel::maxRegions));
}

} // namespace
} // namespace lumo::posix
