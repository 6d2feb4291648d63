#pragma once

#include "foundation/CObject.h"
#include "foundation/TFrailArray.h"
#include "foundation/sync/IMutex.h"
#include "platform/CPipeOutStreamBase.h"
#include "platform/IPipeServer.h"
#include "platform/IPipeServerListener.h"
#include "platform/IThread.h"
#include "platform/windows/CPipeClient.h"
#include "platform/windows/CPipeHandle.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace lumo::win32 {

// The listening end of a named pipe. Its instances admit local clients only,
// of authenticated users and administrators; while the server holds no
// instance, a new one is made as the pipe's first, so that a pipe of the
// same name that another process made already is never joined. Connections
// from every server of the process are numbered by one counter.
//
// The accept loop runs on a thread of its own and calls the listeners
// there, under the server's mutex. The server must not be released for the
// last time from a listener's notification.
class CPipeServer : public CObject, public virtual IPipeServer {
public:
    class CConnection;
    class COutStream;

    // A stopped server of the pipe `name`. Throws CInvalidArgError as
    // toPipePath does for the name, and CError when the system refuses an
    // event.
    explicit CPipeServer(const String& name);
    // Stops the accept loop and drops every connection.
    ~CPipeServer() override;

    // Does nothing while started. Throws CException "Could not create DACL
    // for Pipe Server" when the security descriptor cannot be built, and
    // "Error starting Pipe Server" when another process has the name or the
    // system refuses the pipe.
    void start() override;
    // Throws the DACL's CException as start() does, and whatever the
    // listener throws, at once. Clients whose process the listener does not
    // expect are dropped. Null when another process has the name, when the
    // listener says no, or when the end tick passes before the expected
    // client comes.
    P<IPipeClient> acceptClient(IPipeCreatedListener* listener) override;
    void stop() override;
    // The tick is a getTickCount() value.
    void setEndTick(int64_t tick) override;
    bool isStarted() override;
    void lock() override;
    void unlock() override;
    int32_t getConnectionCount() override;
    // Throws CInvalidArgError for an index outside the connections.
    P<IPipeClient> getConnection(int32_t index) override;
    P<ISignal> getConnectedSignal() override;
    P<ISignal> getDisconnectedSignal() override;
    P<ISignal> getWaitingSignal() override;
    // Writes outside the mutex, so that a peer that is slow to read does
    // not hold up the accept loop.
    void writeToAll(const void* data, int32_t count) override;
    void checkConnections() override;
    // Throws CInvalidArgError for an interval below 1.
    void setWaitInterval(int32_t ms) override;
    String getPipePath() override;
    // Each call makes a new stream; a stream keeps its server alive.
    P<IPipeOutStream> getOutStream() override;
    void addListener(IPipeServerListener* listener) override;
    void removeListener(IPipeServerListener* listener) override;

    // The number that the connection at `index` drew from the process-wide
    // count. Throws CInvalidArgError for an index outside the connections.
    int32_t getConnectionNumber(int32_t index);

private:
    enum class EAccept { client, stopped, gaveUp, failed };
    // Asked between waits: false gives up.
    using GoOn = std::function<bool()>;

    void runAcceptLoop();
    // A new instance, listening; invalid when the system refuses it, also
    // when bFirst and the pipe exists. Throws CException "Could not create
    // DACL for Pipe Server".
    CPipeHandle createInstance(bool bFirst);
    bool holdsNoInstance();
    // Waits until a client that `listener` (may be null) expects has
    // connected to `instance`, in slices of the wait interval, asking
    // `goOn` after each slice and after each client it dropped. With
    // bStoppable the stop event ends the wait too.
    EAccept awaitClient(HANDLE instance, HANDLE connectedEvent, bool bStoppable, const GoOn& goOn,
                        IPipeCreatedListener* listener);
    // The client is the one expected: its process is known and, when there
    // is a listener, awaited by it.
    static bool isExpectedPeer(HANDLE instance, IPipeCreatedListener* listener);
    bool isPastEndTick() const;
    P<CPipeClient> addConnection(CPipeHandle pipe);
    void notifyListeners(void (IPipeServerListener::*notification)(IPipeServer&, IPipeClient&), IPipeClient& client);
    const CConnection& getConnectionAt(int32_t index, const char* method);

    String m_name;
    std::wstring m_path;
    P<IMutex> m_mutex;
    std::vector<CConnection> m_connections;
    P<TFrailArray<IPipeServerListener>> m_listeners;
    // Set from start() until stop() has joined the loop.
    P<IThread> m_thread;
    // The instance start() made, the loop's own once it runs.
    CPipeHandle m_loopInstance;
    // Manual-reset: set by stop() until the next start().
    CPipeHandle m_stopEvent;
    // The accept loop's, for its pending connects.
    CPipeHandle m_loopConnectEvent;
    std::atomic<int32_t> m_waitInterval{1000};
    std::atomic<int64_t> m_endTick{0};
    P<ISignal> m_connected;
    P<ISignal> m_disconnected;
    P<ISignal> m_waiting;
};

// One accepted client and its number.
class CPipeServer::CConnection {
public:
    CConnection(int32_t number, P<CPipeClient> client) : m_number(number), m_client(std::move(client)) {}

    int32_t getNumber() const { return m_number; }
    const P<CPipeClient>& getClient() const { return m_client; }

private:
    int32_t m_number;
    P<CPipeClient> m_client;
};

// The server's broadcast: a write goes to every connected client.
class CPipeServer::COutStream : public CPipeOutStreamBase {
public:
    explicit COutStream(P<CPipeServer> server);

    void write(const void* data, int32_t count) override;
    // True while the server has no connection.
    bool isClosed() override;

private:
    P<CPipeServer> m_server;
};

} // namespace lumo::win32
