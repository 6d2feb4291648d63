// Each probe runs in a child that confined itself; the child's end tells what the probe met.
#include "platform/ISandbox.h"

#include "platform/CTempFolder.h"
#include "platform/posix/CFileDescriptor.h"
#include "platform/posix/landlockAbi.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <linux/io_uring.h>
#include <sched.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lumo {
namespace {

// What a probe may touch.
struct SFiles {
    std::string medium;
    std::string errorFile;
    // A terminal opened before confinement, -1 where the system has none.
    int terminal;
};

// 0 when the call worked, else its errno.
int outcomeOf(long result) { return result >= 0 ? 0 : errno; }

int openFile(const std::string& path, int flags)
{
    return outcomeOf(posix::CFileDescriptor(open(path.c_str(), flags | O_CLOEXEC)).get());
}

// The child's exit code when a step reported something it could not apply.
constexpr int incompleteConfinement = 200;
constexpr int maxOpenFiles = 64;

int askTerminalModes(const SFiles& files)
{
    winsize modes{};
    return outcomeOf(ioctl(files.terminal, TIOCGWINSZ, &modes));
}

int setUpRing()
{
    io_uring_params parameters{};
    return outcomeOf(syscall(SYS_io_uring_setup, 4, &parameters));
}

int startThread()
{
    int result = EINVAL;
    std::thread([&] { result = 0; }).join();
    return result;
}

int mapWritableCode()
{
    return outcomeOf(reinterpret_cast<long>(
        mmap(nullptr, 4096, PROT_READ | PROT_WRITE | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)));
}

int makeDataCode()
{
    void* page = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return outcomeOf(mprotect(page, 4096, PROT_READ | PROT_EXEC));
}

int raiseOpenFileLimit()
{
    const rlimit limit = {maxOpenFiles * 2, maxOpenFiles * 2};
    return outcomeOf(setrlimit(RLIMIT_NOFILE, &limit));
}

// 0 when the process has no effective capability left.
int keepsCapabilities()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("CapEff:", 0) == 0)
            return std::stoull(line.substr(7), nullptr, 16) == 0 ? 0 : EPERM;
    return ENOENT;
}

struct SProbeCase {
    const char* name;
    int (*probe)(const SFiles& files);
    int expectedErrno;         // 0: the call works
    int expectedErrnoLandlock; // where the kernel has Landlock
};

const SProbeCase probeCases[] = {
    {"unixSocketPair",
     [](const SFiles&) {
         int pair[2];
         return outcomeOf(socketpair(AF_UNIX, SOCK_STREAM, 0, pair));
     },
     EACCES, EACCES},
    {"ioUring", [](const SFiles&) { return setUpRing(); }, ENOSYS, ENOSYS},
    {"terminalInput", [](const SFiles& files) { return outcomeOf(ioctl(files.terminal, TIOCSTI, "x")); }, ENOSYS,
     ENOSYS},
    {"terminalModes", askTerminalModes, 0, 0},
    {"fork", [](const SFiles&) { return outcomeOf(fork()); }, EPERM, EPERM},
    {"thread", [](const SFiles&) { return startThread(); }, 0, 0},
    {"killOwnGroup", [](const SFiles&) { return outcomeOf(kill(0, 0)); }, EPERM, EPERM},
    {"signalOwnProcess", [](const SFiles&) { return outcomeOf(kill(getpid(), 0)); }, 0, 0},
    {"writableCode", [](const SFiles&) { return mapWritableCode(); }, EACCES, EACCES},
    {"dataMadeCode", [](const SFiles&) { return makeDataCode(); }, EACCES, EACCES},
    {"raiseLimit", [](const SFiles&) { return raiseOpenFileLimit(); }, EPERM, EPERM},
    {"nameThread", [](const SFiles&) { return outcomeOf(prctl(PR_SET_NAME, "probe")); }, 0, 0},
    {"parentDeathSignal", [](const SFiles&) { return outcomeOf(prctl(PR_SET_PDEATHSIG, SIGKILL)); }, ENOSYS, ENOSYS},
    {"memoryFile", [](const SFiles&) { return outcomeOf(syscall(SYS_memfd_create, "probe", 0)); }, ENOSYS, ENOSYS},
    {"capabilities", [](const SFiles&) { return keepsCapabilities(); }, 0, 0},
    {"openFilesLimited",
     [](const SFiles&) {
         rlimit limit = {};
         getrlimit(RLIMIT_NOFILE, &limit);
         return limit.rlim_max == maxOpenFiles ? 0 : ERANGE;
     },
     0, 0},
    {"readMedium", [](const SFiles& files) { return openFile(files.medium, O_RDONLY); }, 0, 0},
    {"writeMedium", [](const SFiles& files) { return openFile(files.medium, O_WRONLY); }, 0, EACCES},
    {"writeErrorFile", [](const SFiles& files) { return openFile(files.errorFile, O_WRONLY | O_TRUNC); }, 0, 0},
    {"removeErrorFile", [](const SFiles& files) { return outcomeOf(unlink(files.errorFile.c_str())); }, ENOSYS, ENOSYS},
};

