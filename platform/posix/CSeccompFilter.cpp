#include "platform/posix/CSeccompFilter.h"

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <seccomp.h>
#include <unistd.h>

namespace lumo::posix {

namespace {

// How a refused call ends; the argument test, where there is one, limits
// the refusal to calls whose first argument is not the process's own id,
// or to process creation (clone without CLONE_THREAD).
enum class ERefusal { denied, noSocket, missing, trapped };
enum class ECondition { none, notOwnProcess, notThread };

struct SRule {
    const char* name;
    ERefusal refusal;
    ECondition condition;
};

constexpr SRule rules[] = {
    // The pipe to the master is connected before confinement.
    {"socket", ERefusal::noSocket, ECondition::none},
    {"socketpair", ERefusal::noSocket, ECondition::none},
    {"connect", ERefusal::denied, ECondition::none},
    {"bind", ERefusal::denied, ECondition::none},
    {"listen", ERefusal::denied, ECondition::none},
    {"accept", ERefusal::denied, ECondition::none},
    {"accept4", ERefusal::denied, ECondition::none},
    {"execve", ERefusal::trapped, ECondition::none},
    {"execveat", ERefusal::trapped, ECondition::none},
    {"fork", ERefusal::denied, ECondition::none},
    {"vfork", ERefusal::denied, ECondition::none},
    {"clone", ERefusal::denied, ECondition::notThread},
    // Its flags sit behind a pointer, out of the filter's sight; glibc
    // falls back to clone, which the filter can read.
    {"clone3", ERefusal::missing, ECondition::none},
    {"ptrace", ERefusal::denied, ECondition::none},
    {"process_vm_readv", ERefusal::denied, ECondition::none},
    {"process_vm_writev", ERefusal::denied, ECondition::none},
    {"kill", ERefusal::denied, ECondition::notOwnProcess},
    {"tgkill", ERefusal::denied, ECondition::notOwnProcess},
    {"rt_sigqueueinfo", ERefusal::denied, ECondition::notOwnProcess},
    {"rt_tgsigqueueinfo", ERefusal::denied, ECondition::notOwnProcess},
    // Its thread id may name any process's thread.
    {"tkill", ERefusal::denied, ECondition::none},
    {"pidfd_open", ERefusal::denied, ECondition::none},
    {"pidfd_send_signal", ERefusal::denied, ECondition::none},
    {"mount", ERefusal::denied, ECondition::none},
    {"umount2", ERefusal::denied, ECondition::none},
    {"pivot_root", ERefusal::denied, ECondition::none},
    {"chroot", ERefusal::denied, ECondition::none},
    {"unshare", ERefusal::denied, ECondition::none},
    {"setns", ERefusal::denied, ECondition::none},
    {"open_tree", ERefusal::denied, ECondition::none},
    {"move_mount", ERefusal::denied, ECondition::none},
    {"fsopen", ERefusal::denied, ECondition::none},
    {"fsconfig", ERefusal::denied, ECondition::none},
    {"fsmount", ERefusal::denied, ECondition::none},
    {"fspick", ERefusal::denied, ECondition::none},
    {"mount_setattr", ERefusal::denied, ECondition::none},
    {"keyctl", ERefusal::denied, ECondition::none},
    {"add_key", ERefusal::denied, ECondition::none},
    {"request_key", ERefusal::denied, ECondition::none},
    {"bpf", ERefusal::denied, ECondition::none},
    {"perf_event_open", ERefusal::denied, ECondition::none},
    {"userfaultfd", ERefusal::denied, ECondition::none},
    {"init_module", ERefusal::denied, ECondition::none},
    {"finit_module", ERefusal::denied, ECondition::none},
    {"delete_module", ERefusal::denied, ECondition::none},
    {"kexec_load", ERefusal::denied, ECondition::none},
    {"kexec_file_load", ERefusal::denied, ECondition::none},
    {"reboot", ERefusal::denied, ECondition::none},
    {"swapon", ERefusal::denied, ECondition::none},
    {"swapoff", ERefusal::denied, ECondition::none},
    {"acct", ERefusal::denied, ECondition::none},
    {"iopl", ERefusal::denied, ECondition::none},
    {"ioperm", ERefusal::denied, ECondition::none},
};

#ifdef __SANITIZE_ADDRESS__
// The leak checker of sanitizer builds stops the world at exit with a
// helper that shares the address space (clone with CLONE_VM) and traces the
// threads: both stay allowed there. A new process cannot come of it (fork
// and exec stay refused), and Landlock keeps ptrace to the sandbox's own.
constexpr scmp_datum_t threadLikeClone = CLONE_THREAD | CLONE_VM;
constexpr bool bTracingAllowed = true;
#else
constexpr scmp_datum_t threadLikeClone = CLONE_THREAD;
constexpr bool bTracingAllowed = false;
#endif

uint32_t actionOf(ERefusal refusal)
{
    switch (refusal) {
    case ERefusal::noSocket:
        return SCMP_ACT_ERRNO(EACCES);
    case ERefusal::missing:
        return SCMP_ACT_ERRNO(ENOSYS);
    case ERefusal::trapped:
        return SCMP_ACT_TRAP;
    default:
        return SCMP_ACT_ERRNO(EPERM);
    }
}

// libseccomp reports its failures as negative error numbers.
std::string describeFailure(const std::string& what, int result)
{
    return what + ": " + std::strerror(-result);
}

int addRule(scmp_filter_ctx filter, const SRule& rule, int number)
{
    const uint32_t action = actionOf(rule.refusal);
    switch (rule.condition) {
    case ECondition::notOwnProcess:
        return seccomp_rule_add(filter, action, number, 1,
                                scmp_arg_cmp{0, SCMP_CMP_NE, static_cast<scmp_datum_t>(getpid()), 0});
    case ECondition::notThread:
        return seccomp_rule_add(filter, action, number, 1, scmp_arg_cmp{0, SCMP_CMP_MASKED_EQ, threadLikeClone, 0});
    default:
        return seccomp_rule_add(filter, action, number, 0);
    }
}

} // namespace

std::vector<std::string> CSeccompFilter::load()
{
    std::vector<std::string> gaps;
    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ALLOW);
    if (!filter)
        return {"the system call filter cannot be built"};
    // Every thread, also those started before, gets the filter.
    int result = seccomp_attr_set(filter, SCMP_FLTATR_CTL_TSYNC, 1);
    if (result < 0)
        gaps.push_back(describeFailure("the system call filter cannot reach every thread", result));
    for (const SRule& rule : rules) {
        if (bTracingAllowed && std::strcmp(rule.name, "ptrace") == 0)
            continue;
        const int number = seccomp_syscall_resolve_name(rule.name);
        result = number == __NR_SCMP_ERROR ? -ENOSYS : addRule(filter, rule, number);
        if (result < 0)
            gaps.push_back(describeFailure(std::string("the system call filter cannot refuse ") + rule.name, result));
    }
    result = seccomp_load(filter);
    if (result < 0)
        gaps.push_back(describeFailure("the system call filter cannot be loaded", result));
    seccomp_release(filter);
    return gaps;
}

} // namespace lumo::posix
