#include "platform/IPathes.h"

#include "foundation/TSingleton.h"

namespace lumo {

namespace {

TSingleton<IPathes> holder(&createPathes);

} // namespace

P<IPathes> getPathes() { return holder.get(); }

} // namespace lumo
