#include "remote/CRemoteVarURI.h"

#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

namespace lumo {

CRemoteVarURI::CRemoteVarURI(const String& name, P<IURI> value) : CRemoteVar(name), m_value(std::move(value)) {}

P<IURI> CRemoteVarURI::getValue() const { return m_value; }

void CRemoteVarURI::setValue(P<IURI> value) { m_value = std::move(value); }

void CRemoteVarURI::write(IDataOutStream& out) { out.writeURI(m_value.get()); }

bool CRemoteVarURI::read(IDataInStream& in)
{
    m_value = in.readURI();
    return true;
}

} // namespace lumo
