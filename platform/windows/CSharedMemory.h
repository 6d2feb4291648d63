#pragma once

#include "foundation/CObject.h"
#include "platform/ISharedMemory.h"

#include <windows.h>

namespace lumo::win32 {

// Shared memory as a section backed by the paging file, mapped whole for
// reading and writing. A section keeps the size it was made with for good,
// so no holder of it can make another's mapping fault.
class CSharedMemory : public CObject, public virtual ISharedMemory {
public:
    // A new section of `size` bytes (see createSharedMemory); a size beyond
    // the address space throws CError.
    explicit CSharedMemory(int64_t size);
    ~CSharedMemory() override;

    uint8_t* getData() override;
    int64_t getSize() override;
    bool prepareForWriting(int64_t bytes) override;
    // The section, for handing over; stays owned by this object.
    HANDLE getHandle() const { return m_section; }

private:
    int64_t m_size;
    HANDLE m_section = nullptr;
    uint8_t* m_data = nullptr;
};

} // namespace lumo::win32
