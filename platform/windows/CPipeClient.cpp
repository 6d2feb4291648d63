#include "platform/windows/CPipeClient.h"

#include "foundation/CAbortedError.h"
#include "foundation/CException.h"
#include "foundation/CFinishedError.h"
#include "foundation/IURI.h"
#include "foundation/sync/getTickCount.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/IThreadManager.h"
#include "platform/windows/COverlappedPipeIO.h"
#include "platform/windows/toPipePath.h"
#include "streams/streamArguments.h"

#include <algorithm>
#include <limits>

namespace lumo::win32 {

namespace {

// How long connect() waits for a free instance of a busy pipe.
constexpr int64_t busyPipeWaitMs = 1000;

[[noreturn]] void throwReadError(DWORD errorCode)
{
    throw CException(String("Error read data from pipe: ") + getSystemErrorText(static_cast<int>(errorCode)), String());
}

// What the pipe holds unread; false when the pipe is broken and holds nothing.
bool peekPipe(HANDLE pipe, DWORD& available)
{
    available = 0;
    return PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) != 0;
}

} // namespace

// Holds the client's handle open for the length of one call, so that a
// disconnect from another thread never closes it under the call.
class CPipeClient::CUse {
public:
    // With bRequired, a client that is not connected, or disconnected,
    // throws CException "Invalid pipe handle"; without, get() is then null.
    CUse(CPipeClient& client, bool bRequired) : m_client(client)
    {
        std::lock_guard<std::mutex> lock(client.m_lock);
        if (client.m_pipe.isValid() && !client.m_bDisconnected) {
            m_pipe = client.m_pipe.get();
            ++client.m_users;
        } else if (bRequired) {
            throw CException("Invalid pipe handle", String());
        }
    }
    CUse(const CUse&) = delete;
    CUse& operator=(const CUse&) = delete;
    ~CUse()
    {
        if (!m_pipe)
            return;
        std::lock_guard<std::mutex> lock(m_client.m_lock);
        --m_client.m_users;
        m_client.closeWhenUnused();
    }

    HANDLE get() const { return m_pipe; }

private:
    CPipeClient& m_client;
    HANDLE m_pipe = nullptr;
};

CPipeClient::CPipeClient(const String& name)
    : m_path(toPipePath(name)), m_disconnectEvent(CPipeHandle::makeEvent(true)),
      m_abortEvent(CPipeHandle::makeEvent(false)), m_readEvent(CPipeHandle::makeEvent(true)),
      m_writeEvent(CPipeHandle::makeEvent(true))
{
}

CPipeClient::CPipeClient(CPipeHandle pipe)
    : m_pipe(std::move(pipe)), m_disconnectEvent(CPipeHandle::makeEvent(true)),
      m_abortEvent(CPipeHandle::makeEvent(false)), m_readEvent(CPipeHandle::makeEvent(true)),
      m_writeEvent(CPipeHandle::makeEvent(true))
{
}

