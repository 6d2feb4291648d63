// nebo_avlib as a master sees it, served from a real slave, against the library's own decoders on the same clips.
#include "plugins/avlib/CAvlibSource.h"

#include "boxed/CBoxedFixture.h"
#include "foundation/CFileNotFoundError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "foundation/castObject.h"
#include "host/plugin/CAudioStreamInfos.h"
#include "media/CNEBError.h"
#include "streams/CMemoryManager.h"
#include "support/CScopedEnvironment.h"
#include "support/decodeReference.h"
#include "support/writeTestClip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <mutex>
#include <tuple>

namespace {

using lumo::make;
using lumo::P;
using nebo::common::IAudioSource;
using nebo::common::IVideoSource;
using nebo::testing::ELayout;
using nebo::testing::SAudioSettings;
using nebo::testing::SVideoSettings;

// Clips written in the test's own folder, the master's handler that serves them from slaves, and what it reads.
class CAvlibSourceTest : public nebo::test::CBoxedFixture {
protected:
    std::string writeClip(const std::string& name, const nebo::testing::STestClip& clip) const
    {
        const std::string path = m_clips.pathOf(name);
        nebo::testing::writeTestClip(path, clip);
        return path;
    }

    // A handler as a master has it: no plugin named, so the built-in ones, each run in a slave.
    P<nebo::common::CPluginHandler> makeHandler() const { return make<nebo::common::CPluginHandler>(m_context, true); }

    // In this process, without a slave: for what would end a slave. Not opened yet.
    P<nebo::avlib::CAvlibSource> sourceHere(const std::string& name, int32_t nTypes) const
    {
        return make<nebo::avlib::CAvlibSource>(*m_clips.uriOf(name), nTypes, make<lumo::CMemoryManager>(30), nullptr);
    }

    // Checks that the source hands out exactly the reference pictures, then none.
    static void expectPictures(IVideoSource& source, const std::vector<nebo::testing::SReferencePicture>& expected,
                               int32_t type)
    {
        for (size_t index = 0; index < expected.size(); ++index) {
            SCOPED_TRACE("picture " + std::to_string(index));
            expectPicture(source.getNextPicture(), expected[index], type);
        }
        EXPECT_FALSE(source.getNextPicture());
        EXPECT_TRUE(source.isEOF());
    }

    static void expectPicture(const P<nebo::common::INEBPicture>& picture,
                              const nebo::testing::SReferencePicture& expected, int32_t type)
    {
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->getType(), type);
        EXPECT_DOUBLE_EQ(picture->getTimestamp(), expected.timestamp);
        ASSERT_EQ(picture->getWidth(), expected.width);
        ASSERT_EQ(picture->getHeight(), expected.height);
        EXPECT_FALSE(picture->isBottomUp());
        const P<lumo::IMemoryBlock> block = picture->getImagePlane(0, 0, 0, expected.width, expected.height);
        EXPECT_TRUE(std::vector<uint8_t>(block->getData(), block->getData() + block->getSize()) == expected.bytes);
    }

    // chunkStarts: the sample index of each chunk's first sample
    struct SSound {
        std::vector<int16_t> samples;
        std::vector<double> chunkTimes;
        std::vector<size_t> chunkStarts;
    };

    // Every chunk up to the end, or `maxChunks` of them.
    static SSound readSound(IAudioSource& source, size_t maxChunks = SIZE_MAX)
    {
        SSound sound;
        while (sound.chunkTimes.size() < maxChunks) {
            const P<nebo::audio::IAudioChunk> chunk = source.getNextAudioChunk();
            if (!chunk)
                break;
            sound.chunkTimes.push_back(chunk->getTimestamp());
            sound.chunkStarts.push_back(sound.samples.size());
            const auto* samples = reinterpret_cast<const int16_t*>(chunk->getData());
            sound.samples.insert(sound.samples.end(), samples, samples + chunk->getDataSize() / 2);
        }
        return sound;
    }

    lumo::CTempFolder m_clips;
};

