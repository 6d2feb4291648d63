#include "tools/probe/CWAVWriter.h"

#include "foundation/CError.h"
#include "platform/CTempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace nebo::probe {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(CWAVWriterTest, HeaderDescribesPCMLittleEndian)
{
    const std::array<uint8_t, wavHeaderSize> header = makeWAVHeader({48000, 2, 16}, 1000);
    const Bytes expected = {'R', 'I', 'F', 'F', 0x0C, 0x04, 0x00, 0x00, 'W', 'A', 'V', 'E',
                            'f', 'm', 't', ' ', 0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00,
                            0x80, 0xBB, 0x00, 0x00, 0x00, 0xEE, 0x02, 0x00, 0x04, 0x00, 0x10, 0x00,
                            'd', 'a', 't', 'a', 0xE8, 0x03, 0x00, 0x00};
    EXPECT_EQ(Bytes(header.begin(), header.end()), expected);
}

TEST(CWAVWriterTest, RefusesWhatAHeaderCannotHold)
{
    const SWAVFormat refused[] = {{0, 2, 16},  {48000, 0, 16},     {48000, 65536, 16}, {48000, 2, 12},
                                  {48000, 2, 40}, {48000, 65535, 32}, {768000, 2048, 32}};
    for (const SWAVFormat& format : refused)
        EXPECT_THROW(makeWAVHeader(format, 0), lumo::CError)
            << format.sampleRate << " " << format.channelCount << " " << format.bitsPerSample;
    // The largest data that fits is even; odd data needs a pad byte more.
    EXPECT_NO_THROW(makeWAVHeader({8000, 1, 8}, 0xFFFFFFFFull - 37));
    EXPECT_THROW(makeWAVHeader({8000, 1, 8}, 0xFFFFFFFFull - 36), lumo::CError);
}

TEST(CWAVWriterTest, WritesTheSamplesAfterTheHeaderAndPadsOddData)
{
    lumo::CTempFolder folder;
    const std::string path = folder.pathOf("sound.wav");
    const Bytes first = {1, 2, 3, 4};
    const Bytes second = {0xFF, 0x00, 9};
    CWAVWriter writer(path, {8000, 1, 8});
    writer.append(first.data(), first.size());
    writer.append(nullptr, 0);
    writer.append(second.data(), second.size());
    writer.finish();

    std::ifstream file(path, std::ios::binary);
    const Bytes written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::array<uint8_t, wavHeaderSize> header = makeWAVHeader({8000, 1, 8}, 7);
    Bytes expected(header.begin(), header.end());
    expected.insert(expected.end(), {1, 2, 3, 4, 0xFF, 0x00, 9, 0});
    EXPECT_EQ(written, expected);
    EXPECT_THROW(CWAVWriter(folder.pathOf("missing/sound.wav"), {8000, 1, 8}), lumo::CError);
}

} // namespace
} // namespace nebo::probe
