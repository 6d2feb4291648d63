// The stand-in slave on the wire: its honest replies read as a master
// reads them, its lies begin with the bytes they promise, and its start-up
// lies end the process as promised.
#include "remote/CRemoteFunction.h"
#include "remote/CRemoteStreamClient.h"
#include "remote/CRemoteVarString.h"
#include "remote/WireFixture.h"
#include "slave/CSlaveFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using lumo::Bytes;
using lumo::make;
using lumo::operator+;
using lumo::P;
using lumo::wireInt;
using lumo::wireString;
using lumo::wireUInt32;

const std::string clipURI = "file:///clip.demo";

// The fixture starts $NEBO_BIN_DIR/nebo_slave, which for this test program
// is the stand-in; its mode reaches it through the environment it inherits.
class HostileSlaveSelfTest : public nebo::test::CSlaveFixture {
protected:
    P<lumo::IPipeClient> start(const char* mode)
    {
        const lumo::CScopedEnvironment environment("NEBO_HOSTILE_MODE", mode);
        return startServedSlave("hostile");
    }
};

// A function with a string result, as the master calls it.
class CStringFunction : public lumo::CRemoteFunction {
public:
    explicit CStringFunction(const char* name) : CRemoteFunction(lumo::String(name))
    {
        addResult(make<lumo::CRemoteVarString>(lumo::String("Result")));
    }
    void execute() override {}
};

TEST_F(HostileSlaveSelfTest, HonestModeAnswersTheStartUpAndQuitsCleanly)
{
    const P<lumo::IPipeClient> pipe = start("honest");
    ASSERT_TRUE(pipe);
    const P<lumo::CRemoteStreamClient> master = make<lumo::CRemoteStreamClient>(pipe->getInStream(),
                                                                                pipe->getOutStream());
    CStringFunction getLog("getLog");
    EXPECT_EQ(master->callString(getLog).toUTF8(), "");
    CStringFunction getPluginName("getPluginName");
    EXPECT_EQ(master->callString(getPluginName).toUTF8(), "hostile");
    master->quit();
    ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    EXPECT_EQ(m_slave->getExitCode(), 0);
    EXPECT_FALSE(std::filesystem::exists(m_errorFile));
}

Bytes request(const std::string& function, const Bytes& parameters = {})
{
    return wireString("function") + wireString(function) + parameters + wireString("execute");
}

const Bytes tryCreateSource = request("tryCreateSource", Bytes{0} + wireString(clipURI) + wireInt("nTypes", 3) +
                                                             wireString("bDontCloseAfterTesting") + Bytes{0} +
                                                             wireUInt32(16) + Bytes(16, 0));
const Bytes returned = wireString("return") + wireString("Result");
const Bytes sourceMade = returned + Bytes{0, 0x40, 0xE2, 0x01, 0x00};

struct SExchange {
    Bytes request;
    Bytes replyStart;
};

// What a master sends and the start of what comes back, in order.
struct SLie {
    const char* mode;
    std::vector<SExchange> exchanges;
};

TEST_F(HostileSlaveSelfTest, RepliesBeginAsPromised)
{
    const Bytes escapes = wireString("Error:\x1b]0;owned\x07\x1b[2J\x1b[31mFAKE LINE\r\n");
    const SLie lies[] = {
        {"honest",
         {{tryCreateSource, sourceMade},
          {request("getWidth"), wireString("return") + wireInt("Result", 64)},
          {request("getNextPicture"), returned + Bytes{0} + wireUInt32(1) + Bytes(8, 0) + wireUInt32(64) +
                                          wireUInt32(48) + Bytes{0} + wireUInt32(64 * 48 * 4)}}},
        {"count-then-silence", {{request("getLog"), {0xFF, 0xFF, 0xFF, 0xFF}}}},
        {"half-reply", {{request("getLog"), wireString("return") + Bytes{6, 0}}}},
        {"huge-log", {{request("getLog"), returned + wireUInt32(0x7FFFFFFF) + Bytes{'x', 'x'}}}},
        {"flood-extensions",
         {{request("getValidExtensions", wireInt("nTypes", 3)), returned + Bytes{0} + wireUInt32(20000000) +
                                                                     wireUInt32(0) + wireUInt32(0)}}},
        {"huge-announce",
         {{tryCreateSource, sourceMade},
          {request("getWidth"), wireString("return") + wireInt("Result", 16385)},
          {request("getHeight"), wireString("return") + wireInt("Result", 16)}}},
        {"huge-picture",
         {{tryCreateSource, sourceMade},
          {request("getWidth"), wireString("return") + wireInt("Result", 64)},
          {request("getNextPicture"), returned + Bytes{0} + wireUInt32(1) + Bytes(8, 0) + wireUInt32(23170) +
                                          wireUInt32(23170) + Bytes{0} + wireUInt32(2147395600)}}},
        {"huge-error",
         {{tryCreateSource, sourceMade},
          {request("getWidth"), wireUInt32(512u << 20) + Bytes{'E', 'r', 'r', 'o', 'r', ':', 'x'}}}},
        {"control-chars",
         {{tryCreateSource, escapes}, {request("getPluginName"), wireString("return") + wireString("Result") +
                                                                    wireString("hostile")}}},
    };
    for (const SLie& lie : lies) {
        SCOPED_TRACE(lie.mode);
        const P<lumo::IPipeClient> pipe = start(lie.mode);
        ASSERT_TRUE(pipe);
        for (const SExchange& exchange : lie.exchanges) {
            pipe->writeFully(exchange.request.data(), static_cast<int32_t>(exchange.request.size()));
            Bytes reply(exchange.replyStart.size());
            pipe->readFully(reply.data(), static_cast<int32_t>(reply.size()));
            EXPECT_EQ(reply, exchange.replyStart);
        }
        // Whatever it does after its lie, silence among it, ends here.
        m_slave->terminate();
        ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    }
}

TEST_F(HostileSlaveSelfTest, LiesAtStartUpEndTheProcessAsPromised)
{
    P<lumo::IPipeClient> pipe = start("exit");
    ASSERT_TRUE(pipe);
    ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    EXPECT_EQ(m_slave->getExitCode(), 3);

    pipe = start("sparse-error-file");
    ASSERT_TRUE(pipe);
    ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    EXPECT_EQ(m_slave->getExitCode(), 1);
    EXPECT_EQ(std::filesystem::file_size(m_errorFile), 1u << 30);
    std::string text(16, '\0');
    std::ifstream(m_errorFile, std::ios::binary).read(text.data(), 16);
    EXPECT_EQ(text, "lumo::CException");

    // The parent ends while its child keeps the connection open.
    pipe = start("forked-holder");
    ASSERT_TRUE(pipe);
    ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    EXPECT_EQ(m_slave->getExitCode(), 0);
    EXPECT_TRUE(pipe->isConnected());
}

} // namespace
