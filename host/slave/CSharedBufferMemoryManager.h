#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"
#include "host/wire/IBufferLender.h"
#include "platform/ISharedMemory.h"
#include "streams/IMemoryManager.h"

#include <vector>

namespace nebo::common {

// The slave's side of the picture buffers its master shares, and its
// plugin's memory manager. Once it has the buffers, allocateShareable (for
// a picture) makes the block in a free buffer it fits, so that the picture
// reaches the master without a copy; other blocks come from the inner
// manager. A buffer is in use while a block of it lives or the master holds
// a picture in it. Blocks never take the last free buffer: a picture made
// elsewhere still finds one to be copied into. Thread-safe.
class CSharedBufferMemoryManager : public lumo::CObject,
                                   public virtual lumo::IMemoryManager,
                                   public virtual IBufferLender {
public:
    // No buffer is shared where no index is.
    static constexpr int32_t noBuffer = -1;

    // Throws CInvalidArgError for a null inner manager.
    explicit CSharedBufferMemoryManager(lumo::P<lumo::IMemoryManager> inner);

    lumo::P<lumo::IMemoryBlock> allocate(int32_t capacity) override;
    lumo::P<lumo::IMemoryBlock> allocateShareable(int32_t capacity) override;
    void purge() override;

    // Takes the master's buffers, all free: 1 to
    // ISharedPictureServer::maxRingBuffers buffers of one size. False, and
    // nothing taken, for any other list or once it has buffers.
    bool takeBuffers(std::vector<lumo::P<lumo::ISharedMemory>> buffers);
    // The master let go of the buffers whose bits `mask` sets; other bits
    // are ignored.
    void releaseToSlave(uint32_t mask);
    // Hands `size` bytes at `pixels` to the master: the index of the buffer
    // they lie at the start of already, or of a free buffer they are copied
    // into, which the master holds from then on; noBuffer when none holds
    // them.
    int32_t handOver(const uint8_t* pixels, int64_t size);
    // Called by the last reference of a block in buffer `index`.
    void giveBack(int32_t index) noexcept override;

private:
    uint32_t usedBits() const { return m_heldByMaster | m_heldByBlocks; }
    // A free buffer of at least `size` bytes, or noBuffer. Under the lock.
    int32_t findFree(int64_t size) const;
    // The buffer whose data starts at `pixels`, or noBuffer. Under the lock.
    int32_t findStartingAt(const uint8_t* pixels) const;
    // Readies the first `bytes` bytes of buffer `index` for the picture
    // about to be written there, once per buffer and size. Under the lock.
    void prepareBuffer(int32_t index, int64_t bytes);

    const lumo::P<lumo::IMemoryManager> m_inner;
    const lumo::P<lumo::IMutex> m_mutex;
    std::vector<lumo::P<lumo::ISharedMemory>> m_buffers;
    // For each buffer, how many of its first bytes are ready for writing.
    std::vector<int64_t> m_preparedBytes;
    // Bit i: buffer i holds a picture the master has not released.
    uint32_t m_heldByMaster = 0;
    // Bit i: a block lives in buffer i.
    uint32_t m_heldByBlocks = 0;
};

} // namespace nebo::common
