#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"
#include "foundation/sync/ISignal.h"
#include "host/common/CEmbeddedMutex.h"
#include "host/plugin/IVideoSource.h"
#include "platform/IThread.h"

#include <atomic>
#include <deque>
#include <exception>

namespace nebo::common {

class CSlaveHandler;

// Keeps up to bufferedPictureLimit pictures of a served source ahead of its
// reader, fetched on a thread of its own, so that reading a picture costs no
// round trip. It serves one slave; a source that replaces its slave makes a
// new prefetcher.
//
// The thread fetches under the pictures' lock, within the slave's time
// limit; its error, a hang report among them, is thrown to the reader once
// the pictures fetched before are handed out. Thread-safe; a reader keeps a
// reference while it waits.
class CPicturePrefetcher : public lumo::CObject {
public:
    static constexpr size_t bufferedPictureLimit = 3;
    // How long stop() gives the thread before it ends the slave.
    static constexpr uint32_t threadStopWaitMs = 2000;

    // Starts fetching from `pictures` at once. `slave` serves them; the
    // reader waits at most `timeLimitMs` (the slave's time limit) and the
    // slave's own waits for a picture. Throws what starting a thread throws.
    CPicturePrefetcher(lumo::P<CSlaveHandler> slave, lumo::P<CEmbeddedMutex<IVideoSource>> pictures,
                       int32_t timeLimitMs);
    // Stops the thread as stop() does.
    ~CPicturePrefetcher() override;

    // The next picture (null at the end of the pictures), and with take()
    // no longer kept. Throws the thread's error once nothing fetched before
    // is left; should the thread not come back within the wait, ends the
    // slave and throws CError "CEncapsulatedSource: timeout while
    // prefetching image".
    lumo::P<INEBPicture> peek();
    lumo::P<INEBPicture> take();

    // Called, under the pictures' lock, as the source skips: what was
    // fetched before is dropped, and a fetch under way is not kept.
    void skipped();
    // Drops the pictures fetched so far.
    void flush();
    // Stops the thread; nothing after the first call. False when it did not
    // stop within threadStopWaitMs and the slave was ended to bring it back.
    bool stop();

private:
    void run();
    void fetchPictures();
    void storeError(std::exception_ptr error);
    void rethrowError();
    // Returns once a picture is there; throws as peek() does.
    void waitForPicture();

    const lumo::P<CSlaveHandler> m_slave;
    const lumo::P<CEmbeddedMutex<IVideoSource>> m_pictures;
    const int64_t m_waitMs;

    // Guards the buffer and the thread's error.
    const lumo::P<lumo::IMutex> m_bufferMutex;
    std::deque<lumo::P<INEBPicture>> m_buffer;
    // Set when a picture is buffered and when the thread ends; readers
    // reset it under the lock when they find the buffer empty, then wait.
    const lumo::P<lumo::ISignal> m_bufferFilled;
    std::exception_ptr m_error;
    // Counts the skips, so that a picture fetched before one is dropped.
    std::atomic<uint64_t> m_skipCount{0};

    const lumo::P<lumo::ISignal> m_stopSignal;
    const lumo::P<lumo::ISignal> m_wakeSignal;
    const lumo::P<lumo::ISignal> m_threadEnded;
    lumo::P<lumo::IThread> m_thread;
};

} // namespace nebo::common
