#include "platform/posix/CPipeClient.h"

#include "CScopedPipeFolder.h"
#include "foundation/castObject.h"
#include "platform/ISharedMemoryChannel.h"
#include "platform/posix/CPipeServer.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumo::posix {
namespace {

// A connected client and the server's end of its connection.
class CPipeClientSharedMemoryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_peer = acceptFrom(*m_server, m_client)); }

    CScopedPipeFolder m_folder;
    P<CPipeServer> m_server = make<CPipeServer>(String("pipe"));
    P<CPipeClient> m_client = make<CPipeClient>(String("pipe"));
    P<IPipeClient> m_peer;
};

// Regions leave with the next write and arrive with its bytes; a peer that
// does not accept them sees the bytes alone, and one that does keeps no
// more than the bound.
TEST_F(CPipeClientSharedMemoryTest, SharedMemoryRidesWithTheNextWriteToAPeerThatAcceptsIt)
{
    const P<ISharedMemoryChannel> peer = castObject<ISharedMemoryChannel>(m_peer);
    const auto sendRegions = [this](size_t count, const char* bytes) {
        std::vector<P<ISharedMemory>> regions;
        for (size_t i = 0; i < count; ++i)
            regions.push_back(createSharedMemory(4096));
        regions.front()->getData()[0] = 42;
        m_client->sendWithNextWrite(regions);
        m_client->writeFully(bytes, 2);
        m_client->writeFully(bytes + 2, 2);
        return regions;
    };
    const auto receive = [this] {
        char bytes[4] = {};
        m_peer->readFully(bytes, 4);
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
