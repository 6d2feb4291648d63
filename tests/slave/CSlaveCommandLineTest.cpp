#include "slave/CSlaveCommandLine.h"

#include <gtest/gtest.h>

using nebo::common::CSlaveCommandLine;

TEST(CSlaveCommandLineTest, ReadsTheFiveFieldsBetweenAnyBlanksAndClampsTheLogLevel)
{
    const auto line =
        CSlaveCommandLine::parse(" 4711 nebo_slave-0000002a-00000001-deadbeef nebo_avlib file:///tmp/nebo%20err.txt 2");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->masterProcessId, 4711);
    EXPECT_EQ(line->pipeName, "nebo_slave-0000002a-00000001-deadbeef");
    EXPECT_EQ(line->pluginName, "nebo_avlib");
    EXPECT_EQ(line->errorFileURI, "file:///tmp/nebo%20err.txt");
    EXPECT_EQ(line->logLevel, 2);
    const auto blanks = CSlaveCommandLine::parse("\t-7  p\n n   u 1 ");
    ASSERT_TRUE(blanks);
    EXPECT_EQ(blanks->masterProcessId, -7);
    EXPECT_EQ(blanks->pluginName, "n");
    const std::pair<const char*, int> levels[] = {{"9", 4}, {"-3", 0}, {"0", 0}, {"4", 4}};
    for (const auto& [level, clamped] : levels)
        EXPECT_EQ(CSlaveCommandLine::parse(std::string("1 p n u ") + level)->logLevel, clamped) << level;
}

// Each field within its room: 511, 127 and 1023 characters.
TEST(CSlaveCommandLineTest, RefusesAnythingButFiveWellFormedFieldsThatFitTheirRoom)
{
    const auto lineWith = [](std::size_t pipe, std::size_t plugin, std::size_t uri) {
        return "1 " + std::string(pipe, 'p') + ' ' + std::string(plugin, 'n') + ' ' + std::string(uri, 'u') + " 2";
    };
    EXPECT_TRUE(CSlaveCommandLine::parse(lineWith(511, 127, 1023)));
    // clang-format off
    const std::string bad[] = {"", "   ", "1 p n u", "1 p n u 2 extra", "x p n u 2", "1 p n u two", "1 p n u 2x",
                               "99999999999 p n u 2", "1 p n u 99999999999", lineWith(512, 127, 1023),
                               lineWith(511, 128, 1023), lineWith(511, 127, 1024)};
    // clang-format on
    for (const std::string& line : bad)
        EXPECT_FALSE(CSlaveCommandLine::parse(line)) << '"' << line.substr(0, 40) << '"';
}
