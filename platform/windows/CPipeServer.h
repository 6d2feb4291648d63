#pragma once

#include "platform/CPipeServerBase.h"
#include "platform/windows/CPipeHandle.h"

#include <functional>
#include <string>

namespace lumo::win32 {

// The listening end of a named pipe. Its instances admit local clients only,
// of authenticated users and administrators; while the server holds no
// instance, a new one is made as the pipe's first, so that a pipe of the
// same name that another process made already is never joined.
class CPipeServer : public CPipeServerBase {
public:
    // A stopped server of the pipe `name`. Throws CInvalidArgError as
    // toPipePath does for the name, and CError when the system refuses an
    // event.
    explicit CPipeServer(const String& name);
    // Stops the accept loop and drops every connection.
    ~CPipeServer() override;

    // Throws the DACL's CException as start() does, and whatever the
    // listener throws, at once. Clients whose process the listener does not
    // expect are dropped. Null when another process has the name, when the
    // listener says no, or when the end tick passes before the expected
    // client comes.
    P<IPipeClient> acceptClient(IPipeCreatedListener* listener) override;

private:
    enum class EAccept { client, stopped, gaveUp, failed };
    // Asked between waits: false gives up.
    using GoOn = std::function<bool()>;

    // What start() throws: CException "Could not create DACL for Pipe
    // Server" when the security descriptor cannot be built, and "Error
    // starting Pipe Server" when another process has the name or the
    // system refuses the pipe.
    void openLoopPipe() override;
    void closeLoopPipe() override;
    void runAcceptLoop() override;
    void wakeLoopToStop() override;
    void clearStopRequest() override;
    // A new instance, listening; invalid when the system refuses it, also
    // when bFirst and the pipe exists. Throws CException "Could not create
    // DACL for Pipe Server".
    CPipeHandle createInstance(bool bFirst);
    // Waits until a client that `listener` (may be null) expects has
    // connected to `instance`, in slices of the wait interval, asking
    // `goOn` after each slice and after each client it dropped. With
    // bStoppable the stop event ends the wait too.
    EAccept awaitClient(HANDLE instance, HANDLE connectedEvent, bool bStoppable, const GoOn& goOn,
                        IPipeCreatedListener* listener);
    // The client is the one expected: its process is known and, when there
    // is a listener, awaited by it.
    static bool isExpectedPeer(HANDLE instance, IPipeCreatedListener* listener);
    P<IPipeClient> addInstance(CPipeHandle pipe);

    std::wstring m_path;
    // The instance start() made, the loop's own once it runs.
    CPipeHandle m_loopInstance;
    // Manual-reset: set by stop() until the next start().
    CPipeHandle m_stopEvent;
    // The accept loop's, for its pending connects.
    CPipeHandle m_loopConnectEvent;
};

} // namespace lumo::win32
