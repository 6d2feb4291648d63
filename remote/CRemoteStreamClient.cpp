#include "remote/CRemoteStreamClient.h"

#include "foundation/CCastError.h"
#include "foundation/CFinishedError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "foundation/castObject.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/ISignalFactory.h"
#include "platform/CThreadCallable.h"
#include "platform/IPipeInStream.h"
#include "platform/IThread.h"
#include "platform/IThreadManager.h"
#include "remote/CRemoteException.h"
#include "remote/CRemoteFunction.h"
#include "remote/CRemoteVarBool.h"
#include "remote/CRemoteVarDouble.h"
#include "remote/CRemoteVarInteger.h"
#include "remote/CRemoteVarObject.h"
#include "remote/CRemoteVarString.h"
#include "streams/CBufferedOutStream.h"
#include "streams/CDataInStream.h"
#include "streams/CDataOutStream.h"
#include "streams/CMemoryManager.h"

#include <algorithm>
#include <typeinfo>

namespace lumo {

namespace {

const char voidKeyword[] = "void";
const char functionKeyword[] = "function";
const char executeKeyword[] = "execute";
const char returnKeyword[] = "return";
const char notFoundKeyword[] = "notfound";
const char errorMarker[] = "Error:";

// One request or reply on its way out: what is written while it lives is
// gathered, and send() hands it over in one write. A message left without
// send(), because an error interrupted it, is dropped, so that the peer
// never reads half a request as the start of the next one.
class COutgoingMessage {
public:
    explicit COutgoingMessage(CBufferedOutStream& out) : m_out(out) { m_out.beginMessage(); }
    ~COutgoingMessage() { m_out.discard(); }
    COutgoingMessage(const COutgoingMessage&) = delete;
    COutgoingMessage& operator=(const COutgoingMessage&) = delete;

