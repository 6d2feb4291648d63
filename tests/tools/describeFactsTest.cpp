#include "tools/probe/describeFacts.h"

#include <gtest/gtest.h>

namespace nebo::probe {
namespace {

using lumo::String;

TEST(describeFactsTest, BitRatesReadInKilobitsOrMegabits)
{
    // clang-format off
    const std::pair<int64_t, const char*> cases[] = {{0, ""}, {-5, ""}, {999, "1 kbit/s"}, {128000, "128 kbit/s"},
        {999499, "999 kbit/s"}, {999500, "1.00 Mbit/s"}, {1500000, "1.50 Mbit/s"}};
    // clang-format on
    for (const auto& [bits, text] : cases)
        EXPECT_EQ(formatBitRate(bits), text) << bits;
}

TEST(describeFactsTest, MediumLinesLeaveOutWhatIsNotKnown)
{
    common::SMediumFacts facts;
    EXPECT_TRUE(describeMediumFacts(facts).empty());
    facts.container = String("mov,mp4");
    facts.containerDescription = String("QuickTime / MOV");
    facts.bitRate = 2000000;
    facts.tags = {{String("title"), String("Clip")}};
    facts.chapters = {{0.0, 1.5, String("Intro")}, {1.5, 3.0, String()}};
    const FactLines expected = {{"Container", "mov,mp4 (QuickTime / MOV)"},
                                {"Bit rate", "2.00 Mbit/s"},
                                {"Tag title", "Clip"},
                                {"Chapter 1", "0.000 to 1.500 s, Intro"},
                                {"Chapter 2", "1.500 to 3.000 s"}};
    EXPECT_EQ(describeMediumFacts(facts), expected);
}

TEST(describeFactsTest, StreamsNameWhatIsKnownInOneLine)
{
    common::SPictureStreamFacts pictures;
    EXPECT_EQ(describePictureStream(pictures), "");
    pictures.codec = String("h264");
    pictures.profile = String("High");
    pictures.pixelFormat = String("yuv420p");
    pictures.bitDepth = 8;
    pictures.chromaSubsampling = String("4:2:0");
    pictures.colourRange = String("tv");
    pictures.colourMatrix = String("bt709");
    pictures.sampleAspect = {4, 3};
    pictures.displayAspect = {0, 1};
    pictures.rotation = 90;
    EXPECT_EQ(describePictureStream(pictures),
              "h264 (High), yuv420p, 8 bits, 4:2:0, colour tv bt709, pixels 4:3, rotated 90\u00b0");

    common::SSoundTrackFacts told;
    told.codec = String("ignored: the listed codec wins");
    told.sampleFormat = String("s24");
    told.bitsPerSample = 24;
    told.channelLayout = String("stereo");
    told.language = String("deu");
    EXPECT_EQ(describeSoundTrack({1, "flac", "", 2, 48000}, &told),
              "flac, 2 channels (stereo), 48000 Hz, s24, 24 bits, language deu");
    EXPECT_EQ(describeSoundTrack({0, "", "fra", 1, 0}, nullptr), "unknown, 1 channel, language fra");
}

} // namespace
} // namespace nebo::probe