TEST_F(CAvlibSourceTest, PicturesEqualTheDecodersInTheirLayout)
{
    // clang-format off
    const struct { const char* file; SVideoSettings video; ELayout layout; int32_t type; } clips[] = {
        {"yv12.mkv", {"ffv1", "yuv420p"}, ELayout::YV12, 4}, {"nv12.nut", {"rawvideo", "nv12"}, ELayout::NV12, 3},
        {"yuy2.avi", {"rawvideo", "yuyv422"}, ELayout::YUY2, 2}, {"bgra.avi", {"rawvideo", "bgra"}, ELayout::RGB, 1},
        {"yuv444.mkv", {"ffv1", "yuv444p"}, ELayout::RGB, 1}, {"p10.mkv", {"ffv1", "yuv420p10le"}, ELayout::YV12, 4},
        {"odd.mkv", {"ffv1", "yuv420p", 63, 47}, ELayout::RGB, 1},
        // Decoded as more rows than they show: planes spaced for them.
        {"h264.mkv", {"libx264", "yuv420p", 128, 96}, ELayout::YV12, 4},
        {"mpeg4.mkv", {"mpeg4", "yuv420p", 128, 88}, ELayout::YV12, 4},
    };
    // clang-format on
    for (const auto& test : clips) {
        SCOPED_TRACE(test.file);
        const std::string path = writeClip(test.file, {test.video, {}});
        const auto expected = nebo::testing::decodeReferencePictures(path, test.layout);
        ASSERT_EQ(expected.size(), size_t(test.video.frames));
        for (const char* sharing : {"on", "off"}) {
            SCOPED_TRACE(std::string("shared pictures ") + sharing);
            const lumo::CScopedEnvironment shared("NEBO_SHARED_PICTURES", sharing);
            const P<nebo::common::CPluginHandler> handler = makeHandler();
            P<IVideoSource> source = handler->tryCreateVideoSource(*m_clips.uriOf(test.file), true);
            ASSERT_TRUE(source);
            EXPECT_EQ(std::tuple(source->getPluginName().toUTF8(), source->getWidth(), source->getHeight(),
                                 source->getFrameRateNum(), source->getFrameRateDen()),
                      std::tuple("nebo_avlib", test.video.width, test.video.height, test.video.fps, 1));
            EXPECT_DOUBLE_EQ(source->getFrameDuration(), 1.0 / test.video.fps);
            EXPECT_NEAR(source->getDuration(), double(test.video.frames) / test.video.fps, 0.05);
            EXPECT_DOUBLE_EQ(source->peekNextPictureTimestamp(), expected[0].timestamp);
            expectPictures(*source, expected, test.type);
        }
    }
}

TEST_F(CAvlibSourceTest, SoundEqualsTheDecodersAsSixteenBitSamples)
{
    const std::pair<const char*, SAudioSettings> clips[] = {
        {"flac.mkv", {"flac", 44100, 2}}, {"aac.mp4", {"aac", 48000, 1}}, {"pcm.wav", {"pcm_s16le", 22050, 2}}};
    const P<nebo::common::CPluginHandler> handler = makeHandler();
    for (const auto& [file, audio] : clips) {
        SCOPED_TRACE(file);
        const std::string path = writeClip(file, {std::nullopt, {audio}});
        const std::vector<int16_t> expected = nebo::testing::decodeReferenceSound(path);
        P<IAudioSource> source = handler->tryCreateAudioSource(*m_clips.uriOf(file), 0, 0, 0, true);
        ASSERT_TRUE(source);
        EXPECT_EQ(source->getSampleRate(), audio.rate);
        EXPECT_EQ(source->getChannelCount(), audio.channels);
        EXPECT_EQ(source->getBytesPerSample(), 2);
        const SSound sound = readSound(*source);
        EXPECT_TRUE(sound.samples == expected) << sound.samples.size() << " samples, expected " << expected.size();
        // Each chunk is stamped with the time of its first sample.
        for (size_t index = 1; index < sound.chunkTimes.size(); ++index)
            EXPECT_NEAR(sound.chunkTimes[index] - sound.chunkTimes[0],
                        double(sound.chunkStarts[index] / audio.channels) / audio.rate, 0.002);
        EXPECT_TRUE(source->isEOF());
    }
}

