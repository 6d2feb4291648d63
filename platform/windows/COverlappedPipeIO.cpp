#include "platform/windows/COverlappedPipeIO.h"

namespace lumo::win32 {

COverlappedPipeIO::COverlappedPipeIO(HANDLE pipe, HANDLE event) : m_pipe(pipe) { m_overlapped.hEvent = event; }

DWORD COverlappedPipeIO::start(BOOL bResult)
{
    const DWORD error = bResult ? 0 : GetLastError();
    m_bPending = bResult || error == ERROR_IO_PENDING;
    if (!m_bPending)
        m_error = error;
    return m_bPending ? 0 : error;
}

DWORD COverlappedPipeIO::finish(DWORD& moved)
{
    if (m_bPending) {
        m_bPending = false;
        m_error = GetOverlappedResult(m_pipe, &m_overlapped, &m_moved, TRUE) ? 0 : GetLastError();
    }
    moved = m_moved;
    return m_error;
}

DWORD COverlappedPipeIO::cancel()
{
    if (m_bPending)
        CancelIoEx(m_pipe, &m_overlapped);
    DWORD moved = 0;
    finish(moved);
    return moved;
}

} // namespace lumo::win32
