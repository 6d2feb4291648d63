#include "platform/posix/CPipeClient.h"

#include "CScopedPipeFolder.h"
#include "foundation/CAbortedError.h"
#include "foundation/CFinishedError.h"
#include "platform/IThreadManager.h"
#include "platform/posix/CPipeServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <numeric>
#include <thread>
#include <vector>

namespace lumo::posix {
namespace {

std::vector<uint8_t> makePattern(size_t size, uint8_t seed)
{
    std::vector<uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), seed);
    return bytes;
}

// A connected client and the server's end of its connection.
class CPipeClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server = make<CPipeServer>(String("pipe"));
        m_client = make<CPipeClient>(String("pipe"));
        m_peer = acceptFrom(*m_server, m_client);
        ASSERT_TRUE(m_peer);
    }

    // Runs readFully(count) of the client on a thread of its own.
    std::future<std::vector<uint8_t>> readInThread(int32_t count, std::atomic<uint64_t>* threadID = nullptr)
    {
        return std::async(std::launch::async, [this, count, threadID] {
            if (threadID)
                *threadID = getThreadManager()->getCurrentThreadID();
            std::vector<uint8_t> bytes(static_cast<size_t>(count));
            m_client->readFully(bytes.data(), count);
            return bytes;
        });
    }

    void expectStillBlocked(std::future<std::vector<uint8_t>>& reading)
    {
        EXPECT_EQ(std::future_status::timeout, reading.wait_for(std::chrono::milliseconds(50)));
    }

    CScopedPipeFolder m_folder;
    P<CPipeServer> m_server;
    P<CPipeClient> m_client;
    P<IPipeClient> m_peer;
};

TEST(CPipeClientConnectTest, FailsAtOnceWithoutAServerAndRefusesWorkUnconnected)
{
    CScopedPipeFolder folder;
    P<CPipeClient> client = make<CPipeClient>(String("nobody"));
    EXPECT_FALSE(client->connect());
    EXPECT_FALSE(client->isConnected());
    EXPECT_EQ(0, client->getAvailable());
    EXPECT_FALSE(client->writeByte(1));
    uint8_t byte = 0;
    for (auto operation : std::initializer_list<std::function<void()>>{
             [&] { client->readFully(&byte, 1); }, [&] { client->writeFully(&byte, 1); },
             [&] { client->getInStream()->read(&byte, 1); }}) {
        try {
            operation();
            ADD_FAILURE() << "an unconnected client worked";
        } catch (const CException& error) {
            EXPECT_EQ("Invalid pipe handle", descriptionOf(error));
        }
    }
}

TEST_F(CPipeClientTest, ReadTakesOnlyWhatWaitsAndGetAvailableConsumesNothing)
{
    uint8_t bytes[16] = {};
    EXPECT_EQ(0, m_client->getInStream()->read(bytes, sizeof bytes));
    const std::vector<uint8_t> sent = makePattern(10, 1);
    m_peer->writeFully(sent.data(), 10);
    EXPECT_EQ(10, m_client->getAvailable());
    EXPECT_EQ(10, m_client->getInStream()->getAvailable());
    m_client->readFully(bytes, 4);
    EXPECT_EQ(6, m_client->getAvailable());
    EXPECT_EQ(6, m_client->getInStream()->read(bytes + 4, sizeof bytes - 4));
    EXPECT_EQ(sent, std::vector<uint8_t>(bytes, bytes + 10));
    EXPECT_EQ(0, m_client->getAvailable());
}

TEST_F(CPipeClientTest, ReadFullyWaitsForEveryByte)
{
    auto reading = readInThread(6);
    expectStillBlocked(reading);
    const std::vector<uint8_t> sent = makePattern(6, 7);
    m_peer->writeFully(sent.data(), 3);
    expectStillBlocked(reading);
    m_peer->writeFully(sent.data() + 3, 3);
    EXPECT_EQ(sent, reading.get());
}

TEST_F(CPipeClientTest, SmallFieldsOfOneMessageAndSkipsComeOutInOrder)
{
    std::vector<int32_t> sent(5000);
    std::iota(sent.begin(), sent.end(), -100);
    m_peer->writeFully(sent.data(), static_cast<int32_t>(sent.size() * sizeof(int32_t)));
    P<IPipeInStream> in = m_client->getInStream();
    for (size_t i = 0; i < sent.size(); i += 2) {
        int32_t value = 0;
        in->readFully(&value, sizeof value);
        ASSERT_EQ(sent[i], value);
        in->skipFully(sizeof value);
    }
    EXPECT_EQ(0, in->skip(4));
}

