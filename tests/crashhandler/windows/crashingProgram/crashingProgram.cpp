// A program that installs crash reporting and then misbehaves as told, for
// the tests to read its report:
//   crashing_program <report file> abort|hang
// "hang" waits, with a second thread, until the hang report is asked for.
#include "crashhandler/installCrashReporting.h"

#include <cstdlib>
#include <string_view>
#include <windows.h>

namespace {

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
    if (fault == "abort") {
        std::abort();
    } else if (fault == "hang") {
        CreateThread(nullptr, 0, &waitForever, nullptr, 0, nullptr);
        Sleep(INFINITE);
    }
    return 3;
}
