#include "tools/probe/CWAVWriter.h"

#include "foundation/CError.h"
#include "platform/CTempFolder.h"
#include "support/runProgram.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <tuple>

namespace nebo::probe {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(CWAVWriterTest, HeaderDescribesPCMLittleEndian)
{
    const Bytes header = makeWAVHeader({48000, 2, 16}, 1000);
    const Bytes expected = {'R',  'I',  'F',  'F',  0x0C, 0x04, 0x00, 0x00, 'W',  'A',  'V',  'E',  'f',  'm',  't',
                            ' ',  0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x80, 0xBB, 0x00, 0x00, 0x00, 0xEE,
                            0x02, 0x00, 0x04, 0x00, 0x10, 0x00, 'd',  'a',  't',  'a',  0xE8, 0x03, 0x00, 0x00};
    EXPECT_EQ(header, expected);
}

TEST(CWAVWriterTest, RefusesWhatAHeaderCannotHoldAndFilesItCannotCreate)
{
    const SWAVFormat refused[] = {{0, 2, 16},         {48000, 0, 16},       {48000, 65536, 16},
                                  {48000, 2, 12},     {48000, 2, 40},       {48000, 65535, 32},
                                  {768000, 2048, 32}, {48000, 2, 16, true}, {48000, 2, 64, true}};
    for (const SWAVFormat& format : refused)
        EXPECT_THROW(makeWAVHeader(format, 0), lumo::CError)
            << format.sampleRate << " " << format.channelCount << " " << format.bitsPerSample << " " << format.bFloat;
    // The largest data that fits is even; odd data needs a pad byte more.
    EXPECT_NO_THROW(makeWAVHeader({8000, 1, 8}, 0xFFFFFFFFull - 37));
    EXPECT_THROW(makeWAVHeader({8000, 1, 8}, 0xFFFFFFFFull - 36), lumo::CError);
    // The float header's "fmt " and "fact" chunks take 14 bytes more.
    EXPECT_NO_THROW(makeWAVHeader({8000, 1, 32, true}, 0xFFFFFFFFull - 51));
    EXPECT_THROW(makeWAVHeader({8000, 1, 32, true}, 0xFFFFFFFFull - 50), lumo::CError);
    lumo::CTempFolder folder;
    EXPECT_THROW(CWAVWriter(folder.pathOf("missing/sound.wav"), {8000, 1, 8}), lumo::CError);
}

// The file is the header, the bytes as given and a pad byte after odd data; libsndfile reads the same sound back.
TEST(CWAVWriterTest, WritesTheBytesAfterTheHeaderAsLibsndfileReadsThem)
{
    // clang-format off
    const struct { SWAVFormat format; int major, subtype; } cases[] = {
        {{8000, 1, 8}, SF_FORMAT_WAV, SF_FORMAT_PCM_U8}, {{44100, 2, 16}, SF_FORMAT_WAV, SF_FORMAT_PCM_16},
        {{22050, 3, 16}, SF_FORMAT_WAVEX, SF_FORMAT_PCM_16}, {{48000, 2, 24}, SF_FORMAT_WAVEX, SF_FORMAT_PCM_24},
        {{96000, 1, 32}, SF_FORMAT_WAVEX, SF_FORMAT_PCM_32}, {{48000, 2, 32, true}, SF_FORMAT_WAV, SF_FORMAT_FLOAT},
        {{48000, 1, 32, true}, SF_FORMAT_WAV, SF_FORMAT_FLOAT},
        {{48000, 6, 32, true}, SF_FORMAT_WAVEX, SF_FORMAT_FLOAT},
    };
    // clang-format on
    lumo::CTempFolder folder;
    for (const auto& test : cases) {
        const SWAVFormat& format = test.format;
        SCOPED_TRACE(std::to_string(format.channelCount) + " channels, " + std::to_string(format.bitsPerSample) +
                     (format.bFloat ? " float" : "") + " bits");
        // An odd frame count, so that 8-bit mono data is padded.
        const int64_t frames = 301;
        // The writer takes the samples' bytes as they are: any bytes do.
        Bytes written(static_cast<size_t>(frames * format.channelCount * format.bitsPerSample / 8));
        for (size_t i = 0; i < written.size(); ++i)
            written[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
        const std::string path = folder.pathOf("read.wav");
        CWAVWriter writer(path, format);
        writer.append(written.data(), written.size() / 2);
        writer.append(nullptr, 0);
        writer.append(written.data() + written.size() / 2, written.size() - written.size() / 2);
        writer.finish();
        Bytes expected = makeWAVHeader(format, written.size());
        expected.insert(expected.end(), written.begin(), written.end());
        expected.resize(expected.size() + written.size() % 2);
        EXPECT_EQ(nebo::test::readWholeFile(path), std::string(expected.begin(), expected.end()));

        SF_INFO info{};
        SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
        ASSERT_TRUE(file) << sf_strerror(nullptr);
        EXPECT_EQ(std::tuple(info.format, info.samplerate, info.channels, info.frames),
                  std::tuple(test.major | test.subtype, format.sampleRate, format.channelCount, frames));
        Bytes read(written.size());
        EXPECT_EQ(sf_read_raw(file, read.data(), sf_count_t(read.size())), sf_count_t(read.size()));
        EXPECT_EQ(read, written);
        sf_close(file);
    }
}

} // namespace
} // namespace nebo::probe
