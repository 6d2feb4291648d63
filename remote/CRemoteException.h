#pragma once

#include "foundation/CException.h"

namespace lumo {

// The failure of a remote call: a protocol error, a missing procedure, a
// parameter that is not the expected one, or an error text the peer sent.
// The message is the general description and the description is empty, as
// for the other errors of the wire format (the object marker check).
class CRemoteException : public CException {
public:
    explicit CRemoteException(const String& message);

    P<CException> clone() const override;
};

} // namespace lumo
