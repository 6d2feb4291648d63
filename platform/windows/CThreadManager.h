#pragma once

#include "foundation/CObject.h"
#include "platform/IThreadManager.h"

namespace lumo::win32 {

class CThreadManager : public CObject, public virtual IThreadManager {
public:
    P<IThread> createThread(const CThreadCallable& callable) override;
    void yield(bool bShort) override;
    void sleep(uint32_t ms) override;
    // GetCurrentThreadId(), as system tools show it.
    uint64_t getCurrentThreadID() override;
};

} // namespace lumo::win32
