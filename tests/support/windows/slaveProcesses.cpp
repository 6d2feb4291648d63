#include "support/slaveProcesses.h"

#include <stdexcept>

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

namespace nebo::test {

// Windows has no launchers: the slaves are the children.
std::vector<uint32_t> slaveProcesses()
{
    std::vector<uint32_t> children;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot list the processes");
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL bMore = Process32FirstW(snapshot, &entry); bMore; bMore = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId())
            children.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return children;
}

std::vector<uint32_t> launcherProcesses() { return {}; }

std::vector<uint32_t> spareProcesses() { return {}; }

bool killChild(uint32_t pid, std::string& cause)
{
    constexpr UINT exitCode = 9;
    cause = "exited with code " + std::to_string(exitCode);
    const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!process)
        return false;
    const bool bEnded = TerminateProcess(process, exitCode) && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return bEnded;
}

int countSharedPictureBuffers() { return 0; }

bool arePicturesShared() { return false; }

SFaultEnd writeFaultEnd() { return {static_cast<int32_t>(0xC0000005u), "ended by exception 0xC0000005"}; }

bool noProcessRuns(const std::string&, const std::string&)
{
    throw std::runtime_error("the processes' programs and environments are not looked up here");
}

int64_t peakResidentKB()
{
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        throw std::runtime_error("the system tells no peak working set");
    return static_cast<int64_t>(counters.PeakWorkingSetSize / 1024);
}

} // namespace nebo::test
