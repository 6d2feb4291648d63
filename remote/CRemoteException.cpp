#include "remote/CRemoteException.h"

namespace lumo {

namespace {

const char notFoundPrefix[] = "Remote Procedure not found on host: ";

} // namespace

CRemoteException::CRemoteException(const String& message) : CException(String(), message)
{
}

CRemoteException CRemoteException::procedureNotFound(const String& procedureName)
{
    return CRemoteException(String(notFoundPrefix) + procedureName);
}

bool CRemoteException::isProcedureNotFound() const
{
    return String(getGeneralDescription()).toUTF8().rfind(notFoundPrefix, 0) == 0;
}

P<CException> CRemoteException::clone() const
{
    return make<CRemoteException>(*this);
}

} // namespace lumo
