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

    // The failure of a call whose procedure the peer does not know; its
    // answer was read whole. The peer answers before it reads the request's
    // parameters, so only after a request without any are both ends still
    // in step, and only then may a caller go on without the procedure.
    static CRemoteException procedureNotFound(const String& procedureName);
    // True for the failure procedureNotFound made, whatever a peer's own
    // error text says.
    bool isProcedureNotFound() const { return m_bProcedureNotFound; }

    P<CException> clone() const override;

private:
    bool m_bProcedureNotFound = false;
};

} // namespace lumo
