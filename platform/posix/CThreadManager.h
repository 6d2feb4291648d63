#pragma once

#include "foundation/CObject.h"
#include "platform/IThreadManager.h"

namespace lumo::posix {

class CThreadManager : public CObject, public virtual IThreadManager {
public:
    P<IThread> createThread(const CThreadCallable& callable) override;
    void yield(bool bShort) override;
    void sleep(uint32_t ms) override;
    // The kernel's thread identity, as system tools show it.
    uint64_t getCurrentThreadID() override;
};

} // namespace lumo::posix
