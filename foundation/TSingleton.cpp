#include "foundation/TSingleton.h"

#include "foundation/CError.h"
#include "foundation/sync/IMutexFactory.h"

namespace lumo {

IMutex& getSingletonCreationLock()
{
    static IMutex* const lock = createMutexFactory()->createMutex().detach();
    return *lock;
}

void throwRecursiveSingletonCreation()
{
    throw CError("A process-wide instance was asked for while it was being created.", "");
}

} // namespace lumo
