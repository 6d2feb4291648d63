#pragma once

#include "foundation/P.h"
#include "streams/IMemoryBlock.h"
#include "streams/ISerializable.h"

#include <cstdint>

namespace nebo::audio {

// A time stamp and a block of sample bytes. The sample format is the
// source's (rate, channels, bytes per sample). It crosses the pipe as the
// time stamp and the block.
class IAudioChunk : public virtual lumo::IBase, public virtual lumo::ISerializable {
public:
    // Seconds.
    virtual double getTimestamp() = 0;
    // The first sample byte; valid while the chunk lives and is not read into.
    virtual uint8_t* getData() = 0;
    virtual int32_t getDataSize() = 0;
    virtual lumo::P<lumo::IMemoryBlock> getMemoryBlock() = 0;
};

} // namespace nebo::audio
