// A plugin that faults takes down only its slave, which leaves a crash report, or the error's text, in its error file.
#include "boxed/CBoxedFixture.h"
#include "crashhandler/posix/drainPipe.h"
#include "slave/CFaultingSlaveFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using lumo::P;
using nebo::test::countOf;

const char* const accessViolationText =
    "The thread tried to read from or write to a virtual address for which it does not have the appropriate access.";

struct SCrashCase {
    const char* fault;
    int signal;
    const char* description;
    // Text the report holds beside the description; may be empty.
    const char* detail;
    // Whether the fault happens in the plugin's own code, built with frame pointers, and not in a library it calls: the
    // C library's abort leaves the stack walk no frame to start from.
    bool bInPlugin;
};

const SCrashCase crashCases[] = {
    {"write16", SIGSEGV, accessViolationText, "Additional Information:\nAttempted to write at 0x00000010\n\n", true},
    {"illegal", SIGILL, "The thread tried to execute an invalid instruction.", "", true},
    {"breakpoint", SIGTRAP, "A breakpoint was encountered.", "", true},
    {"abort", SIGABRT, "Unknown exception code.", "The exception is noncontinuable.", false},
};

void PrintTo(const SCrashCase& crash, std::ostream* out) { *out << crash.fault; }

class CrashReportTest : public nebo::test::CFaultingSlaveFixture {
protected:
    static void SetUpTestSuite()
    {
        // Slaves that die of a signal must not litter the disk with cores.
        rlimit noCores{0, 0};
        getrlimit(RLIMIT_CORE, &noCores);
        noCores.rlim_cur = 0;
        setrlimit(RLIMIT_CORE, &noCores);
#if defined(__SANITIZE_ADDRESS__)
        // The sanitizer's runtime would report these signals in place of the slave's own handler.
        const char* options = std::getenv("ASAN_OPTIONS");
        const std::string ownOptions = std::string(options ? options : "") +
                                       ":handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_abort=0:"
                                       "allow_user_segv_handler=1";
        setenv("ASAN_OPTIONS", ownOptions.c_str(), 1);
#endif
    }
};

// The module list of a report, "<name> : <base>-<end>" per line: each name's base and end.
std::map<std::string, std::pair<uint64_t, uint64_t>> moduleLines(const std::string& report)
{
    std::map<std::string, std::pair<uint64_t, uint64_t>> modules;
    const std::regex line("\n *(\\S+) : ([0-9a-f]+)-([0-9a-f]+)(?=\n)");
    for (std::sregex_iterator match(report.begin(), report.end(), line), end; match != end; ++match)
        modules[(*match)[1]] = {std::stoull((*match)[2], nullptr, 16), std::stoull((*match)[3], nullptr, 16)};
    return modules;
}

class CrashReportFaultTest : public CrashReportTest, public ::testing::WithParamInterface<SCrashCase> {};

TEST_P(CrashReportFaultTest, SlaveDiesOfTheSignalAndLeavesAReport)
{
    const SCrashCase& crash = GetParam();
    ASSERT_NO_FATAL_FAILURE(provoke(crash.fault));
    EXPECT_EQ(m_slave->getExitCode(), 128 + crash.signal);

    const std::string report = errorFileText();
    std::smatch headline;
    ASSERT_TRUE(std::regex_search(report, headline,
                                  std::regex("^ 0\\.0\\.0\n\n\nFatal Exception at 0x([0-9a-f]+) \\((.+), base address: "
                                             "0x([0-9a-f]+)\\):\n\n")))
        << report;
    const std::string address = headline[1], module = headline[2], base = headline[3];
    EXPECT_EQ(report.substr(headline.length(0), std::string(crash.description).size() + 2),
              std::string(crash.description) + "\n\n")
        << report;
    EXPECT_NE(report.find(crash.detail), std::string::npos) << report;
    if (crash.bInPlugin) {
        EXPECT_EQ(module, "nebo_demo.so");
    }

    const auto modules = moduleLines(report);
    EXPECT_EQ(modules.count("nebo_demo.so"), 1u) << report;
    ASSERT_EQ(modules.count(module), 1u) << report;
    const auto [moduleBase, moduleEnd] = modules.at(module);
    EXPECT_EQ(moduleBase, std::stoull(base, nullptr, 16));
    EXPECT_GE(std::stoull(address, nullptr, 16), moduleBase);
    EXPECT_LT(std::stoull(address, nullptr, 16), moduleEnd);

    EXPECT_NE(report.find("RIP:    0x" + address + "\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\n\nStack Dump:\n"), std::string::npos) << report;
    const size_t steps = countOf(report, "Current Address: ");
    EXPECT_GE(steps, crash.bInPlugin ? 2u : 0u) << report;
    EXPECT_LE(steps, 32u) << report;
    if (steps > 0) {
        EXPECT_NE(report.find("Stack Dump:\nCurrent Address: " + address + "\n"), std::string::npos) << report;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFault, CrashReportFaultTest, ::testing::ValuesIn(crashCases),
                         [](const ::testing::TestParamInfo<SCrashCase>& info) { return info.param.fault; });

// A master that captures its slaves' standard error and does not read it: the slave's copy of its report must not hold
// up its death, and the error file gets the whole report first.
TEST_F(CrashReportTest, StackOverflowReportDoesNotWaitForAReader)
{
    const std::pair<const char*, bool> cases[] = {{"stderr", true}, {nullptr, false}};
    for (const auto& [debugOutput, bCopied] : cases) {
        SCOPED_TRACE(debugOutput ? "debug output on standard error" : "debug output in the log");
        m_temp.put("error.txt", "");
        // A pipe of a name, opened for reading first so that the slave's end opens at once.
        const std::string copyPath = m_temp.pathOf("stderr.fifo");
        std::filesystem::remove(copyPath);
        ASSERT_EQ(mkfifo(copyPath.c_str(), 0600), 0);
        const int copyReader = open(copyPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(copyReader, 0);
        P<lumo::IPipeClient> pipe = startServedSlave(2, {copyPath, debugOutput});
        if (!pipe)
            close(copyReader);
        ASSERT_TRUE(pipe);

        // The master waits for the answer as long as the slave lives; the test waits for the slave's end only so long.
        bool bRequestFailed = false;
        std::thread master([&] { bRequestFailed = requestFailingPicture(*pipe, "stack"); });
        const bool bEnded = lumo::waitForEnd(*m_slave);
        const std::string copy = bEnded ? crashhandler::test::drainPipe(copyReader) : "";
        // A slave that still waits to write fails once nothing can read.
        close(copyReader);
        master.join();
        ASSERT_TRUE(bEnded) << "the dying slave waited for a reader of its standard error";
        EXPECT_TRUE(bRequestFailed);
        EXPECT_EQ(m_slave->getExitCode(), 128 + SIGSEGV);

        const std::string report = errorFileText();
        EXPECT_EQ(report.rfind(" 0.0.0\n\n\nFatal Exception at 0x", 0), 0u) << report.substr(0, 200);
        EXPECT_NE(report.find("The thread used up its stack."), std::string::npos);
        EXPECT_EQ(countOf(report, "Current Address: "), 32u);
        if (!bCopied) {
            EXPECT_EQ(copy, "");
            continue;
        }
        // More than the pipe holds: the copy stops where the pipe filled up.
        ASSERT_GT(report.size(), copy.size());
        EXPECT_FALSE(copy.empty());
        EXPECT_TRUE(report.compare(0, copy.size(), copy) == 0);
    }
}

} // namespace
