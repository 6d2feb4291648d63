#include "expectError.h"
#include "foundation/CFinishedError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/sync/getTickCount.h"
#include "platform/IPipeManager.h"
#include "platform/IPipeServerListener.h"
#include "platform/IProcess.h"
#include "support/CScopedPipePlace.h"
#include "waitForEnd.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <utility>

namespace lumo {
namespace {

constexpr uint64_t patienceMs = 10000;

// Notes what a server tells it, from whichever thread. The server signals an event after telling its
// listeners, so a test that waited for the signal finds it noted.
class CRecordingListener : public CObject, public virtual IPipeServerListener {
public:
    using Event = std::pair<std::string, IPipeClient*>;

    void clientConnected(IPipeServer&, IPipeClient& client) override { note("connected", client); }
    void clientDisconnected(IPipeServer&, IPipeClient& client) override { note("disconnected", client); }
    void dataAvailable(IPipeServer&, IPipeClient& client) override { note("data", client); }

    std::vector<Event> takeEvents()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::exchange(m_events, {});
    }

private:
    void note(const std::string& kind, IPipeClient& client)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.emplace_back(kind, &client);
    }

    std::mutex m_mutex;
    std::vector<Event> m_events;
};

using Events = std::vector<CRecordingListener::Event>;

class CPipeServerTest : public ::testing::Test {
protected:
    void SetUp() override { m_server->addListener(m_listener.get()); }
    void TearDown() override { m_server->removeListener(m_listener.get()); }

    P<IPipeClient> makeClient() { return m_manager->createClient(m_name); }

    CScopedPipePlace m_place;
    String m_name = m_place.nameOf("pipe");
    P<IPipeManager> m_manager = createPipeManager();
    P<IPipeServer> m_server = m_manager->createServer(m_name);
    P<CRecordingListener> m_listener = make<CRecordingListener>();
};

TEST_F(CPipeServerTest, AcceptClientHandsOverTheConnectionItWaitedForAndTellsTheListeners)
{
    P<CRecordingListener> removed = make<CRecordingListener>();
    m_server->addListener(removed.get());
    P<IPipeClient> elsewhere = m_manager->createClient(m_place.nameOf("elsewhere"));
    EXPECT_FALSE(m_server->acceptClient(make<CConnectingListener>(elsewhere).get()))
        << "a listener that says no leaves no client";
    P<IPipeClient> client = makeClient();
    P<IPipeClient> peer = acceptFrom(*m_server, client);
    ASSERT_TRUE(peer);
    EXPECT_EQ(1, m_server->getConnectionCount());
    EXPECT_EQ(peer, m_server->getConnection(0));
    EXPECT_THROW(m_server->getConnection(1), CInvalidArgError);
    EXPECT_THROW(m_server->setWaitInterval(0), CInvalidArgError);
    EXPECT_TRUE(m_server->getConnectedSignal()->isSet());
    EXPECT_EQ((Events{{"connected", peer.get()}}), m_listener->takeEvents());
    EXPECT_FALSE(makeClient()->connect()) << "the name outlived acceptClient";
    m_server->removeListener(removed.get());
    acceptFrom(*m_server, makeClient());
    EXPECT_EQ((Events{{"connected", peer.get()}}), removed->takeEvents()) << "a removed listener hears no more";
}

TEST_F(CPipeServerTest, WriteToAllReachesEveryConnectedClientAndNeedsOne)
{
    expectError("Error write to server clients. No clients connected.", [&] { m_server->writeToAll("x", 1); });
    EXPECT_FALSE(m_server->getOutStream());
    P<IPipeClient> gone = makeClient();
    P<IPipeClient> first = makeClient();
    P<IPipeClient> second = makeClient();
    for (const P<IPipeClient>& client : {gone, first, second})
        acceptFrom(*m_server, client);
    gone->disconnect();
    m_server->writeToAll("ab", 2);
    m_server->getOutStream()->write("c", 1);
    for (const P<IPipeClient>& client : {first, second}) {
        char bytes[3] = {};
        client->readFully(bytes, 3);
        EXPECT_EQ("abc", std::string(bytes, 3));
    }
}

TEST_F(CPipeServerTest, CheckConnectionsHandlesOneConnectionPerSweepFromTheLast)
{
    P<IPipeClient> first = makeClient();
    P<IPipeClient> second = makeClient();
    P<IPipeClient> firstPeer = acceptFrom(*m_server, first);
    P<IPipeClient> secondPeer = acceptFrom(*m_server, second);
    m_listener->takeEvents();
    m_server->checkConnections();
    first->writeFully("1", 1);
    m_server->checkConnections();
    second->writeFully("2", 1);
    m_server->checkConnections();
    EXPECT_EQ((Events{{"data", firstPeer.get()}, {"data", secondPeer.get()}}), m_listener->takeEvents());

    first->disconnect();
    second->disconnect();
    m_server->checkConnections();
    EXPECT_EQ(2, m_server->getConnectionCount()) << "unread bytes keep a connection";
    char byte = 0;
    firstPeer->readFully(&byte, 1);
    secondPeer->readFully(&byte, 1);
    m_listener->takeEvents();
    m_server->checkConnections();
    EXPECT_EQ(1, m_server->getConnectionCount());
    EXPECT_TRUE(m_server->getDisconnectedSignal()->isSet());
    m_server->checkConnections();
    EXPECT_EQ(0, m_server->getConnectionCount());
    const Events disconnections = {{"disconnected", secondPeer.get()}, {"disconnected", firstPeer.get()}};
    EXPECT_EQ(disconnections, m_listener->takeEvents());
}

