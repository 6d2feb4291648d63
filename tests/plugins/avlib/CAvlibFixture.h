#pragma once

// Clips written for a test in a folder of its own, the master's plugin
// handler that serves them from slaves, and what a master reads back.
#include "boxed/CBoxedFixture.h"
#include "foundation/castObject.h"
#include "host/CPluginHandler.h"
#include "host/IAudioSource.h"
#include "host/IVideoSource.h"
#include "support/decodeReference.h"
#include "support/writeTestClip.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nebo::test {

class CAvlibFixture : public CBoxedFixture {
protected:
    std::string writeClip(const std::string& name, const testing::STestClip& clip) const
    {
        const std::string path = m_clips.pathOf(name);
        testing::writeTestClip(path, clip);
        return path;
    }
    static testing::STestClip videoClip(const testing::SVideoSettings& video) { return {video, {}}; }
    static testing::STestClip soundClip(std::vector<testing::SAudioSettings> audio) { return {std::nullopt, audio}; }

    static lumo::P<lumo::CURI> uriOf(const std::string& path)
    {
        return lumo::CURI::fromNativePath(lumo::String::fromUTF8(path));
    }

    // A handler as a master has it: no plugin named, so the built-in ones,
    // each run in a slave.
    lumo::P<common::CPluginHandler> makeHandler() const { return lumo::make<common::CPluginHandler>(m_context, true); }

    static std::vector<uint8_t> bytesOf(common::INEBPicture& picture)
    {
        const lumo::P<lumo::IMemoryBlock> block =
            picture.getImagePlane(0, 0, 0, picture.getWidth(), picture.getHeight());
        return std::vector<uint8_t>(block->getData(), block->getData() + block->getSize());
    }

    // Checks that the source hands out exactly the reference pictures, then
    // none.
    static void expectPictures(common::IVideoSource& source, const std::vector<testing::SReferencePicture>& expected,
                               int32_t type)
    {
        for (size_t index = 0; index < expected.size(); ++index) {
            SCOPED_TRACE("picture " + std::to_string(index));
            expectPicture(source.getNextPicture(), expected[index], type);
        }
        EXPECT_FALSE(source.getNextPicture());
        EXPECT_TRUE(source.isEOF());
    }

    static void expectPicture(const lumo::P<common::INEBPicture>& picture, const testing::SReferencePicture& expected,
                              int32_t type)
    {
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->getType(), type);
        EXPECT_DOUBLE_EQ(picture->getTimestamp(), expected.timestamp);
        ASSERT_EQ(picture->getWidth(), expected.width);
        ASSERT_EQ(picture->getHeight(), expected.height);
        EXPECT_FALSE(picture->isBottomUp());
        EXPECT_TRUE(bytesOf(*picture) == expected.bytes);
    }

    // chunkStarts: the sample index of each chunk's first sample
    struct SSound { std::vector<int16_t> samples; std::vector<double> chunkTimes; std::vector<size_t> chunkStarts; };

    // Every chunk up to the end, or `maxChunks` of them.
    static SSound readSound(common::IAudioSource& source, size_t maxChunks = SIZE_MAX)
    {
        SSound sound;
        while (sound.chunkTimes.size() < maxChunks) {
            const lumo::P<audio::IAudioChunk> chunk = source.getNextAudioChunk();
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

} // namespace nebo::test
