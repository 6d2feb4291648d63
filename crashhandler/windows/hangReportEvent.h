#pragma once

#include <cstdint>
#include <cwchar>

namespace crashhandler {

// A master asks its slave where it hangs (IProcess::requestHangReport) by
// setting an event that the slave's hang report handler created and waits
// on. The event is named after the slave's process id, so that the master
// needs nothing but the process to find it; a program without a handler
// has no such event, and the request then does nothing.
constexpr size_t hangReportEventNameSize = 48;

inline void formatHangReportEventName(wchar_t (&name)[hangReportEventNameSize], uint32_t processID)
{
    std::swprintf(name, hangReportEventNameSize, L"Local\\nebo_hang_report_%u", static_cast<unsigned>(processID));
}

} // namespace crashhandler
