// A real slave hosts a plugin that tries what a confined slave must be refused; with NEBO_SANDBOX=off the same acts
// succeed, which shows that the refusals come from the confinement and not from the test.
#include "boxed/CBoxedFixture.h"
#include "host/master/CEncapsulatedSource.h"
#include "media/CNEBError.h"
#include "platform/posix/bindLoopback.h"
#include "platform/posix/landlockAbi.h"
#include "support/CScopedStandardStreams.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using lumo::posix::CFileDescriptor;
using nebo::common::CEncapsulatedSource;
using nebo::common::CNEBError;

// True when the system setting at `path` is 0 or missing: a kernel without it allows everyone.
bool systemAllows(const char* path)
{
    std::ifstream setting(path);
    int value = 0;
    return !(setting >> value) || value == 0;
}

const char* const ringSetting = "/proc/sys/kernel/io_uring_disabled";
const char* const traceSetting = "/proc/sys/kernel/yama/ptrace_scope";

// What gets in the way of an act besides the confinement: a kernel without the file rules (Landlock), a setting of the
// system that a slave meets unconfined too (null for none), or the act's call ending a confined slave.
struct SAct {
    const char* name;
    bool bFileRule;
    const char* systemSetting;
    bool bEndsConfinedSlave;
};

// clang-format off
const SAct acts[] = {
    {"readSecret", true, nullptr, false},          {"writeFile", true, nullptr, false},
    {"listFolder", true, nullptr, false},          {"connectLocal", false, nullptr, false},
    {"uringSocket", false, ringSetting, false},    {"fork", false, nullptr, false},
    {"readMasterEnviron", true, nullptr, false},   {"traceMaster", false, traceSetting, true},
    {"signalMaster", false, nullptr, false},
};
// clang-format on

// A copy of the real slave, beside the intruder that it loads.
std::string sandboxSlave() { return (nebo::test::binFolder() / "sandbox-tests" / "nebo_slave").string(); }

// The text after "`name`:" in this process's status; empty when it has no such line.
std::string statusOfThisProcess(const std::string& name)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(name + ":", 0) == 0)
            return line.substr(name.size() + 1);
    return std::string();
}

// Pushing input into a terminal takes CAP_SYS_ADMIN where the system keeps it from everyone else (legacy_tiocsti 0);
// otherwise a slave may push into a terminal it opens as its controlling one.
bool systemLetsSlavesTypeIntoTerminals()
{
    std::ifstream legacy("/proc/sys/dev/tty/legacy_tiocsti");
    int allowed = 1;
    legacy >> allowed;
    constexpr unsigned long long systemAdministration = 1ull << 21;
    return allowed == 1 || (std::strtoull(statusOfThisProcess("CapEff").c_str(), nullptr, 16) & systemAdministration);
}

// Whatever can be read from `descriptor` without waiting.
std::string takeWaiting(int descriptor)
{
    std::string taken;
    char buffer[4096];
    for (ssize_t count; (count = read(descriptor, buffer, sizeof buffer)) > 0;)
        taken.append(buffer, static_cast<size_t>(count));
    return taken;
}

// A pseudo-terminal in raw mode, so that what is pushed into its input queue reads back at once, as it arrived.
class CPseudoTerminal {
public:
    CPseudoTerminal() : m_control(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
    {
        char name[128] = {};
        if (!m_control.isValid() || grantpt(m_control.get()) != 0 || unlockpt(m_control.get()) != 0 ||
            ptsname_r(m_control.get(), name, sizeof name) != 0) {
            ADD_FAILURE() << "no pseudo-terminal: " << std::strerror(errno);
            return;
        }
        m_name = name;
        m_terminal = CFileDescriptor(open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        termios modes{};
        EXPECT_EQ(tcgetattr(m_terminal.get(), &modes), 0);
        cfmakeraw(&modes);
        EXPECT_EQ(tcsetattr(m_terminal.get(), TCSANOW, &modes), 0);
    }

    const std::string& name() const { return m_name; }
    // What waits in the terminal's input queue, as typed or pushed there.
    std::string takeInput() const { return takeWaiting(m_terminal.get()); }
    std::string takeOutput() const { return takeWaiting(m_control.get()); }

private:
    CFileDescriptor m_control;
    CFileDescriptor m_terminal;
    std::string m_name;
};

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
        m_listener = lumo::posix::bindLoopback(SOCK_STREAM | SOCK_NONBLOCK, m_port);
        EXPECT_EQ(listen(m_listener.get(), 1), 0);
        m_datagrams = lumo::posix::bindLoopback(SOCK_DGRAM | SOCK_NONBLOCK, m_udpPort);
    }

