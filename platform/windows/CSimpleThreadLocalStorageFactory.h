#pragma once

#include "foundation/CObject.h"
#include "platform/ISimpleThreadLocalStorageFactory.h"

namespace lumo::win32 {

class CSimpleThreadLocalStorageFactory : public CObject, public virtual ISimpleThreadLocalStorageFactory {
public:
    P<ISimpleThreadLocalStorage> createStorage() override;
};

} // namespace lumo::win32