// A fresh folder for each probe, as a probe that is let through may change its files.
class CSandboxTest : public ::testing::Test {
protected:
    // Forks a child that confines itself to fresh files and exits with the probe's outcome; its wait status.
    int statusOf(int (*probe)(const SFiles&))
    {
        CTempFolder folder;
        folder.put("medium.txt", "medium");
        folder.put("error.txt", "");
        const SFiles files = {folder.pathOf("medium.txt"), folder.pathOf("error.txt"), m_terminal.get()};
        const pid_t child = fork();
        if (child == 0) {
            const P<ISandbox> sandbox = createSandbox();
            sandbox->setMedium(String::fromUTF8(files.medium));
            sandbox->setErrorFile(String::fromUTF8(files.errorFile));
            sandbox->setProgramFolder(String::fromUTF8(nebo::test::binFolder().string()));
            ISandbox::SLimits limits;
            limits.maxOpenFiles = maxOpenFiles;
            sandbox->setLimits(limits);
            const size_t allowedGaps = landlockAbi() > 0 ? 0 : 1;
            if (sandbox->confineProcess().size() != allowedGaps || !sandbox->confineFiles().empty())
                _exit(incompleteConfinement);
            _exit(probe(files));
        }
        int status = 0;
        waitpid(child, &status, 0);
        return status;
    }

    const posix::CFileDescriptor m_terminal{posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)};
};

TEST_F(CSandboxTest, ConfinedChildMeetsEveryRule)
{
    ASSERT_TRUE(m_terminal.isValid()) << "no pseudo-terminal to probe";
    for (const SProbeCase& probe : probeCases) {
        SCOPED_TRACE(probe.name);
        const int status = statusOf(probe.probe);
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), landlockAbi() > 0 ? probe.expectedErrnoLandlock : probe.expectedErrno);
    }
}

// Calls only an attack makes end the process (the crash handler, absent here, would report them first).
TEST_F(CSandboxTest, CallsOnlyAnAttackMakesEndTheProcess)
{
    const std::pair<const char*, int (*)(const SFiles&)> attacks[] = {
        {"execveat",
         [](const SFiles&) {
             char* const noArguments[] = {nullptr};
             return outcomeOf(syscall(SYS_execveat, -1, "", noArguments, noArguments, AT_EMPTY_PATH));
         }},
        {"unshare", [](const SFiles&) { return outcomeOf(unshare(CLONE_NEWUSER)); }},
        {"mount", [](const SFiles&) { return outcomeOf(syscall(SYS_mount, "none", "/", "tmpfs", 0, nullptr)); }},
        {"setns", [](const SFiles&) { return outcomeOf(syscall(SYS_setns, -1, 0)); }},
    };
    for (const auto& [name, attack] : attacks) {
        SCOPED_TRACE(name);
        const int status = statusOf(attack);
        ASSERT_TRUE(WIFSIGNALED(status)) << status;
        EXPECT_EQ(WTERMSIG(status), SIGSYS);
    }
}

} // namespace
} // namespace lumo
