// A real slave hosts a plugin that tries what a confined slave must be
// refused. Confined, every act fails and the master stays unharmed; with
// NEBO_SANDBOX=off the acts succeed, which shows that the refusals come from
// the confinement and not from the test.
#include "boxed/CBoxedFixture.h"
#include "host/CEncapsulatedSource.h"
#include "media/CNEBError.h"
#include "platform/posix/landlockAbi.h"
#include "platform/posix/CFileDescriptor.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <netinet/in.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using lumo::posix::CFileDescriptor;
using nebo::common::CEncapsulatedSource;
using nebo::common::CNEBError;

// What keeps an act from the slave: its confinement, or on systems that forbid
// a process to trace its ancestors (Yama) the system already.
enum class EGuard { confinement, confinementOrTraceRule };

// bFileRule: stopped by the file rules (Landlock), which a kernel may lack.
struct SAct { const char* name; EGuard guard; bool bFileRule; };

const SAct acts[] = {
    {"readSecret", EGuard::confinement, true},
    {"writeFile", EGuard::confinement, true},
    {"listFolder", EGuard::confinement, true},
    {"connectLocal", EGuard::confinement, false},
    {"fork", EGuard::confinement, false},
    {"readMasterEnviron", EGuard::confinement, true},
    {"traceMaster", EGuard::confinementOrTraceRule, false},
    {"signalMaster", EGuard::confinement, false},
};

// A copy of the real slave, beside the intruder that it loads.
std::string sandboxSlave() { return (nebo::test::binFolder() / "sandbox-tests" / "nebo_slave").string(); }

bool systemLetsChildrenTraceParents()
{
    std::ifstream scope("/proc/sys/kernel/yama/ptrace_scope");
    int value = 0;
    return !(scope >> value) || value == 0;
}

// The process id that traces this one, 0 for none.
int tracerOfThisProcess()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("TracerPid:", 0) == 0)
            return std::stoi(line.substr(10));
    return -1;
}

bool isRefused(const std::string& outcome) { return outcome.rfind("refused (", 0) == 0; }

class SlaveConfinementTest : public nebo::test::CBoxedFixture {
protected:
    SlaveConfinementTest()
    {
        m_context->setSlaveProgram(make<lumo::CURI>(String::fromUTF8("file://" + sandboxSlave())));
        m_context->setPrefetch(false);
        {
            // Not the slave's temporary folder, which it may be allowed to use.
            const std::string systemTemp = std::filesystem::path(m_temp.pathOf("")).parent_path().parent_path();
            const lumo::CScopedEnvironment temp("TMPDIR", systemTemp.c_str());
            m_home.emplace();
        }
        m_home->put("secret", "the master's private key");
        listen();
    }

    // Asks a slave for a source of the intruder, which tries `names`
    // (comma-separated), and returns the error with which the master failed.
    std::string intrude(const std::string& names)
    {
        const P<CEncapsulatedSource> source =
            make<CEncapsulatedSource>(m_context, String("nebo_intruder"), *intruderURI(names), 3, nullptr);
        try {
            source->open();
        } catch (const CNEBError& error) {
            return nebo::test::descriptionOf(error);
        }
        ADD_FAILURE() << "the intruder made a source";
        return std::string();
    }

    std::string intrudeWithEveryAct()
    {
        std::string names;
        for (const SAct& act : acts)
            names += (names.empty() ? "" : ",") + std::string(act.name);
        return intrude(names);
    }

    // What the intruder logged for `act`, as the slave's log reached the master's.
    std::string outcomeOf(const char* act) const
    {
        const std::string log = logText();
        const std::string mark = "intruder " + std::string(act) + ": ";
        const size_t start = log.find(mark);
        if (start == std::string::npos)
            return "not logged";
        const size_t from = start + mark.size();
        return log.substr(from, log.find_first_of("<\n", from) - from);
    }

    // True when someone connected to the listener; takes that connection.
    bool listenerWasReached() const
    {
        return CFileDescriptor(accept4(m_listener.get(), nullptr, nullptr, SOCK_CLOEXEC)).isValid();
    }

    std::string writtenPath() const { return m_home->pathOf("intruder-was-here"); }

    void expectMasterUnharmed() const
    {
        EXPECT_EQ(nebo::test::filesIn(m_home->pathOf("")), std::vector<std::string>{"secret"});
        EXPECT_FALSE(listenerWasReached());
        EXPECT_EQ(tracerOfThisProcess(), 0);
        EXPECT_TRUE(nebo::test::noProcessRuns(sandboxSlave()));
    }

private:
    P<lumo::CURI> intruderURI(const std::string& names) const
    {
        const std::string query =
            "acts=" + names + "&master=" + std::to_string(getpid()) + "&secret=" + m_home->pathOf("secret") +
            "&written=" + writtenPath() + "&folder=" + m_home->pathOf("") + "&port=" + std::to_string(m_port);
        return make<lumo::CURI>(String::fromUTF8("file:///intruder/target.intrude?" + query));
    }

    void listen()
    {
        m_listener = CFileDescriptor(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ASSERT_EQ(bind(m_listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::listen(m_listener.get(), 1), 0);
        ASSERT_EQ(getsockname(m_listener.get(), reinterpret_cast<sockaddr*>(&address), &length), 0);
        m_port = ntohs(address.sin_port);
    }

    std::optional<lumo::CTempFolder> m_home;
    CFileDescriptor m_listener;
    int m_port = 0;
};

TEST_F(SlaveConfinementTest, ConfinedSlaveIsRefusedEveryActAndLeavesTheMasterUnharmed)
{
    const lumo::CScopedEnvironment confinement("NEBO_SANDBOX", nullptr);
    const std::string error = intrudeWithEveryAct();
    const bool bFileRules = lumo::landlockAbi() > 0;
    for (const SAct& act : acts) {
        if (!bFileRules && act.bFileRule)
            continue;
        EXPECT_TRUE(isRefused(outcomeOf(act.name))) << act.name << ": " << outcomeOf(act.name) << "\n" << error;
    }
    if (!bFileRules)
        std::cout << "[   NOTE   ] this kernel has no Landlock: the acts only file rules stop were not checked\n";
    else
        expectMasterUnharmed();
}

// Confined, the exec ends the slave with a report naming the call; unconfined, /bin/true took the slave's place
// and ended well, in the middle of a call.
TEST_F(SlaveConfinementTest, ExecEndsAConfinedSlaveWithAReportNamingExecveOnly)
{
    const std::pair<const char*, const char*> cases[] = {{nullptr, "execve"}, {"off", "exit code 0"}};
    for (const auto& [setting, expected] : cases) {
        SCOPED_TRACE(setting ? setting : "unset");
        const lumo::CScopedEnvironment confinement("NEBO_SANDBOX", setting);
        const std::string error = intrude("exec");
        EXPECT_NE(error.find(expected), std::string::npos) << error;
        expectMasterUnharmed();
    }
}

TEST_F(SlaveConfinementTest, UnconfinedSlaveDoesWhatOnlyTheConfinementStops)
{
    const lumo::CScopedEnvironment confinement("NEBO_SANDBOX", "off");
    const bool bTracingAllowed = systemLetsChildrenTraceParents();
    const std::string error = intrudeWithEveryAct();
    for (const SAct& act : acts) {
        if (act.guard == EGuard::confinement || bTracingAllowed) {
            EXPECT_EQ(outcomeOf(act.name), "done") << act.name << "\n" << error;
        }
    }
    // The acts really reached the master's surroundings.
    EXPECT_TRUE(std::filesystem::exists(writtenPath()));
    EXPECT_TRUE(listenerWasReached());
}

} // namespace
