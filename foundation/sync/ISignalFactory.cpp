#include "foundation/sync/ISignalFactory.h"

#include "foundation/TSingleton.h"

namespace lumo {

namespace {

TSingleton<ISignalFactory> holder(&createSignalFactory);

} // namespace

P<ISignalFactory> getSignalFactory()
{
    return holder.get();
}

} // namespace lumo
