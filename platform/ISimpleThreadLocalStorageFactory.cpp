#include "platform/ISimpleThreadLocalStorageFactory.h"

#include "foundation/TSingleton.h"

namespace lumo {

namespace {

TSingleton<ISimpleThreadLocalStorageFactory> holder(&createSimpleThreadLocalStorageFactory);

} // namespace

P<ISimpleThreadLocalStorageFactory> getSimpleThreadLocalStorageFactory() { return holder.get(); }

} // namespace lumo
