#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/ISignalFactory.h"

namespace lumo::posix {

class CSignalFactory : public CObject, public virtual ISignalFactory {
public:
    P<ISignal> createSignal() override;
};

} // namespace lumo::posix
