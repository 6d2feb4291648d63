// A master in the test process calls a server endpoint in a child process
// over a real pipe.
#include "CTestProcedures.h"
#include "WireFixture.h"
#include "foundation/CFinishedError.h"
#include "foundation/sync/ISignal.h"
#include "platform/CScopedPipeFolder.h"
#include "platform/IPipeManager.h"
#include "remote/CRemoteException.h"
#include "remote/CRemoteStreamServer.h"

#include <sys/wait.h>
#include <unistd.h>

namespace lumo {
namespace {

// "getHeight": a function the child does not serve.
class CGetHeightFunction : public CRemoteFunction {
public:
    CGetHeightFunction() : CRemoteFunction("getHeight") { addResult(make<CRemoteVarInteger>("Result")); }
    void execute() override {}
};

enum class ChildRole { loop, worker };

void serve(IPipeClient& pipe, ChildRole role)
{
    P<CRemoteStreamServer> server = make<CRemoteStreamServer>(pipe.getInStream(), pipe.getOutStream());
    server->registerProc(make<CGetWidthFunction>(640));
    server->registerProc(make<CSetMaxSizeProc>());
    if (role == ChildRole::worker) {
        server->startThread(1);
        server->getQuitSignal()->wait(ISignal::noTimeout);
        server->stopThread();
        return;
    }
    while (!server->getQuitSignal()->isSet())
        server->processNext();
}

// The child: serves getWidth (640) and setMaxSize until "Quit"; its exit
// status says how that ended.
[[noreturn]] void runChild(const String& pipeName, ChildRole role)
{
    int status = 2;
    try {
        P<IPipeClient> pipe = getPipeManager()->createClient(pipeName);
        if (pipe->connect()) {
            serve(*pipe, role);
            status = 0;
        }
    } catch (...) {
        status = 3;
    }
    _exit(status);
}

// Starts the child once the pipe exists, so that it can connect at once.
class CChildStarter : public CObject, public virtual IPipeServer::IPipeCreatedListener {
public:
    CChildStarter(String pipeName, ChildRole role) : m_pipeName(std::move(pipeName)), m_role(role) {}
    bool pipeCreated() override
    {
        child = fork();
        if (child == 0)
            runChild(m_pipeName, m_role);
        return child > 0;
    }
    pid_t child = -1;

private:
    String m_pipeName;
    ChildRole m_role;
};

struct RemoteAcrossProcessesTest : testing::Test {
    void startChild(ChildRole role)
    {
        pipeServer = getPipeManager()->createServer(pipeName);
        const P<CChildStarter> starter = make<CChildStarter>(pipeName, role);
        pipe = pipeServer->acceptClient(starter.get());
        child = starter->child;
        ASSERT_TRUE(pipe);
        master = make<CRemoteStreamClient>(pipe->getInStream(), pipe->getOutStream());
    }
    void TearDown() override
    {
        if (child > 0 && waitpid(child, nullptr, WNOHANG) == 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
    }
    int childExitStatus()
    {
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        child = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    CScopedPipeFolder folder;
    const String pipeName = String("across");
    P<IPipeServer> pipeServer;
    P<IPipeClient> pipe;
    P<CRemoteStreamClient> master;
    pid_t child = -1;
};

// Served by the child's loop and by a worker thread of its own alike.
TEST_F(RemoteAcrossProcessesTest, CallsAreServedUntilQuit)
{
    for (ChildRole role : {ChildRole::loop, ChildRole::worker}) {
        SCOPED_TRACE(role == ChildRole::loop ? "loop" : "worker");
        startChild(role);
        CGetWidthFunction getWidth;
        EXPECT_EQ(master->callInt(getWidth), 640);
        CSetMaxSizeProc setMaxSize(320, 240);
        master->call(setMaxSize);
        EXPECT_EQ(master->callInt(getWidth), 640);
        CGetHeightFunction getHeight;
        expectMessage<CRemoteException>("Remote Procedure not found on host: getHeight",
                                        [&] { master->callInt(getHeight); });
        master->quit();
        EXPECT_EQ(childExitStatus(), 0);
        uint8_t byte;
        expectError<CFinishedError>("Pipe was closed", [&] { pipe->readFully(&byte, 1); });
    }
}

} // namespace
} // namespace lumo
