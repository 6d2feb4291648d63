#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "remote/CRemoteVoid.h"
#include "remote/IRemote.h"

#include <atomic>
#include <cstdint>
#include <map>

namespace lumo {

class CBufferedOutStream;
class CRemoteFunction;
class IInStream;
class IMemoryManager;
class IMutex;
class IOutStream;
class IPipeInStream;
class ISerializable;
class ISignal;
class IThread;

// One end of the remote-call protocol on a pair of streams, in practice the
// two directions of a pipe connection. It calls procedures on the peer (call
// and the typed calls) and serves the procedures registered with it, when
// its owner calls processNext or on a worker thread of its own.
//
// Every request and every reply is put together in the endpoint's scratch
// block and leaves in one write of the output stream. One that fails while
// it is put together is dropped whole, so the peer never sees half of it;
// only one larger than the block leaves in pieces and can be cut short.
//
// Any thread may use an endpoint. Outgoing calls are serialised by the call
// lock, served requests by the stream lock; a call holds both, always taken
// in that order. Procedures run on the serving thread with the stream lock
// held.
class CRemoteStreamClient : public CObject, public virtual IRemote {
public:
    // The built-in void procedure "Quit", without parameters: its execute
    // calls quit() of the endpoint it was made for. It does not count that
    // endpoint, which keeps the procedure in its own registry.
    class QuitProc : public CRemoteVoid {
    public:
        explicit QuitProc(IRemote* remote);

        void execute() override;

    private:
        IRemote* m_remote;
    };

    static constexpr int32_t scratchBlockSize = 1048576;
    static constexpr int32_t memoryManagerBucketCount = 30;
    static constexpr int32_t defaultSleepIntervalMs = 50;

    // Throws CInvalidArgError when a stream is null.
    CRemoteStreamClient(P<IInStream> input, P<IOutStream> output);
    // Stops a running worker. An endpoint must not lose its last reference
    // on its own worker thread.
    ~CRemoteStreamClient() override;

    // Reads one request and serves it. Returns false at once, reading
    // nothing, while a worker runs; false when the keyword is neither "void"
    // nor "function" (which is how the "execute" closing every request is
    // passed over), when the name is empty, and for an unknown function,
    // which is answered "notfound"; true once a procedure ran. Throws
    // CRemoteException "Remote Procedure not found on this computer" for an
    // unknown void procedure, and whatever reading the parameters or execute
    // throws; no reply is written then. Blocks until a request arrives.
    bool processNext() override;
    // Sends the void request "Quit" to the peer; returns once it is written.
    void quit() override;
    P<IDataInStream> getDataInStream() override;
    // Writes go straight to the output, except while a request or a reply
    // is being put together: then they join it.
    P<IDataOutStream> getDataOutStream() override;

    // Serves requests on a worker thread, which polls the input every
    // `sleepIntervalMs` milliseconds while nothing waits. While it runs
    // processNext does nothing. Throws CRemoteException "Work in Thread only
    // possible with named Pipe Streams" when the input is not a pipe, and
    // CInvalidObjectStateError when a worker already runs. The owner starts
    // and stops the worker, not two threads at once.
    virtual void startThread(int32_t sleepIntervalMs);
    // Stops the worker and waits for it to end; nothing when none runs. Not
    // from the worker itself.
    virtual void stopThread();
    // Takes a new scratch block from `manager` (null: a new manager of the
    // endpoint's own). Waits while a request is served or a call is made.
    virtual void setMemoryManager(P<IMemoryManager> manager);
    virtual P<IMemoryManager> getMemoryManager();

    // Serves `proc` under its name from now on, in place of one with the same
    // name; keeps a reference. Waits while a request is served.
    void registerProc(P<CRemoteProc> proc);

    // Sends the request; for a function waits for the reply and reads it into
    // the function's results. Throws CRemoteException with the reply keyword
    // as message when it holds "Error:", "Remote Procedure not found on
    // host: " and the name for "notfound", "Unexpected return received: " and
    // the keyword for any other keyword, "Parameter not expected" for a
    // result of another name; and the streams' errors.
    void call(CRemoteProc& proc);
    // A call of `function` that returns its first result. The result's kind
    // is checked before anything is sent: another kind, or no result, throws
    // CCastError.
    String callString(CRemoteFunction& function);
    int32_t callInt(CRemoteFunction& function);
    double callDouble(CRemoteFunction& function);
    bool callBool(CRemoteFunction& function);
    // Like the others; `preset` (when not null) becomes the object that the
    // reply's body is read into. Returns the object read, or null when the
    // reply carried none.
    P<ISerializable> callObject(CRemoteFunction& function, P<ISerializable> preset);
    // callObject into `preset`, which it returns as it is; null when the
    // reply carried no object.
    template <class T> P<T> callInto(CRemoteFunction& function, P<T> preset)
    {
        return callObject(function, preset) ? preset : nullptr;
    }

protected:
    // stopThread for destructors: a failure is swallowed. A subclass whose
    // procedures use its own members calls it in its destructor, before
    // those members go.
    void stopThreadInDestructor() noexcept;

private:
    bool serve();
    bool serveWaitingRequest();
    bool isStopRequested();
    void runWorker();
    void sendRequest(CRemoteProc& proc);
    void receiveReply(CRemoteFunction& function);
    void sendResults(CRemoteFunction& function);
    void sendNotFound();
    P<CRemoteProc> findProc(const String& name);

    P<IInStream> m_input;
    P<CBufferedOutStream> m_output;
    P<IDataInStream> m_dataInput;
    P<IDataOutStream> m_dataOutput;
    P<IMutex> m_streamLock;
    P<IMutex> m_callLock;
    P<IMemoryManager> m_memoryManager;
    std::map<String, P<CRemoteProc>> m_registry;

    // The worker's state; set up before the worker starts.
    P<IPipeInStream> m_pipeInput;
    P<IThread> m_worker;
    P<ISignal> m_stopSignal;
    int32_t m_sleepIntervalMs = defaultSleepIntervalMs;
    std::atomic<bool> m_bWorkerRunning{false};
    // Published by the worker so that stopThread can abort its read.
    std::atomic<uint64_t> m_workerThreadID{0};
};

} // namespace lumo
