#include "platform/posix/CPipeServer.h"

#include "CScopedPipeFolder.h"
#include "foundation/sync/getTickCount.h"
#include "platform/IProcess.h"
#include "platform/posix/CPipeClient.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <utility>

namespace lumo::posix {
namespace {

constexpr uint64_t patienceMs = 10000;

class CPosixPipeServerTest : public ::testing::Test {
protected:
    P<CPipeClient> makeClient() { return make<CPipeClient>(String("pipe")); }

    CScopedPipeFolder m_folder;
    P<CPipeServer> m_server = make<CPipeServer>(String("pipe"));
};

TEST_F(CPosixPipeServerTest, AStaleSocketFileIsTakenOver)
{
    // A server that died leaves its socket file behind.
    CPipeAddress(String("pipe")).ensureFolder();
    CFileDescriptor dead(socket(AF_UNIX, SOCK_STREAM, 0));
    const sockaddr_un address = CPipeAddress(String("pipe")).getSocketAddress();
    ASSERT_EQ(0, bind(dead.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address));
    dead.reset();
    EXPECT_FALSE(makeClient()->connect());
    m_server->start();
    EXPECT_TRUE(makeClient()->connect());
}

// Forks a stranger that connects to "pipe", as another user when `user` is not 0, writes a byte to
// `connected` when that is open, and ends with 0 once it sees its connection closed.
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
    return waitpid(stranger, &status, 0) == stranger && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(CPosixPipeServerTest, DropsAPeerOfAnotherUser)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can run a peer as another user";
    m_server->start();
    // Open the way to the socket for everyone: the peer check alone must keep the stranger out.
    for (const std::string& path : {m_folder.getTemp().pathOf(""), m_folder.getPath()})
        chmod(path.c_str(), 0711);
    chmod(m_folder.pathOf("pipe").c_str(), 0777);
    EXPECT_EQ(0, waitForStranger(startStranger(65534)));
    EXPECT_EQ(0, m_server->getConnectionCount());
    EXPECT_FALSE(m_server->getConnectedSignal()->isSet());
    EXPECT_TRUE(makeClient()->connect());
    EXPECT_TRUE(m_server->getConnectedSignal()->wait(patienceMs));
}

// Starts a stranger that connects first, then connects `client`; only the calling process is expected.
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

    pid_t m_stranger = 0;
    std::vector<pid_t> m_asked;

private:
    P<CPipeClient> m_client;
};

TEST_F(CPosixPipeServerTest, AcceptClientDropsPeersTheListenerDoesNotExpect)
{
    P<CPipeClient> client = makeClient();
    P<CStrangerFirstListener> listener = make<CStrangerFirstListener>(client);
    m_server->setEndTick(getTickCount() + patienceMs);
    P<IPipeClient> peer = m_server->acceptClient(listener.get());
    ASSERT_TRUE(peer);
    // The portable test has the stranger in this process; here the listener must hear the peer's own number.
    EXPECT_EQ((std::vector<pid_t>{listener->m_stranger, static_cast<pid_t>(getCurrentProcessID())}), listener->m_asked);
    EXPECT_EQ(0, listener->waitForStranger()) << "the stranger's connection was not closed";
}

// A folder others may write is not used, nor what is no socket at the pipe's name; neither is changed.
TEST_F(CPosixPipeServerTest, RefusesAFolderOthersMayWriteAndWhatIsNotASocketAtThePipesName)
{
    const std::string path = m_folder.pathOf("pipe");
    const std::string notSocket = "The pipe path '" + path + "' is taken by something that is not a socket";
    const struct {
        const char* kind;
        std::function<void()> make;
        std::string expected;
        std::function<bool()> isIntact;
    } cases[] = {
        {"folder others may write", [&] { chmod(m_folder.getPath().c_str(), 0777); },
         "The pipe folder '" + m_folder.getPath() + "' may be written by group or others",
         [&] { return !std::filesystem::exists(std::filesystem::symlink_status(path)); }},
        {"file", [&] { std::ofstream(path) << "precious"; }, notSocket,
         [&] { return m_folder.getTemp().get("pipes/pipe") == "precious"; }},
        {"folder", [&] { std::filesystem::create_directory(path); }, notSocket,
         [&] { return std::filesystem::is_directory(std::filesystem::symlink_status(path)); }},
        {"link", [&] { std::filesystem::create_symlink("elsewhere", path); }, notSocket,
         [&] { return std::filesystem::is_symlink(std::filesystem::symlink_status(path)); }},
    };
    CPipeAddress(String("pipe")).ensureFolder();
    for (const auto& test : cases) {
        SCOPED_TRACE(test.kind);
        test.make();
        expectError(test.expected, [&] { m_server->start(); });
        expectError(test.expected, [&] { m_server->acceptClient(nullptr); });
        EXPECT_FALSE(m_server->isStarted());
        EXPECT_FALSE(makeClient()->connect());
        EXPECT_TRUE(test.isIntact());
        chmod(m_folder.getPath().c_str(), 0700);
        std::filesystem::remove(path);
    }
}

} // namespace
} // namespace lumo::posix
