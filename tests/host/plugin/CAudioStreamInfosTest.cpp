#include "host/plugin/CAudioStreamInfos.h"

#include "foundation/CParseError.h"
#include "media/mediaWire.h"
#include "streams/CEndOfStreamError.h"

#include <gtest/gtest.h>

#include <tuple>

namespace nebo::common {
namespace {

std::vector<SAudioStreamInfo> twoStreams()
{
    return {{0, lumo::String("flac"), lumo::String::fromUTF8("fr"), 2, 48000},
            {1, lumo::String("aac"), lumo::String::fromUTF8("\xc3\xa9n"), 6, 44100}};
}

TEST(CAudioStreamInfosTest, AListReadsBackAsWritten)
{
    SWire wire;
    wire.in->setMaxItemCount(2); // a list just at its bound
    lumo::make<CAudioStreamInfos>(twoStreams())->write(*wire.out);
    wire.written();
    lumo::P<CAudioStreamInfos> received = lumo::make<CAudioStreamInfos>();
    EXPECT_TRUE(received->read(*wire.in));

    const std::vector<SAudioStreamInfo> expected = twoStreams();
    const auto fields = [](const SAudioStreamInfo& s) {
        return std::make_tuple(s.nIndex, s.codecName.toUTF8(), s.language.toUTF8(), s.nChannels, s.nSampleRate);
    };
    ASSERT_EQ(received->getStreams().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(fields(received->getStreams()[i]), fields(expected[i])) << i;
}

TEST(CAudioStreamInfosTest, AFailedReadKeepsTheOldList)
{
    // The streams' bytes follow, so that only the count can be refused.
    const Bytes stream = wireInt32(0) + wireInt32(0) + wireInt32(0) + wireInt32(1) + wireInt32(8000);
    for (int32_t count : {-1, 2, INT32_MIN}) {
        SWire wire;
        wire.in->setMaxItemCount(1);
        lumo::P<CAudioStreamInfos> infos = lumo::make<CAudioStreamInfos>(twoStreams());
        EXPECT_THROW(infos->read(wire.feed(wireInt32(count) + stream + stream)), lumo::CParseError) << count;
        EXPECT_EQ(infos->getStreams().size(), 2u);
    }
    SWire wire;
    lumo::P<CAudioStreamInfos> infos = lumo::make<CAudioStreamInfos>(twoStreams());
    EXPECT_THROW(infos->read(wire.feed(wireInt32(3) + wireInt32(0))), lumo::CEndOfStreamError);
    EXPECT_EQ(infos->getStreams().size(), 2u);
}

} // namespace
} // namespace nebo::common
