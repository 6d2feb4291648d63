#include "remote/CRemoteStreamServer.h"

#include "CTestProcedures.h"
#include "WireFixture.h"
#include "foundation/CInvalidObjectStateError.h"
#include "foundation/sync/ISignal.h"
#include "platform/IPipeManager.h"
#include "platform/IThreadManager.h"
#include "support/CScopedPipePlace.h"

namespace lumo {
namespace {

// Only keeps a broken build from hanging.
constexpr uint64_t patienceMs = 10000;

TEST(RemoteStreamServerTest, QuitRaisesTheQuitSignalAndSendsNothing)
{
    const P<CProbeStream> input = make<CProbeStream>(), output = make<CProbeStream>();
    const P<CRemoteStreamServer> server = make<CRemoteStreamServer>(input, output);
    input->fill(wireString("void") + wireString("Quit") + wireString("execute"));
    EXPECT_FALSE(server->getQuitSignal()->isSet());
    EXPECT_TRUE(server->processNext());
    EXPECT_TRUE(server->getQuitSignal()->isSet());
    EXPECT_FALSE(server->processNext());
    EXPECT_EQ(output->getSize(), 0);
}

// A client and a server endpoint on the two ends of one pipe connection.
struct RemoteOverPipeTest : testing::Test {
    void SetUp() override
    {
        pipeServer = getPipeManager()->createServer(place.nameOf("remote"));
        clientEnd = getPipeManager()->createClient(place.nameOf("remote"));
        serverEnd = acceptFrom(*pipeServer, clientEnd);
        ASSERT_TRUE(serverEnd);
        server = make<CRemoteStreamServer>(serverEnd->getInStream(), serverEnd->getOutStream());
        client = make<CRemoteStreamClient>(clientEnd->getInStream(), clientEnd->getOutStream());
        server->registerProc(getWidth);
    }

    CScopedPipePlace place;
    P<IPipeServer> pipeServer; // its connections go with it
    P<IPipeClient> clientEnd, serverEnd;
    const P<CGetWidthFunction> getWidth = make<CGetWidthFunction>(640);
    P<CRemoteStreamServer> server;
    P<CRemoteStreamClient> client;
};

TEST_F(RemoteOverPipeTest, AWorkerServesUntilItIsStopped)
{
    server->startThread(1);
    // The worker serves, not processNext: with nothing waiting, a read would block.
    EXPECT_FALSE(server->processNext());
    EXPECT_THROW(server->startThread(1), CInvalidObjectStateError);
    const P<CGetWidthFunction> caller = make<CGetWidthFunction>();
    EXPECT_EQ(client->callInt(*caller), 640);
    // An unknown void procedure fails on the worker, which goes on serving.
    client->call(*make<CNoticeProc>("unknown"));
    EXPECT_EQ(client->callInt(*caller), 640);
    EXPECT_EQ(getWidth->executions, 2);

    server->stopThread();
    // The owner serves again, once the last "execute" is passed over.
    const P<CNoticeProc> notice = make<CNoticeProc>();
    server->registerProc(notice);
    client->call(*notice);
    for (int pass = 0; pass < 2 && !server->processNext(); ++pass) {
    }
    EXPECT_EQ(notice->executions, 1);
}

TEST_F(RemoteOverPipeTest, StoppingEndsAWorkerWaitingForTheRestOfARequest)
{
    server->startThread(1);
    client->getDataOutStream()->writeString(*String("function").get());
    // Once the keyword is taken, the worker waits for a name that never comes.
    for (int waited = 0; serverEnd->getAvailable() > 0 && waited < int(patienceMs); ++waited)
        getThreadManager()->sleep(1);
    server->stopThread();

    // A worker also ends, and stops, when its peer goes.
    client->startThread(1);
    serverEnd->disconnect();
    client->stopThread();
    EXPECT_EQ(getWidth->executions, 0);
}

} // namespace
} // namespace lumo