    // Asks a slave for a source of the intruder, which tries `names` (comma-separated) with `moreQuery`
    // ("&name=value...") among its parameters; the error with which the master failed.
    std::string intrude(const std::string& names, const std::string& moreQuery = std::string())
    {
        const std::string query = "acts=" + names + "&master=" + std::to_string(getpid()) +
                                  "&secret=" + m_home->pathOf("secret") + "&written=" + writtenPath() +
                                  "&folder=" + m_home->pathOf("") + "&port=" + std::to_string(m_port) +
                                  "&udpPort=" + std::to_string(m_udpPort) + "&program=/bin/true" + moreQuery;
        const P<lumo::CURI> uri = make<lumo::CURI>(String::fromUTF8("file:///intruder/target.intrude?" + query));
        const P<CEncapsulatedSource> source =
            make<CEncapsulatedSource>(m_context, String("nebo_intruder"), *uri, 3, nullptr);
        try {
            source->open();
        } catch (const CNEBError& error) {
            return nebo::test::descriptionOf(error);
        }
        ADD_FAILURE() << "the intruder made a source";
        return std::string();
    }

    // Tries every act in one slave, but those that end a confined slave when it is confined.
    std::string intrudeWithEveryAct(bool bConfined)
    {
        std::string names;
        for (const SAct& act : acts)
            if (!bConfined || !act.bEndsConfinedSlave)
                names += (names.empty() ? "" : ",") + std::string(act.name);
        return intrude(names);
    }

