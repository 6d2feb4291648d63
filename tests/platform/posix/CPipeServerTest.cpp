#include "platform/posix/CPipeServer.h"

#include "CScopedPipeFolder.h"
#include "foundation/CError.h"
#include "foundation/CFinishedError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/sync/getTickCount.h"
#include "platform/IThreadManager.h"
#include "platform/posix/CProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <sys/stat.h>
#include <sys/wait.h>
#include <utility>

namespace lumo::posix {
namespace {

constexpr uint64_t patienceMs = 10000;

// Notes what a server tells it, from whichever thread, in its own log or in
// that of another listener. The server signals an event after telling its
// listeners, so a test that waited for the signal finds the event noted.
class CRecordingListener : public CObject, public virtual IPipeServerListener {
public:
    using Event = std::pair<std::string, IPipeClient*>;

    explicit CRecordingListener(std::string name = "", CRecordingListener* log = nullptr)
        : m_name(std::move(name)), m_log(log ? log : this)
    {
    }

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
        std::lock_guard<std::mutex> lock(m_log->m_mutex);
        m_log->m_events.emplace_back(m_name + kind, &client);
    }

    std::string m_name;
    CRecordingListener* m_log;
    std::mutex m_mutex;
    std::vector<Event> m_events;
};

using Events = std::vector<CRecordingListener::Event>;

class CPipeServerTest : public ::testing::Test {
protected:
    void SetUp() override { m_server->addListener(m_listener.get()); }
    void TearDown() override { m_server->removeListener(m_listener.get()); }

    P<CPipeClient> makeClient() { return make<CPipeClient>(String("pipe")); }
    P<CPipeClient> connectClient()
    {
        P<CPipeClient> client = makeClient();
        EXPECT_TRUE(client->connect());
        return client;
    }

