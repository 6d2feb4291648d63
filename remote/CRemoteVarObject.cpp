#include "remote/CRemoteVarObject.h"

#include "remote/CRemoteException.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

namespace lumo {

CRemoteVarObject::CRemoteVarObject(const String& name, P<ISerializable> value)
    : CRemoteVar(name), m_value(value), m_target(std::move(value))
{
}

P<ISerializable> CRemoteVarObject::getValue() const { return m_value; }

void CRemoteVarObject::setValue(P<ISerializable> value)
{
    if (!m_target)
        m_target = value;
    m_value = std::move(value);
}

P<ISerializable> CRemoteVarObject::getTarget() const { return m_target; }

void CRemoteVarObject::setTarget(P<ISerializable> target) { m_target = std::move(target); }

void CRemoteVarObject::write(IDataOutStream& out)
{
    writeName(out);
    out.writeObject(m_value.get());
}

bool CRemoteVarObject::read(IDataInStream& in)
{
    checkName(in);
    if (m_target) {
        m_value = in.readObject(*m_target);
        return true;
    }
    // Without a target only a null object can be taken: its flag is all
    // there is to read.
    if (!in.readBool())
        throw CRemoteException("CRemoteVarObject: an object arrived but there is no object to read it into");
    m_value = nullptr;
    return true;
}

} // namespace lumo
