#include "hostileProcess.h"

#include "crashhandler/windows/hangReportEvent.h"

#include <stdexcept>
#include <windows.h>

namespace nebo::test {

bool isProcessAlive(int processID)
{
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processID));
    const bool bAlive = process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    if (process)
        CloseHandle(process);
    return bAlive;
}

void ignoreHangReportRequests()
{
    // The event a handler would wait on, with nobody waiting; left open for
    // the process's life.
    wchar_t name[crashhandler::hangReportEventNameSize];
    crashhandler::formatHangReportEventName(name, GetCurrentProcessId());
    CreateEventW(nullptr, TRUE, FALSE, name);
}

bool forkProcess() { throw std::runtime_error("hostile nebo_slave: Windows has no fork"); }

bool tryResizing(lumo::ISharedMemory&)
{
    // A section keeps the size it was made with for good.
    return false;
}

} // namespace nebo::test
