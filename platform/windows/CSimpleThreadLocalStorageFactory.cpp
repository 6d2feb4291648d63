#include "platform/windows/CSimpleThreadLocalStorageFactory.h"

#include "platform/windows/CSimpleThreadLocalStorage.h"

namespace lumo::win32 {

P<ISimpleThreadLocalStorage> CSimpleThreadLocalStorageFactory::createStorage()
{
    return make<CSimpleThreadLocalStorage>();
}

} // namespace lumo::win32

namespace lumo {

P<ISimpleThreadLocalStorageFactory> createSimpleThreadLocalStorageFactory()
{
    return make<win32::CSimpleThreadLocalStorageFactory>();
}

} // namespace lumo
