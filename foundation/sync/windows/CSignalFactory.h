#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/ISignalFactory.h"

namespace lumo::win32 {

class CSignalFactory : public CObject, public virtual ISignalFactory {
public:
    P<ISignal> createSignal() override;
};

} // namespace lumo::win32
