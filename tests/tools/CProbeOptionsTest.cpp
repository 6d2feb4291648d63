#include "tools/probe/CProbeOptions.h"

#include "tools/probe/CUsageError.h"

#include <gtest/gtest.h>

#include <tuple>

namespace nebo::probe {
namespace {

TEST(CProbeOptionsTest, ReadsOptionsAndTheMediaInAnyOrder)
{
    const CProbeOptions plain = CProbeOptions::parse({"--", "--odd.demo"});
    EXPECT_EQ(plain.media, (std::vector<SMediumArgument>{{"--odd.demo", false}}));
    EXPECT_TRUE(CProbeOptions::parse({"--log", "-h"}).bHelp);

    // Media and folders keep their order; --recursive may come again.
    const CProbeOptions many =
        CProbeOptions::parse({"a.demo", "--recursive", "clips", "-j", "3", "--json", "b.mp4", "--recursive", "x"});
    EXPECT_EQ(many.media,
              (std::vector<SMediumArgument>{{"a.demo", false}, {"clips", true}, {"b.mp4", false}, {"x", true}}));
    EXPECT_EQ(std::tuple(many.jobs, many.bJSON), std::tuple(3, true));
    EXPECT_EQ(CProbeOptions::parse({"--jobs", "256", "a.demo"}).jobs, 256);
    EXPECT_EQ(CProbeOptions::parse({"--pool", "0", "a.demo"}).poolSize, 0);
    EXPECT_EQ(CProbeOptions::parse({"a.demo", "--pool", "16"}).poolSize, 16);
    EXPECT_TRUE(CProbeOptions::parse({"--version"}).bVersion);
    EXPECT_TRUE(CProbeOptions::parse({"--list-plugins"}).bListPlugins);
}

// A value written into its option reads as one that follows it.
TEST(CProbeOptionsTest, ReadsValuesWrittenIntoTheirOptions)
{
    const CProbeOptions written = CProbeOptions::parse(
        {"-j2", "--pool=0", "--plugin=nebo_demo", "--thumbnail=1.5", "out.png", "--frames=3", "a.demo", "--", "-j9"});
    EXPECT_EQ(std::tuple(written.jobs, written.poolSize, written.pluginName, written.thumbnailTime,
                         written.thumbnailPath, written.maxPictures),
              std::tuple(2, 0, "nebo_demo", 1.5, "out.png", 3));
    EXPECT_EQ(written.media, (std::vector<SMediumArgument>{{"a.demo", false}, {"-j9", false}}));
    EXPECT_EQ(CProbeOptions::parse({"--recursive=clips", "--jobs=256"}).media,
              (std::vector<SMediumArgument>{{"clips", true}}));
    EXPECT_EQ(CProbeOptions::parse({"--audio=a=b.wav", "x.mp3"}).audioPath, "a=b.wav");
    const CProbeOptions sheet = CProbeOptions::parse({"--sheet=12", "Sheet.JPEG", "--thumbnail", "0", "t.jpg", "x"});
    EXPECT_EQ(std::tuple(sheet.sheetCount, sheet.sheetPath, sheet.thumbnailPath),
              std::tuple(12, "Sheet.JPEG", "t.jpg"));
}

TEST(CProbeOptionsTest, RefusesCommandLinesItCannotFollow)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no medium given"},
        {{"a.demo", ""}, "the medium's name is empty"},
        {{"a.demo", "--recursive"}, "--recursive needs a value"},
        {{"a.demo", "-j", "0"}, "-j wants a whole number from 1 to 256"},
        {{"a.demo", "--jobs", "257"}, "--jobs wants a whole number from 1 to 256"},
        {{"a.demo", "-j", "2", "-j", "2"}, "-j is given more than once"},
        {{"a.demo", "--pool", "-1"}, "--pool wants a whole number from 0 to 16"},
        {{"a.demo", "--pool", "17"}, "--pool wants a whole number from 0 to 16"},
        {{"--fast", "a.demo"}, "unknown option --fast"},
        {{"a.demo", "--frames", "0"}, "--frames wants a whole number"},
        {{"a.demo", "--frames", "7x"}, "--frames wants a whole number"},
        {{"a.demo", "--frames", "99999999999999999999"}, "--frames wants a whole number"},
        {{"a.demo", "--thumbnail", "1.5"}, "--thumbnail needs a value"},
        {{"a.demo", "--thumbnail", "-1", "out.png"}, "--thumbnail wants a time"},
        {{"a.demo", "--thumbnail", "nan", "out.png"}, "--thumbnail wants a time"},
        {{"a.demo", "--audio", ""}, "--audio needs a value"},
        {{"a.demo", "--audio="}, "--audio needs a value, not an empty one"},
        {{"a.demo", "--json=yes"}, "--json takes no value, but was given \"yes\""},
        {{"a.demo", "-j=4"}, "-j wants a whole number from 1 to 256, not \"=4\""},
        {{"a.demo", "-j2", "-j", "3"}, "-j is given more than once"},
        {{"a.demo", "--frames=2", "--frames", "3"}, "--frames is given more than once"},
        {{"a.demo", "--fast=1"}, "unknown option --fast"},
        {{"a.demo", "--thumbnail", "1", "t.gif"}, "--thumbnail writes PNG and JPEG files: name the file"},
        {{"a.demo", "--thumbnail", "1", "t"}, "--thumbnail writes PNG and JPEG files"},
        {{"a.demo", "--audio", "s.mp3"}, "--audio writes WAV files: name the file \"*.wav\", not \"s.mp3\""},
        {{"a.demo", "--sheet", "0", "s.png"}, "--sheet wants a number of pictures from 1 to 100"},
        {{"a.demo", "--sheet=101", "s.png"}, "--sheet wants a number of pictures from 1 to 100"},
        {{"a.demo", "--sheet", "4", "s.bmp"}, "--sheet writes PNG and JPEG files"},
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
