#include "foundation/sync/IMutexFactory.h"

namespace lumo {

P<IMutexFactory> getMutexFactory()
{
    // Not a TSingleton, which sits above and locks with this floor; never
    // destroyed, so that what is released at exit may still use it.
    static IMutexFactory* const factory = createMutexFactory().detach();
    return factory;
}

} // namespace lumo
