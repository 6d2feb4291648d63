#pragma once

#include "plugins/avlib/CPictureReader.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace nebo::avlib {

// A picture reader that makes the next picture on a thread of its own while
// the caller hands the last one on, so that decoding overlaps the transfer
// to the master. Every call waits until that thread is idle and then reads
// the reader as CPictureReader does; a failure of the picture made ahead is
// thrown by the next call. One calling thread at a time.
class CPictureAhead {
public:
    explicit CPictureAhead(std::unique_ptr<CPictureReader> reader);
    // Waits for the picture in the making, at most one.
    ~CPictureAhead();

    CPictureAhead(const CPictureAhead&) = delete;
    CPictureAhead& operator=(const CPictureAhead&) = delete;

    void setMaxSize(int32_t width, int32_t height);
    SPictureSize getPictureSize();
    AVRational getFrameRate();
    AVRational getPixelAspect();
    std::string describe();

    // Null after the last picture; starts making the one after.
    lumo::P<common::INEBPicture> getNextPicture();
    std::optional<double> peekNextTimestamp();
    bool isAtEnd();
    void skipToTime(double seconds);

private:
    // Runs `read` on the reader once the thread is idle.
    template <class F> decltype(auto) whenIdle(F&& read);
    void makeAheadUntilStopped();

    const std::unique_ptr<CPictureReader> m_reader;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bMaking = false;
    bool m_bStopping = false;
    std::exception_ptr m_error;
    std::thread m_thread;
};

} // namespace nebo::avlib
