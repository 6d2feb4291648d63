#pragma once

#include <windows.h>

namespace lumo::win32 {

// One overlapped operation (read, write or connect) on a pipe handle. The
// scope that starts it owns it: however the scope is left, an operation
// still under way is cancelled and waited for, so that the system never
// writes into the OVERLAPPED or the buffer after they are gone. Not for use
// by two threads at once.
class COverlappedPipeIO {
public:
    // `event` (borrowed, manual-reset) is set when the operation ends.
    COverlappedPipeIO(HANDLE pipe, HANDLE event);
    COverlappedPipeIO(const COverlappedPipeIO&) = delete;
    COverlappedPipeIO& operator=(const COverlappedPipeIO&) = delete;
    ~COverlappedPipeIO() { cancel(); }

    // For the call that starts the operation.
    OVERLAPPED* get() { return &m_overlapped; }
    HANDLE getEvent() const { return m_overlapped.hEvent; }
    // Takes what that call returned. The error when the operation never
    // started; 0 when it is under way or done.
    DWORD start(BOOL bResult);
    // Waits for the end of the operation; its error (0 for success) and the
    // bytes it moved, the same on every call.
    DWORD finish(DWORD& moved);
    // Cuts off an operation under way and waits until the system let go of
    // it; the bytes it moved before that.
    DWORD cancel();

private:
    HANDLE m_pipe;
    OVERLAPPED m_overlapped{};
    bool m_bPending = false;
    DWORD m_error = ERROR_INVALID_HANDLE;
    DWORD m_moved = 0;
};

} // namespace lumo::win32
