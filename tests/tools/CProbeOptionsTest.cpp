#include "tools/probe/CProbeOptions.h"

#include "tools/probe/CUsageError.h"

#include <gtest/gtest.h>

namespace nebo::probe {
namespace {

TEST(CProbeOptionsTest, ReadsOptionsAndTheTargetInAnyOrder)
{
    const CProbeOptions all = CProbeOptions::parse({"--frames", "12", "--log", "clip.demo", "--thumbnail", "0.25",
                                                    "t.png", "--audio", "s.wav", "--plugin", "nebo_demo"});
    EXPECT_EQ(all.target, "clip.demo");
    EXPECT_EQ(all.pluginName, "nebo_demo");
    EXPECT_EQ(all.maxPictures, 12);
    EXPECT_EQ(all.thumbnailTime, 0.25);
    EXPECT_EQ(all.thumbnailPath, "t.png");
    EXPECT_EQ(all.audioPath, "s.wav");
    EXPECT_TRUE(all.bPrintLog);
    EXPECT_TRUE(all.bResume);
    EXPECT_FALSE(CProbeOptions::parse({"--no-resume", "clip.demo"}).bResume);

    const CProbeOptions plain = CProbeOptions::parse({"--", "--odd.demo"});
    EXPECT_EQ(plain.target, "--odd.demo");
    EXPECT_FALSE(plain.maxPictures || plain.thumbnailTime || plain.bPrintLog || plain.bHelp);
    EXPECT_TRUE(CProbeOptions::parse({"--log", "-h"}).bHelp);
}

TEST(CProbeOptionsTest, RefusesCommandLinesItCannotFollow)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no medium given"},
        {{"a.demo", "b.demo"}, "one medium at a time"},
        {{""}, "the medium's name is empty"},
        {{"--fast", "a.demo"}, "unknown option --fast"},
        {{"a.demo", "--log", "--log"}, "--log is given more than once"},
        {{"a.demo", "--frames"}, "--frames needs a value"},
        {{"a.demo", "--frames", "0"}, "--frames wants a whole number"},
        {{"a.demo", "--frames", "7x"}, "--frames wants a whole number"},
        {{"a.demo", "--frames", "99999999999999999999"}, "--frames wants a whole number"},
        {{"a.demo", "--thumbnail", "1.5"}, "--thumbnail needs a value"},
        {{"a.demo", "--thumbnail", "-1", "out.png"}, "--thumbnail wants a time"},
        {{"a.demo", "--thumbnail", "nan", "out.png"}, "--thumbnail wants a time"},
        {{"a.demo", "--audio", ""}, "--audio needs a value"},
    };
    for (const auto& [arguments, message] : cases) {
        try {
            CProbeOptions::parse(arguments);
            ADD_FAILURE() << "accepted a command line meant to fail with: " << message;
        } catch (const CUsageError& error) {
            EXPECT_NE(error.getDescription()->toUTF8().find(message), std::string::npos)
                << error.getDescription()->toUTF8();
        }
    }
}

} // namespace
} // namespace nebo::probe
