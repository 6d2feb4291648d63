#include "platform/IProcessManager.h"

#include "foundation/TSingleton.h"

namespace lumo {

namespace {

TSingleton<IProcessManager> holder(&createProcessManager);

} // namespace

P<IProcessManager> getProcessManager() { return holder.get(); }

} // namespace lumo
