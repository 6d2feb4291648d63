#pragma once

#include "foundation/CObject.h"
#include "host/wire/IBufferLender.h"
#include "platform/ISharedMemory.h"
#include "streams/IMemoryBlock.h"

#include <atomic>
#include <vector>

namespace nebo::common {

// The master's ring of shared picture buffers, handed to the slave once. A
// picture that arrives in buffer i holds it until its block's last reference
// goes; the next request tells the slave that i is free. Nothing the slave
// names is trusted (see takeBlock). Thread-safe: pictures are released on
// any thread.
class CSharedPictureRing : public lumo::CObject, public virtual IBufferLender {
public:
    // `count` buffers (1 to ISharedPictureServer::maxRingBuffers) of
    // `bufferBytes` bytes. Throws CInvalidArgError for a count out of range,
    // and what createSharedMemory throws.
    CSharedPictureRing(int32_t count, int64_t bufferBytes);

    const std::vector<lumo::P<lumo::ISharedMemory>>& getBuffers() const { return m_buffers; }
    int64_t getBufferBytes() const { return m_bufferBytes; }

    // `length` bytes at `offset` of buffer `index`, as a block that holds
    // the buffer until its last reference goes. Throws CNEBError for an
    // index outside the ring, a buffer still held, or bytes reaching outside
    // the buffer.
    lumo::P<lumo::IMemoryBlock> takeBlock(int32_t index, int32_t offset, int32_t length);
    // One bit for each buffer released since the last call; forgets them.
    int32_t takeReleased();

    // Called by a block as its last reference goes.
    void giveBack(int32_t index) noexcept override;

private:
    const std::vector<lumo::P<lumo::ISharedMemory>> m_buffers;
    const int64_t m_bufferBytes;
    std::atomic<uint32_t> m_held{0};
    std::atomic<uint32_t> m_released{0};
};

} // namespace nebo::common
