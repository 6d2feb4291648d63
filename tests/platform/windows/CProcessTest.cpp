#include "platform/windows/CProcess.h"

#include "CProcessChild.h"
#include "crashhandler/windows/hangReportEvent.h"
#include "expectError.h"
#include "foundation/CError.h"
#include "foundation/castObject.h"
#include "foundation/sync/throwSystemError.h"

namespace lumo::win32 {
namespace {

P<IWin32Process> startChild(const CProcessChild& child, const std::string& arguments,
                            CProcessOptions* options = nullptr)
{
    return castObject<IWin32Process>(child.start(arguments, options));
}

bool runsUnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// The reason comes at once, whatever the options, not as an early end.
TEST(CProcessTest, ProgramThatCannotStartThrowsTheSystemsReason)
{
    CProcessChild child;
    const std::filesystem::path folder = child.makeFolder("a folder");
    const struct {
        std::filesystem::path program;
        std::filesystem::path workingDirectory;
        DWORD error;
    } cases[] = {
        {folder / "missing.exe", {}, ERROR_FILE_NOT_FOUND},
        {child.getProgramPath(), folder / "missing", ERROR_DIRECTORY},
    };
    for (const auto& test : cases) {
        for (const bool bOwnProcessGroup : {false, true}) {
            CProcessOptions options;
            options.bOwnProcessGroup = bOwnProcessGroup;
            options.bDiscardOutput = bOwnProcessGroup;
            expectError<CError>("Error executing file '" + test.program.u8string() + "': '" +
                                    getSystemErrorText(static_cast<int>(test.error)).toUTF8() + "'.",
                                [&] {
                                    make<CProcess>(test.program.wstring(), String(), test.workingDirectory.wstring(), 0,
                                                   &options);
                                });
        }
    }
}

// Exit codes of the system's statuses are exceptions the program did not
// handle; STILL_ACTIVE (259) is a code like any other once the program ended.
TEST(CProcessTest, EndCauseNamesExceptionsByTheirCode)
{
    const struct {
        const char* arguments;
        int32_t exitCode;
        const char* cause;
    } cases[] = {
        {"exit 259", 259, "exited with code 259"},
        {"exit -1073741819", -1073741819, "ended by exception 0xC0000005"},
        {"exit -2147483645", -2147483645, "ended by exception 0x80000003"},
        {"exit -536870912", -536870912, "exited with code -536870912"},
    };
    CProcessChild child;
    for (const auto& test : cases) {
        P<IWin32Process> process = startChild(child, test.arguments);
        ASSERT_TRUE(waitForEnd(*process)) << test.arguments;
        SProcessEnd end;
        ASSERT_TRUE(process->getEnd(end));
        EXPECT_EQ(process->getExitCode(), test.exitCode) << test.arguments;
        EXPECT_EQ(end.cause.toUTF8(), test.cause) << test.arguments;
    }
}

TEST(CProcessTest, EndRecordsThePeakWorkingSet)
{
    if (runsUnderWine())
        GTEST_SKIP() << "Wine keeps no memory counters of an ended process";
    CProcessChild child;
    P<IWin32Process> process = startChild(child, "hog 64");
    ASSERT_TRUE(waitForEnd(*process));
    SProcessEnd end;
    ASSERT_TRUE(process->getEnd(end));
    EXPECT_GE(end.peakResidentBytes, int64_t{64} << 20);
}

// The program runs in a job, which its object's release leaves running.
TEST(CProcessTest, ReleasedProgramKeepsRunning)
{
    CProcessChild child;
    P<IWin32Process> process = startChild(child, "sleep");
    BOOL bInJob = FALSE;
    EXPECT_TRUE(IsProcessInJob(process->getProcessHandle(), nullptr, &bInJob) && bInJob);
    HANDLE handle = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), process->getProcessHandle(), GetCurrentProcess(), &handle, 0,
                                FALSE, DUPLICATE_SAME_ACCESS));
    process = nullptr;
    EXPECT_EQ(WaitForSingleObject(handle, 200), static_cast<DWORD>(WAIT_TIMEOUT));
    TerminateProcess(handle, 1);
    EXPECT_EQ(WaitForSingleObject(handle, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(handle);
}

// Whether `process` holds `event` under the same value: setting what it holds sets ours.
bool holdsEvent(HANDLE process, HANDLE event)
{
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process, event, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return false;
    ResetEvent(event);
    SetEvent(copy);
    CloseHandle(copy);
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

TEST(CProcessTest, ProgramInheritsTheCallersInheritableHandlesUnlessLimitedToTheStandardOnes)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE event = CreateEventW(&inheritable, TRUE, FALSE, nullptr);
    ASSERT_TRUE(event);
    CProcessChild child;
    for (const bool bOnlyStandard : {false, true}) {
        CProcessOptions options;
        options.bInheritOnlyStandardDescriptors = bOnlyStandard;
        P<IWin32Process> process = startChild(child, "sleep", &options);
        EXPECT_EQ(holdsEvent(process->getProcessHandle(), event), !bOnlyStandard) << bOnlyStandard;
        process->terminate();
        EXPECT_TRUE(waitForEnd(*process));
    }
    CloseHandle(event);
}

// The event stands in for the one a program's hang report handler makes.
TEST(CProcessTest, HangReportRequestSetsTheProgramsEventWhileItRuns)
{
    CProcessChild child;
    P<IWin32Process> process = startChild(child, "sleep");
    wchar_t name[crashhandler::hangReportEventNameSize];
    crashhandler::formatHangReportEventName(name, process->getID());
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name);
    ASSERT_TRUE(event);
    process->requestHangReport();
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    ResetEvent(event);
    process->terminate();
    ASSERT_TRUE(waitForEnd(*process));
    process->requestHangReport();
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(event);
}

} // namespace
} // namespace lumo::win32
