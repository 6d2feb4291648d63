#include "plugins/sound/CSoundSource.h"

#include "expectError.h"
#include "foundation/CError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "platform/CTempFolder.h"
#include "soundFiles.h"
#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <tuple>

namespace {

using lumo::make;
using lumo::P;
using nebo::sound::CSoundSource;
using nebo::test::makeTone;
using nebo::test::readAsDelivered;
using nebo::test::readChunks;
using nebo::test::SSound;
using Text = std::pair<std::string, std::string>;

constexpr int64_t chunkFrames = CSoundSource::framesPerChunk;

class CSoundSourceTest : public ::testing::Test {
protected:
    P<CSoundSource> sourceFor(const std::string& name)
    {
        return make<CSoundSource>(*m_folder.uriOf(name), make<lumo::CMemoryManager>(4));
    }

    lumo::CTempFolder m_folder;
};

// Sample for sample as written, from wherever the source was put; reopened, it starts over.
TEST_F(CSoundSourceTest, SkipsToTheFirstFrameAtOrAfterTheTimeAndReopensAtTheStart)
{
    const SSound sound = makeTone(44100, 2, 2 * chunkFrames + 7);
    nebo::test::writeSoundFile(m_folder.pathOf("skip.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, sound);
    P<CSoundSource> source = sourceFor("skip.wav");
    source->open();
    const double rate = sound.rate;
    // To a chunk's own time stamp, between frames, the start, before it, no time at all, the last frame.
    // clang-format off
    const std::pair<double, int64_t> skips[] = {
        {chunkFrames / rate, chunkFrames}, {1000.5 / rate, 1001}, {0.0, 0}, {-3.0, 0},
        {std::numeric_limits<double>::quiet_NaN(), 0}, {(sound.frames() - 1) / rate, sound.frames() - 1}};
    // clang-format on
    for (const auto& [seconds, firstFrame] : skips) {
        SCOPED_TRACE(seconds);
        source->skipToTime(seconds);
        EXPECT_FALSE(source->isEOF());
        const std::vector<int16_t> rest(sound.samples.begin() + firstFrame * sound.channels, sound.samples.end());
        EXPECT_EQ(readChunks(*source, firstFrame).samples, rest);
    }
    for (const double pastTheEnd : {sound.frames() / rate, 60.0, std::numeric_limits<double>::infinity()}) {
        source->skipToTime(pastTheEnd);
        EXPECT_TRUE(source->isEOF());
        EXPECT_FALSE(source->getNextAudioChunk());
    }
    source->close();
    EXPECT_FALSE(source->isOpened());
    source->open();
    EXPECT_FALSE(source->isEOF());
    EXPECT_EQ(readChunks(*source).samples, sound.samples);
}

TEST_F(CSoundSourceTest, FilesItCannotReadFailToOpenNamingFileAndCause)
{
    nebo::test::writeSoundFile(m_folder.pathOf("whole.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, makeTone(8000, 1, 100));
    m_folder.put("cut.wav", m_folder.get("whole.wav").substr(0, 30));
    m_folder.put("garbage.wav", std::string(4000, 'x'));
    for (const char* name : {"cut.wav", "garbage.wav", "missing.wav"}) {
        SCOPED_TRACE(name);
        P<CSoundSource> source = sourceFor(name);
        lumo::expectThrow<lumo::CError>([&] { source->open(); },
                                        [&](const lumo::CError& error) {
                                            const std::string description = error.getDescription()->toUTF8(),
                                                              path = m_folder.pathOf(name);
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

// A sound file of any sample format from a tone in doubles, with a title and artist; floats go beyond full scale.
void writeDeepFile(const std::string& path, int format, int32_t channels, int64_t frames)
{
    SF_INFO info{0, 48000, channels, format, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_TRUE(file) << path << ": " << sf_strerror(nullptr);
    const bool bFloat = (format & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT;
    std::vector<double> samples;
    for (int64_t i = 0; i < frames * channels; ++i)
        samples.push_back(bFloat && i % 97 == 0 ? 1.5 : 0.9 * std::sin(0.0123 * static_cast<double>(i * i % 7919)));
    sf_set_string(file, SF_STR_TITLE, "Tön title");
    sf_set_string(file, SF_STR_ARTIST, "artist");
    EXPECT_EQ(sf_writef_double(file, samples.data(), frames), frames);
    sf_close(file);
}

// Three-byte samples widened as libsndfile hands 24-bit ones out: in the upper bytes of 32-bit integers.
std::vector<uint8_t> widen24(const std::vector<uint8_t>& packed)
{
    std::vector<uint8_t> wide;
    for (size_t at = 0; at + 3 <= packed.size(); at += 3) {
        const uint32_t value =
            uint32_t{packed[at]} << 8 | uint32_t{packed[at + 1]} << 16 | uint32_t{packed[at + 2]} << 24;
        uint8_t bytes[4];
        std::memcpy(bytes, &value, 4);
        wide.insert(wide.end(), bytes, bytes + 4);
    }
    return wide;
}

TEST_F(CSoundSourceTest, DeliversTheFilesPrecisionAndStatesItsFacts)
{
    // clang-format off
    const struct {
        const char* name; int format; int32_t channels, bytesPerSample;
        const char *delivered, *container, *codec, *sampleFormat; int32_t bits; bool bPlain;
    } files[] = {
        {"deep.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 3, "", "wav", "pcm_s24", "s24", 24, true},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 4, "f32", "wav", "pcm_f32", "f32", 32, true},
        {"double.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 2, 4, "f32", "wav", "pcm_f64", "f64", 64, true},
        {"wide.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_32, 3, 4, "", "aiff", "pcm_s32", "s32", 32, true},
        {"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 2, "", "flac", "flac", "s16", 16, false},
        {"deep.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 2, 3, "", "flac", "flac", "s24", 24, false},
    };
    // clang-format on
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        const int64_t frames = chunkFrames + 33;
        writeDeepFile(m_folder.pathOf(file.name), file.format, file.channels, frames);
        P<CSoundSource> source = sourceFor(file.name);
        EXPECT_THROW(source->getMediumFacts(), lumo::CInvalidObjectStateError);
        source->open();
        ASSERT_EQ(source->getBytesPerSample(), file.bytesPerSample);

        const bool bFloat = std::string(file.delivered) == "f32";
        const std::vector<uint8_t> delivered = readChunks(*source).bytes;
        ASSERT_EQ(delivered.size(), static_cast<size_t>(frames * file.channels * file.bytesPerSample));
        EXPECT_TRUE((file.bytesPerSample == 3 ? widen24(delivered) : delivered) ==
                    readAsDelivered(m_folder.pathOf(file.name), file.bytesPerSample, bFloat));

        const nebo::common::SMediumFacts facts = source->getMediumFacts()->get();
        EXPECT_EQ(facts.deliveredSampleFormat.toUTF8(), file.delivered);
        EXPECT_EQ(facts.container.toUTF8(), file.container);
        EXPECT_FALSE(facts.containerDescription.isEmpty());
        std::vector<Text> tags;
        for (const auto& [name, value] : facts.tags)
            tags.emplace_back(name.toUTF8(), value.toUTF8());
        EXPECT_NE(std::find(tags.begin(), tags.end(), Text("title", "Tön title")), tags.end());
        EXPECT_NE(std::find(tags.begin(), tags.end(), Text("artist", "artist")), tags.end());
        ASSERT_EQ(facts.soundTracks.size(), 1u);
        const nebo::common::SSoundTrackFacts& track = facts.soundTracks[0];
        const char* layout = file.channels == 1 ? "mono" : file.channels == 2 ? "stereo" : "3 channels";
        EXPECT_EQ(std::tuple(track.index, track.codec.toUTF8(), track.sampleFormat.toUTF8(), track.bitsPerSample,
                             track.channelLayout.toUTF8(), track.bitRate),
                  std::tuple(0, file.codec, file.sampleFormat, file.bits, layout,
                             file.bPlain ? int64_t{48000} * file.channels * file.bits : 0));
    }
}

} // namespace
