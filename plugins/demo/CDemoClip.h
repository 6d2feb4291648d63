#pragma once

#include "foundation/String.h"
#include "media/IAudioChunk.h"
#include "media/INEBPicture.h"
#include "plugins/demo/demoFaults.h"
#include "streams/IMemoryManager.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nebo::demo {

constexpr const char* pluginName = "nebo_demo";

// A synthetic clip, described by the query of a ".demo" URI: "key=value"
// pairs joined by "&" set the picture size (w, h), the layout (fmt: rgb,
// yuy2, nv12, yv12), the frame rate (fps), the number of pictures (frames),
// and the sound (rate, channels). Its pictures and sound are pure functions
// of their position, so a reader can check every byte it receives.
//
// For trying out the host, "fail" names a way to misbehave (see
// EDemoFault) at every picture; "failat=open" moves the fault to opening,
// "failat=N" to picture N (counted from 0) and the sound chunk that holds
// its time, so that a slave which resumes after it does not meet it again.
// "delay" makes every picture take that many milliseconds. "title" names
// the clip in its facts (up to 256 bytes, taken as they stand).
//
// Any other key is refused rather than passed over, so that a misspelt one
// cannot leave a test or a user with a clip they did not ask for.
struct CDemoClip {
    int32_t width = 320;
    int32_t height = 240;
    int32_t pictureType = common::nv12PictureType;
    int32_t framesPerSecond = 25;
    int32_t frameCount = 250;
    int32_t sampleRate = 48000;
    int32_t channelCount = 2;
    EDemoFault fault = EDemoFault::none;
    bool bFailAtOpen = false;
    std::optional<int32_t> faultPicture;
    int32_t delayMs = 0;
    std::string title;

    static constexpr int32_t framesPerChunk = 1024;
    static constexpr int32_t bytesPerSample = 2;

    // The clip a query describes. Throws lumo::CParseError naming the first
    // key that is unknown or whose value is not valid, or the sizes that
    // do not suit the layout.
    static CDemoClip fromQuery(const lumo::String& query);

    double getDuration() const;
    double getPictureTime(int64_t index) const;
    double getChunkTime(int64_t index) const;
    // The first picture (chunk) whose time stamp is not below `seconds`.
    int64_t getFirstPictureAt(double seconds) const;
    int64_t getFirstChunkAt(double seconds) const;
    // Sound frames in the whole clip: as many as its duration holds.
    int64_t getSoundFrameCount() const;
    // Whether the fault strikes when picture (chunk) `index` is asked for.
    bool strikesAtPicture(int64_t index) const;
    bool strikesAtChunk(int64_t index) const;

    // Picture `index`, which must be below the frame count, top row first.
    lumo::P<common::INEBPicture> makePicture(int64_t index, const lumo::P<lumo::IMemoryManager>& memory) const;
    // Chunk `index`, or null once the sound is over; the last one may be short.
    lumo::P<audio::IAudioChunk> makeChunk(int64_t index, const lumo::P<lumo::IMemoryManager>& memory) const;
};

} // namespace nebo::demo
