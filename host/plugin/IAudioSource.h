#pragma once

#include "host/plugin/IAudioStreamInfos.h"
#include "host/plugin/ISource.h"
#include "media/IAudioChunk.h"

namespace nebo::common {

// A source of sound.
class IAudioSource : public virtual ISource {
public:
    // The streams to choose from, or null.
    virtual lumo::P<IAudioStreamInfos> getAudioStreamInfos() = 0;
    virtual void setAudioStream(int32_t nAudioIndex) = 0;
    // The next chunk, or null after the last one.
    virtual lumo::P<audio::IAudioChunk> getNextAudioChunk() = 0;
    virtual int32_t getSampleRate() = 0;
    virtual int32_t getChannelCount() = 0;
    virtual int32_t getBytesPerSample() = 0;
};

} // namespace nebo::common
