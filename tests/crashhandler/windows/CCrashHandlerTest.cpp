#include "crashhandler/ICrashHandler.h"
#include "crashhandler/windows/SExceptionPointers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <windows.h>

namespace crashhandler {
namespace {

constexpr DWORD testCode = 0xE0001234;

std::string g_reportPath;

// Reports the test's own exception from where the system delivers it, and lets the raiser go on.
LONG CALLBACK reportTestException(EXCEPTION_POINTERS* exception)
{
    if (exception->ExceptionRecord->ExceptionCode != testCode)
        return EXCEPTION_CONTINUE_SEARCH;
    ICrashHandler* handler = createCrashHandler("handler test", "9.8.7");
    handler->handleCrash(g_reportPath.c_str(), {exception->ExceptionRecord, exception->ContextRecord}, false);
    handler->destroy();
    return EXCEPTION_CONTINUE_EXECUTION;
}

TEST(CCrashHandlerTest, ReportOfARealExceptionFromItsRecordAndContext)
{
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("handler-report-" + std::to_string(GetCurrentProcessId()) + ".txt");
    g_reportPath = path.string();
    const PVOID handler = AddVectoredExceptionHandler(1, &reportTestException);
    ASSERT_NE(handler, nullptr);
    const ULONG_PTR parameters[] = {0x11, ~ULONG_PTR(0)};
    RaiseException(testCode, 0, 2, parameters);
    RemoveVectoredExceptionHandler(handler);

    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    const std::string report = text.str();
    file.close();
    std::filesystem::remove(path);

    // Raised inside a system library, which the module list names.
    const std::regex headline("^handler test 9\\.8\\.7\n\n\nFatal Exception at 0x[0-9a-f]{8,16} "
                              "\\(\\S+\\.dll, base address: 0x[0-9a-f]{8,16}\\):\n\n"
                              "Unknown exception code\\.\n\n"
                              "Additional Information:\n0x00000011\n0xffffffffffffffff\n\n"
                              "The exception is continuable\\.\n\nContext:\n\n");
    EXPECT_TRUE(std::regex_search(report, headline)) << report;
    for (const char* part : {"Integer registers:\n", "Control registers:\n", "Module Addresses:\n",
                             "crashhandler_tests.exe : ", "Stack Dump:\nCurrent Address: "})
        EXPECT_NE(report.find(part), std::string::npos) << part << "\nin\n" << report;
    // The walk leaves the raising library for this test and its callers.
    size_t steps = 0;
    for (size_t at = report.find("Current Address: "); at != std::string::npos;
         at = report.find("Current Address: ", at + 1))
        ++steps;
    EXPECT_GE(steps, 3u) << report;
}

} // namespace
} // namespace crashhandler
