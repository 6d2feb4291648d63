#pragma once

#include "foundation/CObject.h"
#include "platform/ISharedMemory.h"
#include "platform/posix/CFileDescriptor.h"

namespace lumo::posix {

// Shared memory as a memory file, mapped whole for reading and writing.
class CSharedMemory : public CObject, public virtual ISharedMemory {
public:
    // A new sealed memory file of `size` bytes (see createSharedMemory).
    explicit CSharedMemory(int64_t size);
    // Maps a received memory file, whose size is what it holds now. Throws
    // CError when it cannot be learned or mapped; an empty file is refused
    // so.
    explicit CSharedMemory(CFileDescriptor file);
    ~CSharedMemory() override;

    uint8_t* getData() override;
    int64_t getSize() override;
    bool prepareForWriting(int64_t bytes) override;
    // The memory file, for handing over; stays owned by this object.
    int getDescriptor() const { return m_file.get(); }

private:
    void map();

    CFileDescriptor m_file;
    int64_t m_size = 0;
    uint8_t* m_data = nullptr;
};

} // namespace lumo::posix
