#pragma once

#include "remote/CRemoteStreamClient.h"

namespace lumo {

class ISignal;

// An endpoint that serves "Quit": when the peer calls it, or the owner calls
// quit(), the quit signal is raised. The owner serves until it sees the
// signal, then releases the server.
class CRemoteStreamServer : public CRemoteStreamClient {
public:
    // Throws CInvalidArgError when a stream is null.
    CRemoteStreamServer(P<IInStream> input, P<IOutStream> output);
    // Stops a running worker while the server's own members still exist.
    ~CRemoteStreamServer() override;

    // Raises the quit signal; sends nothing.
    void quit() override;
    // Raised once "Quit" was served; the server never resets it.
    P<ISignal> getQuitSignal();

private:
    const P<ISignal> m_quitSignal;
};

} // namespace lumo
