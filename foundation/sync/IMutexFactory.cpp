#include "foundation/sync/IMutexFactory.h"

#include "foundation/TSingleton.h"

namespace lumo {

namespace {

TSingleton<IMutexFactory> holder(&createMutexFactory);

} // namespace

P<IMutexFactory> getMutexFactory()
{
    return holder.get();
}

} // namespace lumo