// A transport stream has no index: a seek may land past the time, or find nothing near the end; reading goes back.
TEST_F(CAvlibSourceTest, SkipGoesOnWithTheFirstPictureAndSampleAtOrAfterTheTime)
{
    // clang-format off
    const struct { const char *file, *encoder; bool bSound; } clips[] = {
        {"seek.nut", "mpeg4", true}, {"seek.mp4", "libx264", false}, {"seek.ts", "libx264", false}};
    // clang-format on
    // The sound's time stamps are exact in these containers.
    const SAudioSettings audio{"pcm_s16le", 48000, 2, 0.6};
    const P<nebo::common::CPluginHandler> handler = makeHandler();
    for (const auto& clip : clips) {
        SCOPED_TRACE(clip.file);
        const std::string path = writeClip(clip.file, {SVideoSettings{clip.encoder, "yuv420p", 64, 48, 25, 12, 4},
                                                       std::vector<SAudioSettings>(clip.bSound ? 1 : 0, audio)});
        const auto pictures = nebo::testing::decodeReferencePictures(path, ELayout::YV12);
        const std::vector<int16_t> samples =
            clip.bSound ? nebo::testing::decodeReferenceSound(path) : std::vector<int16_t>();
        ASSERT_EQ(pictures.size(), 12u);
        P<nebo::common::ISource> source = handler->tryCreateSource(*m_clips.uriOf(clip.file), 0, 0, 0, true);
        ASSERT_TRUE(source);
        const P<IVideoSource> video = lumo::castObject<IVideoSource>(source);
        const P<IAudioSource> sound = lumo::castObject<IAudioSource>(source);
        // Key frames come every fourth picture: between them forward and back, onto one, to the start, near the end.
        for (const double time : {0.25, 0.05, 0.32, 0.0, 0.43}) {
            SCOPED_TRACE("skip to " + std::to_string(time));
            source->skipToTime(time);
            const auto next = std::find_if(pictures.begin(), pictures.end(),
                                           [time](const auto& picture) { return picture.timestamp >= time; });
            ASSERT_NE(next, pictures.end());
            EXPECT_DOUBLE_EQ(video->peekNextPictureTimestamp(), next->timestamp);
            expectPicture(video->getNextPicture(), *next, 4);
            if (!clip.bSound)
                continue;
            const SSound heard = readSound(*sound, 2);
            ASSERT_FALSE(heard.chunkTimes.empty());
            const size_t first = size_t(std::ceil(time * audio.rate)) * audio.channels;
            EXPECT_NEAR(heard.chunkTimes[0], double(first / audio.channels) / audio.rate, 1e-9);
            ASSERT_LE(first + heard.samples.size(), samples.size());
            EXPECT_TRUE(std::equal(heard.samples.begin(), heard.samples.end(), samples.begin() + long(first)));
        }
        source->skipToTime(10.0);
        EXPECT_FALSE(video->getNextPicture());
        EXPECT_FALSE(sound->getNextAudioChunk());
        EXPECT_TRUE(source->isEOF());
    }
}

// Counts the blocks asked for by size, telling pictures copied from the decoder's memory from ones decoded in place.
class CCountingMemoryManager : public lumo::CObject, public virtual lumo::IMemoryManager {
public:
    P<lumo::IMemoryBlock> allocate(int32_t capacity) override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_counts[capacity];
        return m_memory->allocate(capacity);
    }
    void purge() override { m_memory->purge(); }
    int countOf(int32_t capacity)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_counts[capacity];
    }

private:
    const P<lumo::IMemoryManager> m_memory = make<lumo::CMemoryManager>(30);
    std::mutex m_mutex;
    std::map<int32_t, int> m_counts;
};

