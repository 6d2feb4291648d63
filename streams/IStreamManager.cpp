#include "streams/IStreamManager.h"

#include "foundation/TSingleton.h"

namespace lumo {

namespace {

TSingleton<IStreamManager> holder(&createStreamManager);

} // namespace

P<IStreamManager> getStreamManager()
{
    return holder.get();
}

} // namespace lumo