bool CPipeClient::connect()
{
    if (m_path.empty() || m_bDisconnected || isOpen())
        return isOpen();
    const int64_t giveUpTick = getTickCount() + busyPipeWaitMs;
    for (;;) {
        // Identification only: the server may learn who we are, never act
        // as us.
        CPipeHandle pipe(CreateFileW(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
        const DWORD error = GetLastError();
        if (pipe.isValid()) {
            std::lock_guard<std::mutex> lock(m_lock);
            m_pipe = std::move(pipe);
            return true;
        }
        const int64_t left = giveUpTick - getTickCount();
        if (error != ERROR_PIPE_BUSY || left <= 0 || !WaitNamedPipeW(m_path.c_str(), static_cast<DWORD>(left)))
            return false;
    }
}

void CPipeClient::disconnect()
{
    if (m_bDisconnected.exchange(true))
        return;
    SetEvent(m_disconnectEvent.get());
    std::lock_guard<std::mutex> lock(m_lock);
    closeWhenUnused();
}

void CPipeClient::closeWhenUnused()
{
    if (m_users == 0 && m_bDisconnected)
        m_pipe.reset();
}

bool CPipeClient::isOpen() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_pipe.isValid() && !m_bDisconnected;
}

bool CPipeClient::isConnected()
{
    DWORD available = 0;
    return (getBuffered() > 0 && isOpen()) || peek(available);
}

bool CPipeClient::peek(DWORD& available)
{
    const CUse use(*this, false);
    return use.get() && peekPipe(use.get(), available);
}

int32_t CPipeClient::getAvailable()
{
    if (!isOpen())
        return 0;
    DWORD waiting = 0;
    peek(waiting);
    const int64_t available = int64_t{getBuffered()} + waiting;
    return static_cast<int32_t>(std::min<int64_t>(available, std::numeric_limits<int32_t>::max()));
}

DWORD CPipeClient::getWaitTimeout() const
{
    const int64_t left = getTimeLeftMs();
    return left < 0 ? INFINITE : static_cast<DWORD>(std::min<int64_t>(left, INFINITE - 1));
}

void CPipeClient::writeFully(const void* data, int32_t count)
{
    checkTransfer(data, count, "writeFully", this);
    const CUse use(*this, true);
    if (!writeAll(use.get(), data, count))
        throw CException("Error write data to pipe", String());
}

bool CPipeClient::writeByte(uint8_t value)
{
    const CUse use(*this, false);
    return use.get() && writeAll(use.get(), &value, 1);
}

bool CPipeClient::writeAll(HANDLE pipe, const void* data, int32_t count)
{
    const auto* next = static_cast<const uint8_t*>(data);
    for (int32_t left = count; left > 0;) {
        COverlappedPipeIO io(pipe, m_writeEvent.get());
        DWORD error = io.start(WriteFile(pipe, next, static_cast<DWORD>(left), nullptr, io.get()));
        if (!error && await(io, false) == EWait::disconnected)
            return false;
        DWORD moved = 0;
        if (!error)
            error = io.finish(moved);
        if (error || moved == 0 || moved > static_cast<DWORD>(left))
            return false;
        next += moved;
        left -= static_cast<int32_t>(moved);
    }
    return true;
}

int32_t CPipeClient::receive(uint8_t* buffer, int32_t count, bool bWait)
{
    const CUse use(*this, true);
    return receiveBuffered(buffer, count, bWait, [&](uint8_t* target, int32_t size, bool bWaitForSome) {
        return readWaiting(use.get(), target, size, bWaitForSome);
    });
}

int32_t CPipeClient::readWaiting(HANDLE pipe, uint8_t* target, int32_t size, bool bWait)
{
    if (!bWait) {
        DWORD available = 0;
        if (!peekPipe(pipe, available))
            throw CFinishedError("Pipe was closed");
        if (available == 0)
            return 0;
        size = static_cast<int32_t>(std::min<DWORD>(static_cast<DWORD>(size), available));
    }
    return readSome(pipe, target, size);
}

int32_t CPipeClient::readSome(HANDLE pipe, uint8_t* target, int32_t count)
{
    COverlappedPipeIO io(pipe, m_readEvent.get());
    DWORD error = io.start(ReadFile(pipe, target, static_cast<DWORD>(count), nullptr, io.get()));
    if (!error && await(io, true) == EWait::disconnected)
        throw CFinishedError("Pipe was closed");
    DWORD moved = 0;
    if (!error)
        error = io.finish(moved);
    // A zero read is a peer that closed its end.
    if (error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED || (!error && moved == 0))
        throw CFinishedError("Pipe was closed");
    if (error == ERROR_OPERATION_ABORTED)
        throw CAbortedError("Read was aborted");
    if (error)
        throwReadError(error);
    // The system never reports more than was asked for; were it to, the
    // count must not run past the buffer.
    return static_cast<int32_t>(std::min(moved, static_cast<DWORD>(count)));
}

CPipeClient::EWait CPipeClient::await(COverlappedPipeIO& io, bool bRead)
{
    const uint64_t self = bRead ? getThreadManager()->getCurrentThreadID() : 0;
    const HANDLE events[] = {io.getEvent(), m_disconnectEvent.get(), m_abortEvent.get()};
    for (;;) {
        uint64_t target = self;
        if (bRead && m_abortTarget.compare_exchange_strong(target, 0)) {
            if (io.cancel() == 0)
                throw CAbortedError("Read was aborted");
            // Bytes came before the cut: they are the caller's, and the
            // abort waits for this thread's next read that blocks.
            target = 0;
            m_abortTarget.compare_exchange_strong(target, self);
            return EWait::done;
        }
        // Each pass takes the time left anew, so that neither spurious wakes
        // nor a dripping peer stretch the deadline.
        switch (WaitForMultipleObjects(bRead ? 3 : 2, events, FALSE, getWaitTimeout())) {
        case WAIT_OBJECT_0:
            return EWait::done;
        case WAIT_OBJECT_0 + 1:
            return EWait::disconnected;
        case WAIT_FAILED:
            throwSystemError("Error waiting for a pipe (%ERRORDESC%).", static_cast<int>(GetLastError()));
        default:
            // A time-out or an abort, each looked at on the next pass. A
            // wake-up meant for another thread is dropped here; its target
            // finds the request when it next blocks.
            break;
        }
    }
}

void CPipeClient::abortRead(uint64_t threadID)
{
    m_abortTarget = threadID;
    SetEvent(m_abortEvent.get());
}

} // namespace lumo::win32
