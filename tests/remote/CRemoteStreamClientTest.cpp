#include "remote/CRemoteStreamClient.h"

#include "CTestProcedures.h"
#include "WireFixture.h"
#include "foundation/CCastError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CParseError.h"
#include "remote/CRemoteException.h"
#include "remote/CRemoteVarObject.h"
#include "streams/CMemoryManager.h"
#include "streams/CTestRecord.h"

namespace lumo {
namespace {

const Bytes getWidthRequest = {0x08, 0x00, 0x00, 0x00, 0x66, 0x75, 0x6E, 0x63, 0x74, 0x69, 0x6F, 0x6E, // "function"
                               0x08, 0x00, 0x00, 0x00, 0x67, 0x65, 0x74, 0x57, 0x69, 0x64, 0x74, 0x68, // "getWidth"
                               0x07, 0x00, 0x00, 0x00, 0x65, 0x78, 0x65, 0x63, 0x75, 0x74, 0x65};      // "execute"
const Bytes getWidthReply = {0x06, 0x00, 0x00, 0x00, 0x72, 0x65, 0x74, 0x75, 0x72, 0x6E,               // "return"
                             0x06, 0x00, 0x00, 0x00, 0x52, 0x65, 0x73, 0x75, 0x6C, 0x74, 0x80, 0x02, 0x00, 0x00};

// "answer": a function with an object result.
class CAnswerFunction : public CRemoteFunction {
public:
    CAnswerFunction() : CRemoteFunction("answer") { addResult(result); }
    void execute() override {}
    const P<CRemoteVarObject> result = make<CRemoteVarObject>("Result");
};

// "getWidth", whose execute fails.
class CFailingFunction : public CGetWidthFunction {
public:
    void execute() override { throw CError("the served object failed"); }
};

// A record that cannot be written, to break a request half-way.
class CBrokenRecord : public CTestRecord {
public:
    void write(IDataOutStream&) override { throw CError("cannot write"); }
};

// An endpoint on memory streams: the peer's bytes are put into `input`, what it sends is read from `output`.
struct RemoteStreamClientTest : testing::Test {
    void feed(const Bytes& bytes) { input->fill(bytes); }

