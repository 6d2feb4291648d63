#include "remote/CRemoteException.h"

namespace lumo {

CRemoteException::CRemoteException(const String& message) : CException(String(), message) {}

CRemoteException CRemoteException::procedureNotFound(const String& procedureName)
{
    CRemoteException error(String("Remote Procedure not found on host: ") + procedureName);
    error.m_bProcedureNotFound = true;
    return error;
}

P<CException> CRemoteException::clone() const { return make<CRemoteException>(*this); }

} // namespace lumo
