// A master in the test process calls a server endpoint in a child process
// over a real pipe.
#include "CTestProcedures.h"
#include "WireFixture.h"
#include "foundation/CFinishedError.h"
#include "platform/CScopedPipeFolder.h"
#include "platform/IPipeManager.h"
#include "platform/ISignal.h"
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

// The child: serves getWidth (640) and setMaxSize until "Quit"; its exit
// status says how serving ended.
[[noreturn]] void serveInChild(const String& pipeName)
{
    int status = 2;
    try {
        P<IPipeClient> pipe = getPipeManager()->createClient(pipeName);
        if (pipe->connect()) {
            P<CRemoteStreamServer> server = make<CRemoteStreamServer>(pipe->getInStream(), pipe->getOutStream());
            server->registerProc(make<CGetWidthFunction>(640));
            server->registerProc(make<CSetMaxSizeProc>());
            while (!server->getQuitSignal()->isSet())
                server->processNext();
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
    explicit CChildStarter(String pipeName) : m_pipeName(std::move(pipeName)) {}
    bool pipeCreated() override
    {
        child = fork();
        if (child == 0)
            serveInChild(m_pipeName);
        return child > 0;
    }
    pid_t child = -1;

private:
    String m_pipeName;
};

struct RemoteAcrossProcessesTest : testing::Test {
    void SetUp() override
    {
        pipeServer = getPipeManager()->createServer(pipeName);
        const P<CChildStarter> starter = make<CChildStarter>(pipeName);
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
    Bytes readReply(std::size_t count)
    {
        Bytes bytes(count);
        pipe->readFully(bytes.data(), static_cast<int32_t>(count));
        return bytes;
    }

    CScopedPipeFolder folder;
    const String pipeName = String("across");
    P<IPipeServer> pipeServer;
    P<IPipeClient> pipe;
    P<CRemoteStreamClient> master;
    pid_t child = -1;
};

TEST_F(RemoteAcrossProcessesTest, CallsAreServedUntilQuit)
{
    CGetWidthFunction getWidth;
    EXPECT_EQ(master->callInt(getWidth), 640);
    EXPECT_EQ(master->callInt(getWidth), 640);

    CSetMaxSizeProc setMaxSize(320, 240);
    master->call(setMaxSize);
    EXPECT_EQ(master->callInt(getWidth), 640);

    CGetHeightFunction getHeight;
    try {
        master->callInt(getHeight);
        ADD_FAILURE() << "no error";
    } catch (const CRemoteException& error) {
        EXPECT_EQ(messageOf(error), "Remote Procedure not found on host: getHeight");
    }

    master->quit();
    EXPECT_EQ(childExitStatus(), 0);
    try {
        readReply(1);
        ADD_FAILURE() << "no error";
    } catch (const CFinishedError& error) {
        EXPECT_EQ(error.getDescription()->toUTF8(), "Pipe was closed");
    }
}

TEST_F(RemoteAcrossProcessesTest, TheGetWidthExchangeIsExactToTheByte)
{
    const Bytes request = wireString("function") + wireString("getWidth") + wireString("execute");
    pipe->writeFully(request.data(), static_cast<int32_t>(request.size()));
    const Bytes reply = wireString("return") + wireInt("Result", 640);
    EXPECT_EQ(readReply(reply.size()), reply);

    const Bytes quit = wireString("void") + wireString("Quit") + wireString("execute");
    pipe->writeFully(quit.data(), static_cast<int32_t>(quit.size()));
    EXPECT_EQ(childExitStatus(), 0);
}

} // namespace
} // namespace lumo
