#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutexFactory.h"

namespace lumo::win32 {

class CMutexFactory : public CObject, public virtual IMutexFactory {
public:
    P<IMutex> createMutex() override;
    P<IMutex> createGlobalMutex(const String& name) override;
};

} // namespace lumo::win32
