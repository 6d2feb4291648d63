#include "foundation/sync/ISignalFactory.h"

namespace lumo {

P<ISignalFactory> getSignalFactory()
{
    // Not a TSingleton, which sits above and locks with this floor; never
    // destroyed, so that what is released at exit may still use it.
    static ISignalFactory* const factory = createSignalFactory().detach();
    return factory;
}

} // namespace lumo
