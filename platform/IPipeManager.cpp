#include "platform/IPipeManager.h"

#include "foundation/TSingleton.h"

namespace lumo {

namespace {

TSingleton<IPipeManager> holder(&createPipeManager);

} // namespace

P<IPipeManager> getPipeManager() { return holder.get(); }

} // namespace lumo
