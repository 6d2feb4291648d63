#include "foundation/sync/getTickCount.h"

#include <windows.h>

namespace lumo {

int64_t getTickCount()
{
    // The performance counter rather than GetTickCount64, whose steps of the
    // system timer (about 16 ms) would make short waits look shorter.
    static const int64_t frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    // In two parts, so that the count times 1000 cannot overflow.
    return now.QuadPart / frequency * 1000 + now.QuadPart % frequency * 1000 / frequency;
}

} // namespace lumo