// Pictures decoded in place share memory with the decoder's reference frames; each is kept while decoding goes on.
TEST_F(CAvlibSourceTest, PicturesKeptWhileDecodingGoesOnStayAsTheDecoderMadeThem)
{
    const struct {
        const char* file;
        SVideoSettings video;
        int32_t maxWidth, maxHeight; // 0: no limit; else the scaled size
        bool bDecodedInPlace;
    } clips[] = {
        {"mpeg4.nut", {"mpeg4", "yuv420p", 128, 96, 25, 12, 4}, 0, 0, true},
        // Rows past the picture: the planes are spaced for them.
        {"spaced.nut", {"mpeg4", "yuv420p", 128, 88, 25, 12, 4}, 0, 0, true},
        {"ffv1.mkv", {"ffv1", "yuv420p", 256, 64, 25, 6}, 0, 0, true},
        // Frames decoded into lent blocks, then scaled.
        {"scaled.nut", {"mpeg4", "yuv420p", 128, 96, 25, 6, 3}, 64, 48, false},
        // Its motion compensation reads rows below the plane, which spacing keeps.
        {"h264.mp4", {"libx264", "yuv420p", 128, 96, 25, 12, 4}, 0, 0, true},
    };
    for (const auto& test : clips) {
        SCOPED_TRACE(test.file);
        const std::string path = writeClip(test.file, {test.video, {}});
        const auto expected =
            nebo::testing::decodeReferencePictures(path, ELayout::YV12, test.maxWidth, test.maxHeight);
        const P<CCountingMemoryManager> memory = make<CCountingMemoryManager>();
        const P<nebo::avlib::CAvlibSource> source = make<nebo::avlib::CAvlibSource>(
            *m_clips.uriOf(test.file), nebo::common::pictureSourceType, memory, nullptr);
        source->setMaxSize(test.maxWidth, test.maxHeight);
        source->open();
        std::vector<P<nebo::common::INEBPicture>> kept;
        while (const P<nebo::common::INEBPicture> picture = source->getNextPicture())
            kept.push_back(picture);
        source->close();
        // A block of exactly a picture's size is one the picture was copied or converted into (reading the pixels
        // below makes such blocks too).
        const int32_t pictureBytes = expected[0].width * expected[0].height * 3 / 2;
        EXPECT_EQ(memory->countOf(pictureBytes) == 0, test.bDecodedInPlace);

        ASSERT_EQ(kept.size(), expected.size());
        for (size_t index = 0; index < kept.size(); ++index) {
            SCOPED_TRACE("picture " + std::to_string(index));
            expectPicture(kept[index], expected[index], nebo::common::yv12PictureType);
        }
    }
}

TEST_F(CAvlibSourceTest, MaxSizeScalesLargerPicturesDownKeepingTheirAspect)
{
    const std::string path = writeClip("large.mkv", {SVideoSettings{"ffv1", "yuv420p", 320, 240, 25, 3}, {}});
    const P<nebo::common::CPluginHandler> handler = makeHandler();
    P<IVideoSource> source = handler->tryCreateVideoSource(*m_clips.uriOf("large.mkv"), true);
    ASSERT_TRUE(source);
    struct SLimit {
        int32_t maxWidth, maxHeight, width, height;
    };
    // 240 * 100 / 320 is 75, made even; no limit gives the picture back its own size.
    for (const SLimit limit : {SLimit{160, 120, 160, 120}, SLimit{100, 100, 100, 74}, SLimit{0, 0, 320, 240}}) {
        SCOPED_TRACE(std::to_string(limit.maxWidth) + "x" + std::to_string(limit.maxHeight));
        source->setMaxSize(limit.maxWidth, limit.maxHeight);
        // Pictures fetched ahead of the change keep their size: start over.
        source->skipToTime(0.0);
        EXPECT_EQ(source->getWidth(), limit.width);
        EXPECT_EQ(source->getHeight(), limit.height);
        const bool bScaled = limit.width != 320;
        expectPictures(*source,
                       nebo::testing::decodeReferencePictures(path, ELayout::YV12, bScaled ? limit.width : 0,
                                                              bScaled ? limit.height : 0),
                       4);
    }
}