    void send() { m_out.flush(); }

private:
    CBufferedOutStream& m_out;
};

void writeText(IDataOutStream& out, const String& text) { out.writeString(*text.get()); }

P<IDataInStream> toDataInStream(const P<IInStream>& input)
{
    if (P<IDataInStream> data = castObject<IDataInStream>(input, false))
        return data;
    return make<CDataInStream>(input);
}

P<IMemoryManager> createOwnMemoryManager()
{
    return make<CMemoryManager>(CRemoteStreamClient::memoryManagerBucketCount);
}

template <class Kind> Kind& getFirstResult(CRemoteFunction& function)
{
    const CRemoteProc::Variables& results = function.getResults();
    CRemoteVar* first = results.empty() ? nullptr : results.front().get();
    Kind* result = dynamic_cast<Kind*>(first);
    if (!result)
        throw CCastError(first, &typeid(Kind));
    return *result;
}

template <class Kind> auto callForValue(CRemoteStreamClient& endpoint, CRemoteFunction& function)
{
    Kind& result = getFirstResult<Kind>(function);
    endpoint.call(function);
    return result.getValue();
}

} // namespace

CRemoteStreamClient::QuitProc::QuitProc(IRemote* remote) : CRemoteVoid("Quit"), m_remote(remote) {}

void CRemoteStreamClient::QuitProc::execute() { m_remote->quit(); }

CRemoteStreamClient::CRemoteStreamClient(P<IInStream> input, P<IOutStream> output)
    : m_input(std::move(input)), m_streamLock(getMutexFactory()->createMutex()),
      m_callLock(getMutexFactory()->createMutex()), m_memoryManager(createOwnMemoryManager())
{
    if (!m_input || !output)
        throw CInvalidArgError("The input and the output stream must not be null.", "CRemoteStreamClient", nullptr,
                               &typeid(CRemoteStreamClient));
    m_dataInput = toDataInStream(m_input);
    m_output = make<CBufferedOutStream>(std::move(output), m_memoryManager->allocate(scratchBlockSize));
    m_dataOutput = make<CDataOutStream>(m_output);
}

CRemoteStreamClient::~CRemoteStreamClient() { stopThreadInDestructor(); }

void CRemoteStreamClient::stopThreadInDestructor() noexcept
{
    try {
        stopThread();
    } catch (...) {
        // Destruction goes on regardless; a worker that could not be
        // stopped is beyond help here.
    }
}

bool CRemoteStreamClient::processNext()
{
    if (m_bWorkerRunning)
        return false;
    return serve();
}

void CRemoteStreamClient::quit()
{
    const P<QuitProc> proc = make<QuitProc>(this);
    call(*proc);
}

P<IDataInStream> CRemoteStreamClient::getDataInStream() { return m_dataInput; }

P<IDataOutStream> CRemoteStreamClient::getDataOutStream() { return m_dataOutput; }

void CRemoteStreamClient::startThread(int32_t sleepIntervalMs)
{
    P<IPipeInStream> pipe = castObject<IPipeInStream>(m_input, false);
    if (!pipe)
        throw CRemoteException("Work in Thread only possible with named Pipe Streams");
    if (m_bWorkerRunning)
        throw CInvalidObjectStateError("a worker thread is already serving this endpoint", this);
    m_pipeInput = std::move(pipe);
    m_sleepIntervalMs = std::max(0, sleepIntervalMs);
    m_stopSignal = getSignalFactory()->createSignal();
    m_workerThreadID = 0;
    m_bWorkerRunning = true;
    try {
        // Weak: the endpoint's destructor stops the worker, so the worker
        // must not keep the endpoint alive.
        m_worker = getThreadManager()->createThread(CThreadCallable(this, &CRemoteStreamClient::runWorker, false));
    } catch (...) {
        m_bWorkerRunning = false;
        throw;
    }
}

void CRemoteStreamClient::stopThread()
{
    if (!m_worker)
        return;
    m_stopSignal->set();
    // A worker that has not published its identity has not begun reading.
    if (const uint64_t workerID = m_workerThreadID)
        m_pipeInput->abortRead(workerID);
    m_worker->join();
    m_worker = nullptr;
    m_bWorkerRunning = false;
}

void CRemoteStreamClient::setMemoryManager(P<IMemoryManager> manager)
{
    if (!manager)
        manager = createOwnMemoryManager();
    P<IMemoryBlock> scratch = manager->allocate(scratchBlockSize);
    CScopedLock lock(m_streamLock);
    m_output->setBuffer(std::move(scratch));
    m_memoryManager = std::move(manager);
}

P<IMemoryManager> CRemoteStreamClient::getMemoryManager()
{
    CScopedLock lock(m_streamLock);
    return m_memoryManager;
}

void CRemoteStreamClient::registerProc(P<CRemoteProc> proc)
{
    CScopedLock lock(m_streamLock);
    const String name = proc->getName();
    m_registry[name] = std::move(proc);
}

void CRemoteStreamClient::call(CRemoteProc& proc)
{
    CScopedLock callLock(m_callLock);
    CScopedLock streamLock(m_streamLock);
    sendRequest(proc);
    if (!proc.isVoid())
        receiveReply(static_cast<CRemoteFunction&>(proc));
}

String CRemoteStreamClient::callString(CRemoteFunction& function)
{
    return callForValue<CRemoteVarString>(*this, function);
}

int32_t CRemoteStreamClient::callInt(CRemoteFunction& function)
{
    return callForValue<CRemoteVarInteger>(*this, function);
}

double CRemoteStreamClient::callDouble(CRemoteFunction& function)
{
    return callForValue<CRemoteVarDouble>(*this, function);
}

bool CRemoteStreamClient::callBool(CRemoteFunction& function) { return callForValue<CRemoteVarBool>(*this, function); }

P<ISerializable> CRemoteStreamClient::callObject(CRemoteFunction& function, P<ISerializable> preset)
{
    CRemoteVarObject& result = getFirstResult<CRemoteVarObject>(function);
    if (preset)
        result.setTarget(std::move(preset));
    call(function);
    return result.getValue();
}

bool CRemoteStreamClient::serve()
{
    CScopedLock lock(m_streamLock);
    const String keyword = m_dataInput->readString();
    const bool bFunction = keyword == String(functionKeyword);
    if (!bFunction && keyword != String(voidKeyword))
        return false;
    const String name = m_dataInput->readString();
    if (name.isEmpty())
        return false;
    const P<CRemoteProc> proc = findProc(name);
    if (!proc) {
        if (!bFunction)
            throw CRemoteException("Remote Procedure not found on this computer");
        // The parameters stay unread: without the procedure their kinds are unknown.
        sendNotFound();
        return false;
    }
    proc->readParameters(*m_dataInput);
    proc->execute();
    // The registered procedure decides, whichever keyword the caller sent.
    if (!proc->isVoid())
        sendResults(static_cast<CRemoteFunction&>(*proc));
    return true;
}

void CRemoteStreamClient::runWorker()
{
    m_workerThreadID = getThreadManager()->getCurrentThreadID();
    while (!isStopRequested()) {
        try {
            // The stop signal doubles as the pause, so a stop needs no full interval.
            if (!serveWaitingRequest())
                m_stopSignal->wait(static_cast<uint32_t>(m_sleepIntervalMs));
        } catch (const CFinishedError&) {
            return;
        } catch (...) {
            // One failed request must not end the service: the peer may send
            // more, and an error here has nobody to go to.
        }
    }
}

bool CRemoteStreamClient::isStopRequested()
{
    // Taking the call lock keeps the worker off the input while an outgoing
    // call waits for its reply.
    CScopedLock lock(m_callLock);
    return m_stopSignal->isSet() || m_pipeInput->isClosed();
}

bool CRemoteStreamClient::serveWaitingRequest()
{
    // Polled under the stream lock: bytes seen before a call took the lock
    // may be that call's reply, gone by the time the lock comes free.
    CScopedLock lock(m_streamLock);
    if (m_pipeInput->getAvailable() <= 0)
        return false;
    serve();
    return true;
}

void CRemoteStreamClient::sendRequest(CRemoteProc& proc)
{
    COutgoingMessage message(*m_output);
    writeText(*m_dataOutput, proc.isVoid() ? String(voidKeyword) : String(functionKeyword));
    writeText(*m_dataOutput, proc.getName());
    proc.writeParameters(*m_dataOutput);
    writeText(*m_dataOutput, executeKeyword);
    message.send();
}

void CRemoteStreamClient::receiveReply(CRemoteFunction& function)
{
    const String keyword = m_dataInput->readString();
    if (keyword->indexOf(String(errorMarker).get().get()) >= 0)
        throw CRemoteException(keyword);
    if (keyword == String(returnKeyword)) {
        function.readResults(*m_dataInput);
        return;
    }
    if (keyword == String(notFoundKeyword))
        throw CRemoteException::procedureNotFound(function.getName());
    throw CRemoteException(String("Unexpected return received: ") + keyword);
}

void CRemoteStreamClient::sendResults(CRemoteFunction& function)
{
    COutgoingMessage message(*m_output);
    writeText(*m_dataOutput, returnKeyword);
    function.writeResults(*m_dataOutput);
    message.send();
}

void CRemoteStreamClient::sendNotFound()
{
    COutgoingMessage message(*m_output);
    writeText(*m_dataOutput, notFoundKeyword);
    message.send();
}

P<CRemoteProc> CRemoteStreamClient::findProc(const String& name)
{
    const auto found = m_registry.find(name);
    return found == m_registry.end() ? nullptr : found->second;
}

} // namespace lumo
