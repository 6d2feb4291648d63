#include "platform/getStreamManager.h"

#include "foundation/TSingleton.h"
#include "platform/createDiskStreamFactory.h"
#include "streams/CStreamManager.h"

namespace lumo {

namespace {

TSingleton<IStreamManager> holder(&createStreamManager);

} // namespace

P<IStreamManager> createStreamManager()
{
    P<CStreamManager> manager = make<CStreamManager>();
    manager->registerFactory(createDiskStreamFactory());
    return manager;
}

P<IStreamManager> getStreamManager() { return holder.get(); }

} // namespace lumo