TEST_F(CAvlibSourceTest, AnotherAudioStreamGoesOnFromWhereTheSoundStood)
{
    const std::string path = writeClip(
        "switch.nut", {std::nullopt, {{"pcm_s16le", 48000, 2, 0.4, "", 0}, {"pcm_s16le", 48000, 2, 0.4, "", 1}}});
    const P<nebo::avlib::CAvlibSource> source = sourceHere("switch.nut", 2);
    source->open();
    const SSound before = readSound(*source, 3);
    const size_t stood = before.samples.size();
    const std::vector<int16_t> first = nebo::testing::decodeReferenceSound(path, 0);
    EXPECT_TRUE(std::equal(before.samples.begin(), before.samples.end(), first.begin()));

    source->setAudioStream(1);
    const SSound after = readSound(*source);
    const std::vector<int16_t> second = nebo::testing::decodeReferenceSound(path, 1);
    // Tracks of their own tones, or a stream left unchanged would pass.
    ASSERT_NE(first, second);
    ASSERT_FALSE(after.chunkTimes.empty());
    EXPECT_NEAR(after.chunkTimes[0], double(stood / 2) / 48000, 1e-9);
    EXPECT_TRUE(std::vector<int16_t>(second.begin() + long(stood), second.end()) == after.samples);

    for (const int32_t wrong : {-1, 2})
        EXPECT_THROW(source->setAudioStream(wrong), lumo::CInvalidArgError);
}

// Pictures are numbered in the file, sound tracks as the list of audio streams numbers them: what setAudioStream takes.
TEST_F(CAvlibSourceTest, FactsNumberTheStreamsAsTheSourceDoes)
{
    const std::vector<SAudioSettings> tracks = {{"flac", 48000, 2, 0.2, "eng", 0}, {"flac", 8000, 1, 0.2, "fra", 1}};
    writeClip("numbered.mkv", {SVideoSettings{"ffv1", "yuv420p"}, tracks});
    const P<nebo::avlib::CAvlibSource> source = sourceHere("numbered.mkv", 3);
    EXPECT_THROW(source->getMediumFacts(), lumo::CInvalidObjectStateError);
    source->open();
    const nebo::common::SMediumFacts facts = source->getMediumFacts()->get();
    ASSERT_EQ(facts.pictureStreams.size(), 1u);
    EXPECT_EQ(facts.pictureStreams[0].index, 0);
    const auto infos = lumo::castObject<nebo::common::CAudioStreamInfos>(source->getAudioStreamInfos());
    ASSERT_EQ(facts.soundTracks.size(), infos->getStreams().size());
    for (size_t i = 0; i < facts.soundTracks.size(); ++i) {
        EXPECT_EQ(facts.soundTracks[i].index, infos->getStreams()[i].nIndex);
        EXPECT_EQ(facts.soundTracks[i].language.toUTF8(), infos->getStreams()[i].language.toUTF8());
    }
    EXPECT_TRUE(facts.deliveredSampleFormat.isEmpty());
}

TEST_F(CAvlibSourceTest, FilesTheLibraryCannotReadFailCleanly)
{
    writeClip("whole.mkv", {SVideoSettings{"ffv1", "yuv420p"}, {}});
    m_clips.put("truncated.mkv", m_clips.get("whole.mkv").substr(0, 400));
    std::string garbage;
    for (int index = 0; index < 5000; ++index)
        garbage += char((index * 7919) % 251);
    m_clips.put("garbage.mp4", garbage);

    const P<nebo::common::CPluginHandler> handler = makeHandler();
    const std::pair<const char*, const char*> files[] = {{"truncated.mkv", "could not open the file"},
                                                         {"garbage.mp4", "Invalid data found when processing input"}};
    for (const auto& [name, reason] : files) {
        SCOPED_TRACE(name);
        const P<lumo::IURI> uri = m_clips.uriOf(name);
        // The handler tries the plugin and goes on; the plugin itself reports the failure to its master.
        EXPECT_FALSE(handler->tryCreateVideoSource(*uri, true));
        P<nebo::common::ISource> source = handler->getPlugin(0)->tryCreateSource(*uri, 1, true, nullptr);
        ASSERT_TRUE(source);
        EXPECT_THROW(source->open(), nebo::common::CNEBError);
        source = nullptr;
        // The master's log tells why.
        EXPECT_NE(logText().find(reason), std::string::npos) << logText();
    }
    EXPECT_THROW(sourceHere("missing.mkv", 3)->open(), lumo::CFileNotFoundError);
}

} // namespace