TEST_F(CPipeServerTest, TheAcceptLoopTakesClientsAndReportsWhatHappensToThem)
{
    m_server->setWaitInterval(10);
    m_server->start();
    EXPECT_TRUE(m_server->isStarted());
    EXPECT_TRUE(m_server->getWaitingSignal()->isSet());
    P<IPipeClient> client = makeClient();
    ASSERT_TRUE(client->connect());
    ASSERT_TRUE(m_server->getConnectedSignal()->wait(patienceMs));
    P<IPipeClient> peer = m_server->getConnection(0);
    client->disconnect();
    ASSERT_TRUE(m_server->getDisconnectedSignal()->wait(patienceMs));
    EXPECT_EQ(0, m_server->getConnectionCount());
    EXPECT_EQ((Events{{"connected", peer.get()}, {"disconnected", peer.get()}}), m_listener->takeEvents());

    P<IPipeClient> reader = makeClient();
    ASSERT_TRUE(reader->connect());
    char byte = 0;
    auto reading = std::async(std::launch::async, [&] { reader->readFully(&byte, 1); });
    m_server->stop();
    EXPECT_THROW(reading.get(), CFinishedError) << "stop() leaves a peer waiting";
    EXPECT_FALSE(m_server->isStarted());
    EXPECT_FALSE(m_server->getWaitingSignal()->isSet());
    EXPECT_FALSE(makeClient()->connect());
}

// Notes whether a pipe was made for it.
class CPipeCreatedProbe : public CObject, public virtual IPipeServer::IPipeCreatedListener {
public:
    bool pipeCreated() override
    {
        m_bCreated = true;
        return false;
    }

    bool m_bCreated = false;
};

TEST_F(CPipeServerTest, ALiveServerKeepsItsName)
{
    m_server->start();
    P<IPipeServer> rival = m_manager->createServer(m_name);
    expectError("Error starting Pipe Server", [&] { rival->start(); });
    const P<CPipeCreatedProbe> listener = make<CPipeCreatedProbe>();
    EXPECT_FALSE(rival->acceptClient(listener.get()));
    EXPECT_FALSE(listener->m_bCreated) << "the rival joined the live server's pipe";
    EXPECT_TRUE(makeClient()->connect()) << "the rival broke the live server";
}

TEST_F(CPipeServerTest, APassedEndTickEndsTheWaitingForClients)
{
    m_server->setWaitInterval(10);
    m_server->setEndTick(1);
    EXPECT_FALSE(m_server->acceptClient(nullptr));
    m_server->start();
    EXPECT_TRUE(waitUntil([&] { return !m_server->getWaitingSignal()->isSet(); }));
    EXPECT_FALSE(makeClient()->connect());
    EXPECT_TRUE(m_server->isStarted()) << "only stop() drops the loop's thread";
}

// Lets an unexpected client of this process connect first, then the awaited one once the server asks again.
class CStrangerFirstListener : public CObject, public virtual IPipeServer::IPipeCreatedListener {
public:
    CStrangerFirstListener(P<IPipeClient> stranger, P<IPipeClient> client)
        : m_stranger(std::move(stranger)), m_client(std::move(client))
    {
    }

    bool pipeCreated() override { return m_stranger->connect(); }
    bool isExpectedPeer(uint32_t processID) override
    {
        m_asked.push_back(processID);
        return m_asked.size() > 1;
    }
    bool isStillAwaited() override
    {
        if (!m_asked.empty() && !m_client->isConnected())
            m_client->connect();
        return true;
    }

    std::vector<uint32_t> m_asked;

private:
    P<IPipeClient> m_stranger;
    P<IPipeClient> m_client;
};

TEST_F(CPipeServerTest, AcceptClientDropsPeersTheListenerDoesNotExpect)
{
    P<IPipeClient> stranger = makeClient();
    P<IPipeClient> client = makeClient();
    P<CStrangerFirstListener> listener = make<CStrangerFirstListener>(stranger, client);
    m_server->setWaitInterval(10);
    m_server->setEndTick(getTickCount() + patienceMs);
    P<IPipeClient> peer = m_server->acceptClient(listener.get());
    ASSERT_TRUE(peer);
    EXPECT_EQ((std::vector<uint32_t>{getCurrentProcessID(), getCurrentProcessID()}), listener->m_asked);
    char bytes[2] = {};
    EXPECT_THROW(stranger->readFully(bytes, 1), CFinishedError) << "the stranger's connection was not closed";
    EXPECT_EQ(1, m_server->getConnectionCount());
    peer->writeFully("me", 2);
    client->readFully(bytes, 2);
    EXPECT_EQ("me", std::string(bytes, 2));
}

} // namespace
} // namespace lumo
