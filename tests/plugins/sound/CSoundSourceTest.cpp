#include "plugins/sound/CSoundSource.h"

#include "expectError.h"
#include "foundation/CError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "platform/CTempFolder.h"
#include "soundFiles.h"
#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using lumo::make;
using lumo::P;
using nebo::sound::CSoundSource;
using nebo::test::makeTone;
using nebo::test::readChunks;
using nebo::test::SSound;

constexpr int64_t chunkFrames = CSoundSource::framesPerChunk;

class CSoundSourceTest : public ::testing::Test {
protected:
    P<CSoundSource> sourceFor(const std::string& name)
    {
        return make<CSoundSource>(*m_folder.uriOf(name), make<lumo::CMemoryManager>(4));
    }
    P<CSoundSource> openedSource(const std::string& name, int format, const SSound& sound)
    {
        nebo::test::writeSoundFile(m_folder.pathOf(name), format, sound);
        P<CSoundSource> source = sourceFor(name);
        source->open();
        return source;
    }

    lumo::CTempFolder m_folder;
};

TEST_F(CSoundSourceTest, HandsOutLosslessFilesSampleForSampleInStampedChunks)
{
    struct { const char* name; int format; SSound sound; } files[] = {
        {"stereo.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, makeTone(44100, 2, 2 * chunkFrames + 100)},
        {"mono.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, makeTone(22050, 1, chunkFrames)},
        {"three.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, makeTone(8000, 3, 10)},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        P<CSoundSource> source = openedSource(file.name, file.format, file.sound);
        EXPECT_FALSE(source->isEOF());

        const nebo::test::SChunkRead read = readChunks(*source);
        EXPECT_EQ(read.samples, file.sound.samples);

        // Opened again, the file starts over.
        source->close();
        EXPECT_FALSE(source->isOpened());
        source->open();
        EXPECT_EQ(readChunks(*source).samples, file.sound.samples);
    }
}

TEST_F(CSoundSourceTest, SkipsToTheFirstFrameAtOrAfterTheTime)
{
    const SSound sound = makeTone(44100, 2, 2 * chunkFrames + 7);
    P<CSoundSource> source = openedSource("skip.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, sound);
    const double rate = sound.rate;
    struct { double seconds; int64_t firstFrame; } skips[] = {
        {chunkFrames / rate, chunkFrames}, // a chunk's own time stamp
        {1000.5 / rate, 1001},
        {0.0, 0}, {-3.0, 0},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {(sound.frames() - 1) / rate, sound.frames() - 1},
    };
    for (const auto& skip : skips) {
        SCOPED_TRACE(skip.seconds);
        source->skipToTime(skip.seconds);
        EXPECT_FALSE(source->isEOF());
        const std::vector<int16_t> rest(sound.samples.begin() + skip.firstFrame * sound.channels, sound.samples.end());
        EXPECT_EQ(readChunks(*source, skip.firstFrame).samples, rest);
    }
    for (const double pastTheEnd : {sound.frames() / rate, 60.0, std::numeric_limits<double>::infinity()}) {
        source->skipToTime(pastTheEnd);
        EXPECT_TRUE(source->isEOF());
        EXPECT_FALSE(source->getNextAudioChunk());
    }
}

TEST_F(CSoundSourceTest, FilesItCannotReadFailToOpenNamingFileAndCause)
{
    nebo::test::writeSoundFile(m_folder.pathOf("whole.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, makeTone(8000, 1, 100));
    m_folder.put("cut.wav", m_folder.get("whole.wav").substr(0, 30));
    m_folder.put("garbage.wav", std::string(4000, 'x'));
    for (const char* name : {"cut.wav", "garbage.wav", "missing.wav"}) {
        SCOPED_TRACE(name);
        P<CSoundSource> source = sourceFor(name);
        lumo::expectThrow<lumo::CError>([&] { source->open(); }, [&](const lumo::CError& error) {
            const std::string description = error.getDescription()->toUTF8(), path = m_folder.pathOf(name);
            EXPECT_EQ(description.rfind(path + ": ", 0), 0u) << description;
            EXPECT_GT(description.size(), path.size() + 2) << description;
        });
        EXPECT_FALSE(source->isOpened());
        EXPECT_THROW(source->getNextAudioChunk(), lumo::CInvalidObjectStateError);
        EXPECT_THROW(source->skipToTime(0), lumo::CInvalidObjectStateError);
    }
}

TEST_F(CSoundSourceTest, DataCutShortEndsTheSoundWhereTheBytesEnd)
{
    const SSound sound = makeTone(8000, 2, chunkFrames + 50);
    nebo::test::writeSoundFile(m_folder.pathOf("whole.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, sound);
    const std::string whole = m_folder.get("whole.wav");
    // Half a frame past the first 1000 frames: the header still promises them all.
    m_folder.put("short.wav", whole.substr(0, whole.size() - sound.samples.size() * 2 + 1000 * 4 + 2));
    P<CSoundSource> source = sourceFor("short.wav");
    source->open();
    const std::vector<int16_t> read = readChunks(*source).samples;
    ASSERT_EQ(read.size(), 2000u);
    EXPECT_TRUE(std::equal(read.begin(), read.end(), sound.samples.begin()));
}

} // namespace
