#include "host/master/CPicturePrefetcher.h"

#include "foundation/CError.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/ISignalFactory.h"
#include "foundation/sync/getTickCount.h"
#include "host/master/CSlaveHandler.h"
#include "platform/CThreadCallable.h"
#include "platform/IThreadManager.h"

namespace nebo::common {

using lumo::P;
using lumo::String;

namespace {

constexpr uint32_t wakeWaitMs = 1000;

} // namespace

CPicturePrefetcher::CPicturePrefetcher(P<CSlaveHandler> slave, P<CEmbeddedMutex<IVideoSource>> pictures,
                                       int32_t timeLimitMs)
    : m_slave(std::move(slave)), m_pictures(std::move(pictures)),
      // The thread's own call ends within the slave's time limit, with the
      // hang report and the slave's end; the reader's wait only guards
      // against a thread that never comes back.
      m_waitMs(int64_t{timeLimitMs} + CSlaveHandler::hangReportWaitMs + CSlaveHandler::slaveEndWaitMs +
               threadStopWaitMs),
      m_bufferMutex(lumo::getMutexFactory()->createMutex()), m_bufferFilled(lumo::getSignalFactory()->createSignal()),
      m_stopSignal(lumo::getSignalFactory()->createSignal()), m_wakeSignal(lumo::getSignalFactory()->createSignal()),
      m_threadEnded(lumo::getSignalFactory()->createSignal())
{
    // Prefetching begins at once.
    m_wakeSignal->set();
    // Weak: stop() runs before the prefetcher goes.
    m_thread = lumo::getThreadManager()->createThread(lumo::CThreadCallable(this, &CPicturePrefetcher::run, false));
}

CPicturePrefetcher::~CPicturePrefetcher()
{
    try {
        stop();
    } catch (...) {
        // Ending the slave failed: its handler ends it as it goes.
    }
}

P<INEBPicture> CPicturePrefetcher::peek()
{
    waitForPicture();
    lumo::CScopedLock lock(m_bufferMutex);
    return m_buffer.front();
}

P<INEBPicture> CPicturePrefetcher::take()
{
    waitForPicture();
    lumo::CScopedLock lock(m_bufferMutex);
    const P<INEBPicture> picture = m_buffer.front();
    m_buffer.pop_front();
    m_wakeSignal->set();
    return picture;
}

void CPicturePrefetcher::skipped()
{
    ++m_skipCount;
    flush();
}

void CPicturePrefetcher::flush()
{
    lumo::CScopedLock lock(m_bufferMutex);
    m_buffer.clear();
    m_wakeSignal->set();
}

bool CPicturePrefetcher::stop()
{
    if (!m_thread)
        return true;
    m_stopSignal->set();
    // A thread that waits for room in the buffer notices the stop at once.
    m_wakeSignal->set();
    // A thread stuck in a call to a slave that does not answer comes back
    // only once that slave is gone.
    const bool bStopped = m_threadEnded->wait(threadStopWaitMs);
    if (!bStopped)
        m_slave->endSlave();
    m_thread->join();
    m_thread = nullptr;
    return bStopped;
}

void CPicturePrefetcher::run()
{
    try {
        m_slave->callIntoSlave([this] { fetchPictures(); });
    } catch (const lumo::CException&) {
        storeError(std::current_exception());
    } catch (const std::exception& error) {
        const char* text = error.what();
        storeError(std::make_exception_ptr(
            lumo::CError(String::fromUTF8(text ? text : ""), String("std::exception in CEncapsulatedSource"))));
    } catch (...) {
        storeError(std::make_exception_ptr(
            lumo::CError(String("unknown exception in buffering thread"), String("CEncapsulatedSource"))));
    }
    m_stopSignal->set();
    // After the error is stored, so that a waiting reader sees it.
    m_bufferFilled->set();
    m_threadEnded->set();
}

void CPicturePrefetcher::fetchPictures()
{
    while (!m_stopSignal->isSet()) {
        const bool bWoken = m_wakeSignal->wait(wakeWaitMs);
        if (m_stopSignal->isSet())
            return;
        if (!bWoken)
            continue;
        {
            // Reset only under the buffer's lock, where readers set it: no
            // wake-up is lost.
            lumo::CScopedLock lock(m_bufferMutex);
            if (m_buffer.size() >= bufferedPictureLimit) {
                m_wakeSignal->reset();
                continue;
            }
        }
        P<INEBPicture> picture;
        uint64_t skipCount;
        {
            lumo::CScopedLock lock(*m_pictures);
            skipCount = m_skipCount;
            picture =
                m_slave->callWithinLimit("getNextPicture", [this] { return m_pictures->get()->getNextPicture(); });
        }
        lumo::CScopedLock lock(m_bufferMutex);
        if (skipCount != m_skipCount)
            continue;
        // An empty picture, the end of the source, is handed on like any other.
        m_buffer.push_back(picture);
        m_bufferFilled->set();
        if (m_buffer.size() >= bufferedPictureLimit)
            m_wakeSignal->reset();
    }
}

void CPicturePrefetcher::storeError(std::exception_ptr error)
{
    lumo::CScopedLock lock(m_bufferMutex);
    m_error = std::move(error);
}

void CPicturePrefetcher::rethrowError()
{
    std::exception_ptr error;
    {
        lumo::CScopedLock lock(m_bufferMutex);
        error = m_error;
    }
    if (error)
        std::rethrow_exception(error);
}

void CPicturePrefetcher::waitForPicture()
{
    const int64_t deadline = lumo::getTickCount() + m_waitMs;
    for (;;) {
        {
            // Reset only under the buffer's lock, where the thread sets it:
            // no picture goes unnoticed.
            lumo::CScopedLock lock(m_bufferMutex);
            if (!m_buffer.empty())
                return;
            m_bufferFilled->reset();
        }
        rethrowError();
        const int64_t left = deadline - lumo::getTickCount();
        if (left <= 0) {
            m_slave->endSlave();
            throw lumo::CError(String("CEncapsulatedSource: timeout while prefetching image"));
        }
        m_bufferFilled->wait(static_cast<uint64_t>(left));
    }
}

} // namespace nebo::common
