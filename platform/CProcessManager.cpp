#include "platform/CProcessManager.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"

#include <algorithm>

namespace lumo {

CProcessManager::CProcessManager() : m_mutex(getMutexFactory()->createMutex()) {}

void CProcessManager::addFactory(const P<IProcessFactory>& factory)
{
    if (!factory)
        throw CInvalidArgError("the factory must not be null", "addFactory", this);
    CScopedLock lock(m_mutex);
    m_factories.push_back(factory);
}

void CProcessManager::removeFactory(IProcessFactory* factory)
{
    CScopedLock lock(m_mutex);
    m_factories.erase(std::remove_if(m_factories.begin(), m_factories.end(),
                                     [factory](const P<IProcessFactory>& known) { return known.get() == factory; }),
                      m_factories.end());
}

P<IProcess> CProcessManager::tryCreateProcess(const P<IURI>& executable, const String& arguments,
                                              const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                                              int32_t priority)
{
    if (!executable)
        throw CInvalidArgError("the executable must not be null", "createProcess", this);
    CScopedLock lock(m_mutex);
    // A copy, so that a factory that removes itself does not cut the search short.
    const std::vector<P<IProcessFactory>> factories = m_factories;
    for (const P<IProcessFactory>& factory : factories)
        if (P<IProcess> process = factory->tryCreateProcess(executable, arguments, workingDirectory, other, priority))
            return process;
    return nullptr;
}

P<IProcess> CProcessManager::createProcess(const P<IURI>& executable, const String& arguments,
                                           const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                                           int32_t priority)
{
    return createProcessOrThrow(*this, executable, arguments, workingDirectory, other, priority);
}

P<IProcessManager> createProcessManager()
{
    P<CProcessManager> manager = make<CProcessManager>();
    manager->addFactory(createPlatformProcessFactory());
    return manager;
}

} // namespace lumo
