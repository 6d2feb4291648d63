// A program that installs crash reporting and then misbehaves as told, for
// the tests to read its report:
//   crashing_program <report file> read|write|divide|illegal|breakpoint|stack|abort|hang
// "hang" waits, with a second thread, until the hang report is asked for.
#include "crashhandler/installCrashReporting.h"

#include <cstdint>
#include <cstdlib>
#include <intrin.h>
#include <string_view>
#include <windows.h>

namespace {

// Volatile, so that the compiler cannot see what the faults do and leave
// them out.
volatile int g_zero = 0;
volatile int g_one = 1;
int* volatile g_lowAddress = nullptr;

volatile int* lowAddress(uintptr_t offset) { return reinterpret_cast<volatile int*>(uintptr_t(g_lowAddress) + offset); }

int recurseForever(int depth)
{
    volatile char frame[256];
    frame[0] = static_cast<char>(depth);
    if (g_zero != 0)
        return depth;
    // The addition after the call keeps it from becoming a loop.
    return recurseForever(depth + 1) + frame[0];
}

DWORD WINAPI waitForever(void*)
{
    Sleep(INFINITE);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 ||
        !crashhandler::installCrashReporting(argv[1], false, GetCurrentThreadId(), "crashing_program", "1.2.3"))
        return 2;
    const std::string_view fault = argv[2];
    if (fault == "read") {
        g_zero = *lowAddress(16);
    } else if (fault == "write") {
        *lowAddress(16) = 1;
    } else if (fault == "divide") {
        g_zero = g_one / g_zero;
    } else if (fault == "illegal") {
        __builtin_trap();
    } else if (fault == "breakpoint") {
        __debugbreak();
    } else if (fault == "stack") {
        g_zero = recurseForever(0);
    } else if (fault == "abort") {
        std::abort();
    } else if (fault == "hang") {
        CreateThread(nullptr, 0, &waitForever, nullptr, 0, nullptr);
        Sleep(INFINITE);
    }
    return 3;
}
