// A master reads sound files through nebo_sound running in real slaves.
#include "boxed/CBoxedFixture.h"
#include "expectError.h"
#include "host/master/CEncapsulatedSource.h"
#include "media/CNEBError.h"
#include "plugins/sound/CSoundSource.h"
#include "soundFiles.h"

#include <gtest/gtest.h>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using nebo::common::CEncapsulatedSource;
using nebo::common::CNEBError;
using nebo::test::makeTone;
using nebo::test::readChunks;
using nebo::test::SSound;

constexpr int64_t chunkFrames = nebo::sound::CSoundSource::framesPerChunk;

class SoundAcrossSlaveTest : public nebo::test::CBoxedFixture {
protected:
    P<CEncapsulatedSource> boxedSource(const std::string& name)
    {
        return make<CEncapsulatedSource>(m_context, String("nebo_sound"), *m_files.uriOf(name), 2, nullptr);
    }

    lumo::CTempFolder m_files;
};

// What arrives is what libsndfile reads in this process, which for lossless files is what was written.
TEST_F(SoundAcrossSlaveTest, MasterReadsFilesAsTheLibraryDoes)
{
    // clang-format off
    const struct { const char* name; int format; SSound sound; } files[] = {
        {"mono.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, makeTone(32000, 1, chunkFrames + 1)},
        {"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, makeTone(48000, 2, 3 * chunkFrames)}};
    // clang-format on
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        nebo::test::writeSoundFile(m_files.pathOf(file.name), file.format, file.sound);
        P<CEncapsulatedSource> source = boxedSource(file.name);
        source->open();
        EXPECT_EQ(source->getSampleRate(), file.sound.rate);
        EXPECT_EQ(source->getChannelCount(), file.sound.channels);
        EXPECT_EQ(source->getBytesPerSample(), 2);
        EXPECT_DOUBLE_EQ(source->getDuration(), static_cast<double>(file.sound.frames()) / file.sound.rate);
        EXPECT_FALSE(source->getAudioStreamInfos());
        EXPECT_EQ(readChunks(*source).bytes, nebo::test::readAsDelivered(m_files.pathOf(file.name)));
        source->close();
    }
}

TEST_F(SoundAcrossSlaveTest, FailuresInTheSlaveReachTheMasterAsErrors)
{
    nebo::test::writeSoundFile(m_files.pathOf("one.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, makeTone(8000, 1, 10));
    P<CEncapsulatedSource> source = boxedSource("one.wav");
    source->open();
    // A procedure has no answer: the slave's error shows at the next call.
    source->setAudioStream(1);
    lumo::expectThrow<CNEBError>([&] { source->getSampleRate(); },
                                 [](const CNEBError& error) {
                                     EXPECT_NE(error.getDescription()->toUTF8().find("only sound stream 0"),
                                               std::string::npos);
                                 });
    EXPECT_THROW(source->close(), CNEBError);
}

} // namespace
