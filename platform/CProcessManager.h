#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"
#include "platform/IProcessManager.h"

#include <vector>

namespace lumo {

// See IProcessManager. Starts with no factory. The factories are asked with
// the manager's lock held, so that one start finishes before the next
// begins; the lock is recursive, so a factory may still call the manager.
class CProcessManager : public CObject, public virtual IProcessManager {
public:
    CProcessManager();

    void addFactory(const P<IProcessFactory>& factory) override;
    void removeFactory(IProcessFactory* factory) override;

    P<IProcess> tryCreateProcess(const P<IURI>& executable, const String& arguments,
                                 const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                                 int32_t priority) override;
    P<IProcess> createProcess(const P<IURI>& executable, const String& arguments, const PFrail<IURI>& workingDirectory,
                              const PFrail<IBase>& other, int32_t priority) override;

private:
    P<IMutex> m_mutex;
    std::vector<P<IProcessFactory>> m_factories;
};

} // namespace lumo
