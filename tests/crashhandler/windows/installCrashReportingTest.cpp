#include "crashhandler/exceptionCodes.h"
#include "crashhandler/windows/hangReportEvent.h"
#include "crashhandler/windows/hangReportHandler.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <windows.h>

namespace crashhandler {
namespace {

// Far beyond what a report takes; a child still running then is a failure.
constexpr DWORD childTimeoutMs = 60000;

class CCrashingChild {
public:
    explicit CCrashingChild(const char* fault)
        : m_report(std::filesystem::temp_directory_path() /
                   ("crash-report-" + std::to_string(GetCurrentProcessId()) + "-" + fault + ".txt"))
    {
        std::filesystem::remove(m_report);
        const std::filesystem::path program = nebo::test::binFolder() / "crashing_program.exe";
        std::wstring commandLine =
            L"\"" + program.wstring() + L"\" \"" + m_report.wstring() + L"\" " + std::filesystem::path(fault).wstring();
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_process))
            ADD_FAILURE() << "cannot start " << program.string() << ": error " << GetLastError();
    }
    ~CCrashingChild()
    {
        if (m_process.hProcess) {
            TerminateProcess(m_process.hProcess, 1);
            CloseHandle(m_process.hProcess);
            CloseHandle(m_process.hThread);
        }
        std::filesystem::remove(m_report);
    }
    CCrashingChild(const CCrashingChild&) = delete;
    CCrashingChild& operator=(const CCrashingChild&) = delete;

    DWORD processID() const { return m_process.dwProcessId; }
    DWORD mainThreadID() const { return m_process.dwThreadId; }

    // The exit code, once the child ended; STILL_ACTIVE when it did not.
    DWORD waitForExit() const
    {
        DWORD code = STILL_ACTIVE;
        if (m_process.hProcess && WaitForSingleObject(m_process.hProcess, childTimeoutMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }
    std::string report() const
    {
        std::ifstream file(m_report, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

private:
    std::filesystem::path m_report;
    PROCESS_INFORMATION m_process = {};
};

size_t countOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// An abort reaches the handler as a signal. The slave's crash report tests make the machine's faults through the same
// installation, and CCrashHandlerTest sees the report's sections.
TEST(installCrashReportingTest, AbortLeavesItsReportAndEndsWithItsCode)
{
    CCrashingChild child("abort");
    EXPECT_EQ(child.waitForExit(), customerCodeBase + SIGABRT);
    const std::string report = child.report();
    EXPECT_EQ(report.rfind("crashing_program 1.2.3\n\n\nFatal Exception at 0x", 0), 0u) << report;
    EXPECT_NE(report.find("Unknown exception code.\n\nThe exception is noncontinuable.\n"), std::string::npos)
        << report;
    // The aborting function and at least one caller.
    EXPECT_GE(countOf(report, "Current Address: "), 2u) << report;
}

TEST(installCrashReportingTest, HangReportShowsTheServingThreadFirstAndEndsTheProcess)
{
    CCrashingChild child("hang");
    wchar_t name[hangReportEventNameSize];
    formatHangReportEventName(name, child.processID());
    // The child makes the event once it installed its handler.
    HANDLE request = nullptr;
    for (int attempt = 0; attempt < 2000 && !request; ++attempt) {
        request = OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
        if (!request)
            Sleep(10);
    }
    ASSERT_NE(request, nullptr);
    SetEvent(request);
    CloseHandle(request);
    EXPECT_EQ(child.waitForExit(), hangReportExitCode);
    const std::string report = child.report();
    const std::string serving = "Thread " + std::to_string(child.mainThreadID()) + " \"\", serving the master's calls:";
    EXPECT_EQ(report.find("crashing_program 1.2.3\n\n\nHang Report\n"), 0u) << report;
    const size_t firstThread = report.find("Thread ");
    EXPECT_EQ(report.find(serving), firstThread) << report;
    // The main thread and the one it made, both recorded with their stacks.
    EXPECT_GE(countOf(report, "Context:\n\n"), 2u) << report;
    EXPECT_GE(countOf(report, "Stack Dump:\nCurrent Address: "), 2u) << report;
}

} // namespace
} // namespace crashhandler
