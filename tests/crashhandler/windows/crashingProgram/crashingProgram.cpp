// A program that installs crash reporting and then misbehaves as told, for
// the tests to read its report:
//   crashing_program <report file> read|abort|hang
// "hang" waits, with a second thread, until the hang report is asked for.
#include "crashhandler/installCrashReporting.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <windows.h>

namespace {

// Volatile, so that the compiler cannot see what the read does and leave
// it out.
volatile int g_read = 0;
int* volatile g_lowAddress = nullptr;

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
        g_read = *reinterpret_cast<volatile int*>(uintptr_t(g_lowAddress) + 16);
    } else if (fault == "abort") {
        std::abort();
    } else if (fault == "hang") {
        CreateThread(nullptr, 0, &waitForever, nullptr, 0, nullptr);
        Sleep(INFINITE);
    }
    return 3;
}
