#include "host/slave/CSourceServer.h"

#include "expectError.h"
#include "host/common/CSimpleNEBContext.h"
#include "host/plugins/CTestPlugin.h"
#include "media/CNEBError.h"
#include "streams/CMemoryIOStream.h"

#include <gtest/gtest.h>

namespace {

using lumo::make;
using lumo::P;
using namespace nebo::common;

// Asked for the side it lacks, a source answers as a medium without it; only choosing a sound stream fails.
TEST(CSourceServerTest, AnswersForTheMissingSideAsNone)
{
    const P<nebo::test::CTestVideoSource> source =
        make<nebo::test::CTestVideoSource>(*make<lumo::CURI>("file:///x.test"), lumo::String("test"));
    P<CSourceServer> server = make<CSourceServer>(make<lumo::CMemoryIOStream>(), make<lumo::CMemoryIOStream>(), source,
                                                  make<CSimpleNEBContext>());
    EXPECT_EQ(server->getSampleRate(), 0);
    EXPECT_EQ(server->getChannelCount(), 0);
    EXPECT_EQ(server->getBytesPerSample(), 0);
    EXPECT_EQ(server->getNextAudioChunk(), nullptr);
    EXPECT_EQ(server->getAudioStreamInfos(), nullptr);
    lumo::expectError<CNEBError>("CSourceServer: the source has no sound", [&] { server->setAudioStream(1); });
}

} // namespace