    CScopedPipeFolder m_folder;
    P<CPipeServer> m_server = make<CPipeServer>(String("pipe"));
    P<CRecordingListener> m_listener = make<CRecordingListener>();
};

TEST_F(CPipeServerTest, AcceptClientHandsOverTheConnectionItWaitedFor)
{
    EXPECT_EQ("\\\\.\\pipe\\pipe", m_server->getPipePath().toUTF8());
    EXPECT_FALSE(m_server->acceptClient(make<CConnectingListener>(make<CPipeClient>(String("elsewhere"))).get()))
        << "a listener that says no leaves no client";
    P<CPipeClient> client = makeClient();
    P<IPipeClient> peer = acceptFrom(*m_server, client);
    ASSERT_TRUE(peer);
    EXPECT_EQ(1, m_server->getConnectionCount());
    EXPECT_EQ(peer, m_server->getConnection(0));
    EXPECT_THROW(m_server->getConnection(1), CInvalidArgError);
    EXPECT_THROW(m_server->setWaitInterval(0), CInvalidArgError);
    EXPECT_TRUE(m_server->getConnectedSignal()->isSet());
    EXPECT_EQ((Events{{"connected", peer.get()}}), m_listener->takeEvents());
    peer->writeFully("hi", 2);
    char bytes[2] = {};
    client->readFully(bytes, 2);
    EXPECT_EQ("hi", std::string(bytes, 2));
    EXPECT_FALSE(makeClient()->connect()) << "the name outlived acceptClient";
}

TEST_F(CPipeServerTest, ConnectionsAreNumberedAcrossServers)
{
    P<CPipeServer> other = make<CPipeServer>(String("other"));
    acceptFrom(*m_server, makeClient());
    acceptFrom(*other, make<CPipeClient>(String("other")));
    acceptFrom(*m_server, makeClient());
    const int32_t first = m_server->getConnectionNumber(0);
    EXPECT_EQ(first + 1, other->getConnectionNumber(0));
    EXPECT_EQ(first + 2, m_server->getConnectionNumber(1));
}

TEST_F(CPipeServerTest, WriteToAllReachesEveryConnectedClientAndNeedsOne)
{
    expectError("Error write to server clients. No clients connected.",
                      [&] { m_server->writeToAll("x", 1); });
    EXPECT_FALSE(m_server->getOutStream());
    P<CPipeClient> gone = makeClient();
    P<CPipeClient> first = makeClient();
    P<CPipeClient> second = makeClient();
    for (const P<CPipeClient>& client : {gone, first, second})
        acceptFrom(*m_server, client);
    gone->disconnect();
    m_server->writeToAll("ab", 2);
    m_server->getOutStream()->write("c", 1);
    for (const P<CPipeClient>& client : {first, second}) {
        char bytes[3] = {};
        client->readFully(bytes, 3);
        EXPECT_EQ("abc", std::string(bytes, 3));
    }
}

TEST_F(CPipeServerTest, CheckConnectionsHandlesOneConnectionPerSweepFromTheLast)
{
    P<CPipeClient> first = makeClient();
    P<CPipeClient> second = makeClient();
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

TEST_F(CPipeServerTest, ListenersHearTheLastAddedFirstAndNotOnceRemoved)
{
    P<CRecordingListener> late = make<CRecordingListener>("late ", m_listener.get());
    m_server->addListener(late.get());
    P<IPipeClient> first = acceptFrom(*m_server, makeClient());
    m_server->removeListener(late.get());
    P<IPipeClient> second = acceptFrom(*m_server, makeClient());
    EXPECT_EQ((Events{{"late connected", first.get()}, {"connected", first.get()}, {"connected", second.get()}}),
              m_listener->takeEvents());
}

TEST_F(CPipeServerTest, TheAcceptLoopTakesClientsAndReportsWhatHappensToThem)
{
    m_server->setWaitInterval(10);
    m_server->start();
    EXPECT_TRUE(m_server->isStarted());
    EXPECT_TRUE(m_server->getWaitingSignal()->isSet());
    P<CPipeClient> client = connectClient();
    ASSERT_TRUE(m_server->getConnectedSignal()->wait(patienceMs));
    P<IPipeClient> peer = m_server->getConnection(0);
    m_server->writeToAll("!", 1);
    char byte = 0;
    client->readFully(&byte, 1);
    EXPECT_EQ('!', byte);
    client->disconnect();
    ASSERT_TRUE(m_server->getDisconnectedSignal()->wait(patienceMs));
    EXPECT_EQ(0, m_server->getConnectionCount());
    EXPECT_EQ((Events{{"connected", peer.get()}, {"disconnected", peer.get()}}), m_listener->takeEvents());

    P<CPipeClient> reader = connectClient();
    auto reading = std::async(std::launch::async, [&] { reader->readFully(&byte, 1); });
    m_server->stop();
    EXPECT_THROW(reading.get(), CFinishedError) << "stop() leaves a peer waiting";
    EXPECT_FALSE(m_server->isStarted());
    EXPECT_FALSE(m_server->getWaitingSignal()->isSet());
    EXPECT_FALSE(makeClient()->connect());
}

TEST_F(CPipeServerTest, ALiveServerKeepsItsNameAStaleSocketFileIsTakenOver)
{
    m_server->start();
    P<CPipeServer> rival = make<CPipeServer>(String("pipe"));
    expectError("Error starting Pipe Server", [&] { rival->start(); });
    EXPECT_FALSE(rival->acceptClient(nullptr));
    EXPECT_TRUE(makeClient()->connect()) << "the rival broke the live server";
    m_server->stop();

    // A server that died leaves its socket file behind.
    CFileDescriptor dead(socket(AF_UNIX, SOCK_STREAM, 0));
    const sockaddr_un address = CPipeAddress(String("pipe")).getSocketAddress();
    ASSERT_EQ(0, bind(dead.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address));
    dead.reset();
    EXPECT_FALSE(makeClient()->connect());
    rival->start();
    EXPECT_TRUE(makeClient()->connect());
}

TEST_F(CPipeServerTest, RefusesToStartInAFolderOthersMayWrite)
{
    ASSERT_EQ(0, mkdir(m_folder.getPath().c_str(), 0777));
    chmod(m_folder.getPath().c_str(), 0777);
    const std::string expected = "The pipe folder '" + m_folder.getPath() + "' may be written by group or others";
    expectError(expected, [&] { m_server->start(); });
    expectError(expected, [&] { m_server->acceptClient(nullptr); });
    EXPECT_FALSE(m_server->isStarted());
}

TEST_F(CPipeServerTest, APassedEndTickEndsTheWaitingForClients)
{
    m_server->setWaitInterval(10);
    m_server->setEndTick(1);
    EXPECT_FALSE(m_server->acceptClient(nullptr));
    m_server->start();
    for (uint64_t waited = 0; m_server->getWaitingSignal()->isSet() && waited < patienceMs; waited += 10)
        getThreadManager()->sleep(10);
    EXPECT_FALSE(m_server->getWaitingSignal()->isSet());
    EXPECT_FALSE(makeClient()->connect());
    EXPECT_TRUE(m_server->isStarted()) << "only stop() drops the loop's thread";
}

// Forks a stranger: a process that connects to "pipe", as another user when
// `user` is not 0, writes a byte to `connected` when that is open, and ends
// with 0 once it sees its connection closed.
pid_t startStranger(uid_t user, int connected = -1)
{
    const sockaddr_un address = CPipeAddress(String("pipe")).getSocketAddress();
    const pid_t stranger = fork();
    if (stranger != 0)
        return stranger;
    if (user != 0 && (setgid(user) != 0 || setuid(user) != 0))
        _exit(3);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const timeval patience{10, 0};
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    if (connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        _exit(4);
    if (connected >= 0 && write(connected, "c", 1) != 1)
        _exit(6);
    char byte;
    _exit(recv(socket, &byte, 1, 0) == 0 ? 0 : 5);
}

// The stranger's exit code once it ended; 0 when it saw its connection closed.
int waitForStranger(pid_t stranger)
{
    int status = -1;
    if (waitpid(stranger, &status, 0) != stranger || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST_F(CPipeServerTest, DropsAPeerOfAnotherUser)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can run a peer as another user";
    m_server->start();
    // Open the way to the socket for everyone: the peer check alone must
    // keep the stranger out.
    for (const std::string& path : {m_folder.getTemp().pathOf(""), m_folder.getPath()})
        chmod(path.c_str(), 0711);
    chmod(m_folder.pathOf("pipe").c_str(), 0777);
    EXPECT_EQ(0, waitForStranger(startStranger(65534)));
    EXPECT_EQ(0, m_server->getConnectionCount());
    EXPECT_FALSE(m_server->getConnectedSignal()->isSet());
    connectClient();
    EXPECT_TRUE(m_server->getConnectedSignal()->wait(patienceMs));
}

// Starts a stranger that connects first, then connects `client` of the
// calling process. Only the calling process is expected.
class CStrangerFirstListener : public CObject, public virtual IPipeServer::IPipeCreatedListener {
public:
    explicit CStrangerFirstListener(P<CPipeClient> client) : m_client(std::move(client)) {}
    ~CStrangerFirstListener() override
    {
        if (m_stranger > 0) {
            kill(m_stranger, SIGKILL);
            waitpid(m_stranger, nullptr, 0);
        }
    }

    bool pipeCreated() override
    {
        int connected[2];
        if (pipe(connected) != 0)
            return false;
        m_stranger = startStranger(0, connected[1]);
        close(connected[1]);
        char byte = 0;
        const bool bStrangerConnected = read(connected[0], &byte, 1) == 1;
        close(connected[0]);
        return bStrangerConnected && m_client->connect();
    }

    bool isExpectedPeer(uint32_t processID) override
    {
        m_asked.push_back(static_cast<pid_t>(processID));
        return processID == getCurrentProcessID();
    }

    int waitForStranger() { return lumo::posix::waitForStranger(std::exchange(m_stranger, 0)); }
    pid_t getStranger() const { return m_stranger; }
    const std::vector<pid_t>& getAsked() const { return m_asked; }

private:
    P<CPipeClient> m_client;
    pid_t m_stranger = 0;
    std::vector<pid_t> m_asked;
};

TEST_F(CPipeServerTest, AcceptClientDropsPeersTheListenerDoesNotExpect)
{
    P<CPipeClient> client = makeClient();
    P<CStrangerFirstListener> listener = make<CStrangerFirstListener>(client);
    m_server->setEndTick(getTickCount() + patienceMs);
    P<IPipeClient> peer = m_server->acceptClient(listener.get());
    ASSERT_TRUE(peer);
    const pid_t stranger = listener->getStranger();
    EXPECT_EQ(0, listener->waitForStranger()) << "the stranger's connection was not closed";
    EXPECT_EQ((std::vector<pid_t>{stranger, static_cast<pid_t>(getCurrentProcessID())}), listener->getAsked());
    EXPECT_EQ(1, m_server->getConnectionCount());
    peer->writeFully("me", 2);
    char bytes[2] = {};
    client->readFully(bytes, 2);
    EXPECT_EQ("me", std::string(bytes, 2));
}

// Starts a program that cannot start, as a master starts its slave.
class CFailingStarter : public CObject, public virtual IPipeServer::IPipeCreatedListener {
public:
    bool pipeCreated() override
    {
        CProcessOptions options;
        options.bOwnProcessGroup = true;
        make<CProcess>("/no such folder/slave", String(), "", 0, &options);
        return true;
    }
};

TEST_F(CPipeServerTest, WhatTheListenerThrowsLeavesAcceptClientAtOnce)
{
    // Were the error kept back, the wait for a client would last until here.
    m_server->setEndTick(getTickCount() + 600000);
    expectError<CError>("Error executing file '/no such folder/slave': 'No such file or directory'.",
                        [&] { m_server->acceptClient(make<CFailingStarter>().get()); });
    EXPECT_TRUE(std::filesystem::is_empty(m_folder.getPath())) << "the pipe outlived acceptClient";
}

// Waits for a client that is gone before it came.
class CGoneClientListener : public CObject, public virtual IPipeServer::IPipeCreatedListener {
public:
    bool pipeCreated() override { return true; }
    bool isStillAwaited() override { return ++m_asked < 3; }

    int m_asked = 0;
};

TEST_F(CPipeServerTest, AClientNoLongerAwaitedEndsTheWait)
{
    // Were the listener not asked, the wait would last until here.
    m_server->setEndTick(getTickCount() + 600000);
    m_server->setWaitInterval(1);
    const P<CGoneClientListener> listener = make<CGoneClientListener>();
    EXPECT_FALSE(m_server->acceptClient(listener.get()));
    EXPECT_EQ(listener->m_asked, 3);
}

TEST_F(CPipeServerTest, WhatIsNotASocketAtThePipesNameIsLeftAloneAndReported)
{
    const std::string path = m_folder.pathOf("pipe");
    const std::string expected = "The pipe path '" + path + "' is taken by something that is not a socket";
    const struct {
        const char* kind;
        std::function<void()> make;
        std::function<bool()> isIntact;
    } cases[] = {
        {"file", [&] { std::ofstream(path) << "precious"; },
         [&] { return m_folder.getTemp().get("pipes/pipe") == "precious"; }},
        {"folder", [&] { std::filesystem::create_directory(path); },
         [&] { return std::filesystem::is_directory(std::filesystem::symlink_status(path)); }},
        {"link", [&] { std::filesystem::create_symlink("elsewhere", path); },
         [&] { return std::filesystem::is_symlink(std::filesystem::symlink_status(path)); }},
    };
    CPipeAddress(String("pipe")).ensureFolder();
    for (const auto& test : cases) {
        test.make();
        expectError(expected, [&] { m_server->start(); });
        expectError(expected, [&] { m_server->acceptClient(nullptr); });
        EXPECT_FALSE(m_server->isStarted()) << test.kind;
        EXPECT_FALSE(makeClient()->connect()) << test.kind;
        EXPECT_TRUE(test.isIntact()) << test.kind;
        std::filesystem::remove(path);
    }
}

} // namespace
} // namespace lumo::posix
