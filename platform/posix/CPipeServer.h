#pragma once

#include "foundation/CObject.h"
#include "foundation/TFrailArray.h"
#include "foundation/sync/IMutex.h"
#include "platform/CPipeOutStreamBase.h"
#include "platform/IPipeServer.h"
#include "platform/IPipeServerListener.h"
#include "platform/IThread.h"
#include "platform/posix/CListeningSocket.h"
#include "platform/posix/CPipeAddress.h"
#include "platform/posix/CPipeClient.h"
#include "platform/posix/CWakeUpEvent.h"

#include <atomic>
#include <optional>
#include <vector>

namespace lumo::posix {

// The listening end of a pipe: a local socket at the pipe's address that
// only peers of the calling user (or root) get through. Connections from
// every server of the process are numbered by one counter.
//
// The accept loop runs on a thread of its own and calls the listeners
// there, under the server's mutex. The server must not be released for the
// last time from a listener's notification.
class CPipeServer : public CObject, public virtual IPipeServer {
public:
    class CConnection;
    class COutStream;

    // A stopped server of the pipe `name`. Throws as CPipeAddress does for
    // the name, and CError when the system refuses an event.
    explicit CPipeServer(const String& name);
    // Stops the accept loop and drops every connection.
    ~CPipeServer() override;

    // Does nothing while started. Throws the pipe folder's CException when
    // the folder is refused (see CPipeAddress), CException "The pipe path
    // '<path>' is taken by something that is not a socket" when something
    // else than a socket has the name (it is left alone), and CException
    // "Error starting Pipe Server" when a live server has the name or the
    // system refuses to listen.
    void start() override;
    // Throws the pipe folder's and the pipe path's CException as start()
    // does, and whatever the listener throws, at once. Clients of the
    // calling user (or root) whose process the listener does not expect are
    // dropped. Null when a live server has the name, when the listener says
    // no, or when the end tick passes before the expected client comes.
    P<IPipeClient> acceptClient(IPipeCreatedListener* listener) override;
    void stop() override;
    // The tick is a millisecond count of the monotonic clock (CLOCK_MONOTONIC).
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
    enum class EWakeUp { timeout, stop, client };

    void runAcceptLoop();
    // With bStopOnly the loop backs off after a failure: it waits for the
    // stop event alone.
    EWakeUp waitForWakeUp(bool bStopOnly);
    bool isPastEndTick() const;
    P<CPipeClient> addConnection(CFileDescriptor socket);
    void notifyListeners(void (IPipeServerListener::*notification)(IPipeServer&, IPipeClient&), IPipeClient& client);
    const CConnection& getConnectionAt(int32_t index, const char* method);

    String m_name;
    CPipeAddress m_address;
    P<IMutex> m_mutex;
    std::vector<CConnection> m_connections;
    P<TFrailArray<IPipeServerListener>> m_listeners;
    // Set from start() until stop() has joined the loop.
    P<IThread> m_thread;
    // The accept loop's own from start() until the loop ends.
    std::optional<CListeningSocket> m_listening;
    CWakeUpEvent m_stopEvent;
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

} // namespace lumo::posix
