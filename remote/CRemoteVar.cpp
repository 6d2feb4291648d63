#include "remote/CRemoteVar.h"

#include "remote/CRemoteException.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

namespace lumo {

CRemoteVar::CRemoteVar(const String& name) : m_name(name) {}

const String& CRemoteVar::getName() const { return m_name; }

void CRemoteVar::writeName(IDataOutStream& out) const { out.writeString(*m_name.get()); }

void CRemoteVar::checkName(IDataInStream& in) const
{
    if (in.readString() != m_name)
        throw CRemoteException("Parameter not expected");
}

} // namespace lumo
