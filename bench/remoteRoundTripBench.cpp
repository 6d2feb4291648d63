// The round trip of one remote call between two processes over a pipe,
// next to the round trip of the same bytes over a bare socket pair in the
// same run: the cost that the remote-call layer adds to the transport.
//
// Both measures run with the processes placed alike, once both on one
// processor and once on two: where the system puts them decides more than
// anything the layer does (waking a process on another processor of a
// virtual machine costs tens of microseconds, a switch on the same one a
// few), so a comparison across placements would measure the scheduler.
//
// The call is a function without parameters that answers an int, the
// commonest request between master and slave ("getWidth" answered 640).

#include "bench/benchProcesses.h"
#include "bench/benchSupport.h"
#include "foundation/CException.h"
#include "foundation/sync/ISignal.h"
#include "platform/IPipeManager.h"
#include "remote/CRemoteFunction.h"
#include "remote/CRemoteStreamServer.h"
#include "remote/CRemoteVarInteger.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>
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
    explicit CGetWidthFunction(int32_t width = 0) : CRemoteFunction("getWidth"), m_width(width) { addResult(m_result); }
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
    explicit CBarePeer(int servingProcessor)
        : m_peer([servingProcessor](nebo::bench::CPeerSocket& socket) {
              nebo::bench::runOnlyOnProcessor(servingProcessor);
              return serve(socket);
          })
    {
    }

    void roundTrip()
    {
        char request[requestSize] = {};
        char reply[replySize];
        if (!m_peer.socket().send(request, requestSize) || !m_peer.socket().receive(reply, replySize))
            fail("bare round trip");
    }

private:
    static int serve(nebo::bench::CPeerSocket& socket)
    {
        char request[requestSize];
        char reply[replySize] = {};
        while (socket.receive(request, requestSize) && socket.send(reply, replySize)) {
        }
        return 0;
    }

    nebo::bench::CForkedPeer m_peer;
};

int serveGetWidth(const String& pipeName)
{
    try {
        P<IPipeClient> pipe = getPipeManager()->createClient(pipeName);
        if (!pipe->connect())
            return 1;
        P<CRemoteStreamServer> server = make<CRemoteStreamServer>(pipe->getInStream(), pipe->getOutStream());
        server->registerProc(make<CGetWidthFunction>(640));
        const P<ISignal> quit = server->getQuitSignal();
        while (!quit->isSet())
            server->processNext();
        return 0;
    } catch (const CException& error) {
        std::fprintf(stderr, "serving process: %s\n", error.what());
        return 1;
    }
}

// Starts the serving process once the pipe exists, as a master starts its
// slave; the serving process does not use the peer's socket.
class CServerStarter : public CObject, public virtual IPipeServer::IPipeCreatedListener {
public:
    CServerStarter(String pipeName, int servingProcessor)
        : m_pipeName(std::move(pipeName)), m_servingProcessor(servingProcessor)
    {
    }

    bool pipeCreated() override
    {
        m_child = std::make_unique<nebo::bench::CForkedPeer>([this](nebo::bench::CPeerSocket&) {
            nebo::bench::runOnlyOnProcessor(m_servingProcessor);
            return serveGetWidth(m_pipeName);
        });
        return true;
    }
    std::unique_ptr<nebo::bench::CForkedPeer> takeChild() { return std::move(m_child); }

private:
    String m_pipeName;
    int m_servingProcessor;
    std::unique_ptr<nebo::bench::CForkedPeer> m_child;
};

// The calling end of the remote measure.
class CRemotePeer {
public:
    explicit CRemotePeer(int servingProcessor)
    {
        const String name = String::fromUTF8("nebo_bench-" + std::to_string(nebo::bench::getCurrentProcessID()) + "-" +
                                             std::to_string(servingProcessor));
        m_server = getPipeManager()->createServer(name);
        P<CServerStarter> starter = make<CServerStarter>(name, servingProcessor);
        P<IPipeClient> pipe = m_server->acceptClient(starter.get());
        m_child = starter->takeChild();
        if (!pipe)
            fail("accepting the serving process");
        m_client = make<CRemoteStreamClient>(pipe->getInStream(), pipe->getOutStream());
    }
    ~CRemotePeer()
    {
        m_client->quit();
        m_client = nullptr;
        m_server = nullptr;
        // Waits for the serving process.
        m_child = nullptr;
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
    std::unique_ptr<nebo::bench::CForkedPeer> m_child;
};

struct SPlacement {
    const char* name;
    int callerProcessor;
    int servingProcessor;
};

// Median nanoseconds of the bare and of the remote round trip, placed so.
std::pair<double, double> measure(const SPlacement& placement)
{
    if (!nebo::bench::runOnlyOnProcessor(placement.callerProcessor))
        fail("placing the calling process");
    std::vector<double> bare, remote;
    // In this order, so that the bare peer's socket is no child's
    // inheritance: its peer sees the end as soon as we close it.
    CRemotePeer remotePeer(placement.servingProcessor);
    CBarePeer barePeer(placement.servingProcessor);
    // Warm both paths up before anything counts.
    timeRound([&] { barePeer.roundTrip(); });
    timeRound([&] { remotePeer.roundTrip(); });
    // Interleaved, so that a noisy moment of the machine hits both alike.
    for (int i = 0; i < rounds; ++i) {
        bare.push_back(timeRound([&] { barePeer.roundTrip(); }));
        remote.push_back(timeRound([&] { remotePeer.roundTrip(); }));
    }
    return {median(bare), median(remote)};
}

} // namespace

int main()
{
    // Pipes of our own, away from those of anything else running.
    const std::string folder = nebo::bench::makeWorkFolder();
    nebo::bench::setEnvironment("NEBO_PIPE_DIR", (folder + "/pipes").c_str());

    const SPlacement placements[] = {{"both processes on one processor", 0, 0},
                                     {"each on a processor of its own", 0, 1}};
    const size_t placementCount = std::thread::hardware_concurrency() > 1 ? 2 : 1;
    std::printf("round trip of %zu request and %zu reply bytes, median of %d rounds of %d:\n", requestSize, replySize,
                rounds, roundTripsPerRound);
    for (size_t i = 0; i < placementCount; ++i) {
        const auto [bareNs, remoteNs] = measure(placements[i]);
        std::printf("%s:\n", placements[i].name);
        std::printf("  bare socket pair      %8.2f us\n", bareNs / 1000);
        std::printf("  remote call (callInt) %8.2f us\n", remoteNs / 1000);
        std::printf("  ratio                 %8.2f\n", remoteNs / bareNs);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