    // What the intruder logged last for `act`, as the slave's log reached the master's.
    std::string outcomeOf(const char* act) const
    {
        const std::string log = logText();
        const std::string mark = "intruder " + std::string(act) + ": ";
        const size_t start = log.rfind(mark);
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

    // True when a datagram reached the UDP port; takes it.
    bool datagramArrived() const
    {
        char datagram[64];
        return recv(m_datagrams.get(), datagram, sizeof datagram, 0) >= 0;
    }

    std::string writtenPath() const { return m_home->pathOf("intruder-was-here"); }

    void expectMasterUnharmed() const
    {
        EXPECT_EQ(nebo::test::filesIn(m_home->pathOf("")), std::vector<std::string>{"secret"});
        EXPECT_FALSE(listenerWasReached());
        EXPECT_FALSE(datagramArrived());
        EXPECT_EQ(statusOfThisProcess("TracerPid"), "\t0");
        // Nothing of the slave's outlives the master's letting its launchers go.
        nebo::common::CSlaveLaunchers::get()->endAll();
        EXPECT_TRUE(nebo::test::noProcessRuns(sandboxSlave()));
    }

private:
    std::optional<lumo::CTempFolder> m_home;
    CFileDescriptor m_listener;
    int m_port = 0;
    CFileDescriptor m_datagrams;
    int m_udpPort = 0;
};

TEST_F(SlaveConfinementTest, ConfinedSlaveIsRefusedEveryActAndLeavesTheMasterUnharmed)
{
    const lumo::CScopedEnvironment confinement("NEBO_SANDBOX", nullptr);
    const std::string error = intrudeWithEveryAct(true);
    const bool bFileRules = lumo::landlockAbi() > 0;
    for (const SAct& act : acts) {
        if ((!bFileRules && act.bFileRule) || act.bEndsConfinedSlave)
            continue;
        EXPECT_TRUE(isRefused(outcomeOf(act.name))) << act.name << ": " << outcomeOf(act.name) << "\n" << error;
    }
    if (!bFileRules)
        std::cout << "[   NOTE   ] this kernel has no Landlock: the acts only file rules stop were not checked\n";
    else
        expectMasterUnharmed();
}

// Confined, the slave ends at a call only an attack makes, with a report naming it; unconfined, an exec puts /bin/true
// in the slave's place, which ends well in the middle of a call.
TEST_F(SlaveConfinementTest, CallsOnlyAnAttackMakesEndAConfinedSlaveWithAReportNamingThem)
{
    const struct {
        const char* act;
        const char* setting;
        const char* expected;
    } cases[] = {
        {"exec", nullptr, "The plugin called execve,"},
        {"exec", "off", "exit code 0"},
        {"filelessExec", nullptr, "The plugin called execveat,"},
        {"filelessExec", "off", "exit code 0"},
#ifndef __SANITIZE_ADDRESS__
        // The leak checker traces the slave's threads: there the filter lets ptrace through.
        {"traceMaster", nullptr, "The plugin called ptrace,"},
#endif
    };
    for (const auto& [act, setting, expected] : cases) {
        SCOPED_TRACE(std::string(act) + ", NEBO_SANDBOX " + (setting ? setting : "unset"));
        const lumo::CScopedEnvironment confinement("NEBO_SANDBOX", setting);
        const std::string error = intrude(act);
        EXPECT_NE(error.find(expected), std::string::npos) << error;
        expectMasterUnharmed();
    }
}

TEST_F(SlaveConfinementTest, UnconfinedSlaveDoesWhatOnlyTheConfinementStops)
{
    const lumo::CScopedEnvironment confinement("NEBO_SANDBOX", "off");
    const std::string error = intrudeWithEveryAct(false);
    for (const SAct& act : acts) {
        if (act.systemSetting && !systemAllows(act.systemSetting))
            std::cout << "[   NOTE   ] this system forbids " << act.name << " to every process: not checked\n";
        else
            EXPECT_EQ(outcomeOf(act.name), "done") << act.name << "\n" << error;
    }
    // The acts really reached the master's surroundings.
    EXPECT_TRUE(std::filesystem::exists(writtenPath()));
    EXPECT_TRUE(listenerWasReached());
    EXPECT_EQ(datagramArrived(), systemAllows(ringSetting));
}

// The slave gets the master's terminal as its standard output and error (NEBO_DEBUG_OUTPUT=stderr keeps them for
// slaves; its input is never the master's) and its name in the medium, and tries to type a line into it.
TEST_F(SlaveConfinementTest, OnlyAnUnconfinedSlaveTypesIntoTheMastersTerminal)
{
    const lumo::CScopedEnvironment debugOutput("NEBO_DEBUG_OUTPUT", "stderr");
    const CPseudoTerminal terminal;
    ASSERT_FALSE(terminal.name().empty());
    const std::string line = "intruded";
    for (const char* setting : {static_cast<const char*>(nullptr), "off"}) {
        SCOPED_TRACE(setting ? setting : "unset");
        const lumo::CScopedEnvironment confinement("NEBO_SANDBOX", setting);
        std::string error;
        {
            const nebo::test::CScopedStandardStreams standard(terminal.name(), terminal.name());
            error = intrude("injectTerminal", "&text=" + line + "&terminal=" + terminal.name());
        }
        // What the master and the slave wrote meanwhile, and the test's own report.
        std::cout << terminal.takeOutput() << std::flush;
        const std::string typed = terminal.takeInput();
        if (!setting) {
            EXPECT_TRUE(isRefused(outcomeOf("injectTerminal"))) << outcomeOf("injectTerminal") << "\n" << error;
            EXPECT_EQ(typed, "");
        } else if (!systemLetsSlavesTypeIntoTerminals()) {
            std::cout << "[   NOTE   ] this system lets no slave type into a terminal: unconfined half skipped\n";
        } else {
            EXPECT_EQ(outcomeOf("injectTerminal"), "done") << error;
            EXPECT_EQ(typed, line + "\n");
        }
        expectMasterUnharmed();
    }
}

} // namespace
