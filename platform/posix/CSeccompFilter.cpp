#include "platform/posix/CSeccompFilter.h"

#include "crashhandler/posix/trappedSystemCalls.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <seccomp.h>
#include <set>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

// The list below is what a slave and the shipped plugins were seen to make
// over the whole test suite and real media through every plugin, and no
// more. A new plugin that needs another call: run its slave under
// `strace -D -f` (the master accepts only the process it started, and -D
// keeps its id) with NEBO_SANDBOX=off, find the calls it makes after
// connecting to the master, and add each that is harmless to a decoder to
// `freeCalls`, or, when its arguments decide, an argument rule to
// `argumentRules`. A call that can reach beyond the process (files are
// Landlock's: opening stays free) needs an argument rule or stays out.

namespace lumo::posix {

namespace {

// Let through whatever their arguments: reading and writing descriptors
// the process holds, waiting, time, memory it maps without code, its own
// identity and signal handling.
constexpr const char* freeCalls[] = {
    // Descriptors and files (Landlock decides which paths open).
    "read",
    "write",
    "readv",
    "writev",
    "pread64",
    "pwrite64",
    "preadv",
    "pwritev",
    "preadv2",
    "pwritev2",
    "lseek",
    "close",
    "close_range",
    "dup",
    "dup2",
    "dup3",
    "open",
    "openat",
    "fstat",
    "stat",
    "lstat",
    "newfstatat",
    "statx",
    "fstatfs",
    "statfs",
    "access",
    "faccessat",
    "faccessat2",
    "readlink",
    "readlinkat",
    "getdents64",
    "getcwd",
    "fadvise64",
    "fsync",
    "fdatasync",
    "ftruncate",
    "pipe2",
    "eventfd2",
    // Waiting on descriptors.
    "poll",
    "ppoll",
    "select",
    "pselect6",
    "epoll_create1",
    "epoll_ctl",
    "epoll_wait",
    "epoll_pwait",
    // The pipe to the master, connected before the filter, and the buffers
    // it hands over.
    "recvmsg",
    "sendmsg",
    "recvfrom",
    "sendto",
    "shutdown",
    "getsockopt",
    "getsockname",
    "getpeername",
    // Memory without new code.
    "brk",
    "munmap",
    "mremap",
    "madvise",
    "msync",
    "mincore",
    "membarrier",
    // Threads and their synchronisation.
    "futex",
    "set_robust_list",
    "rseq",
    "set_tid_address",
    "sched_yield",
    "sched_getaffinity",
    "exit",
    "exit_group",
    // Its own identity.
    "getpid",
    "gettid",
    "getppid",
    "getuid",
    "geteuid",
    "getgid",
    "getegid",
    "getresuid",
    "getresgid",
    "getgroups",
    "getpgrp",
    "uname",
    "sysinfo",
    "getrlimit",
    // Its own signal handling.
    "rt_sigaction",
    "rt_sigprocmask",
    "rt_sigreturn",
    "rt_sigpending",
    "rt_sigtimedwait",
    "rt_sigsuspend",
    "sigaltstack",
    "restart_syscall",
    "pause",
    // Time and chance.
    "clock_gettime",
    "clock_getres",
    "clock_nanosleep",
    "nanosleep",
    "gettimeofday",
    "time",
    "times",
    "getrusage",
    "getrandom",
    // Narrowing the file rules further once the medium is known.
    "landlock_create_ruleset",
    "landlock_add_rule",
    "landlock_restrict_self",
};

// What a thread's clone may not ask for: namespaces of its own.
constexpr scmp_datum_t namespaceFlags = CLONE_NEWNS | CLONE_NEWCGROUP | CLONE_NEWUTS | CLONE_NEWIPC | CLONE_NEWUSER |
                                        CLONE_NEWPID | CLONE_NEWNET | CLONE_NEWTIME;

// ioctl requests a decoder makes on the descriptors it holds: whether one
// is a terminal (isatty), how many bytes wait, blocking and closing on
// exec. Every other request, the terminal's input (TIOCSTI, TIOCLINUX),
// modes and session above all, stays refused whatever the descriptor.
constexpr scmp_datum_t ioctlRequests[] = {TCGETS, TIOCGWINSZ, FIONREAD, FIONBIO, FIOCLEX, FIONCLEX};

// fcntl commands on the process's own descriptors; none that sends
// signals (F_SETOWN, F_SETSIG) or leases.
constexpr scmp_datum_t fcntlCommands[] = {F_DUPFD, F_DUPFD_CLOEXEC, F_GETFD, F_SETFD,  F_GETFL,
                                          F_SETFL, F_GETLK,         F_SETLK, F_SETLKW, F_GET_SEALS};

// prctl options that name a thread or read a setting.
constexpr scmp_datum_t prctlOptions[] = {PR_SET_NAME, PR_GET_NAME, PR_GET_DUMPABLE, PR_SET_VMA};

#ifdef __SANITIZE_ADDRESS__
// The leak checker of sanitizer builds stops the world at exit with a
// helper that shares the address space (clone with CLONE_VM), makes the
// process traceable again and traces its threads. A new program cannot come
// of it (exec stays trapped), and Landlock keeps ptrace to the sandbox's own.
constexpr bool bSanitized = true;
#else
constexpr bool bSanitized = false;
#endif
// The clone flags whose absence makes a process, refused with EPERM.
constexpr scmp_datum_t processCloneMask = bSanitized ? CLONE_THREAD | CLONE_VM : CLONE_THREAD;

struct SRule {
    const char* name;
    uint32_t action;
    std::vector<scmp_arg_cmp> conditions;
};

scmp_arg_cmp argumentIs(unsigned argument, scmp_datum_t value) { return {argument, SCMP_CMP_EQ, value, 0}; }

scmp_arg_cmp argumentIsNot(unsigned argument, scmp_datum_t value) { return {argument, SCMP_CMP_NE, value, 0}; }

scmp_arg_cmp bitsAre(unsigned argument, scmp_datum_t mask, scmp_datum_t value)
{
    return {argument, SCMP_CMP_MASKED_EQ, mask, value};
}

void allowEach(std::vector<SRule>& rules, const char* name, unsigned argument, const scmp_datum_t* values, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        rules.push_back({name, SCMP_ACT_ALLOW, {argumentIs(argument, values[i])}});
}

// Calls whose arguments decide, and refusals a library should meet with
// an error of its own kind rather than ENOSYS. libseccomp admits one
// comparison per argument in a rule, and no unconditional rule beside
// conditional ones of the same call: a call whose allowed values are a
// list meets the filter's default refusal for every other value.
// What a launcher needs beyond a slave: its children, and what each does
// before it loads the slave's filter on top.
void addLauncherRules(std::vector<SRule>& rules)
{
    // A process that shares nothing (fork), never one in namespaces.
    rules.push_back({"clone", SCMP_ACT_ALLOW, {bitsAre(0, CLONE_THREAD | CLONE_VM | namespaceFlags, 0)}});
    rules.push_back({"wait4", SCMP_ACT_ALLOW, {}});
    rules.push_back({"pidfd_open", SCMP_ACT_ALLOW, {}});
    rules.push_back({"getpriority", SCMP_ACT_ALLOW, {argumentIs(0, PRIO_PROCESS), argumentIs(1, 0)}});
    rules.push_back({"setpriority", SCMP_ACT_ALLOW, {argumentIs(0, PRIO_PROCESS), argumentIs(1, 0)}});
    rules.push_back({"prctl", SCMP_ACT_ALLOW, {argumentIs(0, PR_SET_PDEATHSIG)}});
    // Loading the slave's filter on top: the library sets no_new_privs again
    // and asks which actions the kernel knows; both can only narrow.
    rules.push_back({"seccomp", SCMP_ACT_ALLOW, {argumentIs(0, SECCOMP_SET_MODE_FILTER)}});
    rules.push_back({"seccomp", SCMP_ACT_ALLOW, {argumentIs(0, SECCOMP_GET_ACTION_AVAIL)}});
    rules.push_back({"prctl", SCMP_ACT_ALLOW, {argumentIs(0, PR_SET_NO_NEW_PRIVS)}});
}

std::vector<SRule> argumentRules(pid_t ownProcess, CSeccompFilter::EProfile profile)
{
    const bool bLauncher = profile == CSeccompFilter::EProfile::launcher;
    std::vector<SRule> rules;
    // Threads; processes only for a launcher.
    rules.push_back({"clone", SCMP_ACT_ALLOW, {bitsAre(0, CLONE_THREAD | namespaceFlags, CLONE_THREAD)}});
    if (bLauncher)
        addLauncherRules(rules);
    else
        rules.push_back({"clone", SCMP_ACT_ERRNO(EPERM), {bitsAre(0, processCloneMask, 0)}});
    rules.push_back({"fork", SCMP_ACT_ERRNO(EPERM), {}});
    rules.push_back({"vfork", SCMP_ACT_ERRNO(EPERM), {}});
    // clone3's flags sit behind a pointer, out of the filter's sight; it
    // stays refused with ENOSYS, and the C library falls back to clone.

    // Signals to the process itself and its threads only (raise, abort,
    // the hang report's requests).
    for (const char* name : {"kill", "tgkill", "rt_sigqueueinfo", "rt_tgsigqueueinfo"}) {
        rules.push_back({name, SCMP_ACT_ALLOW, {argumentIs(0, static_cast<scmp_datum_t>(ownProcess))}});
        rules.push_back({name, SCMP_ACT_ERRNO(EPERM), {argumentIsNot(0, static_cast<scmp_datum_t>(ownProcess))}});
    }
    // Its thread id may name any process's thread.
    rules.push_back({"tkill", SCMP_ACT_ERRNO(EPERM), {}});

    // Memory: data anywhere, code only from a mapped file that stays
    // unwritable (the libraries), never written code.
    rules.push_back({"mmap", SCMP_ACT_ALLOW, {bitsAre(2, PROT_EXEC, 0)}});
    rules.push_back(
        {"mmap", SCMP_ACT_ALLOW, {bitsAre(2, PROT_EXEC | PROT_WRITE, PROT_EXEC), bitsAre(3, MAP_ANONYMOUS, 0)}});
    rules.push_back({"mmap", SCMP_ACT_ERRNO(EACCES), {bitsAre(2, PROT_EXEC | PROT_WRITE, PROT_EXEC | PROT_WRITE)}});
    rules.push_back(
        {"mmap", SCMP_ACT_ERRNO(EACCES), {bitsAre(2, PROT_EXEC, PROT_EXEC), bitsAre(3, MAP_ANONYMOUS, MAP_ANONYMOUS)}});
    rules.push_back({"mprotect", SCMP_ACT_ALLOW, {bitsAre(2, PROT_EXEC, 0)}});
    rules.push_back({"mprotect", SCMP_ACT_ERRNO(EACCES), {bitsAre(2, PROT_EXEC, PROT_EXEC)}});

    // Limits may be read, never set.
    rules.push_back({"prlimit64", SCMP_ACT_ALLOW, {argumentIs(2, 0)}});
    rules.push_back({"prlimit64", SCMP_ACT_ERRNO(EPERM), {argumentIsNot(2, 0)}});

    allowEach(rules, "ioctl", 1, ioctlRequests, std::size(ioctlRequests));
    allowEach(rules, "fcntl", 1, fcntlCommands, std::size(fcntlCommands));
    allowEach(rules, "prctl", 0, prctlOptions, std::size(prctlOptions));

    // The pipe to the master is connected before the filter (a launcher's
    // child is handed its own); no other. A launcher talks to its spare
    // child over a local pair of its own.
    rules.push_back({"socket", SCMP_ACT_ERRNO(EACCES), {}});
    if (bLauncher)
        rules.push_back({"socketpair", SCMP_ACT_ALLOW, {argumentIs(0, AF_UNIX)}});
    else
        rules.push_back({"socketpair", SCMP_ACT_ERRNO(EACCES), {}});

    for (const crashhandler::STrappedCall& call : crashhandler::trappedSystemCalls)
        if (!(bSanitized && std::strcmp(call.name, "ptrace") == 0))
            rules.push_back({call.name, SCMP_ACT_TRAP, {}});
    if (bSanitized) {
        rules.push_back({"ptrace", SCMP_ACT_ALLOW, {}});
        rules.push_back({"clone", SCMP_ACT_ALLOW, {bitsAre(0, CLONE_THREAD | CLONE_VM | namespaceFlags, CLONE_VM)}});
        rules.push_back({"wait4", SCMP_ACT_ALLOW, {}});
        rules.push_back({"getdents", SCMP_ACT_ALLOW, {}});
        rules.push_back({"prctl", SCMP_ACT_ALLOW, {argumentIs(0, PR_SET_DUMPABLE)}});
        rules.push_back({"prctl", SCMP_ACT_ALLOW, {argumentIs(0, PR_SET_PTRACER)}});
    }
    return rules;
}

// libseccomp reports its failures as negative error numbers.
std::string describeFailure(const std::string& what, int result) { return what + ": " + std::strerror(-result); }

int addRule(scmp_filter_ctx filter, const char* name, uint32_t action, const std::vector<scmp_arg_cmp>& conditions)
{
    const int number = seccomp_syscall_resolve_name(name);
    // A call this machine does not have (open on newer architectures)
    // needs no rule.
    if (number == __NR_SCMP_ERROR)
        return 0;
    return seccomp_rule_add_array(filter, action, number, static_cast<unsigned>(conditions.size()), conditions.data());
}

} // namespace

std::vector<std::string> CSeccompFilter::load(EProfile profile)
{
    std::vector<std::string> gaps;
    const scmp_filter_ctx filter = build(profile, getpid(), gaps);
    if (!filter)
        return gaps;
    const int result = seccomp_load(filter);
    if (result < 0)
        gaps.push_back(describeFailure("the system call filter cannot be loaded", result));
    seccomp_release(filter);
    return gaps;
}

scmp_filter_ctx CSeccompFilter::build(EProfile profile, pid_t ownProcess, std::vector<std::string>& gaps)
{
    const scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ERRNO(ENOSYS));
    if (!filter) {
        gaps.push_back("the system call filter cannot be built");
        return nullptr;
    }
    // Every thread, also those started before, gets the filter.
    int result = seccomp_attr_set(filter, SCMP_FLTATR_CTL_TSYNC, 1);
    if (result < 0)
        gaps.push_back(describeFailure("the system call filter cannot reach every thread", result));
    // A binary search over the call numbers rather than a list: fewer
    // instructions for each call, and for the kernel to run through for
    // every call number when it loads the filter. Without it the filter is
    // slower, not weaker.
    (void)seccomp_attr_set(filter, SCMP_FLTATR_CTL_OPTIMIZE, 2);
    for (const char* name : freeCalls) {
        result = addRule(filter, name, SCMP_ACT_ALLOW, {});
        if (result < 0)
            gaps.push_back(describeFailure(std::string("the system call filter cannot allow ") + name, result));
    }
    for (const SRule& rule : argumentRules(ownProcess, profile)) {
        result = addRule(filter, rule.name, rule.action, rule.conditions);
        if (result < 0)
            gaps.push_back(describeFailure(std::string("the system call filter cannot rule on ") + rule.name, result));
    }
    return filter;
}

size_t CSeccompFilter::countAllowedCalls()
{
    // Counted once: a launcher's children inherit the count instead of
    // building the rules again for one line of their log.
    static const size_t count = [] {
        std::set<std::string> allowed(std::begin(freeCalls), std::end(freeCalls));
        for (const SRule& rule : argumentRules(getpid(), EProfile::slave))
            if (rule.action == SCMP_ACT_ALLOW)
                allowed.insert(rule.name);
        return allowed.size();
    }();
    return count;
}

} // namespace lumo::posix
