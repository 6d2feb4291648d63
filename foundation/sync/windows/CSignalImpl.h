#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/ISignal.h"

#include <windows.h>

namespace lumo::win32 {

// A manual-reset event of the system.
class CSignalImpl : public CObject, public virtual ISignal {
public:
    // Not set. Throws CError "Error creating event (%ERRORDESC%).".
    CSignalImpl();
    ~CSignalImpl() override;

    void set() override;
    void reset() override;
    bool isSet() override;
    bool wait(uint64_t timeoutMs) override;

private:
    HANDLE m_event;
};

} // namespace lumo::win32
