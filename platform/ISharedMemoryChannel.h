#pragma once

#include "foundation/IBase.h"
#include "foundation/P.h"
#include "platform/ISharedMemory.h"

#include <cstdint>
#include <vector>

namespace lumo {

// A connection that carries shared memory to its peer beside its bytes.
// Both ends of a pipe connection are such channels. Thread-safe.
class ISharedMemoryChannel : public virtual IBase {
public:
    // The most regions one write carries, and one end keeps unclaimed.
    static constexpr int32_t maxRegions = 32;

    // `regions` leave with the next write on this connection, whichever
    // thread makes it, and reach the peer no later than that write's first
    // byte. Throws CInvalidArgError for more than maxRegions, or regions not
    // made by createSharedMemory.
    virtual void sendWithNextWrite(std::vector<P<ISharedMemory>> regions) = 0;
    // From now on regions that arrive are kept until taken, at most
    // maxRegions; further ones are closed unseen. Until then the system drops
    // what arrives.
    virtual void acceptSharedMemory() = 0;
    // The regions received since the last call, in their order, each mapped
    // whole. Throws CError when one cannot be mapped; the rest are dropped.
    virtual std::vector<P<ISharedMemory>> takeSharedMemory() = 0;
};

} // namespace lumo