    P<CProbeStream> input = make<CProbeStream>(), output = make<CProbeStream>();
    P<CRemoteStreamClient> endpoint = make<CRemoteStreamClient>(input, output);
};

TEST_F(RemoteStreamClientTest, AFunctionCallIsOneWriteAndReadsTheReply)
{
    feed(getWidthReply);
    EXPECT_EQ(endpoint->callInt(*make<CGetWidthFunction>()), 640);
    EXPECT_EQ(output->bytes(), getWidthRequest);
    EXPECT_EQ(output->writeCounts, std::vector<int32_t>{35});
    EXPECT_TRUE(input->isEOF());
}

// Void calls read nothing; a request that fails half-way is not sent at all.
TEST_F(RemoteStreamClientTest, VoidCallsAndARequestThatFailsHalfWay)
{
    const P<CSetMaxSizeProc> broken = make<CSetMaxSizeProc>();
    broken->addParameter(make<CRemoteVarObject>("pRecord", make<CBrokenRecord>()));
    EXPECT_THROW(endpoint->call(*broken), CError);
    EXPECT_EQ(output->getSize(), 0);

    endpoint->call(*make<CSetMaxSizeProc>(640, 480));
    endpoint->quit();
    EXPECT_EQ(output->bytes(), wireString("void") + wireString("setMaxSize") + wireInt("nWidth", 640) +
                                   wireInt("nHeight", 480) + wireString("execute") + wireString("void") +
                                   wireString("Quit") + wireString("execute"));
    EXPECT_EQ(output->writeCounts.size(), 2u);
}

TEST_F(RemoteStreamClientTest, ServingRequestsInARow)
{
    const P<CGetWidthFunction> getWidth = make<CGetWidthFunction>(640);
    const P<CSetMaxSizeProc> setMaxSize = make<CSetMaxSizeProc>();
    endpoint->registerProc(make<CGetWidthFunction>(1));
    endpoint->registerProc(getWidth); // replaces the first
    endpoint->registerProc(setMaxSize);
    feed(getWidthRequest + wireString("void") + wireString("setMaxSize") + wireInt("nWidth", 640) +
         wireInt("nHeight", 480) + wireString("execute") + getWidthRequest);
    // Each request is served, and the "execute" closing it passed over by the next pass.
    for (bool bServed : {true, false, true, false, true, false})
        EXPECT_EQ(endpoint->processNext(), bServed);
    EXPECT_EQ(output->bytes(), getWidthReply + getWidthReply);
    EXPECT_EQ(output->writeCounts, (std::vector<int32_t>{24, 24}));
    EXPECT_EQ(getWidth->executions, 2);
    EXPECT_EQ(setMaxSize->height->getValue(), 480);
}

// Only the "notfound" keyword makes a missing procedure, not a peer's text that reads like one.
TEST_F(RemoteStreamClientTest, RepliesOtherThanReturn)
{
    const std::string notFound = "Remote Procedure not found on host: getWidth";
    // clang-format off
    const struct { Bytes reply; std::string message; bool bNotFound = false; } cases[] = {
        {wireString("notfound"), notFound, true},
        {wireString(notFound + " Error:"), notFound + " Error:"},
        {wireString("Error: the disk is full"), "Error: the disk is full"},
        {wireString("returned"), "Unexpected return received: returned"},
        {wireString("Return"), "Unexpected return received: Return"},
        {wireString("error:"), "Unexpected return received: error:"},
        {wireString("return") + wireInt("Resul", 640), "Parameter not expected"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        feed(c.reply + wireInt("Result", 1));
        expectThrow<CRemoteException>([&] { endpoint->call(*make<CGetWidthFunction>()); },
                                      [&](const CRemoteException& error) {
                                          EXPECT_EQ(messageOf(error), c.message);
                                          EXPECT_EQ(error.isProcedureNotFound(), c.bNotFound);
                                      });
    }
}

// The keyword, an "Error:" text and the result's name are strings: a count above the bound is refused unread.
TEST_F(RemoteStreamClientTest, RepliesHoldToTheStringBoundOfTheInput)
{
    const std::string error = "Error: the disk is full";
    endpoint->getDataInStream()->setMaxStringBytes(static_cast<uint32_t>(error.size()));
    const uint32_t tooLong = static_cast<uint32_t>(error.size() + 1);
    // message: empty when the reply is refused on its count
    const std::pair<Bytes, std::string> cases[] = {{wireString(error), error},
                                                   {wireUInt32(tooLong), ""},
                                                   {wireUInt32(512u << 20), ""},
                                                   {wireString("return") + wireUInt32(tooLong), ""}};
    for (const auto& [reply, message] : cases) {
        SCOPED_TRACE(message);
        feed(reply);
        try {
            endpoint->call(*make<CGetWidthFunction>());
            ADD_FAILURE() << "no error";
        } catch (const CParseError&) {
            EXPECT_TRUE(message.empty());
            EXPECT_TRUE(input->isEOF());
        } catch (const CRemoteException& remote) {
            EXPECT_EQ(messageOf(remote), message);
        }
    }
}

// callString, callDouble and callBool take callInt's path; only the object call has one of its own.
TEST_F(RemoteStreamClientTest, ObjectCallsAndResultsOfAnotherKind)
{
    const Bytes record = wireString("return") + wireString("Result") + Bytes{0x00} + wireUInt32(9) + wireUInt32(123456);
    feed(record + wireString("return") + wireString("Result") + Bytes{0x01} + record);

    // Each object call reads into its own preset.
    const P<CAnswerFunction> answer = make<CAnswerFunction>();
    for (bool bNull : {false, true, false}) {
        const P<CTestRecord> preset = make<CTestRecord>(std::vector<int32_t>{0});
        EXPECT_EQ(endpoint->callObject(*answer, preset), bNull ? nullptr : preset);
        EXPECT_EQ(preset->values, std::vector<int32_t>{bNull ? 0 : 9});
    }

    // A result of another kind is refused before anything is sent.
    output->clear();
    EXPECT_THROW(endpoint->callString(*make<CGetWidthFunction>()), CCastError);
    EXPECT_THROW(endpoint->callObject(*make<CGetWidthFunction>(), nullptr), CCastError);
    EXPECT_EQ(output->getSize(), 0);
}

TEST_F(RemoteStreamClientTest, RequestsThatCannotBeServed)
{
    endpoint->registerProc(make<CFailingFunction>());
    endpoint->registerProc(make<CSetMaxSizeProc>());

    // An unknown function is answered "notfound"; its parameters stay unread.
    const Bytes unknown = wireString("function") + wireString("getHeight");
    feed(unknown + wireInt("nIndex", 3));
    EXPECT_FALSE(endpoint->processNext());
    EXPECT_EQ(output->bytes(), wireString("notfound"));
    EXPECT_EQ(input->getPosition(), static_cast<int64_t>(unknown.size()));

    const std::pair<Bytes, std::string> failures[] = {
        {wireString("void") + wireString("getHeight"), "Remote Procedure not found on this computer"},
        {wireString("function") + wireString("getWidth"), "the served object failed"},
        {wireString("void") + wireString("setMaxSize") + wireInt("nHeight", 1), "Parameter not expected"},
    };
    for (const auto& [request, message] : failures) {
        SCOPED_TRACE(message);
        output->clear();
        feed(request);
        expectMessage(message, [&] { endpoint->processNext(); });
        EXPECT_EQ(output->getSize(), 0);
    }

    // Passed over: another keyword, a keyword in another case, an empty name.
    for (const Bytes& request : {wireString("execute"), wireString("Function"), wireString("void") + wireString("")}) {
        feed(request);
        EXPECT_FALSE(endpoint->processNext());
        EXPECT_TRUE(input->isEOF());
    }
}

TEST_F(RemoteStreamClientTest, StreamsMemoryAndThreads)
{
    // The data output writes through at once outside a request.
    endpoint->getDataOutStream()->writeInt(640);
    EXPECT_EQ(output->bytes(), wireUInt32(640));
    EXPECT_THROW(make<CRemoteStreamClient>(nullptr, output), CInvalidArgError);

    const P<CMemoryManager> manager = make<CMemoryManager>(CRemoteStreamClient::memoryManagerBucketCount);
    endpoint->setMemoryManager(manager);
    endpoint->setMemoryManager(nullptr);
    // The scratch block taken from the manager went back to it.
    EXPECT_EQ(manager->getCachedBytes(), CRemoteStreamClient::scratchBlockSize);

    expectMessage<CRemoteException>("Work in Thread only possible with named Pipe Streams",
                                    [&] { endpoint->startThread(10); });
}

} // namespace
} // namespace lumo
