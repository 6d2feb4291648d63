// Every shipped plugin, served by the real nebo_slave, decodes each kind of medium confined exactly as it does with the
// confinement off: the confinement takes nothing a decoder needs.
#include "boxed/CBoxedFixture.h"
#include "host/master/CEncapsulatedSource.h"
#include "host/plugin/ISource.h"
#include "support/CScopedEnvironment.h"
#include "support/writeTestClip.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using nebo::common::CEncapsulatedSource;
using nebo::testing::SAudioSettings;
using nebo::testing::STestClip;
using nebo::testing::SVideoSettings;

// What a source handed out, in order: each picture's layout, size, time and pixels; each sound chunk's time and bytes.
struct SDecoded {
    std::vector<std::string> items;
    std::vector<std::vector<uint8_t>> bytes;
};

struct SMedium {
    const char* plugin;
    const char* file; // written from `clip`; empty for the demo plugin's made-up clip
    STestClip clip;
    int32_t types;
};

constexpr int32_t pictures = nebo::common::pictureSourceType;
constexpr int32_t sound = nebo::common::soundSourceType;

const SMedium media[] = {
    {"nebo_demo", "", {}, pictures},
    {"nebo_avlib", "yv12.mkv", {SVideoSettings{"ffv1", "yuv420p"}, {}}, pictures},
    {"nebo_avlib", "nv12.nut", {SVideoSettings{"rawvideo", "nv12"}, {}}, pictures},
    {"nebo_avlib", "yuy2.avi", {SVideoSettings{"rawvideo", "yuyv422"}, {}}, pictures},
    {"nebo_avlib", "rgb.mkv", {SVideoSettings{"ffv1", "yuv444p"}, {}}, pictures},
    {"nebo_avlib",
     "h264.mp4",
     {SVideoSettings{"libx264", "yuv420p", 128, 96}, {SAudioSettings{"aac"}}},
     pictures | sound},
    {"nebo_avlib", "flac.mkv", {std::nullopt, {SAudioSettings{"flac", 44100, 2}}}, sound},
    {"nebo_sound", "tone.wav", {std::nullopt, {SAudioSettings{"pcm_s16le", 22050, 1}}}, sound},
    {"nebo_sound", "tone.flac", {std::nullopt, {SAudioSettings{"flac", 48000, 2}}}, sound},
};

class ConfinedDecodingTest : public nebo::test::CBoxedFixture {
protected:
    // Everything the medium holds, read through a slave of `medium.plugin` with NEBO_SANDBOX set to `confinement`.
    SDecoded decode(const SMedium& medium, const char* confinement)
    {
        const lumo::CScopedEnvironment setting("NEBO_SANDBOX", confinement);
        const P<lumo::CURI> uri = *medium.file
                                      ? lumo::CURI::fromNativePath(String::fromUTF8(m_clips.pathOf(medium.file)))
                                      : demoURI("w=40&h=30&frames=6");
        const P<CEncapsulatedSource> source =
            make<CEncapsulatedSource>(m_context, String(medium.plugin), *uri, medium.types, nullptr);
        source->open();
        SDecoded decoded;
        if (medium.types & pictures)
            while (const P<nebo::common::INEBPicture> picture = source->getNextPicture()) {
                const int32_t width = picture->getWidth();
                const int32_t height = picture->getHeight();
                decoded.items.push_back("picture of type " + std::to_string(picture->getType()) + ", " +
                                        std::to_string(width) + "x" + std::to_string(height) + " at " +
                                        std::to_string(picture->getTimestamp()));
                const P<lumo::IMemoryBlock> pixels = picture->getRGBData(0, 0, width, height);
                decoded.bytes.emplace_back(pixels->getData(), pixels->getData() + pixels->getSize());
            }
        if (medium.types & sound)
            while (const P<nebo::audio::IAudioChunk> chunk = source->getNextAudioChunk()) {
                decoded.items.push_back("sound at " + std::to_string(chunk->getTimestamp()));
                decoded.bytes.emplace_back(chunk->getData(), chunk->getData() + chunk->getDataSize());
            }
        source->close();
        return decoded;
    }

    lumo::CTempFolder m_clips;
};

TEST_F(ConfinedDecodingTest, EveryPluginDecodesEveryMediumAsWithTheConfinementOff)
{
    for (const SMedium& medium : media) {
        SCOPED_TRACE(std::string(medium.plugin) + " " + medium.file);
        if (*medium.file != '\0')
            nebo::testing::writeTestClip(m_clips.pathOf(medium.file), medium.clip);
        const SDecoded unconfined = decode(medium, "off");
        const SDecoded confined = decode(medium, nullptr);
        EXPECT_FALSE(confined.items.empty());
        EXPECT_EQ(confined.items, unconfined.items);
        EXPECT_TRUE(confined.bytes == unconfined.bytes);
    }
    // Only the confined slaves said they were confined, once each.
    EXPECT_EQ(nebo::test::countOf(logText(), "confinement in force"), std::size(media)) << logText();
}

} // namespace
