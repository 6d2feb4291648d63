#pragma once

#include "foundation/CObject.h"
#include "platform/ISimpleThreadLocalStorage.h"

#include <windows.h>

namespace lumo::win32 {

class CSimpleThreadLocalStorage : public CObject, public virtual ISimpleThreadLocalStorage {
public:
    // Throws CError when the system has no slot left.
    CSimpleThreadLocalStorage();
    ~CSimpleThreadLocalStorage() override;

    // Throws CError when the system cannot keep the value.
    void setValue(void* value) override;
    // Leaves the calling thread's last error as it was.
    void* getValue() override;

private:
    DWORD m_index;
};

} // namespace lumo::win32
