// The slave's confinement as POSIX makes it: a child of the test confined as a slave confines itself.
#include "slave/CSlaveConfinement.h"

#include "crashhandler/posix/hangReportHandler.h"
#include "crashhandler/posix/hangReportSignal.h"
#include "foundation/CURI.h"
#include "host/common/CLogManager.h"
#include "platform/CTempFolder.h"
#include "platform/posix/landlockAbi.h"
#include "slave/CSlaveServices.h"
#include "support/CScopedEnvironment.h"
#include "support/runProgram.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <pthread.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using lumo::make;
using nebo::common::CSlaveConfinement;

class CSlaveConfinementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_temp.put("error.txt", "");
        std::filesystem::create_directory(m_pluginFolder);
    }

    // Forks a child that installs the slave's crash filter, confines itself as a slave does for a medium and runs
    // `probe`, whose result is the child's exit code; returns the child's wait status.
    template <typename TProbe> int statusOfConfinedSlave(TProbe probe)
    {
        const pid_t child = fork();
        if (child == 0) {
            nebo::common::CSlaveServices services;
            services.installCrashFilter(m_errorFile);
            CSlaveConfinement confinement(m_errorFile, m_pluginFolder, make<nebo::common::CLogManager>("slavelog"));
            confinement.confineProcess();
            confinement.engageFor(*lumo::CURI::fromNativePath(lumo::String::fromUTF8(m_temp.pathOf("clip.demo"))));
            _exit(probe());
        }
        int status = 0;
        waitpid(child, &status, 0);
        return status;
    }

    lumo::CTempFolder m_temp;
    const std::string m_errorFile = m_temp.pathOf("error.txt");
    const std::string m_pluginFolder = m_temp.pathOf("plugins");
};

TEST_F(CSlaveConfinementTest, HangReportHoldsEveryThreadOfTheConfinedSlave)
{
    const int status = statusOfConfinedSlave([] {
        static std::atomic<bool> bNamed{false};
        std::thread([] {
            pthread_setname_np(pthread_self(), "worker");
            bNamed = true;
            for (;;)
                pause();
        }).detach();
        while (!bNamed)
            usleep(1000);
        // The request as the master sends it; the handler ends the process.
        kill(getpid(), crashhandler::hangReportSignal);
        sleep(20);
        return 1;
    });
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), crashhandler::hangReportExitCode);
    // The thread that installed the handler serves; the worker, started inside the sandbox, was asked and answered.
    const std::string report = nebo::test::readWholeFile(m_errorFile);
    EXPECT_NE(report.find("\", serving the master's calls:\n\nContext:\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\"worker\":\n\nContext:\n"), std::string::npos) << report;
}

TEST_F(CSlaveConfinementTest, ThePluginFolderStaysReadableAndItsNeighboursDoNot)
{
    if (lumo::landlockAbi() == 0)
        GTEST_SKIP() << "the kernel has no Landlock";
    const std::string neighbour = m_temp.pathOf("other");
    std::filesystem::create_directory(neighbour);
    const struct {
        std::string file;
        bool bReadable;
    } cases[] = {
        {m_pluginFolder + "/sub/data.txt", true},
        {neighbour + "/data.txt", false},
        {m_temp.pathOf("data.txt"), false},
    };
    for (const auto& test : cases) {
        std::filesystem::create_directories(std::filesystem::path(test.file).parent_path());
        std::ofstream(test.file) << "x";
        const int status = statusOfConfinedSlave([&test] { return std::ifstream(test.file) ? 0 : 1; });
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status) == 0, test.bReadable) << test.file;
    }
}

#if !defined(__SANITIZE_ADDRESS__)
TEST_F(CSlaveConfinementTest, TheMasterSetsTheAddressSpace)
{
    const struct {
        const char* setting;
        rlim_t limit;
    } cases[] = {
        {"3221225472", 3221225472},
        {nullptr, CSlaveConfinement::defaultMaxAddressSpace},
        {"-1", CSlaveConfinement::defaultMaxAddressSpace},
        {"0", CSlaveConfinement::defaultMaxAddressSpace},
    };
    for (const auto& test : cases) {
        const lumo::CScopedEnvironment setting("NEBO_SLAVE_MAX_ADDRESS_SPACE", test.setting);
        const int status = statusOfConfinedSlave([&test] {
            rlimit limit = {};
            getrlimit(RLIMIT_AS, &limit);
            return limit.rlim_cur == test.limit && limit.rlim_max == test.limit ? 0 : 1;
        });
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << (test.setting ? test.setting : "unset");
    }
}
#endif

} // namespace
