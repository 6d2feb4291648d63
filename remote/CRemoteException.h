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

    // The failure of a call whose procedure the peer does not know. The peer
    // read the whole request before it answered so, so the connection is
    // still in step: a caller may go on without the procedure.
    static CRemoteException procedureNotFound(const String& procedureName);
    bool isProcedureNotFound() const;

    P<CException> clone() const override;
};

} // namespace lumo
