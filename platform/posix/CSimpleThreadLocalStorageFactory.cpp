#include "platform/posix/CSimpleThreadLocalStorageFactory.h"

#include "platform/posix/CSimpleThreadLocalStorage.h"

namespace lumo::posix {

P<ISimpleThreadLocalStorage> CSimpleThreadLocalStorageFactory::createStorage()
{
    return make<CSimpleThreadLocalStorage>();
}

} // namespace lumo::posix

namespace lumo {

P<ISimpleThreadLocalStorageFactory> createSimpleThreadLocalStorageFactory()
{
    return make<posix::CSimpleThreadLocalStorageFactory>();
}

} // namespace lumo
