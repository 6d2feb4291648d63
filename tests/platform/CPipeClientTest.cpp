#include "expectError.h"
#include "foundation/CAbortedError.h"
#include "foundation/CFinishedError.h"
#include "foundation/CTimeoutError.h"
#include "foundation/sync/getTickCount.h"
#include "platform/IPipeManager.h"
#include "platform/IThreadManager.h"
#include "support/CScopedPipePlace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <numeric>
#include <thread>
#include <vector>

namespace lumo {
namespace {

using Bytes = std::vector<uint8_t>;

// Far more than the buffers of both ends hold.
constexpr int32_t overflowingSize = 32 * 1024 * 1024;
constexpr auto patience = std::chrono::seconds(20);

Bytes makePattern(size_t size, uint8_t seed)
{
    Bytes bytes(size);
    std::iota(bytes.begin(), bytes.end(), seed);
    return bytes;
}

// A connected client and the server's end of its connection.
class CPipeClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_peer = acceptFrom(*m_server, m_client)); }

    P<IPipeClient> makeClient() { return m_manager->createClient(m_name); }

    // readFully(count) of the client on a thread of its own, which tells its id through `threadID`.
    std::future<Bytes> readInThread(int32_t count, std::atomic<uint64_t>* threadID = nullptr)
    {
        return std::async(std::launch::async, [this, count, threadID] {
            if (threadID)
                *threadID = getThreadManager()->getCurrentThreadID();
            Bytes bytes(static_cast<size_t>(count));
            m_client->readFully(bytes.data(), count);
            return bytes;
        });
    }

    // Nothing can make the call come back while no byte was sent.
    template <class T> static void expectBlocked(std::future<T>& running)
    {
        EXPECT_EQ(std::future_status::timeout, running.wait_for(std::chrono::milliseconds(50)));
    }

    // Runs `operation` on a thread of its own and gives what it threw; one that hangs is reported and
    // then freed by disconnecting `client`.
    static std::exception_ptr runBounded(IPipeClient& client, const std::function<void()>& operation)
    {
        auto running = std::async(std::launch::async, operation);
        if (running.wait_for(patience) == std::future_status::timeout) {
            ADD_FAILURE() << "the operation did not end";
            client.disconnect();
        }
        try {
            running.get();
        } catch (...) {
            return std::current_exception();
        }
        return nullptr;
    }

    CScopedPipePlace m_place;
    String m_name = m_place.nameOf("pipe");
    P<IPipeManager> m_manager = createPipeManager();
    P<IPipeServer> m_server = m_manager->createServer(m_name);
    P<IPipeClient> m_client = makeClient();
    P<IPipeClient> m_peer;
};

TEST(CPipeClientConnectTest, FailsAtOnceWithoutAServerAndRefusesWorkUnconnected)
{
    CScopedPipePlace place;
    P<IPipeClient> client = createPipeManager()->createClient(place.nameOf("nobody"));
    EXPECT_FALSE(client->connect());
    EXPECT_FALSE(client->isConnected());
    EXPECT_EQ(0, client->getAvailable());
    EXPECT_FALSE(client->writeByte(1));
    uint8_t byte = 0;
    expectError("Invalid pipe handle", [&] { client->readFully(&byte, 1); });
    expectError("Invalid pipe handle", [&] { client->writeFully(&byte, 1); });
}

TEST_F(CPipeClientTest, ReadAndSkipTakeOnlyWhatWaitsAndGetAvailableConsumesNothing)
{
    P<IPipeInStream> in = m_client->getInStream();
    uint8_t bytes[16] = {};
    EXPECT_EQ(0, in->read(bytes, sizeof bytes));
    const Bytes sent = makePattern(10, 1);
    m_peer->writeFully(sent.data(), 10);
    EXPECT_EQ(10, in->getAvailable());
    EXPECT_EQ(10, in->getAvailable());
    in->readFully(bytes, 4);
    in->skipFully(2);
    EXPECT_EQ(4, in->getAvailable());
    EXPECT_EQ(4, in->read(bytes + 4, sizeof bytes - 4));
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 4), Bytes(bytes, bytes + 4));
    EXPECT_EQ(Bytes(sent.begin() + 6, sent.end()), Bytes(bytes + 4, bytes + 8));
    EXPECT_EQ(0, in->skip(4));
}

TEST_F(CPipeClientTest, WritingToAGonePeerIsAnErrorNotASignal)
{
    m_peer->disconnect();
    EXPECT_FALSE(m_client->writeByte(1));
    expectError("Error write data to pipe", [&] { m_client->writeFully("x", 1); });
}

TEST_F(CPipeClientTest, BytesSentBeforeTheCloseAreReadBeforeTheCloseShows)
{
    m_peer->writeFully("abc", 3);
    m_server = nullptr;
    m_peer = nullptr;
    P<IPipeInStream> in = m_client->getInStream();
    EXPECT_FALSE(in->isClosed());
    char bytes[3] = {};
    EXPECT_EQ(3, in->read(bytes, 3));
    EXPECT_EQ("abc", std::string(bytes, 3));
    EXPECT_TRUE(in->isClosed());
    EXPECT_THROW(in->readFully(bytes, 1), CFinishedError);
}