TEST_F(CPipeClientTest, APeerThatClosesEndsABlockedReadAfterItsLastBytesWereRead)
{
    auto reading = readInThread(4);
    expectStillBlocked(reading);
    m_peer->disconnect();
    try {
        reading.get();
        ADD_FAILURE() << "the read came back";
    } catch (const CFinishedError& error) {
        EXPECT_EQ("Pipe was closed", descriptionOf(error));
    }
    EXPECT_FALSE(m_client->isConnected());
    uint8_t byte = 0;
    EXPECT_THROW(m_client->getInStream()->read(&byte, 1), CFinishedError);
}

TEST_F(CPipeClientTest, BytesSentBeforeTheCloseCanStillBeRead)
{
    m_peer->writeFully("abc", 3);
    m_server = nullptr;
    m_peer = nullptr;
    EXPECT_TRUE(m_client->isConnected());
    char bytes[3] = {};
    EXPECT_EQ(3, m_client->getInStream()->read(bytes, 3));
    EXPECT_EQ("abc", std::string(bytes, 3));
    EXPECT_FALSE(m_client->isConnected());
    EXPECT_TRUE(m_client->getInStream()->isClosed());
    EXPECT_THROW(m_client->readFully(bytes, 1), CFinishedError);
}

TEST_F(CPipeClientTest, AbortReadEndsTheReadOfItsThreadOnlyAndThePipeGoesOn)
{
    std::atomic<uint64_t> readerID{0};
    auto reading = readInThread(2, &readerID);
    expectStillBlocked(reading);
    m_client->getInStream()->abortRead(readerID + 1);
    expectStillBlocked(reading);
    m_client->getInStream()->abortRead(readerID);
    try {
        reading.get();
        ADD_FAILURE() << "the read was not aborted";
    } catch (const CAbortedError& error) {
        EXPECT_EQ("Read was aborted", descriptionOf(error));
    }
    m_peer->writeFully("ok", 2);
    char bytes[2] = {};
    m_client->readFully(bytes, 2);
    EXPECT_EQ("ok", std::string(bytes, 2));
}

TEST_F(CPipeClientTest, AnAbortBeforeTheReadBlocksEndsIt)
{
    m_client->abortRead(getThreadManager()->getCurrentThreadID());
    uint8_t byte = 0;
    EXPECT_THROW(m_client->readFully(&byte, 1), CAbortedError);
    m_peer->writeByte(9);
    m_client->readFully(&byte, 1);
    EXPECT_EQ(9, byte);
}

TEST_F(CPipeClientTest, MegabytesCrossBothWaysAtOnceIntact)
{
    const int32_t size = 6 * 1024 * 1024;
    const std::vector<uint8_t> up = makePattern(size, 3);
    const std::vector<uint8_t> down = makePattern(size, 200);
    auto sending = std::async(std::launch::async, [&] { m_client->getOutStream()->write(up.data(), size); });
    auto reading = readInThread(size);
    m_peer->writeFully(down.data(), size);
    std::vector<uint8_t> arrived(size);
    m_peer->readFully(arrived.data(), size);
    sending.get();
    EXPECT_TRUE(arrived == up);
    EXPECT_TRUE(reading.get() == down);
}

TEST_F(CPipeClientTest, WritingToAGonePeerIsAnErrorNotASignal)
{
    m_peer->disconnect();
    EXPECT_FALSE(m_client->writeByte(1));
    try {
        m_client->writeFully("x", 1);
        ADD_FAILURE() << "the write went nowhere without an error";
    } catch (const CException& error) {
        EXPECT_EQ("Error write data to pipe", descriptionOf(error));
    }
}

TEST_F(CPipeClientTest, ClosingTheInStreamDisconnectsForGood)
{
    P<IPipeInStream> in = m_client->getInStream();
    EXPECT_FALSE(in->isClosed());
    EXPECT_EQ(-1, in->getPosition());
    EXPECT_EQ(-1, in->getSize());
    EXPECT_FALSE(in->isEOF());
    in->close();
    EXPECT_TRUE(in->isClosed());
    EXPECT_TRUE(m_client->getOutStream()->isClosed());
    EXPECT_FALSE(m_client->connect());
    EXPECT_THROW(m_client->writeFully("x", 1), CException);
    uint8_t byte = 0;
    EXPECT_THROW(m_peer->readFully(&byte, 1), CFinishedError);
}

} // namespace
} // namespace lumo::posix
