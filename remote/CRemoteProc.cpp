#include "remote/CRemoteProc.h"

#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

namespace lumo {

CRemoteProc::CRemoteProc(const String& name) : m_name(name) {}

const String& CRemoteProc::getName() const { return m_name; }

void CRemoteProc::addParameter(P<CRemoteVar> parameter) { m_parameters.push_back(std::move(parameter)); }

const CRemoteProc::Variables& CRemoteProc::getParameters() const { return m_parameters; }

void CRemoteProc::writeParameters(IDataOutStream& out) const { writeVariables(m_parameters, out); }

void CRemoteProc::readParameters(IDataInStream& in) const { readVariables(m_parameters, in); }

void CRemoteProc::writeVariables(const Variables& variables, IDataOutStream& out)
{
    for (const P<CRemoteVar>& variable : variables)
        variable->write(out);
}

void CRemoteProc::readVariables(const Variables& variables, IDataInStream& in)
{
    for (const P<CRemoteVar>& variable : variables)
        variable->read(in);
}

} // namespace lumo
