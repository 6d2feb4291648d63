#include "platform/IThreadManager.h"

#include "foundation/TSingleton.h"

namespace lumo {

namespace {

TSingleton<IThreadManager> holder(&createThreadManager);

} // namespace

P<IThreadManager> getThreadManager() { return holder.get(); }

} // namespace lumo
