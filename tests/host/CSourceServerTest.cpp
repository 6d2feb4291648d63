#include "host/CSourceServer.h"

#include "expectError.h"
#include "host/CSimpleNEBContext.h"
#include "host/plugins/CTestPlugin.h"
#include "media/CNEBError.h"
#include "media/INEBPictureRemote.h"
#include "streams/CMemoryIOStream.h"

#include <gtest/gtest.h>

namespace {

using lumo::make;
using lumo::P;
using namespace nebo::common;

// A master asks every source for both sides: the missing one answers as a
// medium without it, and only choosing a sound stream there is refused.
TEST(CSourceServerTest, WrapsPicturesAndAnswersForTheMissingSideAsNone)
{
    const P<nebo::test::CTestVideoSource> source =
        make<nebo::test::CTestVideoSource>(*make<lumo::CURI>("file:///x.test"), lumo::String("test"));
    source->skipToTime(9.5);
    P<CSourceServer> server = make<CSourceServer>(make<lumo::CMemoryIOStream>(), make<lumo::CMemoryIOStream>(),
                                                  source, make<CSimpleNEBContext>());

    const P<INEBPictureRemote> wrapped = lumo::castObject<INEBPictureRemote>(server->getNextPicture());
    ASSERT_TRUE(wrapped);
    EXPECT_DOUBLE_EQ(wrapped->getPicture()->getTimestamp(), 9.5);
    source->skipToTime(10.0);
    EXPECT_EQ(server->getNextPicture(), nullptr);

    EXPECT_EQ(server->getSampleRate(), 0);
    EXPECT_EQ(server->getChannelCount(), 0);
    EXPECT_EQ(server->getBytesPerSample(), 0);
    EXPECT_EQ(server->getNextAudioChunk(), nullptr);
    EXPECT_EQ(server->getAudioStreamInfos(), nullptr);
    lumo::expectError<CNEBError>("CSourceServer: the source has no sound", [&] { server->setAudioStream(1); });
    EXPECT_EQ(server->getLog().toUTF8(), "");
}

} // namespace
