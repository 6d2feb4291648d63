// Each probe runs in a child that confined itself; the child's end tells what the probe met.
#include "platform/ISandbox.h"

#include "platform/CTempFolder.h"
#include "platform/posix/landlockAbi.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumo {
namespace {

// What a probe may touch.
struct SFiles {
    std::string medium;
    std::string errorFile;
};

// 0 when the call worked, else its errno.
int outcomeOf(long result) { return result >= 0 ? 0 : errno; }

int openFile(const std::string& path, int flags)
{
    const int file = open(path.c_str(), flags | O_CLOEXEC);
    if (file < 0)
        return errno;
    close(file);
    return 0;
}

// The child's exit code when engage() reported something it could not apply.
constexpr int incompleteConfinement = 200;
constexpr int maxOpenFiles = 64;

// Forks a child that confines itself to `files` and exits with the probe's outcome; gives its wait status.
template <typename TProbe> int statusOfConfinedChild(const SFiles& files, TProbe probe)
{
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
        if (sandbox->engage().size() != allowedGaps)
            _exit(incompleteConfinement);
        _exit(probe(files));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
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
    {"killOwnGroup", [](const SFiles&) { return outcomeOf(kill(0, 0)); }, EPERM, EPERM},
    {"unshare", [](const SFiles&) { return outcomeOf(syscall(SYS_unshare, 0x20000 /* CLONE_NEWNS */)); }, EPERM, EPERM},
    {"openFilesLimited",
     [](const SFiles&) {
         rlimit limit = {};
         getrlimit(RLIMIT_NOFILE, &limit);
         return limit.rlim_max == maxOpenFiles ? 0 : ERANGE;
     },
     0, 0},
    {"readMedium", [](const SFiles& files) { return openFile(files.medium, O_RDONLY); }, 0, 0},
    {"writeMedium", [](const SFiles& files) { return openFile(files.medium, O_WRONLY); }, 0, EACCES},
    {"removeErrorFile", [](const SFiles& files) { return outcomeOf(unlink(files.errorFile.c_str())); }, 0, EACCES},
};

TEST(CSandboxTest, ConfinedChildMeetsEveryRule)
{
    for (const SProbeCase& probe : probeCases) {
        SCOPED_TRACE(probe.name);
        // A fresh folder for each, as a probe that is let through may change its files.
        CTempFolder folder;
        folder.put("medium.txt", "medium");
        folder.put("error.txt", "");
        const SFiles files = {folder.pathOf("medium.txt"), folder.pathOf("error.txt")};
        const int status = statusOfConfinedChild(files, probe.probe);
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), landlockAbi() > 0 ? probe.expectedErrnoLandlock : probe.expectedErrno);
    }
}

} // namespace
} // namespace lumo
