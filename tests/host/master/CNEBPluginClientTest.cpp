#include "host/master/CNEBPluginClient.h"

#include "foundation/CParseError.h"
#include "foundation/CURI.h"
#include "host/plugin/IPluginExtensions.h"
#include "host/wire/ISourceServer.h"
#include "media/CNEBError.h"
#include "slaveReplies.h"
#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

#include <functional>

namespace nebo::common {
namespace {

struct CNEBPluginClientTest : testing::Test, SSlavePipe {
    lumo::P<CNEBPluginClient> plugin =
        lumo::make<CNEBPluginClient>(input, output, lumo::make<lumo::CMemoryManager>(30));
};

TEST_F(CNEBPluginClientTest, RepliesHoldToTheLimits)
{
    // Room for the keywords ("return", "Result") and no more.
    SSlaveLimits small;
    small.maxStringBytes = 8;
    small.maxItemCount = 2;
    const Bytes extensions = wireText("avi") + wireText("mkv");
    const auto getLog = [](CNEBPluginClient& p) { p.getLog(); };
    const struct {
        const char* name;
        Bytes replies;
        std::function<void(CNEBPluginClient&)> call;
        bool bRefused;
    } cases[] = {
        {"log at the bound", reply(wireText("abcdefgh")), getLog, false},
        {"log above the bound", reply(wireInt32(9)), getLog, true},
        {"extensions at the bound", reply(present(wireInt32(2) + extensions)),
         [](CNEBPluginClient& p) { EXPECT_EQ(p.getValidExtensions(1)->getExtensionCount(), 2); }, false},
        {"extensions above the bound", reply(Bytes{0} + wireInt32(3)),
         [](CNEBPluginClient& p) { p.getValidExtensions(1); }, true},
    };
    plugin->setLimits(small);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        feed(c.replies);
        if (c.bRefused) {
            const lumo::P<lumo::CException> error = expectRefusedBeforeTheBody([&] { c.call(*plugin); });
            EXPECT_NE(dynamic_cast<lumo::CParseError*>(error.get()), nullptr);
        } else {
            c.call(*plugin);
        }
        EXPECT_TRUE(input->isEOF());
    }
}

// The source client shares the pipe, and the limits with it.
TEST_F(CNEBPluginClientTest, ASourceHoldsToTheLimitsOfItsPluginClient)
{
    SSlaveLimits limits;
    limits.maxPictureSide = 100;
    plugin->setLimits(limits);
    feed(reply(present({})));
    const lumo::P<ISourceServer> source = lumo::castObject<ISourceServer>(
        plugin->tryCreateSource(*lumo::make<lumo::CURI>(lumo::String("file:///a.avi")), 1, false, nullptr));
    ASSERT_NE(source, nullptr);
    feed(reply(wireInt32(100)) + reply(wireInt32(101)));
    EXPECT_EQ(source->getWidth(), 100);
    EXPECT_THROW(source->getHeight(), CNEBError);
}

} // namespace
} // namespace nebo::common