// An abort ends its own thread's read, whether before it blocked or while; the connection serves on.
TEST_F(CPipeClientTest, ReadFullyWaitsForEveryByteUntilItsOwnThreadIsAborted)
{
    P<IPipeInStream> in = m_client->getInStream();
    in->abortRead(getThreadManager()->getCurrentThreadID());
    uint8_t byte = 0;
    EXPECT_THROW(m_client->readFully(&byte, 1), CAbortedError);

    std::atomic<uint64_t> readerID{0};
    auto reading = readInThread(2, &readerID);
    expectBlocked(reading);
    m_peer->writeByte('a');
    expectBlocked(reading);
    in->abortRead(readerID + 1);
    expectBlocked(reading);
    in->abortRead(readerID);
    expectError<CAbortedError>("Read was aborted", [&] { reading.get(); });
    m_peer->writeFully("ok", 2);
    EXPECT_EQ(Bytes({'o', 'k'}), readInThread(2).get());
}

// Both ends write before either reads; the client's small reads around a large one may come from its buffer.
TEST_F(CPipeClientTest, MegabytesCrossBothWaysAtOnceIntactAndInOrder)
{
    const int32_t size = 6 * 1024 * 1024;
    const Bytes up = makePattern(size, 3);
    const Bytes down = makePattern(size, 200);
    auto sending = std::async(std::launch::async, [&] { m_client->getOutStream()->write(up.data(), size); });
    auto reading = std::async(std::launch::async, [&] {
        Bytes arrived(size);
        m_client->readFully(arrived.data(), 2);
        m_client->readFully(arrived.data() + 2, size - 4);
        m_client->readFully(arrived.data() + size - 2, 2);
        return arrived;
    });
    m_peer->writeFully(down.data(), size);
    Bytes arrived(size);
    m_peer->readFully(arrived.data(), size);
    sending.get();
    EXPECT_TRUE(arrived == up);
    EXPECT_TRUE(reading.get() == down);
}

TEST_F(CPipeClientTest, ClosingTheInStreamDisconnectsBothWaysForGood)
{
    m_client->getInStream()->close();
    EXPECT_TRUE(m_client->getOutStream()->isClosed());
    EXPECT_FALSE(m_client->connect());
    uint8_t byte = 0;
    EXPECT_THROW(m_peer->readFully(&byte, 1), CFinishedError);
}

TEST_F(CPipeClientTest, EveryWaitOnASilentPeerEndsAtTheDeadline)
{
    const Bytes large(overflowingSize);
    Bytes buffer(16);
    const struct {
        const char* name;
        std::function<void(IPipeClient&)> operation;
    } cases[] = {
        {"readFully", [&](IPipeClient& client) { client.readFully(buffer.data(), 16); }},
        {"stream skipFully", [&](IPipeClient& client) { client.getInStream()->skipFully(16); }},
        {"writeFully", [&](IPipeClient& client) { client.writeFully(large.data(), overflowingSize); }},
    };
    for (const auto& test : cases) {
        // A fresh connection each time: a call cut off leaves its connection out of step.
        P<IPipeClient> client = makeClient();
        P<IPipeClient> peer = acceptFrom(*m_server, client);
        client->setDeadline(getTickCount() + 100);
        const std::exception_ptr error = runBounded(*client, [&] { test.operation(*client); });
        SCOPED_TRACE(test.name);
        expectError<CTimeoutError>("Pipe wait timed out", [&] { error ? std::rethrow_exception(error) : void(); });
    }
}

TEST_F(CPipeClientTest, WithoutADeadlineOrBeforeItLateBytesAreRead)
{
    for (const int64_t deadline : {int64_t(0), getTickCount() + 600000}) {
        m_client->setDeadline(getTickCount() + 1);
        m_client->setDeadline(deadline);
        auto sending = std::async(std::launch::async, [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            m_peer->writeFully("late", 4);
        });
        char bytes[4] = {};
        EXPECT_EQ(nullptr, runBounded(*m_client, [&] { m_client->readFully(bytes, 4); })) << deadline;
        sending.get();
        EXPECT_EQ("late", std::string(bytes, 4)) << deadline;
    }
}

TEST_F(CPipeClientTest, DisconnectEndsABlockedReadAndABlockedWriteAtOnce)
{
    const Bytes large(overflowingSize);
    auto reading = readInThread(4);
    auto writing = std::async(std::launch::async, [&] { m_client->writeFully(large.data(), overflowingSize); });
    expectBlocked(reading);
    expectBlocked(writing);
    m_client->disconnect();
    ASSERT_EQ(std::future_status::ready, reading.wait_for(patience));
    ASSERT_EQ(std::future_status::ready, writing.wait_for(patience));
    expectError<CFinishedError>("Pipe was closed", [&] { reading.get(); });
    expectError("Error write data to pipe", [&] { writing.get(); });
}

} // namespace
} // namespace lumo
