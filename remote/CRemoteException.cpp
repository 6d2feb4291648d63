#include "remote/CRemoteException.h"

namespace lumo {

CRemoteException::CRemoteException(const String& message) : CException(String(), message)
{
}

P<CException> CRemoteException::clone() const
{
    return make<CRemoteException>(*this);
}

} // namespace lumo
