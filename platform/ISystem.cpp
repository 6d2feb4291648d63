#include "platform/ISystem.h"

#include "foundation/TSingleton.h"

namespace lumo {

namespace {

TSingleton<ISystem> holder(&createSystem);

} // namespace

P<ISystem> getSystem() { return holder.get(); }

} // namespace lumo
