// The round trip of one remote call between two processes over a pipe,
// next to the round trip of the same bytes over a bare socket pair in the
// same run: the cost that the remote-call layer adds to the transport.
//
// The call is a function without parameters that answers an int, the
// commonest request between master and slave ("getWidth" answered 640).

#include "bench/benchSupport.h"
#include "foundation/CException.h"
#include "foundation/sync/ISignal.h"
#include "platform/IPipeManager.h"
#include "remote/CRemoteFunction.h"
#include "remote/CRemoteStreamServer.h"
#include "remote/CRemoteVarInteger.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using nebo::bench::median;

using namespace lumo;
using Clock = std::chrono::steady_clock;

constexpr int roundTripsPerRound = 5000;
constexpr int rounds = 7;
// "function", "getWidth", "execute", each with its 4-byte length.
constexpr size_t requestSize = 12 + 12 + 11;
// "return", then the result: its name "Result" and the 4-byte int.
constexpr size_t replySize = 10 + 10 + 4;

class CGetWidthFunction : public CRemoteFunction {
public:
    explicit CGetWidthFunction(int32_t width = 0) : CRemoteFunction("getWidth"), m_width(width)
    {
        addResult(m_result);
    }
    void execute() override { m_result->setValue(m_width); }

private:
    const int32_t m_width;
    const P<CRemoteVarInteger> m_result = make<CRemoteVarInteger>("Result");
};

[[noreturn]] void fail(const char* what)
{
    std::perror(what);
    std::exit(1);
}

bool transfer(int socket, char* bytes, size_t count, bool bSend)
{
    for (size_t done = 0; done < count;) {
        const ssize_t moved = bSend ? send(socket, bytes + done, count - done, MSG_NOSIGNAL)
                                    : recv(socket, bytes + done, count - done, 0);
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved <= 0)
            return false;
        done += static_cast<size_t>(moved);
    }
    return true;
}

template <class F> double timeRound(F roundTrip)
{
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < roundTripsPerRound; ++i)
        roundTrip();
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / roundTripsPerRound;
}

// The peer of the bare measure: answers every request with the reply's bytes.
class CBarePeer {
public:
    CBarePeer()
    {
        int ends[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) < 0)
            fail("socketpair");
        m_child = fork();
        if (m_child < 0)
            fail("fork");
        if (m_child == 0) {
            close(ends[0]);
            char request[requestSize];
            char reply[replySize] = {};
            while (transfer(ends[1], request, requestSize, false) && transfer(ends[1], reply, replySize, true)) {
            }
            _exit(0);
        }
        close(ends[1]);
        m_socket = ends[0];
    }
    ~CBarePeer()
    {
        close(m_socket);
        waitpid(m_child, nullptr, 0);
    }

    void roundTrip()
    {
        char request[requestSize] = {};
        char reply[replySize];
        if (!transfer(m_socket, request, requestSize, true) || !transfer(m_socket, reply, replySize, false))
            fail("bare round trip");
    }

private:
    pid_t m_child = -1;
    int m_socket = -1;
};

[[noreturn]] void serveGetWidth(const String& pipeName)
{
    int status = 1;
    try {
        P<IPipeClient> pipe = getPipeManager()->createClient(pipeName);
        if (pipe->connect()) {
            P<CRemoteStreamServer> server = make<CRemoteStreamServer>(pipe->getInStream(), pipe->getOutStream());
            server->registerProc(make<CGetWidthFunction>(640));
            const P<ISignal> quit = server->getQuitSignal();
            while (!quit->isSet())
                server->processNext();
            status = 0;
        }
    } catch (const CException& error) {
        std::fprintf(stderr, "serving process: %s\n", error.what());
    }
    _exit(status);
}

// Starts the serving process once the pipe exists, as a master starts its slave.
class CServerStarter : public CObject, public virtual IPipeServer::IPipeCreatedListener {
public:
    explicit CServerStarter(String pipeName) : m_pipeName(std::move(pipeName)) {}

    bool pipeCreated() override
    {
        m_child = fork();
        if (m_child < 0)
            fail("fork");
        if (m_child == 0)
            serveGetWidth(m_pipeName);
        return true;
    }
    pid_t getChild() const { return m_child; }

private:
    String m_pipeName;
    pid_t m_child = -1;
};

// The calling end of the remote measure.
class CRemotePeer {
public:
    CRemotePeer()
    {
        const String name = String::fromUTF8("nebo_bench-" + std::to_string(getpid()));
        m_server = getPipeManager()->createServer(name);
        P<CServerStarter> starter = make<CServerStarter>(name);
        P<IPipeClient> pipe = m_server->acceptClient(starter.get());
        m_child = starter->getChild();
        if (!pipe)
            fail("accepting the serving process");
        m_client = make<CRemoteStreamClient>(pipe->getInStream(), pipe->getOutStream());
    }
    ~CRemotePeer()
    {
        m_client->quit();
        m_client = nullptr;
        m_server = nullptr;
        waitpid(m_child, nullptr, 0);
    }

    void roundTrip()
    {
        if (m_client->callInt(m_getWidth) != 640)
            fail("getWidth answered wrongly");
    }

private:
    P<IPipeServer> m_server;
    P<CRemoteStreamClient> m_client;
    CGetWidthFunction m_getWidth;
    pid_t m_child = -1;
};

} // namespace

int main()
{
    // Pipes of our own, away from those of anything else running.
    char folder[] = "/tmp/nebo-bench-XXXXXX";
    if (!mkdtemp(folder))
        fail("mkdtemp");
    setenv("NEBO_PIPE_DIR", (std::string(folder) + "/pipes").c_str(), 1);

    std::vector<double> bare, remote;
    {
        // In this order, so that the bare peer's socket is no child's
        // inheritance: its peer sees the end as soon as we close it.
        CRemotePeer remotePeer;
        CBarePeer barePeer;
        // Warm both paths up before anything counts.
        timeRound([&] { barePeer.roundTrip(); });
        timeRound([&] { remotePeer.roundTrip(); });
        // Interleaved, so that a noisy moment of the machine hits both alike.
        for (int i = 0; i < rounds; ++i) {
            bare.push_back(timeRound([&] { barePeer.roundTrip(); }));
            remote.push_back(timeRound([&] { remotePeer.roundTrip(); }));
        }
    }
    std::filesystem::remove_all(folder);

    const double bareNs = median(bare);
    const double remoteNs = median(remote);
    std::printf("round trip of %zu request and %zu reply bytes, median of %d rounds of %d:\n", requestSize, replySize,
                rounds, roundTripsPerRound);
    std::printf("  bare socket pair      %8.2f us\n", bareNs / 1000);
    std::printf("  remote call (callInt) %8.2f us\n", remoteNs / 1000);
    std::printf("  ratio                 %8.2f\n", remoteNs / bareNs);
    return 0;
}
