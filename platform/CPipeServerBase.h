#pragma once

#include "foundation/CObject.h"
#include "foundation/TFrailArray.h"
#include "foundation/sync/IMutex.h"
#include "platform/CPipeOutStreamBase.h"
#include "platform/IPipeServer.h"
#include "platform/IPipeServerListener.h"
#include "platform/IThread.h"

#include <atomic>
#include <vector>

namespace lumo {

// What the pipe servers of every platform share: the connections and their
// numbers (one count for every server of the process), the listeners, the
// signals, the broadcast, and starting and stopping the accept loop's
// thread. A backend makes the pipe and waits for its clients.
//
// The accept loop runs on a thread of its own and calls the listeners
// there, under the server's mutex. The server must not be released for the
// last time from a listener's notification.
class CPipeServerBase : public CObject, public virtual IPipeServer {
public:
    class COutStream;

    // Does nothing while started; throws what openLoopPipe() throws.
    void start() override;
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

protected:
    explicit CPipeServerBase(const String& name);
    ~CPipeServerBase() override = default;

    // Makes the pipe that the accept loop will listen at; throws
    // CException "Error starting Pipe Server" (or a backend's reason) when
    // it cannot. Called under no lock, before the loop's thread exists.
    virtual void openLoopPipe() = 0;
    // Drops what openLoopPipe() made when the loop's thread cannot start.
    virtual void closeLoopPipe() = 0;
    // Accepts clients through addConnection() until wakeLoopToStop() is
    // called or the end tick passes; then drops the loop's pipe. Must not
    // throw.
    virtual void runAcceptLoop() = 0;
    // Makes the running loop end soon; the next start() clears it.
    virtual void wakeLoopToStop() = 0;
    virtual void clearStopRequest() = 0;

    // For a backend's destructor, which must stop the loop while its own
    // members live.
    void stopQuietly() noexcept;
    // Registers a connected client and tells the listeners.
    void addConnection(const P<IPipeClient>& client);
    bool isPastEndTick() const;
    int32_t getWaitInterval() const { return m_waitInterval; }
    // Neither a connection nor a running loop.
    bool isIdle();

private:
    class CConnection;

    void serveAcceptLoop();
    void notifyListeners(void (IPipeServerListener::*notification)(IPipeServer&, IPipeClient&), IPipeClient& client);
    const CConnection& getConnectionAt(int32_t index, const char* method);

    String m_name;
    P<IMutex> m_mutex;
    std::vector<CConnection> m_connections;
    P<TFrailArray<IPipeServerListener>> m_listeners;
    // Set from start() until stop() has joined the loop.
    P<IThread> m_thread;
    std::atomic<int32_t> m_waitInterval{1000};
    std::atomic<int64_t> m_endTick{0};
    P<ISignal> m_connected;
    P<ISignal> m_disconnected;
    P<ISignal> m_waiting;
};

// One accepted client and its number.
class CPipeServerBase::CConnection {
public:
    CConnection(int32_t number, P<IPipeClient> client) : m_number(number), m_client(std::move(client)) {}

    int32_t getNumber() const { return m_number; }
    const P<IPipeClient>& getClient() const { return m_client; }

private:
    int32_t m_number;
    P<IPipeClient> m_client;
};

// The server's broadcast: a write goes to every connected client.
class CPipeServerBase::COutStream : public CPipeOutStreamBase {
public:
    explicit COutStream(P<CPipeServerBase> server);

    void write(const void* data, int32_t count) override;
    // True while the server has no connection.
    bool isClosed() override;

private:
    P<CPipeServerBase> m_server;
};

} // namespace lumo
