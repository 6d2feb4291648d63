#pragma once

#include <cstdint>

namespace nebo::common {

// What a master allows its slaves. Every length, count and wait that comes
// from a slave is checked against these before anything is allocated or
// waited for; a slave that goes beyond one is ended and the call fails with
// CNEBError. The defaults keep a master well below 256 MB however its
// slaves behave.
struct SSlaveLimits {
    // Every wait for a slave: connecting, each call, closing.
    int32_t timeoutMs = 10000;
    // Texts: log, "Error:" replies, names, keywords.
    uint32_t maxStringBytes = 16u << 20;
    // Items of a list: extensions, audio streams.
    int32_t maxItemCount = 65536;
    // A source announcing a larger picture is refused; a picture is never
    // larger than its source announced.
    int32_t maxPictureSide = 16384;
    int64_t maxPicturePixels = int64_t{1} << 26;
    int32_t maxAudioChunkBytes = 64 << 20;
    // What is read of an error file; the rest is cut and the cut is said.
    int32_t maxErrorFileBytes = 1 << 20;
    // The address space a slave may take, in bytes; the slave's own
    // confinement enforces it, told by NEBO_SLAVE_MAX_ADDRESS_SPACE.
    int64_t maxSlaveAddressSpace = int64_t{4} << 30;
    // How many new slaves a source may start to resume after failures (see
    // INEBContext::setResumeAfterSlaveFailure).
    int32_t maxRestartsPerSource = 3;
};

} // namespace nebo::common
