#include "remote/CRemoteFunction.h"

namespace lumo {

CRemoteFunction::CRemoteFunction(const String& name) : CRemoteProc(name) {}

bool CRemoteFunction::isVoid() const { return false; }

void CRemoteFunction::addResult(P<CRemoteVar> result) { m_results.push_back(std::move(result)); }

const CRemoteProc::Variables& CRemoteFunction::getResults() const { return m_results; }

void CRemoteFunction::writeResults(IDataOutStream& out) const { writeVariables(m_results, out); }

void CRemoteFunction::readResults(IDataInStream& in) const { readVariables(m_results, in); }

} // namespace lumo
