#include "foundation/sync/sleepMilliseconds.h"

#include "foundation/sync/getTickCount.h"

#include <algorithm>
#include <windows.h>

namespace lumo {

void sleepMilliseconds(uint32_t ms)
{
    // Sleep counts in steps of the system timer and may end a little before
    // the tick says; it sleeps again for what is left. All ones would be
    // INFINITE to Sleep, so no single sleep asks for that.
    const int64_t deadline = getTickCount() + ms;
    for (int64_t now = getTickCount(); now < deadline; now = getTickCount())
        Sleep(static_cast<DWORD>(std::min<int64_t>(deadline - now, INFINITE - 1)));
}

} // namespace lumo
