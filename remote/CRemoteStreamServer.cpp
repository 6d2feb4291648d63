#include "remote/CRemoteStreamServer.h"

#include "foundation/sync/ISignalFactory.h"

namespace lumo {

CRemoteStreamServer::CRemoteStreamServer(P<IInStream> input, P<IOutStream> output)
    : CRemoteStreamClient(std::move(input), std::move(output)), m_quitSignal(getSignalFactory()->createSignal())
{
    registerProc(make<QuitProc>(this));
}

CRemoteStreamServer::~CRemoteStreamServer() { stopThreadInDestructor(); }

void CRemoteStreamServer::quit() { m_quitSignal->set(); }

P<ISignal> CRemoteStreamServer::getQuitSignal() { return m_quitSignal; }

} // namespace lumo
